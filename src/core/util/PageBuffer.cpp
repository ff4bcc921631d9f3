#include "util/PageBuffer.h"

#include <algorithm>
#include <new>

#if __has_include(<sys/mman.h>) && __has_include(<unistd.h>)
#define TESSARIN_MAP_PAGES 1
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tessarin::util {

namespace {
// Below this the heap serves as well, and there is little to give back.
constexpr std::size_t kMapFrom = std::size_t{256} << 10;
}  // namespace

PageBuffer::PageBuffer(std::size_t size) {
#ifdef TESSARIN_MAP_PAGES
    if (size >= kMapFrom) {
        // It is about to be filled whole: its pages are made in one call rather than a fault each.
        int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_POPULATE
        flags |= MAP_POPULATE;
#endif
        void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
        if (map == MAP_FAILED) throw std::bad_alloc();
        m_pages = Pages::adoptMapping(map, size);
        return;
    }
#endif
    m_pages = Pages::adoptBuffer(std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(size, 1)), size);
}

}  // namespace tessarin::util

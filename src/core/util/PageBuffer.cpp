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

PageBuffer::PageBuffer(std::size_t size, bool makePagesLater) {
#ifdef TESSARIN_MAP_PAGES
    if (size >= kMapFrom) {
        // It is about to be filled whole: its pages are made in one call rather than a fault each.
        int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_POPULATE
#ifdef MADV_POPULATE_WRITE
        if (!makePagesLater) flags |= MAP_POPULATE;
#else
        flags |= MAP_POPULATE;  // no way to make them later
#endif
#endif
        void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
        if (map == MAP_FAILED) throw std::bad_alloc();
        m_pages = Pages::adoptMapping(map, size);
        return;
    }
#endif
    (void)makePagesLater;
    m_pages = Pages::adoptBuffer(std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(size, 1)), size);
}

void PageBuffer::makePages() {
#if defined(TESSARIN_MAP_PAGES) && defined(MADV_POPULATE_WRITE)
    // Only a hint: where it fails (an older system) the pages are made as they are written.
    if (m_pages.mapped()) madvise(m_pages.data(), m_pages.size(), MADV_POPULATE_WRITE);
#endif
}

}  // namespace tessarin::util

#include "util/PageBuffer.h"

#include <algorithm>
#include <new>
#include <utility>

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

PageBuffer::PageBuffer(std::size_t size) : m_size(size) {
#ifdef TESSARIN_MAP_PAGES
    if (size >= kMapFrom) {
        // It is about to be filled whole: its pages are made in one call rather than a fault each.
        int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_POPULATE
        flags |= MAP_POPULATE;
#endif
        void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
        if (map == MAP_FAILED) throw std::bad_alloc();
        m_map = map;
        m_data = static_cast<std::uint8_t*>(map);
        return;
    }
#endif
    m_buffer = std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(size, 1));
    m_data = m_buffer.get();
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept { *this = std::move(other); }

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
    if (this == &other) return *this;
    unmap();
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
    m_map = std::exchange(other.m_map, nullptr);
    m_released = std::exchange(other.m_released, 0);
    m_buffer = std::move(other.m_buffer);
    return *this;
}

PageBuffer::~PageBuffer() { unmap(); }

void PageBuffer::unmap() {
#ifdef TESSARIN_MAP_PAGES
    if (m_map) munmap(m_map, m_size);
#endif
    m_map = nullptr;
}

void PageBuffer::release(std::size_t upTo) {
#ifdef TESSARIN_MAP_PAGES
    if (!m_map) return;
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(upTo, m_size) / page * page;
    if (end <= m_released) return;
    madvise(static_cast<std::uint8_t*>(m_map) + m_released, end - m_released, MADV_DONTNEED);
    m_released = end;
#else
    (void)upTo;
#endif
}

}  // namespace tessarin::util

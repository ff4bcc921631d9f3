#include "util/Pages.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#if __has_include(<sys/mman.h>) && __has_include(<unistd.h>)
#define TESSARIN_HAVE_MMAN 1
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tessarin::util {

namespace {
// Pages go back whole, so every release rounds to them.
std::size_t pageSize() {
#ifdef TESSARIN_HAVE_MMAN
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return page;
#else
    return 4096;
#endif
}
std::size_t roundDownToPage(std::size_t offset) { return offset / pageSize() * pageSize(); }
std::size_t roundUpToPage(std::size_t offset) { return roundDownToPage(offset + pageSize() - 1); }
}  // namespace

Pages Pages::adoptMapping(void* map, std::size_t size, int fd) {
    Pages p;
    p.m_map = map;
    p.m_fd = fd;
    p.m_data = static_cast<std::uint8_t*>(map);
    p.m_size = size;
    return p;
}

Pages Pages::adoptBuffer(std::unique_ptr<std::uint8_t[]> buffer, std::size_t size) {
    Pages p;
    p.m_buffer = std::move(buffer);
    p.m_data = p.m_buffer.get();
    p.m_size = size;
    return p;
}

Pages::Pages(Pages&& other) noexcept { *this = std::move(other); }

Pages& Pages::operator=(Pages&& other) noexcept {
    if (this == &other) return *this;
    unmap();
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
    m_map = std::exchange(other.m_map, nullptr);
    m_fd = std::exchange(other.m_fd, -1);
    m_released = std::exchange(other.m_released, 0);
    m_buffer = std::move(other.m_buffer);
    return *this;
}

Pages::~Pages() { unmap(); }

void Pages::unmap() {
#ifdef TESSARIN_HAVE_MMAN
    if (m_map) munmap(m_map, m_size);
    if (m_fd >= 0) close(m_fd);
#endif
    m_map = nullptr;
    m_fd = -1;
}

bool Pages::readFile(void* dest, std::size_t offset, std::size_t n) const {
#ifdef TESSARIN_HAVE_MMAN
    auto* out = static_cast<std::uint8_t*>(dest);
    while (m_fd >= 0 && n > 0) {
        const ssize_t got = pread(m_fd, out, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += static_cast<std::size_t>(got);
        n -= static_cast<std::size_t>(got);
    }
    return n == 0;
#else
    (void)dest;
    (void)offset;
    return n == 0;
#endif
}

void Pages::release(std::size_t upTo) {
    if (!m_map) return;
    const std::size_t end = roundDownToPage(std::min(upTo, m_size));
    if (end <= m_released) return;
    releaseWithin(m_released, end);
    m_released = end;
}

void Pages::leaveBefore(std::size_t pos) {
    // Rounded up: the others may not have read their bytes in the page holding `pos` yet.
    m_released = std::max(m_released, roundUpToPage(std::min(pos, m_size)));
}

void Pages::releaseWithin(std::size_t from, std::size_t to) const {
#ifdef TESSARIN_HAVE_MMAN
    if (!m_map) return;
    const std::size_t begin = roundUpToPage(from);
    const std::size_t end = roundDownToPage(std::min(to, m_size));
    if (begin < end) madvise(static_cast<std::uint8_t*>(m_map) + begin, end - begin, MADV_DONTNEED);
#else
    (void)from;
    (void)to;
#endif
}

}  // namespace tessarin::util

#include "util/Pages.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>

#if __has_include(<sys/mman.h>) && __has_include(<unistd.h>) && __has_include(<signal.h>)
#define TESSARIN_HAVE_MMAN 1
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
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

#ifdef TESSARIN_HAVE_MMAN
// Reading a page of a mapped file that another program has cut short meanwhile raises SIGBUS, which
// would end the program (and lose the work in the level already open). For the file mappings
// registered here, the handler puts a page of zeros in place of the lost one and notes it; the
// reader goes on over zeros, within the bounds it checks anyway, and the caller asks fileChanged().
struct GuardedRange {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> begin{0}, end{0};
    std::atomic<bool> lost{false};
};
constexpr int kGuardedRanges = 64;
GuardedRange g_guarded[kGuardedRanges];
struct sigaction g_previousBusHandler {};
std::size_t g_guardPage = 4096;

void onBusError(int signal, siginfo_t* info, void* context) {
    // A signal sent by someone (si_code <= 0) names no address of ours.
    const auto at = info->si_code > 0 ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0;
    for (GuardedRange& range : g_guarded) {
        if (at < range.begin.load(std::memory_order_acquire) || at >= range.end.load(std::memory_order_acquire))
            continue;
        void* page = reinterpret_cast<void*>(at & ~(g_guardPage - 1));
        if (mmap(page, g_guardPage, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            range.lost.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not a guarded file's page: whoever handled the signal before us does, or the default action
    // does, met when the fault is raised again on returning (a sent signal is sent again).
    const struct sigaction& before = g_previousBusHandler;
    if ((before.sa_flags & SA_SIGINFO) && before.sa_sigaction) {
        before.sa_sigaction(signal, info, context);
    } else if (!(before.sa_flags & SA_SIGINFO) && before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN) {
        before.sa_handler(signal);
    } else {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(SIGBUS, &fallback, nullptr);
        if (info->si_code <= 0) raise(signal);
    }
}

bool installBusHandler() {
    static const bool installed = [] {
        g_guardPage = pageSize();
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &g_previousBusHandler) == 0;
    }();
    return installed;
}

int guardRange(void* map, std::size_t size) {
    if (!installBusHandler()) return -1;
    for (int i = 0; i < kGuardedRanges; ++i) {
        GuardedRange& range = g_guarded[i];
        bool free = false;
        if (!range.taken.compare_exchange_strong(free, true)) continue;
        range.lost.store(false);
        range.begin.store(reinterpret_cast<std::uintptr_t>(map), std::memory_order_release);
        range.end.store(reinterpret_cast<std::uintptr_t>(map) + size, std::memory_order_release);
        return i;
    }
    return -1;
}

void unguardRange(int i) {
    GuardedRange& range = g_guarded[i];
    range.end.store(0, std::memory_order_release);
    range.begin.store(0, std::memory_order_release);
    range.taken.store(false, std::memory_order_release);
}
#endif
}  // namespace

Pages Pages::adoptMapping(void* map, std::size_t size) {
    Pages p;
    p.m_map = map;
    p.m_data = static_cast<std::uint8_t*>(map);
    p.m_size = size;
    return p;
}

Pages Pages::adoptFileMapping(void* map, std::size_t size, int fd, std::timespec modified) {
    Pages p;
#ifdef TESSARIN_HAVE_MMAN
    p.m_guard = guardRange(map, size);
    if (p.m_guard < 0) return p;
    p.m_map = map;
    p.m_fd = fd;
    p.m_data = static_cast<std::uint8_t*>(map);
    p.m_size = size;
    p.m_fileModified = modified;
#else
    (void)map;
    (void)size;
    (void)fd;
    (void)modified;
#endif
    return p;
}

bool Pages::fileChanged() const {
#ifdef TESSARIN_HAVE_MMAN
    if (m_guard < 0) return false;
    if (g_guarded[m_guard].lost.load(std::memory_order_acquire)) return true;
    // The mapping is the file's size when it was mapped.
    struct stat st {};
    return fstat(m_fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) != m_size ||
           st.st_mtim.tv_sec != m_fileModified.tv_sec || st.st_mtim.tv_nsec != m_fileModified.tv_nsec;
#else
    return false;
#endif
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
    m_guard = std::exchange(other.m_guard, -1);
    m_fileModified = other.m_fileModified;
    m_released = std::exchange(other.m_released, 0);
    m_buffer = std::move(other.m_buffer);
    return *this;
}

Pages::~Pages() { unmap(); }

void Pages::unmap() {
#ifdef TESSARIN_HAVE_MMAN
    // Unguarded first: once unmapped, the addresses may soon hold something else.
    if (m_guard >= 0) unguardRange(m_guard);
    if (m_map) munmap(m_map, m_size);
    if (m_fd >= 0) close(m_fd);
#endif
    m_map = nullptr;
    m_fd = -1;
    m_guard = -1;
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

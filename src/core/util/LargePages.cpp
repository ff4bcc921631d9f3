#include "util/LargePages.h"

#include <cstdint>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace tessarin::util {

void preferLargePages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // Below a few large pages the hint buys nothing.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 4 * kLargePage) return;
    // Only whole large pages inside the block: the advice must not reach memory around it.
    const auto start = (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kLargePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace tessarin::util

#include "support/AllocationLimit.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_ceiling{0};  // 0: no limit
std::atomic<std::size_t> g_peak{0};

void* allocate(std::size_t n, std::size_t alignment, bool nothrow) {
    void* p = alignment > alignof(std::max_align_t)
                  ? std::aligned_alloc(alignment, (n + alignment - 1) / alignment * alignment)
                  : std::malloc(n ? n : 1);
    if (p) {
        const std::size_t size = malloc_usable_size(p);
        const std::size_t now = g_inUse.fetch_add(size) + size;
        const std::size_t ceiling = g_ceiling.load();
        if (ceiling != 0 && now > ceiling) {
            g_inUse.fetch_sub(size);
            std::free(p);
            p = nullptr;
        } else {
            std::size_t peak = g_peak.load();
            while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
            }
        }
    }
    if (!p && !nothrow) throw std::bad_alloc();
    return p;
}

void release(void* p) noexcept {
    if (!p) return;
    g_inUse.fetch_sub(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

namespace tessarin::test {

AllocationLimit::AllocationLimit(std::size_t bytes) : m_base(g_inUse.load()) {
    g_peak.store(m_base);
    g_ceiling.store(m_base + bytes);
}

AllocationLimit::~AllocationLimit() { g_ceiling.store(0); }

std::size_t AllocationLimit::peak() const {
    const std::size_t peak = g_peak.load();
    return peak > m_base ? peak - m_base : 0;
}

}  // namespace tessarin::test

void* operator new(std::size_t n) { return allocate(n, 0, false); }
void* operator new[](std::size_t n) { return allocate(n, 0, false); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, 0, true); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, 0, true); }
void* operator new(std::size_t n, std::align_val_t a) { return allocate(n, static_cast<std::size_t>(a), false); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocate(n, static_cast<std::size_t>(a), false); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p); }

#pragma once
// A test-only ceiling on the heap. The core tests' binary replaces the global operator new with a
// counting one; while an AllocationLimit is alive, an allocation that would take the bytes in use
// more than `bytes` past what was in use when it began throws std::bad_alloc, as a machine that
// runs out of memory would, and the highest use is kept. One limit at a time.
#include <cstddef>

namespace tessarin::test {

class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

    // The most bytes in use above the starting point so far.
    std::size_t peak() const;

private:
    std::size_t m_base;
};

}  // namespace tessarin::test

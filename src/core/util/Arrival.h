#pragma once
// Arrival: how much of a buffer another thread has written so far, for a reader that follows the
// writer (a chunk parsed while it inflates).
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tessarin::util {

class Arrival {
public:
    // The writer: the first `bytes` are written (never fewer than told before).
    void arrived(std::size_t bytes) {
        m_state.store(bytes, std::memory_order_release);
        m_state.notify_all();
    }
    // The writer: no more will come, whether or not everything did.
    void ended() {
        m_state.fetch_or(kEnded, std::memory_order_acq_rel);
        m_state.notify_all();
    }
    // The reader: the bytes written so far.
    std::size_t now() const { return static_cast<std::size_t>(m_state.load(std::memory_order_acquire) & ~kEnded); }
    // The reader: waits until `bytes` are written; false when they never will be.
    bool waitFor(std::size_t bytes) const {
        for (;;) {
            const std::uint64_t s = m_state.load(std::memory_order_acquire);
            if ((s & ~kEnded) >= bytes) return true;
            if (s & kEnded) return false;
            m_state.wait(s, std::memory_order_acquire);
        }
    }

private:
    static constexpr std::uint64_t kEnded = std::uint64_t{1} << 63;
    std::atomic<std::uint64_t> m_state{0};
};

}  // namespace tessarin::util

#include "util/SecondThread.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

#include "util/KeptThread.h"

namespace tessarin::util {

struct SecondThread::Kept {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> job;  // given, not yet taken
    bool busy = false;          // a job was given and its giver has not joined it yet
    bool done = false;          // the job given last has run

    void serve() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return job != nullptr; });
            std::function<void()> run = std::exchange(job, nullptr);
            lock.unlock();
            run();
            lock.lock();
            done = true;
            changed.notify_all();
        }
    }
};

namespace {

// Made at the first use. Without it (no thread to be had) every job gets a thread of its own.
SecondThread::Kept* keptThread() {
    static SecondThread::Kept* const kept = startKeptThread<SecondThread::Kept>();
    return kept;
}

}  // namespace

SecondThread::SecondThread(std::function<void()> job) {
    if (!job) return;
    if (Kept* k = keptThread()) {
        std::lock_guard lock(k->mutex);
        if (!k->busy) {
            k->busy = true;
            k->done = false;
            k->job = std::move(job);
            m_kept = k;
            k->changed.notify_all();
            return;
        }
    }
    // The kept thread is at another caller's job (two levels read at once, or a job that splits
    // again): this one gets a thread of its own.
    try {
        m_own = std::thread(std::move(job));
    } catch (const std::system_error&) {
    }
}

void SecondThread::join() {
    if (m_kept) {
        std::unique_lock lock(m_kept->mutex);
        m_kept->changed.wait(lock, [this] { return m_kept->done; });
        m_kept->busy = false;
        m_kept = nullptr;
    } else if (m_own.joinable()) {
        m_own.join();
    }
}

}  // namespace tessarin::util

#pragma once
// SecondThread: a job run on another thread while the caller does its own share. A thread is kept
// for the life of the program for it: starting and ending one per level cost as much as a small
// level's rooms gain from being read on two.
#include <functional>
#include <thread>

namespace tessarin::util {

class SecondThread {
public:
    // Starts `job`, which must not throw (as for std::thread), on the kept thread when it is free,
    // else on a thread of its own; when no thread can be had (or there is no job), started() is
    // false and nothing runs.
    explicit SecondThread(std::function<void()> job);
    ~SecondThread() { join(); }
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    bool started() const { return m_kept != nullptr || m_own.joinable(); }
    // Waits until the job has run (at once when none was started).
    void join();

    struct Kept;

private:
    Kept* m_kept = nullptr;  // the kept thread, running the job
    std::thread m_own;       // or a thread of the job's own
};

}  // namespace tessarin::util

// SecondThread: the job runs beside the caller, also when the kept thread is at another job.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "util/SecondThread.h"

using namespace tessarin;

TEST(SecondThread, RunsEachJobBesideTheCallerOnceAndJoins) {
    std::atomic<int> runs{0};
    for (int i = 0; i < 50; ++i) {
        std::thread::id ranOn;
        util::SecondThread helper([&] {
            ranOn = std::this_thread::get_id();
            runs.fetch_add(1);
        });
        ASSERT_TRUE(helper.started());
        helper.join();
        EXPECT_NE(ranOn, std::this_thread::get_id());
        EXPECT_EQ(runs.load(), i + 1) << "join returned before the job had run";
        helper.join();  // a second join returns at once
    }
    util::SecondThread none{std::function<void()>()};
    EXPECT_FALSE(none.started());
    none.join();
}

TEST(SecondThread, JobsGivenAtOnceRunAtOnce) {
    // Each job waits (a while at most) for the other to start: queued behind one another on the
    // kept thread, neither would see the other.
    std::atomic<int> started{0};
    std::atomic<int> met{0};
    const auto meet = [&] {
        started.fetch_add(1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (started.load() < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        if (started.load() == 2) met.fetch_add(1);
    };
    util::SecondThread first(meet);
    util::SecondThread second(meet);
    EXPECT_TRUE(first.started() && second.started());
    first.join();
    second.join();
    EXPECT_EQ(met.load(), 2);
    // And the kept thread is free for the next.
    std::atomic<bool> ran{false};
    util::SecondThread third([&] { ran = true; });
    third.join();
    EXPECT_TRUE(ran);
}

#include "framework/ReusedThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

TEST(ReusedThreadTest, WorkRunsOnAnotherThreadAndTheNextReusesIt)
{
    std::thread::id first;
    {
        TReusedThread work([&] { first = std::this_thread::get_id(); });
    }
    EXPECT_NE(first, std::thread::id());
    EXPECT_NE(first, std::this_thread::get_id());
    // The thread waits for more work once it has ended its own: the next
    // job, started after, finds it.
    bool reused = false;
    for (int round = 0; round < 20 && !reused; ++round) {
        std::thread::id next;
        TReusedThread work([&] { next = std::this_thread::get_id(); });
        work.Join();
        reused = next == first;
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(reused);
}

// Jobs that can only end together: each runs on a thread of its own, made
// when the kept ones are busy.
TEST(ReusedThreadTest, MoreJobsAtOnceThanKeptThreadsAllRun)
{
    constexpr int kJobs = 10;
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    std::vector<std::unique_ptr<TReusedThread>> jobs;
    std::atomic<int> together = 0;
    for (int i = 0; i < kJobs; ++i)
        jobs.push_back(std::make_unique<TReusedThread>([&] {
            std::unique_lock lock(mutex);
            ++arrived;
            changed.notify_all();
            if (changed.wait_for(lock, 10s, [&] { return arrived == kJobs; }))
                ++together;
        }));
    jobs.clear();  // waits for each
    EXPECT_EQ(together, kJobs);
}

TEST(ReusedThreadTest, AFailingJobLeavesItsThreadForTheNext)
{
    {
        TReusedThread failing([] { throw std::runtime_error("job failed"); });
    }
    std::atomic<bool> ran = false;
    {
        TReusedThread next([&] { ran = true; });
    }
    EXPECT_TRUE(ran);
}

}  // namespace

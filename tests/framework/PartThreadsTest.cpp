#include "framework/PartThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace qrv;

namespace {

TEST(PartThreadsTest, EveryPartRunsOnceSharedAmongTheThreads)
{
    constexpr size_t kParts = 64;
    std::vector<std::atomic<int>> runs(kParts);
    std::mutex mutex;
    std::set<std::thread::id> threads;
    RunParts(kParts, [&](size_t part) {
        ++runs[part];
        {
            std::lock_guard lock(mutex);
            threads.insert(std::this_thread::get_id());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    for (size_t part = 0; part < kParts; ++part)
        EXPECT_EQ(runs[part], 1) << part;
    EXPECT_TRUE(threads.contains(std::this_thread::get_id())) << "the caller takes parts too";
    if (PartThreadCount() > 1) {
        EXPECT_GT(threads.size(), 1u);
    }
}

TEST(PartThreadsTest, AFailureIsRaisedOnceEveryPartHasRun)
{
    std::atomic<int> ran = 0;
    EXPECT_THROW(RunParts(16,
                          [&](size_t part) {
                              ++ran;
                              if (part == 3)
                                  throw std::runtime_error("part 3");
                          }),
                 std::runtime_error);
    EXPECT_EQ(ran, 16);
    // The threads serve the next job as before.
    std::atomic<int> next = 0;
    RunParts(8, [&](size_t) { ++next; });
    EXPECT_EQ(next, 8);
}

TEST(PartThreadsTest, JobsFromSeveralThreadsTakeTurns)
{
    constexpr int kJobs = 20;
    std::atomic<int> wrong = 0;
    const auto jobs = [&](int seed) {
        for (int job = 0; job < kJobs; ++job) {
            std::vector<int> seen(32, 0);
            RunParts(seen.size(), [&](size_t part) { seen[part] += seed; });
            for (int value : seen)
                if (value != seed)
                    ++wrong;
        }
    };
    std::thread other(jobs, 7);
    jobs(3);
    other.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace

#include "panels/SubDirProber.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// A prober whose probe answers "has subfolders" for paths ending in "+",
// can be held at a gate, and records the threads it ran on.
class SubDirProberTest : public testing::Test {
protected:
    SubDirProberTest() : prober([this](const TProbeRequest& request) { return Probe(request); }, [this] { Ready(); }) {}

    bool Probe(const TProbeRequest& request)
    {
        std::unique_lock lock(mutex);
        probed.push_back(request.NodeId);
        threads.insert(std::this_thread::get_id());
        gateChanged.notify_all();
        gateChanged.wait(lock, [&] { return gateOpen; });
        if (request.Path == L"throws")
            throw std::runtime_error("probe failed");
        return !request.Path.empty() && request.Path.back() == L'+';
    }
    void Ready()
    {
        std::lock_guard lock(mutex);
        ++readyCalls;
        readyChanged.notify_all();
    }
    void Open()
    {
        std::lock_guard lock(mutex);
        gateOpen = true;
        gateChanged.notify_all();
    }
    // Collects results until Count have come (or five seconds pass).
    std::map<uint64_t, bool> Collect(size_t count)
    {
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (results.size() < count && std::chrono::steady_clock::now() < end) {
            int seen = 0;
            {
                std::lock_guard lock(mutex);
                seen = readyCalls;
            }
            for (const TProbeResult& r : prober.TakeResults())
                results[r.NodeId] = r.HasSubDirs;
            if (results.size() >= count)
                break;
            std::unique_lock lock(mutex);
            readyChanged.wait_for(lock, 10ms, [&] { return readyCalls != seen; });
        }
        for (const TProbeResult& r : prober.TakeResults())
            results[r.NodeId] = r.HasSubDirs;
        return results;
    }
    bool WaitProbing(size_t count)
    {
        std::unique_lock lock(mutex);
        return gateChanged.wait_for(lock, 5s, [&] { return probed.size() >= count; });
    }

    std::mutex mutex;
    std::condition_variable gateChanged;
    std::condition_variable readyChanged;
    bool gateOpen = true;
    std::vector<uint64_t> probed;
    std::set<std::thread::id> threads;
    int readyCalls = 0;
    std::map<uint64_t, bool> results;
    TSubDirProber prober;  // last: ends before the fields its probe uses
};

TEST_F(SubDirProberTest, AnswersEveryQueuedNodeOnItsOwnThread)
{
    for (uint64_t id = 1; id <= 50; ++id)
        EXPECT_TRUE(prober.Queue({id, id % 2 ? L"C:\\dir+" : L"C:\\leaf", {}, false}));
    const auto got = Collect(50);
    ASSERT_EQ(got.size(), 50u);
    for (const auto& [id, has] : got)
        EXPECT_EQ(has, id % 2 == 1) << id;
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
}

TEST_F(SubDirProberTest, ANodeIsQueuedOnceAndForgottenNodesAreNotProbed)
{
    gateOpen = false;
    ASSERT_TRUE(prober.Queue({1, L"first", {}, false}));
    ASSERT_TRUE(WaitProbing(1));  // the worker holds node 1 now
    EXPECT_TRUE(prober.Queue({2, L"second+", {}, false}));
    EXPECT_FALSE(prober.Queue({2, L"second+", {}, false}));
    EXPECT_TRUE(prober.Queue({3, L"third", {}, false}));
    EXPECT_EQ(prober.QueuedCount(), 2u);
    prober.Forget(2);
    prober.Forget(1);  // being probed: its answer still comes, the tree drops it
    Open();
    const auto got = Collect(2);
    EXPECT_EQ(got, (std::map<uint64_t, bool>{{1, false}, {3, false}}));
    std::lock_guard lock(mutex);
    EXPECT_EQ(probed, (std::vector<uint64_t>{1, 3}));
}

TEST_F(SubDirProberTest, ANodeQueuedJustAsTheQueueRanDryIsStillProbed)
{
    // One at a time, each queued right after the previous answer, when the
    // worker is on its way back to sleep.
    for (uint64_t id = 1; id <= 300; ++id) {
        ASSERT_TRUE(prober.Queue({id, L"x+", {}, false}));
        ASSERT_EQ(Collect(id).size(), id) << "node " << id << " was never probed";
    }
}

TEST_F(SubDirProberTest, AFailingProbeCountsAsHavingSubfolders)
{
    ASSERT_TRUE(prober.Queue({7, L"throws", {}, false}));
    EXPECT_EQ(Collect(1), (std::map<uint64_t, bool>{{7, true}}));
}

TEST_F(SubDirProberTest, ResultsReadyIsRaisedOnceForEachBatchTaken)
{
    // Raised only when results go from none to some: each batch the tree
    // takes was announced exactly once, however the two threads interleave.
    int batches = 0;
    size_t taken = 0;
    for (uint64_t id = 1; id <= 200; ++id)
        ASSERT_TRUE(prober.Queue({id, L"x", {}, false}));
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (taken < 200 && std::chrono::steady_clock::now() < end) {
        const size_t got = prober.TakeResults().size();
        if (got > 0) {
            ++batches;
            taken += got;
        }
        std::this_thread::yield();
    }
    ASSERT_EQ(taken, 200u);
    std::unique_lock lock(mutex);
    EXPECT_TRUE(readyChanged.wait_for(lock, 5s, [&] { return readyCalls == batches; }))
        << readyCalls << " announcements for " << batches << " batches";
}

TEST_F(SubDirProberTest, StoppingDropsTheQueueAndRefusesMore)
{
    gateOpen = false;
    ASSERT_TRUE(prober.Queue({1, L"x", {}, false}));
    ASSERT_TRUE(WaitProbing(1));
    EXPECT_TRUE(prober.Queue({2, L"x", {}, false}));
    std::thread opener([this] {
        std::this_thread::sleep_for(20ms);
        Open();
    });
    prober.Stop();  // waits for the probe under way
    opener.join();
    EXPECT_FALSE(prober.Queue({3, L"x", {}, false}));
    std::lock_guard lock(mutex);
    EXPECT_EQ(probed, (std::vector<uint64_t>{1}));
}

// The worker's set-up and tear-down (the tree starts and ends COM there)
// run once each, on the worker, around every probe it makes.
TEST_F(SubDirProberTest, TheWorkerStartsAndEndsOnItsOwnThreadAroundItsProbes)
{
    std::vector<std::string> events;
    std::set<std::thread::id> hookThreads;
    auto record = [&](const char* what) {
        std::lock_guard lock(mutex);
        events.push_back(what);
        hookThreads.insert(std::this_thread::get_id());
    };
    prober.OnWorkerStart = [&] { record("start"); };
    prober.OnWorkerEnd = [&] { record("end"); };
    ASSERT_TRUE(prober.Queue({1, L"a+", {}, false}));
    ASSERT_TRUE(prober.Queue({2, L"b", {}, false}));
    ASSERT_EQ(Collect(2).size(), 2u);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(events, (std::vector<std::string>{"start"})) << "the worker waits for more, it has not ended";
    }
    prober.Stop();
    EXPECT_EQ(events, (std::vector<std::string>{"start", "end"}));
    EXPECT_EQ(hookThreads, threads) << "on the probing thread";
    EXPECT_FALSE(hookThreads.contains(std::this_thread::get_id()));
}

}  // namespace

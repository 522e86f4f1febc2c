#include "panels/BackgroundQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

struct TNumber {
    uint64_t Id = 0;
};

// A queue whose worker can be held at a gate and that records what it
// answered, in order.
class BackgroundQueueTest : public testing::Test {
protected:
    TBackgroundQueue<TNumber, uint64_t, &TNumber::Id> MakeQueue(TQueueOrder order)
    {
        return {[this](const TNumber& n) { return Answer(n); }, [](const TNumber& n) { return n.Id; }, [] {},
                L"answering a number", order};
    }
    uint64_t Answer(const TNumber& n)
    {
        std::unique_lock lock(mutex);
        started.push_back(n.Id);
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
        return n.Id;
    }
    void WaitStarted(size_t count)
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return started.size() >= count; }));
    }
    void Open()
    {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    template <class Queue>
    std::vector<uint64_t> Collect(Queue& queue, size_t count)
    {
        std::vector<uint64_t> got;
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            for (uint64_t id : queue.TakeResults())
                got.push_back(id);
            std::this_thread::sleep_for(1ms);
        }
        return got;
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::vector<uint64_t> started;
};

TEST_F(BackgroundQueueTest, NewestFirstAnswersTheLastQueuedNext)
{
    auto queue = MakeQueue(TQueueOrder::NewestFirst);
    ASSERT_TRUE(queue.Queue({1}));
    WaitStarted(1);  // the worker holds 1
    for (uint64_t id : {2, 3, 4})
        ASSERT_TRUE(queue.Queue({id}));
    Open();
    EXPECT_EQ(Collect(queue, 4), (std::vector<uint64_t>{1, 4, 3, 2}));
}

TEST_F(BackgroundQueueTest, ClearDropsTheQueuedButNotTheOneUnderWay)
{
    auto queue = MakeQueue(TQueueOrder::OldestFirst);
    ASSERT_TRUE(queue.Queue({1}));
    WaitStarted(1);
    ASSERT_TRUE(queue.Queue({2}));
    ASSERT_TRUE(queue.Queue({3}));
    queue.Clear();
    EXPECT_EQ(queue.QueuedCount(), 0u);
    ASSERT_TRUE(queue.Queue({4}));  // the worker stays for later requests
    Open();
    EXPECT_EQ(Collect(queue, 2), (std::vector<uint64_t>{1, 4}));
    std::lock_guard lock(mutex);
    EXPECT_EQ(started, (std::vector<uint64_t>{1, 4}));
}

}  // namespace

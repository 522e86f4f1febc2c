#include "common/KyTimerThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A worker that loops on WaitForTick like the timer thread does and records
// when each tick came.
class TickRecorder {
public:
    explicit TickRecorder(TKyTimerSchedule& schedule) : schedule_(schedule)
    {
        worker_ = std::thread([this] {
            uint64_t generation = 0;
            while (schedule_.WaitForTick(generation)) {
                std::lock_guard lock(mutex_);
                ticks_.push_back(Clock::now());
                changed_.notify_all();
            }
            std::lock_guard lock(mutex_);
            ended_ = true;
            changed_.notify_all();
        });
    }
    ~TickRecorder()
    {
        schedule_.Terminate();
        worker_.join();
    }

    // Waits (at most 5 s) for the count of ticks to reach n.
    bool WaitForTicks(size_t n)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return ticks_.size() >= n; });
    }
    bool WaitForEnd()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return ended_; });
    }
    size_t Count()
    {
        std::lock_guard lock(mutex_);
        return ticks_.size();
    }
    Clock::time_point Tick(size_t i)
    {
        std::lock_guard lock(mutex_);
        return ticks_.at(i);
    }

private:
    TKyTimerSchedule& schedule_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Clock::time_point> ticks_;
    bool ended_ = false;
    std::thread worker_;
};

}  // namespace

TEST(KyTimerSchedule, StartsDisabledWithOneSecond)
{
    TKyTimerSchedule schedule;
    EXPECT_FALSE(schedule.Enabled());
    EXPECT_EQ(schedule.Interval(), 1000u);
}

TEST(KyTimerSchedule, TicksOnlyWhileEnabledAndAWholeIntervalAfterEnabling)
{
    TKyTimerSchedule schedule;
    schedule.SetInterval(20);
    TickRecorder recorder(schedule);
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(recorder.Count(), 0u) << "a disabled timer never ticks";

    const auto enabled = Clock::now();
    schedule.SetEnabled(true);
    ASSERT_TRUE(recorder.WaitForTicks(3));
    EXPECT_GE(recorder.Tick(0) - enabled, 20ms) << "the first tick waits a whole interval";

    schedule.SetEnabled(false);
    const size_t stopped = recorder.Count();
    std::this_thread::sleep_for(80ms);
    EXPECT_LE(recorder.Count(), stopped + 1) << "at most a tick already decided";
}

TEST(KyTimerSchedule, AChangeDuringTheIntervalStartsItAnew)
{
    TKyTimerSchedule schedule;
    schedule.SetInterval(600);
    TickRecorder recorder(schedule);
    const auto enabled = Clock::now();
    schedule.SetEnabled(true);
    std::this_thread::sleep_for(200ms);
    const auto changed = Clock::now();
    schedule.SetInterval(601);
    ASSERT_TRUE(recorder.WaitForTicks(1));
    EXPECT_GE(recorder.Tick(0) - changed, 601ms) << "the tick that ended the first sleep is dropped";
    EXPECT_GE(recorder.Tick(0) - enabled, 800ms);
}

TEST(KyTimerSchedule, ThousandTogglesEndingEnabledKeepTicking)
{
    TKyTimerSchedule schedule;
    schedule.SetInterval(5);
    TickRecorder recorder(schedule);
    for (int i = 0; i < 1000; ++i) {
        schedule.SetEnabled(true);
        schedule.SetEnabled(false);
        if (i % 97 == 0)
            std::this_thread::yield();  // let the worker wake in between now and then
    }
    schedule.SetEnabled(true);
    const size_t before = recorder.Count();
    EXPECT_TRUE(recorder.WaitForTicks(before + 5)) << "an enabled timer must not be left asleep";
}

TEST(KyTimerSchedule, ATickIsNoLongerCurrentAfterAnyChange)
{
    TKyTimerSchedule schedule;
    schedule.SetInterval(10);
    schedule.SetEnabled(true);
    uint64_t generation = 0;
    ASSERT_TRUE(schedule.WaitForTick(generation));
    EXPECT_TRUE(schedule.IsCurrent(generation));
    schedule.SetInterval(10);  // same value: no change
    EXPECT_TRUE(schedule.IsCurrent(generation));
    schedule.Restart();
    EXPECT_FALSE(schedule.IsCurrent(generation));

    ASSERT_TRUE(schedule.WaitForTick(generation));
    schedule.SetEnabled(false);
    EXPECT_FALSE(schedule.IsCurrent(generation));
    schedule.SetEnabled(true);
    EXPECT_FALSE(schedule.IsCurrent(generation)) << "switching back on does not revive an old tick";

    ASSERT_TRUE(schedule.WaitForTick(generation));
    schedule.Terminate();
    EXPECT_FALSE(schedule.IsCurrent(generation));
}

TEST(KyTimerSchedule, TerminateEndsTheWaitInEveryState)
{
    struct Case {
        bool enabled;
        unsigned interval;
    };
    for (const Case c : {Case{false, 1000}, Case{true, 60000}, Case{true, 0}}) {
        TKyTimerSchedule schedule;
        schedule.SetInterval(c.interval);
        schedule.SetEnabled(c.enabled);
        TickRecorder recorder(schedule);
        std::this_thread::sleep_for(20ms);
        schedule.Terminate();
        EXPECT_TRUE(recorder.WaitForEnd()) << "enabled " << c.enabled << " interval " << c.interval;
        EXPECT_EQ(recorder.Count(), 0u);
        EXPECT_TRUE(schedule.Terminated());
    }
}

TEST(KyTimerSchedule, IntervalZeroNeverTicks)
{
    TKyTimerSchedule schedule;
    schedule.SetInterval(0);
    schedule.SetEnabled(true);
    TickRecorder recorder(schedule);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(recorder.Count(), 0u);
    schedule.SetInterval(5);
    EXPECT_TRUE(recorder.WaitForTicks(2));
}

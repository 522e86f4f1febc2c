#include "panels/ChangeDebounce.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

using namespace qrv;

namespace {

// A periodic timer on a clock the test moves: it ticks every period from
// its last start until stopped, as the window timer does.
class FakeTimer : public TDebounceTimer {
public:
    void Start(unsigned Interval) override
    {
        starts.push_back(Interval);
        period_ = Interval;
        due_ = now + Interval;
        active_ = true;
    }
    void Stop() override { active_ = false; }
    bool Active() const override { return active_; }

    // Moves the clock to Until, ticking on the way.
    void RunUntil(uint64_t Until, const std::function<void()>& Tick)
    {
        while (active_ && due_ <= Until) {
            now = due_;
            due_ += period_;
            Tick();
        }
        now = Until;
    }

    uint64_t now = 0;
    std::vector<unsigned> starts;

private:
    bool active_ = false;
    unsigned period_ = 0;
    uint64_t due_ = 0;
};

class ChangeDebounceTest : public testing::Test {
protected:
    FakeTimer timer;
    TDebounceClock clock = [this] { return timer.now; };
    std::vector<uint64_t> fired;  // times of the re-reads
};

TEST_F(ChangeDebounceTest, TreeChangesAtZero300And600GiveOneValidation)
{
    TTreeChangeDebounce debounce(timer, clock);
    auto tick = [&] {
        if (debounce.Tick(false, 1000))
            fired.push_back(timer.now);
    };
    for (uint64_t at : {0, 300, 600}) {
        timer.RunUntil(at, tick);
        debounce.Change(1000);
    }
    timer.RunUntil(20000, tick);
    EXPECT_EQ(timer.starts, (std::vector<unsigned>{1000, 2000, 2000}));
    EXPECT_EQ(fired, (std::vector<uint64_t>{2600}));
    EXPECT_FALSE(debounce.Pending());
}

TEST_F(ChangeDebounceTest, ListTenChangesGiveOneRereadTwoSecondsAfterTheLast)
{
    TListChangeDebounce debounce(timer, clock);
    auto tick = [&] {
        if (debounce.Tick(false, 1000))
            fired.push_back(timer.now);
    };
    for (uint64_t at = 0; at <= 900; at += 100) {
        timer.RunUntil(at, tick);
        debounce.Change(1000);
    }
    timer.RunUntil(20000, tick);
    EXPECT_EQ(timer.starts, (std::vector<unsigned>{1000, 1000, 1000, 1000, 2000, 2000, 2000, 2000, 2000, 2000}));
    EXPECT_EQ(fired, (std::vector<uint64_t>{2900}));
    EXPECT_EQ(debounce.ChangeCount(), 9u);
}

TEST_F(ChangeDebounceTest, ASteadyStreamOfChangesCannotPostponeForEver)
{
    // A change every 500 ms for a minute: without a limit the timer would
    // never run out.
    TTreeChangeDebounce tree(timer, clock);
    auto tick = [&] {
        if (tree.Tick(false, 1000))
            fired.push_back(timer.now);
    };
    for (uint64_t at = 0; at < 60000; at += 500) {
        timer.RunUntil(at, tick);
        tree.Change(1000);
    }
    ASSERT_FALSE(fired.empty());
    EXPECT_LE(fired.front(), kMaxChangeDelay);
    for (size_t i = 1; i < fired.size(); ++i)
        EXPECT_LE(fired[i] - fired[i - 1], kMaxChangeDelay + 500) << i;
}

TEST_F(ChangeDebounceTest, TheListLimitHoldsToo)
{
    TListChangeDebounce list(timer, clock);
    auto tick = [&] {
        if (list.Tick(false, 1000))
            fired.push_back(timer.now);
    };
    for (uint64_t at = 0; at < 30000; at += 300) {
        timer.RunUntil(at, tick);
        list.Change(1000);
    }
    ASSERT_GE(fired.size(), 2u);
    EXPECT_LE(fired.front(), kMaxChangeDelay);
}

TEST_F(ChangeDebounceTest, ABlockedListTickComesAgainAfterTheInterval)
{
    TListChangeDebounce debounce(timer, clock);
    bool blocked = true;
    auto tick = [&] {
        if (debounce.Tick(blocked, 1000))
            fired.push_back(timer.now);
    };
    debounce.Change(1000);
    timer.RunUntil(3500, tick);  // ticks at 1000, 2000 and 3000 are skipped
    EXPECT_TRUE(fired.empty());
    EXPECT_TRUE(debounce.Pending());
    blocked = false;
    timer.RunUntil(10000, tick);
    EXPECT_EQ(fired, (std::vector<uint64_t>{4000}));
}

TEST_F(ChangeDebounceTest, ASkippedTickNearTheDeadlineRetriesWithTheWholeInterval)
{
    // Changes until the deadline leave a short last period; skipping a tick
    // of it must not turn the timer into a busy loop.
    TTreeChangeDebounce debounce(timer, clock);
    bool busy = true;
    int ticks = 0;
    auto tick = [&] {
        ++ticks;
        if (debounce.Tick(busy, 1000))
            fired.push_back(timer.now);
    };
    for (uint64_t at = 0; at <= 9900; at += 900) {
        timer.RunUntil(at, tick);
        debounce.Change(1000);
    }
    // The last restart at 9900 was cut to the deadline at 10000.
    EXPECT_EQ(timer.starts.back(), 100u);
    timer.RunUntil(12500, tick);
    EXPECT_EQ(ticks, 3);  // 10000, 11000, 12000
    busy = false;
    timer.RunUntil(20000, tick);
    EXPECT_EQ(fired, (std::vector<uint64_t>{13000}));
}

TEST_F(ChangeDebounceTest, StaleTicksAndCancelDoNothing)
{
    TListChangeDebounce debounce(timer, clock);
    EXPECT_FALSE(debounce.Tick(false, 1000));  // never started
    debounce.Change(1000);
    debounce.Cancel();
    EXPECT_FALSE(debounce.Pending());
    EXPECT_FALSE(debounce.Tick(false, 1000));
}

TEST_F(ChangeDebounceTest, ANewListIntervalRestartsAPendingTimer)
{
    TListChangeDebounce debounce(timer, clock);
    debounce.SetInterval(500);  // idle: nothing to restart
    EXPECT_TRUE(timer.starts.empty());
    debounce.Change(1000);
    timer.now = 200;
    debounce.SetInterval(3000);
    EXPECT_EQ(timer.starts, (std::vector<unsigned>{1000, 3000}));
    EXPECT_EQ(debounce.Period(), 3000u);
}

}  // namespace

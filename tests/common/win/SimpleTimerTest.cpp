#include "common/win/SimpleTimer.h"

#include "framework/SysUtils.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace qrv;
using qrv::test::PumpFor;
using qrv::test::PumpUntil;
using namespace std::chrono_literals;

TEST(SimpleTimer, TwoTimersTickIndependentlyAndOneGoingKeepsTheOther)
{
    int fast = 0, slow = 0;
    int fastData = 1, slowData = 2;
    void* fastSeen = nullptr;
    void* slowSeen = nullptr;
    auto a = TSimpleTimer::Create(&fastData, [&](void* data) {
        fastSeen = data;
        ++fast;
    });
    auto b = TSimpleTimer::Create(&slowData, [&](void* data) {
        slowSeen = data;
        ++slow;
    });
    EXPECT_FALSE(a->Active());
    EXPECT_EQ(a->Interval(), 0u);
    ASSERT_TRUE(a->Start(50));
    ASSERT_TRUE(b->Start(80));
    EXPECT_TRUE(a->Active());
    EXPECT_EQ(b->Interval(), 80u);
    EXPECT_EQ(a->Handle(), b->Handle()) << "all timers share one window";
    EXPECT_NE(a->TimerId(), b->TimerId());

    EXPECT_TRUE(PumpUntil([&] { return fast >= 4 && slow >= 3; }, 5s));
    EXPECT_EQ(fastSeen, &fastData);
    EXPECT_EQ(slowSeen, &slowData);

    const HWND window = b->Handle();
    a.reset();
    const int fastAtEnd = fast;
    const int slowBefore = slow;
    EXPECT_TRUE(PumpUntil([&] { return slow >= slowBefore + 3; }, 5s));
    EXPECT_EQ(fast, fastAtEnd);
    EXPECT_TRUE(IsWindow(window));

    b.reset();
    EXPECT_FALSE(IsWindow(window)) << "the last timer takes the shared window with it";
}

TEST(SimpleTimer, AThrowingCallbackKeepsTicking)
{
    int ticks = 0;
    TSimpleTimer timer(nullptr, [&](void*) {
        ++ticks;
        throw EConvertError(L"kaputt");
    });
    ASSERT_TRUE(timer.Start(20));
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 5s));
    EXPECT_TRUE(timer.Active());
}

TEST(SimpleTimer, ATickNamingAGoneTimerIsIgnored)
{
    TSimpleTimer keeper(nullptr, [](void*) {});  // keeps the shared window
    int oldTicks = 0, newTicks = 0;
    auto old = std::make_unique<TSimpleTimer>(nullptr, [&](void*) { ++oldTicks; });
    ASSERT_TRUE(old->Start(60000));
    const UINT_PTR staleId = old->TimerId();
    old.reset();
    // Very likely at the old one's address: an id taken from the address would reach it.
    auto fresh = std::make_unique<TSimpleTimer>(nullptr, [&](void*) { ++newTicks; });
    ASSERT_TRUE(fresh->Start(60000));
    EXPECT_NE(fresh->TimerId(), staleId);

    SendMessageW(keeper.Handle(), WM_TIMER, staleId, 0);
    SendMessageW(keeper.Handle(), WM_TIMER, 0xDEADBEEF, 0);
    EXPECT_EQ(oldTicks, 0);
    EXPECT_EQ(newTicks, 0);
    SendMessageW(keeper.Handle(), WM_TIMER, fresh->TimerId(), 0);
    EXPECT_EQ(newTicks, 1) << "the live timer's own id reaches it";

    fresh->Stop();
    SendMessageW(keeper.Handle(), WM_TIMER, fresh->TimerId(), 0);
    EXPECT_EQ(newTicks, 1) << "a tick still queued for a stopped timer is dropped";
}

TEST(SimpleTimer, StartRestartsThePeriodAndStopIsTrueWhenStopped)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point firstTick{};
    TSimpleTimer timer(nullptr, [&](void*) {
        if (firstTick == Clock::time_point{})
            firstTick = Clock::now();
    });
    EXPECT_TRUE(timer.Stop()) << "stopping a stopped timer succeeds";
    ASSERT_TRUE(timer.Start(400));
    PumpFor(150ms);
    ASSERT_EQ(firstTick, Clock::time_point{});
    const auto restarted = Clock::now();
    ASSERT_TRUE(timer.Start(400));
    EXPECT_TRUE(PumpUntil([&] { return firstTick != Clock::time_point{}; }, 5s));
    EXPECT_GE(firstTick - restarted, 380ms) << "Start on a running timer begins a new period";
    EXPECT_TRUE(timer.Stop());
    EXPECT_FALSE(timer.Active());
    EXPECT_TRUE(timer.Stop());
}

TEST(SimpleTimer, OneShotByStoppingInTheCallbackWithTheTimerHandedIn)
{
    int ticks = 0;
    int data = 7;
    TSimpleTimer* seen = nullptr;
    auto timer = TSimpleTimer::CreateEx(&data, [&](void* userData, TSimpleTimer* t) {
        EXPECT_EQ(userData, &data);
        seen = t;
        ++ticks;
        t->Stop();
    });
    ASSERT_TRUE(timer->Start(20));
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }, 5s));
    PumpFor(150ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(seen, timer.get());
}

TEST(SimpleTimer, ALastTimerDestroyedInItsOwnCallbackLeavesAWorkingHandler)
{
    int ticks = 0;
    std::unique_ptr<TSimpleTimer> timer;
    timer = TSimpleTimer::CreateEx(nullptr, [&](void*, TSimpleTimer*) {
        ++ticks;
        timer.reset();
    });
    ASSERT_TRUE(timer->Start(20));
    EXPECT_TRUE(PumpUntil([&] { return timer == nullptr; }, 5s));
    EXPECT_EQ(ticks, 1);

    int later = 0;
    TSimpleTimer next(nullptr, [&](void*) { ++later; });
    ASSERT_TRUE(next.Start(20));
    EXPECT_TRUE(PumpUntil([&] { return later >= 2; }, 5s));
}

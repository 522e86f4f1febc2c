#include "common/win/KyTimerThread.h"

#include "framework/SysUtils.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace qrv;
using qrv::test::PumpFor;
using qrv::test::PumpUntil;
using namespace std::chrono_literals;

TEST(KyTimerThread, FiresOnTheUiThreadWhileEnabled)
{
    TComponent owner(nullptr);
    TKyTimerThread timer(&owner, false);
    EXPECT_EQ(timer.Owner(), &owner);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    int ticks = 0;
    DWORD firedOn = 0;
    timer.OnTimer = [&](TKyTimerThread* sender) {
        EXPECT_EQ(sender, &timer);
        firedOn = GetCurrentThreadId();
        ++ticks;
    };
    timer.SetInterval(20);
    PumpFor(80ms);
    EXPECT_EQ(ticks, 0) << "disabled";
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 5s));
    EXPECT_EQ(firedOn, GetCurrentThreadId()) << "the test runs on the UI thread";
    EXPECT_NE(firedOn, timer.ThreadID());
}

TEST(KyTimerThread, DisablingInOnTimerMakesAOneShot)
{
    TKyTimerThread timer(nullptr, false);
    int ticks = 0;
    timer.OnTimer = [&](TKyTimerThread* sender) {
        ++ticks;
        sender->SetEnabled(false);
    };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }, 5s));
    PumpFor(150ms);
    EXPECT_EQ(ticks, 1);
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }, 5s)) << "enabled again, it fires again";
}

TEST(KyTimerThread, ASuspendedTimerWaitsForStart)
{
    TKyTimerThread timer(nullptr, true);
    int ticks = 0;
    timer.OnTimer = [&](TKyTimerThread*) { ++ticks; };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    PumpFor(100ms);
    EXPECT_EQ(ticks, 0);
    timer.Start();
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 1; }, 5s));
}

TEST(KyTimerThread, NoTickRunsOnceDestructionBegan)
{
    for (int round = 0; round < 20; ++round) {
        int ticks = 0;
        auto timer = std::make_unique<TKyTimerThread>(nullptr, false);
        timer->OnTimer = [&](TKyTimerThread*) { ++ticks; };
        timer->SetInterval(1);
        timer->SetEnabled(true);
        PumpUntil([&] { return ticks >= 1; }, 5s);
        Sleep(20);  // not pumping: a tick is now waiting in Synchronize
        const int before = ticks;
        timer.reset();
        EXPECT_EQ(ticks, before) << "round " << round;
    }
}

TEST(KyTimerThread, AThrowingHandlerIsReportedAndTheTimerGoesOn)
{
    int reported = 0;
    Application->OnException = [&](TComponent*, const std::exception&) { ++reported; };
    {
        TKyTimerThread timer(nullptr, false);
        int ticks = 0;
        timer.OnTimer = [&](TKyTimerThread*) {
            ++ticks;
            throw EConvertError(L"kaputt");
        };
        timer.SetInterval(10);
        timer.SetEnabled(true);
        EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 5s));
    }
    Application->OnException = nullptr;
    EXPECT_GE(reported, 3);
}

#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/Threads.h"
#include "framework/win/Timer.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

using namespace qrv;
using qrv::test::PumpFor;
using qrv::test::PumpUntil;

namespace {
class SyncThread : public TThread {
public:
    SyncThread() : TThread(true) {}
    DWORD workerId = 0;
    DWORD callbackId = 0;
    int value = 0;

protected:
    void Execute() override
    {
        workerId = GetCurrentThreadId();
        Synchronize([this] {
            callbackId = GetCurrentThreadId();
            value = 42;
        });
        ReturnValue = value + 1;
    }
};

class ThrowingSync : public TThread {
public:
    ThrowingSync() : TThread(true) {}
    bool caught = false;

protected:
    void Execute() override
    {
        try {
            Synchronize([] { throw EConvertError(L"bad"); });
        } catch (const EConvertError&) {
            caught = true;
        }
    }
};

class CountingThread : public TThread {
public:
    explicit CountingThread(std::atomic<int>& runs) : TThread(true), runs_(runs) {}

protected:
    void Execute() override { ++runs_; }

private:
    std::atomic<int>& runs_;
};

class SelfFreeingThread : public TThread {
public:
    explicit SelfFreeingThread(std::atomic<bool>& destroyed) : TThread(true), destroyed_(destroyed)
    {
        FreeOnTerminate = true;
    }
    ~SelfFreeingThread() override { destroyed_ = true; }

protected:
    void Execute() override {}

private:
    std::atomic<bool>& destroyed_;
};
}  // namespace

TEST(Thread, SynchronizeRunsTheCallOnTheUiThread)
{
    SyncThread thread;
    thread.Start();
    EXPECT_EQ(thread.WaitFor(), 43) << "WaitFor answers the Synchronize call instead of deadlocking";
    EXPECT_NE(thread.workerId, GetCurrentThreadId());
    EXPECT_EQ(thread.callbackId, GetCurrentThreadId());
}

TEST(Thread, ExceptionsOfTheCallReachTheWorker)
{
    ThrowingSync thread;
    thread.Start();
    thread.WaitFor();
    EXPECT_TRUE(thread.caught);
}

TEST(Thread, FreeOnTerminateRunsOnTerminateThenFreesItself)
{
    std::atomic<bool> destroyed{false};
    bool terminated = false;
    auto* thread = new SelfFreeingThread(destroyed);
    thread->OnTerminate = [&](TThread*) { terminated = true; };
    thread->Start();
    EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(terminated);
}

TEST(Thread, AThreadNeverStartedEndsWithoutRunningExecute)
{
    std::atomic<int> runs{0};
    bool terminated = false;
    TKernelHandle system;
    {
        CountingThread thread(runs);
        thread.OnTerminate = [&](TThread*) { terminated = true; };
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread.Handle(), GetCurrentProcess(), system.Receive(),
                                    SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0));
    }  // leaves scope without Start
    EXPECT_EQ(WaitForSingleObject(system.Get(), 0), WAIT_OBJECT_0) << "the system's thread outlived the object";
    DWORD exitCode = STILL_ACTIVE;
    ASSERT_TRUE(GetExitCodeThread(system.Get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(runs.load(), 0) << "Execute ran although the thread was never started";
    EXPECT_FALSE(terminated) << "OnTerminate ran for a thread that never ran";
}

TEST(Timer, TicksWhileEnabledAndStopsWhenDisabled)
{
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(10);
    timer.OnTimer = [&](TComponent* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    };
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, std::chrono::seconds(5)));
    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpFor(std::chrono::milliseconds(60));
    EXPECT_EQ(ticks, stopped);
}

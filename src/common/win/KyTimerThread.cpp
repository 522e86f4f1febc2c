#include "common/win/KyTimerThread.h"

#include "framework/win/WindowProcedures.h"

namespace qrv {

TKyTimerThread::TKyTimerThread(TComponent* Owner, bool CreateSuspended) : TThread(true), owner_(Owner)
{
    if (!CreateSuspended)
        Start();
}

TKyTimerThread::~TKyTimerThread()
{
    // Stop and join here, while the schedule still exists. WaitFor keeps
    // answering Synchronize, and a tick waiting there sees the schedule
    // terminated and does not call OnTimer.
    Terminate();
    if (GetCurrentThreadId() == ThreadID())
        return;  // freeing itself at its end
    Start();     // a thread never started runs to its end at once
    WaitFor();
}

void TKyTimerThread::Execute()
{
    uint64_t generation = 0;
    while (schedule_.WaitForTick(generation)) {
        Synchronize([this, generation] {
            // Checked on the UI thread, where Enabled and Interval are set: a
            // change made after the tick was decided still suppresses it.
            if (!schedule_.IsCurrent(generation) || !OnTimer)
                return;
            try {
                OnTimer(this);
            } catch (...) {
                // A failing handler is reported and the timer keeps running.
                HandleWindowException(std::current_exception());
            }
        });
    }
}

}  // namespace qrv

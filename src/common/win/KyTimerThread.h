#pragma once
// TKyTimerThread: a timer that counts on a thread of its own and fires OnTimer
// on the user-interface thread through Synchronize. Enabling it, or changing
// Interval, starts a whole interval anew. Destroy it (on the user-interface
// thread, not from inside its own OnTimer) to end it: no tick runs after that.

#include "common/KyTimerThread.h"
#include "framework/Component.h"
#include "framework/win/Threads.h"

#include <functional>

namespace qrv {

class TKyTimerThread : public TThread {
public:
    // Enabled false, Interval 1,000 ms; the thread runs at once unless
    // CreateSuspended (then Start runs it).
    TKyTimerThread(TComponent* Owner, bool CreateSuspended);
    ~TKyTimerThread() override;

    TComponent* Owner() const { return owner_; }
    bool Enabled() const { return schedule_.Enabled(); }
    void SetEnabled(bool Value) { schedule_.SetEnabled(Value); }
    unsigned Interval() const { return schedule_.Interval(); }
    void SetInterval(unsigned Value) { schedule_.SetInterval(Value); }
    // Drops the tick of the running interval and counts a whole one anew.
    void Restart() { schedule_.Restart(); }

    std::function<void(TKyTimerThread* Sender)> OnTimer;

protected:
    void Execute() override;
    void TerminatedSet() override { schedule_.Terminate(); }

private:
    TComponent* owner_;
    TKyTimerSchedule schedule_;
};

}  // namespace qrv

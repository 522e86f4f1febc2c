#pragma once
// TSimpleTimer: a timer delivered by WM_TIMER to one hidden window that all
// timers of the process share. It fires every Interval until stopped; for a
// one-shot use call Stop (or Start again) in the callback. Timers belong to
// the user-interface thread.

#include "framework/win/WinApi.h"

#include <functional>
#include <memory>

namespace qrv {

class TSimpleTimer {
public:
    using TSimpleTimerProc = std::function<void(void* UserData)>;
    using TSimpleTimerProcEx = std::function<void(void* UserData, TSimpleTimer* Timer)>;

    // A stopped timer with Interval 0 that calls Proc (or ProcEx) with UserData.
    TSimpleTimer(void* UserData, TSimpleTimerProc Proc);
    TSimpleTimer(void* UserData, TSimpleTimerProcEx ProcEx);
    static std::unique_ptr<TSimpleTimer> Create(void* UserData, TSimpleTimerProc Proc);
    static std::unique_ptr<TSimpleTimer> CreateEx(void* UserData, TSimpleTimerProcEx ProcEx);
    // Stops the timer; the shared window goes with the last timer.
    ~TSimpleTimer();
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;

    // (Re)starts the period; true and Active when the system timer was set.
    bool Start(unsigned Interval);
    // True when the timer was not running or the system timer was killed.
    bool Stop();

    void* UserData() const { return userData_; }
    // A number unique to this timer for the life of the process; a tick that
    // names a timer no longer alive is ignored.
    UINT_PTR TimerId() const { return timerId_; }
    bool Active() const { return active_; }
    unsigned Interval() const { return interval_; }
    // The shared window the ticks are delivered to.
    HWND Handle() const;

private:
    friend class TSimpleTimerHandler;
    void Fire();

    void* userData_;
    UINT_PTR timerId_;
    bool active_ = false;
    unsigned interval_ = 0;
    TSimpleTimerProc proc_;
    TSimpleTimerProcEx procEx_;
};

}  // namespace qrv

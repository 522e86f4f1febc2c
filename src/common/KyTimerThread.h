#pragma once
// TKyTimerSchedule: the clock of the thread timer. The worker thread blocks in
// WaitForTick until a full quiet interval has passed while enabled; every
// change of Enabled or Interval wakes it and starts the interval anew, so the
// first tick after a change comes one whole interval later and no wake-up is
// ever lost. Portable; the Win32 thread that fires the ticks on the
// user-interface thread is in common/win/KyTimerThread.h.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace qrv {

class TKyTimerSchedule {
public:
    bool Enabled() const;
    unsigned Interval() const;
    // Store the value and restart the interval when it differs.
    void SetEnabled(bool value);
    void SetInterval(unsigned milliseconds);
    // Starts the current interval anew (a tick pending in it is dropped).
    void Restart();
    // Ends every present and future WaitForTick.
    void Terminate();
    bool Terminated() const;

    // Worker side: blocks until a tick is due (true, with the generation it
    // belongs to) or the schedule is terminated (false). An interval of 0
    // never ticks, as with a disabled timer.
    bool WaitForTick(uint64_t& generation);
    // True while a tick of that generation may still be delivered: enabled,
    // not terminated and no change since the tick was decided.
    bool IsCurrent(uint64_t generation) const;

private:
    void Changed();  // called with the lock held

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool enabled_ = false;
    unsigned interval_ = 1000;
    bool terminated_ = false;
    uint64_t generation_ = 0;
};

}  // namespace qrv

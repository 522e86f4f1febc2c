#include "common/KyTimerThread.h"

namespace qrv {

bool TKyTimerSchedule::Enabled() const
{
    std::lock_guard lock(mutex_);
    return enabled_;
}

unsigned TKyTimerSchedule::Interval() const
{
    std::lock_guard lock(mutex_);
    return interval_;
}

void TKyTimerSchedule::SetEnabled(bool value)
{
    std::lock_guard lock(mutex_);
    if (enabled_ == value)
        return;
    enabled_ = value;
    Changed();
}

void TKyTimerSchedule::SetInterval(unsigned milliseconds)
{
    std::lock_guard lock(mutex_);
    if (interval_ == milliseconds)
        return;
    interval_ = milliseconds;
    Changed();
}

void TKyTimerSchedule::Restart()
{
    std::lock_guard lock(mutex_);
    Changed();
}

void TKyTimerSchedule::Terminate()
{
    std::lock_guard lock(mutex_);
    terminated_ = true;
    Changed();
}

bool TKyTimerSchedule::Terminated() const
{
    std::lock_guard lock(mutex_);
    return terminated_;
}

void TKyTimerSchedule::Changed()
{
    ++generation_;
    wake_.notify_all();
}

bool TKyTimerSchedule::WaitForTick(uint64_t& generation)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return terminated_ || (enabled_ && interval_ > 0); });
        if (terminated_)
            return false;
        // One full interval without a change of the settings gives a tick.
        const uint64_t started = generation_;
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_);
        if (!wake_.wait_until(lock, due, [&] { return generation_ != started; })) {
            generation = started;
            return true;
        }
    }
}

bool TKyTimerSchedule::IsCurrent(uint64_t generation) const
{
    std::lock_guard lock(mutex_);
    return enabled_ && !terminated_ && generation_ == generation;
}

}  // namespace qrv

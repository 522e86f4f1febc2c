#include "panels/ChangeDebounce.h"

#include <algorithm>

namespace qrv {

void TChangeDebounceBase::Restart(unsigned Wanted, unsigned Interval, bool Fresh)
{
    const uint64_t now = clock_();
    if (Fresh)
        deadline_ = now + std::max(kMaxChangeDelay, Interval);
    if (!Fresh && now >= deadline_)
        return;  // the running timer ticks by the deadline already
    const uint64_t left = Fresh ? Wanted : std::min<uint64_t>(Wanted, deadline_ - now);
    period_ = static_cast<unsigned>(left);
    timer_.Start(period_);
}

void TChangeDebounceBase::Skip(unsigned Interval)
{
    if (period_ < Interval) {
        period_ = Interval;
        timer_.Start(period_);
    }
}

void TTreeChangeDebounce::Change(unsigned Interval)
{
    if (timer_.Active())
        Restart(std::max(Interval, kBusyChangeInterval), Interval, false);
    else
        Restart(Interval, Interval, true);
}

bool TTreeChangeDebounce::Tick(bool Busy, unsigned Interval)
{
    if (!timer_.Active())
        return false;
    if (Busy) {
        Skip(Interval);
        return false;
    }
    timer_.Stop();
    return true;
}

void TListChangeDebounce::Change(unsigned Interval)
{
    if (!timer_.Active()) {
        changeCount_ = 0;
        Restart(Interval, Interval, true);
        return;
    }
    ++changeCount_;
    Restart(changeCount_ <= 3 ? Interval : std::max(Interval, kBusyChangeInterval), Interval, false);
}

bool TListChangeDebounce::Tick(bool Blocked, unsigned Interval)
{
    if (!timer_.Active())
        return false;
    if (Blocked) {
        Skip(Interval);
        return false;
    }
    timer_.Stop();
    return true;
}

void TListChangeDebounce::SetInterval(unsigned Interval)
{
    if (timer_.Active())
        Restart(Interval, Interval, false);
}

}  // namespace qrv

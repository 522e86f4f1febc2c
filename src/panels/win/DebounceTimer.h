#pragma once
// The change debounce machines (panels/ChangeDebounce.h) over the process's
// shared window timer and the system's tick count.

#include "common/win/SimpleTimer.h"
#include "panels/ChangeDebounce.h"

#include <functional>

namespace qrv {

class TWindowDebounceTimer : public TDebounceTimer {
public:
    // OnTick runs on the user-interface thread at every tick.
    explicit TWindowDebounceTimer(std::function<void()> OnTick)
        : timer_(nullptr, [tick = std::move(OnTick)](void*) { tick(); })
    {}
    void Start(unsigned Interval) override { timer_.Start(Interval); }
    void Stop() override { timer_.Stop(); }
    bool Active() const override { return timer_.Active(); }

private:
    TSimpleTimer timer_;
};

inline uint64_t DebounceClockNow()
{
    return GetTickCount64();
}

}  // namespace qrv

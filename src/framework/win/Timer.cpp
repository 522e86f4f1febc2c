#include "framework/win/Timer.h"

#include "framework/SysUtils.h"
#include "framework/win/UtilWindow.h"

namespace qrv {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    window_ = std::make_unique<TUtilWindow>([this](TMessage& message) {
        if (message.Msg != WM_TIMER)
            return false;
        if (running_ && OnTimer)
            OnTimer(this);
        return true;
    });
    Update();
}

TTimer::~TTimer()
{
    if (running_)
        KillTimer(window_->Handle(), kTimerId);
}

void TTimer::SetInterval(unsigned milliseconds)
{
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    Update();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Update();
}

// The system timer runs while the timer is enabled and has an interval.
void TTimer::Update()
{
    if (running_) {
        KillTimer(window_->Handle(), kTimerId);
        running_ = false;
    }
    if (enabled_ && interval_ > 0) {
        running_ = SetTimer(window_->Handle(), kTimerId, interval_, nullptr) != 0;
        if (!running_)
            throw EOutOfResources(L"Nicht genügend Timer verfügbar");
    }
}

}  // namespace qrv

#include "editor/win/EasyTimer.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/UtilWindow.h"

namespace qrv {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TEasyTimer::TEasyTimer(TComponent* owner) : TComponent(owner)
{
    window_ = std::make_unique<TUtilWindow>([this](TMessage& message) {
        if (message.Msg != WM_TIMER)
            return false;
        Timer();
        return true;
    });
}

TEasyTimer::~TEasyTimer()
{
    if (running_)
        KillTimer(window_->Handle(), kTimerId);
}

void TEasyTimer::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    UpdateTimer();
}

void TEasyTimer::SetInterval(unsigned value)
{
    if (value == interval_)
        return;
    interval_ = value;
    UpdateTimer();
}

void TEasyTimer::SetOnTimer(TNotifyEvent value)
{
    onTimer_ = std::move(value);
    UpdateTimer();
}

void TEasyTimer::UpdateTimer()
{
    if (running_) {
        KillTimer(window_->Handle(), kTimerId);
        running_ = false;
    }
    if (interval_ > 0 && enabled_ && onTimer_) {
        if (SetTimer(window_->Handle(), kTimerId, interval_, nullptr) == 0)
            throw EOutOfResources(L"Nicht genügend Timer verfügbar");
        running_ = true;
    }
}

void TEasyTimer::Timer()
{
    if (!running_ || !onTimer_)
        return;
    try {
        onTimer_(this);
    } catch (...) {
        if (Application)
            Application->HandleException(std::current_exception());
        else
            TraceIgnoredException(L"Zeitgeberereignis ohne Anwendung");
    }
}

}  // namespace qrv

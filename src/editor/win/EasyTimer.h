#pragma once
// The editor's window-message timer: runs while it is enabled, has an
// interval and an event.

#include "framework/Component.h"

#include <memory>

namespace qrv {

class TUtilWindow;

class TEasyTimer : public TComponent {
public:
    explicit TEasyTimer(TComponent* owner);
    ~TEasyTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned value);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);
    bool Running() const { return running_; }

private:
    // Kills the timer and starts it again when all three allow it; a refused
    // timer raises EOutOfResources.
    void UpdateTimer();
    void Timer();

    std::unique_ptr<TUtilWindow> window_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    bool running_ = false;
};

}  // namespace qrv

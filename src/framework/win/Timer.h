#pragma once
// TTimer: a periodic timer on the user-interface thread.

#include "framework/Component.h"

#include <memory>

namespace qrv {

class TUtilWindow;

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The system timer runs (enabled, with an interval).
    bool Running() const { return running_; }
    TNotifyEvent OnTimer;

private:
    void Update();
    std::unique_ptr<TUtilWindow> window_;
    unsigned interval_ = 1000;
    bool enabled_ = true;
    bool running_ = false;
};

}  // namespace qrv

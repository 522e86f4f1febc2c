#include "editor/EasyHintTicker.h"

#include <limits>

namespace qrv {

void TEasyHintTicker::Start(const TEasyHintRect& rect)
{
    rect_ = rect;
    state_ = hsWaiting;
}

bool TEasyHintTicker::InHintArea(const TEasyHintRect& rect, TEasyHintPoint point) const
{
    if (!TrackArea)
        return true;
    const int64_t top = int64_t{rect.Top} - (int64_t{rect.Bottom} - rect.Top);
    return point.X >= rect.Left && point.X < rect.Right && point.Y >= top && point.Y < rect.Bottom;
}

bool TEasyHintTicker::Inside()
{
    return InHintArea(rect_, host_.CursorPos());
}

void TEasyHintTicker::Tick()
{
    const auto grow = [this] {
        if (counter_ < std::numeric_limits<uint32_t>::max())
            ++counter_;
    };
    switch (state_) {
    case hsWaiting: {
        const bool inside = Inside();
        if (!AutoHide || inside) {
            const uint32_t delay = ShortPause || host_.WindowVisible() ? host_.HintShortPause() : host_.HintPause();
            if (Immediate || Elapsed() >= delay) {
                TEasyHintRect shown = rect_;
                shown.Top += VerticalOffset;
                shown.Bottom += VerticalOffset;
                host_.ActivateWindow(shown);
                counter_ = 0;
                state_ = hsShown;
            } else {
                grow();
            }
        }
        if (AutoHide && !inside)
            state_ = hsHiding;
        break;
    }
    case hsShown:
        if (!AutoHide || (Inside() && host_.HintHidePause() >= Elapsed())) {
            grow();
        } else {
            host_.HideWindow();
            counter_ = 0;
            state_ = hsHiding;
        }
        break;
    case hsHiding:
        host_.HideWindow();
        counter_ = 0;
        if (!Inside())
            host_.StopTimer();
        break;
    }
}

}  // namespace qrv

#include "widgets/win/KyThemeCtrls.h"

#include <algorithm>

namespace qrv {

// --- TXPTrackBar -----------------------------------------------------------

TXPTrackBar::TXPTrackBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 45);
}

void TXPTrackBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = TRACKBAR_CLASSW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS;
    if (showSelRange_)
        params.Style |= TBS_ENABLESELRANGE;
}

void TXPTrackBar::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    SendRange();
    SendMessageW(handle_, TBM_SETTICFREQ, frequency_, 0);
    SendMessageW(handle_, TBM_SETPOS, TRUE, position_);
}

void TXPTrackBar::DestroyWnd()
{
    if (HandleAllocated())
        position_ = static_cast<int>(SendMessageW(handle_, TBM_GETPOS, 0, 0));
    TWinControl::DestroyWnd();
}

void TXPTrackBar::SendRange()
{
    if (!HandleAllocated())
        return;
    SendMessageW(handle_, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(handle_, TBM_SETRANGEMAX, TRUE, max_);
}

void TXPTrackBar::SetMin(int value)
{
    min_ = value;
    if (max_ < min_)
        max_ = min_;
    position_ = std::clamp(Position(), min_, max_);
    SendRange();
}

void TXPTrackBar::SetMax(int value)
{
    max_ = value;
    if (min_ > max_)
        min_ = max_;
    position_ = std::clamp(Position(), min_, max_);
    SendRange();
}

void TXPTrackBar::SetFrequency(int value)
{
    frequency_ = std::max(1, value);
    if (HandleAllocated())
        SendMessageW(handle_, TBM_SETTICFREQ, frequency_, 0);
}

int TXPTrackBar::Position()
{
    if (HandleAllocated())
        position_ = static_cast<int>(SendMessageW(handle_, TBM_GETPOS, 0, 0));
    return position_;
}

void TXPTrackBar::SetPosition(int value)
{
    position_ = std::clamp(value, min_, max_);
    if (HandleAllocated())
        SendMessageW(handle_, TBM_SETPOS, TRUE, position_);
}

void TXPTrackBar::SetShowSelRange(bool show)
{
    if (show == showSelRange_)
        return;
    Position();  // keep the thumb across the new window
    showSelRange_ = show;
    RecreateWnd();
}

// --- TXPSpeedButton --------------------------------------------------------

TXPSpeedButton::TXPSpeedButton(TComponent* owner) : TKyToolbarButton(owner)
{
    SetFlat(false);
}

void TXPSpeedButton::CreateParams(TCreateParams& params)
{
    TKyToolbarButton::CreateParams(params);
    params.WinClassName = L"TXPSpeedButton";
}

}  // namespace qrv

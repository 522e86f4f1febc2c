#include "widgets/win/KyThemeCtrls.h"

#include "framework/win/Handles.h"

#include <uxtheme.h>
#include <vssym32.h>

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

bool TXPSpeedButton::Themed()
{
    if (!HandleAllocated() || !IsThemeActive() || !IsAppThemed())
        return false;
    const HTHEME theme = OpenThemeData(handle_, L"Button");
    if (!theme)
        return false;
    CloseThemeData(theme);
    return true;
}

void TXPSpeedButton::Paint(HDC target, const RECT& client)
{
    lastPaintThemed_ = Themed();
    if (!lastPaintThemed_) {
        TKyToolbarButton::Paint(target, client);
        return;
    }
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    const TOwnDC memory(CreateCompatibleDC(target));
    const TGdiObject bitmap(CreateCompatibleBitmap(target, width, height));
    const HDC dc = memory.Get();
    const TSelectObject selectBitmap(dc, bitmap.Get());
    RECT r{0, 0, width, height};
    // The parent's background shows round the style's rounded corners.
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawThemeParentBackground(handle_, dc, &r);
    const HTHEME theme = OpenThemeData(handle_, Flat() ? L"Toolbar" : L"Button");
    int state = PBS_NORMAL;
    if (!Enabled())
        state = PBS_DISABLED;
    else if (Pushed() || Down())
        state = PBS_PRESSED;
    else if (Hot())
        state = PBS_HOT;
    if (theme) {
        DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &r, nullptr);
        CloseThemeData(theme);
    }
    DrawContent(dc, r, false);
    BitBlt(target, client.left, client.top, width, height, dc, 0, 0, SRCCOPY);
}

void TXPSpeedButton::WndProc(TMessage& message)
{
    if (message.Msg == WM_THEMECHANGED && HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
    TKyToolbarButton::WndProc(message);
}

}  // namespace qrv

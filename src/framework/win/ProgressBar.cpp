#include "framework/win/ProgressBar.h"

#include <commctrl.h>

#include <algorithm>

namespace qrv {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = PROGRESS_CLASSW;
    params.SystemClass = true;
    if (smooth_)
        params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    SendMessageW(handle_, PBM_SETRANGE32, 0, max_);
    SendMessageW(handle_, PBM_SETPOS, position_, 0);
}

void TProgressBar::SetMax(int max)
{
    max_ = std::max(max, 0);
    position_ = std::min(position_, max_);
    if (HandleAllocated())
        SendMessageW(handle_, PBM_SETRANGE32, 0, max_);
}

int TProgressBar::Position()
{
    if (HandleAllocated())
        position_ = static_cast<int>(SendMessageW(handle_, PBM_GETPOS, 0, 0));
    return position_;
}

void TProgressBar::SetPosition(int position)
{
    position_ = std::clamp(position, 0, max_);
    if (HandleAllocated())
        SendMessageW(handle_, PBM_SETPOS, position_, 0);
}

void TProgressBar::StepIt()
{
    SetPosition(Position() + Step);
}

void TProgressBar::SetSmooth(bool smooth)
{
    if (smooth_ == smooth)
        return;
    smooth_ = smooth;
    if (HandleAllocated())
        RecreateWnd();
}

}  // namespace qrv

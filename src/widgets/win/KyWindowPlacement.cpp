#include "widgets/win/KyWindowPlacement.h"

#include "framework/ScreenFit.h"
#include "framework/win/HintWindow.h"

namespace qrv {

void KeepRectOnScreen(RECT& rect)
{
    const TScreenRect kept = KeepOnAreas({rect.left, rect.top, rect.right, rect.bottom}, MonitorAreas(true));
    rect = RECT{kept.Left, kept.Top, kept.Right, kept.Bottom};
}

void CenterWindow(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    const std::vector<TScreenRect> areas = MonitorAreas(true);
    const TScreenRect& area = AreaHolding({r.left, r.top, r.right, r.bottom}, areas);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    RECT centred{(area.Left + area.Right - width) / 2, (area.Top + area.Bottom - height) / 2, 0, 0};
    centred.right = centred.left + width;
    centred.bottom = centred.top + height;
    KeepRectOnScreen(centred);
    SetWindowPos(window, nullptr, centred.left, centred.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ActivateWindow(HWND window, bool restore)
{
    if (!IsWindowEnabled(window))
        return false;
    SetForegroundWindow(window);
    if (!restore)
        return true;
    if (!IsWindowVisible(window))
        return false;
    if (!IsZoomed(window))
        SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    return GetFocus() == window || IsChild(window, GetFocus());
}

}  // namespace qrv

#include "framework/win/ComCtrlsCommon.h"

namespace qrv {

void SetStyleBit(HWND window, DWORD bit, bool on)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR changed = on ? (style | bit) : (style & ~static_cast<LONG_PTR>(bit));
    if (changed == style)
        return;
    SetWindowLongPtrW(window, GWL_STYLE, changed);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
}

TShortCut CurrentShiftState()
{
    TShortCut shift = scNone;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= scCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= scAlt;
    return shift;
}

bool KeySwallowed(const TKeyEvent& event, TComponent* sender, WPARAM key)
{
    if (!event)
        return false;
    uint16_t code = static_cast<uint16_t>(key);
    event(sender, code, CurrentShiftState());
    return code == 0;
}

}  // namespace qrv

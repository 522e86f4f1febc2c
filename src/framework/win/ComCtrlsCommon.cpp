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

}  // namespace qrv

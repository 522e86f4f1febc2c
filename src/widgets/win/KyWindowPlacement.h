#pragma once
// Placing and activating windows: kept on the monitor that holds them,
// centred, brought to the front.

#include <windows.h>

namespace qrv {

// Moves the rectangle (its size kept) onto the work area of the monitor
// that holds it, so a window on a second monitor stays there.
void KeepRectOnScreen(RECT& rect);
// Moves the window to the centre of its monitor's work area, kept on it; no
// size, activation or z-order change.
void CenterWindow(HWND window);
// False for a disabled window; brings it to the foreground. With restore:
// false for an invisible window, otherwise a minimised one is restored and
// the result is whether it has the focus then.
bool ActivateWindow(HWND window, bool restore);

}  // namespace qrv

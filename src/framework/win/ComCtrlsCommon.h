#pragma once
// What the list view and the tree view (ComCtrls.h) share in their sources.

#include "framework/win/WinApi.h"

namespace qrv {

// Sets or clears a window style bit and has the frame drawn again.
void SetStyleBit(HWND window, DWORD bit, bool on);

}  // namespace qrv

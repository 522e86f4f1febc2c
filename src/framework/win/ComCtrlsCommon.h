#pragma once
// What the list view and the tree view (ComCtrls.h) share in their sources.

#include "framework/win/ComCtrls.h"
#include "framework/win/WinApi.h"

namespace qrv {

// Sets or clears a window style bit and has the frame drawn again.
void SetStyleBit(HWND window, DWORD bit, bool on);

// The modifier keys held now (scShift, scCtrl, scAlt).
TShortCut CurrentShiftState();
// Calls the key event; true when the handler swallowed the key.
bool KeySwallowed(const TKeyEvent& event, TComponent* sender, WPARAM key);

}  // namespace qrv

#pragma once
// Keys pressed with Alt that a command takes before the default window
// procedure sees them.

#include "framework/win/WinApi.h"

namespace qrv {

// A key pressed with Alt was taken by a command: tells the default window
// procedure, which otherwise takes the Alt key coming up next for one pressed
// alone and opens the menu bar, where the following keys (F3, Strg+D) go
// unheard.
void AltKeyCombinationTaken(HWND window, WPARAM key);

}  // namespace qrv

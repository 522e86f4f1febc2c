#pragma once
// The editor utilities that ask the system: key state, the temporary
// folder, the screen's resolution and colour depth, opening a URL.

#include "editor/EasyUtils.h"

#include <windows.h>

#include <string>

namespace qrv {

// The Alt key is down right now.
bool AltDown();
// Shift, Alt and Ctrl as they are right now (ssShift, ssAlt, ssCtrl).
TEasyShiftState ShiftStateNow();
// The system's temporary folder without its trailing backslash (kept for a root).
std::wstring TempDirectory();
// The screen's pixels per inch, read once.
int ScreenPixelsPerInchX();
int ScreenPixelsPerInchY();
// The display has more than 8 bits per pixel.
bool HighColorDisplay();
// Gives the window flat scroll bars where the system has them; false (the
// bars stay plain) where it has none.
bool InitializeFlatScrollBars(HWND window);
// Asks the shell to open the text with its default verb; no result is checked.
void OpenUrl(const std::wstring& url);

}  // namespace qrv

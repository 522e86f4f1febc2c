#pragma once
// A window as the screen shows it, saved as a 24-bit bottom-up BMP file: for
// the probes that let a person or a script look at a control.

#include <windows.h>

#include <string>

namespace qrv {

// False when the screen could not be read or the file not written.
[[nodiscard]] bool SaveWindowPicture(HWND window, const std::wstring& fileName);

// Shows the window in front (above all windows while the picture is taken),
// lets it and its children paint (the queue pumped for a moment, so a window
// manager can place it too), then saves it as above.
[[nodiscard]] bool ShowAndSaveWindowPicture(HWND window, const std::wstring& fileName);

}  // namespace qrv

#pragma once
// Pictures the program has no class of its own for, decoded by the system's
// imaging component (JPEG for the display pane).

#include <windows.h>

#include <string>

namespace qrv {

// The first frame of the picture file as a 32-bit top-down bitmap the caller
// owns. Throws EInvalidGraphic when the file cannot be decoded. COM must be
// initialised on the thread.
HBITMAP LoadWicBitmap(const std::wstring& fileName);

}  // namespace qrv

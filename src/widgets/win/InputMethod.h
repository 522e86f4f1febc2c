#pragma once
// Switching a window's input method as a grid column asks for its editor.

#include "framework/win/WinApi.h"
#include "widgets/ImpGridColumn.h"

#include <string>

namespace qrv {

// Disables the window's input method, closes or opens it, or opens it in a
// conversion mode; imDontCare leaves it as it is. A non-empty name makes the
// installed input method of that description the active keyboard layout
// (traced when none has it).
void ApplyInputMethod(HWND window, TImeMode mode, const std::wstring& imeName);

}  // namespace qrv

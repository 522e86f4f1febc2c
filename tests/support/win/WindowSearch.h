#pragma once
// Finding windows the way a user sees them: by their text.

#include "framework/win/WinApi.h"

#include <string>

namespace qrv::test {

// The child window (at any depth) whose text is exactly text, or nullptr.
HWND FindChildByText(HWND parent, const std::wstring& text);

}  // namespace qrv::test

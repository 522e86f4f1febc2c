#pragma once
// Finding windows the way a user sees them: by their text.

#include "framework/win/WinApi.h"

#include <string>

namespace qrv::test {

// The child window (at any depth) whose text is exactly text, or nullptr.
HWND FindChildByText(HWND parent, const std::wstring& text);
// The texts of all child windows (at any depth), each followed by a line feed.
std::wstring ChildTexts(HWND parent);

}  // namespace qrv::test

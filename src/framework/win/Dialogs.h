#pragma once
// Message boxes.

#include "framework/win/WinApi.h"

#include <functional>
#include <string>

namespace qrv {

// A message box over MessageBoxIndirectW. With a help context other than 0 the
// box shows a Help button, and pressing it calls onHelp with that context.
int MessageBoxWithHelp(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                       DWORD helpContext = 0, const std::function<void(DWORD helpContext)>& onHelp = {});

}  // namespace qrv

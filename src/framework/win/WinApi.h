#pragma once
// The one place the Windows headers are included for the framework layer.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

// The string lists' GetObject keeps its name in Windows code; the GDI call
// is written GetObjectW.
#undef GetObject

#include <string>

namespace qrv {

// The text of a system error code, without the trailing line break.
std::wstring SysErrorMessage(DWORD errorCode);
// The whole text of a window.
std::wstring WindowText(HWND window);
// The full name of this program's executable.
std::wstring ExeName();
// Throws EOSError with the last error's text when ok is false.
void Win32Check(BOOL ok, const wchar_t* what = nullptr);

}  // namespace qrv

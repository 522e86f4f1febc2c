#include "framework/win/WinApi.h"

#include "framework/SysUtils.h"
#include "framework/win/Handles.h"

namespace qrv {

std::wstring SysErrorMessage(DWORD errorCode)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const TLocalMemory owner(buffer);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    return TrimRight(text);
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring ExeName()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void Win32Check(BOOL ok, const wchar_t* what)
{
    if (ok)
        return;
    const DWORD error = GetLastError();
    std::wstring message = SysErrorMessage(error);
    if (what)
        message = std::wstring(what) + L": " + message;
    throw EOSError(message, error);
}

}  // namespace qrv

#include "framework/win/WinApi.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring SysErrorMessage(DWORD errorCode)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        LocalFree(buffer);
    return TrimRight(text);
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

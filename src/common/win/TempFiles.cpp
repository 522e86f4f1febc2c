#include "common/win/TempFiles.h"

#include "common/BaseUtils.h"
#include "framework/win/WinApi.h"

namespace qrv {

std::wstring TemporaryFolder()
{
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return {};
    return AddBackslash(std::wstring_view(buffer, length));
}

std::wstring CreateTemporaryFile(const std::wstring& Folder, const wchar_t* Prefix)
{
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(Folder.c_str(), Prefix, 0, name) == 0)
        return {};
    return name;
}

}  // namespace qrv

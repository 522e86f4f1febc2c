#include "panels/WatchedDrives.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring TreeNoCheckDrives(std::wstring_view Value)
{
    return UpperCase(Value);
}

std::wstring ListNoCheckDrives(std::wstring_view Value)
{
    std::wstring drives = UpperCase(Value);
    if (drives.find(L'\\') == std::wstring::npos)
        drives.insert(drives.begin(), L'\\');
    return drives;
}

bool DriveWatchable(std::wstring_view NoCheckDrives, wchar_t First)
{
    if (First == 0 || First == L'\\')
        return false;
    const std::wstring letter = UpperCase(std::wstring_view(&First, 1));
    return NoCheckDrives.find(letter[0]) == std::wstring_view::npos;
}

}  // namespace qrv

#include "panels/win/ShellValues.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"

#include <vector>

namespace qrv {

namespace {

std::wstring SystemFolder(UINT (*query)(LPWSTR, UINT))
{
    wchar_t buffer[MAX_PATH + 1] = L"";
    const UINT length = query(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    return AddBackslash(buffer);
}

// The high 32 bits of a system file's version, 0 when it has none.
uint32_t FileVersionMS(const std::wstring& fileName)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &ignored);
    if (size == 0)
        return 0;
    std::vector<uint8_t> data(size);
    if (!GetFileVersionInfoW(fileName.c_str(), 0, size, data.data()))
        return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info || length < sizeof *info)
        return 0;
    return info->dwFileVersionMS;
}

TShellValues Gather()
{
    TShellValues values;
    values.WindowsDir = SystemFolder(GetWindowsDirectoryW);
    values.SystemDir = SystemFolder(GetSystemDirectoryW);
    values.TempDir = TemporaryFolder();

    // Asked by attributes alone: the names need not exist.
    values.DefaultFileIconIndex = GetSysIconIndex(L"$#)(.#$)", FILE_ATTRIBUTE_NORMAL, 0);
    values.ExeIconIndex = GetSysIconIndex(L".COM", FILE_ATTRIBUTE_NORMAL, 0);
    const std::wstring windows = RemoveBackslash(values.WindowsDir);
    SHFILEINFOW info{};
    if (SafeGetFileInfo(windows, FILE_ATTRIBUTE_DIRECTORY,
                        SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES, info)) {
        values.FolderTypeName = std::wstring(info.szTypeName).substr(0, 80);
        values.FolderIconIndex = info.iIcon;
    }
    values.OpenFolderIconIndex = GetSysIconIndex(windows, FILE_ATTRIBUTE_DIRECTORY, SHGFI_OPENICON);

    values.ComCtlVersion = FileVersionMS(L"COMCTL32.DLL");
    values.Shell32Version = FileVersionMS(L"SHELL32.DLL");
    values.ComCtlNew = values.ComCtlVersion > ((4u << 16) | 69u);
    return values;
}

}  // namespace

const TShellValues& ShellValues()
{
    static const TShellValues values = Gather();
    return values;
}

}  // namespace qrv

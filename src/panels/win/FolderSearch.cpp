#include "panels/win/FolderSearch.h"

#include "common/BaseUtils.h"

#include <string_view>

namespace qrv {

bool IsListedSubFolder(const WIN32_FIND_DATAW& Found, bool HideHidden)
{
    if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (HideHidden && (Found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
        return false;
    const std::wstring_view name = Found.cFileName;
    return name != L"." && name != L"..";
}

bool FolderHasSubDirs(const std::wstring& Path, bool HideHidden)
{
    WIN32_FIND_DATAW found{};
    // Limiting to directories is only a hint to the file system; the
    // attribute test stays.
    TFindHandle find(FindFirstFileExW((RemoveBackslash(Path) + L"\\*.*").c_str(), FindExInfoBasic, &found,
                                      FindExSearchLimitToDirectories, nullptr, 0));
    if (!find) {
        return false;
    }
    do {
        if (IsListedSubFolder(found, HideHidden))
            return true;
    } while (FindNextFileW(find.Get(), &found));
    return false;
}

}  // namespace qrv

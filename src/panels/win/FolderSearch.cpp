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

TSubFolderList ListSubFolders(const std::wstring& Path, bool HideHidden)
{
    TSubFolderList list;
    WIN32_FIND_DATAW found{};
    // The short names are shown in one of the name styles: the standard
    // information level. Limiting to directories is a hint only.
    TFindHandle find(FindFirstFileExW((RemoveBackslash(Path) + L"\\*.*").c_str(), FindExInfoStandard, &found,
                                      FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        list.Error = GetLastError();
        return list;
    }
    do {
        if (IsListedSubFolder(found, HideHidden))
            list.Folders.push_back({found.cFileName, found.dwFileAttributes, found.cAlternateFileName});
    } while (FindNextFileW(find.Get(), &found));
    return list;
}

}  // namespace qrv

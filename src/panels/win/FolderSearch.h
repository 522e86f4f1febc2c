#pragma once
// The folder search the tree's source files share: which found entries
// count as listed subfolders, and the "has subfolders" question. Safe to
// call on any thread (the prober asks it on its own).

#include "framework/win/Handles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

// A directory other than "." and "..", and not hidden when HideHidden.
bool IsListedSubFolder(const WIN32_FIND_DATAW& Found, bool HideHidden);

// True as soon as Path has one listed subfolder; false also when the folder
// cannot be searched.
bool FolderHasSubDirs(const std::wstring& Path, bool HideHidden);

// A subfolder as a search found it.
struct TFoundFolder {
    std::wstring Name;
    uint32_t Attr = 0;
    std::wstring AlternateName;
};

// The listed subfolders of a folder, in the order the search gives them;
// only folders are kept, so a folder of many files costs the search alone.
// Error: the system's error when the folder could not be searched (0 when
// it could, ERROR_FILE_NOT_FOUND when it holds nothing at all).
struct TSubFolderList {
    std::vector<TFoundFolder> Folders;
    uint32_t Error = 0;
};
TSubFolderList ListSubFolders(const std::wstring& Path, bool HideHidden);

}  // namespace qrv

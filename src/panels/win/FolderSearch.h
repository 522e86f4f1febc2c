#pragma once
// The folder search the tree's source files share: which found entries
// count as listed subfolders, and the "has subfolders" question. Safe to
// call on any thread (the prober asks it on its own).

#include "framework/win/Handles.h"

#include <string>

namespace qrv {

// A directory other than "." and "..", and not hidden when HideHidden.
bool IsListedSubFolder(const WIN32_FIND_DATAW& Found, bool HideHidden);

// True as soon as Path has one listed subfolder; false also when the folder
// cannot be searched.
bool FolderHasSubDirs(const std::wstring& Path, bool HideHidden);

}  // namespace qrv

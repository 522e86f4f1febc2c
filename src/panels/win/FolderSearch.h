#pragma once
// The folder search the tree's source files share: a closing find handle,
// which found entries count as listed subfolders, and the "has subfolders"
// question. Safe to call on any thread (the prober asks it on its own).

#include <windows.h>

#include <memory>
#include <string>

namespace qrv {

struct TFindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};
using TFindHandle = std::unique_ptr<void, TFindCloser>;

// A directory other than "." and "..", and not hidden when HideHidden.
bool IsListedSubFolder(const WIN32_FIND_DATAW& Found, bool HideHidden);

// True as soon as Path has one listed subfolder; false also when the folder
// cannot be searched.
bool FolderHasSubDirs(const std::wstring& Path, bool HideHidden);

}  // namespace qrv

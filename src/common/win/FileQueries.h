#pragma once
// The one place the program asks the system about a path: its attributes,
// whether it exists as a file or a folder, whether it is hidden. Nothing
// else calls GetFileAttributesW or GetFileAttributesExW (scripts/lint).

#include "framework/win/WinApi.h"

#include <string>
#include <vector>

namespace qrv {

// The path's attributes; INVALID_FILE_ATTRIBUTES when it cannot be queried
// (it does not exist, or access is denied).
DWORD FileAttributes(const std::wstring& Path);
// The attributes, times and size; false (and Data cleared) when the path
// cannot be queried.
[[nodiscard]] bool FileAttributeData(const std::wstring& Path, WIN32_FILE_ATTRIBUTE_DATA& Data);

// Anything (file or folder) by that name.
bool PathExists(const std::wstring& Path);
// Whether each path exists, as PathExists answers. A name missing from a
// large folder costs a search through the whole folder under Wine (for a
// name of another case): where many paths lie in one folder, the folder is
// read once instead.
std::vector<bool> PathsExist(const std::vector<std::wstring>& Paths);
// An existing file that is no folder.
bool FileExists(const std::wstring& Path);
// Attr receives the attributes (INVALID_FILE_ATTRIBUTES when the query fails).
bool DirExistsAttr(const std::wstring& Path, DWORD& Attr);
bool DirExists(const std::wstring& Path);
// The short (8.3) form of an existing path; empty when the system gives none.
std::wstring ShortPathName(const std::wstring& Path);
// True when the path or one of its folders above it, down to but not
// including the drive or share root, is hidden. A path that cannot be
// queried does not count as hidden.
bool IsPathHidden(const std::wstring& Path);

}  // namespace qrv

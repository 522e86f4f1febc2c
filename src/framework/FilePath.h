#pragma once
// std::filesystem paths from the program's UTF-16 path strings. On Windows
// the path is UTF-16 already; elsewhere it is converted to UTF-8.

#include <filesystem>
#include <string>

namespace qrv {

std::filesystem::path FsPath(const std::wstring& path);
std::wstring FromFsPath(const std::filesystem::path& path);

// Replaces target by source in one step (the rename is atomic on the same
// volume); throws EFCreateError when it fails.
void ReplaceFileWith(const std::wstring& source, const std::wstring& target);

}  // namespace qrv

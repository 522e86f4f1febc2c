#pragma once
// The size of a whole directory tree, summed over the list's file system.
// Portable.

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

class TDirFileSystem;

// The attribute bit of junctions and symbolic links.
constexpr uint32_t kReparsePointAttr = 0x400;

// The bytes of every file below Path (no trailing "\"). Junctions and links
// are not followed (they reach other trees, or loop); hidden folders are
// skipped with HideHiddenDirs. Cancelled is asked before each folder is
// entered: true (the Escape key) ends the walk with 0, as does a folder that
// cannot be searched.
uint64_t GetDirectorySize(TDirFileSystem& FileSystem, const std::wstring& Path, bool HideHiddenDirs,
                          const std::function<bool()>& Cancelled);

}  // namespace qrv

#pragma once
// The main window's title: the folder chosen in the tree, the active list's
// mask when it filters, and the program's name. Portable.

#include <optional>
#include <string>

namespace qrv {

// Folder: the tree's selected folder as shown ("X:\" for a root), none
// without a selection. Mask: the active list's mask text.
std::wstring BuildWindowTitle(const std::optional<std::wstring>& Folder, const std::wstring& Mask,
                              const std::wstring& TitleBase);

}  // namespace qrv

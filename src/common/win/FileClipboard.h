#pragma once
// Files on the clipboard: written as a wide CF_HDROP block with the
// "Preferred DropEffect" beside it (copy, or move for a cut), read back with
// both formats checked against their sizes.

#include "framework/win/WinApi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

struct TClipboardFiles {
    std::vector<std::wstring> Names;
    std::optional<uint32_t> PreferredEffect;
};

// Replaces the clipboard's contents with Names; false when the clipboard
// could not be opened or written.
[[nodiscard]] bool PutFilesOnClipboard(HWND Owner, const std::vector<std::wstring>& Names, bool Cut);
// The files on the clipboard; nothing when it holds none or a malformed list.
std::optional<TClipboardFiles> ReadClipboardFiles(HWND Owner);
bool ClipboardHasFiles();
[[nodiscard]] bool EmptyFileClipboard(HWND Owner);

}  // namespace qrv

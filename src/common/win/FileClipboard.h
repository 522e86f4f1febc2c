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

// Opens the clipboard, trying again for a moment while another program
// holds it.
[[nodiscard]] bool OpenClipboardPatiently(HWND Owner);

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

// Text on the clipboard, in UTF-16 (CF_UNICODETEXT, NUL-terminated; the
// system offers the ANSI form beside it). Putting answers the clipboard's
// sequence number after the write, 0 when the clipboard could not be opened
// or written. Reading takes the text up to its first NUL but never past the
// memory block; nothing when the clipboard holds no text.
[[nodiscard]] DWORD PutTextOnClipboard(HWND Owner, std::u16string_view Text);
std::optional<std::u16string> ReadClipboardText(HWND Owner);

}  // namespace qrv

#pragma once
// The file lists that travel through the clipboard and drag and drop: the
// name maps that rename the dropped files at the target, the CF_HDROP block (a 20-byte header — offset of the names,
// drop point, non- client flag, wide flag — followed by NUL-terminated names ended by one more NUL) and the "Preferred
// DropEffect" value (one little-endian 32-bit word). Portable: the blocks are read as bytes that may come from any
// program, so every offset is checked against the block's size.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// The drop effects of OLE drag and drop.
enum TDropEffect : uint32_t {
    deNone = 0,
    deCopy = 1,
    deMove = 2,
    deLink = 4,
};

constexpr size_t kDropFilesHeaderSize = 20;

// Decodes the names of an ANSI block (the system's code page on Windows).
using TAnsiNameDecoder = std::function<std::wstring(std::string_view Name)>;

// The names of a CF_HDROP block, or nothing when the block is malformed:
// shorter than its header, names starting inside the header or beyond the
// end, or a name (or the list) not ended by a NUL within the block. Wide
// names are UTF-16 units, one per wchar_t; ANSI names without a decoder are
// read as Latin-1.
std::optional<std::vector<std::wstring>> ParseDropFiles(const uint8_t* Data, size_t Size,
                                                        const TAnsiNameDecoder& DecodeAnsi);

// A wide CF_HDROP block of Names (none may be empty or hold a NUL).
std::vector<uint8_t> BuildDropFiles(const std::vector<std::wstring>& Names);

// The names of a "FileNameMap" (ANSI) or "FileNameMapW" block: the new name
// of each dropped file in file order, each NUL-terminated, ended by an empty
// one; nothing when a name or the end is not inside the block.
std::optional<std::vector<std::wstring>> ParseFileNameMap(const uint8_t* Data, size_t Size, bool Wide,
                                                          const TAnsiNameDecoder& DecodeAnsi);
// The mapped name of each of FileCount files: the map's names in order, empty
// for files after its end; names beyond the last file are dropped.
std::vector<std::wstring> MappedNamesFor(size_t FileCount, std::vector<std::wstring> Map);
// A "FileNameMapW" block of Names (none may be empty or hold a NUL).
std::vector<uint8_t> BuildFileNameMapW(const std::vector<std::wstring>& Names);

// The "Preferred DropEffect" word; nothing when fewer than 4 bytes.
std::optional<uint32_t> ParsePreferredDropEffect(const uint8_t* Data, size_t Size);
std::vector<uint8_t> BuildPreferredDropEffect(uint32_t Effect);

// How a paste carries out the preferred effect: a move only when the effect
// offers moving and not copying (what "cut" puts there), a copy otherwise,
// also without any effect.
TDropEffect PasteEffect(std::optional<uint32_t> PreferredEffect);

}  // namespace qrv

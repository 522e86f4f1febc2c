#pragma once
// The texts a directory list shows for an item: the cell of each column,
// the size in bytes or kilobytes, the attribute letters, the info tip
// without the shell's own. Portable; times come through a formatter so the
// window can use the system's local time and date pictures.

#include "panels/FileRec.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

// A size as the size column shows it: the bytes grouped by Separator, or
// with Abbreviated kilobytes rounded half up (a non-zero size below 1 KB
// shows 1) and " KB". Not the unit-choosing FormatSizeText.
std::wstring DirSizeText(uint64_t Size, bool Abbreviated, std::wstring_view Separator);

// Which attribute positions a filled-in attribute string has: encryption
// needs NT 5 or later, compression NT.
struct TAttrPositions {
    bool Encrypted = true;
    bool Compressed = true;
};
TAttrPositions AttrPositionsFor(bool NTFamily, int MajorVersion);

// The letters "ecashr" of the set bits of Attr, in that order. With a
// non-empty AttrSpace every position shows, absent letters as AttrSpace.
std::wstring GetAttrString(uint32_t Attr, std::wstring_view AttrSpace, TAttrPositions Positions = {});

struct TDirCellOptions {
    bool ShowSubDirSize = false;
    bool AbbreviatedSize = false;
    bool SortByExtension = false;
    TFileNameDisplay FileNameDisplay = TFileNameDisplay::fndStored;
    std::wstring AttrSpace;
    TAttrPositions AttrPositions;
    std::wstring ThousandSeparator = L".";
    // A shell-namespace folder shows names only.
    bool ShellFolder = false;
};

// A FILETIME (UTC) as the date column shows it.
using TFileTimeFormatter = std::function<std::wstring(uint64_t FileTime)>;

// The text of column 0 name, 1 size, 2 type, 3 date, 4 attributes; empty
// for any other column.
std::wstring DirCellText(const TFileRec& Item, int Column, const TDirCellOptions& Options,
                         const TFileTimeFormatter& FormatTime);

// The calendar fields of a FILETIME shifted by BiasMinutes (local = UTC + bias).
struct TFileTimeParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};
TFileTimeParts FileTimeParts(uint64_t FileTime, int BiasMinutes);

// Items that get an info tip: all but "..".
inline bool WantsInfoTip(const TFileRec& Item)
{
    return !Item.IsParentDir;
}

// The info tip when the shell has none: "Typ: ", then "Größe: " unless the
// size is 0 or unknown, then "Geändert am: ", one per line.
std::wstring InfoTipFallbackText(const TFileRec& Item, std::wstring_view SizeWithUnit, std::wstring_view Date);

}  // namespace qrv

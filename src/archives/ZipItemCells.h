#pragma once
// The texts of the archive list's five columns for one entry. Portable;
// the time comes through a formatter so the window uses its date picture.

#include "archives/ZipItems.h"
#include "panels/FileRec.h"

#include <functional>
#include <string>

namespace qrv {

struct TZipCellOptions {
    bool ShowExtension = true;
    TFileNameDisplay FileNameDisplay = TFileNameDisplay::fndStored;
    bool AbbreviatedSize = false;
    bool SortByExtension = false;
    std::wstring ThousandSeparator = L".";
};

// A packed DOS date-time as the changed column shows it.
using TDosTimeFormatter = std::function<std::wstring(uint32_t DosDateTime)>;

// The name as the name column shows it, "+" appended for an encrypted entry.
std::wstring FormatDisplayName(const std::wstring& Name, bool Encrypted, const TZipCellOptions& Options);

// The text of column 0 name, 1 size, 2 type, 3 changed, 4 path; empty for
// any other. The type column shows the looked-up type name (the extension
// when there is none) or, with SortByExtension, the extension.
std::wstring ZipCellText(const TZipItem& Item, const TArchiveEntry& Entry, int Column, const TZipCellOptions& Options,
                         const TDosTimeFormatter& FormatTime);

}  // namespace qrv

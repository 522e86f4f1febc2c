#pragma once
// What a name typed into a list's or tree's editor becomes. Portable.

#include "panels/FileRec.h"

#include <string>

namespace qrv {

struct TRenameInput {
    enum TKind { Cancel, Invalid, Rename } Kind = Cancel;
    std::wstring NewName;  // Rename: the name to give
    std::wstring Error;    // Invalid: the message
};

// Text: what was typed (empty cancels); OldName: the item's name on disk;
// without ShowExtension a file keeps its extension. InvalidNameText: the
// list's "contains invalid characters" text, followed by a blank and each
// character after a blank.
TRenameInput ReadRenameInput(const std::wstring& Text, const std::wstring& OldName, bool IsDirectory,
                             bool ShowExtension, const std::wstring& InvalidNameText);

}  // namespace qrv

#pragma once
// File-name helpers of the file and directory edits. Portable.

#include <string>
#include <string_view>

namespace qrv {

// False for an empty name or one holding < > " | or a control character.
// Brackets are legal in names ("Foto [1].jpg"); the wildcards * and ? pass,
// as a mask in the text seeds the file dialog's filter.
bool IsValidFileName(std::wstring_view name);

// The edit text for a file name: in double quotes when it contains a blank
// and does not begin with a double quote already.
std::wstring QuotedFileNameText(const std::wstring& name);

}  // namespace qrv

#pragma once
// File-name helpers of the file and directory edits. Portable.

#include <functional>
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

// A path with each component replaced by the name the file system reports
// for the path up to it (the long or the short name), walking from the last
// component backwards; the part before the first separator (the drive)
// stays. `reported` gives the name of the last component of a path, empty
// when it does not exist, which empties the result.
std::wstring ConvertPathNames(const std::wstring& path,
                              const std::function<std::wstring(const std::wstring& upTo)>& reported);

// Each ";"-separated path of a list converted on its own, joined again.
std::wstring ConvertPathList(const std::wstring& list,
                             const std::function<std::wstring(const std::wstring& upTo)>& reported);

}  // namespace qrv

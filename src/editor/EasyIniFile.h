#pragma once
// TEasyIniFile: a flat file of name=value lines without sections, as the
// editor family keeps its settings. Portable.

#include "framework/StringList.h"

#include <string>

namespace qrv {

class TEasyIniFile {
public:
    // Loads the file when it exists (by its byte-order mark, else as UTF-8
    // when valid, else ANSI).
    explicit TEasyIniFile(std::wstring fileName);

    const std::wstring& FileName() const { return fileName_; }
    // The text after the first "=" of the name's line (names ignore case).
    std::wstring ReadString(const std::wstring& name, const std::wstring& defaultValue) const;
    // Replaces the name's line by name=value, or appends one.
    void WriteString(const std::wstring& name, const std::wstring& value);
    bool Modified() const { return modified_; }
    // Writes the file through a temporary one (UTF-8 with a byte-order mark
    // unless it was read in another encoding); raises on failure and leaves
    // the old file then. Nothing is saved by the destructor.
    void Save();
    const TStringList& Lines() const { return lines_; }

private:
    std::wstring fileName_;
    TStringList lines_;
    bool modified_ = false;
};

}  // namespace qrv

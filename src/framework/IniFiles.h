#pragma once
// TMemIniFile: an INI file held in memory. Sections and keys are found
// ignoring case; everything the program does not touch (other sections, other
// keys, comments, blank lines) is written back as it was read. Portable.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TFileStream;
class TStrings;

class TMemIniFile {
public:
    // Reads the file when it exists; a missing file reads as empty. The file
    // is read by its byte-order mark (UTF-8 or UTF-16), else as UTF-8 when
    // valid, else in the ANSI code page.
    explicit TMemIniFile(std::wstring fileName);

    const std::wstring& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }

    std::wstring ReadString(std::wstring_view section, std::wstring_view ident, const std::wstring& defaultValue) const;
    void WriteString(std::wstring_view section, std::wstring_view ident, const std::wstring& value);
    // Decimal or hexadecimal ("$1F", "0x1F"); a value that is no number reads as the default.
    int ReadInteger(std::wstring_view section, std::wstring_view ident, int defaultValue) const;
    void WriteInteger(std::wstring_view section, std::wstring_view ident, int value);
    int64_t ReadInt64(std::wstring_view section, std::wstring_view ident, int64_t defaultValue) const;
    void WriteInt64(std::wstring_view section, std::wstring_view ident, int64_t value);
    // Any non-zero number is true; written as "1" or "0".
    bool ReadBool(std::wstring_view section, std::wstring_view ident, bool defaultValue) const;
    void WriteBool(std::wstring_view section, std::wstring_view ident, bool value);

    bool SectionExists(std::wstring_view section) const;
    bool ValueExists(std::wstring_view section, std::wstring_view ident) const;
    void ReadSections(TStrings& sections) const;
    void ReadSection(std::wstring_view section, TStrings& idents) const;
    void ReadSectionValues(std::wstring_view section, TStrings& values) const;
    void EraseSection(std::wstring_view section);
    void DeleteKey(std::wstring_view section, std::wstring_view ident);
    void Clear();

    // The file as lines, and replacing the contents by parsed lines.
    void GetStrings(TStrings& lines) const;
    void SetStrings(const TStrings& lines);
    // Re-reads from the file (or clears when it does not exist).
    void Reload();
    // Points the object at another file, optionally reading it.
    void Rename(std::wstring fileName, bool reload);

    // Writes UTF-8 with a byte-order mark through a temporary file that then
    // replaces the old one, so a failed write leaves the old file intact.
    // The temporary file is created new, under the first of the names
    // TemporaryName gives that is free, so writers never share one. A
    // read-only file is not replaced. Throws EFCreateError / EWriteError on
    // failure.
    void UpdateFile();
    // The temporary names a writer of the file tries, in order.
    static constexpr int kTemporaryNames = 16;
    static std::wstring TemporaryName(const std::wstring& fileName, int attempt);

private:
    struct TLine {
        bool IsKey = false;
        std::wstring Key;    // for keys
        std::wstring Value;  // for keys
        std::wstring Raw;    // for comments, blank and malformed lines
    };
    struct TSection {
        std::wstring Name;
        bool Header = true;  // false for the lines before the first section
        std::vector<TLine> Lines;
    };

    const TSection* FindSection(std::wstring_view name) const;
    TSection* FindSection(std::wstring_view name);
    TSection& AddSection(std::wstring_view name);
    static const TLine* FindKey(const TSection& section, std::wstring_view ident);
    void Parse(std::wstring_view text);
    std::wstring Serialize() const;

    std::wstring fileName_;
    std::vector<TSection> sections_;
    bool modified_ = false;
};

// Creates a temporary file beside the file under the first free name of
// TMemIniFile::TemporaryName and names it in temporary: two writers of one
// file never write into the same temporary. Throws EFCreateError when none
// of the names can be created.
std::unique_ptr<TFileStream> CreateFreshTemporary(const std::wstring& fileName, std::wstring& temporary);

}  // namespace qrv

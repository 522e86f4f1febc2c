#pragma once
// TMemIniFile: an INI file held in memory. Sections and keys are found
// ignoring case, through indexes by their folded names, so that files of
// many sections read and write in time proportional to their size;
// everything the program does not touch (other sections, other keys,
// comments, blank lines) is written back as it was read, in its order, and
// a line that is neither a section, a key nor a comment keeps its very
// bytes. Portable.

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // Lines that keep their bytes give their text as it was read.
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
        // A malformed line of a file read as 8-bit text: its bytes as read,
        // written back instead of Raw re-encoded.
        std::optional<std::string> Bytes;
    };
    struct TSection {
        std::wstring Name;
        bool Header = true;  // false for the lines before the first section
        std::vector<TLine> Lines;
        // Folded key -> its line in Lines, once the section has more than
        // a few keys (Indexed); smaller ones are searched line by line.
        std::unordered_map<std::wstring, size_t> KeyIndex;
        bool Indexed = false;
        size_t Keys = 0;  // while not indexed
        // A section not used yet keeps its lines as the bytes read (in
        // the file's buffer), and is written back so; Read makes Lines of them.
        bool Parsed = true;
        std::vector<std::string_view> Chunks;

        const TLine* FindKey(std::wstring_view ident) const;
        TLine* FindKey(std::wstring_view ident);
        // Appends a key line not yet in the section.
        void AddKey(TLine line);
        void IndexKeys();
    };

    const TSection* FindSection(std::wstring_view name) const;
    TSection* FindSection(std::wstring_view name);
    TSection& AddSection(std::wstring_view name);
    TSection& AppendSection(std::wstring name, bool header);
    // While reading: the section of that name, appended (read or not yet)
    // when there is none.
    TSection& SectionNamed(std::wstring name, bool parsed);
    // One line of the file; bytes: the line as read from an 8-bit file.
    void AddLine(TSection*& current, std::wstring_view original, std::optional<std::string_view> bytes);
    // Whether the bytes of a line can be a section's (worth decoding).
    static bool MayBeSection(std::string_view line);
    // Makes the lines of a section not used yet.
    void Read(const TSection& section) const;
    void Parse(std::string_view bytes);
    std::wstring Serialize() const;
    std::string SerializeUtf8() const;

    // Names hashed and compared as SameText compares them, without a
    // folded copy. (The hash may throw as far as the table knows, so that it
    // keeps each name's hash instead of computing it again.)
    struct TFoldedHash {
        size_t operator()(std::wstring_view name) const;
    };
    struct TFoldedEqual {
        bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
    };

    std::wstring fileName_;
    // The UTF-8 file as read, which sections not used yet point into.
    std::unique_ptr<std::string> text_;
    // In the file's order; a list, so that the index's pointers (and the
    // names it keys by) stay valid.
    std::list<TSection> sections_;
    // Section name (in its section) -> its section, for those with a header.
    std::unordered_map<std::wstring_view, TSection*, TFoldedHash, TFoldedEqual> sectionIndex_;
    bool modified_ = false;
    size_t sizeHint_ = 0;  // the size of the file read, to write it in one buffer
};

// Creates a temporary file beside the file under the first free name of
// TMemIniFile::TemporaryName and names it in temporary: two writers of one
// file never write into the same temporary. Throws EFCreateError when none
// of the names can be created.
std::unique_ptr<TFileStream> CreateFreshTemporary(const std::wstring& fileName, std::wstring& temporary);

}  // namespace qrv

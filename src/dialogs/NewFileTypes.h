#pragma once
// The file types the shell offers for a new file: the "ShellNew" keys of
// the registry's file types, what kind of entry each is, the first content
// of a new file of that type, and the command line of a type that makes its
// files by a program. Portable: the registry, the files and the shell come
// in through TNewFileSystem, the Win32 one is in win/KyShellDialogs.h.

#include "framework/SysUtils.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

enum class TNewFileKind : uint8_t {
    None = 0,      // nothing to offer
    NullFile = 1,  // an empty file ("NullFile")
    Template = 2,  // a copy of a template file ("FileName")
    Data = 3,      // the bytes of the "Data" value
    Command = 4,   // a program makes the file ("Command")
};

enum class TRegValueType : uint8_t { Missing, String, Binary, Other };

// A value of a ShellNew key. A string (REG_SZ, or REG_EXPAND_SZ already
// expanded) is in Text; binary data in Bytes. Size is the size the registry
// gave before the data was read: a value that changed between the two reads
// differs from the bytes.
struct TRegValue {
    TRegValueType Type = TRegValueType::Missing;
    std::wstring Text;
    std::vector<uint8_t> Bytes;
    size_t Size = 0;
};

// What the new-file types read of the system.
class TNewFileSystem {
public:
    virtual ~TNewFileSystem() = default;
    // The names of the keys below HKEY_CLASSES_ROOT, in the registry's order.
    virtual std::vector<std::wstring> ClassNames() = 0;
    // Whether a key below HKEY_CLASSES_ROOT ("a\b\c") can be opened.
    virtual bool KeyExists(const std::wstring& Key) = 0;
    // The key's default value; empty when it has none or is not a string.
    virtual std::wstring DefaultValue(const std::wstring& Key) = 0;
    virtual TRegValue Value(const std::wstring& Key, const std::wstring& Name) = 0;
    // The shell's templates folder and the Windows folder (empty when
    // unknown), with or without a closing backslash.
    virtual std::wstring TemplatesFolder() = 0;
    virtual std::wstring WindowsFolder() = 0;
    virtual bool FileExists(const std::wstring& Path) = 0;
    // The whole file; std::nullopt when it cannot be read.
    virtual std::optional<std::vector<uint8_t>> ReadFile(const std::wstring& Path) = 0;
    // The shell's name of the type of a file with this extension, asked
    // without touching the disk.
    virtual std::wstring TypeName(const std::wstring& Extension) = 0;
    // The text of the system's ANSI code page (a string "Data" value is
    // written so, as the shell writes it).
    virtual std::vector<uint8_t> AnsiBytes(const std::wstring& Text) = 0;
    // Starts Program with the "open" verb in Folder, shown normally; the
    // shell's result (above 32 is success).
    virtual intptr_t Open(const std::wstring& Program, const std::wstring& Parameters, const std::wstring& Folder) = 0;
};

struct TNewFileType {
    std::wstring Extension;    // the key's name, e.g. ".txt"
    std::wstring Description;  // the shell's type name
    TNewFileKind Kind = TNewFileKind::None;
    // Kind Template: the template's full path; kind Command: the command.
    std::wstring Source;
    std::wstring ProgId;
    std::wstring ShellNewKey;  // the ShellNew key below HKEY_CLASSES_ROOT
};

// A template that cannot be read.
QRV_DECLARE_EXCEPTION(ENewFileContent, Exception);

// The types in description order, read by Refresh.
class TNewFileTypeList {
public:
    explicit TNewFileTypeList(TNewFileSystem& System) : system_(System) {}

    // Reads the registry again. A key that cannot be read is skipped.
    void Refresh();
    bool Loaded() const { return loaded_; }
    const std::vector<TNewFileType>& Types() const { return types_; }
    int Count() const { return static_cast<int>(types_.size()); }
    // nullptr when out of range.
    const TNewFileType* Item(int Index) const;

    // The first bytes of a new file of the type: empty for an empty file, a
    // command type and an empty template; the Data value's bytes, or none
    // when the value changed while read. Raises ENewFileContent when the
    // template cannot be read.
    std::vector<uint8_t> Content(const TNewFileType& Type) const;
    // Starts a command type's program in Folder for the new file NewFile
    // (its full path); true when the shell started it.
    [[nodiscard]] bool RunCommand(const TNewFileType& Type, const std::wstring& Folder,
                                  const std::wstring& NewFile) const;

private:
    std::optional<TNewFileType> ReadType(const std::wstring& Name, const std::wstring& Templates,
                                         const std::wstring& ShellNewTemplates);
    TNewFileSystem& system_;
    std::vector<TNewFileType> types_;
    bool loaded_ = false;
};

// A command split into the program and its parameters.
struct TCommandParts {
    std::wstring Program;
    std::wstring Parameters;  // with the blank that parted them
    bool operator==(const TCommandParts&) const = default;
};

// The command line of a Command type for the new file: the first "%2", or
// without one the first "%1", becomes the file's name (quoted, unless the
// placeholder stands in quotes already). The program is a quoted text at
// the start, else the shortest blank-ended start naming an existing file
// (as given or with ".exe"), else the first word; the rest are the
// parameters.
TCommandParts ComposeNewFileCommand(const std::wstring& Command, const std::wstring& NewFile,
                                    const std::function<bool(const std::wstring& Path)>& FileExists);

// The name of a new file of a type: "Neu " + description + extension, with
// "(n)" before the extension for n from 1 on. Characters that no file name
// may hold become "_".
std::wstring NewFileCandidate(const std::wstring& Description, const std::wstring& Extension, int Number);
// The first candidate, counting from Number, that Exists refuses (the
// candidate's number in Number); empty when every one up to a sane limit
// exists.
std::wstring FreeNewFileName(const std::wstring& Description, const std::wstring& Extension, int& Number,
                             const std::function<bool(const std::wstring& Name)>& Exists);

}  // namespace qrv

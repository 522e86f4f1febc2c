#pragma once
// The text of a file list ("Dateiliste erstellen"): the entries of a folder
// (and, when asked, of all its subfolders, depth first) as blank-, tab- or
// semicolon-separated columns with an optional title and header, the
// remembered choices as a ten-flag text, and the bytes of the file: the
// ANSI code page when every character maps exactly, else UTF-8 with a
// byte-order mark. Portable; the dialog is dialogs/win/QuorListFiles.h.

#include "panels/DirViewCells.h"
#include "settings/StoredSettings.h"
#include "panels/FileRec.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TEncoding;

// One entry as the list shows it.
struct TFileListEntry {
    std::wstring Name;      // as the list displays it
    std::wstring FileName;  // as stored (the path column, the subfolders)
    std::wstring TypeName;
    std::optional<uint64_t> Size;  // none: a folder whose size is not known
    std::wstring DateText;         // the list's date-time text
    std::wstring AttrText;         // the list's attribute letters
    bool IsDirectory = false;
    bool IsParent = false;        // the ".." entry, never listed
    bool IsReparsePoint = false;  // a junction or link: listed, never entered
    bool Marked = false;
};

enum class TFileListLayout : uint8_t { Blanks = 0, Tabs = 1, Semicolons = 2 };

// The choices of the dialog; the defaults are the window's first ones.
struct TFileListChoices {
    bool Name = true;
    bool Type = true;
    bool Size = true;
    bool Date = true;
    bool Attributes = true;
    bool Path = false;  // the first column holds the full path instead of the name
    bool Header = true;
    bool Show = true;  // open the file in the editor afterwards
    bool Title = false;
    bool SubDirs = false;
    TFileListLayout Layout = TFileListLayout::Blanks;
    bool SelectedOnly = false;  // only the marked entries (never with SubDirs)
};

// How sizes are written: the bytes grouped by Separator, or kilobytes.
struct TFileListSizeStyle {
    bool KiloBytes = false;
    std::wstring ThousandSeparator = L".";
};

// The ten flags "X" (on) or "-" (off) in the order name, type, size, date,
// attributes, path, header, show, title, subfolders.
std::wstring FileListSettingsText(const TFileListChoices& Choices);
// Takes the first eight flags from a text longer than 7 characters and the
// last two from one longer than 9; a shorter text changes nothing.
void ApplyFileListSettingsText(std::wstring_view Text, TFileListChoices& Choices);

// The remembered choices of the settings (the defaults where none are
// stored) and back; the file name is stored with them.
TFileListChoices FileListChoicesFrom(const TFileListStoredSettings& Stored);
void StoreFileListChoices(const TFileListChoices& Choices, const std::wstring& FileName,
                          TFileListStoredSettings& Stored);

// Whether any column is written (the first one by Name or Path).
bool FileListHasColumn(const TFileListChoices& Choices);

// The size text of an entry; empty for a folder of unknown size. Kilobytes
// are the bytes divided by 1024, at least 1 for a non-empty file.
std::wstring FileListSizeText(const TFileListEntry& Entry, const TFileListSizeStyle& Style);

// Appends one folder's block: the title, the header (and, blank-separated,
// its dash line), then a line per listed entry (every one but "..", with
// SelectedOnly only the marked ones). DirPath is the folder without a
// trailing backslash but for a root ("C:\"). Lines end with CR LF.
void AppendFileListBlock(std::wstring& Out, std::wstring_view DirPath, std::span<const TFileListEntry> Entries,
                         const TFileListChoices& Choices, const TFileListSizeStyle& Style);

// The subfolders to list after a block, in list order: the listed folder
// entries but "." and "..", and never a junction or link (a loop would
// never end).
std::vector<std::wstring> FileListSubFolders(std::span<const TFileListEntry> Entries, const TFileListChoices& Choices);

// Reads a subfolder's entries as the source list would show them.
using TFileListFolderReader = std::function<std::vector<TFileListEntry>(const std::wstring& Path)>;

// The whole text: the first folder's block and, with SubDirs, each
// subfolder's (read by ReadFolder), depth first, without recursion; with a
// header or a title two empty lines come before each subfolder's block.
std::wstring FileListText(const std::wstring& DirPath, std::span<const TFileListEntry> Entries,
                          const TFileListChoices& Choices, const TFileListSizeStyle& Style,
                          const TFileListFolderReader& ReadFolder);

// The entry of a list's record, with the list's cell texts.
TFileListEntry FileListEntryOf(const TFileRec& Rec, const TDirCellOptions& Cells, const TFileTimeFormatter& FormatTime);

// The file's bytes: Ansi when it encodes every character exactly, else
// UTF-8 with its byte-order mark. Utf8 tells which.
std::string FileListBytes(std::wstring_view Text, const TEncoding& Ansi, bool* Utf8 = nullptr);

// ---- The dialog's states -----------------------------------------------------

// What the dialog knows of the list when it opens.
struct TFileListSource {
    int Marked = 0;              // marked entries of the source list
    bool SubDirsAllowed = true;  // a real folder, not a shell folder or the recycle bin
    bool FileSystemNode = true;  // the tree's selection is a folder of the file system
};

// The enabled and checked states of the dialog's choice boxes.
struct TFileListControlStates {
    bool AllFiles = true;  // "&Alle Dateien ausgeben" checked
    bool SelectedFiles = false;
    bool SelectedFilesEnabled = false;
    bool SubDirsEnabled = true;
    bool ColumnsEnabled = true;  // path, type, size, date, attributes
};

// The states when the dialog opens with the remembered Choices, which the
// call brings in line (columns off outside the file system, subfolders off
// where not allowed). One range button is always checked: the marked ones
// when more than one entry is marked and subfolders are off.
TFileListControlStates FileListShowStates(const TFileListSource& Source, TFileListChoices& Choices);
// After the subfolder box changed: with subfolders every file is listed.
void FileListSubDirsChanged(const TFileListSource& Source, bool SubDirs, TFileListControlStates& States);
// OK needs a column and a file name.
bool FileListOkEnabled(const TFileListChoices& Choices, std::wstring_view FileName);
// The file edit's default extension by layout.
std::wstring FileListDefaultExt(TFileListLayout Layout);

// The dialog's texts.
inline constexpr const wchar_t* kFileListOverwriteText =
    L"Die Datei \"%s\" ist bereits vorhanden. Möchten Sie diese überschreiben?";
inline constexpr const wchar_t* kFileListCreateErrorText = L"Die Datei \"%s\" kann nicht erstellt werden.\n%s";
inline constexpr const wchar_t* kFileListSavedText = L"Die Verzeichnisliste wurde als Datei \"%s\" gespeichert.";

}  // namespace qrv

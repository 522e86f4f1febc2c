#pragma once
// TFileRec: the record behind every item of a directory list, the directory
// entry a search gives (TSearchRec), and the rules that turn one into the
// other: the extension, the name as shown, the recycle-bin test. Portable.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qrv {

// The attribute bits the lists read; the values of the system's
// FILE_ATTRIBUTE_ bits.
// NOLINTBEGIN(readability-identifier-naming): the names every list and filter reads
constexpr uint32_t faReadOnly = 0x1;
constexpr uint32_t faHidden = 0x2;
constexpr uint32_t faSysFile = 0x4;
constexpr uint32_t faDirectory = 0x10;
constexpr uint32_t faArchive = 0x20;
constexpr uint32_t faCompressed = 0x800;
constexpr uint32_t faEncrypted = 0x4000;
// NOLINTEND(readability-identifier-naming)

// One directory entry as a search finds it.
struct TSearchRec {
    std::wstring Name;
    uint32_t Attr = 0;
    uint64_t Size = 0;
    // FILETIME in 100-ns steps since 1601, UTC.
    uint64_t LastWrite = 0;
    // The last-write time as a packed DOS date-time in local time (date in
    // the high 16 bits); 0 when it has none (before 1980, after 2107).
    uint32_t Time = 0;
};

// How names are shown: as stored, upper case, lower case, capitalised.
enum class TFileNameDisplay { fndStored, fndCap, fndNoCap, fndNice };

// The size a directory holds while no scan has filled it in (it sorts by it).
constexpr uint64_t kUnknownDirSize = 0xFFFFFFFF;

struct TFileRec {
    bool InfoEmpty = true;  // type name and icon not fetched yet
    bool IconEmpty = true;  // icon not fetched yet
    bool IsDirectory = false;
    bool IsRecycleBin = false;
    bool IsParentDir = false;     // the ".." item
    bool SubDirSizeDone = false;  // a directory-size scan stored its result
    std::wstring FileName;        // as stored on disk (the full path in the recycle bin)
    std::wstring DisplayName;
    // Upper-case extension without the dot, whole; empty for directories.
    std::wstring Ext;
    std::wstring TypeName;
    int32_t ImageIndex = 0;  // in the system image lists
    int32_t ThumbIndex = 0;  // in the thumbnail list; 0 = none
    uint64_t Size = 0;
    uint32_t Attr = 0;
    uint64_t LastWrite = 0;  // FILETIME, UTC
    // The item identifier list of a shell-namespace item, freed with the record.
    std::shared_ptr<void> PIDL;
    // The list keeps no items of its own (it asks for what it draws), so the
    // item's states live here and follow the record through sorts and re-reads.
    bool Selected = false;
    int OverlayIndex = -1;  // -1 none, 0 shared folder, 1 shortcut arrow
    // Set by the store, never the same twice in a run: an answer from a
    // worker finds its record by it, never a record made in its place.
    uint64_t Serial = 0;
};

// True for a directory whose size is not known yet: a scan's sum may be
// kUnknownDirSize itself.
inline bool SizeUnknown(const TFileRec& Rec)
{
    return Rec.IsDirectory && !Rec.SubDirSizeDone;
}

// The characters no file name may hold.
constexpr std::wstring_view kInvalidNameChars = L"\\/:*?\"<>|";
inline bool IsInvalidNameChar(wchar_t Char)
{
    return kInvalidNameChars.find(Char) != std::wstring_view::npos;
}

// One name in a folder: not empty, not "." or "..", and nothing that would
// reach another folder or could not be stored.
inline bool IsPlainFileName(std::wstring_view Name)
{
    if (Name.empty() || Name == L"." || Name == L"..")
        return false;
    for (const wchar_t c : Name)
        if (IsInvalidNameChar(c) || c < 32)
            return false;
    return true;
}

// The upper-case extension of a name without its dot ("" when it has none).
std::wstring FileExtOf(std::wstring_view Name);
// The name as the list shows it: without its extension when extensions are
// hidden (never for directories, and never down to nothing for ".profile"),
// then in the display style.
std::wstring MakeDisplayName(const std::wstring& FileName, bool IsDirectory, bool ShowExtension,
                             TFileNameDisplay Display);
// A name (or a path, each "\"-separated part) in the display style.
std::wstring ApplyNameDisplay(std::wstring Name, TFileNameDisplay Display);
// A directory at a drive root ("X:") with the system bit whose name begins
// with "RECYCLE" in any case.
bool IsRecycleBinEntry(std::wstring_view FolderPath, const TSearchRec& Entry);

}  // namespace qrv

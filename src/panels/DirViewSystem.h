#pragma once
// What a directory list asks of the system, as two interfaces: the file
// system (folders, entries, drives) and the shell (type names and icons).
// The Win32 forms are in panels/win/DirViewSystemWin.h; tests give fakes.
// Portable.

#include "common/PIDL.h"
#include "panels/FileRec.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TStringList;

// System error codes the list reads.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;

// Drive types of the drive table (the system's DRIVE_ values).
constexpr int kDriveRemovable = 2;
constexpr int kDriveFixed = 3;
constexpr int kDriveRemote = 4;
constexpr int kDriveCDRom = 5;

class TDirFileSystem {
public:
    // Called per entry; false ends the search.
    using TEntryProc = std::function<bool(TSearchRec& Entry)>;

    virtual ~TDirFileSystem() = default;
    // Every entry of Folder (no trailing "\", "X:" for a root; "." and ".."
    // included as the system gives them) in disk order. Returns 0, or the
    // system error of the search's start (2 for an empty folder of a root).
    virtual uint32_t ListFolder(const std::wstring& Folder, const TEntryProc& Each) = 0;
    // The entry of Path itself (a file or a folder, not a root).
    [[nodiscard]] virtual bool GetEntry(const std::wstring& Path, TSearchRec& Entry) = 0;
    // Path is an existing directory; otherwise Error tells why.
    virtual bool DirExists(const std::wstring& Path, uint32_t& Error) = 0;
    // The drive character ('A' .. 'Z', '\' for network paths) is known.
    virtual bool DriveValid(wchar_t Drive) = 0;
    // The drive table's type of the drive (kDrive...; 0 when unknown).
    virtual int DriveType(wchar_t Drive) = 0;
    // The file system of the volume Path is on knows compression and
    // encryption attributes (NTFS).
    virtual bool HasCompressionBits(const std::wstring& Path) = 0;
};

// One entry of a shell folder as the shell names it.
struct TShellFolderEntry {
    // The name shown; in the recycle bin the file's name before deletion.
    std::wstring DisplayName;
    // The entry's file-system path, where it has one (in the recycle bin
    // the path of the store, "C:\RECYCLER\...\Dc3.txt").
    std::wstring ParsingName;
    bool Folder = false;
    // The shell's attributes: a file-system item, or one that holds some.
    bool FileSystem = false;
    bool FileSystemAncestor = false;
    std::wstring TypeName;
    int IconIndex = -1;
    // The entry's own identifier in its folder (the shell's copy of an item
    // without a path starts from it); empty when the shell gave none.
    TPidlBytes ItemId;
};

// The shell's folders that are no plain folders of the disk.
class TDirShellFolders {
public:
    // Called per entry; false ends the listing.
    using TEntryProc = std::function<bool(const TShellFolderEntry& Entry)>;

    virtual ~TDirShellFolders() = default;
    // Every entry of the recycle bin (folders, files, hidden ones); false
    // when the shell's recycle bin cannot be reached.
    virtual bool ListRecycleBin(const TEntryProc& Each) = 0;
    // Every entry (folders and others) of a bound shell folder of the tree;
    // false when the folder cannot be listed.
    virtual bool ListShellFolder(const std::shared_ptr<void>& Folder, const TEntryProc& Each) = 0;
};

// The shell's icon indices and folder type name that a list falls back on.
struct TShellIcons {
    int DefaultFileIcon = 0;  // a file of an unknown type
    int ExeIcon = 0;          // a program
    int FolderIcon = 0;
    int OpenFolderIcon = 0;
    std::wstring FolderTypeName;
    // The list control draws items itself, so ".." can show the folder icon
    // with an arrow painted over it.
    bool ComCtlNew = true;
};

struct TShellFileInfo {
    std::wstring TypeName;
    int IconIndex = -1;
    bool Shared = false;  // a folder shared on the network
};

class TDirShellInfo {
public:
    enum TWant : unsigned { wiTypeName = 1, wiIcon = 2, wiShared = 4 };

    virtual ~TDirShellInfo() = default;
    // The shell's type name, small icon index and share state of Path.
    // FromAttributes: the shell decides by Attr and the name alone and
    // reads nothing from the disk. False when the shell has no answer.
    virtual bool GetInfo(const std::wstring& Path, uint32_t Attr, unsigned Want, bool FromAttributes,
                         TShellFileInfo& Info) = 0;
    // The number of images in the small system image list: an index at or
    // beyond it is not usable.
    virtual int SmallImageCount() = 0;
    virtual const TShellIcons& Icons() = 0;
    // Upper-case extensions with their dot (".EXE") whose icons are per file
    // and so never cached; sorted, ignoring case.
    virtual const TStringList& NotCachedExts() = 0;
};

}  // namespace qrv

#pragma once
// The decisions of the main window's file commands that need no window: the
// names of new shortcuts (those of new folders and files are
// panels/NewItemName.h's), and how a delete goes (which pane, to the recycle
// bin or for good, who asks first). Portable.

#include "panels/DirViewSystem.h"
#include "panels/NewItemName.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

// The shortcut file for Base in Folder: Base + ".lnk", or Base + " (2).lnk",
// " (3).lnk" ... when that file exists, so no file is ever written over.
// Empty when every candidate up to a sane limit is taken.
std::wstring ShortcutFileName(const std::wstring& Folder, const std::wstring& Base,
                              const std::function<bool(const std::wstring& FullPath)>& Exists);

// The base name of a shortcut to a drive root: the volume label followed by
// " (" + drive letter + ")"; without a label the letter in brackets alone.
std::wstring DriveShortcutBase(const std::wstring& VolumeLabel, wchar_t Drive);

enum class TDeleteFocus { None, Tree, List, Archive };
enum class TDeleteTarget { Refused, Tree, List, Archive };

struct TDeleteContext {
    TDeleteFocus Focus = TDeleteFocus::None;
    bool TreeNodeBelowDrive = false;  // the tree's selected node is a folder, not a drive
    std::wstring TreeFolderName;
    int ListSelCount = 0;
    bool ListFullPathItems = false;
    bool ArchiveHasSelection = false;
    // The drive type of what is deleted: the tree node's drive, the list's drive.
    uint32_t DriveType = static_cast<uint32_t>(kDriveFixed);
    bool PhysicalRequested = false;  // Shift held, or "Löschen physisch"
    bool ConfirmLogicalDel = true;
    bool ConfirmPhysicalDel = true;
    bool ShellNoConfirmRecycle = false;  // the shell does not ask before recycling
};

struct TDeleteDecision {
    TDeleteTarget Target = TDeleteTarget::Refused;
    bool Physical = false;
    // The program's own question (empty: none); only OK goes on.
    std::wstring Question;
    // The pane's ConfirmDelete for the call: the shell asks first.
    bool ShellConfirms = false;
    // Refused: the error text.
    std::wstring Error;
};

TDeleteDecision DecideDelete(const TDeleteContext& Context);

// What a list showing ListFolder does after Changed lost items: nothing when
// neither folder holds the other, else re-read in place when its folder is
// still there, else load the nearest folder above it that is. Folders are
// passed to FolderExists without a trailing backslash (a drive as "C:").
struct TListFollowUp {
    enum TKind { Nothing, Reread, Load } Kind = Nothing;
    std::wstring Folder;  // Load: the folder to show
};
TListFollowUp FollowChangedFolder(const std::wstring& ListFolder, const std::wstring& Changed,
                                  const std::function<bool(const std::wstring& Folder)>& FolderExists);

// The nearest folder of Path that exists: Path itself, else its parents one
// by one up to the root ("C:\", or "\\server\share" of a network path),
// which is returned even when it does not exist. Exists is asked with the
// folders as returned (a drive root with its backslash).
std::wstring NearestExistingDir(const std::wstring& Path,
                                const std::function<bool(const std::wstring& Folder)>& Exists);

}  // namespace qrv

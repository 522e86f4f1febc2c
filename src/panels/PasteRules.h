#pragma once
// How files from the clipboard are pasted into a folder: a cut moves them
// (and the clipboard is emptied afterwards), everything else copies; a copy
// into the folder the files come from gets new names ("<name> - Kopie"),
// made here: the shell is not trusted to rename on a collision (Wine's asks
// to overwrite the file with itself instead). Portable.

#include "common/DropFilesBlock.h"
#include "common/FileOperator.h"

#include <functional>
#include <string>
#include <vector>

namespace qrv {

struct TPastePlan {
    // false: nothing to do (no names, a name not a full path, a move onto
    // itself, a folder into itself or one of its subfolders)
    bool Valid = false;
    TFileOperation Operation = TFileOperation::foCopy;
    TFileOperationFlags Flags = 0;
    std::vector<std::wstring> Sources;
    std::wstring Dest;
    // A copy into the own folder, or one with RenameOnCollision that meets
    // a name taken: the full name each source gets (run with
    // foMultiDestFiles); else empty, and everything goes into Dest.
    std::vector<std::wstring> Dests;
    bool SameFolder = false;
    bool EmptyClipboardAfter = false;
};

// What the plan asks of the file system about a full path.
using TPathTest = std::function<bool(const std::wstring& Path)>;

// RenameOnCollision: a name already in TargetFolder gets a copy's name
// (the shell is not trusted to do it: Wine overwrites).
TPastePlan PlanPaste(const std::vector<std::wstring>& Names, TDropEffect Effect, const std::wstring& TargetFolder,
                     bool ConfirmOverwrite, const TPathTest& Exists, const TPathTest& IsDirectory,
                     bool RenameOnCollision = false);

// The user's confirmation settings a drop follows.
struct TDropConfirmations {
    bool Overwrite = true;
    bool Delete = true;
    // With Delete off: still warn before a file is deleted for good.
    bool NukeWarning = false;
};

// The operation of files dropped into TargetFolder (Effect: deCopy or
// deMove), or with ToRecycleBin deleted into a recycle bin. Mapped: the
// name each file is to get there (empty: its own), taken only where no
// copy's name is needed; SameFolder: a copy into their own folder.
// Invalid where a mapped name is not a single safe name.
TPastePlan PlanDrop(const std::vector<std::wstring>& Names, const std::vector<std::wstring>& Mapped, TDropEffect Effect,
                    const std::wstring& TargetFolder, const TDropConfirmations& Confirm, bool ToRecycleBin,
                    bool SameFolder, const TPathTest& Exists, const TPathTest& IsDirectory);

// True when Folder is Path or one of Path's ancestors.
bool IsSameOrAncestorFolder(const std::wstring& Folder, const std::wstring& Path);

// The name of a copy of Source in its own folder: "brief - Kopie.txt", then
// "brief - Kopie (2).txt", " (3)" ... (a folder keeps no extension) until one
// is free by Exists and not in Taken; empty when every candidate up to a sane
// limit is taken.
std::wstring CopyName(const std::wstring& Source, bool Directory, const TPathTest& Exists,
                      const std::vector<std::wstring>& Taken = {});

}  // namespace qrv

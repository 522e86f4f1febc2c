#pragma once
// How files from the clipboard are pasted into a folder: a cut moves them
// (and the clipboard is emptied afterwards), everything else copies; a copy
// into the folder the files come from gets new names. Portable.

#include "common/DropFilesBlock.h"
#include "common/FileOperator.h"

#include <string>
#include <vector>

namespace qrv {

struct TPastePlan {
    bool Valid = false;  // false: nothing to do (no names, a name not a full path, a move onto itself)
    TFileOperation Operation = TFileOperation::foCopy;
    TFileOperationFlags Flags = 0;
    std::vector<std::wstring> Sources;
    std::wstring Dest;
    bool SameFolder = false;
    bool EmptyClipboardAfter = false;
};

TPastePlan PlanPaste(const std::vector<std::wstring>& Names, TDropEffect Effect, const std::wstring& TargetFolder,
                     bool ConfirmOverwrite);

}  // namespace qrv

#pragma once
// The subfolders of a file list are read without a list window: a
// directory list core with the source list's mask, filter, display and
// sort settings loads each folder in turn and gives its entries with the
// texts the source list would show. Portable.

#include "dialogs/FileListText.h"
#include "panels/DirFilter.h"
#include "panels/DirViewCells.h"
#include "panels/DirViewSort.h"
#include "panels/DirViewSystem.h"
#include "panels/DirViewTexts.h"

#include <memory>
#include <string>

namespace qrv {

// The settings the source list passes on.
struct TFileListFolderSettings {
    std::wstring Mask = L"*.*";
    TLoadFilter Filter;
    bool ShowDirectories = true;
    bool HideHiddenDirs = false;
    bool ShowExtension = true;
    TFileNameDisplay FileNameDisplay = TFileNameDisplay::fndStored;
    TDirSortOptions Sort;
    std::shared_ptr<const TSortCollator> Collator;  // none: the core's own
    TDirCellOptions Cells;
    TFileTimeFormatter FormatTime;
    bool TypeNames = true;  // the type column is written
};

// A reader that loads each folder asked for into one core over the given
// system; FileSystem and Shell must outlive it.
TFileListFolderReader MakeFileListFolderReader(TDirFileSystem& FileSystem, TDirShellInfo& Shell,
                                               const TDirViewTexts& Texts, TFileListFolderSettings Settings);

}  // namespace qrv

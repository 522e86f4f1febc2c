#pragma once
// TRenameCommands: renaming in place in the folder tree and the file lists,
// as the main window sees it. The panes rename themselves; this area decides
// when a label may be edited (ClickEdits, unsaved text in the editor), lets
// the display's viewers follow a renamed file or folder once the rename
// succeeded, brings the other file list up to date, hands the pane's
// operator to the undo and pauses the folder-size scans while a folder's
// name is edited. Its rules are mainwindow/FileToolRules.h.

#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <functional>
#include <string>

namespace qrv {

class TComponent;
class TFileOperator;
class TTreeNode;
struct TFileRec;
struct TOptions;

// The display's holders of a file name.
enum class TShownFileHolder { Display, RichTextView, Editor };

class TRenameCommandsHost {
public:
    virtual ~TRenameCommandsHost() = default;
    virtual const TOptions& RenameOptions() = 0;
    // The file a holder shows ("" when it shows none or is hidden), and its
    // new name (nothing is loaded).
    virtual std::wstring ShownFile(TShownFileHolder Holder) = 0;
    virtual void RenameShownFile(TShownFileHolder Holder, const std::wstring& NewPath) = 0;
    // The hex view and the archive list keep their file open: they let it go
    // before a rename, and show the focused file again after it.
    virtual void ReleaseHexFile() = 0;
    virtual void RedisplayHexFile() = 0;
    virtual void SetLastFileOperator(TFileOperator* Operator) = 0;
    virtual void UpdateSelectionStatus() = 0;
    // The folder-size scans of Active (and of the other list on its drive)
    // stop while a folder's name is edited: a scan inside the folder holds
    // it open, and the rename would fail.
    virtual void PauseDirSizeScan(TDirView* Active) = 0;
    virtual void ResumeDirSizeScan(TDirView* Active) = 0;
};

class TRenameCommands {
public:
    // Sets the rename events of the tree and the lists of Panes.
    TRenameCommands(const TMainPanes& Panes, TMainWindowServices& Services, TRenameCommandsHost& Host);

    // Whether a label may be edited (ByCode: a command or the shell menu
    // opened it).
    bool ListEditing(TDirView& List, const TFileRec& Item, bool ByCode);
    bool TreeEditing(bool ByCode);
    // The name editor closed (renamed, refused or cancelled): the scans a
    // folder's edit paused go on.
    void EditEnded();
    // A list's rename: before (the hex view lets go) and after (NewName is
    // the old caption after a failure).
    void ListBeginRename(TDirView& List, const TFileRec& Item, const std::wstring& NewName);
    void ListEndRename(TDirView& List, const TFileRec& Item, const std::wstring& NewName);
    void TreeRenameBegin(TDriveView& Tree, TTreeNode* Node);
    void TreeRenameEnd(TDriveView& Tree, TTreeNode* Node);

    // A folder was renamed, in the tree or a list, before the lists and
    // viewers follow it: the window's folder histories take the new name.
    std::function<void(const std::wstring& OldPath, const std::wstring& NewPath)> OnFolderRenamed;

private:
    // After OldPath became NewPath: the viewers and the lists inside it follow.
    void FollowRename(const std::wstring& OldPath, const std::wstring& NewPath, TDirView* Skip);

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TRenameCommandsHost& host_;
    // The rename under way: the item's path before and the path it is to get.
    std::wstring oldPath_;
    std::wstring newPath_;
    // The list whose folder-size scans the open name editor paused.
    TDirView* pausedScans_ = nullptr;
};

}  // namespace qrv

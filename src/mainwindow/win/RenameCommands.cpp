#include "mainwindow/win/RenameCommands.h"

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/FileQueries.h"
#include "editor/win/EasyEditor.h"
#include "framework/SysUtils.h"
#include "mainwindow/FileToolRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

#include <utility>

namespace qrv {

namespace {

bool SameDrive(const std::wstring& A, const std::wstring& B)
{
    return !A.empty() && !B.empty() && SameText(A.substr(0, 1), B.substr(0, 1));
}

}  // namespace

TRenameCommands::TRenameCommands(const TMainPanes& Panes, TMainWindowServices& Services, TRenameCommandsHost& Host)
    : panes_(Panes), services_(Services), host_(Host)
{
    if (TDriveView* tree = panes_.TreeView1) {
        tree->OnEditing = [this](TComponent*, TTreeNode*, bool ByCode) { return TreeEditing(ByCode); };
        tree->OnRenameBegin = [this, tree](TComponent*, TTreeNode* Node) { TreeRenameBegin(*tree, Node); };
        tree->OnRenameEnd = [this, tree](TComponent*, TTreeNode* Node) { TreeRenameEnd(*tree, Node); };
        tree->OnEditEnded = [this](TComponent*) { EditEnded(); };
    }
    for (TDirView* list : {panes_.LV1, panes_.LV2}) {
        if (!list)
            continue;
        list->OnEditing = [this, list](TComponent*, TFileRec& Item, bool ByCode) {
            return ListEditing(*list, Item, ByCode);
        };
        list->OnEditEnded = [this](TComponent*) { EditEnded(); };
        list->OnBeginRename = [this, list](TComponent*, TFileRec& Item, const std::wstring& NewName) {
            ListBeginRename(*list, Item, NewName);
        };
        list->OnEndRename = [this, list](TComponent*, TFileRec& Item, const std::wstring& NewName) {
            ListEndRename(*list, Item, NewName);
        };
    }
}

bool TRenameCommands::ListEditing(TDirView& List, const TFileRec& Item, bool ByCode)
{
    if (!ListLabelEditAllowed(ByCode, host_.RenameOptions().ClickEdits))
        return false;
    if (Item.IsDirectory && !pausedScans_) {
        pausedScans_ = &List;
        host_.PauseDirSizeScan(&List);
    }
    return true;
}

bool TRenameCommands::TreeEditing(bool ByCode)
{
    // The folder may hold the edited text.
    const bool editorChanged = panes_.EasyEdit && panes_.EasyEdit->Visible() && panes_.EasyEdit->GetModified();
    if (!TreeLabelEditAllowed(ByCode, host_.RenameOptions().ClickEdits, editorChanged))
        return false;
    if (panes_.ActiveList && !pausedScans_) {
        pausedScans_ = panes_.ActiveList;
        host_.PauseDirSizeScan(pausedScans_);
    }
    return true;
}

void TRenameCommands::EditEnded()
{
    if (TDirView* paused = std::exchange(pausedScans_, nullptr))
        host_.ResumeDirSizeScan(paused);
}

void TRenameCommands::ListBeginRename(TDirView& List, const TFileRec& Item, const std::wstring& NewName)
{
    oldPath_ = List.ItemFullFileName(&Item);
    newPath_ = AddBackslash(List.GetPath()) + NewName;
    host_.ReleaseHexFile();
}

void TRenameCommands::ListEndRename(TDirView& List, const TFileRec& Item, const std::wstring& /*NewName*/)
{
    // After a failure the list reports the old item: the viewers stay on it
    // (pointing them at the name asked for would show, and save into, the
    // other file of that name).
    const bool renamed = !newPath_.empty() && SameText(List.ItemFullFileName(&Item), newPath_);
    if (renamed && Item.IsDirectory && OnFolderRenamed)
        OnFolderRenamed(oldPath_, List.ItemFullFileName(&Item));
    if (renamed)
        FollowRename(oldPath_, List.ItemFullFileName(&Item), &List);
    if (List.FileOperator().UndoAvailable())
        host_.SetLastFileOperator(&List.FileOperator());
    TDirView* other = panes_.OtherList();
    if (renamed && other && other != &List && other->Loaded() && SameDrive(other->GetPath(), List.GetPath()) &&
        ((Item.IsDirectory && DirExists(other->GetPath())) || !other->WatchForChanges()))
        other->ReloadDirectory();
    oldPath_.clear();
    newPath_.clear();
    host_.RedisplayHexFile();
}

void TRenameCommands::TreeRenameBegin(TDriveView& Tree, TTreeNode* Node)
{
    oldPath_ = Node ? Tree.GetDirPath(Node) : std::wstring();
    newPath_.clear();
    host_.ReleaseHexFile();
}

void TRenameCommands::TreeRenameEnd(TDriveView& Tree, TTreeNode* Node)
{
    const std::wstring newPath = Node ? Tree.GetDirPath(Node) : std::wstring();
    if (!oldPath_.empty() && !newPath.empty() && newPath != oldPath_ && DirExists(newPath)) {
        if (OnFolderRenamed)
            OnFolderRenamed(oldPath_, newPath);
        FollowRename(oldPath_, newPath, nullptr);
    }
    if (Tree.FileOperator().UndoAvailable())
        host_.SetLastFileOperator(&Tree.FileOperator());
    oldPath_.clear();
    host_.RedisplayHexFile();
    services_.UpdateActionStates();
    host_.UpdateSelectionStatus();
}

void TRenameCommands::FollowRename(const std::wstring& OldPath, const std::wstring& NewPath, TDirView* Skip)
{
    for (TShownFileHolder holder :
         {TShownFileHolder::Display, TShownFileHolder::RichTextView, TShownFileHolder::Editor})
        if (const auto renamed = RenamedViewerFile(host_.ShownFile(holder), OldPath, NewPath))
            host_.RenameShownFile(holder, *renamed);
    // A list showing the renamed folder, or a folder inside it, shows it
    // under its new name (the tree moves its own list already).
    for (TDirView* list : {panes_.ActiveList, panes_.OtherList()}) {
        if (!list || list == Skip || !list->Loaded())
            continue;
        const auto moved = RenamedViewerFile(list->GetPath(), OldPath, NewPath);
        if (moved && !SameText(RemoveBackslash(*moved), RemoveBackslash(list->GetPath())))
            list->SetPath(*moved);
    }
}

}  // namespace qrv

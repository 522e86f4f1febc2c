// The file commands that change what the panes show rather than the files:
// selecting in the list, expanding and collapsing the tree, reading a drive
// again, and the shell's properties.

#include "mainwindow/win/FileCommands.h"

#include "framework/ScopeExit.h"
#include "framework/win/WaitCursor.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

// ---- Selection ---------------------------------------------------------------------------

void TFileCommands::SelectAll()
{
    SelectInList(false);
}

void TFileCommands::SelectInvert()
{
    SelectInList(true);
}

void TFileCommands::SelectInList(bool Invert)
{
    const TWaitCursor wait;
    // The status bar and the action states count the new selection.
    const ScopeExit done([this] {
        services_.RefreshStatusBar();
        services_.UpdateActionStates();
    });
    if (host_.ArchiveListSelect(Invert)) {
        return;
    }
    TDirView* list = panes_.ActiveList;
    if (list == nullptr || !list->Loaded() || list->IsVirtual()) {
        MessageBeep(MB_OK);
        return;
    }
    const bool dirs = host_.FileOptions().SelDirs;
    if (Invert) {
        list->InvertSelection(dirs);
    } else {
        list->SelectAllItems(dirs);
    }
    list->SetFocus();
}

// ---- The tree ----------------------------------------------------------------------------

void TFileCommands::ActExpand()
{
    ExpandNode(true, false);
}

void TFileCommands::ActCollapse()
{
    ExpandNode(false, false);
}

void TFileCommands::ActExpandAll()
{
    ExpandNode(true, true);
}

void TFileCommands::ActCollapseAll()
{
    ExpandNode(false, true);
}

void TFileCommands::ExpandNode(bool Expand, bool Whole)
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (node == nullptr || !tree->HandleAllocated()) {
        MessageBeep(MB_OK);
        return;
    }
    const HWND handle = tree->Handle();
    if (!Whole) {
        Expand ? node->Expand(false) : node->Collapse(false);
        TreeView_EnsureVisible(handle, node->ItemId());
        return;
    }
    if (!Expand) {
        node->Collapse(true);
        TreeView_EnsureVisible(handle, node->ItemId());
        return;
    }
    // Expanding a whole drive reads every folder of it: the tree keeps its
    // place and is drawn once at the end.
    const TWaitCursor wait;
    const HTREEITEM top = TreeView_GetFirstVisible(handle);
    tree->LockUpdate();
    const ScopeExit unlock([tree] { tree->UnlockUpdate(); });
    node->Expand(true);
    if (top) {
        TreeView_Select(handle, top, TVGN_FIRSTVISIBLE);
    }
}

void TFileCommands::RescanDriveExecute()
{
    TDriveView* tree = panes_.TreeView1;
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (node == nullptr || node->Object() == nullptr) {
        Refuse(L"Kein Verzeichnis fokusiert.");
        return;
    }
    const std::wstring path = tree->GetDirPathName(node);
    const wchar_t drive = tree->GetDrive(node);
    const bool fullScan = tree->FullDriveScan();
    tree->SetFullDriveScan(true);
    const ScopeExit restore([tree, fullScan] { tree->SetFullDriveScan(fullScan); });
    tree->ScanDrive(drive);
    if (TTreeNode* again = tree->NodeForPath(path)) {
        tree->SelectNode(again);
    } else {
        tree->SetDirectory(path.substr(0, 3));
    }
}

// ---- Properties --------------------------------------------------------------------------

void TFileCommands::Eigenschaften()
{
    switch (FocusedPane()) {
    case TFilePane::Tree:
        if (TTreeNode* node = panes_.TreeView1->Selected()) {
            panes_.TreeView1->ShowProperties(node);
            return;
        }
        break;
    case TFilePane::List:
        panes_.ActiveList->DisplayPropertiesMenu();
        return;
    case TFilePane::None:
        break;
    }
    MessageBeep(MB_ICONHAND);
}

}  // namespace qrv

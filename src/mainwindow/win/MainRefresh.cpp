// The main window's refresh (F5): the drive table, the tree's drive and the
// file lists read again, the watchers running again.

#include "mainwindow/win/RudirezOziMain.h"

#include "common/BaseUtils.h"
#include "framework/ScopeExit.h"
#include "framework/win/WaitCursor.h"
#include "mainwindow/win/DriveBar.h"
#include "mainwindow/win/FileDisplay.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"

namespace qrv {

namespace {

bool SamePath(const std::wstring& A, const std::wstring& B)
{
    return CompareStringOrdinal(A.c_str(), static_cast<int>(A.size()), B.c_str(), static_cast<int>(B.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

void TQRVMain::Aktualisieren()
{
    if (!refreshAllowed_)
        return;
    refreshAllowed_ = false;
    const TWaitCursor wait;
    const ScopeExit done([this] { refreshAllowed_ = true; });
    if (DrivesChanged && driveBar_) {
        DrivesChanged = false;
        driveBar_->RefreshDriveList(true);
    }
    if (StoredState.SimpleRefresh) {
        SimpleRefresh();
        return;
    }
    const bool viewing = fileDisplay_ && fileDisplay_->ViewFile();
    if (viewing && !ClearDisplay())
        return;
    TDirView* other = OtherList();
    if (ActiveList && ActiveList->Loaded() && !ActiveList->IsVirtual()) {
        const std::wstring path = ActiveList->GetPath();
        const wchar_t drive = path.empty() ? 0 : static_cast<wchar_t>(towupper(path[0]));
        if (drive && DriveInfo().IsValid(drive))
            DriveInfo().ReadDriveStatus(drive, dsSize | dsDisplayName);
        if (other && other->Loaded() && !other->IsVirtual()) {
            const std::wstring otherPath = other->GetPath();
            const wchar_t otherDrive = otherPath.empty() ? 0 : static_cast<wchar_t>(towupper(otherPath[0]));
            if (otherDrive && otherDrive != drive && DriveInfo().IsValid(otherDrive))
                DriveInfo().ReadDriveStatus(otherDrive, dsSize);
        }
    }
    bool network = false;
    std::wstring treeFolder;
    if (TTreeNode* node = TreeView1->Selected()) {
        TTreeNode* root = TreeView1->RootNode(node);
        const wchar_t drive = TreeView1->GetDrive(node);
        TDriveInfoRec rec;
        if (drive != kNetworkDrive)
            DriveInfo().GetData(drive, rec);
        network = drive == kNetworkDrive || rec.DriveType == kDriveTypeRemote;
        if (DriveInfo().IsDriveAccessible(drive)) {
            // A network drive's tree may be large and slow: only the folder shown.
            TreeView1->ValidateDirectory(network ? node : root);
            TreeView1->RefreshNodeText(root);
            if (TTreeNode* selected = TreeView1->Selected())
                treeFolder = TreeView1->GetDirPathName(selected);
        } else {
            TreeView1->ClearNodeChildren(root);
            TreeView1->SelectNode(root);
        }
    }
    RefreshList(ActiveList, treeFolder);
    if (other)
        RefreshList(other, std::wstring());
    if (!network) {
        if (TreeView1->WatchDirectory() && !TreeView1->WatchThreadActive())
            TreeView1->StartWatchThread();
        for (TDirView* list : {ActiveList, other})
            if (list && list->WatchForChanges() && !list->WatchThreadActive())
                list->StartWatchThread();
    }
    if (driveBar_)
        driveBar_->RebuildDriveButtons();
    if (fileDisplay_)
        fileDisplay_->Unfreeze();
    RefreshStatusBar();
    if (viewing)
        fileDisplay_->RequestDisplay();
}

void TQRVMain::RefreshList(TDirView* List, const std::wstring& TreeFolder)
{
    if (List == nullptr)
        return;
    List->SetLoadEnabled(true);
    if (!TreeFolder.empty() && !(List->Loaded() && SamePath(AddBackslash(List->GetPath()), AddBackslash(TreeFolder))))
        List->SetPath(TreeFolder);
    else if (List->Loaded())
        List->ReloadDirectory();
}

void TQRVMain::SimpleRefresh()
{
    const bool viewing = fileDisplay_ && fileDisplay_->ViewFile();
    if (viewing && !ClearDisplay())
        return;
    TTreeNode* node = TreeView1->Selected();
    const HWND focus = GetFocus();
    if (node && TreeView1->HandleAllocated() && focus == TreeView1->Handle())
        TreeView1->ValidateDirectory(node);
    else if (ActiveList && ActiveList->Loaded())
        ActiveList->ReloadDirectory();
    if (viewing)
        fileDisplay_->RequestDisplay();
}

}  // namespace qrv

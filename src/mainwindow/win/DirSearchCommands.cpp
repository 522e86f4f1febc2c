#include "mainwindow/win/DirSearchCommands.h"

#include "dialogs/DirSearchRules.h"
#include "dialogs/win/QuorFindDialog.h"
#include "framework/win/StdCtrls.h"
#include "framework/win/WaitCursor.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"

#include <functional>

namespace qrv {

namespace {

constexpr const wchar_t* kNotOnNetwork = L"Diese Funktion ist innerhalb der Netzwerkumgebung nicht verfügbar.";

// Visits the node and every node below it in tree order until Visit says stop.
bool WalkInTreeOrder(TTreeNode* Node, const std::function<bool(TTreeNode*)>& Visit)
{
    if (Visit(Node))
        return true;
    for (int i = 0; i < Node->Count(); ++i)
        if (WalkInTreeOrder(Node->Item(i), Visit))
            return true;
    return false;
}

}  // namespace

TDirSearchCommands::TDirSearchCommands(TMainWindowServices& Services, TDirSearchHost& Host)
    : services_(Services), host_(Host), self_(std::make_shared<TDirSearchCommands*>(this))
{}

TDirSearchCommands::~TDirSearchCommands()
{
    // The dialog's window goes with it; nothing of it calls back any more.
    if (dialog_) {
        dialog_->OnSearch = nullptr;
        dialog_->OnJump = nullptr;
        dialog_->OnSearchClosed = nullptr;
        dialog_->OnTextChanged = nullptr;
    }
}

void TDirSearchCommands::Refuse(const std::wstring& Text)
{
    MessageBeep(MB_ICONHAND);
    services_.ShowMessageBox(Text, TMsgDlgType::mtError, 0, mbOK);
}

bool TDirSearchCommands::RefuseOnNetwork(TTreeNode* Node)
{
    if (host_.SearchTree()->GetDrive(Node) != kNetworkDrive)
        return false;
    Refuse(kNotOnNetwork);
    return true;
}

void TDirSearchCommands::DirSearchExecute()
{
    TDriveView* tree = host_.SearchTree();
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (!node) {
        Refuse(L"Kein Verzeichnis fokusiert.");
        return;
    }
    if (RefuseOnNetwork(node))
        return;
    if (listening_ != tree) {
        listening_ = tree;
        tree->AddNodeDeletingListener([self = std::weak_ptr<TDirSearchCommands*>(self_)](TTreeNode* deleted) {
            if (const auto alive = self.lock())
                (*alive)->NodeDeleting(deleted);
        });
    }
    // A second open while the dialog is up keeps the expansions saved first.
    const bool open = dialog_ && dialog_->Visible();
    if (!open) {
        driveRoot_ = tree->RootNode(node);
        selectedAtStart_ = node;
        tree->SaveNodesState(driveRoot_);
    }
    if (!dialog_) {
        dialog_ = std::make_unique<TQuorFindDialog>(nullptr);
        host_.PlaceFindDialog(*dialog_);
        dialog_->OnSearch = [this] { Search(); };
        dialog_->OnSearchClosed = [this] { SearchClosed(); };
        dialog_->OnJump = [this] { CloseWhenFound(); };
        dialog_->OnTextChanged = [this] { DropFound(); };
    }
    if (!open)
        dialog_->SetFoundDir(L"");
    dialog_->Show();
}

void TDirSearchCommands::DropFound()
{
    if (found_)
        host_.SearchTree()->SetBoldDraw(found_, false);
    found_ = nullptr;
}

void TDirSearchCommands::Search()
{
    TDriveView* tree = host_.SearchTree();
    TTreeNode* node = tree ? tree->Selected() : nullptr;
    if (!node || !dialog_)
        return;
    if (RefuseOnNetwork(node))
        return;
    if (!tree->DriveFullyScanned(tree->GetDrive(node))) {
        host_.RescanDrive();
        node = tree->Selected();
        if (!node)
            return;
        // The drive's nodes are new: what close puts back is how they stand
        // now, and the folder selected again is the one to return to.
        driveRoot_ = tree->RootNode(node);
        tree->SaveNodesState(driveRoot_);
        if (!selectedAtStart_)
            selectedAtStart_ = node;
    }
    const TWaitCursor hourglass;
    TTreeNode* root = tree->RootNode(node);
    TDirSearchRun run(MakeDirSearchPattern(dialog_->SearchStr->Text()), found_, node);
    WalkInTreeOrder(root, [&](TTreeNode* visited) { return run.Visit(visited, tree->GetDirName(visited)); });
    DropFound();
    found_ = static_cast<TTreeNode*>(const_cast<void*>(run.Found()));
    if (!found_) {
        MessageBeep(MB_OK);
        dialog_->SetFoundDir(L"");
        return;
    }
    tree->SetBoldDraw(found_, true);
    tree->CenterNode(found_);
    dialog_->SetFoundDir(tree->GetDirPathName(found_));
}

void TDirSearchCommands::CloseWhenFound()
{
    if (found_ && dialog_)
        dialog_->Close();
}

void TDirSearchCommands::SearchClosed()
{
    TDriveView* tree = host_.SearchTree();
    if (!tree)
        return;
    if (driveRoot_)
        tree->RestoreNodesState(driveRoot_);
    if (found_ && dialog_ && dialog_->JumpRequested())
        tree->SelectNode(found_);
    if (!tree->Selected() && selectedAtStart_)
        tree->SelectNode(selectedAtStart_);
    if (TTreeNode* selected = tree->Selected(); selected && selected->ItemId() && tree->HandleAllocated())
        SendMessageW(tree->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(selected->ItemId()));
    DropFound();
    driveRoot_ = nullptr;
    selectedAtStart_ = nullptr;
}

void TDirSearchCommands::NodeDeleting(TTreeNode* Node)
{
    if (Node == found_)
        found_ = nullptr;
    if (Node == selectedAtStart_)
        selectedAtStart_ = nullptr;
    if (Node == driveRoot_)
        driveRoot_ = nullptr;
    if (dialog_ && !found_ && dialog_->HasFound())
        dialog_->SetFoundDir(L"");
}

}  // namespace qrv

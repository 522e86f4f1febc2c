// TDriveView's view state: expanded states saved into the nodes and back,
// the copy of another tree, collapsing to the selection, and batching
// repaints.

#include "panels/win/DriveView.h"

#include "framework/ScopeExit.h"
#include "panels/win/DriveViewNode.h"

#include <functional>
#include <unordered_map>

namespace qrv {

namespace {

void ForEachNode(TTreeNodes& Items, const std::function<void(TTreeNode*)>& Visit)
{
    std::function<void(TTreeNode*)> walk = [&](TTreeNode* node) {
        Visit(node);
        for (int i = 0; i < node->Count(); ++i)
            walk(node->Item(i));
    };
    for (int i = 0; i < Items.RootCount(); ++i)
        walk(Items.Root(i));
}

}  // namespace

void TDriveView::SaveNodesState()
{
    ForEachNode(Items(), [this](TTreeNode* node) { NodeData(node).Expanded = node->Expanded(); });
}

void TDriveView::RestoreNodesState()
{
    TUpdateLock<TDriveView> lock(*this, &TDriveView::LockUpdate, &TDriveView::UnlockUpdate);
    // Parents first, so a child's expansion shows.
    ForEachNode(Items(), [this](TTreeNode* node) {
        if (NodeData(node).Expanded && !node->Expanded())
            node->Expand();
        else if (!NodeData(node).Expanded && node->Expanded())
            node->Collapse();
    });
}

void TDriveView::CloneTree(TDriveView* Source)
{
    if (!Source || Source == this)
        return;
    Source->SaveNodesState();
    TUpdateLock<TDriveView> lock(*this, &TDriveView::LockUpdate, &TDriveView::UnlockUpdate);
    pendingChange_ = nullptr;
    Items().Clear();
    std::unordered_map<const TTreeNode*, TTreeNode*> copies;
    std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* from, TTreeNode* parent) {
        auto holder = std::make_unique<TDriveViewNode>();
        const auto& source = static_cast<const TDriveViewNode&>(*from->Object());
        holder->Data.Assign(source.Data);
        holder->Image = source.Image;
        holder->SelectedImage = source.SelectedImage;
        TTreeNode* node = Items().Insert(parent, nullptr, from->Text(), from->HasChildren(), std::move(holder));
        ApplyShareOverlay(node);
        copies[from] = node;
        for (int i = 0; i < from->Count(); ++i)
            copy(from->Item(i), node);
    };
    for (int i = 0; i < Source->Items().RootCount(); ++i)
        copy(Source->Items().Root(i), nullptr);
    for (wchar_t drive = kFirstDrive; drive <= kLastDrive; ++drive) {
        TDriveStatus& own = drives_[drive];
        const TDriveStatus& theirs = Source->drives_[drive];
        own.Scanned = theirs.Scanned;
        own.FullScanned = theirs.FullScanned;
        own.DefaultDir = theirs.DefaultDir;
        const auto root = copies.find(static_cast<TTreeNode*>(theirs.RootNode));
        own.RootNode = root == copies.end() ? nullptr : root->second;
    }
    rootsLoaded_ = true;
    RestoreNodesState();
    if (TTreeNode* selected = Source->Selected(); selected && copies.count(selected))
        SelectNode(copies[selected]);
}

void TDriveView::CollapseToSelection()
{
    TTreeNode* selected = Selected();
    const auto onPath = [selected](TTreeNode* node) {
        for (TTreeNode* up = selected; up; up = up->Parent())
            if (up == node)
                return true;
        return false;
    };
    TUpdateLock<TDriveView> lock(*this, &TDriveView::LockUpdate, &TDriveView::UnlockUpdate);
    // Deepest first, so every collapse leaves the node's subtree closed too.
    std::function<void(TTreeNode*)> walk = [&](TTreeNode* node) {
        for (int i = 0; i < node->Count(); ++i)
            walk(node->Item(i));
        if (node != selected && !onPath(node) && node->Expanded())
            node->Collapse();
    };
    for (int i = 0; i < Items().RootCount(); ++i)
        walk(Items().Root(i));
}

void TDriveView::LockUpdate()
{
    if (updateLocks_++ == 0 && HandleAllocated())
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TDriveView::UnlockUpdate()
{
    if (updateLocks_ == 0 || --updateLocks_ != 0 || !HandleAllocated())
        return;
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace qrv

namespace qrv {

void TDriveView::SetBoldDraw(TTreeNode* Node, bool Bold)
{
    if (!Node)
        RaiseNodeNotAssigned(L"SetBoldDraw");
    NodeData(Node).Bold = Bold;
    if (!HandleAllocated() || !Node->ItemId())
        return;
    TVITEMW item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = Node->ItemId();
    item.stateMask = TVIS_BOLD;
    item.state = Bold ? TVIS_BOLD : 0;
    SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

bool TDriveView::DriveFullyScanned(wchar_t Drive) const
{
    const wchar_t drive = UpCaseDrive(Drive);
    return drive >= kFirstDrive && drive <= kLastDrive && drives_[drive].FullScanned;
}

void TDriveView::AddNodeDeletingListener(std::function<void(TTreeNode* Node)> Listener)
{
    nodeDeletingListeners_.push_back(std::move(Listener));
}

}  // namespace qrv

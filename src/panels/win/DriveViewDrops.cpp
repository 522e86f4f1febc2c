// The tree's drag and drop: its folders as drop targets (opening a hovered
// folder after a while, Space opening or closing it at once, scrolling at
// the edges), the drop carried out by its operator, and dragging a folder
// out.

#include "common/BaseUtils.h"
#include "common/FileOperator.h"
#include "common/win/DragDropFilesEx.h"
#include "common/win/FileQueries.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "panels/DropRules.h"
#include "panels/PasteRules.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/PaneDragDrop.h"

#include <commctrl.h>

#include <algorithm>

namespace qrv {

namespace {

bool AtOrAfterDefaultDrive(const std::wstring& Path)
{
    const wchar_t drive = DriveLetterOf(Path);
    const wchar_t first = DriveInfo().DefaultDrive();
    return drive != 0 && (first == L' ' || first == 0 || drive >= first);
}

// Takes a held key out of the thread's keyboard state, so that it is
// counted once.
void ForgetKey(int Key)
{
    BYTE keys[256];
    if (GetKeyboardState(keys)) {
        keys[Key] = 0;
        SetKeyboardState(keys);
    }
}

class TDriveViewDropSite : public TPaneDropSite {
public:
    explicit TDriveViewDropSite(TDriveView& Tree) : tree_(Tree), timer_(Tree.DDExpandDelay) {}

    TWinControl& DropControl() override { return tree_; }

    TPaneDropTarget DropTargetAt(POINT Point) override
    {
        TPaneDropTarget target;
        TTreeNode* node = tree_.HandleAllocated() ? tree_.NodeAt(Point.x, Point.y) : nullptr;
        if (!node)
            return target;
        const TNodeData& data = tree_.NodeData(node);
        target.Valid = true;
        target.Key = node;
        target.OnItem = true;
        target.RecycleBin = data.IsRecycleBin;
        target.NotFileSystem = !data.IsFileSystemOrReal();
        target.Folder = target.NotFileSystem ? std::wstring() : tree_.GetDirPathName(node);
        return target;
    }

    void SetDropHighlight(const TPaneDropTarget* Target) override
    {
        if (!tree_.HandleAllocated())
            return;
        auto* node = Target ? static_cast<TTreeNode*>(const_cast<void*>(Target->Key)) : nullptr;
        SendMessageW(tree_.Handle(), TVM_SELECTITEM, TVGN_DROPHILITE,
                     reinterpret_cast<LPARAM>(node ? node->ItemId() : nullptr));
    }

    void DropEnter(const TPaneDrag& Drag, uint32_t Now) override
    {
        const uint32_t start = timer_.Start();
        timer_ = TTreeDragTimer(tree_.DDExpandDelay);
        timer_.StartOwnDrag(start);
        timer_.Enter(Now, Drag.OwnDrag);
        ForgetKey(VK_SPACE);
    }

    uint32_t PaneDropEffect(const TPaneDropTarget& Target, const TPaneDrag& Drag, uint32_t Keys,
                            uint32_t Proposed) override
    {
        TTreeDropQuery query;
        query.Keys = Keys;
        query.Proposed = Proposed;
        query.SourceEffects = Drag.SourceEffects;
        query.RecycleBin = Target.RecycleBin;
        query.NotFileSystem = Target.NotFileSystem;
        query.FileContents = Drag.FileContents;
        query.LinkOnExe = Drag.LinkOnExe;
        query.DrivesLinkable = AtOrAfterDefaultDrive(Target.Folder) && AtOrAfterDefaultDrive(Drag.SourcePath);
        query.SameDrive = OnSameDrive(Drag.SourcePath, Target.Folder);
        const std::wstring folder = RemoveBackslash(Target.Folder);
        query.IntoDraggedFolder = std::any_of(Drag.Names.begin(), Drag.Names.end(), [&](const std::wstring& name) {
            return !name.empty() && IsSameOrAncestorFolder(RemoveBackslash(name), folder);
        });
        const std::wstring& own = tree_.DraggedPath();
        query.OntoOwnParent = !own.empty() && SameText(RemoveBackslash(ExtractFilePath(RemoveBackslash(own))), folder);
        return TreeDropEffect(query);
    }

    void DropHover(POINT Point, const TPaneDropTarget& Target, uint32_t Now) override
    {
        auto* node = static_cast<TTreeNode*>(const_cast<void*>(Target.Key));
        if (!node || !tree_.HandleAllocated())
            return;
        if (GetKeyState(VK_SPACE) < 0) {
            // Space opens or closes the folder at once.
            timer_.RestartExpand(Now);
            ForgetKey(VK_SPACE);
            const TDragPictureHidden hidden;
            if (!node->Expanded()) {
                if (node->Count() == 0)
                    tree_.ValidateDirectory(node);
                node->Expand();
            } else if (!IsAncestorOfSelection(node)) {
                node->Collapse();
            }
            UpdateWindow(tree_.Handle());
        } else if (timer_.ExpandDue(node, Now) && !node->Expanded()) {
            const TDragPictureHidden hidden;
            node->Expand();
            UpdateWindow(tree_.Handle());
        }
        RECT client{};
        GetClientRect(tree_.Handle(), &client);
        const auto first =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree_.Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
        const int line = static_cast<int>(SendMessageW(tree_.Handle(), TVM_GETITEMHEIGHT, 0, 0));
        const bool nearBottom = Point.y > client.bottom - std::max(line, 1);
        const TTreeDragTimer::TScroll step = timer_.VerticalStep(first == node->ItemId(), nearBottom, Now);
        if (step != TTreeDragTimer::TScroll::None)
            Scroll(WM_VSCROLL, step == TTreeDragTimer::TScroll::Up ? SB_LINEUP : SB_LINEDOWN);
        const bool horizontal = (GetWindowLongW(tree_.Handle(), GWL_STYLE) & WS_HSCROLL) != 0;
        if (horizontal && (Point.x < 50 || Point.x > client.right - 50) && timer_.HorizontalDue(Now)) {
            RECT text{};
            *reinterpret_cast<HTREEITEM*>(&text) = node->ItemId();
            SendMessageW(tree_.Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
            if (Point.x < 50 && text.right < client.right - 50)
                Scroll(WM_HSCROLL, SB_LINELEFT);
            else if (Point.x > client.right - 50 && text.left > 50)
                Scroll(WM_HSCROLL, SB_LINERIGHT);
        }
    }

    bool CopyOrMoveDropped(const std::wstring& Folder, uint32_t Effect, const std::vector<std::wstring>& Names,
                           const std::vector<std::wstring>& Mapped, bool SameFolder, bool ToRecycleBin,
                           bool OverwriteAnswered) override
    {
        TFileList& files = tree_.DragFileList();
        files.Clear();
        for (size_t i = 0; i < Names.size(); ++i)
            files.AddItemEx(nullptr, Names[i], i < Mapped.size() ? Mapped[i] : std::wstring());
        return tree_.PerformDragDropFileOperation(Folder, static_cast<TDropEffect>(Effect), SameFolder, ToRecycleBin,
                                                  OverwriteAnswered);
    }

    bool DropConfirmsOverwrite() override { return tree_.ConfirmOverwrite; }

    void DropDone(const std::wstring& Folder, uint32_t /*Effect*/) override
    {
        SetDropHighlight(nullptr);
        if (!Folder.empty() && !DirExists(Folder))
            if (TTreeNode* node = tree_.NodeForPathOrParent(RemoveBackslash(Folder)))
                tree_.ValidateDirectory(node);
    }

    TFileOperator& DropOperator() override { return tree_.FileOperator(); }

    void StartOwnDrag(uint32_t Now) { timer_.StartOwnDrag(Now); }

    std::wstring DropDriveName(wchar_t Drive) override { return tree_.GetDriveText(Drive); }

    void DraggedAway(const std::vector<std::wstring>& Names) override
    {
        for (const std::wstring& name : Names)
            if (TTreeNode* node = tree_.NodeForPathOrParent(RemoveBackslash(ExtractFilePath(RemoveBackslash(name)))))
                tree_.ValidateDirectory(node);
    }

    HIMAGELIST DragPicture(const std::vector<std::wstring>&, POINT& HotSpot) override
    {
        TTreeNode* node = tree_.DraggedNode();
        return node && tree_.HandleAllocated() ? TreeNodePicture(tree_.Handle(), node->ItemId(), HotSpot) : nullptr;
    }

private:
    // One line, drawn at once with the drag picture out of the way.
    void Scroll(UINT Message, WPARAM Step)
    {
        const TDragPictureHidden hidden;
        SendMessageW(tree_.Handle(), Message, Step, 0);
        UpdateWindow(tree_.Handle());
    }

    bool IsAncestorOfSelection(TTreeNode* Node)
    {
        for (TTreeNode* at = tree_.Selected(); at; at = at->Parent())
            if (at == Node)
                return true;
        return false;
    }

    TDriveView& tree_;
    TTreeDragTimer timer_;
};

}  // namespace

TPaneDragDrop& TDriveView::DragDrop()
{
    if (!dragDrop_) {
        auto site = std::make_unique<TDriveViewDropSite>(*this);
        dragDrop_ = std::make_unique<TPaneDragDrop>(*site);
        dropSite_ = std::move(site);
    }
    return *dragDrop_;
}

TDragResult TDriveView::DragNode(TTreeNode* Node)
{
    if (!Node)
        return drInvalid;
    const TNodeData& data = NodeData(Node);
    if (!data.IsFileSystemOrReal())
        return drInvalid;
    const bool root = !Node->Parent();
    const std::wstring path = root ? GetDirPathName(Node) : GetDirPath(Node);
    dragPath_ = path;
    draggedNode_ = Node;
    const ScopeExit forget([this] {
        dragPath_.clear();
        draggedNode_ = nullptr;
    });
    TPaneDragDrop& dnd = DragDrop();
    static_cast<TDriveViewDropSite&>(*dropSite_).StartOwnDrag(dnd.Clock());
    // A drive cannot be copied or moved, only linked to.
    return dnd.StartDrag({path}, root ? deLink : (deCopy | deMove | deLink));
}

}  // namespace qrv

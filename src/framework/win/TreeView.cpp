// The common tree view, its nodes and their list (ComCtrls.h).

#include "framework/win/ComCtrls.h"

#include "framework/SysUtils.h"
#include "framework/win/ComCtrlsCommon.h"
#include "framework/win/ImgList.h"

#include <algorithm>
#include <unordered_map>

namespace qrv {

// --- TTreeNode, TTreeNodes -----------------------------------------------

namespace {

// Items are added and deleted by the thousand: those messages go straight to
// the control's own procedure. Through the subclass every message costs a
// window-property lookup, which under Wine is a round trip to its server;
// the tree's own handler has nothing to do with them.
LRESULT TreeControlMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (auto proc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(handle, GCLP_WNDPROC)))
        return CallWindowProcW(proc, handle, msg, wParam, lParam);
    return SendMessageW(handle, msg, wParam, lParam);
}

}  // namespace

void TTreeNode::SetText(const std::wstring& text)
{
    text_ = text;
    if (!item_ || !tree_.HandleAllocated())
        return;
    TVITEMW tvi{};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item_;
    tvi.pszText = text_.data();
    SendMessageW(tree_.Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
}

void TTreeNode::SetHasChildren(TNodeButton button)
{
    button_ = button;
    if (!item_ || !tree_.HandleAllocated())
        return;
    TVITEMW tvi{};
    tvi.mask = TVIF_CHILDREN;
    tvi.hItem = item_;
    tvi.cChildren = button == TNodeButton::Ask ? I_CHILDRENCALLBACK : button == TNodeButton::Shown ? 1 : 0;
    SendMessageW(tree_.Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
}

void TTreeNode::SetCut(bool cut)
{
    cut_ = cut;
    if (!item_ || !tree_.HandleAllocated())
        return;
    TVITEMW tvi{};
    tvi.mask = TVIF_STATE;
    tvi.hItem = item_;
    tvi.stateMask = TVIS_CUT;
    tvi.state = cut ? TVIS_CUT : 0;
    SendMessageW(tree_.Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
}

bool TTreeNode::Expanded() const
{
    if (!item_ || !tree_.HandleAllocated())
        return false;
    return (SendMessageW(tree_.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

void TTreeNode::Expand(bool recurse)
{
    if (item_ && tree_.HandleAllocated())
        SendMessageW(tree_.Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
    if (recurse)
        for (size_t i = 0; i < children_.size(); ++i)
            children_[i]->Expand(true);
}

void TTreeNode::Collapse(bool recurse)
{
    if (recurse)
        for (auto& child : children_)
            child->Collapse(true);
    if (item_ && tree_.HandleAllocated())
        SendMessageW(tree_.Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
}

TTreeNode* TTreeNode::NextSibling() const
{
    const auto& siblings = parent_ ? parent_->children_ : tree_.Items().roots_;
    return index_ + 1 < siblings.size() ? siblings[index_ + 1].get() : nullptr;
}

TTreeNodes::~TTreeNodes() = default;

TTreeNodes::TSiblings& TTreeNodes::SiblingsOf(TTreeNode* node)
{
    return node->parent_ ? node->parent_->children_ : roots_;
}

void TTreeNodes::Renumber(TSiblings& siblings, size_t from)
{
    for (size_t i = from; i < siblings.size(); ++i)
        siblings[i]->index_ = i;
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::wstring& text)
{
    return Insert(parent, nullptr, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* parent, TTreeNode* before, const std::wstring& text, TNodeButton button,
                              std::unique_ptr<TTreeNodeObject> object)
{
    auto& siblings = parent ? parent->children_ : roots_;
    // A node that is no child of parent is no place to insert before.
    if (before &&
        (before->parent_ != parent || before->index_ >= siblings.size() || siblings[before->index_].get() != before))
        before = nullptr;
    auto at = before ? siblings.begin() + static_cast<std::ptrdiff_t>(before->index_) : siblings.end();
    HTREEITEM after = at == siblings.begin() ? TVI_FIRST : at == siblings.end() ? TVI_LAST : (*(at - 1))->item_;
    at = siblings.insert(at, std::unique_ptr<TTreeNode>(new TTreeNode(tree_, parent, text)));
    // Appending, the common case, renumbers nothing but the new node.
    Renumber(siblings, static_cast<size_t>(at - siblings.begin()));
    TTreeNode* node = at->get();
    node->button_ = button;
    node->object_ = std::move(object);
    if (tree_.HandleAllocated() && (!parent || parent->item_))
        InsertInWindow(*node, after);
    return node;
}

void TTreeNodes::InsertInWindow(TTreeNode& node, HTREEITEM after)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = node.parent_ ? node.parent_->item_ : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    if (tree_.images_) {
        insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
    }
    insert.item.pszText = node.text_.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(&node);
    if (node.cut_) {
        insert.item.mask |= TVIF_STATE;
        insert.item.stateMask = TVIS_CUT;
        insert.item.state = TVIS_CUT;
    }
    insert.item.cChildren = node.button_ == TNodeButton::Ask     ? I_CHILDRENCALLBACK
                            : node.button_ == TNodeButton::Shown ? 1
                                                                 : 0;
    node.item_ = reinterpret_cast<HTREEITEM>(
        TreeControlMessage(tree_.Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    for (auto& child : node.children_)
        InsertInWindow(*child);
}

void TTreeNodes::ForgetWindowItems()
{
    std::function<void(TTreeNode&)> forget = [&](TTreeNode& node) {
        node.item_ = nullptr;
        for (auto& child : node.children_)
            forget(*child);
    };
    for (auto& root : roots_)
        forget(*root);
}

void TTreeNodes::Unselect(TTreeNode* node)
{
    for (TTreeNode* up = tree_.selected_; up; up = up->parent_)
        if (up == node) {
            tree_.selected_ = nullptr;
            break;
        }
}

void TTreeNodes::Delete(TTreeNode* node)
{
    if (!node)
        return;
    Unselect(node);
    if (node->item_ && tree_.HandleAllocated())
        TreeControlMessage(tree_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
    tree_.ForEachDeleted(*node);
    auto& siblings = SiblingsOf(node);
    // Taken out first, so the node's own destruction sees a consistent tree.
    // DeleteChildren takes the last child each time: nothing to renumber.
    const auto it = siblings.begin() + static_cast<std::ptrdiff_t>(node->index_);
    std::unique_ptr<TTreeNode> gone = std::move(*it);
    siblings.erase(it);
    Renumber(siblings, node->index_);
}

void TTreeNodes::DeleteChildren(TTreeNode* node)
{
    if (!node)
        return;
    while (!node->children_.empty())
        Delete(node->children_.back().get());
}

void TTreeNodes::Clear()
{
    tree_.selected_ = nullptr;
    if (tree_.HandleAllocated())
        SendMessageW(tree_.Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    for (auto& root : roots_)
        tree_.ForEachDeleted(*root);
    std::vector<std::unique_ptr<TTreeNode>> gone = std::move(roots_);
    roots_.clear();
}

void TTreeNodes::SortChildren(TTreeNode* parent, const std::function<bool(const TTreeNode&, const TTreeNode&)>& less)
{
    auto& siblings = parent ? parent->children_ : roots_;
    std::stable_sort(siblings.begin(), siblings.end(), [&](const auto& a, const auto& b) { return less(*a, *b); });
    Renumber(siblings, 0);
    if (!tree_.HandleAllocated() || (parent && !parent->item_))
        return;
    // The control takes the same order: each node's place in the vector.
    std::unordered_map<LPARAM, size_t> rank;
    for (size_t i = 0; i < siblings.size(); ++i)
        rank[reinterpret_cast<LPARAM>(siblings[i].get())] = i;
    TVSORTCB sort{};
    sort.hParent = parent ? parent->item_ : TVI_ROOT;
    sort.lpfnCompare = [](LPARAM a, LPARAM b, LPARAM order) -> int {
        const auto& ranks = *reinterpret_cast<const std::unordered_map<LPARAM, size_t>*>(order);
        const size_t ra = ranks.at(a), rb = ranks.at(b);
        return ra < rb ? -1 : ra > rb ? 1 : 0;
    };
    sort.lParam = reinterpret_cast<LPARAM>(&rank);
    SendMessageW(tree_.Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

int TTreeNodes::Count() const
{
    std::function<int(const TTreeNode&)> count = [&](const TTreeNode& node) {
        int n = 1;
        for (const auto& child : node.children_)
            n += count(*child);
        return n;
    };
    int total = 0;
    for (const auto& root : roots_)
        total += count(*root);
    return total;
}

// --- TTreeView -----------------------------------------------------------

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), nodes_(*this)
{
    SetBounds(0, 0, 121, 97);
    SetColor(clWindow);
}

TTreeView::~TTreeView()
{
    // The window goes before the nodes its items point to.
    DestroyWnd();
}

DWORD TTreeView::StyleBits() const
{
    DWORD style = 0;
    if (showLines_)
        style |= TVS_HASLINES;
    if (showRoot_)
        style |= TVS_LINESATROOT;
    if (showButtons_)
        style |= TVS_HASBUTTONS;
    if (!hideSelection_)
        style |= TVS_SHOWSELALWAYS;
    if (!readOnly_)
        style |= TVS_EDITLABELS;
    return style;
}

void TTreeView::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TREEVIEWW;
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | StyleBits();
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TTreeView::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    if (images_)
        SendMessageW(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
    for (auto& root : nodes_.roots_)
        nodes_.InsertInWindow(*root);
    if (selected_)
        SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected_->item_));
}

void TTreeView::DestroyWnd()
{
    if (HandleAllocated()) {
        selected_ = Selected();
        TWinControl::DestroyWnd();
    }
    nodes_.ForgetWindowItems();
}

void TTreeView::ApplyStyles()
{
    if (!HandleAllocated())
        return;
    const DWORD all = TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_EDITLABELS;
    const DWORD wanted = StyleBits();
    for (DWORD bit = 1; bit != 0 && bit <= all; bit <<= 1)
        if (all & bit)
            SetStyleBit(handle_, bit, (wanted & bit) != 0);
}

void TTreeView::SetShowLines(bool on)
{
    showLines_ = on;
    ApplyStyles();
}
void TTreeView::SetShowRoot(bool on)
{
    showRoot_ = on;
    ApplyStyles();
}
void TTreeView::SetShowButtons(bool on)
{
    showButtons_ = on;
    ApplyStyles();
}
void TTreeView::SetHideSelection(bool on)
{
    hideSelection_ = on;
    ApplyStyles();
}
void TTreeView::SetReadOnly(bool on)
{
    readOnly_ = on;
    ApplyStyles();
}

TTreeNode* TTreeView::Selected()
{
    if (!HandleAllocated())
        return selected_;
    return NodeOf(reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

TTreeNode* TTreeView::NodeOf(HTREEITEM item)
{
    if (!item || !HandleAllocated())
        return nullptr;
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    SendMessageW(handle_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    return reinterpret_cast<TTreeNode*>(tvi.lParam);
}

void TTreeView::SetSelected(TTreeNode* node)
{
    selected_ = node;
    if (HandleAllocated())
        SendMessageW(handle_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TTreeView::ForEachDeleted(TTreeNode& node)
{
    for (auto& child : node.children_)
        ForEachDeleted(*child);
    NodeDeleting(&node);
}

void TTreeView::SetImages(TImageList* images)
{
    images_ = images;
    if (HandleAllocated())
        SendMessageW(handle_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                     reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TTreeView::Change(TTreeNode* node)
{
    if (OnChange)
        OnChange(this, node);
}

TTreeNode* TTreeView::NodeAt(int x, int y)
{
    if (!HandleAllocated())
        return nullptr;
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    return NodeOf(reinterpret_cast<HTREEITEM>(SendMessageW(handle_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
}

void TTreeView::WndProc(TMessage& message)
{
    if (message.Msg == CN_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(message.LParam);
        message.Result = 0;
        if (header.code == TVN_SELCHANGEDW) {
            const auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
            Change(reinterpret_cast<TTreeNode*>(change.itemNew.lParam));
        } else if (header.code == TVN_ITEMEXPANDINGW) {
            const auto& expand = reinterpret_cast<NMTREEVIEWW&>(header);
            auto* node = reinterpret_cast<TTreeNode*>(expand.itemNew.lParam);
            if ((expand.action & TVE_EXPAND) && node && !CanExpand(node))
                message.Result = TRUE;
        } else if (header.code == TVN_GETDISPINFOW) {
            auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
            auto* node = reinterpret_cast<TTreeNode*>(info.item.lParam);
            if ((info.item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) && node)
                NodeImages(node, info.item.iImage, info.item.iSelectedImage);
            if ((info.item.mask & TVIF_CHILDREN) && node) {
                // Asked once: the control keeps the answer.
                const bool has = NodeHasChildren(node);
                node->button_ = has ? TNodeButton::Shown : TNodeButton::None;
                info.item.cChildren = has ? 1 : 0;
                info.item.mask |= TVIF_DI_SETITEM;
            }
        } else if (header.code == TVN_BEGINLABELEDITW) {
            const auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
            TTreeNode* node = NodeOf(info.item.hItem);
            message.Result = node && CanEdit(node) ? FALSE : TRUE;
        } else if (header.code == TVN_ENDLABELEDITW) {
            const auto& info = reinterpret_cast<NMTVDISPINFOW&>(header);
            if (TTreeNode* node = NodeOf(info.item.hItem); node && Edited(node, info.item.pszText)) {
                node->text_ = info.item.pszText;
                message.Result = TRUE;
            }
        }
        return;
    }
    if (message.Msg == WM_KEYDOWN && KeySwallowed(OnKeyDown, this, message.WParam)) {
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv

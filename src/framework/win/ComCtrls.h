#pragma once
// The common list view and tree view controls (ListView.cpp, TreeView.cpp).

#include "framework/ShortCuts.h"
#include "framework/win/Controls.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/KeyEvents.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

struct TListColumn {
    std::wstring Caption;
    int Width = 50;
    TAlignment Alignment = TAlignment::taLeftJustify;
};

struct TListItem {
    std::wstring Caption;
    std::vector<std::wstring> SubItems;
};

class TImageList;

// The header control of a report list, reached through its window; the list
// view owns the window. Format bits are the HDF_ values.
class TListHeader {
public:
    explicit TListHeader(HWND handle) : handle_(handle) {}
    HWND Handle() const { return handle_; }
    int Count() const;
    int Format(int index) const;
    // The bitmap shown with HDF_BITMAP, nullptr when none.
    HBITMAP Bitmap(int index) const;
    // Sets the format; with HDF_BITMAP the bitmap is set as well.
    void SetFormat(int index, int format, HBITMAP bitmap = nullptr);
    void Invalidate();

private:
    HWND handle_;
};

// The common list view. Columns and (outside owner-data mode) items are kept
// here and sent to every new window. In owner-data mode the control holds
// only a count; the texts are asked for through OwnerDataFetch when drawn.
class TCustomListView : public TWinControl {
public:
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;

    TViewStyle ViewStyle() const { return viewStyle_; }
    virtual void SetViewStyle(TViewStyle style);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool on);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool on);
    // Read-only: the user cannot edit the captions.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    // Owner-data (virtual) mode; changing it re-creates the window.
    bool OwnerData() const { return ownerData_; }
    void SetOwnerData(bool on);
    // The column header of the report view (LVS_NOCOLUMNHEADER when off).
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool on);
    // Further LVS_EX_ styles; kept for a re-created window.
    DWORD ExtendedStyles() const { return extraExStyles_; }
    void SetExtendedStyles(DWORD bits, bool on);

    // The images of the small-icon, list and report views and of the icon
    // view. The list shares them (LVS_SHAREIMAGELISTS): it never destroys
    // them; an image list that goes is removed from the list.
    TImageList* SmallImages() const { return smallImages_.List; }
    void SetSmallImages(TImageList* images);
    TImageList* LargeImages() const { return largeImages_.List; }
    void SetLargeImages(TImageList* images);

    // The header control of the report view; its window is nullptr while
    // the list has none.
    HWND HeaderHandle() const;
    TListHeader Header() const { return TListHeader(HeaderHandle()); }

    // Columns of the report view.
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const TListColumn& Column(int index) const { return columns_.at(index); }
    int AddColumn(const std::wstring& caption, int width, TAlignment alignment = TAlignment::taLeftJustify);
    void SetColumnCaption(int index, const std::wstring& caption);
    // The width as the control shows it (the user may have dragged it).
    int ColumnWidth(int index);
    void SetColumnWidth(int index, int width);
    // Takes the width the control shows into the column (after the control
    // sized it itself).
    void ReadColumnWidth(int index);
    void ClearColumns();
    // The display order of the columns (indices in the order shown).
    std::vector<int> ColumnOrder();
    void SetColumnOrder(const std::vector<int>& order);

    // Items: the rows kept here, or in owner-data mode only their count.
    int ItemCount();
    void SetItemCount(int count);  // owner-data mode only
    int AddItem(const std::wstring& caption, const std::vector<std::wstring>& subItems = {});
    const TListItem& Item(int index) const { return items_.at(index); }
    void DeleteItem(int index);
    void ClearItems();

    int SelCount();
    bool Selected(int index);
    // index -1: every item.
    void SetSelected(int index, bool selected);
    int ItemFocused();
    void SetItemFocused(int index);
    // Suspend and resume drawing around many changes.
    void BeginUpdate();
    void EndUpdate();
    // The background of the list and of its item texts.
    void SetColor(TColor color) override;

    std::function<void(TComponent* Sender, int Column)> OnColumnClick;
    // An item's state changed (selection, focus).
    std::function<void(TComponent* Sender, int Item)> OnChange;
    TKeyEvent OnKeyDown;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // Owner-data mode: the text of one cell (subItem 0 is the caption).
    virtual void OwnerDataFetch(int item, int subItem, std::wstring& text);
    // The list notifications reflected from the parent.
    virtual void DoNotify(NMHDR& header, LRESULT& result);
    // NM_CUSTOMDRAW of the list: returns the CDRF_ answer (CDRF_DODEFAULT
    // by default). Ask for item stages by answering CDRF_NOTIFYITEMDRAW.
    virtual LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
    // A WM_NOTIFY of the header control (both the ANSI and the wide forms
    // arrive, as the header chooses). The default handling is the list
    // view's own; overrides call TCustomListView::HeaderNotify for it.
    virtual void HeaderNotify(NMHDR& header, TMessage& message);
    // A WM_KEYDOWN OnKeyDown has let through, just before the control
    // handles it.
    virtual void KeyReachesControl(WPARAM /*key*/) {}

private:
    struct TImageLink {
        TImageList* List = nullptr;
        int Listener = 0;
    };
    void ApplyStyleBit(DWORD bit, bool on);
    void ApplyExtendedStyles();
    void InsertColumnInWindow(int index);
    void InsertItemInWindow(int index);
    void LinkImages(TImageLink& link, TImageList* images, int which);
    void UnlinkImages(TImageLink& link);
    void SendImageList(const TImageLink& link, int which);

    TViewStyle viewStyle_ = TViewStyle::vsIcon;
    bool gridLines_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool multiSelect_ = false;
    bool hideSelection_ = true;
    bool ownerData_ = false;
    bool showColumnHeaders_ = true;
    DWORD extraExStyles_ = 0;
    DWORD extraExMask_ = 0;  // every extra style ever set or cleared
    TImageLink smallImages_;
    TImageLink largeImages_;
    int virtualCount_ = 0;
    int updateCount_ = 0;
    std::vector<TListColumn> columns_;
    std::vector<int> columnOrder_;
    std::vector<TListItem> items_;
};

class TListView : public TCustomListView {
public:
    using TCustomListView::TCustomListView;
};

class TTreeView;

// Something a tree node owns; freed with the node.
class TTreeNodeObject {
public:
    virtual ~TTreeNodeObject() = default;
};

// Whether a node shows an expand button: never, always, or as the tree
// answers when the control first asks (TTreeView::NodeHasChildren).
enum class TNodeButton { None, Shown, Ask };

// One node of a tree view; owned by its parent node or by the tree's nodes.
class TTreeNode {
public:
    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& text);
    TTreeNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int index) const { return children_.at(index).get(); }
    // The place among its siblings, and the sibling after it (nullptr for
    // the last); both without searching the siblings.
    int Index() const { return static_cast<int>(index_); }
    TTreeNode* NextSibling() const;
    int Level() const { return parent_ ? parent_->Level() + 1 : 0; }
    TTreeNodeObject* Object() const { return object_.get(); }
    void SetObject(std::unique_ptr<TTreeNodeObject> object) { object_ = std::move(object); }
    TNodeButton HasChildren() const { return button_; }
    void SetHasChildren(TNodeButton button);
    // Expanded in the control (never without a window).
    bool Expanded() const;
    void Expand(bool recurse = false);
    void Collapse(bool recurse = false);
    HTREEITEM ItemId() const { return item_; }
    // Drawn as cut (dimmed): put on the clipboard to be moved.
    bool Cut() const { return cut_; }
    void SetCut(bool cut);
    void* Data = nullptr;

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeView& tree, TTreeNode* parent, std::wstring text)
        : tree_(tree), parent_(parent), text_(std::move(text))
    {}

    TTreeView& tree_;
    TTreeNode* parent_;
    std::wstring text_;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    std::unique_ptr<TTreeNodeObject> object_;
    TNodeButton button_ = TNodeButton::Shown;
    HTREEITEM item_ = nullptr;
    size_t index_ = 0;  // kept by TTreeNodes on every insert, delete and sort
    bool cut_ = false;
};

// The nodes of a tree view, kept here and mirrored into the control.
class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView& tree) : tree_(tree) {}
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    // Adds a node as the last child of parent (nullptr: a top-level node).
    TTreeNode* AddChild(TTreeNode* parent, const std::wstring& text);
    // Adds a node to parent's children before the child Before (nullptr:
    // last), with its button and the object it owns.
    TTreeNode* Insert(TTreeNode* parent, TTreeNode* before, const std::wstring& text,
                      TNodeButton button = TNodeButton::Shown, std::unique_ptr<TTreeNodeObject> object = nullptr);
    // Deletes the node with all its children.
    void Delete(TTreeNode* node);
    void DeleteChildren(TTreeNode* node);
    // Orders parent's children (nullptr: the top-level nodes), here and in
    // the control; the sort is stable.
    void SortChildren(TTreeNode* parent, const std::function<bool(const TTreeNode&, const TTreeNode&)>& less);
    void Clear();
    // Top-level nodes.
    int RootCount() const { return static_cast<int>(roots_.size()); }
    TTreeNode* Root(int index) const { return roots_.at(index).get(); }
    // All nodes, at every level.
    int Count() const;

private:
    friend class TTreeView;
    friend class TTreeNode;
    using TSiblings = std::vector<std::unique_ptr<TTreeNode>>;
    TSiblings& SiblingsOf(TTreeNode* node);
    // Gives the siblings from position From on their places again.
    static void Renumber(TSiblings& siblings, size_t from);
    void InsertInWindow(TTreeNode& node, HTREEITEM after = TVI_LAST);
    void ForgetWindowItems();
    void Unselect(TTreeNode* node);

    TTreeView& tree_;
    std::vector<std::unique_ptr<TTreeNode>> roots_;
};

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* owner);
    ~TTreeView() override;

    TTreeNodes& Items() { return nodes_; }
    TTreeNode* Selected();
    void SetSelected(TTreeNode* node);

    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool on);
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool on);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool on);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

    // The selected node changed.
    std::function<void(TComponent* Sender, TTreeNode* Node)> OnChange;
    TKeyEvent OnKeyDown;

    // The node at a client point; nullptr when none.
    TTreeNode* NodeAt(int x, int y);

    // The images of the nodes; each node's come from NodeImages when drawn.
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

protected:
    // The control asks before it expands a node; false keeps it closed.
    virtual bool CanExpand(TTreeNode* /*node*/) { return true; }
    // Answers a node whose button is TNodeButton::Ask.
    virtual bool NodeHasChildren(TTreeNode* node) { return node->Count() > 0; }
    // The control changed its selection; raises OnChange.
    virtual void Change(TTreeNode* node);
    // A node is about to be freed, with all its children before it.
    virtual void NodeDeleting(TTreeNode* /*node*/) {}
    // The image indexes of a node, asked whenever it is drawn.
    virtual void NodeImages(TTreeNode* /*node*/, int& image, int& selectedImage) { image = selectedImage = 0; }
    // The label editor is about to open on the node; false keeps it closed.
    virtual bool CanEdit(TTreeNode* /*node*/) { return true; }
    // The label editor closed with Text (nullptr: cancelled); true makes the
    // text the node's caption.
    virtual bool Edited(TTreeNode* /*node*/, const wchar_t* text) { return text != nullptr; }

    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    DWORD StyleBits() const;
    void ApplyStyles();
    TTreeNode* NodeOf(HTREEITEM item);
    void ForEachDeleted(TTreeNode& node);

    TTreeNodes nodes_;
    TImageList* images_ = nullptr;
    TTreeNode* selected_ = nullptr;  // while no window exists
    bool showLines_ = true;
    bool showRoot_ = true;
    bool showButtons_ = true;
    bool hideSelection_ = true;
    bool readOnly_ = false;
};

}  // namespace qrv

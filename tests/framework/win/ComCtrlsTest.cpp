#include "framework/win/ComCtrls.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qrv;

namespace {

LONG_PTR Style(HWND window)
{
    return GetWindowLongPtrW(window, GWL_STYLE);
}

std::wstring ListText(HWND list, int item, int subItem)
{
    wchar_t buffer[128] = L"";
    LVITEMW lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = buffer;
    lvi.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi));
    return buffer;
}

std::wstring HeaderText(HWND list, int column)
{
    wchar_t buffer[64] = L"";
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = buffer;
    lvc.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
    return buffer;
}

int HeaderCount(HWND list)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

// A list in owner-data mode that makes up its cells from their position.
class CellListView : public TCustomListView {
public:
    using TCustomListView::TCustomListView;
    int fetches = 0;

protected:
    void OwnerDataFetch(int item, int subItem, std::wstring& text) override
    {
        ++fetches;
        text = L"Zeile " + IntToStr(item) + L"/" + IntToStr(subItem);
    }
};

}  // namespace

TEST(ListView, PropertiesReachTheWindow)
{
    TForm form(nullptr);
    auto* list = new TListView(&form);
    list->SetParent(&form);
    form.HandleNeeded();
    HWND window = list->Handle();
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(className, WC_LISTVIEWW);

    auto extended = [&] { return SendMessageW(window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); };
    struct Case {
        const char* name;
        std::function<void(bool)> set;
        std::function<bool()> shownOn;  // what the window shows for "on"
    };
    const Case cases[] = {
        {"GridLines", [&](bool on) { list->SetGridLines(on); }, [&] { return (extended() & LVS_EX_GRIDLINES) != 0; }},
        {"RowSelect", [&](bool on) { list->SetRowSelect(on); },
         [&] { return (extended() & LVS_EX_FULLROWSELECT) != 0; }},
        {"ReadOnly", [&](bool on) { list->SetReadOnly(on); }, [&] { return !(Style(window) & LVS_EDITLABELS); }},
        {"MultiSelect", [&](bool on) { list->SetMultiSelect(on); }, [&] { return !(Style(window) & LVS_SINGLESEL); }},
        {"HideSelection", [&](bool on) { list->SetHideSelection(on); },
         [&] { return !(Style(window) & LVS_SHOWSELALWAYS); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set(true);
        EXPECT_TRUE(c.shownOn());
        c.set(false);
        EXPECT_FALSE(c.shownOn());
    }

    const std::pair<TViewStyle, DWORD> styles[] = {{TViewStyle::vsReport, LVS_REPORT},
                                                   {TViewStyle::vsList, LVS_LIST},
                                                   {TViewStyle::vsSmallIcon, LVS_SMALLICON},
                                                   {TViewStyle::vsIcon, LVS_ICON}};
    for (const auto& [style, bits] : styles) {
        list->SetViewStyle(style);
        EXPECT_EQ(list->ViewStyle(), style);
        EXPECT_EQ(Style(window) & LVS_TYPEMASK, LONG_PTR(bits));
    }
}

TEST(ListView, ColumnsAndItemsLiveOnInANewWindow)
{
    TForm form(nullptr);
    auto* list = new TListView(&form);
    list->SetParent(&form);
    list->SetViewStyle(TViewStyle::vsReport);
    list->AddColumn(L"Name", 150);
    list->AddColumn(L"Größe", 80, TAlignment::taRightJustify);
    list->AddColumn(L"Typ", 100);
    list->AddItem(L"a.txt", {L"12", L"Textdatei"});
    form.HandleNeeded();
    list->AddItem(L"b.exe", {L"3.000"});

    HWND window = list->Handle();
    EXPECT_EQ(HeaderCount(window), 3);
    EXPECT_EQ(HeaderText(window, 1), L"Größe");
    EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, 2, 0), 100);
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ListText(window, 0, 2), L"Textdatei");
    EXPECT_EQ(ListText(window, 1, 1), L"3.000");

    // The user drags a column wider and moves the columns around.
    SendMessageW(window, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(210, 0));
    EXPECT_EQ(list->ColumnWidth(0), 210);
    list->SetColumnOrder({2, 0, 1});
    EXPECT_THROW(list->SetColumnOrder({0, 1}), EListError);
    EXPECT_THROW(list->SetColumnOrder({0, 1, 1}), EListError);

    list->RecreateWnd();
    window = list->Handle();
    EXPECT_EQ(HeaderCount(window), 3);
    EXPECT_EQ(SendMessageW(window, LVM_GETCOLUMNWIDTH, 0, 0), 210);
    EXPECT_EQ(list->ColumnOrder(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ListText(window, 0, 0), L"a.txt");

    list->DeleteItem(0);
    EXPECT_EQ(ListText(window, 0, 0), L"b.exe");
    EXPECT_EQ(list->ItemCount(), 1);
    list->ClearColumns();
    EXPECT_EQ(HeaderCount(window), 0);
}

TEST(ListView, OwnerDataAsksForTheTextsAndSelects)
{
    TForm form(nullptr);
    auto* list = new CellListView(&form);
    list->SetParent(&form);
    list->SetViewStyle(TViewStyle::vsReport);
    list->SetMultiSelect(true);
    list->AddColumn(L"Name", 100);
    list->AddColumn(L"Pfad", 100);
    list->SetOwnerData(true);
    list->SetItemCount(3);
    form.HandleNeeded();

    HWND window = list->Handle();
    EXPECT_TRUE(Style(window) & LVS_OWNERDATA);
    EXPECT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ListText(window, 2, 1), L"Zeile 2/1");
    EXPECT_GT(list->fetches, 0);
    EXPECT_THROW(list->AddItem(L"x"), EInvalidOperation);

    int changes = 0;
    list->OnChange = [&](TComponent*, int) { ++changes; };
    list->SetSelected(-1, true);
    EXPECT_EQ(list->SelCount(), 3);
    EXPECT_TRUE(list->Selected(1));
    EXPECT_GT(changes, 0);
    list->SetSelected(1, false);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_FALSE(list->Selected(1));
}

TEST(ListView, ColumnClicksAndKeysReachTheEvents)
{
    TForm form(nullptr);
    auto* list = new TListView(&form);
    list->SetParent(&form);
    list->SetViewStyle(TViewStyle::vsReport);
    list->AddColumn(L"Name", 100);
    list->AddColumn(L"Größe", 100);
    form.HandleNeeded();

    int clicked = -1;
    list->OnColumnClick = [&](TComponent*, int column) { clicked = column; };
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list->Handle();
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 1;
    SendMessageW(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(clicked, 1);

    std::vector<uint16_t> keys;
    list->OnKeyDown = [&](TComponent*, uint16_t& key, TShortCut) {
        keys.push_back(key);
        if (key == VK_DELETE)
            key = 0;
    };
    list->Perform(WM_KEYDOWN, VK_DELETE, 0);
    list->Perform(WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(keys, (std::vector<uint16_t>{VK_DELETE, VK_F5}));
}

TEST(TreeView, NodesAndSelectionReachTheWindow)
{
    TForm form(nullptr);
    auto* tree = new TTreeView(&form);
    tree->SetParent(&form);
    TTreeNode* c = tree->Items().AddChild(nullptr, L"C:");
    TTreeNode* windows = tree->Items().AddChild(c, L"Windows");
    tree->Items().AddChild(windows, L"System32");
    TTreeNode* d = tree->Items().AddChild(nullptr, L"D:");
    tree->SetSelected(windows);
    form.HandleNeeded();

    HWND window = tree->Handle();
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(className, WC_TREEVIEWW);
    EXPECT_EQ(SendMessageW(window, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(tree->Items().Count(), 4);
    EXPECT_EQ(tree->Selected(), windows);
    EXPECT_EQ(windows->Level(), 1);

    TTreeNode* changedTo = nullptr;
    tree->OnChange = [&](TComponent*, TTreeNode* node) { changedTo = node; };
    tree->SetSelected(d);
    EXPECT_EQ(changedTo, d);

    windows->SetText(L"WINNT");
    wchar_t text[32] = L"";
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(
        SendMessageW(window, TVM_GETNEXTITEM, TVGN_CHILD, SendMessageW(window, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, L"WINNT");

    tree->Items().Delete(windows);  // with its child
    EXPECT_EQ(SendMessageW(window, TVM_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(tree->Items().Count(), 2);
    EXPECT_EQ(c->Count(), 0);

    tree->RecreateWnd();
    EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(tree->Selected(), d) << "the selection survives a new window";

    tree->Items().Clear();
    EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(tree->Selected(), nullptr);
}

namespace {

// A tree that answers its hooks from test data and counts what it is told.
class HookedTree : public TTreeView {
public:
    using TTreeView::TTreeView;
    bool allowExpand = true;
    bool hasChildren = false;
    int asked = 0;
    std::vector<std::wstring> deleted;

protected:
    bool CanExpand(TTreeNode*) override { return allowExpand; }
    bool NodeHasChildren(TTreeNode*) override
    {
        ++asked;
        return hasChildren;
    }
    void NodeDeleting(TTreeNode* node) override { deleted.push_back(node->Text()); }
};

// Counts the live objects nodes own.
struct Owned : TTreeNodeObject {
    explicit Owned(int& live) : live_(live) { ++live_; }
    ~Owned() override { --live_; }
    int& live_;
};

std::vector<std::wstring> ControlChildTexts(HWND window, HTREEITEM parent)
{
    std::vector<std::wstring> texts;
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(window, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(window, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        wchar_t text[32] = L"";
        TVITEMW tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = text;
        tvi.cchTextMax = 32;
        SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        texts.push_back(text);
    }
    return texts;
}

}  // namespace

TEST(TreeView, InsertSortButtonsExpansionAndOwnedObjects)
{
    TForm form(nullptr);
    auto* tree = new HookedTree(&form);
    tree->SetParent(&form);
    form.HandleNeeded();
    HWND window = tree->Handle();
    int live = 0;

    TTreeNode* c = tree->Items().AddChild(nullptr, L"C:");
    TTreeNode* t = tree->Items().AddChild(nullptr, L"T:");
    tree->Items().Insert(nullptr, t, L"D:");
    EXPECT_EQ(ControlChildTexts(window, nullptr), (std::vector<std::wstring>{L"C:", L"D:", L"T:"}));
    EXPECT_EQ(tree->Items().Root(1)->Text(), L"D:");

    for (const wchar_t* name : {L"beta", L"Alpha", L"gamma"})
        tree->Items().Insert(c, nullptr, name, TNodeButton::Ask, std::make_unique<Owned>(live));
    EXPECT_EQ(live, 3);
    tree->Items().SortChildren(
        c, [](const TTreeNode& a, const TTreeNode& b) { return CompareText(a.Text(), b.Text()) < 0; });
    EXPECT_EQ(ControlChildTexts(window, c->ItemId()), (std::vector<std::wstring>{L"Alpha", L"beta", L"gamma"}));
    EXPECT_EQ(c->Item(0)->Text(), L"Alpha");

    // A button still to be found out is asked once, then kept.
    TTreeNode* alpha = c->Item(0);
    TVITEMW tvi{};
    tvi.mask = TVIF_CHILDREN;
    tvi.hItem = alpha->ItemId();
    SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    EXPECT_EQ(tvi.cChildren, 0);
    EXPECT_EQ(alpha->HasChildren(), TNodeButton::None);
    SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
    EXPECT_EQ(tree->asked, 1);

    tree->allowExpand = false;
    c->Expand();
    EXPECT_FALSE(c->Expanded());
    tree->allowExpand = true;
    c->Expand();
    EXPECT_TRUE(c->Expanded());
    c->Collapse();
    EXPECT_FALSE(c->Expanded());

    tree->Items().DeleteChildren(c);
    EXPECT_EQ(live, 0) << "objects go with their nodes";
    EXPECT_EQ(tree->deleted.size(), 3u);
    EXPECT_EQ(SendMessageW(window, TVM_GETCOUNT, 0, 0), 3);
    tree->Items().Insert(t, nullptr, L"x", TNodeButton::Shown, std::make_unique<Owned>(live));
    tree->Items().Clear();
    EXPECT_EQ(live, 0);
    EXPECT_EQ(tree->deleted.back(), L"T:") << "children are reported before their parent";
}

TEST(TreeView, EachNodeKnowsItsPlaceAfterInsertsDeletesAndSorts)
{
    TForm form(nullptr);
    auto* tree = new HookedTree(&form);
    tree->SetParent(&form);
    TTreeNodes& nodes = tree->Items();
    // The sibling chain read through NextSibling must be the vector's order.
    auto chain = [](TTreeNode* first) {
        std::vector<std::wstring> texts;
        for (TTreeNode* node = first; node; node = node->NextSibling())
            texts.push_back(node->Text());
        return texts;
    };
    auto checkPlaces = [](const std::vector<TTreeNode*>& siblings) {
        for (size_t i = 0; i < siblings.size(); ++i)
            EXPECT_EQ(siblings[i]->Index(), static_cast<int>(i)) << siblings[i]->Text();
    };

    TTreeNode* root = nodes.AddChild(nullptr, L"R");
    TTreeNode* other = nodes.AddChild(nullptr, L"S");
    TTreeNode* b = nodes.AddChild(root, L"b");
    TTreeNode* d = nodes.AddChild(root, L"d");
    nodes.Insert(root, b, L"a");
    TTreeNode* c = nodes.Insert(root, d, L"c");
    nodes.Insert(root, other, L"e");  // not a child of root: appended
    EXPECT_EQ(chain(root->Item(0)), (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"e"}));
    checkPlaces({root->Item(0), root->Item(1), root->Item(2), root->Item(3), root->Item(4)});
    EXPECT_EQ(chain(root), (std::vector<std::wstring>{L"R", L"S"}));
    EXPECT_EQ(other->NextSibling(), nullptr);

    nodes.Delete(c);
    nodes.Delete(root->Item(0));
    EXPECT_EQ(chain(root->Item(0)), (std::vector<std::wstring>{L"b", L"d", L"e"}));
    checkPlaces({root->Item(0), root->Item(1), root->Item(2)});

    nodes.SortChildren(root, [](const TTreeNode& x, const TTreeNode& y) { return x.Text() > y.Text(); });
    EXPECT_EQ(chain(root->Item(0)), (std::vector<std::wstring>{L"e", L"d", L"b"}));
    checkPlaces({root->Item(0), root->Item(1), root->Item(2)});
    EXPECT_EQ(b->NextSibling(), nullptr);

    nodes.Delete(root);
    EXPECT_EQ(chain(nodes.Root(0)), (std::vector<std::wstring>{L"S"}));
    EXPECT_EQ(nodes.Root(0)->Index(), 0);
}

TEST(TreeView, StyleFlagsReachTheWindow)
{
    TForm form(nullptr);
    auto* tree = new TTreeView(&form);
    tree->SetParent(&form);
    form.HandleNeeded();
    HWND window = tree->Handle();
    struct Case {
        const char* name;
        std::function<void(bool)> set;
        DWORD bit;
        bool bitMeansOn;
    };
    const Case cases[] = {
        {"ShowLines", [&](bool on) { tree->SetShowLines(on); }, TVS_HASLINES, true},
        {"ShowRoot", [&](bool on) { tree->SetShowRoot(on); }, TVS_LINESATROOT, true},
        {"ShowButtons", [&](bool on) { tree->SetShowButtons(on); }, TVS_HASBUTTONS, true},
        {"HideSelection", [&](bool on) { tree->SetHideSelection(on); }, TVS_SHOWSELALWAYS, false},
        {"ReadOnly", [&](bool on) { tree->SetReadOnly(on); }, TVS_EDITLABELS, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool on : {false, true}) {
            c.set(on);
            EXPECT_EQ((Style(window) & c.bit) != 0, on == c.bitMeansOn);
        }
    }
}

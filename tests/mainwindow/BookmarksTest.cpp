// The bookmarks without a window: the menu items, the captions a new
// bookmark gets, the lists an edit leaves, and what a choice in a menu or on
// the toolbar does to the folder tree (a fake tree records it).

#include "mainwindow/Bookmarks.h"

#include "common/BaseUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace qrv;

namespace {

std::vector<std::wstring> NamedCaptions(int Count)
{
    std::vector<std::wstring> captions;
    for (int i = 0; i < Count; ++i)
        captions.push_back(L"B" + std::to_wstring(i));
    return captions;
}

}  // namespace

TEST(BookmarkMenu, AcceleratorsSeparatorsAndColumns)
{
    // 30 named bookmarks with a separator after the 2nd and the 26th.
    std::vector<std::wstring> captions = NamedCaptions(30);
    captions.insert(captions.begin() + 26, L"-");
    captions.insert(captions.begin() + 2, L"-");
    const std::vector<TBookmarkMenuItem> items = PlanBookmarkMenu(captions);
    ASSERT_EQ(items.size(), captions.size());

    int named = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].Tag, static_cast<int>(i));
        EXPECT_EQ(items[i].Separator, captions[i] == L"-") << i;
        if (items[i].Separator) {
            EXPECT_FALSE(items[i].BarBreak) << i;
            continue;
        }
        ++named;
        // Only the 25th named bookmark opens a column: separators do not count.
        EXPECT_EQ(items[i].BarBreak, named == 25) << i;
        EXPECT_EQ(items[i].Caption, MenuAccelText(named - 1) + captions[i]) << i;
    }
    EXPECT_EQ(items[0].Caption, L"&1  B0");
    EXPECT_EQ(items[3].Caption, L"&3  B2") << "the separator takes no accelerator";
}

TEST(BookmarkMenu, BeyondTheAcceleratorsAndTheThirdColumn)
{
    const std::vector<TBookmarkMenuItem> items = PlanBookmarkMenu(NamedCaptions(60));
    EXPECT_EQ(items[32].Caption, L"&Z  B32");
    EXPECT_EQ(items[33].Caption, L"    B33") << "items beyond 33 get four blanks";
    std::vector<int> breaks;
    for (const TBookmarkMenuItem& item : items)
        if (item.BarBreak)
            breaks.push_back(item.Tag);
    EXPECT_EQ(breaks, (std::vector<int>{24, 48}));
    EXPECT_TRUE(PlanBookmarkMenu({}).empty());
    EXPECT_FALSE(BookmarkDividerVisible(0));
    EXPECT_TRUE(BookmarkDividerVisible(1));
}

TEST(BookmarkCaptions, ProposedAndDefault)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* driveName;
        const wchar_t* proposed;
        const wchar_t* added;
    };
    const Case cases[] = {
        {L"C:\\", L"System (C:)", L"System (C:)", L"C:\\"},
        {L"C:\\", L"", L"C:\\", L"C:\\"},
        {L"D:\\x\\y", L"Daten", L"y", L"y"},
        {L"D:\\x\\y\\", L"Daten", L"y", L"y"},
        {L"\\\\server\\share", L"", L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\server\\share\\Projekte", L"", L"Projekte", L"Projekte"},
        {L"", L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProposedBookmarkCaption(c.path, c.driveName), c.proposed) << c.path;
        EXPECT_EQ(DefaultBookmarkCaption(c.path), c.added) << c.path;
    }
}

TEST(BookmarkCaptions, KnownPathsAndRootedPaths)
{
    const std::vector<std::wstring> known = {L"C:\\Windows", L"", L"D:\\Daten\\"};
    EXPECT_TRUE(BookmarkPathKnown(known, L"c:\\WINDOWS"));
    EXPECT_TRUE(BookmarkPathKnown(known, L"D:\\Daten"));
    EXPECT_FALSE(BookmarkPathKnown(known, L"C:\\Windows\\System32"));
    EXPECT_FALSE(BookmarkPathKnown(known, L"")) << "a separator's empty path is no bookmark";

    for (const wchar_t* rooted : {L"C:\\", L"c:\\a", L"C:", L"\\\\srv\\share", L"\\\\srv\\share\\x"})
        EXPECT_TRUE(IsRootedPath(rooted)) << rooted;
    for (const wchar_t* relative :
         {L"Ordner", L"Ordner\\Unter", L"C:Ordner", L"\\Ordner", L"\\\\srv", L"\\\\srv\\", L"\\\\\\x", L"1:\\x", L""})
        EXPECT_FALSE(IsRootedPath(relative)) << relative;
}

TEST(BookmarkLists, RowsOfAnEditAndTheStoredLists)
{
    const TBookmarkLists lists = BookmarksFromRows({
        {L"Daten", L"D:\\Daten"},
        {L"-", L""},
        {L"ohne Pfad", L""},
        {L"", L""},
        {L"", L"E:\\Bilder"},
    });
    EXPECT_EQ(lists.Paths, (std::vector<std::wstring>{L"D:\\Daten", L"", L"E:\\Bilder"}));
    EXPECT_EQ(lists.Captions, (std::vector<std::wstring>{L"Daten", L"-", L"Bilder"}));

    const TBookmarkLists stored = BookmarksAsAdded({L"C:\\Windows", L"D:\\x", L""}, {L"", L"Eigenes"});
    EXPECT_EQ(stored.Paths, (std::vector<std::wstring>{L"C:\\Windows", L"D:\\x", L""}));
    EXPECT_EQ(stored.Captions, (std::vector<std::wstring>{L"Windows", L"Eigenes", L""}));
}

namespace {

// A folder tree of known folders; what the choice asked and did is recorded.
class FakeTree : public TBookmarkTree {
public:
    std::map<std::wstring, TBookmarkNode> nodes;
    std::set<std::wstring> creatable;
    TCreateAnswer answer = TCreateAnswer::Cancel;
    std::vector<std::wstring> calls;

    std::optional<TBookmarkNode> FindNode(const std::wstring& Path) override
    {
        const auto found = nodes.find(Path);
        if (found == nodes.end())
            return std::nullopt;
        return found->second;
    }
    void SelectNode(const std::wstring& Path, bool Expand, bool Center) override
    {
        calls.push_back(L"select " + Path + (Expand ? L" expanded" : L"") + (Center ? L" centred" : L""));
    }
    bool CreatePath(const std::wstring& Path) override
    {
        calls.push_back(L"create " + Path);
        if (!creatable.contains(Path))
            return false;
        nodes[Path] = {Path.substr(Path.rfind(L'\\') + 1)};
        return true;
    }
    bool SelectNearestParent(const std::wstring& Path) override
    {
        for (std::wstring parent = Path; parent.rfind(L'\\') != std::wstring::npos;) {
            parent.erase(parent.rfind(L'\\'));
            if (nodes.contains(parent)) {
                calls.push_back(L"parent " + parent);
                return true;
            }
        }
        return false;
    }
    TCreateAnswer AskCreate(const std::wstring& Question) override
    {
        calls.push_back(L"ask " + Question);
        return answer;
    }
    void Beep() override { calls.push_back(L"beep"); }
    void ShowError(const std::wstring& Text) override { calls.push_back(L"error " + Text); }
};

}  // namespace

TEST(BookmarkChoice, InTheMenu)
{
    const std::wstring missing = L"D:\\Daten\\Neu";
    const std::wstring ask = L"ask " + BookmarkAskCreateText(missing);
    const std::wstring notFound = L"error " + BookmarkNotFoundText(missing);
    struct Case {
        const char* name;
        std::wstring path;
        TCreateAnswer answer;
        bool creatable;
        bool parentThere;
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {"found", L"D:\\Daten", TCreateAnswer::Cancel, false, true, {L"select D:\\Daten expanded centred"}},
        {"found in other case",
         L"d:\\daten",
         TCreateAnswer::Cancel,
         false,
         true,
         {L"select d:\\daten expanded centred"}},
        {"a node of another name",
         L"D:\\Andere",
         TCreateAnswer::Cancel,
         false,
         true,
         {L"select D:\\Andere expanded centred", L"beep", L"error " + BookmarkNotFoundText(L"D:\\Andere")}},
        {"a shell folder's node",
         L"D:\\Shell",
         TCreateAnswer::Cancel,
         false,
         true,
         {L"select D:\\Shell expanded centred"}},
        {"a drive root", L"D:\\", TCreateAnswer::Cancel, false, true, {L"select D:\\ expanded centred"}},
        {"missing, Ja",
         missing,
         TCreateAnswer::Yes,
         true,
         true,
         {L"beep", ask, L"create " + missing, L"select " + missing + L" centred"}},
        {"missing, creation fails",
         missing,
         TCreateAnswer::Yes,
         false,
         true,
         {L"beep", ask, L"create " + missing, L"beep", L"error " + BookmarkCreateFailedText(missing)}},
        {"missing, Nein", missing, TCreateAnswer::No, false, true, {L"beep", ask, L"parent D:\\Daten"}},
        {"missing, Nein, no parent",
         L"Q:\\x\\y",
         TCreateAnswer::No,
         false,
         false,
         {L"beep", L"ask " + BookmarkAskCreateText(L"Q:\\x\\y"), L"error " + BookmarkNotFoundText(L"Q:\\x\\y")}},
        {"missing, Abbrechen", missing, TCreateAnswer::Cancel, true, true, {L"beep", ask}},
        {"relative",
         L"Daten\\Neu",
         TCreateAnswer::Yes,
         true,
         true,
         {L"beep", L"error " + BookmarkNotFoundText(L"Daten\\Neu")}},
        {"empty", L"", TCreateAnswer::Yes, true, true, {}},
    };
    for (const Case& c : cases) {
        FakeTree tree;
        tree.nodes[L"D:\\"] = {L"D:"};
        tree.nodes[L"D:\\Daten"] = {L"Daten"};
        tree.nodes[L"d:\\daten"] = {L"Daten"};
        tree.nodes[L"D:\\Andere"] = {L"Daten"};
        tree.nodes[L"D:\\Shell"] = {L"Arbeitsplatz", true};
        if (!c.parentThere)
            tree.nodes.clear();
        if (c.creatable)
            tree.creatable.insert(c.path);
        tree.answer = c.answer;
        ChooseBookmarkInMenu(c.path, tree);
        EXPECT_EQ(tree.calls, c.calls) << c.name;
    }
    EXPECT_EQ(notFound, L"error Ausgewählter Pfad nicht vorhanden:\n" + missing);
}

TEST(BookmarkChoice, OnTheToolbar)
{
    FakeTree tree;
    tree.nodes[L"D:\\Daten"] = {L"Daten"};
    tree.creatable.insert(L"D:\\Neu");
    tree.answer = TCreateAnswer::Yes;
    ChooseBookmarkButton(L"D:\\Daten", true, tree);
    ChooseBookmarkButton(L"D:\\Daten", false, tree);
    ChooseBookmarkButton(L"D:\\Neu", true, tree);
    ChooseBookmarkButton(L"", true, tree);
    EXPECT_EQ(tree.calls, (std::vector<std::wstring>{L"select D:\\Daten expanded centred", L"select D:\\Daten centred",
                                                     L"beep", L"error " + BookmarkNotFoundText(L"D:\\Neu")}))
        << "a button never offers to create";
}

TEST(BookmarkChoice, PathOfATag)
{
    const std::vector<std::wstring> paths = {L"  D:\\Daten", L"E:\\"};
    EXPECT_EQ(BookmarkPath(paths, 0), L"D:\\Daten");
    EXPECT_EQ(BookmarkPath(paths, 1), L"E:\\");
    EXPECT_EQ(BookmarkPath(paths, 2), L"");
    EXPECT_EQ(BookmarkPath(paths, -1), L"");
}

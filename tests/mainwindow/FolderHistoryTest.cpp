// The folder history of a file list over a fake tree: the folders it has
// nodes for open, the others are gone. Opening a folder loads it in the
// list, which records it as the window does.

#include "mainwindow/FolderHistory.h"
#include "mainwindow/FileToolRules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qrv;

namespace {

using TEntries = std::vector<std::wstring>;

struct FakeTree {
    std::set<std::wstring> nodes{L"C:\\A", L"C:\\B", L"C:\\C", L"C:\\D", L"C:\\E"};
    std::wstring listPath;
    std::vector<std::wstring> opened;
    TFolderHistory history;

    // The list loads a folder: the history records it.
    void Load(const std::wstring& Path)
    {
        listPath = Path;
        history.Record(Path);
    }
    void Visit(std::initializer_list<const wchar_t*> Paths)
    {
        for (const wchar_t* path : Paths)
            Load(path);
    }
    TOpenFolder Opener()
    {
        return [this](const std::wstring& Path) {
            opened.push_back(Path);
            if (!nodes.contains(Path))
                return false;
            Load(Path);
            return true;
        };
    }
    bool Back() { return history.Back(listPath, Opener()); }
    bool Forward() { return history.Forward(listPath, Opener()); }
};

TEST(FolderHistory, BackAndForwardAddNoEntriesAndANewVisitGoesOnTop)
{
    FakeTree tree;
    tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C"});
    EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\C", L"C:\\B", L"C:\\A"}));
    EXPECT_EQ(tree.history.Position, 0);
    EXPECT_FALSE(tree.Forward()) << "nothing newer: the window beeps";

    ASSERT_TRUE(tree.Back());
    ASSERT_TRUE(tree.Back());
    EXPECT_EQ(tree.listPath, L"C:\\A");
    EXPECT_EQ(tree.history.Text, L"C:\\A");
    EXPECT_EQ(tree.history.Position, 2);
    EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\C", L"C:\\B", L"C:\\A"}));
    EXPECT_FALSE(tree.history.Navigating) << "cleared once the folder is open";
    EXPECT_FALSE(tree.Back()) << "at the oldest entry: the window beeps";
    EXPECT_EQ(tree.listPath, L"C:\\A");

    ASSERT_TRUE(tree.Forward());
    EXPECT_EQ(tree.listPath, L"C:\\B");
    EXPECT_EQ(tree.history.Position, 1);

    tree.Load(L"C:\\D");
    EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\D", L"C:\\C", L"C:\\B", L"C:\\A"}));
    EXPECT_EQ(tree.history.Position, 0);
    EXPECT_EQ(tree.history.Text, L"C:\\D");
}

TEST(FolderHistory, RecordingComparesIgnoringCase)
{
    struct Case {
        const wchar_t* name;
        std::vector<const wchar_t*> visits;
        int position;  // set before the last visit; -1: as the visits left it
        TEntries entries;
        int expectedPosition;
    } cases[] = {
        {L"a re-read of the shown folder", {L"C:\\A", L"C:\\B", L"c:\\b"}, -1, {L"C:\\B", L"C:\\A"}, 0},
        {L"an older visit further down is dropped",
         {L"C:\\A", L"C:\\B", L"C:\\C", L"c:\\a"},
         -1,
         {L"c:\\a", L"C:\\C", L"C:\\B"},
         0},
        {L"a path above the position is moved to",
         {L"C:\\A", L"C:\\B", L"C:\\C", L"c:\\b"},
         2,
         {L"C:\\C", L"C:\\B", L"C:\\A"},
         1},
        {L"an empty path is ignored", {L"C:\\A", L""}, -1, {L"C:\\A"}, 0},
    };
    for (const Case& c : cases) {
        TFolderHistory history;
        for (size_t i = 0; i < c.visits.size(); ++i) {
            if (i + 1 == c.visits.size() && c.position >= 0)
                history.Position = c.position;
            history.Record(c.visits[i]);
        }
        EXPECT_EQ(history.Entries, c.entries) << c.name;
        EXPECT_EQ(history.Position, c.expectedPosition) << c.name;
    }
}

TEST(FolderHistory, ATypedPathIsRecordedWhenItsFolderLoads)
{
    FakeTree tree;
    tree.Visit({L"C:\\A"});
    tree.history.Text = L"C:\\B";  // typed into the box, then Enter
    tree.Load(L"C:\\B");
    EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\B", L"C:\\A"}));
}

TEST(FolderHistory, TheLimitDropsTheOldest)
{
    TFolderHistory history;
    history.Limit = 2;
    for (const wchar_t* path : {L"C:\\A", L"C:\\B", L"C:\\C"})
        history.Record(path);
    EXPECT_EQ(history.Entries, (TEntries{L"C:\\C", L"C:\\B"}));
}

TEST(FolderHistory, AVanishedEntryIsDroppedAndTheNextInTheSameDirectionOpened)
{
    {
        FakeTree tree;
        tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C"});
        tree.nodes.erase(L"C:\\B");
        ASSERT_TRUE(tree.Back());
        EXPECT_EQ(tree.listPath, L"C:\\A");
        EXPECT_EQ(tree.opened, (TEntries{L"C:\\B", L"C:\\A"}));
        EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\C", L"C:\\A"}));
        EXPECT_EQ(tree.history.Position, 1);
    }
    {
        FakeTree tree;
        tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C", L"C:\\D"});
        ASSERT_TRUE(tree.Back());
        ASSERT_TRUE(tree.Back());
        ASSERT_TRUE(tree.Back());
        ASSERT_EQ(tree.listPath, L"C:\\A");
        tree.nodes.erase(L"C:\\B");
        ASSERT_TRUE(tree.Forward());
        EXPECT_EQ(tree.listPath, L"C:\\C") << "forward goes on to the next newer one";
        EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\D", L"C:\\C", L"C:\\A"}));
        EXPECT_EQ(tree.history.Position, 1);
    }
    {
        FakeTree tree;
        tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C"});
        tree.nodes = {L"C:\\C"};
        EXPECT_FALSE(tree.Back()) << "every older entry is gone";
        EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\C"}));
        EXPECT_EQ(tree.history.Text, L"C:\\C") << "the box shows the list's folder again";
        EXPECT_EQ(tree.history.Position, 0);
        EXPECT_FALSE(tree.history.Navigating);
    }
    {
        // Chosen from the box: the oldest is gone, the one before it opens.
        FakeTree tree;
        tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C"});
        tree.nodes.erase(L"C:\\A");
        tree.history.Position = 2;
        ASSERT_TRUE(tree.history.OpenChosen(tree.listPath, tree.Opener()));
        EXPECT_EQ(tree.listPath, L"C:\\B");
        EXPECT_EQ(tree.history.Entries, (TEntries{L"C:\\C", L"C:\\B"}));
        EXPECT_EQ(tree.history.Position, 1);
    }
}

TEST(FolderHistory, TheFlagIsClearedOnEveryPath)
{
    FakeTree tree;
    tree.Visit({L"C:\\A", L"C:\\B"});
    // The opener throws (the tree failed): the next visit is still recorded.
    const TOpenFolder throwing = [](const std::wstring&) -> bool { throw std::runtime_error("tree"); };
    EXPECT_THROW(tree.history.Back(tree.listPath, throwing), std::runtime_error);
    EXPECT_FALSE(tree.history.Navigating);
    // Choosing the entry the list shows opens nothing.
    tree.history.DropDown(tree.listPath);
    EXPECT_TRUE(tree.history.OpenChosen(tree.listPath, tree.Opener()));
    EXPECT_TRUE(tree.opened.empty());
    EXPECT_FALSE(tree.history.Navigating);
    tree.Load(L"C:\\E");
    EXPECT_EQ(tree.history.Entries.front(), L"C:\\E");
}

TEST(FolderHistory, DropDownEscapeEnterAndExit)
{
    FakeTree tree;
    tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C"});
    tree.history.Position = -1;
    tree.history.DropDown(L"c:\\b");
    EXPECT_EQ(tree.history.Position, 1) << "the list's folder, ignoring case";
    tree.history.DropDown(L"C:\\X");
    EXPECT_EQ(tree.history.Position, -1);

    // A chosen entry opens its folder.
    tree.history.Position = 2;
    EXPECT_TRUE(tree.history.OpenChosen(tree.listPath, tree.Opener()));
    EXPECT_EQ(tree.listPath, L"C:\\A");
    EXPECT_EQ(tree.history.Entries.size(), 3u);

    // Escape: the typed text and the moved position are given up.
    tree.history.Text = L"C:\\Typ";
    tree.history.Position = 0;
    tree.history.Restore(tree.listPath);
    EXPECT_EQ(tree.history.Text, L"C:\\A");
    EXPECT_EQ(tree.history.Position, 2);
    EXPECT_TRUE(tree.opened.size() == 1u) << "Escape opens nothing";

    EXPECT_EQ(tree.history.EnteredPath(tree.listPath), L"C:\\A");
    tree.history.Text = L"  ";
    EXPECT_EQ(tree.history.EnteredPath(L"C:\\A"), L"C:\\A") << "an empty box opens the list's folder";

    struct Case {
        const wchar_t* text;
        bool navigate;
        const wchar_t* textAfter;
    } cases[] = {
        {L"", false, L"C:\\A"},
        {L"c:\\a\\", false, L"c:\\a\\"},
        {L"C:\\B", true, L"C:\\B"},
    };
    for (const Case& c : cases) {
        tree.history.Text = c.text;
        EXPECT_EQ(tree.history.ExitWantsNavigation(L"C:\\A"), c.navigate) << testing::PrintToString(c.text);
        EXPECT_EQ(tree.history.Text, c.textAfter) << testing::PrintToString(c.text);
    }
}

TEST(FolderHistory, HintsNameTheEntriesBackAndForwardOpen)
{
    FakeTree tree;
    EXPECT_EQ(HistoryHints(tree.history).Back, L"Zurück zum vorigen Verzeichnis (Alt+Links)");
    EXPECT_EQ(HistoryHints(tree.history).Forward, L"Weiter zum nächsten Verzeichnis (Alt+Rechts)");
    tree.Visit({L"C:\\A", L"C:\\B", L"C:\\C"});
    EXPECT_EQ(HistoryHints(tree.history).Back, L"Zurück zu \"C:\\B\" (Alt+Links)");
    EXPECT_EQ(HistoryHints(tree.history).Forward, L"Weiter zum nächsten Verzeichnis (Alt+Rechts)");
    ASSERT_TRUE(tree.Back());
    EXPECT_EQ(HistoryHints(tree.history).Back, L"Zurück zu \"C:\\A\" (Alt+Links)");
    EXPECT_EQ(HistoryHints(tree.history).Forward, L"Weiter zu \"C:\\C\" (Alt+Rechts)");
    ASSERT_TRUE(tree.Back());
    EXPECT_EQ(HistoryHints(tree.history).Back, L"Zurück zum vorigen Verzeichnis (Alt+Links)");
    EXPECT_EQ(HistoryHints(tree.history).Forward, L"Weiter zu \"C:\\B\" (Alt+Rechts)");
}

TEST(FolderHistory, ARenamedFolderIsFollowedByItsEntriesTheBoxAndTheNextLoad)
{
    struct Case {
        const char* what;
        TEntries visits;  // oldest first
        int back;         // steps back before the rename
        const wchar_t* oldPath;
        const wchar_t* newPath;
        TEntries entries;
        int position;
        const wchar_t* text;
    } cases[] = {
        {"the shown folder", {L"C:\\A", L"C:\\B"}, 0, L"c:\\b", L"C:\\Neu", {L"C:\\Neu", L"C:\\A"}, 0, L"C:\\Neu"},
        {"folders inside it, not one of a similar name",
         {L"C:\\B\\x", L"C:\\Bx", L"C:\\B\\x\\y", L"C:\\A"},
         0,
         L"C:\\B",
         L"C:\\N",
         {L"C:\\A", L"C:\\N\\x\\y", L"C:\\Bx", L"C:\\N\\x"},
         0,
         L"C:\\A"},
        {"an entry meeting a newer one of the new name is dropped, behind the position",
         {L"C:\\A", L"C:\\B", L"C:\\C", L"C:\\D"},
         1,
         L"C:\\A",
         L"C:\\C",
         {L"C:\\D", L"C:\\C", L"C:\\B"},
         1,
         L"C:\\C"},
        {"the position on the dropped entry goes to the newer one",
         {L"C:\\A", L"C:\\B", L"C:\\C"},
         2,
         L"C:\\A",
         L"C:\\C",
         {L"C:\\C", L"C:\\B"},
         0,
         L"C:\\C"},
        {"another folder changes nothing",
         {L"C:\\A", L"C:\\B"},
         0,
         L"C:\\X",
         L"C:\\Y",
         {L"C:\\B", L"C:\\A"},
         0,
         L"C:\\B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeTree tree;
        tree.nodes = std::set<std::wstring>(c.visits.begin(), c.visits.end());
        for (const std::wstring& path : c.visits)
            tree.Load(path);
        for (int i = 0; i < c.back; ++i)
            ASSERT_TRUE(tree.Back());
        tree.history.FolderRenamed(c.oldPath, c.newPath);
        EXPECT_EQ(tree.history.Entries, c.entries);
        EXPECT_EQ(tree.history.Position, c.position);
        EXPECT_EQ(tree.history.Text, c.text);
        // The list then shows the folder under its new name: no new entry.
        if (const auto moved = RenamedViewerFile(tree.listPath, c.oldPath, c.newPath))
            tree.Load(*moved);
        EXPECT_EQ(tree.history.Entries, c.entries) << "the list's reload of the new name";
    }
}

}  // namespace

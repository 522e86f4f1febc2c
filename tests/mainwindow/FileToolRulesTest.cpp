// Renaming in place and the file tools: who may edit a label, where the
// viewers point after a rename, the rename hint, the copy or move plans, the
// recent targets, the nearest existing folder and what opening a file does.

#include "framework/SysUtils.h"
#include "mainwindow/FileCommandRules.h"
#include "mainwindow/FileToolRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace qrv;

namespace {

std::string Narrow(const std::wstring& Text)
{
    return std::string(Text.begin(), Text.end());
}

// A file system of the given folders and files, compared without case.
struct FakeDisk {
    std::set<std::wstring> folders;
    std::set<std::wstring> files;
    static bool In(const std::set<std::wstring>& Set, const std::wstring& Path)
    {
        return std::any_of(Set.begin(), Set.end(), [&](const std::wstring& e) { return SameText(e, Path); });
    }
    TPathTest Exists() const
    {
        return [this](const std::wstring& p) { return In(folders, p) || In(files, p); };
    }
    TPathTest IsDirectory() const
    {
        return [this](const std::wstring& p) { return In(folders, p); };
    }
};

}  // namespace

TEST(FileToolRules, LabelEditPermission)
{
    struct Case {
        bool permission, clickEdits, editorModified, list, tree;
    } cases[] = {
        {false, false, false, false, false},  // a slow click with ClickEdits off
        {true, false, false, true, true},     // F2, the shell menu, a right click
        {false, true, false, true, true},     // a slow click with ClickEdits on
        {true, true, true, true, false},      // the editor holds unsaved changes
        {false, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.permission << c.clickEdits << c.editorModified);
        EXPECT_EQ(ListLabelEditAllowed(c.permission, c.clickEdits), c.list);
        EXPECT_EQ(TreeLabelEditAllowed(c.permission, c.clickEdits, c.editorModified), c.tree);
    }
}

TEST(FileToolRules, ViewerNamesFollowARenamedFileOrFolderOnly)
{
    struct Case {
        const char* what;
        std::wstring viewer, oldPath, newPath;
        std::optional<std::wstring> expected;
    } cases[] = {
        {"the shown file renamed", L"T:\\a\\x.txt", L"T:\\a\\x.txt", L"T:\\a\\y.txt", L"T:\\a\\y.txt"},
        {"in another letter case", L"T:\\A\\X.TXT", L"t:\\a\\x.txt", L"T:\\a\\y.txt", L"T:\\a\\y.txt"},
        {"another file renamed", L"T:\\a\\x.txt", L"T:\\a\\z.txt", L"T:\\a\\y.txt", std::nullopt},
        {"the folder holding it", L"T:\\a\\b\\x.txt", L"T:\\a", L"T:\\neu", L"T:\\neu\\b\\x.txt"},
        {"a folder that only begins alike", L"T:\\ab\\x.txt", L"T:\\a", L"T:\\neu", std::nullopt},
        {"nothing shown", L"", L"T:\\a", L"T:\\neu", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RenamedViewerFile(c.viewer, c.oldPath, c.newPath), c.expected) << c.what;
}

TEST(FileToolRules, RenameHintByFocusAndSelection)
{
    struct Case {
        bool tree;
        int selected;
        const wchar_t* hint;
    } cases[] = {
        {true, 5, L"Verzeichnis umbenennen (F2)"},
        {false, 0, L"Datei umbenennen (F2)"},
        {false, 1, L"Datei umbenennen (F2)"},
        {false, 2, L"Dateigruppe umbenennen (F2)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RenameButtonHint(c.tree, c.selected), c.hint) << c.tree << c.selected;
}

TEST(FileToolRules, CopyMoveStartsWithTheSelectionAndItsCaption)
{
    const TCopyMoveItem a{L"T:\\q\\a.txt", L"a.txt"};
    const TCopyMoveItem b{L"T:\\q\\b.txt", L"b.txt"};
    const TCopyMoveItem c{L"T:\\q\\c", L"c"};
    const TCopyMoveItem shellItem{L"", L"Drucker"};
    struct Case {
        const char* what;
        TCopyMoveRequest request;
        bool beep;
        std::wstring caption;
        size_t sources;
    } cases[] = {
        {"nothing selected", {deCopy, TCopyMoveFocus::List, L"", L"", {}}, true, L"", 0},
        {"tree without a node", {deCopy, TCopyMoveFocus::Tree, L"", L"", {}}, true, L"", 0},
        {"no pane focused", {deCopy, TCopyMoveFocus::None, L"T:\\q", L"q", {a}}, true, L"", 0},
        {"tree folder",
         {deMove, TCopyMoveFocus::Tree, L"T:\\q", L"q", {a}},
         false,
         L"Verzeichnis \"q\" verschieben nach",
         1},
        {"one file", {deCopy, TCopyMoveFocus::List, L"T:\\q", L"q", {a}}, false, L"Datei \"a.txt\" kopieren nach", 1},
        {"three files", {deMove, TCopyMoveFocus::List, L"", L"", {a, b, c}}, false, L"3 Dateien verschieben nach", 3},
        {"a shell item without a path", {deCopy, TCopyMoveFocus::List, L"", L"", {a, shellItem}}, true, L"", 0},
        // All through the shell, the item with a path too: one drop.
        {"a shell item its folder hands to the shell",
         {deMove, TCopyMoveFocus::List, L"", L"", {a, shellItem}, true},
         false,
         L"2 Dateien verschieben nach",
         0},
        {"a shell folder of the tree without a path",
         {deCopy, TCopyMoveFocus::Tree, L"", L"Drucker", {}, false, true},
         false,
         L"Verzeichnis \"Drucker\" kopieren nach",
         0},
        {"a shell folder's items with paths",
         {deCopy, TCopyMoveFocus::List, L"", L"", {a, b}, true},
         false,
         L"2 Dateien kopieren nach",
         2},
    };
    for (const Case& k : cases) {
        const TCopyMoveStart start = StartCopyMove(k.request);
        EXPECT_EQ(start.Beep, k.beep) << k.what;
        EXPECT_EQ(start.Caption, k.caption) << k.what;
        EXPECT_EQ(start.Sources.size(), k.sources) << k.what;
        EXPECT_EQ(start.ThroughShell, !k.beep && k.sources == 0) << k.what;
    }
}

TEST(FileToolRules, ACopyOutOfAShellFolderStaysACopyOfTheItemsPaths)
{
    // A network folder's items, listed by their shown names.
    TCopyMoveRequest request{deCopy, TCopyMoveFocus::List, L"", L"", {}};
    request.Selected = {{L"\\\\srv\\Freigabe", L"Freigabe"}, {L"\\\\srv\\liesmich.txt", L"Lies mich"}};
    const TCopyMoveStart start = StartCopyMove(request);
    EXPECT_FALSE(start.Beep);
    EXPECT_EQ(start.Effect, deCopy);
    EXPECT_EQ(start.Sources, (std::vector<std::wstring>{L"\\\\srv\\Freigabe", L"\\\\srv\\liesmich.txt"}));
    FakeDisk disk;
    disk.folders = {L"\\\\srv\\Freigabe", L"T:\\z"};
    const TPastePlan plan = PlanCopyMoveTo(start.Sources, start.Effect, L"T:\\z", disk.Exists(), disk.IsDirectory());
    ASSERT_TRUE(plan.Valid);
    EXPECT_EQ(plan.Operation, TFileOperation::foCopy);
}

TEST(FileToolRules, CopyMovePlans)
{
    FakeDisk disk;
    disk.folders = {L"T:\\q", L"T:\\q\\sub", L"T:\\q\\sub\\deep", L"T:\\z"};
    disk.files = {L"T:\\q\\a.txt", L"T:\\q\\a - Kopie.txt"};
    struct Case {
        const char* what;
        std::vector<std::wstring> sources;
        TDropEffect effect;
        std::wstring target;
        bool valid;
        TFileOperation operation;
        std::vector<std::wstring> dests;
    } cases[] = {
        {"a copy elsewhere keeps the names", {L"T:\\q\\a.txt"}, deCopy, L"T:\\z", true, TFileOperation::foCopy, {}},
        {"a move elsewhere", {L"T:\\q\\a.txt", L"T:\\q\\sub"}, deMove, L"T:\\z", true, TFileOperation::foMove, {}},
        {"a copy into the own folder gets free copies' names",
         {L"T:\\q\\a.txt", L"T:\\q\\sub"},
         deCopy,
         L"T:\\Q\\",
         true,
         TFileOperation::foCopy,
         {L"T:\\q\\a - Kopie (2).txt", L"T:\\q\\sub - Kopie"}},
        {"a move into the own folder", {L"T:\\q\\a.txt"}, deMove, L"T:\\q", false, TFileOperation::foCopy, {}},
        {"a folder into itself", {L"T:\\q\\sub"}, deCopy, L"T:\\q\\sub", false, TFileOperation::foCopy, {}},
        {"a folder into its subfolder",
         {L"T:\\q\\sub"},
         deMove,
         L"T:\\q\\sub\\deep",
         false,
         TFileOperation::foCopy,
         {}},
    };
    for (const Case& c : cases) {
        const TPastePlan plan = PlanCopyMoveTo(c.sources, c.effect, c.target, disk.Exists(), disk.IsDirectory());
        EXPECT_EQ(plan.Valid, c.valid) << c.what;
        if (!plan.Valid || !c.valid)
            continue;
        EXPECT_EQ(plan.Operation, c.operation) << c.what;
        EXPECT_EQ(plan.Sources, c.sources) << c.what;
        EXPECT_EQ(plan.Dests, c.dests) << c.what;
        EXPECT_EQ((plan.Flags & foMultiDestFiles) != 0, !c.dests.empty()) << c.what;
        EXPECT_NE(plan.Flags & foAllowUndo, 0u) << c.what;
    }
}

TEST(FileToolRules, SecondWindowTargets)
{
    EXPECT_TRUE(OtherWindowTargetAllowed(true, true, L"T:\\a", L"T:\\b"));
    EXPECT_FALSE(OtherWindowTargetAllowed(true, true, L"T:\\a", L"t:\\A\\")) << "the same folder";
    EXPECT_FALSE(OtherWindowTargetAllowed(false, true, L"T:\\a", L"T:\\b")) << "one window";
    EXPECT_FALSE(OtherWindowTargetAllowed(true, false, L"T:\\a", L"T:\\b")) << "nothing selected";
}

TEST(FileToolRules, RecentTargetsNewestFirstEachOnce)
{
    TRecentTargets recent;
    for (const wchar_t* folder : {L"T:\\a", L"T:\\b", L"t:\\A\\", L"", L"T:\\c", L"T:\\B"})
        recent.Add(folder);
    const std::vector<std::wstring> expected = {L"T:\\B", L"T:\\c", L"t:\\A\\"};
    EXPECT_EQ(recent.Folders(), expected);
}

TEST(FileToolRules, TargetDialogStartFolder)
{
    const std::set<std::wstring> there = {L"T:\\given", L"T:\\last"};
    const auto exists = [&](const std::wstring& p) { return there.count(p) != 0; };
    EXPECT_EQ(TargetDialogStart(L"T:\\given", L"T:\\last", L"T:\\other", L"T:\\active", exists), L"T:\\given");
    EXPECT_EQ(TargetDialogStart(L"T:\\gone", L"T:\\last", L"T:\\other", L"T:\\active", exists), L"T:\\last");
    EXPECT_EQ(TargetDialogStart(L"", L"T:\\gone", L"T:\\other", L"T:\\active", exists), L"T:\\other");
    EXPECT_EQ(TargetDialogStart(L"", L"", L"", L"T:\\active", exists), L"T:\\active");
}

TEST(FileToolRules, NearestExistingDir)
{
    const std::set<std::wstring> there = {L"C:\\", L"T:\\d", L"\\\\srv\\share\\x"};
    std::vector<std::wstring> asked;
    const auto exists = [&](const std::wstring& p) {
        asked.push_back(p);
        return there.count(p) != 0;
    };
    struct Case {
        std::wstring path, expected;
    } cases[] = {
        {L"C:\\x\\y", L"C:\\"},
        {L"Q:\\a", L"Q:\\"},  // a drive that is not there: its root
        {L"T:\\d\\e\\f\\", L"T:\\d"},
        {L"T:\\d", L"T:\\d"},
        {L"C:", L"C:\\"},
        {L"\\\\srv\\share\\x\\y\\z", L"\\\\srv\\share\\x"},
        {L"\\\\srv\\share\\gone\\y", L"\\\\srv\\share"},  // never above the share
    };
    for (const Case& c : cases) {
        asked.clear();
        EXPECT_EQ(NearestExistingDir(c.path, exists), c.expected) << Narrow(c.path);
        EXPECT_FALSE(asked.empty());
        EXPECT_EQ(asked.back(), c.expected) << "the result is the last folder asked";
    }
}

TEST(FileToolRules, OpeningAFileFromAList)
{
    using A = TExecFileAction;
    struct Case {
        std::wstring name;
        bool viewArchive, displayOn;
        A expected;
    } cases[] = {
        {L"T:\\a.zip", true, false, A::ShowArchive},  {L"T:\\a.zip", true, true, A::Start},
        {L"T:\\a.zip", false, false, A::Start},       {L"T:\\a.zip", false, true, A::Start},
        {L"T:\\a.JAR", true, false, A::ShowArchive},  {L"T:\\a.cab", true, false, A::ShowArchive},
        {L"T:\\a.txt", true, false, A::Start},        {L"T:\\film.avi.SPLIT", false, false, A::Join},
        {L"T:\\film.avi.split", true, true, A::Join}, {L"T:\\x.zip\\a.txt", true, false, A::Start},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideExecFile(c.name, c.viewArchive, c.displayOn), c.expected)
            << Narrow(c.name) << c.viewArchive << c.displayOn;
}

TEST(FileToolRules, PrintOfferedForOneFileWithThePrintVerb)
{
    const auto verb = [](const std::wstring& ext) { return ext == L".TXT" || ext == L".LONGEXT"; };
    EXPECT_TRUE(PrintOffered(1, L"brief.txt", verb));
    EXPECT_FALSE(PrintOffered(2, L"brief.txt", verb)) << "two selected";
    EXPECT_FALSE(PrintOffered(1, L"bild.png", verb)) << "no print verb";
    EXPECT_FALSE(PrintOffered(1, L"ohne", verb)) << "no extension";
    EXPECT_TRUE(PrintOffered(1, L"a.longext", verb)) << "seven letters";
    EXPECT_FALSE(PrintOffered(1, L"a.longextx", [](const std::wstring&) { return true; })) << "eight letters";
}

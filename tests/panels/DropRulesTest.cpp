#include "panels/DropRules.h"

#include "common/DragDropRules.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace qrv;

namespace {

constexpr uint32_t kAll = deCopy | deMove | deLink;

}  // namespace

TEST(DropRules, SameDriveByLetterIgnoringCaseAndNetworkPathsByShare)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Case cases[] = {
        {L"C:\\a", L"c:\\b\\c", true},
        {L"C:\\a", L"D:\\a", false},
        {L"\\\\srv\\share\\a", L"\\\\SRV\\Share\\b", true},
        {L"\\\\srv\\share\\a", L"\\\\srv\\other\\a", false},
        {L"\\\\srv\\share", L"\\\\srv\\share\\x", true},
        {L"\\\\srv\\share\\a", L"C:\\a", false},
        {L"", L"", false},
        {L"C:\\a", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnSameDrive(c.a, c.b), c.same) << WideToUtf8(c.a) << " " << WideToUtf8(c.b);
}

TEST(DropRules, TreeEffectByKeysDrivesAndTarget)
{
    struct Case {
        const char* what;
        TTreeDropQuery query;
        uint32_t effect;
    };
    auto q = [](uint32_t keys, uint32_t proposed, bool sameDrive) {
        TTreeDropQuery query;
        query.Keys = keys;
        query.Proposed = proposed;
        query.SourceEffects = kAll;
        query.SameDrive = sameDrive;
        return query;
    };
    auto with = [](TTreeDropQuery query, auto change) {
        change(query);
        return query;
    };
    const Case cases[] = {
        {"same drive moves", q(dkLeftButton, deCopy, true), deMove},
        {"other drive copies", q(dkLeftButton, deCopy, false), deCopy},
        {"Ctrl copies on the same drive", q(dkControl, deCopy, true), deCopy},
        {"Shift keeps the keys' move", q(dkShift, deMove, false), deMove},
        {"a source without move keeps copy", with(q(0, deCopy, true), [](auto& x) { x.SourceEffects = deCopy; }),
         deCopy},
        {"programs link", with(q(0, deCopy, true), [](auto& x) { x.LinkOnExe = x.DrivesLinkable = true; }), deLink},
        {"programs from before the default drive copy", with(q(0, deCopy, false), [](auto& x) { x.LinkOnExe = true; }),
         deCopy},
        {"programs with Ctrl copy",
         with(q(dkControl, deCopy, false), [](auto& x) { x.LinkOnExe = x.DrivesLinkable = true; }), deCopy},
        {"a root offers only link", with(q(0, deLink, true), [](auto& x) { x.SourceEffects = deLink; }), deLink},
        {"own subtree none", with(q(0, deCopy, true), [](auto& x) { x.IntoDraggedFolder = true; }), deNone},
        {"own subtree moved none", with(q(dkShift, deMove, true), [](auto& x) { x.IntoDraggedFolder = true; }), deNone},
        {"own subtree linked", with(q(dkShift | dkControl, deLink, true), [](auto& x) { x.IntoDraggedFolder = true; }),
         deLink},
        {"own parent none", with(q(0, deCopy, true), [](auto& x) { x.OntoOwnParent = true; }), deNone},
        {"recycle bin moves", with(q(0, deCopy, false), [](auto& x) { x.RecycleBin = true; }), deMove},
        {"refusing recycle bin", with(q(0, deCopy, false), [](auto& x) { x.RecycleBin = x.RecycleBinRefused = true; }),
         deNone},
        {"shell folder without disk", with(q(0, deCopy, false), [](auto& x) { x.NotFileSystem = true; }), deNone},
        {"contents copy", with(q(0, deMove, true), [](auto& x) { x.FileContents = true; }), deCopy},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TreeDropEffect(c.query), c.effect) << c.what;
}

TEST(DropRules, ListEffectByKeysDrivesAndTarget)
{
    struct Case {
        const char* what;
        TListDropQuery query;
        uint32_t effect;
    };
    auto q = [](uint32_t keys, uint32_t proposed, bool sameDrive, uint32_t source = kAll) {
        TListDropQuery query;
        query.Keys = keys;
        query.Proposed = proposed;
        query.SourceEffects = source;
        query.SameDrive = sameDrive;
        return query;
    };
    auto with = [](TListDropQuery query, auto change) {
        change(query);
        return query;
    };
    const Case cases[] = {
        {"same drive moves", q(0, deCopy, true), deMove},
        {"other drive copies", q(0, deCopy, false), deCopy},
        {"other drive copies a proposed move", q(0, deMove, false), deCopy},
        {"Ctrl copies on the same drive", q(dkControl, deCopy, true), deCopy},
        {"Shift moves across drives", q(dkShift, deMove, false), deMove},
        {"a copy-only source copies on the same drive", q(0, deCopy, true, deCopy), deCopy},
        {"nothing proposed stays nothing", q(0, deNone, true), deNone},
        {"programs link", with(q(0, deCopy, true), [](auto& x) { x.LinkProposed = x.DrivesLinkable = true; }), deLink},
        {"programs with Shift move",
         with(q(dkShift, deMove, true), [](auto& x) { x.LinkProposed = x.DrivesLinkable = true; }), deMove},
        {"recycle-bin view moves", with(q(0, deCopy, false), [](auto& x) { x.RecycleBinView = true; }), deMove},
        {"recycle-bin item moves", with(q(0, deCopy, false), [](auto& x) { x.OnRecycleBinItem = true; }), deMove},
        {"a dragged folder onto itself", with(q(0, deCopy, true), [](auto& x) { x.IntoDraggedFolder = true; }), deNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListDropEffect(c.query), c.effect) << c.what;
}

TEST(DropRules, TheOptionDecidesMoveOrCopyUnlessKeysOrContentsSpeak)
{
    struct Case {
        const char* what;
        uint8_t option;
        uint32_t keys;
        uint32_t effect;
        bool sameDrive;
        uint32_t tree;
        uint32_t list;
    };
    const Case cases[] = {
        {"0 moves across drives", ddoMove, 0, deCopy, false, deMove, deMove},
        {"2 copies on the same drive", ddoCopy, 0, deMove, true, deCopy, deCopy},
        {"1: the tree moves on the same drive", ddoMoveOnSameDrive, 0, deCopy, true, deMove, deCopy},
        {"1: the tree copies across", ddoMoveOnSameDrive, 0, deMove, false, deCopy, deMove},
        {"Shift keeps", ddoCopy, dkShift, deMove, true, deMove, deMove},
        {"Ctrl keeps", ddoMove, dkControl, deCopy, true, deCopy, deCopy},
        {"link keeps", ddoCopy, 0, deLink, true, deLink, deLink},
        {"none keeps", ddoMove, 0, deNone, true, deNone, deNone},
    };
    for (const Case& c : cases) {
        TOptionDropQuery query;
        query.Option = c.option;
        query.Keys = c.keys;
        query.Effect = c.effect;
        query.SourceEffects = kAll;
        query.SameDrive = c.sameDrive;
        EXPECT_EQ(TreeOptionEffect(query), c.tree) << c.what;
        EXPECT_EQ(ListOptionEffect(query), c.list) << c.what;
    }
    TOptionDropQuery query;
    query.Option = ddoMove;
    query.Effect = deCopy;
    query.SourceEffects = deCopy | deLink;
    EXPECT_EQ(TreeOptionEffect(query), deCopy) << "a source without move";
    query.SourceEffects = kAll;
    query.FileContents = true;
    EXPECT_EQ(TreeOptionEffect(query), deCopy) << "contents";
    EXPECT_EQ(ListOptionEffect(query), deCopy) << "contents";
    query.FileContents = false;
    query.HasTarget = false;
    EXPECT_EQ(TreeOptionEffect(query), deNone) << "no node";
    EXPECT_EQ(ListOptionEffect(query), deNone) << "no folder loaded";
    query.HasTarget = true;
    query.OwnDragOnBackground = true;
    EXPECT_EQ(ListOptionEffect(query), deCopy) << "own background: the list's rule";
    query.OwnDragOnBackground = false;
    query.VirtualFolder = true;
    EXPECT_EQ(ListOptionEffect(query), deCopy) << "a shell folder";
    query.VirtualFolder = false;
    query.TargetRefuses = true;
    EXPECT_EQ(TreeOptionEffect(query), deCopy) << "a refusing node";
}

TEST(DropRules, TreeExpandsAfterASecondOfHoverAndScrollsSlowThenFast)
{
    TTreeDragTimer timer;
    int a = 0, b = 0;
    timer.Enter(10000, false);
    EXPECT_FALSE(timer.ExpandDue(&a, 10000));
    EXPECT_FALSE(timer.ExpandDue(&a, 11000)) << "exactly the delay is not yet more";
    EXPECT_TRUE(timer.ExpandDue(&a, 11001));
    EXPECT_FALSE(timer.ExpandDue(&a, 11500)) << "the timer restarted";
    EXPECT_FALSE(timer.ExpandDue(&b, 12100)) << "a new node restarts it";
    EXPECT_FALSE(timer.ExpandDue(&b, 13000));
    EXPECT_TRUE(timer.ExpandDue(&b, 13101));

    // Scrolling: nothing in the first second, then every 200 ms, every
    // 67 ms from the fifth step on; leaving the edge starts slow again.
    TTreeDragTimer scroll;
    scroll.Enter(0, false);
    using S = TTreeDragTimer::TScroll;
    EXPECT_EQ(scroll.VerticalStep(true, false, 999), S::None);
    EXPECT_EQ(scroll.VerticalStep(true, false, 1000), S::Up);
    EXPECT_EQ(scroll.VerticalStep(true, false, 1199), S::None);
    EXPECT_EQ(scroll.VerticalStep(false, true, 1200), S::Down);
    EXPECT_EQ(scroll.VerticalStep(false, true, 1400), S::Down);
    EXPECT_EQ(scroll.VerticalStep(false, true, 1600), S::Down);
    EXPECT_EQ(scroll.VerticalStep(false, true, 1666), S::None);
    EXPECT_EQ(scroll.VerticalStep(false, true, 1667), S::Down) << "fast after four steps";
    EXPECT_EQ(scroll.VerticalStep(false, true, 1734), S::Down);
    EXPECT_EQ(scroll.VerticalStep(false, false, 1801), S::None);
    EXPECT_EQ(scroll.VerticalStep(false, true, 1868), S::None) << "slow again";
    EXPECT_EQ(scroll.VerticalStep(false, true, 1934), S::Down);
    EXPECT_FALSE(scroll.HorizontalDue(100));
    EXPECT_TRUE(scroll.HorizontalDue(200));
    EXPECT_FALSE(scroll.HorizontalDue(399));
}

TEST(DropRules, ADropWithinATenthOfASecondIsCancelledAndTheTreesOwnStartCounts)
{
    TTreeDragTimer timer;
    timer.StartOwnDrag(5000);
    timer.Enter(5090, true);
    EXPECT_TRUE(timer.DropTooEarly(5099));
    EXPECT_FALSE(timer.DropTooEarly(5100));
    timer.Enter(9000, false);
    EXPECT_TRUE(timer.DropTooEarly(9050)) << "a foreign drag starts on entering";
    EXPECT_FALSE(timer.DropTooEarly(9100));
}

TEST(DropRules, ListScrollsEveryTwoHundredThenSixtySixMilliseconds)
{
    TListScrollTimer timer;
    timer.Reset(0);
    const std::pair<uint32_t, bool> steps[] = {{199, false}, {200, true},  {399, false}, {400, true},
                                               {600, true},  {665, false}, {666, true},  {732, true}};
    for (const auto& [now, due] : steps)
        EXPECT_EQ(timer.StepDue(true, now), due) << now;
    EXPECT_FALSE(timer.StepDue(false, 900));
    EXPECT_FALSE(timer.StepDue(true, 920)) << "slow again after leaving the zone";
    EXPECT_TRUE(timer.StepDue(true, 932));
}

TEST(DropRules, HostileForeignNamesBecomeSafeNamesInsideTheFolder)
{
    struct Case {
        std::wstring name;
        std::wstring safe;
    };
    const Case cases[] = {
        {L"a.txt", L"a.txt"},
        {L"..\\x.txt", L"x.txt"},
        {L"../../etc/passwd", L"passwd"},
        {L"C:\\Windows\\win.ini", L"win.ini"},
        {L"a:b.txt", L"a_b.txt"},
        {L"a*?\"<>|.txt", L"a______.txt"},
        {std::wstring(L"t\x01\x1f.txt"), L"t__.txt"},
        {L"trail. . ", L"trail"},
        {L"", L"Datei 3.dat"},
        {L".", L"Datei 3.dat"},
        {L"..", L"Datei 3.dat"},
        {L"dir\\", L"Datei 3.dat"},
        {L"nul.txt", L"_nul.txt"},
        {L"CON", L"_CON"},
        {L"Aux.tar.gz", L"_Aux.tar.gz"},
        {L"com1", L"_com1"},
        {L"LPT9.doc", L"_LPT9.doc"},
        {L"COM0.txt", L"COM0.txt"},
        {L"console.txt", L"console.txt"},
        {L"nul .txt", L"_nul .txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SafeForeignName(c.name, 3), c.safe) << WideToUtf8(c.name);
}

TEST(DropRules, RepeatedNamesOfOneDropTakeTheSmallestFreeNumber)
{
    struct Case {
        std::vector<std::wstring> names;
        std::vector<std::wstring> planned;
    };
    const Case cases[] = {
        {{L"a.txt", L"a.txt", L"a(1).txt"}, {L"a.txt", L"a(2).txt", L"a(1).txt"}},
        {{L"a.txt", L"A.TXT", L"a.txt"}, {L"a.txt", L"A(1).TXT", L"a(2).txt"}},
        {{L"", L""}, {L"Datei 0.dat", L"Datei 1.dat"}},
        {{L"", L"Datei 0.dat"}, {L"Datei 0.dat", L"Datei 0(1).dat"}},
        {{L"x\\readme", L"y/readme"}, {L"readme", L"readme(1)"}},
        {{L".profile", L".profile"}, {L".profile", L".profile(1)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanDropNames(c.names), c.planned);
}

TEST(DropRules, LinksTakeAFreeNameAndRootsTheirDrivesName)
{
    const std::set<std::wstring> taken = {L"T:\\z\\x.lnk", L"T:\\z\\x (2).lnk"};
    const auto isTaken = [&](const std::wstring& path) { return taken.count(path) != 0; };
    EXPECT_EQ(FreeLinkPath(L"T:\\z", L"y", isTaken), L"T:\\z\\y.lnk");
    EXPECT_EQ(FreeLinkPath(L"T:\\z\\", L"x", isTaken), L"T:\\z\\x (3).lnk");
    EXPECT_EQ(LinkNameFor(L"C:\\", L"C: System"), L"System(C)");
    EXPECT_EQ(LinkNameFor(L"c:", L""), L"(C)");
    EXPECT_EQ(LinkNameFor(L"T:\\a\\prog.exe", L"T: Daten"), L"prog.exe");
}

TEST(DropRules, DuplicateQuestionCountsFiles)
{
    EXPECT_EQ(DuplicateQuestion(1), L"1 Datei duplizieren?");
    EXPECT_EQ(DuplicateQuestion(3), L"3 Dateien duplizieren?");
}

TEST(DropRules, DragCountLinesNameFilesAndFoldersThatArePresent)
{
    using Lines = std::vector<std::wstring>;
    EXPECT_EQ(DragCountLines(3, 2), (Lines{L"3 Dateien", L"2 Verzeichnisse"}));
    EXPECT_EQ(DragCountLines(12, 0), (Lines{L"12 Dateien"}));
    EXPECT_EQ(DragCountLines(0, 4), (Lines{L"4 Verzeichnisse"}));
    EXPECT_TRUE(DragCountLines(0, 0).empty());
}

namespace {

// A file system of paths with their entries.
struct FakeFs {
    std::map<std::wstring, TDropEntry> entries;
    TDropFileSystem Fs()
    {
        return {[this](const std::wstring& path) -> std::optional<TDropEntry> {
                    const auto it = entries.find(UpperCase(path));
                    return it == entries.end() ? std::nullopt : std::optional<TDropEntry>(it->second);
                },
                [this](const std::wstring& folder) {
                    std::vector<std::wstring> names;
                    const std::wstring prefix = UpperCase(folder) + L'\\';
                    for (const auto& [path, entry] : entries)
                        if (path.starts_with(prefix) && path.find(L'\\', prefix.size()) == std::wstring::npos)
                            names.push_back(path.substr(prefix.size()));
                    return names;
                }};
    }
    void File(const std::wstring& path, bool readOnly, uint64_t size, uint64_t time)
    {
        entries[UpperCase(path)] = {false, readOnly, size, time};
    }
    void Folder(const std::wstring& path, bool readOnly = false) { entries[UpperCase(path)] = {true, readOnly, 0, 0}; }
};

}  // namespace

TEST(DropRules, DisketteCopiesReadTheFilesThatWouldReplaceOthersFirst)
{
    FakeFs fs;
    fs.Folder(L"A:\\docs");
    fs.File(L"A:\\a.txt", false, 7, 1);
    fs.File(L"A:\\b.txt", false, 1, 1);
    fs.File(L"A:\\c.txt", false, 3, 1);
    fs.Folder(L"T:\\t");
    fs.File(L"T:\\t\\a.txt", false, 5, 5);
    fs.File(L"T:\\t\\c.txt", false, 5, 5);
    fs.Folder(L"T:\\t\\docs");
    const std::vector<std::wstring> all = {L"A:\\a.txt", L"A:\\b.txt", L"A:\\docs", L"A:\\c.txt"};
    struct Case {
        const char* what;
        std::vector<std::wstring> names;
        std::map<std::wstring, TDisketteRead> reads;  // by path; others read
        bool skip;
        bool goesOn;
        std::vector<std::wstring> left;
        std::wstring log;
    };
    const Case cases[] = {
        {"all readable: last to first, folders and new names only counted",
         all,
         {},
         false,
         true,
         all,
         L"open 4|read A:\\c.txt 3|step|step|step|read A:\\a.txt 7|step|"},
        {"an unreadable file left out",
         all,
         {{L"A:\\c.txt", TDisketteRead::Faulty}},
         true,
         true,
         {L"A:\\a.txt", L"A:\\b.txt", L"A:\\docs"},
         L"open 4|read A:\\c.txt 3|ask A:\\c.txt|step|step|step|read A:\\a.txt 7|step|"},
        {"an unreadable file cancels",
         all,
         {{L"A:\\c.txt", TDisketteRead::Faulty}},
         false,
         false,
         all,
         L"open 4|read A:\\c.txt 3|ask A:\\c.txt|"},
        {"the progress cancelled",
         all,
         {{L"A:\\a.txt", TDisketteRead::Cancelled}},
         true,
         false,
         all,
         L"open 4|read A:\\c.txt 3|step|step|step|read A:\\a.txt 7|"},
        {"the only file left out: nothing is left to drop",
         {L"A:\\c.txt"},
         {{L"A:\\c.txt", TDisketteRead::Faulty}},
         true,
         false,
         {},
         L"open 1|read A:\\c.txt 3|ask A:\\c.txt|step|"},
        {"one folder is not checked", {L"A:\\docs"}, {}, false, true, {L"A:\\docs"}, L""},
        {"no name taken: only counted", {L"A:\\b.txt"}, {}, false, true, {L"A:\\b.txt"}, L"step|"},
    };
    for (const Case& c : cases) {
        std::wstring log;
        TDisketteCheckCalls calls;
        calls.OpenProgress = [&](size_t total) { log += L"open " + std::to_wstring(total) + L"|"; };
        calls.Reading = [&](const std::wstring& path) { log += L"read " + path; };
        calls.Step = [&] { log += L"step|"; };
        calls.Read = [&](const std::wstring& path, uint64_t size) {
            log += L" " + std::to_wstring(size) + L"|";
            const auto at = c.reads.find(path);
            return at == c.reads.end() ? TDisketteRead::Read : at->second;
        };
        calls.SkipUnreadable = [&](const std::wstring& path) {
            log += L"ask " + path + L"|";
            return c.skip;
        };
        std::vector<std::wstring> names = c.names;
        EXPECT_EQ(CheckDisketteDrop(names, L"T:\\t", fs.Fs(), calls), c.goesOn) << c.what;
        EXPECT_EQ(names, c.left) << c.what;
        EXPECT_EQ(log, c.log) << c.what;
    }
}

TEST(DropRules, CdCopiesLoseReadOnlyButOlderFilesOfTheSameFolderKeepIt)
{
    FakeFs fs;
    fs.Folder(L"D:\\set", true);
    fs.File(L"D:\\set\\new.txt", true, 10, 100);
    fs.Folder(L"D:\\set\\sub", true);
    fs.File(L"D:\\set\\sub\\deep.txt", true, 20, 200);
    fs.File(L"D:\\set\\changed.txt", true, 30, 300);
    fs.File(L"D:\\one.txt", true, 1, 1);
    fs.Folder(L"T:\\t");
    fs.Folder(L"T:\\t\\set", true);
    fs.File(L"T:\\t\\set\\new.txt", true, 10, 100);
    fs.Folder(L"T:\\t\\set\\sub", true);
    fs.File(L"T:\\t\\set\\sub\\deep.txt", true, 20, 200);
    fs.File(L"T:\\t\\set\\changed.txt", true, 31, 300);  // not the copy: the user's older file
    fs.File(L"T:\\t\\set\\old.txt", true, 5, 5);         // not on the CD
    fs.File(L"T:\\t\\one.txt", true, 1, 1);
    std::vector<std::wstring> cleared =
        ReadOnlyCopiesToClear({L"D:\\set", L"D:\\one.txt", L"D:\\gone.txt"}, L"T:\\t", fs.Fs());
    for (std::wstring& path : cleared)
        path = UpperCase(path);
    std::sort(cleared.begin(), cleared.end());
    EXPECT_EQ(cleared, (std::vector<std::wstring>{L"T:\\T\\ONE.TXT", L"T:\\T\\SET", L"T:\\T\\SET\\NEW.TXT",
                                                  L"T:\\T\\SET\\SUB", L"T:\\T\\SET\\SUB\\DEEP.TXT"}));
}

// The stored sections through the INI mode of the store: names, sections and
// defaults, the rules the load applies, and what the save writes back.

#include "TestDir.h"

#include "framework/StringList.h"
#include "framework/SysUtils.h"
#include "settings/KyRegistry.h"
#include "settings/StoredSettings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

using namespace qrv;

namespace {

class StoredSettings : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultOptions(options, TSystemFacts{});
        state.List1.ColWidths = {150, 80, 120, 120, 45};
        state.List1.ColOrder = {0, 1, 2, 3, 4};
        state.List2 = state.List1;
        state.ZipList = state.List1;
        state.Bounds = TBounds{10, 20, 900, 650};
        facts.ScreenWidth = 1280;
        facts.ScreenHeight = 1024;
    }

    // A store holding these INI lines.
    std::unique_ptr<TKyIniRegistry> Store(const std::vector<const wchar_t*>& lines = {})
    {
        auto store = std::make_unique<TKyIniRegistry>(dir.File(L"settings.ini"));
        TStringList text;
        for (const wchar_t* line : lines)
            text.Add(line);
        store->IniFile().SetStrings(text);
        return store;
    }

    TLoadResult Load(TKyRegistry& store)
    {
        return LoadStoredSettings(store, options, state, bookmarks, captions, facts);
    }

    // Saves into a fresh store and returns it.
    std::unique_ptr<TKyIniRegistry> Saved(const TSaveFlags& flags = {})
    {
        auto store = Store();
        SaveStoredSettings(*store, options, state, bookmarks, captions, facts, flags);
        return store;
    }

    static std::wstring Value(TKyIniRegistry& store, const wchar_t* section, const wchar_t* name)
    {
        return store.IniFile().ReadString(section, name, L"<none>");
    }

    test::TestDir dir;
    TOptions options;
    TMainWindowState state;
    TStringList bookmarks;
    TStringList captions;
    TSettingsFacts facts;
};

struct BoolRow {
    const wchar_t* section;
    const wchar_t* name;
    bool TOptions::*field;
};

// The switches with their stored names and sections. Their defaults are
// asserted once, with the record's (GlobalsTest); here they come from it.
const BoolRow kBoolRows[] = {
    {L"Window", L"SelBothFileWin", &TOptions::SelBothFileWin},
    {L"Window", L"SecondFileWin", &TOptions::SecondFileWin},
    {L"Window", L"BringToFront", &TOptions::BringToFront},
    {L"Window", L"RestoreInitDir", &TOptions::RestoreInitDir},
    {L"Window", L"scRestoreFilter", &TOptions::scRestoreFilter},
    {L"Window", L"ConfirmLogicalDel", &TOptions::ConfirmLogicalDel},
    {L"Window", L"ConfirmPhysicalDel", &TOptions::ConfirmPhysicalDel},
    {L"Window", L"ConfirmOverWrite", &TOptions::ConfirmOverWrite},
    {L"Window", L"ConfirmAuthority", &TOptions::ConfirmAuthority},
    {L"Window", L"VerifyFloppy", &TOptions::VerifyFloppy},
    {L"Window", L"CDROMAttr", &TOptions::CDROMAttr},
    {L"Window", L"DosClose", &TOptions::DosClose},
    {L"Window", L"SortByExt", &TOptions::SortByExt},
    {L"List", L"InfoTips", &TOptions::InfoTips},
    {L"Window", L"AutoSort", &TOptions::AutoSort},
    {L"Window", L"SortDirTime", &TOptions::SortDirTime},
    {L"Window", L"TurboIcon", &TOptions::TurboIcon},
    {L"Window", L"RowSelect", &TOptions::RowSelect},
    {L"Others", L"BAKFiles", &TOptions::BAKFiles},
    {L"Window", L"ShowFilter", &TOptions::ShowFilter},
    {L"Window", L"LongVolNames", &TOptions::LongVolNames},
    {L"Window", L"DragImages", &TOptions::DragImages},
    {L"Window", L"SelDirs", &TOptions::SelDirs},
    {L"Window", L"ClickEdits", &TOptions::ClickEdits},
    {L"Window", L"SyncDisplay", &TOptions::SyncDisplay},
    {L"Window", L"LinkOnExeDrag", &TOptions::LinkOnExeDrag},
    {L"Window", L"UseColor", &TOptions::UseColor},
    {L"Window", L"SingleClickExec", &TOptions::SingleClickExec},
    {L"Window", L"Grid", &TOptions::Grid},
    {L"Window", L"DirSize", &TOptions::DirSize},
    {L"Window", L"UseProgIcons", &TOptions::UseProgIcons},
    {L"Window", L"ShowDirWin", &TOptions::ShowDirWin},
    {L"Window", L"UseCompressedColor", &TOptions::UseCompressedColor},
    {L"Window", L"HiddenGrey", &TOptions::HiddenGrey},
    {L"Window", L"DirsOnTop", &TOptions::DirsOnTop},
    {L"Window", L"AutoScrollTree", &TOptions::AutoScrollTree},
    {L"Window", L"AutoExpandDir", &TOptions::AutoExpandDir},
    {L"Window", L"ShowExtension", &TOptions::ShowExtension},
    {L"Window", L"SBAbbreviated", &TOptions::SBAbbreviated},
    {L"List", L"AbbreviatedSize", &TOptions::AbbreviatedSize},
    {L"Window", L"MessageBox", &TOptions::MessageBox},
    {L"Window", L"AutoActivate", &TOptions::AutoActivate},
    {L"List", L"AttrUnderline", &TOptions::AttrUnderline},
    {L"Window", L"ViewFile", &TOptions::ViewFile},
    {L"Window", L"FollowLinks", &TOptions::FollowLinks},
    {L"Others", L"WantTabs", &TOptions::WantTabs},
    {L"Window", L"2TBDrives", &TOptions::TwoTBDrives},
    {L"Window", L"ShowHiddenDirs", &TOptions::ShowHiddenDirs},
};

struct IntRow {
    const wchar_t* name;  // in [Window]
    int32_t TOptions::*field;
    int32_t other;  // a value other than the default
};

const IntRow kIntRows[] = {
    {L"Color", &TOptions::Color, 0x00123456},
    {L"ActiveColor", &TOptions::ActiveColor, 0x00FFFFFF},
    {L"CompressedColor", &TOptions::CompressedColor, 0x000000FF},
    {L"HiddenColor", &TOptions::HiddenColor, 0x00808080},
    {L"PicBKColor", &TOptions::PicBKColor, 0},
    {L"Reload", &TOptions::Reload, 3000},
    {L"DividerStyle", &TOptions::DividerStyle, 0},
    {L"DDExpandDelay", &TOptions::DDExpandDelay, 250},
    {L"TBButtonSize", &TOptions::TBButtonSize, 30},
};

struct ByteRow {
    const wchar_t* name;  // in [Window]
    uint8_t TOptions::*field;
    uint8_t other;  // a value other than the default
};

const ByteRow kByteRows[] = {
    {L"DateTime", &TOptions::DateTime, 2},
    {L"DDOption", &TOptions::DDOption, 3},
    {L"FileDisplay", &TOptions::FileDisplay, 1},
    {L"FileDisplayPos", &TOptions::FileDisplayPos, 1},
    {L"FileNameDisplay", &TOptions::FileNameDisplay, 1},
    {L"Maximized", &TOptions::Maximized, 2},
};

// The record as the defaults make it.
const TOptions& Defaults()
{
    static const TOptions defaults = [] {
        TOptions o;
        SetDefaultOptions(o, TSystemFacts{});
        return o;
    }();
    return defaults;
}

}  // namespace

TEST_F(StoredSettings, AnEmptyStoreLeavesEveryDefault)
{
    auto store = Store();
    Load(*store);
    for (const BoolRow& row : kBoolRows)
        EXPECT_EQ(options.*row.field, Defaults().*row.field) << row.name;
    for (const IntRow& row : kIntRows)
        EXPECT_EQ(options.*row.field, Defaults().*row.field) << row.name;
    for (const ByteRow& row : kByteRows)
        EXPECT_EQ(options.*row.field, Defaults().*row.field) << row.name;
    EXPECT_EQ(state.Bounds, (TBounds{10, 20, 900, 650})) << "the window keeps its bounds";
    EXPECT_FALSE(state.BoundsStored);
    ASSERT_EQ(options.FilterList.size(), 1u);
    EXPECT_EQ(options.FilterList[0], (TFilterRec{L"Alle Dateien", L"*.*"}));
}

TEST_F(StoredSettings, EveryStoredSwitchRoundTripsUnderItsName)
{
    auto source = Store();
    for (const BoolRow& row : kBoolRows)
        source->WriteBool(row.section, row.name, !(Defaults().*row.field));
    Load(*source);
    for (const BoolRow& row : kBoolRows)
        EXPECT_EQ(options.*row.field, !(Defaults().*row.field)) << row.name << " is read";

    auto saved = Saved();
    for (const BoolRow& row : kBoolRows)
        EXPECT_EQ(Value(*saved, row.section, row.name), Defaults().*row.field ? L"0" : L"1")
            << row.name << " is written";
}

TEST_F(StoredSettings, EveryStoredNumberRoundTripsUnderItsName)
{
    auto source = Store();
    for (const IntRow& row : kIntRows)
        source->WriteInteger(L"Window", row.name, row.other);
    for (const ByteRow& row : kByteRows)
        source->WriteInteger(L"Window", row.name, row.other);
    Load(*source);
    for (const IntRow& row : kIntRows)
        EXPECT_EQ(options.*row.field, row.other) << row.name;
    for (const ByteRow& row : kByteRows)
        EXPECT_EQ(options.*row.field, row.other) << row.name;

    auto saved = Saved();
    for (const IntRow& row : kIntRows)
        EXPECT_EQ(saved->IniFile().ReadInteger(L"Window", row.name, -7), row.other) << row.name;
    for (const ByteRow& row : kByteRows)
        EXPECT_EQ(saved->IniFile().ReadInteger(L"Window", row.name, -7), row.other) << row.name;
}

TEST_F(StoredSettings, ValuesTheLoadMustNotTake)
{
    struct Case {
        const wchar_t* line;
        const char* what;
        std::function<void(const TOptions&, const TMainWindowState&)> check;
    } cases[] = {
        {L"Maximized=1", "a minimised window comes back normal",
         [](const TOptions& o, const TMainWindowState&) { EXPECT_EQ(o.Maximized, 0); }},
        {L"DateTime=300", "a byte value out of range keeps the default",
         [](const TOptions& o, const TMainWindowState&) { EXPECT_EQ(o.DateTime, 0); }},
        {L"Charset=999", "so does a charset out of range",
         [](const TOptions& o, const TMainWindowState&) { EXPECT_EQ(o.ListFont.Charset, 0); }},
    };
    for (const Case& c : cases) {
        SetUp();
        auto store = Store({L"[Window]", c.line});
        Load(*store);
        SCOPED_TRACE(c.what);
        c.check(options, state);
    }
}

TEST_F(StoredSettings, OthersSectionRules)
{
    struct Case {
        const wchar_t* line;
        int maxSDS;
    } cases[] = {{L"MaxSDS=0", 1}, {L"MaxSDS=-4", 1}, {L"MaxSDS=7", 7}, {L"X=1", 5}};
    for (const Case& c : cases) {
        SetUp();
        state = TMainWindowState{};
        auto store = Store({L"[Others]", c.line});
        Load(*store);
        EXPECT_EQ(state.MaxSDS, c.maxSDS) << c.line;
    }
}

TEST_F(StoredSettings, UpdateLevelAndTheOldCommandLineSwitch)
{
    struct Case {
        const wchar_t* level;
        bool commandLineRead;
        int saved;
    } cases[] = {
        {L"UpdateLevel=0", true, 460},
        {L"UpdateLevel=459", true, 460},
        {L"UpdateLevel=460", false, 460},
        {L"UpdateLevel=512", false, 512},
    };
    for (const Case& c : cases) {
        SetUp();
        state = TMainWindowState{};
        auto store = Store({L"[Others]", c.level, L"[Window]", L"CommandLine=1"});
        Load(*store);
        EXPECT_EQ(state.CommandLineToolbar.has_value(), c.commandLineRead) << c.level;
        EXPECT_EQ(state.CommandLineToolbar.value_or(false), c.commandLineRead) << c.level;
        auto saved = Saved();
        EXPECT_EQ(saved->IniFile().ReadInteger(L"Others", L"UpdateLevel", -1), c.saved) << c.level;
        EXPECT_EQ(Value(*saved, L"Window", L"CommandLine"), L"<none>") << "read, never written";
    }
}

TEST_F(StoredSettings, GeometryIsFittedAndTheTreeLeavesRoomForTheLists)
{
    auto store = Store({L"[Window]", L"Left=-3000", L"Top=40", L"Width=800", L"Height=20", L"Splitter=790",
                        L"HSplitter=170", L"Splitter2X=300", L"Splitter2Y=260"});
    Load(*store);
    EXPECT_TRUE(state.BoundsStored);
    EXPECT_EQ(state.Bounds, (TBounds{50, 40, 800, 512})) << "off-screen left and a tiny height are mended";
    EXPECT_EQ(state.Splitter, 750) << "window width - 50";
    EXPECT_EQ(state.HSplitter, 170);
    EXPECT_EQ(state.Splitter2X, 300);
    EXPECT_EQ(state.Splitter2Y, 260);
}

TEST_F(StoredSettings, FontsKeepOnlyBoldAndItalic)
{
    auto store = Store({L"[Window]", L"FontName=Tahoma", L"FontSize=10", L"FontStyle=15", L"Charset=238",
                        L"TextFontName=Lucida Console", L"TextFontSize=11", L"TextFontStyle=2"});
    Load(*store);
    EXPECT_EQ(options.ListFont, (TFontSetting{L"Tahoma", 10, fsBoldBit | fsItalicBit, 238}));
    EXPECT_EQ(options.TextFont, (TFontSetting{L"Lucida Console", 11, fsItalicBit, 0}));

    options.ListFont.Style = fsBoldBit | fsUnderlineBit;
    auto saved = Saved();
    EXPECT_EQ(Value(*saved, L"Window", L"FontStyle"), L"1") << "underline is not stored";
    EXPECT_EQ(Value(*saved, L"Window", L"Charset"), L"238");
    EXPECT_EQ(Value(*saved, L"Window", L"TextFontName"), L"Lucida Console");
}

TEST_F(StoredSettings, FontNamesKeepWhatTheSystemTakes)
{
    const std::wstring name30 = L"Quorvan Sample Sans Condensed1";  // 30 characters
    const std::wstring name40 = name30 + L"0123456789";
    ASSERT_EQ(name30.size(), 30u);
    const std::wstring listLine = L"FontName=" + name30;
    const std::wstring textLine = L"TextFontName=" + name40;
    auto store = Store({L"[Window]", listLine.c_str(), textLine.c_str()});
    Load(*store);
    EXPECT_EQ(options.ListFont.Name, name30);
    EXPECT_EQ(options.TextFont.Name, name40.substr(0, 31)) << "cut at the system's face-name size";

    auto saved = Saved();
    EXPECT_EQ(Value(*saved, L"Window", L"FontName"), name30);
    Load(*saved);
    EXPECT_EQ(options.ListFont.Name, name30) << "survives save and load";
}

TEST_F(StoredSettings, ForcedValuesWhateverTheStoreHolds)
{
    options.ShowNetwork = options.TrayApp = options.UseActiveX = options.FSMonitorActive = true;
    auto store = Store({L"[Window]", L"ShowNetwork=1", L"TrayApp=1", L"UseActiveX=1", L"FSMonitorActive=1"});
    Load(*store);
    EXPECT_FALSE(options.ShowNetwork);
    EXPECT_FALSE(options.TrayApp);
    EXPECT_FALSE(options.UseActiveX);
    EXPECT_FALSE(options.FSMonitorActive);
}

TEST_F(StoredSettings, TheArchiveListSwitchIsReadAndSavedLikeTheOtherSwitches)
{
    struct Case {
        std::vector<const wchar_t*> lines;
        bool expected;
    };
    const Case cases[] = {
        {{L"[Window]", L"ViewArchive=1"}, true},
        {{L"[Window]", L"ViewArchive=0"}, false},
        {{L"[Window]"}, false},
    };
    for (const Case& c : cases) {
        SetDefaultOptions(options, TSystemFacts{});
        auto store = Store(c.lines);
        Load(*store);
        EXPECT_EQ(options.ViewArchive, c.expected) << c.lines.size();
        auto saved = Saved();
        EXPECT_EQ(Value(*saved, L"Window", L"ViewArchive"), c.expected ? L"1" : L"0");
        options.ViewArchive = !c.expected;
        Load(*saved);
        EXPECT_EQ(options.ViewArchive, c.expected) << "survives save and load";
    }
}

TEST_F(StoredSettings, StartDirectoriesFollowRestoreInitDir)
{
    auto store = Store({L"[Window]", L"StartDir=D:\\Daten", L"[List2]", L"StartDir=E:\\"});
    Load(*store);
    EXPECT_EQ(options.StartDir, L"D:\\Daten");
    EXPECT_EQ(options.StartDir2, L"E:\\");

    SetUp();
    options.StartDir = L"X:\\";
    auto off = Store({L"[Window]", L"RestoreInitDir=0", L"StartDir=D:\\Daten", L"[List2]", L"StartDir=E:\\"});
    Load(*off);
    EXPECT_EQ(options.StartDir, L"");
    EXPECT_EQ(options.StartDir2, L"");
}

TEST_F(StoredSettings, ANetworkStartDirectoryIsSavedAsTheDefaultDrivesRoot)
{
    facts.DefaultDriveRoot = L"D:\\";
    struct Case {
        const wchar_t* path;
        const wchar_t* stored;
    } cases[] = {{L"\\\\server\\share\\dir", L"D:\\"}, {L"E:\\Projekte", L"E:\\Projekte"}};
    for (const Case& c : cases) {
        state.ListPath1 = c.path;
        state.ListPath2 = c.path;
        facts.SecondFileWinShown = true;
        auto saved = Saved();
        EXPECT_EQ(Value(*saved, L"Window", L"StartDir"), c.stored) << c.path;
        EXPECT_EQ(Value(*saved, L"List2", L"StartDir"), c.stored) << c.path;
    }
    facts.SecondFileWinShown = false;
    options.StartDir2 = L"F:\\Alt";
    auto saved = Saved();
    EXPECT_EQ(Value(*saved, L"List2", L"StartDir"), L"F:\\Alt") << "the hidden window's last folder";
}

TEST_F(StoredSettings, ColumnsViewAndSortWithAndWithoutSyncDisplay)
{
    auto synced = Store({L"[List]", L"ColWidth0=300", L"ColWidth4=10", L"ColOrder0=4", L"ColOrder4=0", L"[List2]",
                         L"ColWidth0=99", L"ViewStyle=1", L"[Window]", L"ViewStyle=2", L"SortColumn=3",
                         L"SortAscending=0", L"[ZipLV]", L"ColWidth2=77"});
    Load(*synced);
    EXPECT_EQ(state.List1.ColWidths, (std::vector<int>{300, 80, 120, 120, 10}));
    EXPECT_EQ(state.List2.ColWidths, state.List1.ColWidths) << "the second list copies the first";
    EXPECT_EQ(state.List1.ColOrder, (std::vector<int>{4, 1, 2, 3, 0}));
    EXPECT_EQ(state.List2.ColOrder, state.List1.ColOrder);
    EXPECT_EQ(state.List2.ViewStyle, 2);
    EXPECT_EQ(state.ZipList.SortColumn, 3);
    EXPECT_FALSE(state.ZipList.SortAscending);
    EXPECT_EQ(state.ZipList.ColWidths[2], 77);

    SetUp();
    auto separate = Store({L"[Window]", L"SyncDisplay=0", L"ViewStyle=2", L"[List2]", L"ColWidth0=99", L"ViewStyle=1",
                           L"ColOrder0=1", L"ColOrder1=0"});
    Load(*separate);
    EXPECT_EQ(state.List2.ColWidths[0], 99);
    EXPECT_EQ(state.List2.ViewStyle, 1);
    EXPECT_EQ(state.List2.ColOrder, (std::vector<int>{1, 0, 2, 3, 4}));
    auto saved = Saved();
    EXPECT_EQ(Value(*saved, L"List2", L"ViewStyle"), L"1");
    EXPECT_EQ(Value(*saved, L"List2", L"ColOrder0"), L"1");
    EXPECT_EQ(Value(*saved, L"List2", L"ColWidth0"), L"99");
}

TEST_F(StoredSettings, AColumnOrderThatIsNoPermutationIsRefused)
{
    auto store = Store({L"[List]", L"ColOrder0=1", L"ColOrder1=1"});
    Load(*store);
    EXPECT_EQ(state.List1.ColOrder, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(StoredSettings, HistoriesAreSavedAsFarAsTheyAreLoaded)
{
    auto store = Store();
    for (int i = 0; i < 12; ++i) {
        store->WriteString(L"CommandLines", L"CommandLines" + std::to_wstring(i), L"cmd" + std::to_wstring(i));
        store->WriteString(L"Mask", L"Mask" + std::to_wstring(i), L"*.m" + std::to_wstring(i));
        store->WriteString(L"RecentDir", L"RecentDir" + std::to_wstring(i), L"C:\\d" + std::to_wstring(i));
    }
    state.RecentDirLimit = 8;
    Load(*store);
    EXPECT_EQ(state.CommandLines.size(), 10u);
    EXPECT_EQ(state.Masks.size(), 10u);
    EXPECT_EQ(state.RecentDirs1.size(), 8u);

    // Saving what was loaded and loading it again gives the same histories.
    state.CommandLines.push_back(L"one more");
    auto saved = Saved();
    EXPECT_EQ(Value(*saved, L"CommandLines", L"CommandLines9"), L"cmd9");
    EXPECT_EQ(Value(*saved, L"CommandLines", L"CommandLines10"), L"<none>");
    EXPECT_EQ(Value(*saved, L"RecentDir", L"RecentDir8"), L"<none>");
    const auto before = state;
    Load(*saved);
    EXPECT_EQ(state.CommandLines,
              std::vector<std::wstring>(before.CommandLines.begin(), before.CommandLines.begin() + 10));
    EXPECT_EQ(state.RecentDirs1, before.RecentDirs1);
}

TEST_F(StoredSettings, AShorterHistoryLeavesNoOldEntriesBehind)
{
    auto store = Store({L"[SelDirHistory]", L"Dir0=A", L"Dir1=B", L"Dir2=C"});
    state.SelDirs = {L"Z"};
    SaveStoredSettings(*store, options, state, bookmarks, captions, facts, {});
    Load(*store);
    EXPECT_EQ(state.SelDirs, std::vector<std::wstring>{L"Z"});
}

TEST_F(StoredSettings, SavingTheSameHistoriesAgainKeepsTheFileAsItIs)
{
    state.RecentDirs1 = {L"C:\\Daten", L"C:\\Temp"};
    state.CommandLines = {L"dir"};
    auto store = Saved();
    const auto text = [&] {
        TStringList lines;
        store->IniFile().GetStrings(lines);
        return lines.Text();
    };
    const std::wstring first = text();
    SaveStoredSettings(*store, options, state, bookmarks, captions, facts, {});
    EXPECT_EQ(text(), first) << "no history section moved behind the ones after it";

    state.RecentDirs1 = {L"C:\\Temp"};
    SaveStoredSettings(*store, options, state, bookmarks, captions, facts, {});
    Load(*store);
    EXPECT_EQ(state.RecentDirs1, std::vector<std::wstring>{L"C:\\Temp"}) << "a changed history is still written";
}

TEST_F(StoredSettings, TheSecondListsHistoryNeedsItsWindow)
{
    auto store = Store({L"[Window]", L"SecondFileWin=0", L"[RecentDir2]", L"RecentDir0=C:\\zwei"});
    Load(*store);
    EXPECT_TRUE(state.RecentDirs2.empty());
    state.RecentDirs2 = {L"D:\\neu"};
    facts.SecondFileWinShown = false;
    SaveStoredSettings(*store, options, state, bookmarks, captions, facts, {});
    EXPECT_EQ(Value(*store, L"RecentDir2", L"RecentDir0"), L"C:\\zwei") << "kept while the window is hidden";
}

TEST_F(StoredSettings, FunctionKeysAreWrittenOnlyAfterAChange)
{
    auto store = Store({L"[FKeyShift]", L"F1=Editor\u00BBnotepad.exe\u00BB[!]", L"[FKeyCtrl]", L"F12=Nur Titel"});
    Load(*store);
    EXPECT_EQ(options.FKeys[0][0], (TFKeyRecord{L"Editor", L"notepad.exe", L"[!]", -1}));
    EXPECT_EQ(options.FKeys[1][11].Caption, L"Nur Titel");
    EXPECT_EQ(options.FKeys[0][1], TFKeyRecord{}) << "a missing value is an empty command";

    EXPECT_EQ(Value(*Saved(), L"FKeyShift", L"F1"), L"<none>");
    auto saved = Saved(TSaveFlags{.FKeysChanged = true});
    EXPECT_EQ(Value(*saved, L"FKeyShift", L"F1"), L"Editor\u00BBnotepad.exe\u00BB[!]");
    EXPECT_EQ(Value(*saved, L"FKeyCtrl", L"F3"), L"\u00BB\u00BB");
}

TEST_F(StoredSettings, AFirstRunCompletesCommandsFromTheSearchPath)
{
    facts.FirstRun = true;
    facts.FindOnSearchPath = [](const std::wstring& name) {
        return name == L"notepad.exe" ? std::wstring(L"C:\\Windows\\notepad.exe") : std::wstring();
    };
    auto store = Store({L"[FKeyShift]", L"F1=A\u00BBnotepad.exe\u00BB", L"F2=B\u00BBunknown.exe\u00BB",
                        L"F3=C\u00BBD:\\tools\\notepad.exe\u00BB"});
    EXPECT_TRUE(Load(*store).FKeysCompleted);
    EXPECT_EQ(options.FKeys[0][0].Command, L"C:\\Windows\\notepad.exe");
    EXPECT_EQ(options.FKeys[0][1].Command, L"unknown.exe");
    EXPECT_EQ(options.FKeys[0][2].Command, L"D:\\tools\\notepad.exe");

    facts.FirstRun = false;
    auto again = Store({L"[FKeyShift]", L"F1=A\u00BBnotepad.exe\u00BB"});
    EXPECT_FALSE(Load(*again).FKeysCompleted);
    EXPECT_EQ(options.FKeys[0][0].Command, L"notepad.exe");
}

TEST_F(StoredSettings, BookmarksAndTheirDefaults)
{
    facts.WindowsDirectory = L"C:\\Windows";
    facts.PersonalFolder = L"C:\\Users\\u\\Documents";
    auto empty = Store();
    Load(*empty);
    ASSERT_EQ(bookmarks.Count(), 2);
    EXPECT_EQ(bookmarks[0], L"C:\\Windows");
    EXPECT_EQ(captions[0], L"");
    EXPECT_EQ(bookmarks[1], L"C:\\Users\\u\\Documents");
    EXPECT_EQ(captions[1], L"Eigene Dateien");
    EXPECT_EQ(Value(*Saved(), L"StdDirs", L"StdDirs0"), L"<none>") << "defaults are not written unchanged";

    auto stored =
        Store({L"[StdDirs]", L"StdDirs0=D:\\A", L"StdDirCap0=Alpha", L"StdDirs1=D:\\B", L"StdDirs3=D:\\late"});
    Load(*stored);
    ASSERT_EQ(bookmarks.Count(), 2) << "ends at the first index without either value";
    EXPECT_EQ(captions[0], L"Alpha");
    bookmarks.Delete(0);
    captions.Delete(0);
    SaveStoredSettings(*stored, options, state, bookmarks, captions, facts, TSaveFlags{.BookmarksChanged = true});
    EXPECT_EQ(Value(*stored, L"StdDirs", L"StdDirs0"), L"D:\\B");
    EXPECT_EQ(Value(*stored, L"StdDirs", L"StdDirs1"), L"<none>") << "the section is rewritten";
    EXPECT_EQ(Value(*stored, L"StdDirs", L"StdDirs3"), L"<none>");
}

TEST_F(StoredSettings, EveryBookmarkSavedIsReadBack)
{
    // More than a hundred, with separators (caption "-", no path), a path
    // without caption and a caption holding "=" and an ampersand.
    TStringList paths;
    TStringList names;
    for (int i = 0; i < 120; ++i) {
        const bool separator = i % 10 == 9;
        paths.Add(separator ? L"" : L"D:\Ordner " + std::to_wstring(i));
        names.Add(separator ? L"-" : i == 3 ? L"" : L"Name=" + std::to_wstring(i) + L" A&&B");
    }
    bookmarks.Assign(paths);
    captions.Assign(names);
    auto stored = Saved(TSaveFlags{.BookmarksChanged = true});
    bookmarks.Clear();
    captions.Clear();
    Load(*stored);
    ASSERT_EQ(bookmarks.Count(), paths.Count());
    for (int i = 0; i < paths.Count(); ++i) {
        EXPECT_EQ(bookmarks[i], paths[i]) << i;
        EXPECT_EQ(captions[i], names[i]) << i;
    }
}

TEST_F(StoredSettings, NamedFiltersKeepAllFilesFirst)
{
    auto store = Store({L"[StdFilter]", L"Filter0=Bilder", L"Mask0=*.jpg;*.png", L"Filter1=Alles", L"Mask1=*.*",
                        L"Filter2=Ohne Maske", L"Filter3=Spät", L"Mask3=*.x"});
    Load(*store);
    ASSERT_EQ(options.FilterList.size(), 2u) << "ends at the first entry without a mask";
    EXPECT_EQ(options.FilterList[0], (TFilterRec{L"Alles", L"*.*"}));
    EXPECT_EQ(options.FilterList[1], (TFilterRec{L"Bilder", L"*.jpg;*.png"}));

    auto unchanged = Saved();
    EXPECT_EQ(Value(*unchanged, L"StdFilter", L"Filter0"), L"<none>");
    auto changed = Saved(TSaveFlags{.FilterListChanged = true});
    EXPECT_EQ(Value(*changed, L"StdFilter", L"Filter0"), L"Alles");
    EXPECT_EQ(Value(*changed, L"StdFilter", L"Mask1"), L"*.jpg;*.png");
}

TEST_F(StoredSettings, CurrentFilterIsReadOnlyWhenRestoringFilters)
{
    std::vector<const wchar_t*> lines = {
        L"[CurrentFilter]",    L"MaskList=*.txt",   L"AttrList=+-*+-*", L"SizeFromList=10", L"SizeToList=5000000000",
        L"DateFromList=10000", L"DateToList=20000", L"DateSinceList=3", L"AttrList2=+-",    L"MaskList2=*.doc"};
    auto off = Store(lines);
    Load(*off);
    EXPECT_EQ(state.Filter1.Mask, L"*.*") << "without scRestoreFilter the lists start unfiltered";

    SetUp();
    lines.insert(lines.end(), {L"[Window]", L"scRestoreFilter=1"});
    auto store = Store(lines);
    Load(*store);
    EXPECT_EQ(state.Filter1.Mask, L"*.txt");
    EXPECT_EQ(state.Filter1.Attributes, (TAttrChoices{TSelAttr::SelYes, TSelAttr::SelNo, TSelAttr::SelDontCare,
                                                      TSelAttr::SelYes, TSelAttr::SelNo, TSelAttr::SelDontCare}));
    EXPECT_EQ(state.Filter1.SizeFrom, 10);
    EXPECT_EQ(state.Filter1.SizeTo, 5000000000LL) << "sizes are 64-bit";
    EXPECT_EQ(state.Filter1.DateFrom, 10000);
    EXPECT_EQ(state.Filter1.DaysSince, 3);
    EXPECT_EQ(state.Filter2.Mask, L"*.doc");
    EXPECT_EQ(state.Filter2.Attributes, TAttrChoices{}) << "\"+-\" is too short and leaves the default";

    auto saved = Saved();
    EXPECT_EQ(Value(*saved, L"CurrentFilter", L"SizeToList"), L"5000000000");
    EXPECT_EQ(Value(*saved, L"CurrentFilter", L"AttrList"), L"+-*+-*");
    EXPECT_EQ(Value(*saved, L"CurrentFilter", L"AttrList2"), L"******");
}

TEST_F(StoredSettings, ValuesWithoutTheirControlYetAreWrittenBackUnchanged)
{
    auto store = Store({L"[FileList]",         L"Filename=liste.csv",
                        L"FormatIndex=2",      L"Settings=XX-XX-XX-X",
                        L"[PrintList]",        L"FontName=Arial",
                        L"TwoPages=1",         L"Settings=X-X-X-",
                        L"[SelDir]",           L"Width=400",
                        L"Height=300",         L"[Toolbars]",
                        L"ToolbarAuswahl=X-X", L"ToolbarCMDLine=XXXXXXXXXX",
                        L"[Window]",           L"AlignPicture=1",
                        L"[TextSettings]",     L"WordWrap=1",
                        L"TabStops=4",         L"[HexEditor]",
                        L"BytesPerLine=32"});
    Load(*store);
    auto saved = Saved();
    const struct {
        const wchar_t* section;
        const wchar_t* name;
        const wchar_t* value;
    } kept[] = {
        {L"FileList", L"Filename", L"liste.csv"},
        {L"FileList", L"FormatIndex", L"2"},
        {L"FileList", L"Settings", L"XX-XX-XX-X"},
        {L"PrintList", L"FontName", L"Arial"},
        {L"PrintList", L"TwoPages", L"1"},
        {L"PrintList", L"Settings", L"X-X-X-"},
        {L"SelDir", L"Width", L"400"},
        {L"SelDir", L"Height", L"300"},
        {L"Toolbars", L"ToolbarAuswahl", L"X-X"},
        {L"Toolbars", L"ToolbarCMDLine", L"XXXXXXXXXX"},
        {L"Window", L"AlignPicture", L"1"},
        {L"TextSettings", L"WordWrap", L"1"},
        {L"TextSettings", L"TabStops", L"4"},
        {L"HexEditor", L"BytesPerLine", L"32"},
    };
    for (const auto& k : kept)
        EXPECT_EQ(Value(*saved, k.section, k.name), k.value) << k.section << "/" << k.name;
    EXPECT_EQ(Value(*saved, L"PrintList", L"Width"), L"<none>") << "what was never stored is not invented";
    EXPECT_EQ(Value(*saved, L"Toolbars", L"ToolbarDatei"), L"<none>");
}

// The text properties form's values: read from [TextSettings] and written
// back; a file without them leaves the editor's defaults.
TEST_F(StoredSettings, TheTextPropertiesAreReadAndWritten)
{
    auto store = Store({L"[TextSettings]", L"PaintMargin=0", L"EnableDragging=0", L"SelectBeyondEol=0", L"KeepColumn=1",
                        L"EnTabBlock=1", L"ShowScrollHint=1", L"KeyMapping=2", L"TabStopList=4 8 12", L"WhiteSpace=1",
                        L"OverWriteBlocks=0", L"[Others]", L"WantTabs=1"});
    Load(*store);
    const TEditorStoredOptions& editor = state.Editor;
    EXPECT_FALSE(editor.PaintMargin);
    EXPECT_FALSE(editor.EnableDragging);
    EXPECT_FALSE(editor.SelectBeyondEol);
    EXPECT_TRUE(editor.KeepColumn);
    EXPECT_TRUE(editor.EnTabBlock);
    EXPECT_TRUE(editor.ShowScrollHint);
    EXPECT_EQ(editor.KeyMapping, 2);
    EXPECT_EQ(editor.TabStopList, L"4 8 12");
    EXPECT_TRUE(editor.WhiteSpace);
    EXPECT_TRUE(options.WantTabs);
    auto saved = Saved();
    for (const auto& [name, value] : std::vector<std::pair<std::wstring, std::wstring>>{{L"PaintMargin", L"0"},
                                                                                        {L"KeepColumn", L"1"},
                                                                                        {L"ShowScrollHint", L"1"},
                                                                                        {L"KeyMapping", L"2"},
                                                                                        {L"TabStopList", L"4 8 12"},
                                                                                        {L"OverWriteBlocks", L"0"}})
        EXPECT_EQ(Value(*saved, L"TextSettings", name.c_str()), value) << WideToUtf8(name);

    state = TMainWindowState{};
    auto empty = Store({L"[Window]", L"Width=900"});
    Load(*empty);
    EXPECT_TRUE(state.Editor.PaintMargin);
    EXPECT_TRUE(state.Editor.OverWriteBlocks) << "the editor's own defaults";
    EXPECT_FALSE(state.Editor.KeepColumn);
    EXPECT_EQ(state.Editor.KeyMapping, 0);
    EXPECT_TRUE(state.Editor.TabStopList.empty());
}

TEST_F(StoredSettings, TheFileKeepsWhatTheProgramDoesNotWrite)
{
    const std::wstring file = dir.File(L"keep.ini");
    {
        std::ofstream out(std::string(file.begin(), file.end()), std::ios::binary);
        out << "; comment\r\n[X]\r\nk=v\r\n[Window]\r\nSquareThumb=0\r\nWidth=900\r\n[Others]\r\nShowDirs=0\r\n";
    }
    {
        TKyIniRegistry store(file);
        Load(store);
        EXPECT_FALSE(options.SquareThumb);
        EXPECT_FALSE(options.ShowDirs);
        SaveStoredSettings(store, options, state, bookmarks, captions, facts, {});
        store.UpdateFile();
    }
    TMemIniFile reread(file);
    EXPECT_EQ(reread.ReadString(L"X", L"k", L""), L"v");
    EXPECT_EQ(reread.ReadString(L"Window", L"SquareThumb", L""), L"0") << "load-only values survive";
    EXPECT_EQ(reread.ReadString(L"Others", L"ShowDirs", L""), L"0");
    EXPECT_EQ(reread.ReadInteger(L"Window", L"Width", 0), 900);
    EXPECT_EQ(reread.ReadInteger(L"Others", L"UpdateLevel", 0), 460);
}

// The stored format, byte for byte: tests/settings/golden/Settings.ini was
// written by the save from the state built below, with every section in use.
// Saving that state again must give the same bytes, and loading the file and
// saving what was read must give them too, so every value the save writes is
// read back by the load.

#include "TestDir.h"

#include "GoldenSettingsIni.h"
#include "framework/StringList.h"
#include "settings/KyRegistry.h"
#include "settings/StoredSettings.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

class StoredSettingsGolden : public testing::Test {
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
        facts.SecondFileWinShown = true;
    }

    static std::string GoldenBytes() { return std::string(kGoldenSettingsIni, sizeof(kGoldenSettingsIni)); }

    // Values unlike every default, in every section the save writes.
    void FillEverySection()
    {
        options.Maximized = 2;
        state.Bounds = TBounds{33, 44, 1000, 700};
        state.Splitter = 260;
        state.HSplitter = 190;
        state.Splitter2X = 410;
        state.Splitter2Y = 230;
        options.SyncDisplay = false;
        options.scRestoreFilter = true;
        options.RestoreInitDir = true;
        options.ConfirmOverWrite = false;
        options.Grid = true;
        options.TwoTBDrives = true;
        options.ViewArchive = true;
        options.AbbreviatedSize = false;
        options.WantTabs = true;
        state.AlignPicture = true;
        options.ListFont = TFontSetting{L"Tahoma", 10, fsBoldBit, 1};
        options.TextFont = TFontSetting{L"Lucida Console", 11, fsItalicBit, 2};
        state.Editor.ShowRulers = true;
        state.Editor.WordWrap = true;
        state.Editor.InsertMode = false;
        state.Editor.TabStops = 4;
        state.Editor.PaintMargin = false;
        state.Editor.OverWriteBlocks = false;
        state.Editor.KeepColumn = true;
        state.Editor.KeyMapping = 2;
        state.Editor.TabStopList = L"4 8";
        options.Color = 0x00123456;
        options.Reload = 3000;
        options.TBButtonSize = 30;
        options.DateTime = 2;
        options.FileNameDisplay = 1;
        state.SelDirWidth = 420;
        state.SelDirHeight = 380;
        options.UseCompressedColor = false;
        options.CompressedColor = 0x000000FF;
        state.Hex = THexStoredSettings{1, 32, 4, 2};
        state.List1.ColWidths = {151, 81, 121, 122, 46};
        state.List2.ColWidths = {152, 82, 123, 124, 47};
        state.ZipList.ColWidths = {153, 83, 125, 126, 48};
        state.List1.ViewStyle = 1;
        state.List1.SortAscending = false;
        state.List1.SortColumn = 2;
        state.List2.ViewStyle = 2;
        state.List2.SortColumn = 3;
        state.List1.ColOrder = {1, 0, 2, 4, 3};
        state.List2.ColOrder = {4, 3, 2, 1, 0};
        state.ListPath1 = L"C:\\Daten\\Übersicht";
        state.ListPath2 = L"D:\\Archiv";
        options.FKeys[0][0] = TFKeyRecord{L"Editor", L"C:\\Tools\\edit.exe", L"%1", -1};
        options.FKeys[1][11] = TFKeyRecord{L"Packen", L"C:\\Tools\\pack.exe", L"-a %1", -1};
        state.CommandLines = {L"dir /s", L"copy a b"};
        state.RecentDirs1 = {L"C:\\Daten", L"C:\\Temp"};
        state.RecentDirs2 = {L"D:\\Archiv"};
        bookmarks.Add(L"C:\\Windows");
        captions.Add(L"");
        bookmarks.Add(L"C:\\Eigene");
        captions.Add(L"Eigene Dateien");
        options.FilterList = {TFilterRec{L"Alle Dateien", L"*.*"}, TFilterRec{L"Bilder", L"*.png;*.jpg"}};
        state.Masks = {L"*.txt", L"*.cpp"};
        state.SelDirs = {L"C:\\Quelle"};
        state.Filter1.Mask = L"*.log";
        state.Filter1.Attributes = {TSelAttr::SelYes,      TSelAttr::SelNo,       TSelAttr::SelDontCare,
                                    TSelAttr::SelDontCare, TSelAttr::SelDontCare, TSelAttr::SelYes};
        state.Filter1.SizeFrom = 5000000000;
        state.Filter2.DateFrom = 1000;
        state.Filter2.DaysSince = 7;
        options.IrfanViewPath = L"C:\\Bild\\view.exe";
        options.CompareProgPath = L"C:\\Vergleich\\cmp.exe";
        state.UpdateLevel = 470;
        state.FileList = TFileListStoredSettings{L"liste.txt", 2, L"XX--XX--X-"};
        state.PrintList = TPrintListStoredSettings{L"Arial", 9, 1, L"X-X-X-", 800, 600, true};
        state.Toolbars[0] = L"XXX-X";
        state.Toolbars[6] = L"X";
    }

    // Writes the state into a fresh file and returns its bytes.
    std::string SaveToFreshFile(const std::wstring& name)
    {
        TKyIniRegistry store(dir.File(name));
        SaveStoredSettings(store, options, state, bookmarks, captions, facts, TSaveFlags{true, true, true});
        store.UpdateFile();
        return dir.Read(name);
    }

    test::TestDir dir;
    TOptions options;
    TMainWindowState state;
    TStringList bookmarks;
    TStringList captions;
    TSettingsFacts facts;
};

}  // namespace

TEST_F(StoredSettingsGolden, SavingTheFullStateWritesTheGoldenBytes)
{
    FillEverySection();
    EXPECT_EQ(SaveToFreshFile(L"saved.ini"), GoldenBytes());
}

TEST_F(StoredSettingsGolden, TheGoldenFileLoadsAndSavesToTheSameBytes)
{
    TKyIniRegistry golden(dir.Write(L"golden.ini", GoldenBytes()));
    LoadStoredSettings(golden, options, state, bookmarks, captions, facts);
    // The lists show the start folders the load read, as in the window.
    state.ListPath1 = options.StartDir;
    state.ListPath2 = options.StartDir2;
    EXPECT_EQ(SaveToFreshFile(L"resaved.ini"), GoldenBytes());
}

TEST_F(StoredSettingsGolden, SavingOverTheSameFileAgainChangesNothing)
{
    // Saving over a file rewrites the histories as new sections at its end,
    // so the first save may reorder; from then on a load and save keeps
    // every byte.
    const std::wstring file = dir.Write(L"golden.ini", GoldenBytes());
    auto loadAndSaveOver = [&] {
        TKyIniRegistry store(file);
        LoadStoredSettings(store, options, state, bookmarks, captions, facts);
        state.ListPath1 = options.StartDir;
        state.ListPath2 = options.StartDir2;
        SaveStoredSettings(store, options, state, bookmarks, captions, facts, TSaveFlags{true, true, true});
        store.UpdateFile();
        return dir.Read(L"golden.ini");
    };
    const std::string once = loadAndSaveOver();
    EXPECT_EQ(once.size(), GoldenBytes().size()) << "the same lines, some sections moved";
    EXPECT_EQ(loadAndSaveOver(), once);
}

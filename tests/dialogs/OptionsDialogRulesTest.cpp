// The options dialog's rules without a window: the field and radio tables,
// the track bars and thumbnail sizes, the function-key and filter grids, and
// the checks OK makes.

#include "dialogs/FKeyGrid.h"
#include "dialogs/FilterGrid.h"
#include "dialogs/OptionsChecks.h"
#include "dialogs/OptionsFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace qrv;

namespace {

TOptions DefaultRecord()
{
    TOptions options;
    SetDefaultOptions(options, TSystemFacts{});
    return options;
}

}  // namespace

TEST(OptionsFields, CheckBoxesCarryTheirSwitchesBothWays)
{
    std::set<std::wstring> names;
    std::vector<bool TOptions::*> fields;
    for (const TOptionCheck& check : OptionChecks()) {
        EXPECT_TRUE(names.insert(check.Name).second) << "two boxes named " << check.Name;
        EXPECT_EQ(std::count(fields.begin(), fields.end(), check.Field), 0) << "two boxes edit " << check.Name;
        fields.push_back(check.Field);
        EXPECT_FALSE(check.Disabled && !check.Hidden) << check.Name;
    }
    EXPECT_EQ(std::count(fields.begin(), fields.end(), &TOptions::UseRegistry), 0)
        << "the registry switch is never read from its box";

    // Every switch goes into its box and comes back, hidden boxes included.
    const TOptions before = DefaultRecord();
    std::map<std::wstring, bool> boxes;
    for (const TOptionCheck& check : OptionChecks())
        boxes[check.Name] = !(before.*check.Field);
    TOptions after = before;
    for (const TOptionCheck& check : OptionChecks())
        after.*check.Field = boxes[check.Name];
    for (const TOptionCheck& check : OptionChecks())
        EXPECT_NE(after.*check.Field, before.*check.Field) << check.Name;
    EXPECT_EQ(after.UseRegistry, before.UseRegistry);
}

TEST(OptionsFields, RadioGroupsMapBothWays)
{
    struct Case {
        const TRadioGroupDef& group;
        int stored;
        const wchar_t* checked;
    } cases[] = {
        {DateTimeGroup(), 0, L"rbtDateTimeSec"},   {DateTimeGroup(), 2, L"rbtDate"},
        {DateTimeGroup(), 7, L"rbtDateTimeSec"},  // outside the table: the design default
        {FileNameDisplayGroup(), 1, L"rbtCaps"},   {FileNameDisplayGroup(), 0, L"rbtStored"},
        {FileNameDisplayGroup(), 9, L"rbtNormal"}, {FileDisplayGroup(), 1, L"rbHex"},
        {DragDropGroup(), 2, L"rbCopy"},
    };
    for (const Case& c : cases) {
        const int index = CheckedChoice(c.group, c.stored);
        ASSERT_GE(index, 0);
        EXPECT_STREQ(c.group.Choices[static_cast<size_t>(index)].Name, c.checked) << c.group.Caption << " " << c.stored;
        // The checked button reads back as its own value.
        std::vector<bool> checked(c.group.Choices.size());
        checked[static_cast<size_t>(index)] = true;
        EXPECT_EQ(ChoiceValue(c.group, checked), c.group.Choices[static_cast<size_t>(index)].Value);
    }
    // OK's order: the first checked button of the order decides; none checked
    // gives the remaining value.
    EXPECT_EQ(ChoiceValue(DateTimeGroup(), {true, true, false}), 0);
    EXPECT_EQ(ChoiceValue(DateTimeGroup(), {false, false, false}), 2);
    EXPECT_EQ(ChoiceValue(FileNameDisplayGroup(), {true, false, true, true}), 2);
    EXPECT_EQ(ChoiceValue(FileNameDisplayGroup(), {false, false, false, false}), 0);
    EXPECT_EQ(ChoiceValue(FileDisplayGroup(), {false, false, true}), 2);
    EXPECT_EQ(ChoiceValue(FileDisplayGroup(), {false, false, false}), 1);
    EXPECT_EQ(ChoiceValue(DragDropGroup(), {false, false, false}), 2);

    TOptions options = DefaultRecord();
    options.ClickEdits = true;
    options.SingleClickExec = true;
    EXPECT_EQ(MouseChoiceFor(options), mcClickEdits);
    StoreMouseChoice(options, mcStandard);
    EXPECT_FALSE(options.ClickEdits);
    EXPECT_FALSE(options.SingleClickExec);
    StoreMouseChoice(options, mcSingleClick);
    EXPECT_EQ(MouseChoiceFor(options), mcSingleClick);
}

TEST(OptionsFields, TrackBarsAndThumbnails)
{
    EXPECT_EQ(ReloadTrackPosition(300), 1000);
    EXPECT_EQ(ReloadTrackPosition(500), 500);
    EXPECT_EQ(ReloadTrackPosition(5000), 5000);
    EXPECT_EQ(ReloadTrackPosition(5001), 1000);
    EXPECT_EQ(SnapTrackPosition(1249), 1000);
    EXPECT_EQ(SnapTrackPosition(1250), 1500);
    EXPECT_EQ(SnapTrackPosition(4999), 5000);
    EXPECT_EQ(SnapTrackPosition(100), 500);

    EXPECT_EQ(ThumbPixel(96.4), 96);
    EXPECT_EQ(ThumbPixel(96.5), 97);
    EXPECT_EQ(ThumbPixel(10), 36);
    EXPECT_EQ(ThumbPixel(1000), 300);
    EXPECT_EQ(SizeButtonThumb(64), (TThumbSize{64, 48}));
    EXPECT_EQ(SizeButtonThumb(200), (TThumbSize{200, 150}));
    EXPECT_EQ(SizeButtonThumb(90), (TThumbSize{90, 68})) << "three quarters rounded";
    EXPECT_EQ(ThumbAfterChange({120, 50}, true, true), (TThumbSize{120, 120}));
    EXPECT_EQ(ThumbAfterChange({120, 50}, false, true), (TThumbSize{50, 50}));
    EXPECT_EQ(ThumbAfterChange({400, 20}, true, false), (TThumbSize{300, 36}));
}

TEST(FKeyGrid, SetsHeadersAndLimits)
{
    TFKeySets keys{};
    keys[0][0] = {L"Shift one", L"a.exe", L"[!]", 3};
    keys[1][11] = {L"Ctrl twelve", L"b.exe", L"", -1};
    TFKeyGridModel grid(keys);
    const TStringGridCells& cells = grid.Cells();
    EXPECT_EQ(cells.Cell(fkKey, 1), L"Umsch+F1");
    EXPECT_EQ(cells.Cell(fkKey, 12), L"Umsch+F12");
    EXPECT_EQ(cells.Cell(fkCaption, 0), L"Beschriftung");
    EXPECT_EQ(cells.Cell(fkCommand, 0), L"Programm");
    EXPECT_EQ(cells.Cell(fkParams, 0), L"Parameter");
    EXPECT_EQ(cells.Cell(fkCaption, 1), L"Shift one");

    // An edit in each set survives switching back and forth.
    grid.Cells().SetCell(fkCommand, 2, L"edited shift");
    grid.ShowSet(1);
    EXPECT_EQ(cells.Cell(fkKey, 5), L"Strg+F5");
    EXPECT_EQ(cells.Cell(fkCaption, 12), L"Ctrl twelve");
    EXPECT_EQ(cells.Cell(fkCommand, 2), L"");
    grid.Cells().SetCell(fkParams, 3, L"edited ctrl");
    grid.ShowSet(0);
    EXPECT_EQ(cells.Cell(fkCommand, 2), L"edited shift");
    const TFKeySets result = grid.Result();
    EXPECT_EQ(result[0][1].Command, L"edited shift");
    EXPECT_EQ(result[1][2].Params, L"edited ctrl");
    EXPECT_EQ(result[0][0].ImageIndex, 3) << "what the grid does not show is kept";
    EXPECT_EQ(result[1][11], keys[1][11]);

    // The editor's limits, and what is written back.
    EXPECT_EQ(FKeyCellLimit(fkCaption), 25);
    EXPECT_EQ(FKeyCellLimit(fkCommand), 200);
    EXPECT_EQ(FKeyCellLimit(fkParams), 255);
    grid.Cells().SetCell(fkCaption, 4, std::wstring(30, L'c'));
    EXPECT_EQ(grid.Result()[0][3].Caption.size(), 25u);
}

TEST(FKeyGrid, RowMovesKeepKeyNamesAndTheWholeRecord)
{
    TFKeySets keys{};
    for (int i = 0; i < 12; ++i)
        keys[0][static_cast<size_t>(i)] = {L"c" + std::to_wstring(i + 1), L"p.exe", L"", i};
    TFKeyGridModel grid(keys);
    grid.Cells().MoveRow(1, 3);
    grid.RowMoved(1, 3);
    EXPECT_EQ(grid.Cells().Cell(fkKey, 3), L"Umsch+F3");
    EXPECT_EQ(grid.Cells().Cell(fkCaption, 3), L"c1");
    EXPECT_EQ(grid.Cells().Cell(fkCaption, 1), L"c2");
    const TFKeySets result = grid.Result();
    EXPECT_EQ(result[0][2].ImageIndex, 0);
    EXPECT_EQ(result[0][0].Caption, L"c2");
}

TEST(FKeyGrid, EnterWalksTheCellsAndWraps)
{
    EXPECT_EQ(TFKeyGridModel::EnterTarget(fkCaption, 4), std::make_pair(int{fkCommand}, 4));
    EXPECT_EQ(TFKeyGridModel::EnterTarget(fkParams, 4), std::make_pair(int{fkCaption}, 5));
    EXPECT_EQ(TFKeyGridModel::EnterTarget(fkParams, 12), std::make_pair(int{fkCaption}, 1));
}

TEST(FKeyGrid, CommandsCompletedFromThePath)
{
    const auto find = [](const std::wstring& name) -> std::wstring {
        return name == L"notepad.exe" ? L"C:\\windows\\system32\\notepad.exe" : L"";
    };
    EXPECT_EQ(CompletedCommand(L"", L"notepad.exe", find), L"C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(CompletedCommand(L"", L"C:\\x\\y.exe", find), L"C:\\x\\y.exe");
    EXPECT_EQ(CompletedCommand(L"notepad.exe", L"notepad.exe", find), L"notepad.exe") << "unchanged: not searched";
    EXPECT_EQ(CompletedCommand(L"", L"missing.exe", find), L"missing.exe");
    EXPECT_EQ(CompletedCommand(L"x", L"", find), L"");
    const auto longPath = [](const std::wstring&) { return L"C:\\" + std::wstring(250, L'd') + L"\\p.exe"; };
    EXPECT_EQ(CompletedCommand(L"", L"p.exe", longPath), L"p.exe") << "never cut to the cell's limit";
}

TEST(FKeyGrid, BrowseStartAndPlaceholders)
{
    const auto exists = [](const std::wstring& name) { return name == L"C:\\Tools [x86]\\diff.exe"; };
    TBrowseStart start = BrowseStartFor(L"C:\\Tools [x86]\\diff.exe", L"", exists);
    EXPECT_EQ(start.InitialDir, L"C:\\Tools [x86]");
    EXPECT_EQ(start.FileName, L"diff.exe");
    start = BrowseStartFor(L"C:\\gone\\x.exe", L"", exists);
    EXPECT_EQ(start.InitialDir, L"C:\\gone");
    EXPECT_EQ(start.FileName, L"");
    EXPECT_EQ(BrowseStartFor(L"", L"", exists).InitialDir, L"C:\\");
    EXPECT_EQ(BrowseStartFor(L"", L"D:\\last", exists).InitialDir, L"");

    std::set<std::wstring> seen;
    for (const TPlaceholderItem& item : ParameterPlaceholders()) {
        EXPECT_EQ(PlaceholderOf(item.Caption), item.Placeholder);
        EXPECT_TRUE(seen.insert(item.Placeholder).second);
    }
    EXPECT_EQ(seen.size(), 13u);
    EXPECT_EQ(PlaceholderOf(L"no brackets"), L"");
}

TEST(FilterGrid, NewDeleteAndMoves)
{
    TFilterGridModel grid({{L"Alle Dateien", L"*.*"}, {L"Texte", L"*.txt"}});
    TStringGridCells& cells = grid.Cells();
    EXPECT_EQ(cells.Cell(flName, 0), L"Name");
    EXPECT_EQ(cells.Cell(flMasks, 0), L"Dateifilter");
    EXPECT_EQ(cells.RowCount(), 3);
    EXPECT_FALSE(grid.CanMoveUp()) << "up is off in row 1";
    EXPECT_TRUE(grid.CanMoveDown());

    grid.MoveDown();
    EXPECT_EQ(cells.Row(), 2);
    EXPECT_EQ(cells.Cell(flName, 2), L"Alle Dateien");
    EXPECT_FALSE(grid.CanMoveDown());
    EXPECT_TRUE(grid.CanMoveUp());

    // Down on the last row adds a filter.
    EXPECT_TRUE(grid.DownKey());
    EXPECT_EQ(cells.RowCount(), 4);
    EXPECT_EQ(cells.Row(), 3);
    EXPECT_EQ(cells.Cell(flName, 3), kNewFilterName);
    EXPECT_EQ(cells.Cell(flMasks, 3), L"");

    // Deleting the last row moves the current row up.
    grid.DeleteFilter();
    EXPECT_EQ(cells.RowCount(), 3);
    EXPECT_EQ(cells.Row(), 2);
    // Deleting row 1 moves the rows below up.
    cells.SetCurrent(flName, 1);
    grid.DeleteFilter();
    EXPECT_EQ(cells.RowCount(), 2);
    EXPECT_EQ(cells.Cell(flName, 1), L"Alle Dateien");
    // The only row is emptied, never removed.
    grid.DeleteFilter();
    EXPECT_EQ(cells.RowCount(), 2);
    EXPECT_EQ(cells.Cell(flName, 1), L"");
    EXPECT_EQ(cells.Cell(flMasks, 1), L"");
    EXPECT_FALSE(grid.CanMoveUp());
    // A new filter then takes the empty row.
    grid.NewFilter();
    EXPECT_EQ(cells.RowCount(), 2);
    EXPECT_EQ(cells.Cell(flName, 1), kNewFilterName);
}

TEST(FilterGrid, EndOfEditAndTheRebuild)
{
    TFilterGridModel grid(std::vector<TFilterRec>{});
    TStringGridCells& cells = grid.Cells();
    EXPECT_EQ(cells.RowCount(), 2) << "an empty list still has its editable row";

    // Masks typed first name the row, normalised.
    cells.SetCell(flMasks, 1, L" *.TXT, *.doc ");
    grid.EndEdit(flMasks, 1, true);
    EXPECT_EQ(cells.Cell(flMasks, 1), L"*.txt;*.doc");
    EXPECT_EQ(cells.Cell(flName, 1), L"*.txt;*.doc");

    cells.SetRowCount(6);
    cells.SetCell(flName, 2, L"Only a name");
    cells.SetCell(flMasks, 3, L"*.only");
    cells.SetCell(flName, 4, L"Bilder");
    cells.SetCell(flMasks, 4, L"*.png");
    cells.SetCell(flName, 5, L"Alles");
    cells.SetCell(flMasks, 5, L"*.*");
    const std::vector<TFilterRec> list = grid.Rebuild();
    const std::vector<TFilterRec> expected = {
        {L"Alles", L"*.*"},
        {L"Bilder", L"*.png"},
        {L"*.txt;*.doc", L"*.txt;*.doc"},
    };
    EXPECT_EQ(list, expected) << "rows with only a name or only masks are dropped; *.* at 3 exchanged with 0";

    TFilterGridModel none(std::vector<TFilterRec>{{L"Texte", L"*.txt"}});
    const std::vector<TFilterRec> added = none.Rebuild();
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0], (TFilterRec{L"Alle Dateien", L"*.*"}));
}

TEST(OptionsChecks, MissingProgramsAsked)
{
    std::vector<std::wstring> asked;
    int answer = 6;  // Yes
    const TOptionsCheckCalls calls{
        [](const std::wstring& name) { return name == L"C:\\cmp.exe"; },
        [&](const std::wstring& text, const std::wstring& ident) {
            asked.push_back(ident + L": " + text);
            return answer;
        },
    };
    // An empty field asks nothing.
    EXPECT_EQ(CheckProgramPaths(L"", L"", calls).Focus, TOptionsFocus::None);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(CheckProgramPaths(L"C:\\cmp.exe", L"", calls).Focus, TOptionsFocus::None);
    EXPECT_TRUE(asked.empty());

    // Yes stays on "Allgemein" with the compare field.
    TOptionsCheckResult result = CheckProgramPaths(L"C:\\gone.exe", L"C:\\iv.exe", calls);
    EXPECT_EQ(result.Focus, TOptionsFocus::CompareProgram);
    EXPECT_EQ(result.Page, opGeneral);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0],
              L"compareprogram not found: Die Datei \"C:\\gone.exe\" ist nicht vorhanden. Möchten Sie die Eingabe "
              L"korrigieren?");

    // Ignore goes on to the viewer, and then writes.
    asked.clear();
    answer = 5;  // Ignore
    result = CheckProgramPaths(L"C:\\gone.exe", L"C:\\iv.exe", calls);
    EXPECT_EQ(result.Focus, TOptionsFocus::None);
    EXPECT_EQ(asked.size(), 2u);

    answer = 6;
    result = CheckProgramPaths(L"", L"C:\\iv.exe", calls);
    EXPECT_EQ(result.Focus, TOptionsFocus::IrfanView);
    EXPECT_EQ(result.Page, opFileDisplay);
}

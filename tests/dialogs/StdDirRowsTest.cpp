// The bookmark editor's rows without a window: loading, inserting,
// deleting, moving, the labels, Esc and Enter, Down on the last row, the
// caption's ampersand and the button states.

#include "dialogs/StdDirRows.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

constexpr uint16_t kTab = 0x09;
constexpr uint16_t kReturn = 0x0D;
constexpr uint16_t kEscape = 0x1B;
constexpr uint16_t kDown = 0x28;
constexpr uint16_t kF4 = 0x73;

class StdDirRows : public testing::Test {
protected:
    TStringGridCells cells{1, 1};
    TStdDirRows rows{cells};

    void LoadThree() { rows.Load({L"C:\\A", L"", L"C:\\C"}, {L"Alpha", L"-", L"Gamma"}); }

    std::vector<std::wstring> Captions() const
    {
        std::vector<std::wstring> captions;
        for (const TBookmarkRow& row : rows.Rows())
            captions.push_back(row.Caption);
        return captions;
    }

    // Every data row is labelled by its number, the header's label is empty.
    void ExpectLabels() const
    {
        EXPECT_EQ(cells.Cell(kStdDirLabelCol, 0), L"");
        for (int row = 1; row < cells.RowCount(); ++row)
            EXPECT_EQ(cells.Cell(kStdDirLabelCol, row), L"Menü " + std::to_wstring(row)) << row;
    }
};

}  // namespace

TEST_F(StdDirRows, LoadedWithHeaderAndLabels)
{
    LoadThree();
    EXPECT_EQ(cells.ColCount(), 3);
    EXPECT_EQ(cells.RowCount(), 4);
    EXPECT_EQ(cells.Cell(kStdDirCaptionCol, 0), L"Beschriftung");
    EXPECT_EQ(cells.Cell(kStdDirPathCol, 0), L"Verzeichnis");
    EXPECT_EQ(cells.Cell(kStdDirPathCol, 3), L"C:\\C");
    ExpectLabels();

    rows.Load({}, {});
    EXPECT_EQ(cells.RowCount(), 2) << "one empty data row without bookmarks";
    EXPECT_EQ(cells.Cell(kStdDirLabelCol, 1), L"Menü 1");
    EXPECT_EQ(cells.Cell(kStdDirCaptionCol, 1), L"") << "nothing of the earlier load stays";
    EXPECT_EQ(cells.Cell(kStdDirPathCol, 1), L"");
}

TEST_F(StdDirRows, InsertAtTheCurrentRowAndAfterIt)
{
    rows.Load({L"1", L"2", L"3", L"4"}, {L"a", L"b", L"c", L"d"});
    cells.SetCurrent(kStdDirCaptionCol, 3);
    EXPECT_EQ(rows.Insert(TStdDirInsert::New), 3);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"a", L"b", L"", L"c", L"d"}));
    EXPECT_EQ(rows.Rows()[2].Path, L"");
    EXPECT_EQ(cells.Row(), 3);
    ExpectLabels();

    cells.SetCurrent(kStdDirPathCol, 1);
    EXPECT_EQ(rows.Insert(TStdDirInsert::Separator), 1);
    EXPECT_EQ(rows.Rows()[0].Caption, L"-");
    EXPECT_EQ(rows.Rows()[0].Path, L"");

    cells.SetCurrent(kStdDirCaptionCol, cells.RowCount() - 1);
    const int lastBefore = cells.RowCount() - 1;
    EXPECT_EQ(rows.Insert(TStdDirInsert::After), lastBefore + 1);
    EXPECT_EQ(cells.RowCount() - 1, lastBefore + 1);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"-", L"a", L"b", L"", L"c", L"d", L""}));
    ExpectLabels();
}

TEST_F(StdDirRows, DeleteKeepsOneRowAndLeavesNothingBehind)
{
    LoadThree();
    cells.SetCurrent(kStdDirPathCol, 3);
    rows.DeleteCurrent();
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"Alpha", L"-"}));
    EXPECT_EQ(cells.Row(), 2) << "the row above becomes current after the last one went";
    // A row added later is empty in both cells: the deleted path never
    // comes back.
    rows.Insert(TStdDirInsert::After);
    EXPECT_EQ(rows.Rows().back().Caption, L"");
    EXPECT_EQ(rows.Rows().back().Path, L"");
    cells.SetRowCount(cells.RowCount() + 1);  // the grid's own row on Tab
    EXPECT_EQ(rows.Rows().back().Path, L"");

    rows.Load({L"C:\\Only"}, {L"Only"});
    rows.DeleteCurrent();
    EXPECT_EQ(cells.RowCount(), 2);
    EXPECT_EQ(rows.Rows().front().Caption, L"");
    EXPECT_EQ(rows.Rows().front().Path, L"");
    EXPECT_TRUE(rows.Buttons().Delete) << "delete stays enabled";
    ExpectLabels();
}

TEST_F(StdDirRows, MovesStopAtTheEnds)
{
    LoadThree();
    cells.SetCurrent(kStdDirCaptionCol, 1);
    rows.MoveUp();
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"Alpha", L"-", L"Gamma"}));
    rows.MoveDown();
    rows.MoveDown();
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"-", L"Gamma", L"Alpha"}));
    EXPECT_EQ(rows.Rows()[2].Path, L"C:\\A") << "the whole row moves";
    EXPECT_EQ(cells.Row(), 3);
    rows.MoveDown();
    EXPECT_EQ(cells.Row(), 3);
    rows.MoveUp();
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"-", L"Alpha", L"Gamma"}));
    ExpectLabels();
}

TEST_F(StdDirRows, CaptionAmpersands)
{
    struct Case {
        const wchar_t* typed;
        const wchar_t* kept;
    };
    const Case cases[] = {
        {L"A&B", L"A&&B"}, {L"A&&B", L"A&&B"}, {L"A&B&C", L"A&&B&C"},  {L"&", L"&&"},
        {L"AB", L"AB"},    {L"", L""},         {L"A&&B&C", L"A&&B&C"},
    };
    LoadThree();
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionWithLiteralAmpersand(c.typed), c.kept) << c.typed;
        cells.SetCell(kStdDirCaptionCol, 1, c.typed);
        rows.EditEnded(kStdDirCaptionCol, 1);
        EXPECT_EQ(cells.Cell(kStdDirCaptionCol, 1), c.kept) << c.typed;
    }
    cells.SetCell(kStdDirPathCol, 1, L"C:\\A&B");
    rows.EditEnded(kStdDirPathCol, 1);
    EXPECT_EQ(cells.Cell(kStdDirPathCol, 1), L"C:\\A&B") << "only captions";
    const std::wstring longRest(1500, L'x');
    EXPECT_EQ(CaptionWithLiteralAmpersand(L"A&" + longRest), L"A&&" + longRest.substr(0, 999));
}

TEST_F(StdDirRows, EscapeAndEnter)
{
    LoadThree();
    cells.SetCurrent(kStdDirCaptionCol, 1);
    EXPECT_EQ(rows.KeyDown(kEscape, false, false, false), TStdDirKeyAction::None) << "nothing saved yet";
    rows.EditStarted(L"Alpha");
    cells.SetCell(kStdDirCaptionCol, 1, L"Geändert");
    EXPECT_EQ(rows.KeyDown(kEscape, false, false, false), TStdDirKeyAction::Restored);
    EXPECT_EQ(cells.Cell(kStdDirCaptionCol, 1), L"Alpha");

    cells.SetCell(kStdDirCaptionCol, 1, L"Bestätigt");
    EXPECT_EQ(rows.KeyDown(kReturn, false, false, false), TStdDirKeyAction::None);
    cells.SetCell(kStdDirCaptionCol, 1, L"Wieder geändert");
    rows.KeyDown(kEscape, false, false, false);
    EXPECT_EQ(cells.Cell(kStdDirCaptionCol, 1), L"Bestätigt") << "Enter made it the text Esc restores";
    EXPECT_EQ(rows.KeyDown(kEscape, false, false, false), TStdDirKeyAction::None)
        << "nothing to bring back: the dialog may close";
}

TEST_F(StdDirRows, KeysOfTheGrid)
{
    LoadThree();
    struct Case {
        const char* name;
        int col;
        int row;
        uint16_t key;
        bool shift;
        TStdDirKeyAction action;
    };
    const Case cases[] = {
        {"Tab in the last cell", kStdDirPathCol, 3, kTab, false, TStdDirKeyAction::FocusOk},
        {"Shift+Tab in the last cell", kStdDirPathCol, 3, kTab, true, TStdDirKeyAction::None},
        {"Tab in the last row's caption", kStdDirCaptionCol, 3, kTab, false, TStdDirKeyAction::None},
        {"Tab in an earlier row", kStdDirPathCol, 2, kTab, false, TStdDirKeyAction::None},
        {"Down on the last row", kStdDirCaptionCol, 3, kDown, false, TStdDirKeyAction::InsertAfter},
        {"Down on another row", kStdDirCaptionCol, 2, kDown, false, TStdDirKeyAction::None},
        {"F4", kStdDirCaptionCol, 1, kF4, false, TStdDirKeyAction::SelectDirectory},
        {"Shift+F4", kStdDirCaptionCol, 1, kF4, true, TStdDirKeyAction::None},
    };
    for (const Case& c : cases) {
        cells.SetCurrent(c.col, c.row);
        EXPECT_EQ(rows.KeyDown(c.key, c.shift, false, false), c.action) << c.name;
    }
    EXPECT_EQ(cells.RowCount(), 4) << "the keys alone add no row";
}

TEST_F(StdDirRows, ButtonStates)
{
    LoadThree();
    struct Case {
        int col;
        int row;
        bool up;
        bool down;
        bool select;
    };
    for (const Case c : {Case{kStdDirCaptionCol, 1, false, true, false}, Case{kStdDirPathCol, 2, true, true, true},
                         Case{kStdDirPathCol, 3, true, false, true}}) {
        cells.SetCurrent(c.col, c.row);
        const TStdDirButtons buttons = rows.Buttons();
        EXPECT_TRUE(buttons.New && buttons.Separator && buttons.Delete && buttons.Edit);
        EXPECT_EQ(buttons.Up, c.up) << c.row;
        EXPECT_EQ(buttons.Down, c.down) << c.row;
        EXPECT_EQ(buttons.SelectDirectory, c.select) << "select directory only in the path column";
    }
    rows.Load({}, {});
    EXPECT_FALSE(rows.Buttons().Up);
    EXPECT_FALSE(rows.Buttons().Down);
}

// The columns of the improved string grid: what they take from the grid,
// the pick list's height, the row overflow rule and the type-ahead.

#include "widgets/ImpGridColumn.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ImpGridColumn, UnassignedPropertiesFollowTheGrid)
{
    TImpColumn column;
    TImpGridLook grid;
    grid.Color = clYellow;
    grid.FixedColor = clGray;
    EXPECT_EQ(column.Color(grid), clYellow);
    grid.Color = clAqua;
    EXPECT_EQ(column.Color(grid), clAqua) << "a later change of the grid shows";
    EXPECT_EQ(column.Title.Color(grid), clGray);
    EXPECT_EQ(column.Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(column.Title.Caption(), L"");
    EXPECT_EQ(column.DropDownRows, 7);
    EXPECT_EQ(column.Color(TImpGridLook{}), clWindow) << "without a grid: the window colour";
    EXPECT_EQ(column.Title.Color(TImpGridLook{}), clBtnFace);

    column.SetColor(clRed);
    column.SetAlignment(TAlignment::taCenter);
    column.Title.SetCaption(L"Befehl");
    column.Title.SetColor(clWhite);
    column.PickList = {L"a"};
    column.ButtonStyle = TImpColumnButtonStyle::cbsPicklist;
    EXPECT_EQ(column.Color(grid), clRed) << "an assigned colour stays";
    EXPECT_EQ(column.Title.Color(grid), clWhite);
    column.ResetToDefaults();
    EXPECT_FALSE(column.ColorAssigned());
    EXPECT_EQ(column.Color(grid), clAqua);
    EXPECT_EQ(column.Alignment(), TAlignment::taLeftJustify);
    EXPECT_FALSE(column.Title.CaptionAssigned());
    EXPECT_TRUE(column.PickList.empty());
    EXPECT_EQ(column.ButtonStyle, TImpColumnButtonStyle::cbsNone);
}

TEST(ImpGridColumn, FontsAndInputMethodFollowTheGridUntilAssigned)
{
    TImpColumn column;
    TImpGridLook grid;
    grid.Font = TImpGridFont{L"Tahoma", -11, 0, clNavy};
    grid.ImeMode = TImeMode::imClose;
    grid.ImeName = L"Japanese IME";
    EXPECT_EQ(column.Font(grid), grid.Font);
    EXPECT_EQ(column.Title.Font(column.Font(grid)), grid.Font) << "the title takes the column's font";
    grid.Font.Style = 1;
    EXPECT_EQ(column.Font(grid).Style, 1u) << "read anew, so a later change of the grid's font shows";
    EXPECT_EQ(column.ImeMode(grid), TImeMode::imClose);
    EXPECT_EQ(column.ImeName(grid), L"Japanese IME");
    EXPECT_EQ(column.ImeMode(TImpGridLook{}), TImeMode::imDontCare) << "without a grid: left as it is";
    EXPECT_EQ(column.ImeName(TImpGridLook{}), L"");

    const TImpGridFont courier{L"Courier New", -13, 2, clRed};
    column.SetFont(courier);
    column.SetImeMode(TImeMode::imDisable);
    column.SetImeName(L"");
    EXPECT_TRUE(column.FontAssigned());
    EXPECT_EQ(column.Font(grid), courier);
    EXPECT_EQ(column.Title.Font(column.Font(grid)), courier) << "an unassigned title follows the column's change";
    EXPECT_EQ(column.ImeMode(grid), TImeMode::imDisable);
    EXPECT_EQ(column.ImeName(grid), L"") << "an assigned empty name stays";

    const TImpGridFont bold{L"Arial", -12, 1, clBlue};
    column.Title.SetFont(bold);
    EXPECT_EQ(column.Title.Font(column.Font(grid)), bold);
    column.ResetToDefaults();
    EXPECT_FALSE(column.FontAssigned());
    EXPECT_FALSE(column.Title.FontAssigned());
    EXPECT_EQ(column.Font(grid), grid.Font);
    EXPECT_EQ(column.ImeMode(grid), TImeMode::imClose);
    EXPECT_EQ(column.ImeName(grid), L"Japanese IME");
}

TEST(ImpGridColumn, PickListHeightAndRowOverflow)
{
    struct Case {
        int count, rows, itemHeight, height;
    };
    for (const Case& c : {Case{0, 7, 13, 4}, Case{3, 7, 13, 43}, Case{20, 7, 13, 95}, Case{5, 0, 13, 4}})
        EXPECT_EQ(PickListHeight(c.count, c.rows, c.itemHeight), c.height) << c.count << " items";
    // Rows of 18 and a line of 1 in a grid 95 high: five fit, a sixth not.
    EXPECT_FALSE(RowsWouldOverflow(4, 18, 1, 95));
    EXPECT_TRUE(RowsWouldOverflow(5, 18, 1, 95));
}

TEST(ImpGridColumn, TypeAheadBuildsTheSearchUntilAPause)
{
    const std::vector<std::wstring> items{L"Beta", L"Alpha", L"alphorn", L"Gamma"};
    TTypeAheadSearch search;
    EXPECT_EQ(search.Key(L'a', 10000, items), 1);
    EXPECT_EQ(search.Key(L'l', 10500, items), 1);
    EXPECT_EQ(search.Key(L'p', 11000, items), 1);
    EXPECT_EQ(search.Key(L'h', 11100, items), 1);
    EXPECT_EQ(search.Key(L'o', 11200, items), 2) << "\"alpho\" ignoring case";
    EXPECT_EQ(search.Key(L'x', 11300, items), -1);
    EXPECT_EQ(search.Key(L'g', 13400, items), 3) << "after a pause of over 2 s the search begins anew";
    search.Clear();
    EXPECT_EQ(search.Key(L'b', 13500, items), 0);
    for (int i = 0; i < 40; ++i)
        search.Key(L'z', 13600, items);
    EXPECT_EQ(search.Text().size(), TTypeAheadSearch::kMaxLength);
}

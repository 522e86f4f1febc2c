#include "widgets/DockArrange.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qrv;

namespace {

TDockBar Bar(int row, int pos, int length, int thickness = 22, bool fullSize = false, bool visible = true)
{
    return TDockBar{row, pos, fullSize, visible, length, thickness};
}

TDockArrangeOptions Options(int clientLength, bool clip = false)
{
    TDockArrangeOptions options;
    options.ClientLength = clientLength;
    options.ClipPositions = clip;
    return options;
}

}  // namespace

TEST(DockArrange, OverlappingBarsOfARowEndUpSideBySideForGood)
{
    std::vector<TDockBar> bars{Bar(0, 0, 50), Bar(0, 10, 40)};
    const TDockArrangement a = ArrangeDockBars(bars, Options(300));
    EXPECT_EQ(bars[1].DockPos, 50) << "the second one's DockPos is raised permanently";
    EXPECT_EQ(a.Places[0].Pos, 0);
    EXPECT_EQ(a.Places[1].Pos, 50);
    EXPECT_EQ(a.Places[1].RowOffset, 0);
    EXPECT_EQ(a.Places[1].Extent, 26) << "row thickness + 4";
    EXPECT_EQ(a.Thickness, 26);
}

TEST(DockArrange, ATooLongRowIsPushedBackButKeepsItsWishUnlessClipped)
{
    for (const bool clip : {false, true}) {
        std::vector<TDockBar> bars{Bar(0, 30, 20), Bar(0, 60, 20)};
        const TDockArrangement a = ArrangeDockBars(bars, Options(50, clip));
        EXPECT_EQ(a.Places[0].Pos, 10);
        EXPECT_EQ(a.Places[1].Pos, 30);
        EXPECT_EQ(bars[0].DockPos, clip ? 10 : 30);
        EXPECT_EQ(bars[1].DockPos, clip ? 30 : 60);
    }
    // Longer than the whole dock: pushed left as far as 0, the rest overflows.
    std::vector<TDockBar> bars{Bar(0, 0, 50), Bar(0, 50, 40)};
    const TDockArrangement a = ArrangeDockBars(bars, Options(60));
    EXPECT_EQ(a.Places[0].Pos, 0);
    EXPECT_EQ(a.Places[1].Pos, 50);
}

TEST(DockArrange, AFullSizeBarTakesItsRowAloneAndSpansTheDock)
{
    std::vector<TDockBar> bars{Bar(0, 0, 50, 22, true), Bar(0, 60, 50), Bar(1, 0, 50, 30)};
    const TDockArrangement a = ArrangeDockBars(bars, Options(400));
    EXPECT_EQ(bars[0].DockRow, 0);
    EXPECT_EQ(bars[1].DockRow, 1) << "the other bar of its row moves down";
    EXPECT_EQ(bars[2].DockRow, 2) << "and every row below with it";
    EXPECT_EQ(a.Places[0].Length, 400);
    EXPECT_EQ(a.Places[1].RowOffset, 26);
    EXPECT_EQ(a.Places[2].RowOffset, 52);
    EXPECT_EQ(a.Places[2].Extent, 34);
    EXPECT_EQ(a.Thickness, 26 + 26 + 34);
}

TEST(DockArrange, RowsNobodyUsesAreRemovedAndHiddenBarsKeepTheirRow)
{
    std::vector<TDockBar> bars{Bar(0, 0, 50), Bar(3, 0, 50), Bar(5, 0, 50, 22, false, false), Bar(7, 0, 40, 5)};
    const TDockArrangement a = ArrangeDockBars(bars, Options(300));
    EXPECT_EQ(bars[1].DockRow, 1);
    EXPECT_EQ(bars[2].DockRow, 2) << "a hidden bar still holds its row";
    EXPECT_EQ(bars[3].DockRow, 3);
    ASSERT_EQ(a.RowThickness.size(), 4u);
    EXPECT_EQ(a.RowThickness[2], 0) << "but the row takes no room";
    EXPECT_EQ(a.RowThickness[3], 8) << "a row is at least 8 thick";
    EXPECT_EQ(a.Places[3].RowOffset, 52);
    EXPECT_EQ(a.Thickness, 26 + 26 + 12);
}

TEST(DockArrange, StoredRowsOfAnyHeightAreRenumberedInTheirOrder)
{
    // Rows as a hand-edited or damaged settings file may hold them.
    struct Case {
        std::vector<int> stored;
        std::vector<int> arranged;
    } cases[] = {
        {{2147483647, 0}, {1, 0}},
        {{2000000000, 2147483647, 5}, {1, 2, 0}},
        {{2147483647, 2147483647}, {0, 0}},
        {{-2147483647 - 1, 7, 3}, {0, 2, 1}},  // a negative row is the first
    };
    for (const Case& c : cases) {
        std::vector<TDockBar> bars;
        for (int row : c.stored)
            bars.push_back(Bar(row, 0, 50));
        const TDockArrangement a = ArrangeDockBars(bars, Options(300));
        std::vector<int> rows;
        for (const TDockBar& bar : bars)
            rows.push_back(bar.DockRow);
        EXPECT_EQ(rows, c.arranged);
        EXPECT_EQ(a.RowThickness.size(), static_cast<size_t>(*std::max_element(rows.begin(), rows.end()) + 1));
    }
}

TEST(DockArrange, EmptyDocksAndOneRowDocks)
{
    std::vector<TDockBar> hidden{Bar(0, 0, 50, 22, false, false)};
    EXPECT_EQ(ArrangeDockBars(hidden, Options(100)).Thickness, 0);
    TDockArrangeOptions fix = Options(100);
    fix.FixAlign = true;
    EXPECT_EQ(ArrangeDockBars(hidden, fix).Thickness, 1);

    std::vector<TDockBar> bars{Bar(0, 0, 50), Bar(2, 0, 50)};
    TDockArrangeOptions oneRow = Options(300);
    oneRow.LimitToOneRow = true;
    const TDockArrangement a = ArrangeDockBars(bars, oneRow);
    EXPECT_EQ(bars[1].DockRow, 0);
    EXPECT_EQ(a.Places[1].Pos, 50);
    EXPECT_EQ(a.Thickness, 26);
}

TEST(DockArrange, RowsUnderAnOffset)
{
    const std::vector<int> rows{22, 0, 18};  // row 0: 0..26, row 2: 26..48
    struct Case {
        int offset, row;
        bool insert;
    };
    const Case cases[] = {{2, 0, true}, {10, 0, false}, {23, 2, true}, {35, 2, false}, {45, 3, true}, {60, 3, false}};
    for (const Case& c : cases) {
        bool insert = !c.insert;
        EXPECT_EQ(RowAtPosition(rows, c.offset, insert), c.row) << c.offset;
        EXPECT_EQ(insert, c.insert) << c.offset;
    }
    EXPECT_EQ(RowFromOffset(rows, 0), 0);
    EXPECT_EQ(RowFromOffset(rows, 25), 0);
    EXPECT_EQ(RowFromOffset(rows, 26), 2);
    EXPECT_EQ(RowFromOffset(rows, 48), 3);
}

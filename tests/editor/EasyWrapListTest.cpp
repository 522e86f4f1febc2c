#include "editor/EasyWrapList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qrv {
namespace {

// Lines wrapped at a fixed width the way the editor would: every Width
// columns a new row starts; the last row of a line runs to its end.
class WrapFixture : public ::testing::Test {
protected:
    static constexpr int Width = 10;
    std::vector<int> lengths{0, 5, 10, 23, 31};
    std::vector<std::pair<int, int>> requests;
    TEasyWrapList list;

    void SetUp() override
    {
        list.OnNeedRows = [this](TEasyWrapList& sender, int from, int to) {
            requests.emplace_back(from, to);
            for (int line = from; line <= to && line < int(lengths.size()); ++line) {
                int start = 0;
                while (lengths[size_t(line)] - start > Width) {
                    sender.AddRow(line, start, start + Width);
                    start += Width;
                }
                sender.AddRow(line, start);
            }
        };
    }
};

TEST_F(WrapFixture, EveryPositionRoundTripsWithAndWithoutAtRowEnd)
{
    for (bool atRowEnd : {false, true}) {
        for (int line = 0; line < int(lengths.size()); ++line) {
            for (int column = 0; column <= lengths[size_t(line)]; ++column) {
                TEasyWrapPos rowPos;
                ASSERT_TRUE(list.TextToRow({column, line}, atRowEnd, rowPos)) << line << ':' << column;
                const TEasyWrapRow& row = list.Items(rowPos.Y);
                EXPECT_EQ(row.Line, line);
                EXPECT_GE(rowPos.X, 0);
                EXPECT_LE(rowPos.X, Width);
                TEasyWrapPos back;
                ASSERT_TRUE(list.RowToText(rowPos, back));
                EXPECT_EQ(back.X, column);
                EXPECT_EQ(back.Y, line);
            }
        }
    }
}

TEST_F(WrapFixture, BreakColumnBelongsToNextRowUnlessAtRowEnd)
{
    // Line 3 (23 characters) has rows 0-10, 10-20 and 20-end.
    TEasyWrapPos rowPos;
    ASSERT_TRUE(list.TextToRow({10, 3}, false, rowPos));
    EXPECT_EQ(list.Items(rowPos.Y).StartCol, 10);
    EXPECT_EQ(rowPos.X, 0);
    ASSERT_TRUE(list.TextToRow({10, 3}, true, rowPos));
    EXPECT_EQ(list.Items(rowPos.Y).StartCol, 0);
    EXPECT_EQ(rowPos.X, 10);
    // A line that fits is one row to the end of the line.
    const int row = list.FindRow({5, 1}, false);
    ASSERT_GE(row, 0);
    EXPECT_EQ(list.Items(row).StartCol, 0);
    EXPECT_EQ(list.Items(row).EndCol, INT_MAX);
    // Exactly the width: still one row.
    EXPECT_EQ(list.Items(list.FindRow({10, 2}, false)).EndCol, INT_MAX);
}

TEST(EasyWrapList, RowTenOfAnEmptyListAsksForTheLinesUpTo266)
{
    TEasyWrapList list;
    std::vector<std::pair<int, int>> requests;
    list.OnNeedRows = [&](TEasyWrapList&, int from, int to) { requests.emplace_back(from, to); };
    EXPECT_EQ(list.RowIndex({0, 10}), -1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], std::make_pair(0, 266));
}

TEST_F(WrapFixture, RowsAreMadeInBatchesOnlyWhenMissing)
{
    lengths.assign(1000, 3);
    list.FindRow({0, 0}, false);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], std::make_pair(0, 256));
    EXPECT_EQ(list.Count(), 257);
    list.FindRow({2, 200}, false);  // already there
    EXPECT_EQ(requests.size(), 1u);
    list.FindRow({0, 300}, false);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], std::make_pair(257, 556));
}

TEST_F(WrapFixture, PositionsWithoutRowGiveMinusOneOrTheLine)
{
    TEasyWrapPos rowPos{7, 7};
    EXPECT_FALSE(list.TextToRow({0, 99}, false, rowPos));  // a line past the text
    EXPECT_EQ(rowPos.Y, -1);

    TEasyWrapList empty;  // no owner yet
    TEasyWrapPos pos;
    EXPECT_FALSE(empty.RowToText({3, 4}, pos));
    EXPECT_EQ(pos.X, 3);
    EXPECT_EQ(pos.Y, 4);
    EXPECT_EQ(empty.RowIndex({0, 0}), -1);
    EXPECT_EQ(empty.FindRow({0, 0}, false), -1);
}

TEST_F(WrapFixture, RowToTextBeyondCountsOneLinePerRowPastTheEnd)
{
    // 1 + 1 + 1 + 3 + 4 rows; the last row is row 9 on line 4.
    TEasyWrapPos pos;
    list.RowToTextBeyond({2, 9}, pos);
    EXPECT_EQ(pos.Y, 4);
    EXPECT_EQ(pos.X, 32);
    list.RowToTextBeyond({2, 12}, pos);
    EXPECT_EQ(pos.Y, 7);
    EXPECT_EQ(pos.X, 2);
    ASSERT_TRUE(list.RowToText({2, 12}, pos));  // limited to the last row
    EXPECT_EQ(pos.Y, 4);
    EXPECT_EQ(list.RowIndex({0, 12}), 9);
}

TEST_F(WrapFixture, DeleteLinesRemovesOnlyTheirRows)
{
    list.FindRow({0, 4}, false);
    const int before = list.Count();
    list.DeleteLines(3, 3);
    EXPECT_EQ(list.Count(), before - 3);
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_NE(list.Items(i).Line, 3);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace qrv

#include "editor/EasyListColumns.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qrv;

namespace {

constexpr TEasyColumnPiece Sep{0, true};
TEasyColumnPiece Text(int width)
{
    return {width, false};
}

// The x at which each column of the item starts.
std::vector<int> Starts(const std::vector<TEasyColumnPiece>& item)
{
    std::vector<int> starts{0};
    int x = 0;
    for (const TEasyColumnPiece& piece : item) {
        x += piece.Width;
        if (piece.Separator)
            starts.push_back(x);
    }
    return starts;
}

}  // namespace

TEST(EasyListColumns, SeparatorsBringColumnsToOneX)
{
    // "a|bb" and "ccc|d": bb and d start where ccc ends.
    std::vector<std::vector<TEasyColumnPiece>> items{{Text(7), Sep, Text(14)}, {Text(21), Sep, Text(7)}};
    EXPECT_EQ(AlignColumns(items), 21 + 14);
    EXPECT_EQ(items[0][1].Width, 14);
    EXPECT_EQ(items[1][1].Width, 0);
    EXPECT_EQ(Starts(items[0]), Starts(items[1]));
    EXPECT_EQ(Starts(items[0])[1], 21);
}

TEST(EasyListColumns, ItemsWithMoreColumnsPiecesAndNone)
{
    std::vector<std::vector<TEasyColumnPiece>> items{
        {Text(3), Text(4), Sep, Text(10), Sep, Text(2)},  // a column of two pieces
        {Text(20)},                                       // no separator at all
        {Text(1), Sep, Text(1)},
        {},
        {Sep, Sep, Text(5)},  // empty columns
    };
    // Columns: max(7, 20, 1, 0, 0) = 20, max(10, 1, 0) = 10, max(2, 5) = 5.
    EXPECT_EQ(AlignColumns(items), 35);
    EXPECT_EQ(Starts(items[0]), (std::vector<int>{0, 20, 30}));
    EXPECT_EQ(Starts(items[2]), (std::vector<int>{0, 20}));
    EXPECT_EQ(Starts(items[4]), (std::vector<int>{0, 20, 30}));
    // Aligning again changes nothing.
    const auto before = items;
    EXPECT_EQ(AlignColumns(items), 35);
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(Starts(items[i]), Starts(before[i]));
}

TEST(EasyListColumns, HugeWidthsSaturate)
{
    std::vector<std::vector<TEasyColumnPiece>> items{{Text(INT_MAX), Sep, Text(INT_MAX)}};
    EXPECT_EQ(AlignColumns(items), INT_MAX);
    std::vector<std::vector<TEasyColumnPiece>> none;
    EXPECT_EQ(AlignColumns(none), 0);
}

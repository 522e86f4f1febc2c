#include "editor/EasyStrings.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

namespace {

// Lines 0..9: a block headed by line 1 (lines 2..7, level 1) holding a
// nested block headed by line 3 (lines 4..5, level 2).
void MakeBlocks(TEasyStrings& lines)
{
    lines.SetText(u"0\n1\n2\n3\n4\n5\n6\n7\n8\n9");
    lines.SetAllowHiddenLines(true);
    for (int i = 2; i <= 7; ++i) {
        TEasyStringItem& item = *lines.Items(i);
        item.Flags |= lfCollapsible;
        item.Level = (i == 4 || i == 5) ? 2 : 1;
    }
}

std::vector<int> Visible(const TEasyStrings& lines)
{
    std::vector<int> visible;
    for (int i = 0; i < lines.Count(); ++i)
        if (lines.IsLineVisible(i))
            visible.push_back(i);
    return visible;
}

}  // namespace

TEST(EasyHiddenLines, NestedBlocksCollapseAndExpand)
{
    TEasyStrings lines;
    MakeBlocks(lines);
    lines.Collapse(3, true);
    EXPECT_EQ(Visible(lines), (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 9}));
    lines.Collapse(1, true);
    EXPECT_EQ(Visible(lines), (std::vector<int>{0, 1, 8, 9}));
    EXPECT_EQ(lines.HiddenCount(), 6);
    EXPECT_TRUE(lines.IsCollapsed(1));

    // Rows and lines map both ways for every visible line.
    const std::vector<int> visible = Visible(lines);
    for (int row = 0; row < static_cast<int>(visible.size()); ++row) {
        EXPECT_EQ(lines.RowToLine(row), visible[row]) << row;
        EXPECT_EQ(lines.LineToRow(visible[row]), row) << row;
    }
    EXPECT_EQ(lines.LineToRow(5), 2) << "a hidden line maps to the row after the block start";

    // The index follows insertions and deletions.
    lines.Insert(0, u"neu");
    EXPECT_EQ(Visible(lines), (std::vector<int>{0, 1, 2, 9, 10}));
    lines.Delete(6);
    EXPECT_EQ(Visible(lines), (std::vector<int>{0, 1, 2, 8, 9}));
    EXPECT_EQ(lines.HiddenCount(), 5);
    EXPECT_EQ(lines.RowToLine(3), 8);

    // ExpandAbove opens the nearest collapsed header: the nested one.
    lines.ExpandAbove(6);
    EXPECT_TRUE(lines.IsExpanded(4));
    EXPECT_TRUE(lines.IsCollapsed(2));
    lines.Collapse(4, true);
    // Expanding the outer block opens the nested header as well.
    lines.Expand(2, true);
    EXPECT_EQ(lines.HiddenCount(), 0);
    EXPECT_TRUE(lines.IsExpanded(4)) << "the nested header opened with it";
}

TEST(EasyHiddenLines, VisibilityOfSingleLinesAndTheSwitch)
{
    TEasyStrings lines;
    MakeBlocks(lines);
    int changes = 0;
    bool collapsingSeen = false;
    lines.OnChange = [&](TEasyStrings& sender) {
        ++changes;
        collapsingSeen = sender.Collapsing();
    };
    lines.Collapse(1, true);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(collapsingSeen);
    EXPECT_FALSE(lines.Collapsing());

    // A new line below a collapsed header is hidden, inside an open block it stays.
    lines.Insert(2, u"neu");
    lines.SetLineVisible(2, false);
    EXPECT_FALSE(lines.IsLineVisible(2));
    lines.SetLineVisible(2, true);
    EXPECT_TRUE(lines.IsLineVisible(2));
    EXPECT_FALSE(lines.Items(2)->Flags & lfCollapsible);
    lines.Insert(9, u"verborgen");
    lines.SetLineVisible(9, false);
    EXPECT_FALSE(lines.IsLineVisible(9)) << "the line above is hidden";
    lines.Insert(11, u"offen");
    lines.SetLineVisible(11, false);
    EXPECT_TRUE(lines.IsLineVisible(11)) << "the line above is visible and no collapsed header";

    // Without hidden lines every line is visible and rows are lines.
    lines.SetAllowHiddenLines(false);
    EXPECT_EQ(lines.HiddenCount(), 0);
    EXPECT_TRUE(lines.IsLineVisible(4));
    EXPECT_EQ(lines.LineToRow(9), 9);
    EXPECT_EQ(lines.RowToLine(3), 3);
    lines.SetAllowHiddenLines(true);
    EXPECT_FALSE(lines.IsLineVisible(4)) << "the index is rebuilt from the records";
}

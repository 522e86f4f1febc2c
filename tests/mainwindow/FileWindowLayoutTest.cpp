// The file windows' geometry for both layouts: splits that would hide a
// window come back as half, the tree and the display pane keep their room.

#include "mainwindow/FileWindowLayout.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A 1000 x 700 client, tree 200, display 150, splitters 4: the file
// windows' area is 796 x 546.
TFileWindowRequest Request(int Layout, int Split)
{
    TFileWindowRequest r;
    r.Layout = Layout;
    r.Sizes = {200, 150, 0, 0};
    SetSplit(r.Sizes, Layout, Split);
    r.ClientWidth = 1000;
    r.ClientHeight = 700;
    r.SplitterSize = 4;
    r.TreeMinHeight = 60;
    return r;
}

}  // namespace

TEST(FileWindowLayout, UnusableSplitsBecomeHalfOfTheArea)
{
    struct Case {
        int layout, split, expected;
    } cases[] = {
        // Stacked: the area is 546 high.
        {kLayoutStacked, 300, 300},
        {kLayoutStacked, 30, 273},
        {kLayoutStacked, 0, 273},
        {kLayoutStacked, -7, 273},
        {kLayoutStacked, 50, 50},
        {kLayoutStacked, 496, 496},
        {kLayoutStacked, 497, 273},  // 49 px from the far edge
        {kLayoutStacked, 506, 273},  // 40 px from the far edge
        {kLayoutStacked, 99999999, 273},
        // Side by side: the area is 796 wide.
        {kLayoutSideBySide, 300, 300},
        {kLayoutSideBySide, 30, 398},
        {kLayoutSideBySide, 0, 398},
        {kLayoutSideBySide, 756, 398},
        {kLayoutSideBySide, 746, 746},
        {kLayoutSideBySide, 99999999, 398},
    };
    for (const Case& c : cases) {
        const TFileWindowLayout out = ArrangeFileWindows(Request(c.layout, c.split));
        EXPECT_EQ(SplitOf(out.Sizes, c.layout), c.expected) << c.layout << " split " << c.split;
        EXPECT_GT(out.Second.Width, 0);
        EXPECT_GT(out.Second.Height, 0);
    }
}

TEST(FileWindowLayout, BoxesTileTheAreaInBothLayouts)
{
    const TFileWindowLayout stacked = ArrangeFileWindows(Request(kLayoutStacked, 300));
    EXPECT_EQ(stacked.AreaWidth, 796);
    EXPECT_EQ(stacked.AreaHeight, 546);
    EXPECT_EQ(stacked.First, (TPaneBox{0, 0, 796, 300}));
    EXPECT_EQ(stacked.Splitter, (TPaneBox{0, 300, 796, 4}));
    EXPECT_EQ(stacked.Second, (TPaneBox{0, 304, 796, 242}));

    const TFileWindowLayout beside = ArrangeFileWindows(Request(kLayoutSideBySide, 300));
    EXPECT_EQ(beside.First, (TPaneBox{0, 0, 300, 546}));
    EXPECT_EQ(beside.Splitter, (TPaneBox{300, 0, 4, 546}));
    EXPECT_EQ(beside.Second, (TPaneBox{304, 0, 492, 546}));
    // The other layout's split is left as it was.
    TFileWindowRequest both = Request(kLayoutSideBySide, 300);
    both.Sizes.FirstListHeight = 30;
    EXPECT_EQ(ArrangeFileWindows(both).Sizes.FirstListHeight, 30);
}

TEST(FileWindowLayout, SplitIsKeptBeforeTheFirstShowAndWithOneWindow)
{
    TFileWindowRequest early = Request(kLayoutStacked, 30);
    early.WindowShown = false;
    EXPECT_EQ(ArrangeFileWindows(early).Sizes.FirstListHeight, 30);
    SetSplit(early.Sizes, kLayoutStacked, 99999999);
    EXPECT_EQ(ArrangeFileWindows(early).Sizes.FirstListHeight, 700 - 150 - kMinPaneRoom);
    SetSplit(early.Sizes, kLayoutStacked, 0);
    EXPECT_EQ(ArrangeFileWindows(early).Sizes.FirstListHeight, 273);

    TFileWindowRequest single = Request(kLayoutStacked, 30);
    single.SecondShown = false;
    const TFileWindowLayout out = ArrangeFileWindows(single);
    EXPECT_EQ(out.Sizes.FirstListHeight, 30);
    EXPECT_EQ(out.First, (TPaneBox{0, 0, 796, 546}));
    EXPECT_EQ(out.Second, TPaneBox{});
}

TEST(FileWindowLayout, TreeAndDisplayKeepTheirRoom)
{
    struct Case {
        int tree, display;
        int treeOut, displayOut;
    } cases[] = {
        {200, 150, 200, 150},
        {10, 150, 50, 150},  // the tree is at least 50 wide
        {0, 150, 50, 150},
        {99999999, 150, 950, 150},  // and leaves 50 of the window
        {980, 150, 950, 150},
        // The window's room for the lists first (700 - 100), below.
        {200, 600, 200, 600},
        {200, 601, 200, 600},
        {200, 99999999, 200, 600},
    };
    for (const Case& c : cases) {
        TFileWindowRequest r = Request(kLayoutStacked, 200);
        r.Sizes.TreeWidth = c.tree;
        r.Sizes.DisplayHeight = c.display;
        const TFileWindowLayout out = ArrangeFileWindows(r);
        EXPECT_EQ(out.Sizes.TreeWidth, c.treeOut) << c.tree;
        EXPECT_EQ(out.Sizes.DisplayHeight, c.displayOut) << c.display;
    }
    // The display leaves the tree's least height, a splitter and 10.
    TFileWindowRequest tall = Request(kLayoutStacked, 200);
    tall.TreeMinHeight = 200;
    tall.Sizes.DisplayHeight = 550;
    EXPECT_EQ(ArrangeFileWindows(tall).Sizes.DisplayHeight, 700 - 200 - 4 - 10);
}

TEST(FileWindowLayout, HiddenTreeAndDisplayGiveTheirRoomToTheWindows)
{
    TFileWindowRequest r = Request(kLayoutSideBySide, 0);
    r.TreeShown = false;
    r.DisplayShown = false;
    const TFileWindowLayout out = ArrangeFileWindows(r);
    EXPECT_EQ(out.AreaWidth, 1000);
    EXPECT_EQ(out.AreaHeight, 700);
    EXPECT_EQ(out.Sizes.FirstListWidth, 500);
}

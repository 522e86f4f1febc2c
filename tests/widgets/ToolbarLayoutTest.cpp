#include "widgets/ToolbarLayout.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TToolbarItem Control(int width, int height, bool visible = true)
{
    TToolbarItem item;
    item.Width = width;
    item.Height = height;
    item.Visible = visible;
    return item;
}

TToolbarItem Separator(int horz = 6, int vert = 6)
{
    TToolbarItem item;
    item.Separator = true;
    item.SizeHorz = horz;
    item.SizeVert = vert;
    return item;
}

void ExpectPlace(const TToolbarItemPlace& p, int left, int top, int width, int height, const char* what)
{
    EXPECT_TRUE(p.Placed) << what;
    EXPECT_EQ(p.Left, left) << what;
    EXPECT_EQ(p.Top, top) << what;
    EXPECT_EQ(p.Width, width) << what;
    EXPECT_EQ(p.Height, height) << what;
}

}  // namespace

TEST(ToolbarLayout, DockedControlsLineUpCentredInTheRow)
{
    const std::vector<TToolbarItem> items{Control(23, 22), Separator(), Control(23, 22, false), Control(100, 20)};
    EXPECT_EQ(ToolbarRowThickness(items, TDockOrientation::doHorizontal), 22);

    const TToolbarLayout h = LayoutToolbar(items, TDockOrientation::doHorizontal, 24, 0);
    ExpectPlace(h.Places[0], 0, 1, 23, 22, "button");
    ExpectPlace(h.Places[1], 23, 0, 6, 24, "separator spans the row");
    EXPECT_FALSE(h.Places[2].Placed) << "hidden controls take no room";
    ExpectPlace(h.Places[3], 29, 2, 100, 20, "combo");
    EXPECT_EQ(h.ClientWidth, 129);
    EXPECT_EQ(h.ClientHeight, 24);

    const TToolbarLayout v = LayoutToolbar(items, TDockOrientation::doVertical, 0, 0);
    EXPECT_EQ(ToolbarRowThickness(items, TDockOrientation::doVertical), 100);
    ExpectPlace(v.Places[0], 38, 0, 23, 22, "button, vertical");
    ExpectPlace(v.Places[1], 0, 22, 100, 6, "separator, vertical");
    ExpectPlace(v.Places[3], 0, 28, 100, 20, "combo, vertical");
    EXPECT_EQ(v.ClientWidth, 100);
    EXPECT_EQ(v.ClientHeight, 48);
}

TEST(ToolbarLayout, AFloatingToolbarWrapsByGroupsAndHidesTheSeparatorAtTheBreak)
{
    const std::vector<TToolbarItem> items{Control(23, 22), Control(23, 22), Separator(), Control(23, 22),
                                          Control(23, 22)};
    const TToolbarLayout line = LayoutToolbar(items, TDockOrientation::doNoOrient, 0, 0);
    ExpectPlace(line.Places[0], 4, 2, 23, 22, "first, with margins");
    ExpectPlace(line.Places[4], 79, 2, 23, 22, "no wrap limit: one line");
    EXPECT_EQ(line.ClientWidth, 106);
    EXPECT_EQ(line.ClientHeight, 25);

    const TToolbarLayout wrapped = LayoutToolbar(items, TDockOrientation::doNoOrient, 0, 60);
    ExpectPlace(wrapped.Places[1], 27, 2, 23, 22, "second on the first line");
    EXPECT_EQ(wrapped.Places[2].Width, 0) << "the separator before the break takes no room";
    ExpectPlace(wrapped.Places[3], 4, 30, 23, 22, "a group break is 6 pixels further down");
    ExpectPlace(wrapped.Places[4], 27, 30, 23, 22, "fourth beside it");
    EXPECT_EQ(wrapped.ClientWidth, 54);
    EXPECT_EQ(wrapped.ClientHeight, 53);
}

TEST(ToolbarLayout, AnEmptyToolbarIsEightPixelsLong)
{
    const TToolbarLayout docked = LayoutToolbar({}, TDockOrientation::doHorizontal, 0, 0);
    EXPECT_EQ(docked.ClientWidth, 8);
    EXPECT_EQ(docked.ClientHeight, 8);
    const TToolbarLayout floating = LayoutToolbar({}, TDockOrientation::doNoOrient, 0, 0);
    EXPECT_EQ(floating.ClientWidth, 16);
}

TEST(ToolbarLayout, SnapSizesOfTwelveButtons)
{
    // The F-key toolbar: twelve buttons of 23 by 22. Floating margins are
    // 4 left and right, 2 on top and 1 below; n buttons a line take
    // 8 + 23n, and ceil(12 / n) lines take 3 + 22 lines. Of the widths giving
    // the same height only the narrowest is kept; the unwrapped size first.
    const std::vector<TToolbarItem> items(12, Control(23, 22));
    const std::vector<TToolbarSnapSize> sizes = ToolbarSnapSizes(items, 8, 23);
    const std::vector<TToolbarSnapSize> expected{
        {284 + 8, 25 + 23, 0},    // one line
        {146 + 8, 47 + 23, 146},  // 6 a line, two lines
        {100 + 8, 69 + 23, 100},  // 4 a line, three lines
        {77 + 8, 91 + 23, 77},    // 3 a line, four lines
        {54 + 8, 135 + 23, 54},   // 2 a line, six lines
        {31 + 8, 267 + 23, 31},   // one a line: the button and the margins
    };
    EXPECT_EQ(sizes, expected);
    // Each is what the layout gives at its wrap width.
    for (const TToolbarSnapSize& size : sizes) {
        const TToolbarLayout layout = LayoutToolbar(items, TDockOrientation::doNoOrient, 0, size.WrapWidth);
        EXPECT_EQ(layout.ClientWidth + 8, size.Width);
        EXPECT_EQ(layout.ClientHeight + 23, size.Height);
    }
}

TEST(ToolbarLayout, ResizingSnapsToTheNextSizeAfterATolerance)
{
    const std::vector<TToolbarItem> items(12, Control(23, 22));
    TToolbarResizeSnap byWidth(ToolbarSnapSizes(items, 8, 23), false, 292, 48);
    EXPECT_EQ(byWidth.Tolerance(), 12);
    EXPECT_EQ(byWidth.Move(280).Width, 292) << "within the tolerance";
    const TToolbarSnapSize shrunk = byWidth.Move(279);
    EXPECT_EQ(shrunk.Width, 154) << "shrinking: the largest that fits";
    EXPECT_EQ(shrunk.WrapWidth, 146);
    EXPECT_EQ(byWidth.Move(150).Width, 108) << "no tolerance once it changed";
    EXPECT_EQ(byWidth.Move(109).Width, 108) << "turning round: the tolerance holds again";
    EXPECT_EQ(byWidth.Move(121).Width, 154) << "growing: the smallest beyond the wish";
    EXPECT_EQ(byWidth.Move(5000).Width, 292);
    EXPECT_EQ(byWidth.Move(1).Width, 39) << "the smallest when none fits";

    // By the bottom edge: taller means narrower, and growing goes to the
    // first size beyond the cursor.
    TToolbarResizeSnap byHeight(ToolbarSnapSizes(items, 8, 23), true, 292, 48);
    const TToolbarSnapSize taller = byHeight.Move(100);
    EXPECT_EQ(taller.Height, 114);
    EXPECT_EQ(taller.Width, 85);
    EXPECT_EQ(byHeight.Move(103).Height, 114) << "turning round, within the tolerance";
    EXPECT_EQ(byHeight.Move(80).Height, 70) << "shrinking: the tallest within the wish";
}

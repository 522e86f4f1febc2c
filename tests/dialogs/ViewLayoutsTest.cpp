// The preset views and the view manager's layouts: the index shown for the
// window's fields, the fields after OK and the first window's size.

#include "dialogs/ViewLayouts.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ViewLayouts, ShownIndexFollowsTreeSecondWindowAndLayout)
{
    struct Case {
        bool tree, second;
        int divider, index;
    } cases[] = {
        {true, false, 0, 0}, {true, false, 1, 0}, {true, true, 1, 3},   {true, true, 0, 4},   {true, true, 7, 4},
        {false, true, 0, 1}, {false, true, 1, 2}, {false, false, 0, 1}, {false, false, 1, 2}, {false, true, 5, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ViewManIndex({c.tree, c.second, c.divider, 0}), c.index)
            << c.tree << c.second << " divider " << c.divider;
}

TEST(ViewLayouts, OkWritesTheLayoutsFields)
{
    const TViewLayout current{false, true, 0, 1};
    struct Case {
        int index;
        bool inSecond;
        TViewLayout expected;
    } cases[] = {
        // "Explorer" keeps the layout code and the display position.
        {0, false, {true, false, 0, 1}}, {0, true, {true, false, 0, 1}}, {1, false, {false, true, 0, 0}},
        {2, true, {false, true, 1, 1}},  {3, false, {true, true, 1, 0}}, {4, true, {true, true, 0, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ViewManResult(c.index, c.inSecond, current), c.expected) << c.index;
        EXPECT_EQ(ViewManDisplayChoiceEnabled(c.index), c.index != 0);
        // The dialog shows the layout it wrote.
        EXPECT_EQ(ViewManIndex(ViewManResult(c.index, c.inSecond, current)), c.index);
    }
    EXPECT_EQ(ViewManResult(9, true, current), current);
}

TEST(ViewLayouts, FirstWindowSizeAfterTheChoice)
{
    const TFirstWindowSize before{300, 200};
    struct Case {
        int index;
        int width, height;
    } cases[] = {{0, 300, 200}, {1, 400, 200}, {2, 300, 200}, {3, 300, 250}, {4, 400, 200}};
    for (const Case& c : cases) {
        const TFirstWindowSize after = HalvedFirstWindow(ViewManHalf(c.index), before, 800, 500);
        EXPECT_EQ(after.Width, c.width) << c.index;
        EXPECT_EQ(after.Height, c.height) << c.index;
    }
    EXPECT_STREQ(kViewManLayouts[4].Preview, L"2FWV.BMP");
    EXPECT_STREQ(kViewManLayouts[0].Caption, L"Explorer");
}

TEST(ViewLayouts, PresetsSetTheirPanesAndLayout)
{
    const TViewLayout current{false, true, 0, 1};
    const TViewChange explorer = PresetView(TPresetView::Explorer, current);
    EXPECT_EQ(explorer.Layout, (TViewLayout{true, false, 0, 1}));
    EXPECT_EQ(explorer.Half, THalfSize::None);
    const TViewChange commander = PresetView(TPresetView::Commander, {true, false, 1, 0});
    EXPECT_EQ(commander.Layout, (TViewLayout{false, true, kLayoutSideBySide, 0}));
    EXPECT_EQ(commander.Half, THalfSize::Width);
    const TViewChange standard = PresetView(TPresetView::Standard, current);
    EXPECT_EQ(standard.Layout, (TViewLayout{true, true, kLayoutStacked, 1}));
    EXPECT_EQ(standard.Half, THalfSize::Height);
}

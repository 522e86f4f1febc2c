#include "widgets/ToolWindowDrag.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// A form whose client area is (100,100)-(700,500) on the screen, with a top
// dock 26 thick, a bottom dock 26 thick and an empty left dock.
const TDragCandidate kTop{{100, 100, 700, 126}, TDockOrientation::doHorizontal, {62, 26}};
const TDragCandidate kBottom{{100, 474, 700, 500}, TDockOrientation::doHorizontal, {62, 26}};
const TDragCandidate kLeft{{100, 126, 100, 474}, TDockOrientation::doVertical, {27, 60}};
const TDragRect kWorkArea{0, 0, 1280, 1024};

// A toolbar 62 by 26 grabbed at (10, 13); floating it is 70 by 40.
TDragState Toolbar(bool canFloat = true)
{
    TDragState state;
    state.Grab = {10, 13};
    state.Extent = {61, 25};
    state.FloatingSize = {70, 40};
    state.CanFloat = canFloat;
    state.FrameSize = 4;
    state.TopNonClient = 19;
    return state;
}

}  // namespace

TEST(ToolWindowDrag, EvaluationAroundTheDocks)
{
    const std::vector<TDragCandidate> docks{kTop, kBottom, kLeft};
    struct Case {
        const char* what;
        TDragPoint cursor;
        bool ctrl;
        bool canFloat;
        int refused;  // the candidate whose OnRequestDock says no (-1: none)
        int target;
        TDragRect frame;
    };
    const Case cases[] = {
        {"inside the top dock", {300, 110}, false, true, -1, 0, {290, 97, 352, 123}},
        {"just above it, within the allowance", {300, 92}, false, true, -1, 0, {290, 79, 352, 105}},
        {"too far above it floats", {300, 85}, false, true, -1, -1, {289, 65, 359, 105}},
        {"Ctrl never docks", {300, 110}, true, true, -1, -1, {289, 90, 359, 130}},
        {"a refused dock is passed over", {300, 110}, false, true, 0, -1, {289, 90, 359, 130}},
        {"the bottom dock", {300, 490}, false, true, -1, 1, {290, 477, 352, 503}},
        {"the empty left dock takes its edge", {95, 300}, false, true, -1, 2, {91, 270, 118, 330}},
        {"above the left dock the top dock wins", {95, 120}, false, true, -1, 0, {85, 107, 147, 133}},
        {"a window that cannot float has no frame away from docks", {400, 300}, false, false, -1, -1, {}},
        {"but still docks", {300, 110}, false, false, -1, 0, {290, 97, 352, 123}},
    };
    for (const Case& c : cases) {
        int asked = 0;
        const TRequestDock request = [&](int i) {
            ++asked;
            return i != c.refused;
        };
        const TToolWindowDragResult r = EvaluateDrag(c.cursor, c.ctrl, Toolbar(c.canFloat), docks, request, kWorkArea);
        EXPECT_EQ(r.Target, c.target) << c.what;
        EXPECT_EQ(r.Frame, c.frame) << c.what;
        if (c.ctrl)
            EXPECT_EQ(asked, 0) << c.what << ": no dock is asked";
    }
}

TEST(ToolWindowDrag, AZeroThickDockAndTheFloatingFrameLimits)
{
    // An empty top dock is 0 pixels high; a cursor near its edge docks.
    const TDragCandidate empty{{100, 100, 700, 100}, TDockOrientation::doHorizontal, {62, 26}};
    const TToolWindowDragResult onEdge = EvaluateDrag({300, 105}, false, Toolbar(), {empty}, nullptr, kWorkArea);
    EXPECT_EQ(onEdge.Target, 0);
    const TToolWindowDragResult below = EvaluateDrag({300, 115}, false, Toolbar(), {empty}, nullptr, kWorkArea);
    EXPECT_EQ(below.Target, -1) << "beyond the allowance under it";

    // A cursor off the work area places the frame as if at its edge.
    const TToolWindowDragResult right = EvaluateDrag({2000, 500}, false, Toolbar(), {}, nullptr, kWorkArea);
    EXPECT_EQ(right.Frame.Left, 1279 - 11);
    // The caption stays reachable: the top is at most the caption's height
    // (less 4) above the work area.
    const TToolWindowDragResult high = EvaluateDrag({300, -50}, false, Toolbar(), {}, nullptr, kWorkArea);
    EXPECT_EQ(high.Frame.Top, -15);
}

TEST(ToolWindowDrag, DropRowAndInsertFlag)
{
    // Two rows of 22: row 0 spans 0..26, row 1 26..52.
    const std::vector<int> rows{22, 22};
    const auto none = [](int) { return false; };
    const auto used = [](int row) { return row == 0; };
    struct Case {
        int centre;
        bool fullSize;
        int row;
        bool shift;
        int shiftFrom;
    };
    const Case cases[] = {
        {2, false, 0, true, 0},    // at the top edge: a new row before row 0
        {13, false, 0, false, 0},  // in row 0
        {23, false, 1, true, 1},   // near the boundary: a new row between
        {40, false, 1, false, 0},  // in row 1
        {55, false, 2, true, 2},   // just past the last row: a new row after it
        {70, false, 2, false, 0},  // further past: the row after the last
        {13, true, 1, true, 1},    // a full-size window takes the next row of its own
    };
    for (const Case& c : cases) {
        const TDockDrop drop = DecideDockDrop(rows, c.centre, c.fullSize, c.fullSize ? used : none);
        EXPECT_EQ(drop.Row, c.row) << c.centre;
        EXPECT_EQ(drop.ShiftFrom, c.shift) << c.centre;
        if (c.shift)
            EXPECT_EQ(drop.ShiftFromRow, c.shiftFrom) << c.centre;
    }
    // A full-size window alone in the row stays there.
    EXPECT_EQ(DecideDockDrop(rows, 13, true, none).Row, 0);
}

TEST(ToolWindowDrag, KeepOnScreenOverTwoMonitors)
{
    const std::vector<TDragRect> areas{{0, 0, 1280, 1000}, {1280, 0, 2560, 1000}};
    struct Case {
        const char* what;
        TDragRect window;
        bool onlyIfLost;
        TDragRect expected;
    };
    const Case cases[] = {
        {"right of every monitor: back onto the second", {2600, 100, 2700, 140}, true, {2460, 100, 2560, 140}},
        {"above and left of every monitor", {-300, -200, -200, -160}, true, {0, 0, 100, 40}},
        {"below both, nearer the second", {1500, 1100, 1600, 1140}, false, {1500, 960, 1600, 1000}},
        {"touching its monitor: left alone when only lost ones move", {1270, 10, 1370, 50}, true, {1270, 10, 1370, 50}},
        {"across both: onto the one it covers most", {1270, 10, 1370, 50}, false, {1280, 10, 1380, 50}},
        {"larger than the work area: its top-left corner shows", {-50, -50, 1400, 1100}, false, {0, 0, 1450, 1150}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeepOnScreen(c.window, areas, c.onlyIfLost), c.expected) << c.what;
}

TEST(ToolWindowDrag, NonClientSizesAndHitTestBands)
{
    using K = TDragHandleKind;
    constexpr auto H = TDockOrientation::doHorizontal;
    constexpr auto V = TDockOrientation::doVertical;
    EXPECT_EQ(DockedNonClient(H, true, K::Single, false), (TDragRect{8, 2, 2, 2}));
    EXPECT_EQ(DockedNonClient(H, true, K::Double, false), (TDragRect{11, 2, 2, 2}));
    EXPECT_EQ(DockedNonClient(H, true, K::None, false), (TDragRect{2, 2, 2, 2}));
    EXPECT_EQ(DockedNonClient(H, true, K::None, true), (TDragRect{16, 2, 2, 2})) << "room for the close button";
    EXPECT_EQ(DockedNonClient(V, true, K::Single, false), (TDragRect{2, 8, 2, 2}));
    EXPECT_EQ(DockedNonClient(V, false, K::Double, true), (TDragRect{2, 2, 2, 2})) << "no handle in a fixed dock";
    // The docked close button: 11 pixels square inside the 14-pixel band.
    EXPECT_EQ(DockedCloseButton(H, true, TDragSize{120, 26}), (TDragRect{3, 2, 14, 13}));
    EXPECT_EQ(DockedCloseButton(V, true, TDragSize{26, 120}), (TDragRect{13, 3, 24, 14})) << "at the band's right end";
    EXPECT_TRUE(DockedCloseButton(H, false, TDragSize{120, 26}).Empty()) << "no band, no button";

    TNonClientMetrics metrics;
    metrics.SizeFrameX = metrics.SizeFrameY = 4;
    metrics.FixedFrameX = metrics.FixedFrameY = 3;
    metrics.SmallCaption = 15;
    const TDragRect nc = FloatingNonClient(metrics, true, true);
    EXPECT_EQ(nc, (TDragRect{4, 19, 4, 4}));
    EXPECT_EQ(FloatingNonClient(metrics, false, false), (TDragRect{3, 3, 3, 3}));

    const TDragSize size{100, 40};
    const TDragRect close = FloatingCloseButton(size, nc, 4, 4);
    EXPECT_EQ(close, (TDragRect{82, 5, 95, 18}));
    struct Case {
        TDragPoint at;
        bool resizable;
        bool eightEdges;
        TFloatingHit hit;
    };
    const Case cases[] = {
        {{50, 10}, true, false, fhClient},  // the caption drags
        {{50, 30}, true, false, fhClient},     {{85, 10}, true, false, fhClose},  {{1, 20}, true, false, fhLeft},
        {{98, 20}, true, false, fhRight},      {{50, 1}, true, false, fhTop},     {{50, 38}, true, false, fhBottom},
        {{1, 5}, true, false, fhLeft},  // four edges only: no corners
        {{1, 5}, true, true, fhTopLeft},       {{10, 1}, true, true, fhTopLeft},  {{50, 1}, true, true, fhTop},
        {{98, 38}, true, true, fhBottomRight}, {{1, 20}, false, true, fhNowhere},  // a fixed frame does not size
        {{100, 20}, true, false, fhNowhere},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatingHitTest(c.at, size, nc, 4, 4, close, c.resizable, c.eightEdges), c.hit)
            << c.at.X << "," << c.at.Y << (c.eightEdges ? " eight edges" : "");
}

TEST(ToolWindowDrag, FloatingVisibilityRule)
{
    TFloatingVisibility v;
    v.Showing = true;
    EXPECT_TRUE(FloatingWindowShouldShow(v));
    auto with = [](TFloatingVisibility base, auto change) {
        change(base);
        return FloatingWindowShouldShow(base);
    };
    EXPECT_FALSE(with(v, [](auto& s) { s.Showing = false; }));
    EXPECT_FALSE(with(v, [](auto& s) { s.FormShowing = false; })) << "the form is minimised";
    EXPECT_FALSE(with(v, [](auto& s) { s.AppMinimised = true; }));
    EXPECT_TRUE(with(v, [](auto& s) {
        s.FormShowing = false;
        s.OnTopOfParentForm = false;
    })) << "on top of all forms it stays";
    EXPECT_FALSE(with(v, [](auto& s) { s.AppActive = false; })) << "another program is active";
    EXPECT_TRUE(with(v, [](auto& s) {
        s.AppActive = false;
        s.HideWhenInactive = false;
    }));
}

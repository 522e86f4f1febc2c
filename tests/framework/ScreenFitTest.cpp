// Keeping rectangles on one of two monitors side by side.

#include "framework/ScreenFit.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ScreenFit, ARectStaysOnItsMonitorAndOneOffBothComesBack)
{
    const std::vector<TScreenRect> monitors{{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    struct Case {
        TScreenRect rect, kept;
    };
    const Case cases[] = {
        {{1500, 100, 1600, 200}, {1500, 100, 1600, 200}},     // wholly on the second: stays
        {{2500, 100, 2600, 200}, {2460, 100, 2560, 200}},     // over the second's right edge
        {{1200, 100, 1300, 200}, {1180, 100, 1280, 200}},     // mostly on the first
        {{1260, 100, 1360, 200}, {1280, 100, 1380, 200}},     // mostly on the second
        {{3000, 2000, 3100, 2100}, {2460, 924, 2560, 1024}},  // off both: the nearest
        {{-300, -50, -200, 50}, {0, 0, 100, 100}},
        {{100, 100, 2000, 200}, {0, 100, 1900, 200}},  // wider than its monitor: the left edge holds
    };
    for (const Case& c : cases) {
        const TScreenRect kept = KeepOnAreas(c.rect, monitors);
        EXPECT_EQ(kept, c.kept) << c.rect.Left << "," << c.rect.Top;
    }
    EXPECT_EQ(KeepOnAreas({5, 5, 10, 10}, {}), (TScreenRect{5, 5, 10, 10})) << "no monitors known";
    // The hint's question: the monitor holding a point (a 1 x 1 rectangle).
    EXPECT_EQ(&AreaHolding({1300, 10, 1301, 11}, monitors), &monitors[1]);
    EXPECT_EQ(&AreaHolding({1279, 10, 1280, 11}, monitors), &monitors[0]);
}

// Stored pane sizes against a small and a large window.

#include "mainwindow/PaneSizes.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(PaneSizes, StoredSizesAreFittedToTheWindow)
{
    struct Case {
        TPaneSizes stored;
        int width, height;
        TPaneSizes fitted;
    } cases[] = {
        // Sizes that fit stay as they are.
        {{220, 170, 200}, 1280, 900, {220, 170, 200}},
        {{220, 170, 200}, 640, 480, {220, 170, 200}},
        // Too large for the window: each pane keeps room for the others.
        {{99999999, 0, 0}, 640, 480, {590, 0, 0}},
        {{0, 99999999, 0}, 640, 480, {0, 380, 0}},
        {{0, 0, 99999999}, 640, 480, {0, 0, 430}},
        {{0, 300, 99999999}, 640, 480, {0, 300, 130}},
        {{99999999, 99999999, 99999999}, 1920, 1080, {1870, 980, 50}},
        {{2147483647, 2147483647, 2147483647}, 640, 480, {590, 380, 50}},
        // Not stored (0) or nonsense (negative): the layout's own size.
        {{0, 0, 0}, 640, 480, {0, 0, 0}},
        {{-5, -2147483647 - 1, -1}, 640, 480, {0, 0, 0}},
        // A window with less room than the minimum still gets a pane.
        {{220, 170, 200}, 30, 20, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        const TPaneSizes fitted = FitPaneSizes(c.stored, c.width, c.height);
        EXPECT_EQ(fitted.TreeWidth, c.fitted.TreeWidth) << c.stored.TreeWidth << " in " << c.width;
        EXPECT_EQ(fitted.DisplayHeight, c.fitted.DisplayHeight) << c.stored.DisplayHeight << " in " << c.height;
        EXPECT_EQ(fitted.FirstListHeight, c.fitted.FirstListHeight) << c.stored.FirstListHeight << " in " << c.height;
    }
}

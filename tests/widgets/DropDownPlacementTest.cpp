#include "widgets/DropDownPlacement.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct PlacementCase {
    const char* what;
    TDropRect edit;
    int width, height;
    TDropAlign align;
    int x, y;
};

// A screen of 800 x 600.
const PlacementCase kCases[] = {
    {"below, right edges aligned", {100, 100, 300, 121}, 150, 200, TDropAlign::daRight, 150, 121},
    {"above when the bottom is too near", {100, 450, 300, 471}, 150, 200, TDropAlign::daRight, 150, 250},
    {"right-aligned would start before 0: the edit's left", {10, 100, 110, 121}, 150, 50, TDropAlign::daRight, 10, 121},
    {"left-aligned", {100, 100, 300, 121}, 150, 50, TDropAlign::daLeft, 100, 121},
    {"left-aligned past the right side: right-aligned", {600, 100, 780, 121}, 250, 50, TDropAlign::daLeft, 530, 121},
    {"still past the side: kept on the screen", {700, 100, 900, 121}, 150, 50, TDropAlign::daRight, 650, 121},
    {"wider than the screen starts at 0", {100, 100, 300, 121}, 900, 50, TDropAlign::daLeft, 0, 121},
};

}  // namespace

TEST(DropDownPlacement, BelowOrAboveAndAlignedOnTheScreen)
{
    for (const PlacementCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const TDropPoint at = PlaceDropDown(c.edit, c.width, c.height, 800, 600, c.align);
        EXPECT_EQ(at.X, c.x);
        EXPECT_EQ(at.Y, c.y);
    }
}

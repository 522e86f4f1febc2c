#include "editor/EasySelMode.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(EasySelMode, ARequestedSelectionModeFollowsTheAllowedModes)
{
    using enum TEasyBlockSelMode;
    const struct {
        TEasyBlockSelMode Allowed;
        int Requested;
        bool CanBlock;
        int Expected;
    } cases[] = {
        {bsStream, smBlock, true, smStream}, {bsStream, smStream, true, smStream}, {bsBlock, smStream, true, smBlock},
        {bsBlock, smBlock, false, smNone},   {bsBlock, smStream, false, smNone},   {bsNone, smStream, true, smNone},
        {bsNone, smBlock, true, smNone},     {bsBoth, smBlock, true, smBlock},     {bsBoth, smBlock, false, smStream},
        {bsBoth, smStream, false, smStream}, {bsBoth, smNone, true, smNone},       {bsStream, smNone, true, smNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdjustSelMode(c.Allowed, c.Requested, c.CanBlock), c.Expected)
            << "allowed " << int(c.Allowed) << ", requested " << c.Requested << ", block " << c.CanBlock;
}

TEST(EasySelMode, SelectionCornersAreOrderedForTheirMode)
{
    const struct {
        TEasyPoint A, B;
        int Mode;
        bool Reduce;
        TEasyPoint Start, End;
        bool Empty;
    } cases[] = {
        // A stream runs in reading order; one point is no selection.
        {{5, 2}, {1, 0}, smStream, false, {1, 0}, {5, 2}, false},
        {{1, 3}, {7, 3}, smStream, false, {1, 3}, {7, 3}, false},
        {{4, 4}, {4, 4}, smStream, false, {4, 4}, {4, 4}, true},
        // A block from its top-left to its bottom-right corner, whichever
        // two corners were given.
        {{1, 5}, {6, 2}, smBlock, false, {1, 2}, {6, 5}, false},
        {{6, 5}, {1, 2}, smBlock, false, {1, 2}, {6, 5}, false},
        // One column wide: its end column is included, unless reduced.
        {{3, 1}, {3, 4}, smBlock, false, {3, 1}, {3, 4}, false},
        {{3, 1}, {3, 4}, smBlock, true, {3, 1}, {3, 4}, true},
        {{2, 1}, {3, 4}, smBlock, true, {2, 1}, {3, 4}, false},
    };
    for (const auto& c : cases) {
        const TEasySelCorners corners = OrderSelCorners(c.A, c.B, c.Mode, c.Reduce);
        EXPECT_EQ(corners.Start, c.Start) << c.A.X << "," << c.A.Y << " " << c.B.X << "," << c.B.Y;
        EXPECT_EQ(corners.End, c.End) << c.A.X << "," << c.A.Y << " " << c.B.X << "," << c.B.Y;
        EXPECT_EQ(corners.Empty, c.Empty) << c.A.X << "," << c.A.Y << " " << c.B.X << "," << c.B.Y;
    }
    // The columns of a block: the end column in, unless reduced.
    EXPECT_EQ(BlockColumns({2, 0}, {5, 3}, false).Left, 2);
    EXPECT_EQ(BlockColumns({2, 0}, {5, 3}, false).Right, 6);
    EXPECT_EQ(BlockColumns({2, 0}, {5, 3}, true).Right, 5);
}

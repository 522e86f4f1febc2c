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

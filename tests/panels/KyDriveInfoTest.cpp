#include "panels/KyDriveInfo.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(DefaultDrive, FirstFixedDriveThatThePolicyDoesNotHide)
{
    // A: removable, C: and D: fixed, E: CD.
    auto types = [](wchar_t d) { return d == L'A' ? 2 : (d == L'C' || d == L'D') ? 3 : d == L'E' ? 5 : 1; };
    EXPECT_EQ(ChooseDefaultDrive(types, 0), L'C');
    EXPECT_EQ(ChooseDefaultDrive(types, 1u << 2), L'D') << "C: hidden";
    EXPECT_EQ(ChooseDefaultDrive(types, (1u << 2) | (1u << 3)), L' ') << "no fixed drive left";
    EXPECT_TRUE(HiddenByNoDrives(L'Z', 1u << 25));
    EXPECT_FALSE(HiddenByNoDrives(L'\\', 0xFFFFFFFF)) << "the network is no letter";
}

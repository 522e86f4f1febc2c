#include "widgets/TrayMessages.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(TrayMessages, EachMouseMessageHasItsAction)
{
    using A = TTrayAction;
    using B = TTrayButton;
    struct Case {
        uint32_t message;  // WM_*
        TTrayMessage meaning;
    };
    const Case cases[] = {
        {0x0200, {A::Move, B::Left}},
        {0x0201, {A::Down, B::Left}},
        {0x0202, {A::Up, B::Left}},
        {0x0203, {A::DoubleClick, B::Left}},
        {0x0204, {A::Down, B::Right}},
        {0x0205, {A::Up, B::Right}},
        {0x0206, {A::DoubleClick, B::Right}},
        {0x0207, {A::Down, B::Middle}},
        {0x0208, {A::Up, B::Middle}},
        {0x0209, {A::DoubleClick, B::Middle}},
        {0x007B, {A::ContextMenu, B::Right}},
        {0x020A, {}},  // the wheel is none of the tray's
        {0x0000, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyTrayMessage(c.message), c.meaning) << std::hex << c.message;
}

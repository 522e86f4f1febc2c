#include "widgets/SpinValue.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(SpinValue, ClampsOnlyWithARange)
{
    EXPECT_EQ(ClampSpinValue(15, 0, 10), 10);
    EXPECT_EQ(ClampSpinValue(-1, 0, 10), 0);
    EXPECT_EQ(ClampSpinValue(5, 0, 10), 5);
    EXPECT_EQ(ClampSpinValue(1e9, 0, 0), 1e9) << "equal bounds: no clamping";
    EXPECT_EQ(ClampSpinValue(-7, 3, 3), -7);
}

TEST(SpinValue, ReadsTextsOfEachType)
{
    struct Case {
        const wchar_t* text;
        TValueType type;
        double minValue;
        double expected;
    };
    const Case cases[] = {
        {L"12", TValueType::vtInteger, 0, 12},
        {L" -40 ", TValueType::vtInteger, 0, -40},
        {L"12a", TValueType::vtInteger, 5, 5},
        {L"", TValueType::vtInteger, 2.7, 2},  // the integer types truncate MinValue
        {L"ff", TValueType::vtHex, 0, 255},
        {L"FF", TValueType::vtHex, 0, 255},
        {L"g1", TValueType::vtHex, 1, 1},
        {L"1,5", TValueType::vtFloat, 0, 1.5},
        {L"-2,25e1", TValueType::vtFloat, 0, -22.5},
        {L"1.5", TValueType::vtFloat, 2.7, 2.7},  // not this locale's separator
        {L"abc", TValueType::vtFloat, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ParseSpinText(c.text, c.type, c.minValue, L','), c.expected) << c.text;
}

TEST(SpinValue, WritesTextsOfEachType)
{
    EXPECT_EQ(FormatSpinValue(1.5, TValueType::vtFloat, 2, L','), L"1,50");
    EXPECT_EQ(FormatSpinValue(-0.125, TValueType::vtFloat, 1, L'.'), L"-0.1");
    EXPECT_EQ(FormatSpinValue(255, TValueType::vtHex, 2, L','), L"FF");
    EXPECT_EQ(FormatSpinValue(0, TValueType::vtHex, 2, L','), L"0");
    EXPECT_EQ(FormatSpinValue(2.5, TValueType::vtInteger, 2, L','), L"2") << "halves go to the even neighbour";
    EXPECT_EQ(FormatSpinValue(3.5, TValueType::vtInteger, 2, L','), L"4");
    EXPECT_EQ(FormatSpinValue(-12, TValueType::vtInteger, 2, L','), L"-12");
    // What is written reads back.
    EXPECT_DOUBLE_EQ(ParseSpinText(FormatSpinValue(4095, TValueType::vtHex, 0, L','), TValueType::vtHex, 0, L','),
                     4095);
}

TEST(SpinValue, IntegerTypesStepByWholeNumbers)
{
    struct Case {
        TValueType type;
        double increment, expected;
    };
    const Case cases[] = {
        {TValueType::vtInteger, 0.25, 1},  // rounds to 0, which would never step
        {TValueType::vtInteger, 2.5, 2},   // halves to the even neighbour
        {TValueType::vtHex, 3.5, 4},      {TValueType::vtHex, -0.4, 1}, {TValueType::vtFloat, 0.25, 0.25},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpinIncrementFor(c.type, c.increment), c.expected) << c.increment;
}

TEST(SpinValue, DiagonalButtonHalves)
{
    struct Case {
        int x, y, width, height;
        TSpinHalf half;
    };
    const Case cases[] = {
        {0, 0, 20, 20, TSpinHalf::Up},     {19, 19, 20, 20, TSpinHalf::Down}, {2, 17, 20, 20, TSpinHalf::Up},
        {3, 18, 20, 20, TSpinHalf::Down},  {10, 10, 20, 20, TSpinHalf::Up},  // on the diagonal: up
        {10, 11, 20, 20, TSpinHalf::Down}, {30, 4, 40, 20, TSpinHalf::Up},   // a wide face
        {30, 5, 40, 20, TSpinHalf::Up},    {30, 6, 40, 20, TSpinHalf::Down},  {20, 5, 20, 20, TSpinHalf::None},
        {-1, 5, 20, 20, TSpinHalf::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpinHalfAt(c.x, c.y, c.width, c.height), c.half) << c.x << "," << c.y << " of " << c.width;
}

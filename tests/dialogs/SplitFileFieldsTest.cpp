// The split dialog's sizes: the choices, what a remembered size preselects,
// the custom size in KB and the refused sizes.

#include "dialogs/SplitFileFields.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(SplitFileFields, ChoicesPreselectTheirOwnSizeAndOthersTheCustomField)
{
    const auto choices = SplitSizeChoices();
    ASSERT_EQ(choices.size(), 10u);
    EXPECT_EQ(choices[0].Bytes, 359'424u);
    EXPECT_EQ(choices[9].Bytes, 838'860'800u);
    for (size_t i = 0; i < choices.size(); ++i)
        EXPECT_EQ(PresetForSize(choices[i].Bytes).Choice, i) << i;
    EXPECT_EQ(PresetForSize(kDefaultSplitSize).Choice, 3u);
    EXPECT_EQ(std::wstring(choices[3].Caption), L"1,&44 MB");
    const TSplitSizePreset custom = PresetForSize(5000 * 1024);
    EXPECT_FALSE(custom.Choice);
    EXPECT_EQ(custom.CustomKb, 5000);
}

TEST(SplitFileFields, CustomKbAreBytesInSixtyFourBits)
{
    struct Case {
        const wchar_t* text;
        std::optional<uint64_t> bytes;
    } cases[] = {
        {L"1000", 1'024'000u},         {L" 3 ", 3072u},        {L"2147483647", 2'147'483'647ull * 1024},
        {L"2147483648", std::nullopt}, {L"", std::nullopt},    {L"12a", std::nullopt},
        {L"-5", std::nullopt},         {L"1.5", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CustomSplitBytes(c.text), c.bytes) << c.text;
}

TEST(SplitFileFields, SizesOfTwoKbOrLessAreRefused)
{
    EXPECT_EQ(SplitSizeProblem(std::nullopt), L"Eingegebene Dateigröße ungültig.");
    EXPECT_EQ(SplitSizeProblem(2048), L"Eingegebene Dateigröße muß größer als 2 Kb sein.");
    EXPECT_EQ(SplitSizeProblem(0), L"Eingegebene Dateigröße muß größer als 2 Kb sein.");
    EXPECT_EQ(SplitSizeProblem(2049), L"");
}

}  // namespace

// The colour button's tables, the stored custom colours and the palette's
// cells, keys, hints and placement.

#include "widgets/ColorArray.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(ColorArray, CellsLinearIndexesAndBounds)
{
    TColorArrayClass colors(4, 5, clBlack);
    colors.Set(3, 2, clRed);
    EXPECT_EQ(colors.Linear(3 + 1 * 4), clRed) << "row after row";
    colors.SetLinear(20, clBlue);
    EXPECT_EQ(colors.At(4, 5), clBlue);
    EXPECT_EQ(colors.IndexOf(clRed), 7);
    EXPECT_EQ(colors.IndexOf(clYellow), 0);
    for (auto bad : {std::pair{0, 1}, std::pair{5, 1}, std::pair{1, 0}, std::pair{1, 6}})
        EXPECT_THROW(colors.At(bad.first, bad.second), EColorArrayIndexError);
    EXPECT_THROW(colors.Linear(0), EColorArrayIndexError);
    EXPECT_THROW(colors.SetLinear(21, clRed), EColorArrayIndexError);
    TColorArrayClass copy = colors;
    EXPECT_TRUE(copy == colors);
    copy.Set(1, 1, clWhite);
    EXPECT_FALSE(copy == colors);

    const TColorArrayClass presets = DefaultPaletteColors();
    EXPECT_EQ(presets.IndexOf(clRed), 5) << "(1, 2): red is the second of the first column";
    EXPECT_EQ(presets.At(2, 1), clBlack);
    EXPECT_EQ(presets.At(4, 5), 0x9F9F9F);
}

TEST(ColorArray, CustomColorTextRoundTripsAndBadItemsAreWhite)
{
    TColorArrayClass colors = DefaultCustomColors();
    colors.Set(1, 2, 0x123456);
    colors.Set(8, 2, clRed);
    const std::wstring text = CustomColorsText(colors);
    EXPECT_EQ(text.substr(0, 20), L"$00FFFFFF,$00123456,") << "column by column";
    EXPECT_EQ(std::count(text.begin(), text.end(), L','), 15);
    TColorArrayClass read(8, 2, clBlack);
    ReadCustomColorsText(text, read);
    EXPECT_TRUE(read == colors);

    struct Case {
        const wchar_t* text;
        TColor first, second, third;
    };
    const Case cases[] = {
        // Items of any length: one short item does not shift the rest.
        {L"$FF,$00FF00,255", 0xFF, 0x00FF00, 255},
        {L"junk,$0000FF,", clWhite, clRed, clWhite},
        {L" $10 , 16 ,$-1", 0x10, 16, clWhite},
    };
    for (const Case& c : cases) {
        TColorArrayClass into(8, 2, clBlack);
        ReadCustomColorsText(c.text, into);
        EXPECT_EQ(into.At(1, 1), c.first) << c.text;
        EXPECT_EQ(into.At(1, 2), c.second) << c.text;
        EXPECT_EQ(into.At(2, 1), c.third) << c.text;
        EXPECT_EQ(into.At(8, 2), clBlack) << "what the text does not reach stays";
    }
    TColorArrayClass untouched(8, 2, clBlack);
    ReadCustomColorsText(L"$00FF0000", untouched);
    EXPECT_EQ(untouched.At(1, 1), clBlack) << "a value without any comma changes nothing";
    // More than 16 items: the rest is ignored.
    ReadCustomColorsText(text + L",$00000001,$00000002", untouched);
    EXPECT_TRUE(untouched == colors);
    EXPECT_EQ(CustomColorName(1, 1), L"ColorA");
    EXPECT_EQ(CustomColorName(8, 1), L"ColorH");
    EXPECT_EQ(CustomColorName(1, 2), L"ColorI");
    EXPECT_EQ(CustomColorName(8, 2), L"ColorP");
}

TEST(ColorArray, PaletteCellsKeysAndHints)
{
    struct Hit {
        int x, y;
        TPaletteCell cell;
    };
    for (const Hit& h : {Hit{0, 0, {1, 1}}, Hit{17, 17, {1, 1}}, Hit{18, 0, {2, 1}}, Hit{71, 89, {4, 5}},
                         Hit{60, 100, {0, 0}}, Hit{40, 100, {}}, Hit{10, 92, {}}})
        EXPECT_EQ(PaletteCellAt(h.x, h.y, 78), h.cell) << h.x << "," << h.y;

    using K = TPaletteKey;
    struct Move {
        TPaletteCell from;
        K key;
        TPaletteCell to;
    };
    const Move moves[] = {
        {{}, K::Down, {1, 1}},     {{}, K::Left, {1, 1}},     {{1, 3}, K::Left, {4, 3}}, {{4, 3}, K::Right, {1, 3}},
        {{2, 1}, K::Up, {0, 0}},   {{0, 0}, K::Up, {1, 5}},   {{3, 5}, K::Down, {0, 0}}, {{0, 0}, K::Left, {0, 0}},
        {{0, 0}, K::Down, {1, 1}}, {{2, 2}, K::Down, {2, 3}},
    };
    for (const Move& m : moves) {
        const TPaletteCell to = MovePaletteCell(m.from, m.key);
        EXPECT_EQ(to, m.to) << m.from.X << "," << m.from.Y << " key " << static_cast<int>(m.key);
    }
    EXPECT_EQ(ColorHintText(clRed), L"RGB = 255 000 000");
    EXPECT_EQ(ColorHintText(0x9FBF07), L"RGB = 007 191 159");
}

TEST(ColorArray, PaletteStaysOnTheMonitorThatHoldsTheButton)
{
    const TPaletteRect second{1280, 0, 2560, 1024};
    // Below the button, on the second monitor.
    TPaletteRect r = PlacePalette({1500, 100, 1545, 122}, 78, 122, second);
    EXPECT_EQ(r.Left, 1500);
    EXPECT_EQ(r.Top, 122);
    // At its bottom: above the button.
    r = PlacePalette({1500, 950, 1545, 972}, 78, 122, second);
    EXPECT_EQ(r.Top, 950 - 121);
    // At its right edge: flush with it, not thrown back to the first monitor.
    r = PlacePalette({2530, 100, 2575, 122}, 78, 122, second);
    EXPECT_EQ(r.Right, 2560);
    // Left of its left edge: back inside.
    r = PlacePalette({1270, 100, 1315, 122}, 78, 122, second);
    EXPECT_EQ(r.Left, 1280);
}

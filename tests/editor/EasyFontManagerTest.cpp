#include "editor/EasyFontManager.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;

namespace {

// Fonts are handles with a description each; every measurement is counted.
struct FakeMeasurer : TEasyFontMeasurer {
    std::string Describe(uintptr_t font) override { return fonts[font].description; }
    TEasyMeasuredFont Measure(uintptr_t font) override
    {
        ++measured[font];
        return fonts[font].measured;
    }
    int TextWidth(uintptr_t font, std::u16string_view text) override
    {
        widths.emplace_back(text);
        return static_cast<int>(text.size()) * fonts[font].measured.AveCharWidth;
    }

    struct Font {
        std::string description;
        TEasyMeasuredFont measured;
    };
    std::map<uintptr_t, Font> fonts;
    std::map<uintptr_t, int> measured;
    std::vector<std::u16string> widths;
};

TEasyMeasuredFont Outline(int height, int ascent, int subSize, int subOffset, int superOffset)
{
    TEasyMeasuredFont m;
    m.Height = height;
    m.Ascent = ascent;
    m.Descent = height - ascent;
    m.AveCharWidth = 7;
    m.MaxCharWidth = 14;
    m.HasOutline = true;
    m.SubscriptSize = subSize;
    m.SubscriptOffset = subOffset;
    m.SuperscriptOffset = superOffset;
    return m;
}

}  // namespace

TEST(EasyFontManager, FallbacksWithoutOutlineFigures)
{
    struct Case {
        TEasyMeasuredFont measured;
        int subSize, subOffset, superOffset;
    } cases[] = {
        {Outline(16, 13, 9, 2, 7), 9, 2, 7},
        {[] {
             auto m = Outline(16, 13, 9, 2, 7);
             m.HasOutline = false;
             return m;
         }(),
         11, 2, 6},
        {Outline(17, 13, 0, 0, 0), 11, 2, 6},
        {[] {
             auto m = Outline(13, 11, 0, 0, 0);
             m.HasOutline = false;
             return m;
         }(),
         9, 1, 5},
    };
    for (const Case& c : cases) {
        const TEasyFontMetrics metrics = FontMetricsFrom(c.measured);
        EXPECT_EQ(metrics.Height, c.measured.Height);
        EXPECT_EQ(metrics.Ascent, c.measured.Ascent);
        EXPECT_EQ(metrics.SubscriptSize, c.subSize) << c.measured.Height;
        EXPECT_EQ(metrics.SubscriptOffset, c.subOffset) << c.measured.Height;
        EXPECT_EQ(metrics.SuperscriptOffset, c.superOffset) << c.measured.Height;
    }
}

TEST(EasyFontManager, MeasuresEachFontOnce)
{
    auto owned = std::make_unique<FakeMeasurer>();
    FakeMeasurer& fake = *owned;
    fake.fonts[0x30] = {"Arial 12", Outline(16, 13, 9, 2, 7)};
    fake.fonts[0x10] = {"Courier 10", Outline(13, 11, 8, 1, 5)};
    fake.fonts[0x20] = {"Tahoma 8", Outline(11, 9, 6, 1, 4)};
    TEasyFontManager manager(std::move(owned));

    for (uintptr_t font : {0x30, 0x30, 0x10, 0x20, 0x30, 0x10, 0x20})
        manager.GetFontMetrics(font);
    EXPECT_EQ(manager.Count(), 3);
    for (uintptr_t font : {0x10, 0x20, 0x30})
        EXPECT_EQ(fake.measured[font], 1) << font;
    EXPECT_EQ(manager.GetFontMetrics(0x10).Height, 13);
    EXPECT_EQ(manager.GetFontMetrics(0x20).Height, 11);

    // A handle given to another font is measured again.
    fake.fonts[0x10] = {"Courier 20", Outline(26, 21, 15, 3, 10)};
    EXPECT_EQ(manager.GetFontMetrics(0x10).Height, 26);
    EXPECT_EQ(fake.measured[0x10], 2);
    EXPECT_EQ(manager.Count(), 3);
}

TEST(EasyFontManager, TextWidthClampsTheCount)
{
    auto owned = std::make_unique<FakeMeasurer>();
    FakeMeasurer& fake = *owned;
    fake.fonts[1] = {"Arial", Outline(16, 13, 9, 2, 7)};
    TEasyFontManager manager(std::move(owned));
    TEasyFontMetrics metrics;
    struct Case {
        int count, width;
    } cases[] = {{3, 21}, {0, 0}, {-2, 0}, {99, 35}};
    for (const Case& c : cases) {
        metrics = {};
        EXPECT_EQ(manager.GetTextWidth(1, u"abcde", c.count, metrics), c.width) << c.count;
        EXPECT_EQ(metrics.Height, 16) << "the figures come along";
    }
    EXPECT_EQ(fake.widths, (std::vector<std::u16string>{u"abc", u"abcde"}));
}

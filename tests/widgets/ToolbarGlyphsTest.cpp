// The toolbar pictures: each one drawn, leaving its top-left pixel out (the
// menus take that pixel's colour as the transparent one), and no two alike.

#include "widgets/ToolbarGlyphs.h"

#include <gtest/gtest.h>

#include <set>

using namespace qrv;

TEST(ToolbarGlyphs, EachIsDrawnTransparentAtTheCornerAndOwnsItsPicture)
{
    std::set<std::vector<uint32_t>> seen;
    for (int i = 0; i < static_cast<int>(TGlyph::Count); ++i) {
        const TGlyphPixels pixels = GlyphPixels(static_cast<TGlyph>(i));
        EXPECT_EQ(pixels[0], kGlyphTransparent) << i;
        // A bitmap copy of a button's glyph takes its bottom-left pixel as
        // the transparent one.
        EXPECT_EQ(pixels[(kGlyphSize - 1) * kGlyphSize], kGlyphTransparent) << i;
        size_t drawn = 0;
        for (const uint32_t pixel : pixels)
            drawn += pixel != kGlyphTransparent;
        // Enough to be seen, never a filled square.
        EXPECT_GE(drawn, 25u) << i;
        EXPECT_LT(drawn, pixels.size()) << i;
        EXPECT_TRUE(seen.insert(std::vector<uint32_t>(pixels.begin(), pixels.end())).second) << i;
    }
    EXPECT_THROW(GlyphPixels(TGlyph::Count), std::out_of_range);
}

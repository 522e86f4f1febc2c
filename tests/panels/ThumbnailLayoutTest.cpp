#include "panels/ThumbnailLayout.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

// The room inside the bitmap's 2-pixel border.
constexpr int kBorder = 2;

void ExpectCentred(const TThumbRect& Picture, int Width, int Height)
{
    const int left = Picture.Left - kBorder;
    const int right = Width - kBorder - Picture.Right;
    const int top = Picture.Top - kBorder;
    const int bottom = Height - kBorder - Picture.Bottom;
    EXPECT_LE(std::abs(left - right), 1) << left << " " << right;
    EXPECT_LE(std::abs(top - bottom), 1) << top << " " << bottom;
}

TEST(ThumbnailLayout, ASmallPictureIsCentredUnscaled)
{
    const auto placement = PlaceThumbnail(100, 100, 50, 40, 7, true);
    ASSERT_TRUE(placement);
    EXPECT_FALSE(placement->Scaled);
    EXPECT_EQ(placement->Picture.Width(), 50);
    EXPECT_EQ(placement->Picture.Height(), 40);
    ExpectCentred(placement->Picture, 100, 100);
    EXPECT_TRUE(placement->Framed);
    // The frame lies outside the picture, 2 out with a frame size above 1.
    EXPECT_EQ(placement->FrameRect.Left, placement->Picture.Left - 2);
    EXPECT_EQ(placement->FrameRect.Bottom, placement->Picture.Bottom + 2);
    const auto thin = PlaceThumbnail(100, 100, 50, 40, 1, true);
    EXPECT_EQ(thin->FrameRect.Left, thin->Picture.Left - 1);
}

TEST(ThumbnailLayout, IconSizedPicturesGetNoFrame)
{
    EXPECT_FALSE(PlaceThumbnail(100, 100, 32, 32, 7, false)->Framed);
    EXPECT_TRUE(PlaceThumbnail(100, 100, 33, 20, 7, true)->Framed);
}

TEST(ThumbnailLayout, ALargePictureIsFittedToTheRoomLeftByTheFrame)
{
    struct Case {
        int width, height, frame;
        bool loaded;
    };
    for (const Case c : {Case{1000, 500, 7, true}, Case{500, 1000, 7, true}, Case{1000, 500, 7, false},
                         Case{96, 10, 3, true}, Case{4000, 4000, 0, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " frame " << c.frame << " " << c.loaded);
        const auto placement = PlaceThumbnail(100, 100, c.width, c.height, c.frame, c.loaded);
        ASSERT_TRUE(placement);
        EXPECT_TRUE(placement->Scaled);
        const int room = 100 - 2 * kBorder - (c.loaded ? c.frame + 1 : 0);
        // The longer side fills the room, the shorter keeps the proportion.
        const bool wide = c.width >= c.height;
        EXPECT_EQ(wide ? placement->Picture.Width() : placement->Picture.Height(), room);
        const double ratio = static_cast<double>(c.width) / c.height;
        const double shown = static_cast<double>(placement->Picture.Width()) / placement->Picture.Height();
        EXPECT_NEAR(shown, ratio, ratio * 0.05);
        ExpectCentred(placement->Picture, 100, 100);
        EXPECT_TRUE(placement->Framed);
    }
}

TEST(ThumbnailLayout, APictureAsLargeAsTheRoomLessAPixelIsScaled)
{
    // The room is 96 wide: 95 is not smaller by more than one pixel.
    EXPECT_TRUE(PlaceThumbnail(100, 100, 95, 20, 7, true)->Scaled);
    EXPECT_FALSE(PlaceThumbnail(100, 100, 94, 20, 7, true)->Scaled);
}

TEST(ThumbnailLayout, NothingIsPlacedForAnEmptyPictureOrBitmap)
{
    EXPECT_FALSE(PlaceThumbnail(100, 100, 0, 10, 7, true));
    EXPECT_FALSE(PlaceThumbnail(4, 4, 10, 10, 7, true));
    EXPECT_FALSE(PlaceThumbnail(10, 10, 100, 100, 7, true));
}

TEST(ThumbnailLayout, SpacingAddsTheGapsToTheThumbnail)
{
    struct Case {
        int spaceWidth, spaceHeight, defaultH, defaultV;
        TThumbSpacing expected;
    };
    // Spacing -1 (the start) takes the default less an icon; a positive one
    // is taken as it is; a width of 0 as -1, a height of 0 the whole default.
    for (const Case c :
         {Case{-1, -1, 75, 70, {100 + 75 - 32, 120 + 70 - 32}}, Case{0, 0, 75, 70, {100 + 75 - 32, 120 + 70}},
          Case{12, 8, 75, 70, {112, 128}}, Case{-1, -1, 30, 20, {100, 120}}}) {
        SCOPED_TRACE(testing::Message() << c.spaceWidth << "," << c.spaceHeight);
        EXPECT_EQ(ThumbnailSpacing(100, 120, c.spaceWidth, c.spaceHeight, c.defaultH, c.defaultV), c.expected);
    }
}

}  // namespace

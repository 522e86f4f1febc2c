#include "mainwindow/ThumbnailSource.h"

#include <gtest/gtest.h>

using namespace qrv;
using S = TThumbSource;

namespace {

TEST(ThumbnailSource, TheSourcesAreTriedByExtensionAndWhatTheSystemOffers)
{
    struct Case {
        const wchar_t* ext;
        bool shell, item, picture;
        std::vector<S> expected;
    };
    for (const Case& c : {
             Case{L".TIF", true, true, true, {S::Shell, S::Picture, S::Converter}},
             Case{L".TIF", false, true, true, {S::Picture, S::Converter}},
             Case{L".TIF", true, false, true, {S::Picture, S::Converter}},
             Case{L".HTML", true, true, false, {S::Shell, S::Converter}},
             // Only whole extensions of the shell's list: ".HT" and ".MP" are not.
             Case{L".HT", true, true, false, {S::Converter}},
             Case{L".MP", true, true, true, {S::Picture, S::Converter}},
             Case{L".BMP", true, true, true, {S::Bitmap, S::Converter}},
             Case{L".JPG", true, true, true, {S::Picture, S::Converter}},
             Case{L".PCD", true, true, false, {S::Converter}},
         }) {
        SCOPED_TRACE(testing::Message() << c.ext << " shell " << c.shell << " item " << c.item);
        EXPECT_EQ(ThumbnailSources({c.ext, c.shell, c.item, c.picture}), c.expected);
    }
}

TEST(ThumbnailSource, TheJpegScaleFollowsThePicturesMet)
{
    TJpegThumbScale scale;
    EXPECT_EQ(scale.Scale(), TJpegThumbScale::kStart);
    // Too narrow: decoded again at full size, the next one step finer.
    EXPECT_TRUE(scale.Decoded(80, 100));
    EXPECT_EQ(scale.Scale(), 1);
    // Between the thumbnail's width and twice it: kept.
    EXPECT_FALSE(scale.Decoded(100, 100));
    EXPECT_FALSE(scale.Decoded(200, 100));
    EXPECT_EQ(scale.Scale(), 1);
    // More than twice as wide: a step coarser, never beyond an eighth.
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(scale.Decoded(201, 100));
    EXPECT_EQ(scale.Scale(), TJpegThumbScale::kCoarsest);
    // Never finer than full size; at full size nothing is decoded again.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(scale.Decoded(10, 100));
    EXPECT_EQ(scale.Scale(), TJpegThumbScale::kFinest);
    EXPECT_FALSE(scale.Decoded(10, 100));
}

}  // namespace

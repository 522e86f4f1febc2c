// Every PCX, Targa and PNM fixture decodes to the pixels of its
// NAME.expected.ppm: for netpbm's files what netpbm's own reader made of them,
// for the fixture script's own files the pixels it wrote
// (tests/imaging/tools/make_raster_fixtures.py).
#include "imaging/AniCursorFile.h"
#include "imaging/PcxDecoder.h"
#include "imaging/PnmDecoder.h"
#include "imaging/TargaDecoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qrv {
namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The script's expected files are "P6\nW H\n255\n" and RGB bytes.
struct TExpected {
    uint32_t Width = 0, Height = 0;
    std::vector<uint8_t> Rgb;
};

TExpected ReadExpected(const std::filesystem::path& path)
{
    const std::vector<uint8_t> bytes = ReadFile(path);
    const std::string text(bytes.begin(), bytes.end());
    TExpected expected;
    size_t used = 0;
    int maxval = 0;
    if (std::sscanf(text.c_str(), "P6 %u %u %d%zn", &expected.Width, &expected.Height, &maxval, &used) != 3 ||
        maxval != 255)
        ADD_FAILURE() << "unexpected header in " << path;
    expected.Rgb.assign(bytes.begin() + static_cast<ptrdiff_t>(used) + 1, bytes.end());
    return expected;
}

struct TCase {
    const char* File;
    // 15- and 16-bit Targa colours are compared at their 5 bits.
    uint8_t Mask = 0xFF;
};

void ExpectFixture(const TCase& c)
{
    SCOPED_TRACE(c.File);
    const std::filesystem::path dir = QRV_RASTER_FIXTURES;
    const std::filesystem::path file = dir / c.File;
    const std::vector<uint8_t> bytes = ReadFile(file);
    ASSERT_FALSE(bytes.empty());
    const std::string ext = file.extension().string();
    auto allocator = std::make_shared<THeapPixelAllocator>();
    std::unique_ptr<TRasterImage> image = ext == ".pcx"   ? DecodePcx(bytes, allocator)
                                          : ext == ".tga" ? DecodeTga(bytes, allocator)
                                                          : DecodePnm(bytes, allocator);
    std::filesystem::path expectedPath = file;
    expectedPath.replace_extension(".expected.ppm");
    const TExpected expected = ReadExpected(expectedPath);
    ASSERT_EQ(image->Width(), expected.Width);
    ASSERT_EQ(image->Height(), expected.Height);
    ASSERT_EQ(expected.Rgb.size(), size_t{expected.Width} * expected.Height * 3);
    int mismatches = 0;
    for (uint32_t y = 0; y < expected.Height; ++y)
        for (uint32_t x = 0; x < expected.Width; ++x) {
            const TRgb got = image->PixelRgb(x, y);
            const uint8_t* want = &expected.Rgb[(size_t{y} * expected.Width + x) * 3];
            if ((got.Red & c.Mask) != (want[0] & c.Mask) || (got.Green & c.Mask) != (want[1] & c.Mask) ||
                (got.Blue & c.Mask) != (want[2] & c.Mask)) {
                if (++mismatches <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got.Red) << " " << int(got.Green) << " "
                                  << int(got.Blue) << ", expected " << int(want[0]) << " " << int(want[1]) << " "
                                  << int(want[2]);
            }
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(RasterFixtures, PcxGivesTheReadersPixels)
{
    for (const TCase& c :
         {TCase{"pcx_24bit.pcx"}, TCase{"pcx_8bit.pcx"}, TCase{"pcx_planes4.pcx"}, TCase{"pcx_1bit_width10.pcx"},
          TCase{"own_pcx_version3.pcx"}, TCase{"own_pcx_grey_nomarker.pcx"}})
        ExpectFixture(c);
}

TEST(RasterFixtures, TargaGivesTheReadersPixels)
{
    for (const TCase& c :
         {TCase{"tga_rle_rgb.tga"}, TCase{"tga_raw_rgb.tga"}, TCase{"tga_rle_cmap.tga"}, TCase{"tga_raw_cmap.tga"},
          TCase{"tga_cmap16.tga", 0xF8}, TCase{"tga_rle_grey.tga"}, TCase{"tga_raw_grey.tga"},
          TCase{"tga_rle_rgba32.tga"}, TCase{"own_tga_rle_across_rows.tga"}, TCase{"own_tga_topdown_rtl.tga"},
          TCase{"own_tga_raw_16bit.tga"}, TCase{"own_tga_rle_15bit.tga"}})
        ExpectFixture(c);
}

TEST(RasterFixtures, PnmGivesTheReadersPixels)
{
    for (const TCase& c : {TCase{"pnm_plain_grey_1000.pgm"}, TCase{"pnm_raw_grey_1000.pgm"},
                           TCase{"pnm_raw_grey_255.pgm"}, TCase{"pnm_raw_grey_3.pgm"}, TCase{"pnm_plain_rgb_65535.ppm"},
                           TCase{"pnm_raw_rgb_65535.ppm"}, TCase{"pnm_raw_rgb_255.ppm"}, TCase{"pnm_plain_rgb_100.ppm"},
                           TCase{"pnm_plain_bits.pbm"}, TCase{"pnm_raw_bits.pbm"}})
        ExpectFixture(c);
}

// ANI files around pamtowinicon's icons, with odd chunks padded and not:
// each frame is the icon file it was built from, and the file saves unchanged.
TEST(RasterFixtures, AniFramesAreTheIconsTheyWereBuiltFrom)
{
    const std::filesystem::path dir = QRV_RASTER_FIXTURES;
    for (const char* name : {"ani_padded.ani", "ani_unpadded.ani"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = ReadFile(dir / name);
        const TAniCursorFile file(bytes);
        EXPECT_EQ(file.Bytes(), bytes);
        EXPECT_EQ(file.Title(), "Uhr");
        EXPECT_EQ(file.Author(), "Quorvan");
        EXPECT_EQ(file.Rates(), (std::vector<uint32_t>{10, 20, 6, 1}));
        EXPECT_EQ(file.Sequence(), (std::vector<uint32_t>{0, 1, 2, 1}));
        EXPECT_EQ(file.Width(), 32u);
        EXPECT_EQ(file.Height(), 32u);
        ASSERT_EQ(file.Frames().size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const std::vector<uint8_t> icon = ReadFile(dir / ("ani_frame" + std::to_string(i) + ".ico"));
            const std::span<const uint8_t> got = file.FrameIcon(i);
            EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.end()), icon) << i;
        }
    }
    const TAniCursorFile plain(ReadFile(dir / "ani_plain.ani"));
    EXPECT_EQ(plain.Title(), "");
    EXPECT_TRUE(plain.Rates().empty());
    EXPECT_EQ(plain.StepCount(), 2u);
    EXPECT_EQ(plain.Header().DisplayRate, 6u);
}

}  // namespace
}  // namespace qrv

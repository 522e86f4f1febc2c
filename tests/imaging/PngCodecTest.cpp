// The pixel codec: IDAT runs, filters, Adam7, the IDAT split, the filter
// choice, and pixel access in the held layout.
#include "PngTestSupport.h"

#include "imaging/PngChunks.h"
#include "imaging/PngErrors.h"
#include "imaging/PngFilters.h"
#include "imaging/PngPicture.h"
#include "imaging/PngSamples.h"

#include <gtest/gtest.h>

#include <random>

using namespace qrv;
using namespace qrv::test;

namespace {

class PngCodec : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registry = new ChunkRegistryScope; }
    static void TearDownTestSuite() { delete registry; }
    static ChunkRegistryScope* registry;
};
ChunkRegistryScope* PngCodec::registry = nullptr;

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// Unfiltered rows of an 8-bit RGB image of random samples.
std::string RgbRows(uint32_t width, uint32_t height, unsigned seed)
{
    std::string rows;
    for (uint32_t y = 0; y < height; ++y)
        rows += '\0' + RandomBytes(size_t(width) * 3, seed + y);
    return rows;
}

std::vector<uint8_t> FilterTypes(const std::string& rows, size_t rowBytes)
{
    std::vector<uint8_t> types;
    for (size_t at = 0; at < rows.size(); at += rowBytes + 1)
        types.push_back(static_cast<uint8_t>(rows[at]));
    return types;
}

}  // namespace

TEST_F(PngCodec, ImageDataSplitOverOneByteChunksDecodesLikeOneChunk)
{
    const std::string rows = RgbRows(7, 5, 1);
    const std::string data = Zlib(rows);
    std::vector<RawChunk> split{{"IHDR", Ihdr(7, 5, 8, 2)}};
    for (char c : data)
        split.push_back({"IDAT", std::string(1, c)});
    split.push_back({"IEND", ""});
    TPngPicture whole, pieces;
    LoadPicture(whole, BuildPng({{"IHDR", Ihdr(7, 5, 8, 2)}, {"IDAT", data}, {"IEND", ""}}));
    LoadPicture(pieces, BuildPng(split));
    EXPECT_EQ(PngSamples(*whole.Image()).Values, PngSamples(*pieces.Image()).Values);
    // The samples are those of the rows, red first.
    EXPECT_EQ(PngSamples(*whole.Image()).Values[0], static_cast<uint8_t>(rows[1]));
    EXPECT_EQ(whole.ReadPixel(0, 0) & 0xFF, static_cast<uint8_t>(rows[1]));
}

TEST_F(PngCodec, AnUnknownFilterTypeLeavesTheRowAsRead)
{
    const std::string rows = std::string("\x05\x10\x20\x30", 4) + std::string("\x02\x01\x01\x01", 4);
    TPngPicture picture;
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(3, 2, 8, 0)}, {"IDAT", Zlib(rows)}, {"IEND", ""}}));
    EXPECT_EQ(PngSamples(*picture.Image()).Values, (std::vector<uint16_t>{0x10, 0x20, 0x30, 0x11, 0x21, 0x31}));
}

TEST_F(PngCodec, DataThatSimplyEndsLeavesTheRestZero)
{
    const std::string rows = std::string("\0\x10\x20\x30", 4) + std::string("\0\x40\x50\x60", 4);
    std::string file = "\x89PNG\r\n\x1a\n" + ChunkBytes("IHDR", Ihdr(3, 3, 8, 0));
    const std::string idat = ChunkBytes("IDAT", Zlib(rows, 0).substr(0, 2 + 5 + 8));  // stored block, two rows
    file += idat.substr(0, idat.size() - 4);  // and the file ends before the CRC
    TPngPicture picture;
    EXPECT_THROW(LoadPicture(picture, file), EPngUnexpectedEnd);  // no IEND follows
    EXPECT_EQ(PngSamples(*picture.Image()).Values,
              (std::vector<uint16_t>{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0, 0}));
}

TEST_F(PngCodec, ADamagedImageDataCrcIsReported)
{
    for (bool lastChunk : {false, true}) {
        SCOPED_TRACE(lastChunk);
        const std::string data = Zlib(RgbRows(7, 5, 2));
        std::string first = ChunkBytes("IDAT", data.substr(0, 10));
        std::string second = ChunkBytes("IDAT", data.substr(10));
        (lastChunk ? second : first).back() ^= 1;
        TPngPicture picture;
        EXPECT_THROW(LoadPicture(picture, "\x89PNG\r\n\x1a\n" + ChunkBytes("IHDR", Ihdr(7, 5, 8, 2)) + first + second +
                                              ChunkBytes("IEND", "")),
                     EPngInvalidCRC);
    }
}

TEST_F(PngCodec, WrittenImageDataIsSplitIntoChunksOfTheLimit)
{
    // 300 x 300 random RGB samples hardly compress: about 270 KB of data.
    const std::string rows = RgbRows(300, 300, 3);
    TPngPicture picture;
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(300, 300, 8, 2)}, {"IDAT", Zlib(rows)}, {"IEND", ""}}));
    const std::string saved = SavePicture(picture);
    std::vector<size_t> sizes;
    for (const RawChunk& chunk : ReadChunks(saved))
        if (chunk.Name == "IDAT")
            sizes.push_back(chunk.Data.size());
    ASSERT_GE(sizes.size(), 4u);
    for (size_t i = 0; i + 1 < sizes.size(); ++i)
        EXPECT_EQ(sizes[i], 65535u);
    EXPECT_GT(sizes.back(), 0u);
    EXPECT_LE(sizes.back(), 65535u);

    picture.SetIdatLimit(100000);
    const std::string bigger = SavePicture(picture);
    EXPECT_EQ(ReadChunks(bigger)[1].Data.size(), 100000u);
    TPngPicture again;
    LoadPicture(again, bigger);
    EXPECT_EQ(PngSamples(*again.Image()).Values, PngSamples(*picture.Image()).Values);
}

TEST_F(PngCodec, TheDefaultFilterIsSubAndRowsWithoutRepeatsUseNone)
{
    // Rows whose raw, Sub, Up, Average and Paeth forms have no byte equal to
    // one of the two before it.
    std::string rows;
    for (int y = 0; y < 3; ++y) {
        rows += '\0';
        for (int x = 0; x < 10; ++x)
            rows += static_cast<char>(x * x + (y == 0 ? 0 : 100 * y));
    }
    TPngPicture picture;
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(10, 3, 8, 0)}, {"IDAT", Zlib(rows)}, {"IEND", ""}}));
    EXPECT_EQ(FilterTypes(InflatedImageData(SavePicture(picture)), 10), (std::vector<uint8_t>{1, 1, 1}));
    picture.SetFilterSet(pfAllFilters);
    const std::string rowsWritten = InflatedImageData(SavePicture(picture));
    EXPECT_EQ(FilterTypes(rowsWritten, 10)[0], 0);
    // A row of one repeated byte filters to all zeros under Up: Up wins
    // over Sub, which leaves the first byte alone.
    std::string flat = rows.substr(0, 11) + '\0' + std::string(10, '\x40');
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(10, 2, 8, 0)}, {"IDAT", Zlib(flat)}, {"IEND", ""}}));
    picture.SetFilterSet(pfSub | pfUp);
    EXPECT_EQ(FilterTypes(InflatedImageData(SavePicture(picture)), 10)[1], 1);
}

TEST_F(PngCodec, EveryFilterSetRoundTripsEveryFormat)
{
    struct Format {
        uint8_t colorType, depth;
    };
    const Format formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                              {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    unsigned seed = 10;
    for (const Format& f : formats)
        for (uint8_t interlace : {0, 1})
            for (TFilters set : {TFilters(pfSub), TFilters(pfAllFilters), TFilters(pfPaeth), TFilters(pfAverage)}) {
                SCOPED_TRACE(std::to_string(f.colorType) + "/" + std::to_string(f.depth) + " i" +
                             std::to_string(interlace) + " f" + std::to_string(set));
                const uint32_t width = 13, height = 9;
                // Random rows through a first save, so the image holds any sample.
                std::vector<RawChunk> chunks{{"IHDR", Ihdr(width, height, f.depth, f.colorType)}};
                if (f.colorType == 3)
                    chunks.push_back({"PLTE", RandomBytes(768, seed)});
                const size_t rowBytes = (size_t(width) * f.depth *
                                             (f.colorType == 2   ? 3
                                              : f.colorType == 4 ? 2
                                              : f.colorType == 6 ? 4
                                                                 : 1) +
                                         7) /
                                        8;
                std::string rows;
                for (uint32_t y = 0; y < height; ++y)
                    rows += static_cast<char>(y % 5) + RandomBytes(rowBytes, seed++);
                chunks.push_back({"IDAT", Zlib(rows)});
                chunks.push_back({"IEND", ""});
                TPngPicture picture;
                LoadPicture(picture, BuildPng(chunks));
                picture.SetFilterSet(set);
                picture.SetInterlacing(interlace);
                TPngPicture again;
                LoadPicture(again, SavePicture(picture));
                EXPECT_EQ(PngSamples(*again.Image()).Values, PngSamples(*picture.Image()).Values);
            }
}

TEST_F(PngCodec, PixelsAreReadInTheHeldLayout)
{
    TPngPicture picture;
    // 2-bit grey 0, 1, 2, 3 shows black, 85, 170 and white.
    LoadPicture(picture,
                BuildPng({{"IHDR", Ihdr(4, 1, 2, 0)}, {"IDAT", Zlib(std::string("\0\x1b", 2))}, {"IEND", ""}}));
    EXPECT_EQ(picture.ReadPixel(0, 0), 0x000000u);
    EXPECT_EQ(picture.ReadPixel(1, 0), 0x555555u);
    EXPECT_EQ(picture.ReadPixel(2, 0), 0xAAAAAAu);
    EXPECT_EQ(picture.ReadPixel(3, 0), 0xFFFFFFu);
    EXPECT_EQ(picture.ReadPixel(4, 0), 0u);
    // 16-bit grey shows its high byte.
    LoadPicture(
        picture,
        BuildPng({{"IHDR", Ihdr(2, 1, 16, 0)}, {"IDAT", Zlib(std::string("\0\x12\xab\xfe\x01", 5))}, {"IEND", ""}}));
    EXPECT_EQ(picture.ReadPixel(0, 0), 0x121212u);
    EXPECT_EQ(picture.ReadPixel(1, 0), 0xFEFEFEu);
    // A 400 x 20 RGB image: a pixel inside, and black just outside.
    const std::string rows = RgbRows(400, 20, 4);
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(400, 20, 8, 2)}, {"IDAT", Zlib(rows)}, {"IEND", ""}}));
    const size_t at = 10 * (400 * 3 + 1) + 1 + 300 * 3;
    const uint32_t expected = uint8_t(rows[at]) | uint8_t(rows[at + 1]) << 8 | uint32_t(uint8_t(rows[at + 2])) << 16;
    EXPECT_EQ(picture.ReadPixel(300, 10), expected);
    EXPECT_EQ(picture.ReadPixel(400, 10), 0u);
    EXPECT_EQ(picture.ReadPixel(-1, 10), 0u);
    picture.WritePixel(300, 10, 0x123456);
    EXPECT_EQ(picture.ReadPixel(300, 10), 0x123456u);
    picture.WritePixel(400, 10, 0x123456);  // ignored

    // A palette image: indices beyond the palette are refused.
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(2, 1, 8, 3)},
                                   {"PLTE", std::string("\x10\x20\x30", 3)},
                                   {"IDAT", Zlib(std::string("\0\0\x05", 3))},
                                   {"IEND", ""}}));
    EXPECT_EQ(picture.ReadPixel(0, 0), 0x302010u);
    EXPECT_THROW(picture.ReadPixel(1, 0), EPngError);
    picture.WritePixel(1, 0, 0x302011);
    EXPECT_EQ(picture.ReadPixel(1, 0), 0x302010u);
}

TEST_F(PngCodec, TransparencyFollowsTheTransparencyChunk)
{
    struct Case {
        const char* what;
        std::string header;
        std::string palette;
        std::string transparency;
        TPNGTransparencyKind kind;
        uint32_t color;
    };
    const Case cases[] = {
        {"grey 2-bit key 2 shows as 170", Ihdr(1, 1, 2, 0), "", std::string("\0\2", 2), TPNGTransparencyKind::ptmBit,
         0xAAAAAA},
        {"grey 16-bit key by its high byte", Ihdr(1, 1, 16, 0), "", "\x12\xab", TPNGTransparencyKind::ptmBit, 0x121212},
        {"RGB 8-bit key", Ihdr(1, 1, 8, 2), "", std::string("\0\x10\0\x20\0\x30", 6), TPNGTransparencyKind::ptmBit,
         0x302010},
        {"palette, entry 1 clear", Ihdr(1, 1, 8, 3), "\1\1\1\2\2\2", std::string("\xff\0", 2),
         TPNGTransparencyKind::ptmBit, 0x020202},
        {"palette, half transparent", Ihdr(1, 1, 8, 3), "\1\1\1\2\2\2", "\xff\x80", TPNGTransparencyKind::ptmPartial,
         0},
        {"palette, two clear", Ihdr(1, 1, 8, 3), "\1\1\1\2\2\2", std::string("\0\0", 2),
         TPNGTransparencyKind::ptmPartial, 0x010101},
        {"grey alpha", Ihdr(1, 1, 8, 4), "", "", TPNGTransparencyKind::ptmPartial, 0},
        {"RGB without tRNS", Ihdr(1, 1, 8, 2), "", "", TPNGTransparencyKind::ptmNone, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<RawChunk> chunks{{"IHDR", c.header}};
        if (!c.palette.empty())
            chunks.push_back({"PLTE", c.palette});
        if (!c.transparency.empty())
            chunks.push_back({"tRNS", c.transparency});
        chunks.push_back({"IDAT", Zlib(std::string(9, '\0'))});
        chunks.push_back({"IEND", ""});
        TPngPicture picture;
        LoadPicture(picture, BuildPng(chunks));
        EXPECT_EQ(picture.TransparencyKind(), c.kind);
        EXPECT_EQ(picture.TransparentColor(), c.color);
    }
}

TEST_F(PngCodec, EmptyAndOversizedImagesTouchNoPixels)
{
    TPngPicture picture;
    LoadPicture(picture, BuildPng({{"IHDR", Ihdr(0, 3, 8, 2)}, {"IDAT", Zlib(std::string(3, '\0'))}, {"IEND", ""}}));
    EXPECT_EQ(picture.ReadPixel(0, 0), 0u);
    TPngPicture again;
    LoadPicture(again, SavePicture(picture));
    EXPECT_EQ(again.Width(), 0u);
    EXPECT_EQ(again.Height(), 3u);

    // An allocator that refuses: the header fails, nothing is written.
    TPngPicture capped;
    capped.SetAllocator(std::make_shared<THeapPixelAllocator>(1000));
    EXPECT_THROW(LoadPicture(capped, BuildPng({{"IHDR", Ihdr(65535, 65535, 16, 6)}, {"IEND", ""}})), EPngOutOfMemory);
}

TEST_F(PngCodec, UnfilteringWholePixelsMatchesTheBytewiseDefinition)
{
    std::mt19937 random(9);
    for (size_t offset : {1, 2, 3, 4, 6, 8})
        for (uint8_t type = 0; type <= 5; ++type) {
            SCOPED_TRACE("offset " + std::to_string(offset) + " type " + std::to_string(type));
            const size_t count = offset * 37;
            std::vector<uint8_t> row(count + UnfilterPadding), previous(count + UnfilterPadding);
            for (auto& b : row)
                b = static_cast<uint8_t>(random());
            for (auto& b : previous)
                b = static_cast<uint8_t>(random());
            // The definition, byte by byte.
            std::vector<uint8_t> expected(row.begin(), row.begin() + static_cast<ptrdiff_t>(count));
            for (size_t i = 0; i < count; ++i) {
                const int left = i >= offset ? expected[i - offset] : 0;
                const int above = previous[i];
                const int corner = i >= offset ? previous[i - offset] : 0;
                int predicted = 0;
                if (type == 1)
                    predicted = left;
                else if (type == 2)
                    predicted = above;
                else if (type == 3)
                    predicted = (left + above) / 2;
                else if (type == 4) {
                    const int p = left + above - corner;
                    const int pa = std::abs(p - left), pb = std::abs(p - above), pc = std::abs(p - corner);
                    predicted = pa <= pb && pa <= pc ? left : pb <= pc ? above : corner;
                }
                expected[i] = static_cast<uint8_t>(expected[i] + predicted);
            }
            UnfilterRow(type, row.data(), previous.data(), count, offset);
            EXPECT_EQ(std::vector<uint8_t>(row.begin(), row.begin() + static_cast<ptrdiff_t>(count)), expected);
        }
}

TEST_F(PngCodec, DamagedCompressedDataKeepsTheRowsBeforeIt)
{
    const std::string rows = std::string("\0\x10\x20\x30", 4) + std::string("\0\x40\x50\x60", 4);
    // A stored block with the first two rows, then a block of the invalid type 3.
    const std::string data = std::string("\x78\x01\x00\x08\x00\xf7\xff", 7) + rows + "\x07";
    TPngPicture picture;
    EXPECT_THROW(LoadPicture(picture, BuildPng({{"IHDR", Ihdr(3, 3, 8, 0)}, {"IDAT", data}, {"IEND", ""}})),
                 EPNGZLIBError);
    EXPECT_EQ(PngSamples(*picture.Image()).Values,
              (std::vector<uint16_t>{0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0, 0}));
}

TEST_F(PngCodec, GammaChangesWhatIsShownButNotTheSamplesHeld)
{
    const std::string row = std::string("\0\x40\x80\xc0", 4);
    TPngPicture picture;
    LoadPicture(picture,
                BuildPng({{"IHDR", Ihdr(1, 1, 8, 2)}, {"gAMA", Be32(100000)}, {"IDAT", Zlib(row)}, {"IEND", ""}}));
    EXPECT_EQ(PngSamples(*picture.Image()).Values, (std::vector<uint16_t>{0x40, 0x80, 0xc0}));
    const uint32_t shown = picture.ReadPixel(0, 0);
    EXPECT_EQ(shown & 0xFF, picture.GammaTable[0x40]);
    EXPECT_GT(shown & 0xFF, 0x40u);
    // Saved, the samples come back exactly.
    picture.SetFilterSet(pfNone);
    EXPECT_EQ(InflatedImageData(SavePicture(picture)), row);
}

TEST_F(PngCodec, WideTwoBitRowsAreHeldWithFourBits)
{
    const uint32_t width = 150;  // several blocks of 64 samples and a rest
    const std::string packed = RandomBytes((width * 2 + 7) / 8, 21);
    for (uint8_t colorType : {0, 3}) {
        SCOPED_TRACE(int(colorType));
        std::vector<RawChunk> chunks{{"IHDR", Ihdr(width, 1, 2, colorType)}};
        if (colorType == 3)
            chunks.push_back({"PLTE", RandomBytes(12, 22)});
        chunks.push_back({"IDAT", Zlib('\0' + packed)});
        chunks.push_back({"IEND", ""});
        TPngPicture picture;
        LoadPicture(picture, BuildPng(chunks));
        std::vector<uint16_t> expected;
        for (uint32_t k = 0; k < width; ++k) {
            const unsigned v = (uint8_t(packed[k / 4]) >> (6 - 2 * (k % 4))) & 3;
            expected.push_back(static_cast<uint16_t>(colorType == 0 ? v * 5 : v));
        }
        EXPECT_EQ(PngSamples(*picture.Image()).Values, expected);
    }
}

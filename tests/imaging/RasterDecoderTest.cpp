// The PCX, Targa and PNM decoders on files built byte by byte: the kept
// cases, the refused ones and damaged data. The decoded pixels of whole files
// are compared with netpbm's in raster/RasterFixtureTest.cpp.
#include "imaging/PcxDecoder.h"
#include "imaging/PnmDecoder.h"
#include "imaging/TargaDecoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace qrv {
namespace {

using TBytes = std::vector<uint8_t>;
using TDecoder = std::function<std::unique_ptr<TRasterImage>(std::span<const uint8_t>)>;

constexpr size_t kCap = 16 * 1024 * 1024;

std::unique_ptr<TRasterImage> Pcx(std::span<const uint8_t> file)
{
    return DecodePcx(file, std::make_shared<THeapPixelAllocator>(kCap));
}
std::unique_ptr<TRasterImage> Tga(std::span<const uint8_t> file)
{
    return DecodeTga(file, std::make_shared<THeapPixelAllocator>(kCap));
}
std::unique_ptr<TRasterImage> Pnm(std::span<const uint8_t> file)
{
    return DecodePnm(file, std::make_shared<THeapPixelAllocator>(kCap));
}
std::unique_ptr<TRasterImage> Pnm(const std::string& text)
{
    return Pnm(TBytes(text.begin(), text.end()));
}

void ExpectRefused(const TDecoder& decode, const TBytes& file, const wchar_t* message)
{
    try {
        decode(file);
        ADD_FAILURE() << "the file was accepted";
    } catch (const ERasterFormat& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

void Put16(TBytes& bytes, size_t at, unsigned value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

// A PCX header of width x height; the data follows.
TBytes PcxHeader(unsigned width, unsigned height, int bitsPerPlane, int planes, unsigned bytesPerLine,
                 bool encoded = true)
{
    TBytes header(128, 0);
    header[0] = 10;
    header[1] = 5;
    header[2] = encoded ? 1 : 0;
    header[3] = static_cast<uint8_t>(bitsPerPlane);
    Put16(header, 8, width - 1);
    Put16(header, 10, height - 1);
    header[65] = static_cast<uint8_t>(planes);
    Put16(header, 66, bytesPerLine);
    return header;
}

TBytes Cat(TBytes a, const TBytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(PcxDecoder, RefusesWhatItCannotShow)
{
    TBytes badMagic = Cat(PcxHeader(8, 1, 1, 1, 2), {0xFF, 0xFF});
    badMagic[0] = 11;
    TBytes xBackwards = Cat(PcxHeader(8, 1, 1, 1, 2), {0, 0});
    Put16(xBackwards, 4, 9);  // Xmin above Xmax
    TBytes yBackwards = Cat(PcxHeader(8, 2, 1, 1, 2), {0, 0});
    Put16(yBackwards, 6, 5);
    const TBytes twoBitsPerPlane = Cat(PcxHeader(4, 1, 2, 1, 2), {0, 0});
    const TBytes shortLines = Cat(PcxHeader(17, 1, 1, 1, 2), {0, 0, 0});  // 17 pixels need 3 bytes a plane
    const TBytes shortLines24 = Cat(PcxHeader(5, 1, 8, 3, 4), TBytes(15, 0));
    // 256 colours: header, data and the palette tail of 769 bytes, one short.
    const TBytes noPaletteRoom = Cat(PcxHeader(2, 1, 8, 1, 2, false), TBytes(768, 0));
    TBytes headerCut = PcxHeader(8, 1, 1, 1, 2);
    headerCut.resize(100);
    for (const TBytes* file :
         std::initializer_list<const TBytes*>{&badMagic, &xBackwards, &yBackwards, &twoBitsPerPlane, &shortLines,
                                              &shortLines24, &noPaletteRoom, &headerCut})
        ExpectRefused(Pcx, *file, L"Ungültiges Grafikformat (PCX)");
}

TEST(PcxDecoder, HugeSizeIsRefusedByThePixelCap)
{
    ExpectRefused(Pcx, Cat(PcxHeader(65535, 65535, 8, 3, 65535), TBytes(16, 0)), L"Ungültiges Grafikformat (PCX)");
}

TEST(PcxDecoder, ManufacturerCdIsAccepted)
{
    TBytes file = Cat(PcxHeader(8, 1, 1, 1, 1), {0xC1, 0xA5});
    file[0] = 0xCD;
    const auto image = Pcx(file);
    EXPECT_EQ(image->Row(0)[0], 0xA5);
}

TEST(PcxDecoder, RunLengthDataStopsAtTheInputsEndAndTheRestStaysZero)
{
    // 24-bit, 4 x 2: rows of three planes of 4 bytes; the data covers row 0 and one byte of row 1.
    const TBytes file = Cat(PcxHeader(4, 2, 8, 3, 4), {0xC4, 10, 0xC4, 20, 0xC4, 30, 0xC1});
    const auto image = Pcx(file);
    EXPECT_EQ(image->PixelRgb(3, 0), (TRgb{10, 20, 30}));
    EXPECT_EQ(image->PixelRgb(0, 1), (TRgb{0, 0, 0}));
}

TEST(PcxDecoder, RunsCrossRowsAndWideLinesCostOneRow)
{
    // 256 colours, 3 x 2 with 4 bytes per line: a run of 5 crosses into the second row.
    const TBytes file = Cat(Cat(PcxHeader(3, 2, 8, 1, 4), {0xC5, 9, 0x05, 0x06}), TBytes(769, 0));
    const auto image = Pcx(file);
    EXPECT_EQ(image->Row(0)[2], 9);
    EXPECT_EQ(image->Row(1)[0], 9);
    EXPECT_EQ(image->Row(1)[1], 5);
    EXPECT_EQ(image->Row(1)[2], 6);
    // 1 x 65535 pixels, 65535 bytes per line in three planes: the data would
    // be 12 GB, the picture is 256 KB.
    const auto tall = Pcx(Cat(PcxHeader(1, 65535, 8, 3, 65535), {0xC1, 0x80, 0xC1, 0x40}));
    EXPECT_EQ(tall->Height(), 65535u);
    EXPECT_EQ(tall->PixelRgb(0, 0), (TRgb{0x80, 0, 0}));
}

TEST(PcxUnpack, RunsAreCutToTheOutputAndStopAtTheInput)
{
    struct TCase {
        TBytes Input;
        size_t OutputSize;
        TBytes Output;
        size_t Used;
    };
    const TCase cases[] = {
        {{0xC5, 7}, 3, {7, 7, 7}, 2},              // a run longer than the output still missing
        {{1, 0xC2, 9, 4}, 5, {1, 9, 9, 4, 0}, 4},  // literal, run, literal; the rest stays 0
        {{1, 0xC3}, 3, {1, 0, 0}, 2},              // a run whose value is cut off
        {{0xC0, 5, 6}, 1, {6}, 3},                 // a run of 0 writes nothing
        {{2, 3, 4}, 2, {2, 3}, 2},                 // output full: the input is not read on
    };
    for (const TCase& c : cases) {
        TBytes output(c.OutputSize, 0);
        EXPECT_EQ(UnpackPcxRle(c.Input, output), c.Used);
        EXPECT_EQ(output, c.Output);
    }
}

TEST(PcxDecoder, SixteenColoursTakeTheHeaderPaletteOrTheGreyRamp)
{
    // 4 planes, 2 pixels: pixel 0 has value 0b0101 = 5, pixel 1 value 0b1010 = 10.
    TBytes file = Cat(PcxHeader(2, 1, 1, 4, 1, false), {0x80, 0x40, 0x80, 0x40});
    for (int i = 0; i < 16; ++i) {
        file[16 + i * 3] = static_cast<uint8_t>(i);
        file[17 + i * 3] = static_cast<uint8_t>(i + 100);
        file[18 + i * 3] = static_cast<uint8_t>(i + 200);
    }
    auto image = Pcx(file);
    EXPECT_EQ(image->PixelRgb(0, 0), (TRgb{5, 105, 205}));
    EXPECT_EQ(image->PixelRgb(1, 0), (TRgb{10, 110, 210}));
    Put16(file, 68, 2);
    image = Pcx(file);
    EXPECT_EQ(image->PixelRgb(0, 0), (TRgb{85, 85, 85}));
    EXPECT_EQ(image->PixelRgb(1, 0), (TRgb{170, 170, 170}));
}

TBytes TgaHeader(int type, unsigned width, unsigned height, int depth, int descriptor = 0)
{
    TBytes header(18, 0);
    header[2] = static_cast<uint8_t>(type);
    Put16(header, 12, width);
    Put16(header, 14, height);
    header[16] = static_cast<uint8_t>(depth);
    header[17] = static_cast<uint8_t>(descriptor);
    return header;
}

TEST(TargaDecoder, BottomUpFirstFileRowIsTheBottomRow)
{
    const auto image = Tga(Cat(TgaHeader(3, 1, 2, 8), {10, 20}));
    EXPECT_EQ(image->PixelRgb(0, 1), (TRgb{10, 10, 10}));
    EXPECT_EQ(image->PixelRgb(0, 0), (TRgb{20, 20, 20}));
}

TEST(TargaDecoder, RefusesWhatItCannotShow)
{
    TBytes colourMappedWithoutMap = Cat(TgaHeader(1, 1, 1, 8), {0});
    TBytes wideIndex = Cat(TgaHeader(1, 1, 1, 16), {0, 0});
    wideIndex[1] = 1;
    TBytes mapCut = Cat(TgaHeader(1, 1, 1, 8), {1, 2, 3});
    mapCut[1] = 1;
    Put16(mapCut, 5, 2);
    mapCut[7] = 24;
    const TBytes rawOneByteShort = Cat(TgaHeader(2, 2, 2, 24), TBytes(11, 0));
    const TBytes depth12 = Cat(TgaHeader(2, 1, 1, 12), TBytes(4, 0));
    const TBytes type32 = Cat(TgaHeader(32, 1, 1, 8), TBytes(4, 0));
    const TBytes greyDepth16 = Cat(TgaHeader(3, 1, 1, 16), TBytes(4, 0));
    const TBytes zeroWidth = TgaHeader(2, 0, 1, 24);
    const TBytes huge = Cat(TgaHeader(10, 65535, 65535, 32), TBytes(4, 0));
    const TBytes headerCut(10, 0);
    for (const TBytes* file :
         std::initializer_list<const TBytes*>{&colourMappedWithoutMap, &wideIndex, &mapCut, &rawOneByteShort, &depth12,
                                              &type32, &greyDepth16, &zeroWidth, &huge, &headerCut})
        ExpectRefused(Tga, *file, L"Ungültiges Grafikformat (TGA)");
}

TEST(TargaDecoder, RunLengthStreamRunsAcrossRowsAndIsCutAtTheEnd)
{
    // 2 x 2 grey, top-down: one run of 3 crosses the first row's end, and
    // the last packet, a run of 128, overruns the picture.
    const TBytes file = Cat(TgaHeader(11, 2, 2, 8, 0x20), {0x82, 50, 0xFF, 60});
    const auto image = Tga(file);
    EXPECT_EQ(image->PixelRgb(0, 0).Red, 50);
    EXPECT_EQ(image->PixelRgb(1, 0).Red, 50);
    EXPECT_EQ(image->PixelRgb(0, 1).Red, 50);
    EXPECT_EQ(image->PixelRgb(1, 1).Red, 60);
}

TEST(TargaUnpack, PacketsStayWithinBothSides)
{
    struct TCase {
        TBytes Input;
        size_t PixelBytes;
        size_t OutputSize;
        TBytes Output;
        size_t Used;
    };
    const TCase cases[] = {
        {{0x83, 1, 2}, 2, 4, {1, 2, 1, 2}, 3},     // run cut at the output's end
        {{0x03, 1, 2, 3, 4}, 1, 2, {1, 2}, 5},     // literal packet overrunning the output
        {{0x03, 1, 2}, 1, 4, {1, 2, 0, 0}, 3},     // literal packet cut by the input's end
        {{0x81, 7}, 3, 6, {0, 0, 0, 0, 0, 0}, 1},  // run whose pixel is cut off
        {{0x00, 9, 0x80, 8, 0x01, 1, 2}, 1, 4, {9, 8, 1, 2}, 7},
    };
    for (const TCase& c : cases) {
        TBytes output(c.OutputSize, 0);
        EXPECT_EQ(UnpackTgaRle(c.Input, output, c.PixelBytes), c.Used);
        EXPECT_EQ(output, c.Output);
    }
}

TEST(TargaDecoder, ColourMapHonoursItsFirstIndexAndKeeps256Entries)
{
    // Map of 300 24-bit entries starting at index 2: pixel 2 takes entry 0.
    TBytes file = TgaHeader(1, 2, 1, 8, 0x20);
    file[1] = 1;
    Put16(file, 3, 2);
    Put16(file, 5, 300);
    file[7] = 24;
    TBytes map(900, 0);
    map[0] = 1, map[1] = 2, map[2] = 3;  // blue, green, red
    file = Cat(Cat(file, map), {2, 0});
    const auto image = Tga(file);
    EXPECT_EQ(image->PixelRgb(0, 0), (TRgb{3, 2, 1}));
    EXPECT_EQ(image->PixelRgb(1, 0), (TRgb{0, 0, 0}));
}

TEST(PnmDecoder, HeaderIsTokensWithCommentsAnywhere)
{
    struct TCase {
        std::string File;
        TRgb First;
    };
    const TCase cases[] = {
        {std::string("P6 1 1 255\n") + "\x0A\x14\x1E", {10, 20, 30}},
        {std::string("P6\n#c\n1#w\n 1 # h\n255\t") + "\x0A\x14\x1E", {10, 20, 30}},
        {"P3 1 1 # comment\n 255 # max\n 1 2 # r g\n3", {1, 2, 3}},
        {"P2 1 1 3 3", {255, 255, 255}},
        {"P2 1 1 3 7", {255, 255, 255}},  // above maxval: clamped
        {"P2 1 1 65535 32768", {128, 128, 128}},
        {"P1 1 1 1", {0, 0, 0}},
        {"P1 1 1 0", {255, 255, 255}},
        {std::string("P5 1 1 1000\n") + "\x01\xF4", {128, 128, 128}},
        {std::string("P5 1 1 255# comment\n") + "\x20", {32, 32, 32}},
        {std::string("P5 1 1 255\n") + "\x0A", {10, 10, 10}},  // the data byte is a line feed
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        EXPECT_EQ(Pnm(c.File)->PixelRgb(0, 0), c.First);
    }
}

TEST(PnmDecoder, PlainBitmapDigitsNeedNoSeparators)
{
    const auto image = Pnm(std::string("P1\n10 1\n0110# comment\n0 1 110001"));
    const TBytes bits = {0, 1, 1, 0, 0, 1, 1, 1, 0, 0};
    for (uint32_t x = 0; x < 10; ++x)
        EXPECT_EQ(image->PixelRgb(x, 0).Red, bits[x] ? 0 : 255) << x;
}

TEST(PnmDecoder, RefusesWhatItCannotShow)
{
    const std::string files[] = {
        "P7\n1 1\n255\n",
        "X1\n1 1\n1",
        "P",
        "P6 1 1 0\n\x01\x02\x03",  // maxval 0
        "P6 1 1 65536\n",
        "P5 99999999999999999999 1 255\n",
        "P5 1 99999999 255\n",  // beyond the largest side
        "P5 0 1 255\n",
        "P5 2 2 255\n\x01\x02\x03",          // one byte short
        "P6 1 1 256\n\x01\x02\x03\x04\x05",  // two bytes a sample above 255
        "P5 1 1 255",                        // no byte ends the header
        "P2 2 1 255\n1",                     // plain data cut
        "P2 1 1 255\n-1",
        "P1 2 1\n1 2",
        "P3 1 1 255\n1 2 99999999999",  // a sample number beyond any bound
        "P5 5000 5000 65535\n",         // above the pixel cap
    };
    for (const std::string& text : files) {
        SCOPED_TRACE(text);
        ExpectRefused(static_cast<std::unique_ptr<TRasterImage> (*)(std::span<const uint8_t>)>(Pnm),
                      TBytes(text.begin(), text.end()), L"Ungültiges Grafikformat (PPM)");
    }
}

}  // namespace
}  // namespace qrv

// The PCX, Targa and anymap picture classes: registered by extension, every
// raster fixture through the picture framework gives the pixels of the
// portable decoders and of netpbm's readers (read back with GetDIBits), files
// refused with their format's message, and a picture saved as a bitmap file.

#include "TestDir.h"

#include "framework/Streams.h"
#include "framework/win/Handles.h"
#include "imaging/PcxDecoder.h"
#include "imaging/PnmDecoder.h"
#include "imaging/TargaDecoder.h"
#include "imaging/win/KyBitmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qrv;

namespace {

std::filesystem::path FixtureDir()
{
    return std::filesystem::path("Z:" QRV_RASTER_FIXTURES);
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Pixels as red, green, blue bytes, rows top to bottom.
struct TRgbPixels {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgb;
};

// What GDI gives of the bitmap, as 24-bit top-down rows.
TRgbPixels ReadBack(HBITMAP bitmap)
{
    BITMAP info{};
    EXPECT_TRUE(GetObjectW(bitmap, sizeof info, &info));
    TRgbPixels pixels{info.bmWidth, info.bmHeight, {}};
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 24;
    request.bmiHeader.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> rows(stride * static_cast<size_t>(info.bmHeight));
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    EXPECT_EQ(GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), rows.data(), &request, DIB_RGB_COLORS),
              info.bmHeight);
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x) {
            const uint8_t* bgr = &rows[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
            pixels.Rgb.insert(pixels.Rgb.end(), {bgr[2], bgr[1], bgr[0]});
        }
    return pixels;
}

// The portable decoder's pixels of the file, on heap memory.
TRgbPixels Decoded(const std::filesystem::path& file)
{
    const std::vector<uint8_t> bytes = ReadFile(file);
    auto heap = std::make_shared<THeapPixelAllocator>();
    const std::string ext = file.extension().string();
    const std::unique_ptr<TRasterImage> image = ext == ".pcx"   ? DecodePcx(bytes, heap)
                                                : ext == ".tga" ? DecodeTga(bytes, heap)
                                                                : DecodePnm(bytes, heap);
    TRgbPixels pixels{static_cast<int>(image->Width()), static_cast<int>(image->Height()), {}};
    for (uint32_t y = 0; y < image->Height(); ++y)
        for (uint32_t x = 0; x < image->Width(); ++x) {
            const TRgb rgb = image->PixelRgb(x, y);
            pixels.Rgb.insert(pixels.Rgb.end(), {rgb.Red, rgb.Green, rgb.Blue});
        }
    return pixels;
}

// NAME.expected.ppm: "P6 W H 255" and the pixels netpbm's reader gave (or,
// for the fixture script's own files, the pixels it wrote).
TRgbPixels Expected(std::filesystem::path file)
{
    const std::vector<uint8_t> bytes = ReadFile(file.replace_extension(".expected.ppm"));
    TRgbPixels pixels;
    int maxval = 0, used = 0;
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(std::sscanf(text.c_str(), "P6 %d %d %d%n", &pixels.Width, &pixels.Height, &maxval, &used), 3);
    pixels.Rgb.assign(bytes.begin() + used + 1, bytes.end());
    return pixels;
}

// The number of samples that differ (at the bits the mask keeps).
int Mismatches(const TRgbPixels& got, const TRgbPixels& want, uint8_t mask = 0xFF)
{
    if (got.Width != want.Width || got.Height != want.Height || got.Rgb.size() != want.Rgb.size())
        return -1;
    int count = 0;
    for (size_t i = 0; i < got.Rgb.size(); ++i)
        count += (got.Rgb[i] & mask) != (want.Rgb[i] & mask);
    return count;
}

bool IsRasterFixture(const std::filesystem::path& file)
{
    const std::string name = file.filename().string();
    const std::string ext = file.extension().string();
    return name.find(".expected.") == std::string::npos &&
           (ext == ".pcx" || ext == ".tga" || ext == ".pbm" || ext == ".pgm" || ext == ".ppm");
}

class KyBitmap : public testing::Test {
protected:
    void SetUp() override { StartKyBitmapUnit(); }
    void TearDown() override { EndKyBitmapUnit(); }
    test::TestDir dir;
};

}  // namespace

TEST_F(KyBitmap, TheClassesAreRegisteredByExtensionOnce)
{
    struct Case {
        const wchar_t* extension;
        const wchar_t* description;
    };
    for (const Case& c : {Case{L"PCX", L"Paintbrush"}, Case{L"TGA", L"Targa"}, Case{L"PPM", L"PPM"},
                          Case{L"PGM", L"PGM"}, Case{L"PBM", L"PBM"}}) {
        const TGraphicFileFormat* format = TPicture::FindFileFormat(c.extension);
        ASSERT_NE(format, nullptr) << WideToUtf8(c.extension);
        EXPECT_EQ(format->Description, c.description);
    }
    EXPECT_NE(dynamic_cast<TPCXBitmap*>(TPicture::FindFileFormat(L".pcx")->Create().get()), nullptr);
    EXPECT_NE(dynamic_cast<TTGABitmap*>(TPicture::FindFileFormat(L"tga")->Create().get()), nullptr);
    EXPECT_NE(dynamic_cast<TPPMBitmap*>(TPicture::FindFileFormat(L"pbm")->Create().get()), nullptr);
    // Counted: an inner start and end change nothing, the last end unregisters.
    StartKyBitmapUnit();
    EndKyBitmapUnit();
    EXPECT_NE(TPicture::FindFileFormat(L"PGM"), nullptr);
    EndKyBitmapUnit();
    EXPECT_EQ(TPicture::FindFileFormat(L"PCX"), nullptr);
    EXPECT_EQ(TPicture::FindFileFormat(L"PPM"), nullptr);
    StartKyBitmapUnit();  // for TearDown
}

TEST_F(KyBitmap, EveryFixtureShowsTheDecodersAndTheReadersPixels)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(FixtureDir())) {
        if (!IsRasterFixture(entry.path()))
            continue;
        ++files;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        TPicture picture;
        picture.LoadFromFile(entry.path().wstring());
        auto* raster = dynamic_cast<TRasterBitmap*>(picture.Graphic());
        ASSERT_NE(raster, nullptr);
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectW(raster->Handle(), sizeof dib, &dib), static_cast<int>(sizeof dib)) << "a DIB section";
        const TRgbPixels shown = ReadBack(raster->Handle());
        EXPECT_EQ(shown.Width, picture.Width());
        EXPECT_EQ(shown.Height, picture.Height());
        EXPECT_EQ(Mismatches(shown, Decoded(entry.path())), 0);
        // Netpbm keeps 15- and 16-bit Targa colours at 8 bits; they agree at 5.
        const bool fiveBits = name.find("15bit") != std::string::npos || name.find("16bit") != std::string::npos ||
                              name.find("cmap16") != std::string::npos;
        EXPECT_EQ(Mismatches(shown, Expected(entry.path()), fiveBits ? 0xF8 : 0xFF), 0);
        // A palette picture has its colour table as a logical palette too.
        EXPECT_EQ(raster->Palette() != nullptr, dib.dsBmih.biBitCount <= 8);
    }
    EXPECT_GE(files, 28) << "the fixtures were not found";
}

TEST_F(KyBitmap, RefusedFilesRaiseTheirFormatsMessage)
{
    const std::vector<uint8_t> pcx = ReadFile(FixtureDir() / "pcx_8bit.pcx");
    const std::vector<uint8_t> tga = ReadFile(FixtureDir() / "tga_raw_rgb.tga");
    std::string badMagic(pcx.begin(), pcx.end());
    badMagic[0] = 11;
    std::string twoBits(pcx.begin(), pcx.end());
    twoBits[3] = 2;
    const std::string rawTgaShort(tga.begin(), tga.end() - 1);
    struct Case {
        const wchar_t* name;
        std::string bytes;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"magie.pcx", badMagic, L"Ungültiges Grafikformat (PCX)"},
        {L"zwei_bit.pcx", twoBits, L"Ungültiges Grafikformat (PCX)"},
        {L"kurz.pcx", std::string(pcx.begin(), pcx.begin() + 200), L"Ungültiges Grafikformat (PCX)"},
        {L"kurz.tga", rawTgaShort, L"Ungültiges Grafikformat (TGA)"},
        {L"tiefe.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x0B\0", 18), L"Ungültiges Grafikformat (TGA)"},
        // 65535 x 65535 at 24 bits, run-length: 12 GB of pixels from 21 bytes.
        {L"riesig.tga", std::string("\0\0\x0A\0\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF\x18\0\xFF\0\0", 21),
         L"Ungültiges Grafikformat (TGA)"},
        {L"p7.ppm", "P7\n1 1\n255\n\0\0\0", L"Ungültiges Grafikformat (PPM)"},
        {L"x1.pbm", "X1\n1 1\n1", L"Ungültiges Grafikformat (PPM)"},
        {L"leer.pgm", "", L"Ungültiges Grafikformat (PPM)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.name));
        TPicture picture;
        try {
            picture.LoadFromFile(dir.Write(c.name, c.bytes));
            ADD_FAILURE() << "loaded";
        } catch (const ERasterFormat& error) {
            EXPECT_EQ(error.Message(), c.message);
        }
    }
    // A refused load leaves a picture that had an image empty.
    TPCXBitmap bitmap;
    bitmap.LoadFromFile((FixtureDir() / "pcx_24bit.pcx").wstring());
    ASSERT_FALSE(bitmap.Empty());
    EXPECT_THROW(bitmap.LoadFromFile(dir.Write(L"wieder.pcx", badMagic)), ERasterFormat);
    EXPECT_TRUE(bitmap.Empty());
}

TEST_F(KyBitmap, SavedAsABitmapFileAndDrawn)
{
    for (const char* name : {"pcx_8bit.pcx", "pcx_planes4.pcx", "pnm_raw_bits.pbm", "tga_rle_rgb.tga"}) {
        SCOPED_TRACE(name);
        TPicture picture;
        picture.LoadFromFile((FixtureDir() / name).wstring());
        auto& raster = dynamic_cast<TRasterBitmap&>(*picture.Graphic());
        const std::wstring saved = dir.File(L"kopie.bmp");
        raster.SaveToFile(saved);
        // The system's own loader reads the file back to the same pixels.
        TGdiObject loaded(
            LoadImageW(nullptr, saved.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_TRUE(loaded);
        const TRgbPixels original = ReadBack(raster.Handle());
        EXPECT_EQ(Mismatches(ReadBack(static_cast<HBITMAP>(loaded.Get())), original), 0);

        // Drawn at its size, the picture shows its pixels.
        const TWindowDC screen(nullptr);
        const TOwnDC dc(CreateCompatibleDC(screen.Get()));
        TGdiObject canvas(CreateCompatibleBitmap(screen.Get(), raster.Width(), raster.Height()));
        {
            const TSelectObject select(dc.Get(), canvas.Get());
            raster.Draw(dc.Get(), RECT{0, 0, raster.Width(), raster.Height()});
        }
        EXPECT_EQ(Mismatches(ReadBack(static_cast<HBITMAP>(canvas.Get())), original), 0);
    }
    TTGABitmap empty;
    TMemoryStream stream;
    EXPECT_THROW(empty.SaveToStream(stream), EInvalidGraphicOperation);
}

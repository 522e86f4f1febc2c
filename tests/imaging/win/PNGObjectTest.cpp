// The PNG picture class under Windows: registration, drawing with a
// transparent colour, bitmap and clipboard round trips, pixel access.
#include "PngTestSupport.h"
#include "TestDir.h"

#include "framework/Streams.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Picture.h"
#include "imaging/PngErrors.h"
#include "imaging/win/PNGObject.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace qrv;
using namespace qrv::test;

namespace {

class PNGObjectTest : public ::testing::Test {
protected:
    void SetUp() override { StartPNGUnit(); }
    void TearDown() override { EndPNGUnit(); }

    static void Load(TPNGObject& png, const std::string& bytes)
    {
        TMemoryStream stream;
        stream.WriteBytes(bytes);
        stream.SetPosition(0);
        png.LoadFromStream(stream);
    }
    static std::string Save(TPNGObject& png)
    {
        TMemoryStream stream;
        png.SaveToStream(stream);
        return {reinterpret_cast<const char*>(stream.Memory()), stream.Bytes().size()};
    }
};

// A 24-bit memory canvas filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_.Reset(CreateCompatibleDC(nullptr));
        previous_ = SelectObject(dc_.Get(), bitmap_.Get());
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all{0, 0, width, height};
        FillRect(dc_.Get(), &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() { SelectObject(dc_.Get(), previous_); }
    HDC DC() const { return dc_.Get(); }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_.Get(), x, y); }

private:
    TGdiObject bitmap_;
    TOwnDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// A 4 x 2 palette image: green, blue, green, blue / blue, green, blue, green.
std::string PalettePng(const std::string& transparency)
{
    std::vector<RawChunk> chunks{{"IHDR", Ihdr(4, 2, 8, 3)}, {"PLTE", std::string("\x00\xff\x00\x00\x00\xff", 6)}};
    if (!transparency.empty())
        chunks.push_back({"tRNS", transparency});
    chunks.push_back({"IDAT", Zlib(std::string("\0\0\1\0\1\0\1\0\1\0", 10))});
    chunks.push_back({"IEND", ""});
    return BuildPng(chunks);
}

}  // namespace

TEST_F(PNGObjectTest, ThePictureClassIsRegisteredByExtensionAndCounted)
{
    const TGraphicFileFormat* format = TPicture::FindFileFormat(L"png");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->Description, L"Portable Network Graphics");
    StartPNGUnit();
    EndPNGUnit();  // the inner end does not act
    EXPECT_NE(TPicture::FindFileFormat(L".PNG"), nullptr);

    TestDir dir;
    const std::wstring file = dir.Write(L"bild.png", PalettePng(""));
    TPicture picture;
    picture.LoadFromFile(file);
    ASSERT_NE(dynamic_cast<TPNGObject*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_THROW(picture.LoadFromFile(dir.Write(L"bild.xyz", "x")), EInvalidGraphic);

    EndPNGUnit();
    EXPECT_EQ(TPicture::FindFileFormat(L"png"), nullptr);
    StartPNGUnit();  // for TearDown
}

TEST_F(PNGObjectTest, ASingleTransparentPaletteEntryShowsTheBackground)
{
    TPNGObject png;
    Load(png, PalettePng(std::string("\xff\x00", 2)));
    EXPECT_EQ(png.TransparencyKind(), TPNGTransparencyKind::ptmBit);
    EXPECT_TRUE(png.Transparent());
    EXPECT_EQ(png.TransparentColor(), 0xFF0000);  // blue as 0x00BBGGRR
    for (int scale : {1, 3}) {
        SCOPED_TRACE(scale);
        Canvas canvas(20, 10, RGB(255, 0, 0));
        png.Draw(canvas.DC(), RECT{2, 2, 2 + 4 * scale, 2 + 2 * scale});
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool clear = (x + y) % 2 == 1;
                EXPECT_EQ(canvas.Pixel(2 + x * scale, 2 + y * scale), clear ? RGB(255, 0, 0) : RGB(0, 255, 0))
                    << x << "," << y;
            }
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));  // outside untouched
    }
}

TEST_F(PNGObjectTest, PartialTransparencyIsDrawnOpaque)
{
    TPNGObject png;
    Load(png, PalettePng("\x80\x40"));
    EXPECT_EQ(png.TransparencyKind(), TPNGTransparencyKind::ptmPartial);
    Canvas canvas(4, 2, RGB(255, 0, 0));
    png.Draw(canvas.DC(), RECT{0, 0, 4, 2});
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 0, 255));
}

TEST_F(PNGObjectTest, AnEmptyPictureDrawsNothingAndCannotBeResized)
{
    TPNGObject png;
    EXPECT_TRUE(png.Empty());
    EXPECT_EQ(png.Width(), 0);
    Canvas canvas(4, 4, RGB(255, 0, 0));
    png.Draw(canvas.DC(), RECT{0, 0, 4, 4});
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 0, 0));
    try {
        png.SetWidth(10);
        FAIL() << "resized";
    } catch (const EPngError& e) {
        EXPECT_NE(e.Message().find(L"Width und Height"), std::wstring::npos);
    }
    EXPECT_THROW(png.Header(), EPNGHeaderNotPresent);
}

TEST_F(PNGObjectTest, BitmapsRoundTripThroughThePicture)
{
    // A 24-bit bitmap of distinct colours.
    TBitmap bitmap;
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 7, 5, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap.SetHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        TOwnDC dc(CreateCompatibleDC(nullptr));
        TSelectObject keep(dc.Get(), bitmap.Handle());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                SetPixel(dc.Get(), x, y, RGB(x * 30, y * 50, x * y * 7));
    }
    TPNGObject png;
    png.Assign(bitmap);
    EXPECT_EQ(png.Width(), 7);
    EXPECT_EQ(png.Header().ColorType, 2);
    const std::string saved = Save(png);
    EXPECT_EQ(ChunkNames(saved), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    TPNGObject again;
    Load(again, saved);
    TBitmap back;
    again.AssignTo(back);
    TOwnDC dc(CreateCompatibleDC(nullptr));
    TSelectObject keep(dc.Get(), back.Handle());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(GetPixel(dc.Get(), x, y), RGB(x * 30, y * 50, x * y * 7)) << x << "," << y;
            EXPECT_EQ(again.Pixels(x, y), static_cast<TColor>(RGB(x * 30, y * 50, x * y * 7)));
        }
}

TEST_F(PNGObjectTest, ATransparentPaletteBitmapBecomesIhdrPlteTrnsIdatIend)
{
    // An 8-bit bitmap whose entry 2 is magenta, marked transparent.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 4, 2, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    info.colors[1] = {0, 200, 0, 0};
    info.colors[2] = {255, 0, 255, 0};
    void* bits = nullptr;
    TBitmap bitmap;
    bitmap.SetHandle(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint8_t*>(bits);
    const uint8_t indices[8] = {1, 2, 1, 2, 2, 1, 2, 1};  // bottom row first
    std::memcpy(pixels, indices, 4);
    std::memcpy(pixels + 4, indices + 4, 4);
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(static_cast<TColor>(RGB(255, 0, 255)));

    TPNGObject png;
    png.Assign(bitmap);
    const std::string saved = Save(png);
    EXPECT_EQ(ChunkNames(saved), (std::vector<std::string>{"IHDR", "PLTE", "tRNS", "IDAT", "IEND"}));
    EXPECT_EQ(ReadChunks(saved)[2].Data, std::string("\xff\xff\x00", 3));
    TPNGObject again;
    Load(again, saved);
    EXPECT_EQ(again.TransparencyKind(), TPNGTransparencyKind::ptmBit);
    Canvas canvas(4, 2, RGB(255, 0, 0));
    again.Draw(canvas.DC(), RECT{0, 0, 4, 2});
    // The top row is the section's second: magenta (clear), green, ...
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 200, 0));
    EXPECT_EQ(canvas.Pixel(0, 1), RGB(0, 200, 0));

    // A colour no palette entry has writes no tRNS.
    bitmap.SetTransparentColor(static_cast<TColor>(RGB(1, 2, 3)));
    png.Assign(bitmap);
    EXPECT_EQ(ChunkNames(Save(png)), (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
}

TEST_F(PNGObjectTest, TheClipboardRoundTripKeepsThePixels)
{
    TPNGObject png;
    Load(png, PalettePng(""));
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    png.SaveToClipboardFormat(format, data, palette);
    ASSERT_EQ(format, UINT(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(format, data), nullptr);
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE pasted = GetClipboardData(CF_BITMAP);
    TPNGObject copy;
    copy.LoadFromClipboardFormat(CF_BITMAP, pasted, nullptr);
    CloseClipboard();
    ASSERT_EQ(copy.Width(), 4);
    ASSERT_EQ(copy.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(copy.Pixels(x, y), png.Pixels(x, y)) << x << "," << y;
}

TEST_F(PNGObjectTest, PixelsOfTwoAndSixteenBitGreyAreReadInTheHeldLayout)
{
    TPNGObject png;
    Load(png, BuildPng({{"IHDR", Ihdr(5, 1, 2, 0)}, {"IDAT", Zlib(std::string("\0\x1b\xc0", 3))}, {"IEND", ""}}));
    const TColor expected[] = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF, 0xFFFFFF};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(png.Pixels(x, 0), expected[x]) << x;
    EXPECT_EQ(png.Pixels(5, 0), 0);
    Load(png, BuildPng({{"IHDR", Ihdr(3, 1, 16, 0)},
                        {"IDAT", Zlib(std::string("\0\x12\xab\x80\x01\xff\xff", 7))},
                        {"IEND", ""}}));
    EXPECT_EQ(png.Pixels(0, 0), 0x121212);
    EXPECT_EQ(png.Pixels(1, 0), 0x808080);
    EXPECT_EQ(png.Pixels(2, 0), 0xFFFFFF);
    EXPECT_EQ(png.Palette() != nullptr, true);
}

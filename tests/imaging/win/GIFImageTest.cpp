// The GIF picture: registered as "GIF", its screen drawn with transparency
// through the mask (plain and stretched), dithered where asked, bitmaps of
// any depth made into frames, and the clipboard round trips (the animation:
// GIFPainterTest).

#include "GifTestSupport.h"

#include "framework/Streams.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"
#include "imaging/win/GIFImage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace qrv::test {
namespace {

std::string ReadFixture(const char* name)
{
    std::ifstream in(std::string("Z:") + QRV_RASTER_FIXTURES + "/../gif/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Load(TGIFImage& picture, const std::string& bytes)
{
    TMemoryStream stream;
    stream.Write(bytes.data(), bytes.size());
    stream.SetPosition(0);
    picture.LoadFromStream(stream);
}

// A 32-bit canvas of one colour on which something is drawn; its pixels as
// COLORREF values.
template <typename TDrawing>
std::vector<COLORREF> Drawn(int width, int height, COLORREF background, TDrawing draw)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const TGdiObject canvas(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), canvas.Get());
    const TGdiObject brush(CreateSolidBrush(background));
    const RECT whole{0, 0, width, height};
    FillRect(dc.Get(), &whole, static_cast<HBRUSH>(brush.Get()));
    draw(dc.Get());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc.Get(), x, y));
    return pixels;
}

// A 3 × 2 picture: blue, transparent, green / transparent, white, blue.
std::string TransparentGif()
{
    TGIFDocument document;
    document.Header.Width = 3;
    document.Header.Height = 2;
    for (const TGIFColor& color :
         {TGIFColor{0, 0, 0}, TGIFColor{0, 0, 255}, TGIFColor{0, 255, 0}, TGIFColor{255, 255, 255}})
        document.Header.ColorMap.Add(color);
    TGIFFrame& frame = document.AddFrame();
    frame.SetSize(3, 2);
    SetFramePixels(frame, {1, 0, 2, 0, 3, 1});
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(0);
    frame.Extensions.push_back(std::move(control));
    return SaveGifBytes(document);
}

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0), kWhite = RGB(255, 255, 255);

class GIFImage : public testing::Test {
protected:
    void SetUp() override { StartGIFUnit(); }
    void TearDown() override { EndGIFUnit(); }
};

TEST_F(GIFImage, IsRegisteredForGifFiles)
{
    const TGraphicFileFormat* format = TPicture::FindFileFormat(L".gif");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->Description, L"GIF Image");
    EXPECT_NE(dynamic_cast<TGIFImage*>(format->Create().get()), nullptr);
    EXPECT_NE(TGIFImage::ClipboardFormat(), 0u);
}

TEST_F(GIFImage, TransparentPixelsKeepTheCanvas)
{
    TGIFImage picture;
    Load(picture, TransparentGif());
    EXPECT_TRUE(picture.Transparent());
    // At its size (one masked transfer)...
    EXPECT_EQ(Drawn(3, 2, kRed,
                    [&](HDC dc) {
                        picture.Draw(dc, RECT{0, 0, 3, 2});
                    }),
              (std::vector<COLORREF>{kBlue, kRed, kGreen, kRed, kWhite, kBlue}));
    // ... and stretched to twice its size (the mask ANDed, the screen ORed).
    const std::vector<COLORREF> stretched = Drawn(6, 4, kRed, [&](HDC dc) { picture.Draw(dc, RECT{0, 0, 6, 4}); });
    EXPECT_EQ(stretched[0], kBlue);
    EXPECT_EQ(stretched[2], kRed);
    EXPECT_EQ(stretched[3 + 6], kRed);
    EXPECT_EQ(stretched[2 + 6 * 2], kWhite);
    EXPECT_EQ(stretched[4 + 6 * 2], kBlue);
    EXPECT_EQ(stretched[5 + 6 * 3], kBlue);

    // Without transparent drawing the header's background colour is behind.
    picture.PaintOptions &= static_cast<uint16_t>(~goTransparent);
    picture.Changed();
    EXPECT_EQ(Drawn(3, 2, kRed, [&](HDC dc) { picture.Draw(dc, RECT{0, 0, 3, 2}); })[1], RGB(0, 0, 0));
}

TEST_F(GIFImage, DithersToTheWebPaletteOnlyWhereAsked)
{
    // A 16 × 8 screen of a grey halfway between two levels of the web palette.
    TGIFDocument document;
    document.Header.Width = 16;
    document.Header.Height = 8;
    document.Header.ColorMap.Add(TGIFColor{76, 76, 76});
    document.Header.ColorMap.Add(TGIFColor{0, 0, 0});
    TGIFFrame& frame = document.AddFrame();
    frame.SetSize(16, 8);
    const std::string bytes = SaveGifBytes(document);
    const int display = TGIFImage::DisplayBitsPerPixel();
    struct TCase {
        int Bits;
        bool AutoDither;
        bool Dithered;
    };
    for (const TCase& c :
         {TCase{32, true, false}, TCase{16, true, false}, TCase{8, true, true}, TCase{32, false, true}}) {
        TGIFImage::SetDisplayBitsPerPixel(c.Bits);
        TGIFImage picture;
        Load(picture, bytes);
        if (!c.AutoDither)
            picture.PaintOptions &= static_cast<uint16_t>(~goAutoDither);
        const std::vector<COLORREF> shown = Drawn(16, 8, kRed, [&](HDC dc) { picture.Draw(dc, RECT{0, 0, 16, 8}); });
        const std::set<COLORREF> colors(shown.begin(), shown.end());
        if (c.Dithered) {
            for (COLORREF color : colors)
                EXPECT_TRUE(GetRValue(color) % 51 == 0 && GetGValue(color) % 51 == 0 && GetBValue(color) % 51 == 0)
                    << c.Bits << ": " << std::hex << color;
            EXPECT_GT(colors.size(), 1u) << c.Bits << ": a grey between two levels is dithered";
        } else {
            EXPECT_EQ(colors, std::set<COLORREF>{RGB(76, 76, 76)}) << c.Bits;
        }
    }
    TGIFImage::SetDisplayBitsPerPixel(display);
}

TEST_F(GIFImage, ABrokenFileLeavesAnEmptyPicture)
{
    TGIFImage picture;
    EXPECT_THROW(Load(picture, "GIF89a\x03\x00"), GIFException);
    EXPECT_TRUE(picture.Empty());
    EXPECT_THROW(Load(picture, "kein Bild"), GIFException);
    EXPECT_TRUE(picture.Empty());
}

// A 24-bit bitmap of count different colours in one row.
HBITMAP ColourfulBitmap(int count)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), count, -1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* bytes = static_cast<uint8_t*>(bits);
    for (int x = 0; x < count; ++x) {
        bytes[3 * x] = static_cast<uint8_t>(x);
        bytes[3 * x + 1] = static_cast<uint8_t>(x / 2);
        bytes[3 * x + 2] = static_cast<uint8_t>(x > 255 ? 200 : 0);
    }
    return bitmap;
}

TEST_F(GIFImage, BitmapsBecomeFrames)
{
    TBitmap few;
    few.SetHandle(ColourfulBitmap(200));
    TGIFImage picture;
    picture.Assign(few);
    ASSERT_EQ(picture.Document().Frames.size(), 1u);
    const TGIFFrame& frame = *picture.Document().Frames[0];
    EXPECT_EQ(frame.ColorMap.Count(), 200) << "few colours are kept exactly";
    EXPECT_EQ(frame.ColorMap[frame.Row(0)[150]], (TGIFColor{0, 75, 150}));

    TBitmap many;
    many.SetHandle(ColourfulBitmap(300));
    picture.ReductionMethod = TColorReductionMethod::crmNone;
    try {
        picture.Assign(many);
        ADD_FAILURE() << "300 colours under crmNone";
    } catch (const GIFException& error) {
        EXPECT_EQ(error.Message(), L"Color table overflow");
    }
    TGIFImage reduced;
    reduced.Assign(many);
    ASSERT_EQ(reduced.Document().Frames.size(), 1u);
    EXPECT_EQ(reduced.Document().Frames[0]->ColorMap.Count(), 216) << "the default method: the web cube";
    reduced.DitherKind = TDitherKind::dkFloydSteinberg;
    reduced.ReductionMethod = TColorReductionMethod::crmQuantize;
    reduced.Assign(many);
    EXPECT_LE(reduced.Document().Frames[0]->ColorMap.Count(), 256);
}

TEST_F(GIFImage, ClipboardRoundTripsKeepThePixels)
{
    TGIFImage picture;
    Load(picture, ReadFixture("local_tables.gif"));
    const std::vector<uint8_t> pixels = FramePixels(*picture.Document().Frames[0]);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    picture.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, static_cast<UINT>(CF_BITMAP));
    ASSERT_NE(SetClipboardData(format, data), nullptr);
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE file = GetClipboardData(TGIFImage::ClipboardFormat());
    ASSERT_NE(file, nullptr) << "\"GIF Image\" on the clipboard";
    TGIFImage fromFile;
    fromFile.LoadFromClipboardFormat(TGIFImage::ClipboardFormat(), file, nullptr);
    EXPECT_EQ(fromFile.Document().Frames.size(), picture.Document().Frames.size());
    EXPECT_EQ(FramePixels(*fromFile.Document().Frames[0]), pixels);

    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    TGIFImage fromBitmap;
    fromBitmap.LoadFromClipboardFormat(CF_BITMAP, bitmap, nullptr);
    CloseClipboard();
    // The bitmap's pixels are the first frame's colours.
    const TGIFFrame& first = *picture.Document().Frames[0];
    const TGIFFrame& copy = *fromBitmap.Document().Frames[0];
    ASSERT_EQ(copy.Width(), picture.Width());
    for (uint32_t y = 0; y < first.Height(); ++y)
        for (uint32_t x = 0; x < first.Width(); ++x)
            ASSERT_EQ(copy.ColorMap[copy.Row(y)[x]], first.ActiveColorMap()[first.Row(y)[x]]) << x << "," << y;

    EXPECT_THROW(fromBitmap.LoadFromClipboardFormat(CF_TEXT, bitmap, nullptr), GIFException);
}

}  // namespace
}  // namespace qrv::test

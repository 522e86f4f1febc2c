#include "editor/win/EasyHint.h"
#include "editor/win/EasyRtfPainter.h"
#include "framework/win/Handles.h"

#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// The text's size in the font, straight from GDI.
SIZE ExtentOf(HFONT font, const std::wstring& text)
{
    TWindowDC screen(nullptr);
    TSelectObject select(screen.Get(), font);
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size));
    return size;
}

RECT WindowRect(TEasyHint& hint)
{
    RECT rect{};
    EXPECT_TRUE(GetWindowRect(hint.Window().Handle(), &rect));
    return rect;
}

// A hint that stays wherever the mouse is.
struct EasyHintWin : ::testing::Test {
    TEasyHint hint{nullptr};
    void SetUp() override { hint.SetAutoHide(false); }
};

}  // namespace

TEST_F(EasyHintWin, ShowAtSizesTheWindowToTheCaption)
{
    int visibleChanges = 0;
    hint.OnVisibleChanged = [&](TComponent*) { ++visibleChanges; };
    const std::wstring caption = L"Zeile 12 von 340";
    hint.ShowAt(POINT{100, 120}, caption);
    ASSERT_TRUE(hint.Visible());
    EXPECT_EQ(visibleChanges, 1);
    const SIZE text = ExtentOf(hint.Window().Font().Handle(), caption);
    const RECT rect = WindowRect(hint);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.right - rect.left, text.cx + 8);
    EXPECT_EQ(rect.bottom - rect.top, text.cy + 4);

    hint.ShowAt(POINT{100, 120}, L"a\r\nb");
    const RECT twoLines = WindowRect(hint);
    EXPECT_EQ(twoLines.bottom - twoLines.top, 2 * text.cy + 4);
    EXPECT_EQ(visibleChanges, 1) << "already visible";

    hint.Hide();
    EXPECT_FALSE(hint.Visible());
    EXPECT_FALSE(hint.Timer().Running());
    EXPECT_EQ(visibleChanges, 2);
    hint.ShowAt(POINT{100, 120}, L"");
    EXPECT_FALSE(hint.Visible());
}

TEST_F(EasyHintWin, AHintAtTheScreenEdgeStaysOnScreen)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    hint.ShowAt(POINT{screenWidth - 5, screenHeight - 3}, L"Ein recht langer Hinweis am Rand");
    ASSERT_TRUE(hint.Visible());
    const RECT rect = WindowRect(hint);
    EXPECT_EQ(rect.right, screenWidth);
    EXPECT_EQ(rect.bottom, screenHeight);
    EXPECT_GT(rect.left, 0);

    hint.ShowAt(POINT{-50, -40}, L"links oben");
    const RECT topLeft = WindowRect(hint);
    EXPECT_EQ(topLeft.left, 0);
    EXPECT_EQ(topLeft.top, 0);
}

TEST_F(EasyHintWin, CaptionChangeResizesAVisibleHint)
{
    hint.ShowAt(POINT{50, 50}, L"kurz");
    hint.SetCaption(L"ein viel längerer Text");
    const SIZE text = ExtentOf(hint.Window().Font().Handle(), L"ein viel längerer Text");
    const RECT rect = WindowRect(hint);
    EXPECT_EQ(rect.right - rect.left, text.cx + 4);
    EXPECT_EQ(rect.bottom - rect.top, text.cy + 4);
    EXPECT_EQ(hint.Window().Caption(), L"ein viel längerer Text");
}

TEST_F(EasyHintWin, TheTimerShowsAfterThePauseAndHidesWhenTheMouseLeaves)
{
    // ctest: runs alone (the hint waits for the cursor to rest where it was put)
    if (!SetCursorPos(300, 300)) {
        GTEST_SKIP() << "the cursor cannot be moved here";
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    hint.SetAutoHide(true);
    hint.SetImmediate(false);
    hint.ShowAt(POINT{cursor.x - 10, cursor.y - 5}, L"Hinweis");
    EXPECT_FALSE(hint.Visible()) << "waits for the pause";
    EXPECT_TRUE(hint.Timer().Running());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(test::PumpUntil([&] { return hint.Visible(); }, 3s));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);

    SetCursorPos(cursor.x + 500, cursor.y + 400);
    EXPECT_TRUE(test::PumpUntil([&] { return !hint.Visible() && !hint.Timer().Running(); }, 2s));
}

TEST(EasyRtfPainterWin, PiecesAreMeasuredInTheirFonts)
{
    TFont font;
    font.SetName(L"Arial");
    font.SetSize(10);
    TEasyRtfPainter painter;
    painter.SetDefaultFont(font);
    const TEasyRtfLine& line = painter.AddLine(u"{\\rtf1 ab{\\b\\fs40 WW}}");
    ASSERT_EQ(line.Pieces.size(), 2u);

    TFont big;
    big.SetName(L"Arial");
    big.SetSize(20);
    big.SetStyle(fsBold);
    const SIZE small = ExtentOf(font.Handle(), L"ab");
    const SIZE large = ExtentOf(big.Handle(), L"WW");
    EXPECT_EQ(line.Pieces[0].Width, small.cx);
    EXPECT_EQ(line.Pieces[1].Width, large.cx);
    EXPECT_EQ(line.Width, small.cx + large.cx);
    EXPECT_EQ(line.Height, large.cy) << "the bold 20-point piece raises the line";
    EXPECT_GT(line.Height, small.cy);

    const TEasyRtfLine& plain = painter.AddLine(u"plain {\\b text}");
    ASSERT_EQ(plain.Pieces.size(), 1u) << "not rich text";
    EXPECT_EQ(plain.Width, ExtentOf(font.Handle(), L"plain {\\b text}").cx);
}

namespace {

std::u16string HexOf(const std::string& bytes)
{
    static const char16_t digits[] = u"0123456789abcdef";
    std::u16string text;
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

void Put(std::string& s, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A DIB of two pixels in one row: 24-bit (red, green) or 4-bit with a
// four-entry palette (entries 1 and 2: red, green).
std::string TwoPixelDib(bool paletted)
{
    std::string dib;
    Put(dib, 40, 4);
    Put(dib, 2, 4);
    Put(dib, 1, 4);
    Put(dib, 1, 2);
    Put(dib, paletted ? 4 : 24, 2);
    Put(dib, 0, 4);
    Put(dib, 4, 4);
    Put(dib, 0, 4);
    Put(dib, 0, 4);
    Put(dib, paletted ? 4 : 0, 4);
    Put(dib, 0, 4);
    if (paletted) {
        Put(dib, 0x000000, 4);
        Put(dib, 0xFF0000, 4);  // red as blue, green, red, reserved
        Put(dib, 0x00FF00, 4);
        Put(dib, 0xFFFFFF, 4);
        Put(dib, 0x12, 1);  // pixels 1 and 2
        Put(dib, 0, 3);
    } else {
        Put(dib, 0xFF0000, 3);
        Put(dib, 0x00FF00, 3);
        Put(dib, 0, 2);
    }
    return dib;
}

}  // namespace

TEST(EasyRtfPainterWin, BitmapsAreLoadedByTheSystemAndDrawn)
{
    for (const bool paletted : {false, true}) {
        TEasyRtfPainter painter;
        const TEasyRtfLine& line =
            painter.AddLine(u"{\\rtf1{\\pict\\dibitmap0\\picw2\\pich1 " + HexOf(TwoPixelDib(paletted)) + u"}}");
        ASSERT_EQ(line.Pieces.size(), 1u) << paletted;
        ASSERT_TRUE(line.Pieces[0].Image);
        EXPECT_EQ(line.Width, 2);
        EXPECT_EQ(line.Height, 1);

        const TWindowDC screen(nullptr);
        const TOwnDC memory(CreateCompatibleDC(screen.Get()));
        const TGdiObject target(CreateCompatibleBitmap(screen.Get(), 8, 4));
        const TSelectObject select(memory.Get(), target.Get());
        RECT all{0, 0, 8, 4};
        FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        painter.DrawLine(memory.Get(), all, false, false, line);
        EXPECT_EQ(GetPixel(memory.Get(), 0, 0), RGB(255, 0, 0)) << paletted;
        EXPECT_EQ(GetPixel(memory.Get(), 1, 0), RGB(0, 255, 0)) << paletted;
        EXPECT_EQ(GetPixel(memory.Get(), 2, 0), RGB(255, 255, 255)) << paletted;
    }
}

TEST(EasyRtfPainterWin, MetafilesLoadAndDamagedPicturesAreLeftOut)
{
    std::string wmf;
    for (uint32_t word : {1u, 9u, 0x300u})
        Put(wmf, word, 2);
    Put(wmf, 12, 4);
    Put(wmf, 0, 2);
    Put(wmf, 3, 4);
    Put(wmf, 0, 2);
    Put(wmf, 3, 4);  // end record
    Put(wmf, 0, 2);
    TEasyRtfPainter painter;
    const TEasyRtfLine& meta =
        painter.AddLine(u"{\\rtf1 a{\\pict\\wmetafile8\\picw2646\\pich1323 " + HexOf(wmf) + u"}}");
    ASSERT_EQ(meta.Pieces.size(), 2u);
    ASSERT_TRUE(meta.Pieces[1].Image);
    EXPECT_TRUE(meta.Pieces[1].Image->Metafile);
    EXPECT_EQ(meta.Pieces[1].Width, 100);
    EXPECT_EQ(meta.Pieces[1].Height, 50);

    std::string shortDib = TwoPixelDib(false);
    shortDib.pop_back();
    shortDib.pop_back();
    shortDib.pop_back();
    const TEasyRtfLine& damaged = painter.AddLine(u"{\\rtf1 a{\\pict\\dibitmap0 " + HexOf(shortDib) + u"}b}");
    ASSERT_EQ(damaged.Pieces.size(), 2u);
    EXPECT_FALSE(damaged.Pieces[0].Image);
    EXPECT_FALSE(damaged.Pieces[1].Image);
}

TEST(EasyRtfPainterWin, FontsMadeAfterClearAreMeasuredAnew)
{
    TFont font;
    font.SetName(L"Arial");
    font.SetSize(8);
    TEasyRtfPainter painter;
    painter.SetDefaultFont(font);
    EXPECT_EQ(painter.AddLine(u"Wort").Width, ExtentOf(font.Handle(), L"Wort").cx);
    // The freed font's handle may come back for the new one.
    painter.Clear();
    font.SetSize(24);
    painter.SetDefaultFont(font);
    EXPECT_EQ(painter.AddLine(u"Wort").Width, ExtentOf(font.Handle(), L"Wort").cx);
}

TEST(EasyRtfPainterWin, DrawnTextEndsWhereItWasMeasured)
{
    TFont font;
    font.SetName(L"Arial");
    font.SetSize(14);
    font.SetColor(clBlack);
    TEasyRtfPainter painter;
    painter.SetDefaultFont(font);
    const TEasyRtfLine& line = painter.AddLine(u"{\\rtf1 WWW{\\b WWW}|iii}");
    ASSERT_EQ(line.Pieces.size(), 4u);

    const TWindowDC screen(nullptr);
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    const int width = line.Width + 40, height = line.Height + 4;
    const TGdiObject target(CreateCompatibleBitmap(screen.Get(), width, height));
    const TSelectObject select(memory.Get(), target.Get());
    RECT all{0, 0, width, height};
    FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    painter.DrawLine(memory.Get(), all, false, false, line);

    int rightmostInk = -1;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (GetPixel(memory.Get(), x, y) != RGB(255, 255, 255))
                rightmostInk = std::max(rightmostInk, x);
    // The last piece "iii" ends the line; its ink lies within its measured
    // width, at most a little short of it.
    const TEasyRtfPiece& last = line.Pieces.back();
    EXPECT_LT(rightmostInk, line.Width);
    EXPECT_GE(rightmostInk, line.Width - last.Width / 2);
}

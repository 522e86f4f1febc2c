#include "editor/win/EasyPainterWin.h"

#include "editor/EasyEditSource.h"
#include "editor/win/EasyControlBackground.h"
#include "editor/win/EasyFontManagerWin.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

using namespace qrv;

namespace {

// Words are one token whose style is bold; everything else has none.
class BoldWordParser : public TCustomEasyParser {
public:
    using TCustomEasyParser::TCustomEasyParser;
    int NextToken(int& /*state*/, std::u16string_view line, int& pos) override
    {
        auto isWord = [](char16_t c) { return c >= u'A' && c <= u'z'; };
        const size_t start = static_cast<size_t>(pos - 1);
        size_t end = start + 1;
        while (end < line.size() && isWord(line[end]) == isWord(line[start]))
            ++end;
        pos = static_cast<int>(end) + 1;
        return isWord(line[start]) ? 0 : -1;
    }
    void GetTokenStyle(int, TColor& color, TFontStyles& style) override
    {
        color = clBlue;
        style = efBold;
    }
    TColor GetTokenBackground(int) override { return -1; }
    TColor GetBackgroundColor() override { return -1; }
    int GetTokenCount() override { return 1; }
};

// An editor with a proportional font, black on white.
struct Host : TEasyPainterHost {
    Host()
    {
        base.SetName(L"Arial");
        base.SetHeight(-16);
    }
    TCustomEasyEditSource& PainterSource() override { return source; }
    TEasyEditorOptions PainterOptions() const override { return DefaultEasyEditorOptions; }
    const TEasyEditorColors& PainterColors() const override { return colors; }
    const TEasyLineStyles& PainterLineStyles() const override { return lineStyles; }
    const TEasyLineDivider& PainterLineDivider() const override { return divider; }
    TColor PainterColor() const override { return clWhite; }
    TColor PainterBackground() const override { return clWhite; }
    TColor PainterFontColor() const override { return clBlack; }
    TFontStyles PainterFontStyle() const override { return 0; }
    uintptr_t PainterFont(TFontStyles style) override
    {
        std::unique_ptr<TFont>& font = fonts[style];
        if (!font) {
            font = std::make_unique<TFont>();
            font->Assign(base);
            font->SetStyle(style);
            if ((style & efBold) && boldHeight != 0)
                font->SetHeight(boldHeight);
        }
        return reinterpret_cast<uintptr_t>(font->Handle());
    }
    bool PainterFocused() const override { return true; }
    bool PainterHideSelection() const override { return false; }
    TEasyWrapList* PainterWrapList() override { return nullptr; }
    bool PainterSelection(int, TEasyColumnSpan&) override { return false; }
    int PainterCaretLine() const override { return -1; }

    TEasyEditSource source{nullptr};
    TEasyEditorColors colors;
    TEasyLineStyles lineStyles;
    TEasyLineDivider divider;
    TFont base;
    int boldHeight = 0;  // a taller bold font when set
    std::map<TFontStyles, std::unique_ptr<TFont>> fonts;
};

// A white 32-bit bitmap selected into a memory DC; pixels read back directly.
struct Surface {
    Surface(int width, int height) : width(width), height(height), dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap.Reset(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels = static_cast<uint32_t*>(bits);
        select = std::make_unique<TSelectObject>(dc.Get(), bitmap.Get());
        std::fill(pixels, pixels + width * height, 0xFFFFFFu);
    }
    bool Ink(int x, int y) const { return (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF; }
    // The leftmost inked column in [from, to), or -1.
    int FirstInk(int from, int to, int top, int bottom) const
    {
        for (int x = from; x < to; ++x)
            for (int y = top; y < bottom; ++y)
                if (Ink(x, y))
                    return x;
        return -1;
    }
    bool AnyInk(int top, int bottom) const { return FirstInk(0, width, top, bottom) >= 0; }

    int width, height;
    TOwnDC dc;
    TGdiObject bitmap;
    uint32_t* pixels = nullptr;
    std::unique_ptr<TSelectObject> select;
};

int TextWidth(HFONT font, const std::wstring& text)
{
    TWindowDC screen(nullptr);
    TSelectObject select(screen.Get(), font);
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

TEST(EasyPainterWin, ProportionalFontsAreDrawnOnTheCharacterGrid)
{
    Host host;
    const HFONT font = reinterpret_cast<HFONT>(host.PainterFont(0));
    ASSERT_LT(TextWidth(font, L"iiii") * 2, TextWidth(font, L"WWWW")) << "the font is not proportional";

    TEasyPainter painter(host);
    const int cell = painter.GetCharWidth();
    EXPECT_EQ(cell, GetFontMetrics(font).AveCharWidth);
    Surface surface(400, 40);
    painter.Canvas = surface.dc.Get();
    const std::u16string text = u"iiii WWWW";
    EXPECT_EQ(painter.PaintLine(0, {0, 0, 400, painter.GetLineHeight()}, text, text), painter.GetLineHeight());

    // Every character starts at its cell: equal glyphs lie exactly one cell apart.
    std::vector<int> starts;
    for (int column : {0, 1, 2, 3, 5, 6, 7, 8})
        starts.push_back(surface.FirstInk(column * cell, (column + 1) * cell, 0, painter.GetLineHeight()));
    for (int i : {1, 2, 3, 5, 6, 7})
        EXPECT_EQ(starts[i] - starts[i - 1], cell) << "character " << i;
    // So "iiii" and "WWWW" span the same distance.
    EXPECT_EQ(starts[3] - starts[0], starts[7] - starts[4]);
    EXPECT_EQ(surface.FirstInk(10 * cell, 400, 0, 40), -1) << "nothing right of the text";
}

TEST(EasyPainterWin, BoldTokensSetTheRowHeight)
{
    Host host;
    host.boldHeight = -22;  // so that the raise shows whatever the system's fonts
    BoldWordParser parser(nullptr);
    host.source.SetParser(&parser);
    host.source.Strings().SetText(u"Wort 12\nzwei");
    host.source.ParseLines(0, 1, true);
    TEasyPainter painter(host);
    const int regular = GetFontMetrics(reinterpret_cast<HFONT>(host.PainterFont(0))).Height;
    const int bold = GetFontMetrics(reinterpret_cast<HFONT>(host.PainterFont(efBold))).Height;
    ASSERT_GT(bold, regular);
    EXPECT_EQ(painter.GetLineHeight(), bold);
    host.source.SetParser(nullptr);
    painter.FontChanged();
    EXPECT_EQ(painter.GetLineHeight(), regular);
    host.source.SetParser(&parser);
    host.source.ParseLines(0, 1, true);
    painter.FontChanged();

    // Rows follow each other at that height; the word is drawn in blue.
    Surface surface(300, 100);
    painter.Canvas = surface.dc.Get();
    const int height = painter.GetLineHeight();
    int top = 0;
    for (int line = 0; line < 2; ++line) {
        const std::u16string text = host.source.Strings().Get(line);
        top += painter.PaintLine(line, {0, top, 300, top + height}, text, text);
    }
    EXPECT_EQ(top, 2 * height);
    EXPECT_TRUE(surface.AnyInk(height, 2 * height));
    bool blue = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 4 * painter.GetCharWidth(); ++x)
            blue = blue || (surface.pixels[y * 300 + x] & 0xFFFFFF) == 0x0000FF;  // BGR in the DIB
    EXPECT_TRUE(blue);
}

TEST(EasyPainterWin, SelectionAndFillsUseTheirColours)
{
    struct SelectingHost : Host {
        bool PainterSelection(int, TEasyColumnSpan& span) override
        {
            span = {1, 6};
            return true;
        }
    } host;
    host.colors.SetSelBackColor(clRed);
    host.colors.SetSelColor(clWhite);
    TEasyPainter painter(host);
    Surface surface(200, 30);
    painter.Canvas = surface.dc.Get();
    const int cell = painter.GetCharWidth();
    const std::u16string text = u"abc";
    painter.PaintLine(0, {0, 0, 200, painter.GetLineHeight()}, text, text);
    const int y = painter.GetLineHeight() - 1;
    auto at = [&](int x) { return surface.pixels[y * 200 + x] & 0xFFFFFF; };
    EXPECT_EQ(at(cell / 2), 0xFFFFFFu);             // unselected "a"
    EXPECT_EQ(at(cell + cell / 2), 0xFF0000u);      // selected "b" (red, BGR)
    EXPECT_EQ(at(4 * cell + cell / 2), 0xFF0000u);  // past the line end up to column 6
    EXPECT_EQ(at(7 * cell), 0xFFFFFFu);
}

TEST(EasyPainterWin, RowsPaintedInOneBracketLookAsRowsPaintedAlone)
{
    // Bold blue words, a selected line and plain text: font and colours
    // change between the pieces and rows.
    struct SecondLineSelected : Host {
        bool PainterSelection(int line, TEasyColumnSpan& span) override
        {
            span = {2, 9};
            return line == 1;
        }
    } host;
    host.colors.SetSelBackColor(clRed);
    host.colors.SetSelColor(clWhite);
    BoldWordParser parser(nullptr);
    host.source.SetParser(&parser);
    host.source.Strings().SetText(u"Wort 12 Wort\n34 zwei 56\n7 8 9");
    host.source.ParseLines(0, 2, true);

    TFont callerFont;
    callerFont.SetName(L"Courier New");
    callerFont.SetHeight(-9);
    auto paintRows = [&](Surface& surface, bool bracket) {
        HDC dc = surface.dc.Get();
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, callerFont.Handle());
        TEasyPainter painter(host);
        painter.Canvas = dc;
        const int height = painter.GetLineHeight();
        if (bracket)
            painter.BeginCanvas();
        for (int line = 0, top = 0; line < 3; ++line) {
            const std::u16string text = host.source.Strings().Get(line);
            top += painter.PaintLine(line, {0, top, surface.width, top + height}, text, text);
        }
        if (bracket)
            painter.EndCanvas();
        // The caller's state is back either way.
        EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
        EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), callerFont.Handle());
    };
    Surface alone(300, 80), together(300, 80);
    paintRows(alone, false);
    paintRows(together, true);
    ASSERT_TRUE(alone.AnyInk(0, 80));
    int different = 0;
    for (int i = 0; i < 300 * 80; ++i)
        different += (alone.pixels[i] & 0xFFFFFF) != (together.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(different, 0);

    // And both show the colours asked for: the words blue, the digits of
    // the last line black on white, the selection on red.
    TEasyPainter measure(host);
    const int height = measure.GetLineHeight();
    const int cell = measure.GetCharWidth();
    auto count = [&](uint32_t color, int top, int bottom) {
        return std::count_if(together.pixels + top * 300, together.pixels + bottom * 300,
                             [color](uint32_t p) { return (p & 0xFFFFFF) == color; });
    };
    EXPECT_GT(count(0x0000FF, 0, height), 0);
    EXPECT_EQ(together.pixels[(2 * height - 1) * 300 + 3 * cell + cell / 2] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(count(0x0000FF, 2 * height, 3 * height), 0);
    EXPECT_EQ(count(0xFF0000, 2 * height, 3 * height), 0);
    EXPECT_GT(count(0x000000, 2 * height, 3 * height), 0);
}

TEST(EasyPainterWin, GradientBandsFillTheRectangle)
{
    Surface surface(300, 4);
    FillGradient(surface.dc.Get(), RECT{0, 0, 300, 4}, clBlue, clBlack, true);
    EXPECT_EQ(surface.pixels[0] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(surface.pixels[299] & 0xFFFFFF, 0u);
    // Darker from left to right, never lighter.
    for (int x = 1; x < 300; ++x)
        EXPECT_LE(surface.pixels[x] & 0xFF, surface.pixels[x - 1] & 0xFF) << x;
}

TEST(EasyPainterWin, TransparentRowsShowTheBackgroundAndReachTheEditor)
{
    Host host;
    TEasyPainter painter(host);
    const int height = painter.GetLineHeight();
    TEasyControlBackground background;
    background.SetClientSize(200, height);
    background.SetOption(TEasyBackgroundOption::bgVertGradient);
    background.SetGradientStartColor(clRed);
    background.SetGradientEndColor(clRed);

    Surface offscreen(200, height);
    Surface editor(200, height);
    painter.Transparent = true;
    painter.Canvas = offscreen.dc.Get();
    painter.EditorCanvas = editor.dc.Get();
    painter.OnPaintBackground = [&](HDC dc, const RECT& rect) { background.PaintTo(dc, rect); };
    const std::u16string text = u"WW";
    painter.PaintLine(0, {0, 0, 200, height}, text, text);
    // Right of the text and behind it the picture shows; the text is drawn on it.
    EXPECT_EQ(editor.pixels[(height / 2) * 200 + 150] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(editor.pixels[0] & 0xFFFFFF, 0xFF0000u);
    bool black = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 2 * painter.GetCharWidth(); ++x)
            black = black || (editor.pixels[y * 200 + x] & 0xFFFFFF) == 0;
    EXPECT_TRUE(black);
}

namespace {

// A window that paints one line through the painter, as the editor does.
class PaintedLine : public TCustomControl {
public:
    PaintedLine(TComponent* owner, Host& host) : TCustomControl(owner), painter(host) {}
    std::u16string Text;
    TEasyPainter painter;

protected:
    void Paint(HDC dc) override
    {
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        painter.Canvas = dc;
        painter.PaintLine(0, {0, 0, client.right, painter.GetLineHeight()}, Text, Text);
    }
};

}  // namespace

TEST(EasyPainterWin, AScreenshotOfAPaintedWindowShowsTheGrid)
{
    Host host;
    TForm form(nullptr);
    form.SetBounds(50, 50, 400, 120);
    auto* line = new PaintedLine(&form, host);
    line->SetParent(&form);
    line->SetBounds(0, 0, 380, 60);
    line->Text = u"iiii WWWW";
    form.Show();
    UpdateWindow(line->Handle());

    // The window's pixels as the screen shows them.
    Surface shot(380, 60);
    {
        TWindowDC screen(line->Handle());
        BitBlt(shot.dc.Get(), 0, 0, 380, 60, screen.Get(), 0, 0, SRCCOPY);
    }
    const int cell = line->painter.GetCharWidth();
    const int height = line->painter.GetLineHeight();
    const int firstI = shot.FirstInk(0, cell, 0, height);
    const int lastI = shot.FirstInk(3 * cell, 4 * cell, 0, height);
    const int firstW = shot.FirstInk(5 * cell, 6 * cell, 0, height);
    const int lastW = shot.FirstInk(8 * cell, 9 * cell, 0, height);
    ASSERT_GE(firstI, 0);
    ASSERT_GE(firstW, 0);
    EXPECT_EQ(lastI - firstI, 3 * cell);
    EXPECT_EQ(lastW - firstW, 3 * cell) << "iiii and WWWW are equally wide";
}

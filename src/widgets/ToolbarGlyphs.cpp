#include "widgets/ToolbarGlyphs.h"

#include <cstdlib>
#include <stdexcept>

namespace qrv {

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kSilver = 0xC0C0C0;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kYellow = 0xF8D860;
constexpr uint32_t kOchre = 0xB08020;
constexpr uint32_t kBlue = 0x2050C8;
constexpr uint32_t kNavy = 0x102870;
constexpr uint32_t kRed = 0xD02020;
constexpr uint32_t kGreen = 0x20A030;
constexpr uint32_t kCyan = 0x30A0C0;

class TCanvas {
public:
    TCanvas() { pixels_.fill(kGlyphTransparent); }
    const TGlyphPixels& Pixels() const { return pixels_; }

    void Pixel(int X, int Y, uint32_t Color)
    {
        if (X >= 0 && Y >= 0 && X < kGlyphSize && Y < kGlyphSize)
            pixels_[static_cast<size_t>(Y * kGlyphSize + X)] = Color;
    }
    void Fill(int X, int Y, int W, int H, uint32_t Color)
    {
        for (int y = Y; y < Y + H; ++y)
            for (int x = X; x < X + W; ++x)
                Pixel(x, y, Color);
    }
    void Frame(int X, int Y, int W, int H, uint32_t Color)
    {
        Line(X, Y, X + W - 1, Y, Color);
        Line(X, Y + H - 1, X + W - 1, Y + H - 1, Color);
        Line(X, Y, X, Y + H - 1, Color);
        Line(X + W - 1, Y, X + W - 1, Y + H - 1, Color);
    }
    void Box(int X, int Y, int W, int H, uint32_t Inside, uint32_t Edge = kBlack)
    {
        Fill(X, Y, W, H, Inside);
        Frame(X, Y, W, H, Edge);
    }
    void Line(int X0, int Y0, int X1, int Y1, uint32_t Color)
    {
        const int dx = std::abs(X1 - X0);
        const int dy = -std::abs(Y1 - Y0);
        const int sx = X0 < X1 ? 1 : -1;
        const int sy = Y0 < Y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            Pixel(X0, Y0, Color);
            if (X0 == X1 && Y0 == Y1)
                return;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                X0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                Y0 += sy;
            }
        }
    }

    // A sheet with its corner folded, and grey lines of text.
    void Page(int X, int Y, int W, int H, bool Text = true)
    {
        Box(X, Y, W, H, kWhite);
        Fill(X + W - 3, Y, 3, 3, kGlyphTransparent);
        Line(X + W - 4, Y, X + W - 1, Y + 3, kBlack);
        Line(X + W - 4, Y, X + W - 4, Y + 3, kBlack);
        Line(X + W - 4, Y + 3, X + W - 1, Y + 3, kBlack);
        Line(X + W - 1, Y + 3, X + W - 1, Y + H - 1, kBlack);
        if (Text)
            for (int y = Y + 5; y < Y + H - 2; y += 2)
                Line(X + 2, y, X + W - 3, y, kGrey);
    }
    void Folder(int X, int Y, int W = 14, int H = 10)
    {
        Box(X, Y, 6, 3, kYellow, kOchre);
        Box(X, Y + 2, W, H, kYellow, kOchre);
        Line(X + 1, Y + 3, X + W - 2, Y + 3, kWhite);
    }
    void ArrowRight(int X, int Y, int Length, uint32_t Color)
    {
        Fill(X, Y - 1, Length - 3, 3, Color);
        for (int i = 0; i < 4; ++i)
            Line(X + Length - 4 + i, Y - 3 + i, X + Length - 4 + i, Y + 3 - i, Color);
    }
    void ArrowDown(int X, int Y, int Length, uint32_t Color)
    {
        Fill(X - 1, Y, 3, Length - 3, Color);
        for (int i = 0; i < 4; ++i)
            Line(X - 3 + i, Y + Length - 4 + i, X + 3 - i, Y + Length - 4 + i, Color);
    }
    void Cross(int X, int Y, int Size, uint32_t Color)
    {
        for (int i = 0; i < 2; ++i) {
            Line(X + i, Y, X + Size - 1, Y + Size - 1 - i, Color);
            Line(X, Y + i, X + Size - 1 - i, Y + Size - 1, Color);
            Line(X + Size - 1 - i, Y, X, Y + Size - 1 - i, Color);
            Line(X + Size - 1, Y + i, X + i, Y + Size - 1, Color);
        }
    }
    void Plus(int X, int Y, uint32_t Color)
    {
        Fill(X + 2, Y, 2, 6, Color);
        Fill(X, Y + 2, 6, 2, Color);
    }
    void Minus(int X, int Y, uint32_t Color) { Fill(X, Y + 2, 6, 2, Color); }
    void Star(int X, int Y)
    {
        Line(X, Y + 2, X + 4, Y + 2, kOchre);
        Line(X + 2, Y, X + 2, Y + 4, kOchre);
        Line(X, Y, X + 4, Y + 4, kYellow);
        Line(X + 4, Y, X, Y + 4, kYellow);
        Pixel(X + 2, Y + 2, kWhite);
    }
    void Check(int X, int Y, uint32_t Color)
    {
        for (int i = 0; i < 2; ++i) {
            Line(X, Y + 3 + i, X + 2, Y + 5 + i, Color);
            Line(X + 2, Y + 5 + i, X + 7, Y + i, Color);
        }
    }
    void Lens(int X, int Y)
    {
        Fill(X + 2, Y + 1, 4, 6, kCyan);
        Fill(X + 1, Y + 2, 6, 4, kCyan);
        Line(X + 2, Y, X + 5, Y, kBlack);
        Line(X + 2, Y + 7, X + 5, Y + 7, kBlack);
        Line(X, Y + 2, X, Y + 5, kBlack);
        Line(X + 7, Y + 2, X + 7, Y + 5, kBlack);
        Pixel(X + 1, Y + 1, kBlack);
        Pixel(X + 6, Y + 1, kBlack);
        Pixel(X + 1, Y + 6, kBlack);
        Pixel(X + 6, Y + 6, kBlack);
        Pixel(X + 2, Y + 2, kWhite);
        for (int i = 0; i < 2; ++i)
            Line(X + 6 + i, Y + 7, X + 9 + i, Y + 10, kOchre);
    }
    // A small icon of the list views: a coloured square with a line beside it.
    void Item(int X, int Y, int Size, bool Label)
    {
        Box(X, Y, Size, Size, kBlue, kNavy);
        if (Label)
            Line(X + Size + 1, Y + Size / 2, X + Size + 5, Y + Size / 2, kBlack);
    }
    void Clipboard(int X, int Y)
    {
        Box(X, Y + 1, 11, 13, kOchre, kBlack);
        Box(X + 3, Y, 5, 3, kSilver, kBlack);
        Fill(X + 2, Y + 4, 7, 8, kWhite);
    }
    void Screen(int X, int Y, int W, int H, uint32_t Inside)
    {
        Box(X, Y, W, H, Inside, kGrey);
        Frame(X + 1, Y + 1, W - 2, H - 2, kBlack);
    }

private:
    TGlyphPixels pixels_{};
};

void Draw(TCanvas& c, TGlyph Glyph)
{
    switch (Glyph) {
    case TGlyph::NewFolder:
        c.Folder(1, 4);
        c.Star(10, 0);
        return;
    case TGlyph::NewFile:
        c.Page(3, 2, 10, 13);
        c.Star(10, 0);
        return;
    case TGlyph::NewLink:
        c.Page(3, 1, 10, 13);
        c.Box(1, 9, 7, 6, kWhite);
        c.Line(2, 13, 5, 10, kBlue);
        c.Line(3, 10, 5, 10, kBlue);
        c.Line(5, 10, 5, 12, kBlue);
        return;
    case TGlyph::Rename:
        c.Box(1, 5, 14, 7, kWhite);
        c.Line(3, 8, 8, 8, kGrey);
        c.Line(10, 3, 10, 13, kBlack);
        c.Line(9, 3, 11, 3, kBlack);
        c.Line(9, 13, 11, 13, kBlack);
        return;
    case TGlyph::Delete:
        c.Cross(3, 3, 10, kRed);
        return;
    case TGlyph::Properties:
        c.Page(2, 1, 11, 14);
        c.Fill(8, 9, 6, 6, kBlue);
        c.Fill(10, 10, 2, 1, kWhite);
        c.Fill(10, 12, 2, 2, kWhite);
        return;
    case TGlyph::CopyTo:
        c.Page(1, 1, 8, 10, false);
        c.Folder(6, 6, 10, 8);
        c.ArrowRight(3, 8, 7, kGreen);
        return;
    case TGlyph::MoveTo:
        c.Page(1, 1, 8, 10, false);
        c.Folder(6, 6, 10, 8);
        c.ArrowRight(3, 8, 7, kBlue);
        return;
    case TGlyph::Duplicate:
        c.Page(1, 1, 9, 11);
        c.Page(6, 4, 9, 11);
        c.Plus(1, 12, kGreen);
        return;
    case TGlyph::Exit:
        c.Box(6, 1, 8, 14, kOchre);
        c.Pixel(8, 8, kYellow);
        c.ArrowRight(0, 8, 9, kRed);
        return;
    case TGlyph::ViewFile:
        c.Page(1, 1, 10, 13);
        c.Lens(6, 5);
        return;
    case TGlyph::Freeze:
        c.Page(1, 1, 10, 13);
        c.Box(8, 8, 7, 6, kYellow, kOchre);
        c.Frame(9, 5, 5, 4, kBlack);
        c.Pixel(11, 10, kBlack);
        c.Pixel(11, 11, kBlack);
        return;
    case TGlyph::DisplayAuto:
        c.Page(1, 1, 10, 13, false);
        c.Line(3, 12, 6, 4, kBlue);
        c.Line(6, 4, 9, 12, kBlue);
        c.Line(4, 9, 8, 9, kBlue);
        c.Star(10, 10);
        return;
    case TGlyph::FitPicture:
        c.Box(1, 2, 14, 12, kCyan);
        c.Fill(2, 9, 12, 4, kGreen);
        c.Fill(10, 4, 3, 3, kYellow);
        c.Line(3, 9, 6, 6, kGreen);
        c.Line(6, 6, 9, 9, kGreen);
        return;
    case TGlyph::BackgroundColor:
        c.Box(1, 1, 7, 7, kRed);
        c.Box(8, 1, 7, 7, kGreen);
        c.Box(1, 8, 7, 7, kBlue);
        c.Box(8, 8, 7, 7, kYellow);
        return;
    case TGlyph::SelectAll:
        for (int y = 1; y < 15; y += 5)
            for (int x = 1; x < 15; x += 5)
                c.Box(x, y, 4, 4, kBlue, kNavy);
        return;
    case TGlyph::SelectInvert:
        for (int y = 1; y < 15; y += 5)
            for (int x = 1; x < 15; x += 5)
                c.Box(x, y, 4, 4, ((x + y) / 5) % 2 ? kBlue : kWhite, kNavy);
        return;
    case TGlyph::SelectSome:
        c.Box(1, 1, 4, 4, kBlue, kNavy);
        c.Box(6, 1, 4, 4, kWhite, kNavy);
        c.Box(1, 6, 4, 4, kWhite, kNavy);
        c.Plus(9, 9, kGreen);
        return;
    case TGlyph::UnselectSome:
        c.Box(1, 1, 4, 4, kBlue, kNavy);
        c.Box(6, 1, 4, 4, kBlue, kNavy);
        c.Box(1, 6, 4, 4, kWhite, kNavy);
        c.Minus(9, 9, kRed);
        return;
    case TGlyph::Filter:
        for (int y = 2; y < 8; ++y)
            c.Line(y - 1, y, 16 - y, y, y == 2 ? kBlack : kSilver);
        c.Line(1, 2, 6, 7, kBlack);
        c.Line(14, 2, 9, 7, kBlack);
        c.Box(6, 7, 4, 7, kSilver);
        return;
    case TGlyph::LargeIcons:
        c.Item(1, 1, 6, false);
        c.Item(9, 1, 6, false);
        c.Item(1, 9, 6, false);
        c.Item(9, 9, 6, false);
        return;
    case TGlyph::SmallIcons:
        for (int y = 1; y < 15; y += 5) {
            c.Item(1, y, 3, true);
            c.Item(9, y, 3, false);
            c.Line(13, y + 1, 15, y + 1, kBlack);
        }
        return;
    case TGlyph::List:
        for (int y = 1; y < 15; y += 4)
            c.Item(1, y, 3, true);
        for (int y = 1; y < 12; y += 4)
            c.Item(9, y, 3, false);
        return;
    case TGlyph::Details:
        c.Fill(1, 1, 14, 2, kSilver);
        for (int y = 4; y < 15; y += 3) {
            c.Item(1, y, 2, false);
            c.Line(5, y + 1, 9, y + 1, kBlack);
            c.Line(11, y + 1, 14, y + 1, kGrey);
        }
        return;
    case TGlyph::Tiles:
        for (int y = 1; y < 15; y += 7) {
            c.Item(1, y, 5, false);
            c.Line(8, y + 1, 14, y + 1, kBlack);
            c.Line(8, y + 3, 12, y + 3, kGrey);
        }
        return;
    case TGlyph::Refresh:
        c.Line(4, 3, 11, 3, kGreen);
        c.Line(3, 4, 3, 10, kGreen);
        c.Line(4, 4, 4, 10, kGreen);
        c.Line(4, 11, 11, 11, kGreen);
        c.Line(4, 12, 11, 12, kGreen);
        c.Line(12, 3, 12, 7, kGreen);
        c.Line(11, 4, 11, 6, kGreen);
        c.Line(10, 1, 10, 5, kGreen);
        c.Line(9, 2, 9, 4, kGreen);
        c.Line(13, 5, 13, 9, kGreen);
        return;
    case TGlyph::FolderSize:
        c.Folder(1, 1);
        c.Fill(4, 13, 3, 2, kBlue);
        c.Fill(8, 11, 3, 4, kBlue);
        c.Fill(12, 9, 3, 6, kBlue);
        return;
    case TGlyph::Cut:
        c.Line(4, 1, 10, 9, kGrey);
        c.Line(11, 1, 5, 9, kGrey);
        c.Frame(2, 9, 4, 5, kBlack);
        c.Frame(9, 9, 4, 5, kBlack);
        return;
    case TGlyph::Copy:
        c.Page(1, 1, 9, 11);
        c.Page(6, 4, 9, 11);
        return;
    case TGlyph::Paste:
        c.Clipboard(1, 1);
        c.Page(7, 6, 8, 9);
        return;
    case TGlyph::ClearClipboard:
        c.Clipboard(1, 1);
        c.Cross(7, 7, 7, kRed);
        return;
    case TGlyph::Search:
        c.Page(1, 1, 10, 13);
        c.Lens(5, 3);
        c.Line(13, 13, 14, 14, kOchre);
        return;
    case TGlyph::SearchFolder:
        c.Folder(1, 4);
        c.Lens(6, 3);
        return;
    case TGlyph::Verify:
        c.Page(1, 1, 10, 13);
        c.Check(6, 7, kGreen);
        return;
    case TGlyph::Options:
        c.Box(1, 1, 14, 14, kSilver, kGrey);
        for (int x = 4; x < 13; x += 4) {
            c.Line(x, 3, x, 12, kBlack);
            c.Box(x - 1, 3 + (x * 3) % 8, 3, 3, kBlue, kNavy);
        }
        return;
    case TGlyph::NetConnect:
        c.Box(1, 2, 12, 6, kSilver, kBlack);
        c.Fill(9, 4, 2, 2, kGreen);
        c.Line(6, 8, 6, 12, kBlack);
        c.Line(1, 12, 14, 12, kBlack);
        c.Plus(10, 9, kGreen);
        return;
    case TGlyph::NetDisconnect:
        c.Box(1, 2, 12, 6, kSilver, kBlack);
        c.Fill(9, 4, 2, 2, kRed);
        c.Line(6, 8, 6, 12, kBlack);
        c.Line(1, 12, 8, 12, kBlack);
        c.Cross(9, 9, 6, kRed);
        return;
    case TGlyph::Run:
        c.Screen(1, 1, 14, 11, kWhite);
        c.Fill(2, 2, 12, 2, kBlue);
        c.ArrowRight(4, 8, 8, kGreen);
        c.Line(4, 13, 11, 13, kGrey);
        return;
    case TGlyph::Console:
        c.Screen(1, 2, 14, 12, kBlack);
        c.Line(3, 5, 5, 7, kWhite);
        c.Line(5, 7, 3, 9, kWhite);
        c.Line(7, 10, 10, 10, kWhite);
        return;
    case TGlyph::FilterField:
        c.Box(0, 4, 16, 8, kWhite, kGrey);
        c.Fill(11, 5, 4, 6, kSilver);
        c.Line(12, 7, 14, 7, kBlack);
        c.Pixel(13, 8, kBlack);
        c.Line(2, 8, 7, 8, kBlack);
        return;
    case TGlyph::SeparatorMark:
        c.Line(7, 1, 7, 14, kGrey);
        c.Line(8, 1, 8, 14, kWhite);
        c.Line(6, 1, 6, 14, kSilver);
        return;
    case TGlyph::ButtonPanel:
        for (int x = 0; x < 15; x += 5) {
            c.Box(x, 4, 5, 8, kSilver, kGrey);
            c.Line(x, 4, x + 4, 4, kWhite);
            c.Line(x, 4, x, 11, kWhite);
        }
        return;
    case TGlyph::Count:
        break;
    }
    throw std::out_of_range("toolbar glyphs: no picture of that number");
}

}  // namespace

TGlyphPixels GlyphPixels(TGlyph Glyph)
{
    TCanvas canvas;
    Draw(canvas, Glyph);
    return canvas.Pixels();
}

}  // namespace qrv

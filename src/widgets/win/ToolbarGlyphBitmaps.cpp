#include "widgets/win/ToolbarGlyphBitmaps.h"

#include "framework/SysUtils.h"

#include <optional>

namespace qrv {

namespace {

// 0xRRGGBB to a GDI colour.
COLORREF ToColorRef(uint32_t Rgb)
{
    return RGB((Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF, Rgb & 0xFF);
}

void Paint(TGlyph Glyph, std::optional<COLORREF> Background, TBitmap& Bitmap)
{
    const TGlyphPixels pixels = GlyphPixels(Glyph);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kGlyphSize;
    info.bmiHeader.biHeight = -kGlyphSize;  // top row first
    info.bmiHeader.biPlanes = 1;
    // 24 bits: no alpha channel that an image list might read.
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits)
        throw EOutOfResources(L"Das Symbol kann nicht erstellt werden.");
    auto* out = static_cast<uint8_t*>(bits);
    const uint32_t background =
        Background ? (GetRValue(*Background) << 16 | GetGValue(*Background) << 8 | GetBValue(*Background)) : 0;
    // Blue, green, red per pixel; a row of 16 pixels is 48 bytes, already
    // a whole number of double words.
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t rgb = Background && pixels[i] == kGlyphTransparent ? background : pixels[i];
        out[3 * i] = static_cast<uint8_t>(rgb & 0xFF);
        out[3 * i + 1] = static_cast<uint8_t>((rgb >> 8) & 0xFF);
        out[3 * i + 2] = static_cast<uint8_t>((rgb >> 16) & 0xFF);
    }
    GdiFlush();
    Bitmap.SetHandle(section);
    if (!Background) {
        Bitmap.SetTransparentColor(static_cast<TColor>(ToColorRef(kGlyphTransparent)));
        Bitmap.SetTransparent(true);
    }
}

}  // namespace

void MakeGlyphBitmap(TGlyph Glyph, TBitmap& Bitmap)
{
    Paint(Glyph, std::nullopt, Bitmap);
}

void MakeGlyphBitmapOn(TGlyph Glyph, COLORREF Background, TBitmap& Bitmap)
{
    Paint(Glyph, Background, Bitmap);
}

}  // namespace qrv

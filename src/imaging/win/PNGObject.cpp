#include "imaging/win/PNGObject.h"

#include "framework/ScopeExit.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Graphics.h"
#include "imaging/PngErrors.h"
#include "imaging/win/DibSectionAllocator.h"

#include <cstring>
#include <vector>

namespace qrv {

namespace {

// A BITMAPINFO with room for a full colour table.
struct TDibInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

static_assert(sizeof(TPngColorEntry) == sizeof(RGBQUAD));

TDibInfo DibInfoOf(const TPngImage& image)
{
    TDibInfo info{};
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = static_cast<LONG>(image.Width());
    info.Header.biHeight = static_cast<LONG>(image.Height());
    info.Header.biPlanes = 1;
    info.Header.biBitCount = static_cast<WORD>(image.BitsPerPixel());
    info.Header.biCompression = BI_RGB;
    if (image.UsesColorTable())
        std::memcpy(info.Colors, image.Palette.data(), sizeof info.Colors);
    return info;
}

// The pixel bits as shown: RGB samples are held as the file has them, so a
// gamma other than identity is applied to a copy.
const uint8_t* ShownBits(const TPngPicture& core, std::vector<uint8_t>& copy)
{
    const TPngImage& image = *core.Image();
    if (image.UsesColorTable() || core.GammaIsIdentity())
        return image.Pixels();
    copy.assign(image.Pixels(), image.Pixels() + image.Layout().Size());
    for (uint8_t& byte : copy)
        byte = core.GammaTable[byte];
    return copy.data();
}

int unitStarts = 0;

}  // namespace

TPNGObject::TPNGObject() : allocator_(std::make_shared<TDibSectionAllocator>())
{
    core_.SetAllocator(allocator_);
    core_.OnImagePrepared = [this] { DropCachedPalette(); };
}

TPNGObject::~TPNGObject()
{
    core_.ClearChunks();
}

COLORREF TPNGObject::ColorToRGBValue(TColor color)
{
    return ColorToRGB(color);
}

void TPNGObject::AssignTo(TGraphic& target) const
{
    if (auto* png = dynamic_cast<TPNGObject*>(&target)) {
        png->Assign(*this);
        return;
    }
    TGraphic::AssignTo(target);
}

void TPNGObject::AssignTo(TBitmap& target) const
{
    if (!core_.HasHeader()) {
        TGraphic::AssignTo(target);
        return;
    }
    const TPngImage& image = *core_.Image();
    if (image.Width() == 0 || image.Height() == 0) {
        target.SetHandle(nullptr);
        return;
    }
    // A section of the image's own depth, with its colour table.
    TDibInfo info = DibInfoOf(image);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    Win32Check(bitmap != nullptr && bits != nullptr, L"Bitmap kann nicht erstellt werden");
    std::vector<uint8_t> copy;
    std::memcpy(bits, ShownBits(core_, copy), image.Layout().Size());
    target.SetHandle(bitmap);
    if (TransparencyKind() == TPNGTransparencyKind::ptmBit) {
        target.SetTransparentColor(TransparentColor());
        target.SetTransparent(true);
    }
}

void TPNGObject::Assign(const TGraphic& source)
{
    if (auto* png = dynamic_cast<const TPNGObject*>(&source)) {
        if (png != this) {
            DropCachedPalette();
            core_.Assign(png->core_);
        }
        return;
    }
    TGraphic::Assign(source);
}

void TPNGObject::Assign(const TBitmap& source)
{
    AssignHandle(source.Handle(), source.Transparent(), ColorToRGB(source.TransparentColor()));
}

void TPNGObject::AssignHandle(HBITMAP bitmap, bool transparent, COLORREF transparentColor)
{
    BITMAP description{};
    if (!bitmap || !GetObjectW(bitmap, sizeof description, &description))
        throw EConvertError(L"Die Bitmap kann nicht gelesen werden.");
    const int bitsPerPixel = description.bmBitsPixel * description.bmPlanes;
    const bool paletted = bitsPerPixel < 16;

    DropCachedPalette();
    core_.ClearChunks();
    auto header = std::make_unique<TChunkIHDR>(&core_);
    TChunkIHDR* ihdr = header.get();
    core_.AddChunk(std::move(header));
    TChunkPLTE* palette = nullptr;
    if (paletted) {
        auto chunk = std::make_unique<TChunkPLTE>(&core_);
        palette = chunk.get();
        core_.AddChunk(std::move(chunk));
    }
    TChunktRNS* transparency = nullptr;
    if (transparent) {
        auto chunk = std::make_unique<TChunktRNS>(&core_);
        transparency = chunk.get();
        core_.AddChunk(std::move(chunk));
    }
    core_.AddChunk(std::make_unique<TChunkIDAT>(&core_));
    core_.AddChunk(std::make_unique<TChunkIEND>(&core_));

    ihdr->Width = static_cast<uint32_t>(description.bmWidth);
    ihdr->Height = static_cast<uint32_t>(description.bmHeight < 0 ? -description.bmHeight : description.bmHeight);
    // Bitmaps of 2 bits per pixel do not exist; 1, 4 and 8 are palette depths.
    ihdr->BitDepth = static_cast<uint8_t>(paletted ? (bitsPerPixel <= 1 ? 1 : bitsPerPixel <= 4 ? 4 : 8) : 8);
    ihdr->ColorType = paletted ? 3 : 2;
    ihdr->CompressionMethod = 0;
    ihdr->InterlaceMethod = 0;
    ihdr->PrepareImageData();

    TPngImage& image = *ihdr->Image();
    if (image.Width() > 0 && image.Height() > 0) {
        TDibInfo info = DibInfoOf(image);
        TOwnDC dc(CreateCompatibleDC(nullptr));
        const int rows = GetDIBits(dc.Get(), bitmap, 0, image.Height(), image.Pixels(), info.Info(), DIB_RGB_COLORS);
        if (rows == 0)
            throw EConvertError(L"Die Bitmap kann nicht gelesen werden.");
        if (paletted) {
            std::memcpy(image.Palette.data(), info.Colors, sizeof info.Colors);
            image.FilePalette = image.Palette;
        }
    }
    if (palette)
        palette->Count = 1 << ihdr->BitDepth;
    // A colour the palette does not hold marks no pixel: no tRNS then.
    if (transparency && !transparency->SetTransparentColor(transparentColor & 0xFFFFFF)) {
        auto& chunks = core_.Chunks();
        for (auto it = chunks.begin(); it != chunks.end(); ++it)
            if (it->get() == transparency) {
                chunks.erase(it);
                break;
            }
    }
}

HBITMAP TPNGObject::CreateShownBitmap(HDC reference) const
{
    const TPngImage& image = *core_.Image();
    TDibInfo info = DibInfoOf(image);
    std::vector<uint8_t> copy;
    HBITMAP bitmap =
        CreateDIBitmap(reference, &info.Header, CBM_INIT, ShownBits(core_, copy), info.Info(), DIB_RGB_COLORS);
    Win32Check(bitmap != nullptr, L"Bitmap kann nicht erstellt werden");
    return bitmap;
}

void TPNGObject::Draw(HDC dc, const RECT& rect)
{
    if (!core_.HasHeader())
        return;
    const TPngImage& image = *core_.Image();
    if (image.Width() == 0 || image.Height() == 0)
        return;
    if (TransparencyKind() == TPNGTransparencyKind::ptmBit) {
        DrawTransparent(dc, rect);
        return;
    }
    // Alpha is not applied: partly transparent images are drawn opaque.
    TDibInfo info = DibInfoOf(image);
    std::vector<uint8_t> copy;
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    ScopeExit restore([&] { SetStretchBltMode(dc, oldMode); });
    StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                  static_cast<int>(image.Width()), static_cast<int>(image.Height()), ShownBits(core_, copy),
                  info.Info(), DIB_RGB_COLORS, SRCCOPY);
}

void TPNGObject::DrawTransparent(HDC dc, const RECT& rect)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int imageWidth = Width(), imageHeight = Height();
    if (w <= 0 || h <= 0)
        return;
    // The image as a bitmap of the destination's format (the source), the
    // mask and the inverse mask (monochrome) and a work area of w x h.
    TOwnDC sourceDC(CreateCompatibleDC(dc));
    TGdiObject source(CreateShownBitmap(dc));
    TSelectObject keepSource(sourceDC.Get(), source.Get());
    TOwnDC maskDC(CreateCompatibleDC(dc));
    TGdiObject mask(CreateBitmap(w, h, 1, 1, nullptr));
    TSelectObject keepMask(maskDC.Get(), mask.Get());
    TOwnDC inverseDC(CreateCompatibleDC(dc));
    TGdiObject inverse(CreateBitmap(w, h, 1, 1, nullptr));
    TSelectObject keepInverse(inverseDC.Get(), inverse.Get());
    TOwnDC workDC(CreateCompatibleDC(dc));
    TGdiObject work(CreateCompatibleBitmap(dc, w, h));
    TSelectObject keepWork(workDC.Get(), work.Get());
    Win32Check(sourceDC && maskDC && inverseDC && workDC && mask && inverse && work,
               L"Bitmap kann nicht erstellt werden");
    // Stretched masks must not blend: every pixel is one of two values.
    SetStretchBltMode(inverseDC.Get(), COLORONCOLOR);
    SetStretchBltMode(sourceDC.Get(), COLORONCOLOR);
    SetStretchBltMode(workDC.Get(), COLORONCOLOR);

    // Pixels of the transparent colour become white in the inverse mask.
    const COLORREF oldBackground = SetBkColor(sourceDC.Get(), static_cast<COLORREF>(TransparentColor()));
    StretchBlt(inverseDC.Get(), 0, 0, w, h, sourceDC.Get(), 0, 0, imageWidth, imageHeight, SRCCOPY);
    SetBkColor(sourceDC.Get(), oldBackground);
    BitBlt(maskDC.Get(), 0, 0, w, h, inverseDC.Get(), 0, 0, NOTSRCCOPY);

    // Monochrome into colour: 0 bits as black, 1 bits as white.
    for (HDC colorDC : {sourceDC.Get(), workDC.Get()}) {
        SetBkColor(colorDC, RGB(255, 255, 255));
        SetTextColor(colorDC, RGB(0, 0, 0));
    }
    // The background with the opaque pixels cleared...
    BitBlt(workDC.Get(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
    BitBlt(workDC.Get(), 0, 0, w, h, inverseDC.Get(), 0, 0, SRCAND);
    // ...or-ed with the image whose transparent pixels are cleared.
    StretchBlt(sourceDC.Get(), 0, 0, imageWidth, imageHeight, maskDC.Get(), 0, 0, w, h, SRCAND);
    StretchBlt(workDC.Get(), 0, 0, w, h, sourceDC.Get(), 0, 0, imageWidth, imageHeight, SRCPAINT);
    BitBlt(dc, rect.left, rect.top, w, h, workDC.Get(), 0, 0, SRCCOPY);
}

HPALETTE TPNGObject::Palette()
{
    if (!core_.HasHeader())
        return nullptr;
    const uint8_t colorType = core_.Header().ColorType;
    if (colorType != 0 && colorType != 3)
        return nullptr;
    if (!palette_) {
        const TPngImage& image = *core_.Image();
        struct {
            WORD Version;
            WORD Count;
            PALETTEENTRY Entries[256];
        } logical{0x300, 256, {}};
        for (int i = 0; i < 256; ++i)
            logical.Entries[i] = {image.Palette[i].Red, image.Palette[i].Green, image.Palette[i].Blue, 0};
        palette_.Reset(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
    }
    return static_cast<HPALETTE>(palette_.Get());
}

void TPNGObject::SetHeight(int)
{
    throw EPngError(SPngCannotResize);
}

void TPNGObject::SetWidth(int)
{
    throw EPngError(SPngCannotResize);
}

uint8_t* TPNGObject::Scanline(int y) const
{
    TPngImage* image = core_.Image();
    if (!image || y < 0 || static_cast<uint32_t>(y) >= image->Height())
        return nullptr;
    return image->Row(static_cast<uint32_t>(y));
}

void TPNGObject::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE)
{
    if (format != CF_BITMAP || !data)
        throw EInvalidGraphic(L"Die Zwischenablage enthält keine Bitmap.");
    AssignHandle(static_cast<HBITMAP>(data), false, 0);
}

void TPNGObject::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette)
{
    TWindowDC screen(nullptr);
    TOwnDC dc(CreateCompatibleDC(screen.Get()));
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), Width(), Height());
    Win32Check(dc && bitmap, L"Bitmap kann nicht erstellt werden");
    {
        TSelectObject keep(dc.Get(), bitmap);
        const RECT whole{0, 0, Width(), Height()};
        FillRect(dc.Get(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        Draw(dc.Get(), whole);
    }
    format = CF_BITMAP;
    data = bitmap;
    palette = nullptr;
}

void StartPNGUnit()
{
    if (unitStarts++ > 0)
        return;
    StartPngChunkRegistry();
    TPicture::RegisterFileFormat<TPNGObject>(L"PNG", L"Portable Network Graphics");
}

void EndPNGUnit()
{
    if (unitStarts == 0 || --unitStarts > 0)
        return;
    TPicture::UnregisterGraphicClass<TPNGObject>();
    EndPngChunkRegistry();
}

}  // namespace qrv

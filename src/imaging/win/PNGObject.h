#pragma once
// TPNGObject: the picture class of PNG files. It keeps the file's chunks
// (with the decoded image in the header chunk), draws the image, converts
// to and from bitmaps and the clipboard, and reads and writes pixels.

#include "framework/Colors.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"
#include "imaging/PngPicture.h"

#include <memory>

namespace qrv {

class TDibSectionAllocator;

class TPNGObject : public TGraphic {
public:
    TPNGObject();
    ~TPNGObject() override;

    void AssignTo(TGraphic& target) const override;
    void AssignTo(TBitmap& target) const override;
    void Assign(const TGraphic& source) override;
    void Assign(const TBitmap& source) override;
    void Draw(HDC dc, const RECT& rect) override;
    bool Empty() const override { return core_.Empty(); }
    int Height() const override { return static_cast<int>(core_.Height()); }
    int Width() const override { return static_cast<int>(core_.Width()); }
    HPALETTE Palette() override;
    bool Transparent() const override { return TransparencyKind() != TPNGTransparencyKind::ptmNone; }
    // Always refused: a PNG is resized by assigning it a bitmap.
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    void LoadFromStream(TStream& stream) override { core_.LoadFromStream(stream); }
    void SaveToStream(TStream& stream) override { core_.SaveToStream(stream); }
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

    TColor Pixels(int x, int y) const { return static_cast<TColor>(core_.ReadPixel(x, y)); }
    void SetPixels(int x, int y, TColor color)
    {
        core_.WritePixel(x, y, static_cast<uint32_t>(ColorToRGBValue(color)));
    }

    TPNGTransparencyKind TransparencyKind() const { return core_.TransparencyKind(); }
    TColor TransparentColor() const { return static_cast<TColor>(core_.TransparentColor()); }
    TChunkIHDR& Header() const { return core_.Header(); }
    // The address of image row y in the bottom-up pixel memory.
    uint8_t* Scanline(int y) const;

    TFilters FilterSet() const { return core_.FilterSet(); }
    void SetFilterSet(TFilters filters) { core_.SetFilterSet(filters); }
    uint8_t DeflateLevel() const { return core_.DeflateLevel(); }
    void SetDeflateLevel(int level) { core_.SetDeflateLevel(level); }
    uint32_t IdatLimit() const { return core_.IdatLimit(); }
    void SetIdatLimit(uint64_t limit) { core_.SetIdatLimit(limit); }
    uint8_t Interlacing() const { return core_.Interlacing(); }
    void SetInterlacing(uint8_t interlacing) { core_.SetInterlacing(interlacing); }

    // The chunk list and the portable codec behind this picture.
    TPngPicture& Core() { return core_; }
    const TPngPicture& Core() const { return core_; }

    // Makes this picture a copy of the bitmap: IHDR, PLTE below 16 bits per
    // pixel, tRNS when transparent (and the colour is one the bitmap can
    // show), IDAT and IEND.
    void AssignHandle(HBITMAP bitmap, bool transparent, COLORREF transparentColor);

private:
    static COLORREF ColorToRGBValue(TColor color);
    // A bitmap of the screen's format holding the image as shown.
    HBITMAP CreateShownBitmap(HDC reference) const;
    void DrawTransparent(HDC dc, const RECT& rect);
    void DropCachedPalette() { palette_.Reset(); }

    std::shared_ptr<TDibSectionAllocator> allocator_;
    TPngPicture core_;
    TGdiObject palette_;
};

// The counted start and end of the PNG unit: the chunk classes and the
// picture class registered for "PNG" ("Portable Network Graphics").
void StartPNGUnit();
void EndPNGUnit();

}  // namespace qrv

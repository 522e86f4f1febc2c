#pragma once
// The picture the PCX, Targa and portable-anymap decoders produce: pixels in
// the shared bottom-up layout (imaging/PixelAllocator.h) with a colour table
// for the palette formats. Portable; on Windows the allocator hands out a DIB
// section, so the decoded rows are the bitmap GDI shows.

#include "framework/GraphicErrors.h"
#include "imaging/PixelAllocator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace qrv {

// A refused raster file. The message is the one the display pane shows, e.g.
// "Ungültiges Grafikformat (PCX)".
QRV_DECLARE_EXCEPTION(ERasterFormat, EInvalidGraphic);

// One colour table entry in the layout of a DIB colour table.
struct TRasterColor {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
    bool operator==(const TRasterColor&) const = default;
};

struct TRgb {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TRgb&) const = default;
};

class TRasterImage {
public:
    // Pixel memory for width x height at 1, 4, 8 or 24 bits, zero-filled.
    // Throws ERasterFormat with formatError when the allocator refuses (a
    // header asking for more than the cap is a file we do not show).
    TRasterImage(std::shared_ptr<TPixelAllocator> allocator, uint32_t width, uint32_t height, int bitsPerPixel,
                 const wchar_t* formatError);
    ~TRasterImage();
    TRasterImage(const TRasterImage&) = delete;
    TRasterImage& operator=(const TRasterImage&) = delete;

    uint32_t Width() const { return layout_.Width; }
    uint32_t Height() const { return layout_.Height; }
    int BitsPerPixel() const { return layout_.BitsPerPixel; }
    const TPixelLayout& Layout() const { return layout_; }
    uint8_t* Pixels() { return pixels_; }
    const uint8_t* Pixels() const { return pixels_; }
    // Image row y (0 = top) in the bottom-up memory; y must be < Height.
    uint8_t* Row(uint32_t y) { return pixels_ + layout_.BytesPerRow * (layout_.Height - 1 - y); }
    const uint8_t* Row(uint32_t y) const { return pixels_ + layout_.BytesPerRow * (layout_.Height - 1 - y); }

    // Hands the pixel memory over: the caller releases it through the
    // allocator from now on (a DIB section goes with its bitmap). The image
    // has no pixels afterwards.
    uint8_t* ReleasePixels() { return std::exchange(pixels_, nullptr); }

    // The colour of pixel (x, y), through the colour table for palette formats.
    TRgb PixelRgb(uint32_t x, uint32_t y) const;

    // Palette formats: the colour table and how many of its entries are used.
    std::array<TRasterColor, 256> Palette{};
    int PaletteSize = 0;

private:
    std::shared_ptr<TPixelAllocator> allocator_;
    TPixelLayout layout_;
    uint8_t* pixels_ = nullptr;
};

// The largest side any of the raster decoders accepts; the pixel memory cap
// of the allocator bounds the product.
inline constexpr uint32_t kMaxRasterSide = 1u << 20;

}  // namespace qrv

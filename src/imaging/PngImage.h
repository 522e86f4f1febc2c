#pragma once
// The decoded image a PNG picture holds: a bottom-up device-independent pixel
// layout with a 256-entry colour table, plus the planes for what that layout
// cannot hold (alpha, the low bytes of 16-bit samples). Portable: the pixel
// memory comes from an allocator (imaging/PixelAllocator.h).

#include "imaging/PixelAllocator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qrv {

// One colour table entry in the layout of a DIB colour table.
struct TPngColorEntry {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
    bool operator==(const TPngColorEntry&) const = default;
};

// The colour type / bit depth pairs the PNG format allows.
bool IsValidPngFormat(uint8_t colorType, uint8_t bitDepth);
// The bits per pixel the image holds for a valid pair (2-bit as 4, 16-bit
// samples as 8, RGB as 24).
int HeldBitsPerPixel(uint8_t colorType, uint8_t bitDepth);
class TPngImage {
public:
    // Throws EPngInvalidIHDR for an invalid pair and EPngOutOfMemory when the
    // allocator refuses. The pixels start zero-filled.
    TPngImage(std::shared_ptr<TPixelAllocator> allocator, uint32_t width, uint32_t height, uint8_t colorType,
              uint8_t bitDepth);
    ~TPngImage();
    TPngImage(const TPngImage&) = delete;
    TPngImage& operator=(const TPngImage&) = delete;

    // Copies pixels, planes and both palettes of an image of the same shape.
    void CopyFrom(const TPngImage& source);

    uint32_t Width() const { return layout_.Width; }
    uint32_t Height() const { return layout_.Height; }
    uint8_t ColorType() const { return colorType_; }
    uint8_t BitDepth() const { return bitDepth_; }
    int BitsPerPixel() const { return layout_.BitsPerPixel; }
    size_t BytesPerRow() const { return layout_.BytesPerRow; }
    const TPixelLayout& Layout() const { return layout_; }
    bool UsesColorTable() const { return layout_.BitsPerPixel <= 8; }

    uint8_t* Pixels() { return pixels_; }
    const uint8_t* Pixels() const { return pixels_; }
    // Image row y (0 = top) in the bottom-up memory; y must be < Height.
    uint8_t* Row(uint32_t y) { return pixels_ + layout_.BytesPerRow * (layout_.Height - 1 - y); }
    const uint8_t* Row(uint32_t y) const { return pixels_ + layout_.BytesPerRow * (layout_.Height - 1 - y); }
    // The same row in ExtraPlane (16-bit images only).
    uint8_t* ExtraRow(uint32_t y) { return ExtraPlane.data() + layout_.BytesPerRow * (layout_.Height - 1 - y); }
    const uint8_t* ExtraRow(uint32_t y) const
    {
        return ExtraPlane.data() + layout_.BytesPerRow * (layout_.Height - 1 - y);
    }

    // The colour table as shown (palette or grey ramp through gamma).
    std::array<TPngColorEntry, 256> Palette{};
    // The palette as the file has it, before gamma; written back unchanged.
    std::array<TPngColorEntry, 256> FilePalette{};
    // Colour types 4 and 6: one byte per pixel, rows top-down.
    std::vector<uint8_t> AlphaPlane;
    // 16-bit images: the low byte of each sample, laid out as the pixels.
    std::vector<uint8_t> ExtraPlane;
    // 16-bit images with alpha: the low byte of each alpha sample.
    std::vector<uint8_t> AlphaLowPlane;

private:
    std::shared_ptr<TPixelAllocator> allocator_;
    TPixelLayout layout_;
    uint8_t colorType_;
    uint8_t bitDepth_;
    uint8_t* pixels_ = nullptr;
};

}  // namespace qrv

#include "imaging/PngImage.h"

#include "imaging/PngErrors.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qrv {

bool IsValidPngFormat(uint8_t colorType, uint8_t bitDepth)
{
    switch (colorType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

int HeldBitsPerPixel(uint8_t colorType, uint8_t bitDepth)
{
    if (colorType == 2 || colorType == 6)
        return 24;
    switch (bitDepth) {
    case 1:
        return 1;
    case 2:
    case 4:
        return 4;
    default:
        return 8;
    }
}

TPngImage::TPngImage(std::shared_ptr<TPixelAllocator> allocator, uint32_t width, uint32_t height, uint8_t colorType,
                     uint8_t bitDepth)
    : allocator_(std::move(allocator)), colorType_(colorType), bitDepth_(bitDepth)
{
    if (!IsValidPngFormat(colorType, bitDepth))
        throw EPngInvalidIHDR();
    layout_.Width = width;
    layout_.Height = height;
    layout_.BitsPerPixel = HeldBitsPerPixel(colorType, bitDepth);
    layout_.BytesPerRow = DibBytesPerRow(width, layout_.BitsPerPixel);
    pixels_ = allocator_->Allocate(layout_);
    if (!pixels_)
        throw EPngOutOfMemory();
    try {
        const size_t pixelCount = static_cast<size_t>(width) * height;
        const bool alpha = colorType == 4 || colorType == 6;
        if (alpha)
            AlphaPlane.assign(pixelCount, 0);
        if (bitDepth == 16) {
            ExtraPlane.assign(layout_.Size(), 0);
            if (alpha)
                AlphaLowPlane.assign(pixelCount, 0);
        }
    } catch (const std::bad_alloc&) {
        allocator_->Release(pixels_);
        throw EPngOutOfMemory();
    }
}

TPngImage::~TPngImage()
{
    allocator_->Release(pixels_);
}

void TPngImage::CopyFrom(const TPngImage& source)
{
    if (source.layout_.Size() == layout_.Size() && layout_.Size() > 0)
        std::memcpy(pixels_, source.pixels_, layout_.Size());
    Palette = source.Palette;
    FilePalette = source.FilePalette;
    if (source.AlphaPlane.size() == AlphaPlane.size())
        AlphaPlane = source.AlphaPlane;
    if (source.ExtraPlane.size() == ExtraPlane.size())
        ExtraPlane = source.ExtraPlane;
    if (source.AlphaLowPlane.size() == AlphaLowPlane.size())
        AlphaLowPlane = source.AlphaLowPlane;
}

}  // namespace qrv

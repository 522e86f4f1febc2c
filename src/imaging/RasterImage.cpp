#include "imaging/RasterImage.h"

#include <utility>

namespace qrv {

TRasterImage::TRasterImage(std::shared_ptr<TPixelAllocator> allocator, uint32_t width, uint32_t height,
                           int bitsPerPixel, const wchar_t* formatError)
    : allocator_(std::move(allocator))
{
    if (width == 0 || height == 0 || width > kMaxRasterSide || height > kMaxRasterSide)
        throw ERasterFormat(formatError);
    layout_.Width = width;
    layout_.Height = height;
    layout_.BitsPerPixel = bitsPerPixel;
    layout_.BytesPerRow = DibBytesPerRow(width, bitsPerPixel);
    pixels_ = allocator_->Allocate(layout_);
    if (!pixels_)
        throw ERasterFormat(formatError);
}

TRasterImage::~TRasterImage()
{
    if (pixels_)
        allocator_->Release(pixels_);
}

TRgb TRasterImage::PixelRgb(uint32_t x, uint32_t y) const
{
    const uint8_t* row = Row(y);
    int index = 0;
    switch (layout_.BitsPerPixel) {
    case 24:
        return {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    case 8:
        index = row[x];
        break;
    case 4:
        index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
        break;
    default:
        index = (row[x / 8] >> (7 - x % 8)) & 1;
        break;
    }
    const TRasterColor& color = Palette[index];
    return {color.Red, color.Green, color.Blue};
}

}  // namespace qrv

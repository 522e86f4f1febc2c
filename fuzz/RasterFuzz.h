#pragma once
// Shared by the PCX, Targa and PNM fuzz targets: a decoded picture must have
// the size it says, and its pixels must read through its colour table.
#include "imaging/RasterImage.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

namespace qrv::fuzz {

// Pixel memory is capped so that a header cannot ask for gigabytes.
inline constexpr size_t kRasterPixelCap = 4 * 1024 * 1024;

template <typename TDecode>
void DecodeRaster(const uint8_t* data, size_t size, TDecode decode)
{
    std::unique_ptr<TRasterImage> image;
    try {
        image = decode(std::span<const uint8_t>(data, size), std::make_shared<THeapPixelAllocator>(kRasterPixelCap));
    } catch (const ERasterFormat&) {
        return;
    }
    if (!image || image->Width() == 0 || image->Height() == 0 || image->Layout().Size() > kRasterPixelCap)
        std::abort();
    // The first, middle and last rows, every pixel through the colour table.
    unsigned sum = 0;
    for (uint32_t y : {0u, image->Height() / 2, image->Height() - 1})
        for (uint32_t x = 0; x < image->Width(); ++x) {
            const TRgb rgb = image->PixelRgb(x, y);
            sum += rgb.Red + rgb.Green + rgb.Blue;
        }
    // Keeps the reads from being optimised away.
    if (sum == 0xFFFFFFFFu)
        std::abort();
}

}  // namespace qrv::fuzz

#pragma once
// The portable anymap family: PBM, PGM and PPM, plain (ASCII) and raw, with
// maxval up to 65535, decoded into the shared pixel layout (PBM 1-bit with
// index 0 white, PGM 8-bit grey, PPM 24-bit). Samples are scaled to 0-255
// as (v * 255 + maxval / 2) / maxval. Portable.

#include "imaging/RasterImage.h"

#include <cstdint>
#include <memory>
#include <span>

namespace qrv {

inline constexpr const wchar_t* kPnmFormatError = L"Ungültiges Grafikformat (PPM)";

// Throws ERasterFormat with kPnmFormatError for a file it cannot show.
std::unique_ptr<TRasterImage> DecodePnm(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator);

}  // namespace qrv

#pragma once
// ZSoft PCX: 1-bit, 16-colour planar, 256-colour and 24-bit pictures, raw or
// run-length encoded, decoded into the shared pixel layout. Portable.

#include "imaging/RasterImage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace qrv {

inline constexpr const wchar_t* kPcxFormatError = L"Ungültiges Grafikformat (PCX)";

// Decodes PCX run-length data into output until it is full or the input ends;
// what the input does not cover stays as it was. Returns the input bytes used.
size_t UnpackPcxRle(std::span<const uint8_t> input, std::span<uint8_t> output);

// Throws ERasterFormat with kPcxFormatError for a file it cannot show.
std::unique_ptr<TRasterImage> DecodePcx(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator);

}  // namespace qrv

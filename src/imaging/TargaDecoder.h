#pragma once
// Truevision Targa: colour-mapped, grey and true-colour (15, 16, 24, 32 bits)
// pictures, raw or run-length encoded, decoded into the shared pixel layout.
// True-colour pictures are held at 24 bits (alpha is not shown). Portable.

#include "imaging/RasterImage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace qrv {

inline constexpr const wchar_t* kTgaFormatError = L"Ungültiges Grafikformat (TGA)";

// Decodes Targa run-length packets of pixelBytes-byte pixels into output as
// one stream: a packet may run across rows, and one that overruns the output
// is cut at its end. Stops when the output is full or the input ends (the rest
// stays as it was). Returns the input bytes used.
size_t UnpackTgaRle(std::span<const uint8_t> input, std::span<uint8_t> output, size_t pixelBytes);

// Throws ERasterFormat with kTgaFormatError for a file it cannot show.
std::unique_ptr<TRasterImage> DecodeTga(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator);

}  // namespace qrv

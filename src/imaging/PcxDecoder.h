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

// PCX run-length data as one stream: a byte of 192 or more is a run of its
// low six bits' count of the next byte, any other byte is itself. A run that
// overruns one Fill goes on in the next; the input's end ends the stream.
class TPcxRleStream {
public:
    explicit TPcxRleStream(std::span<const uint8_t> input) : input_(input) {}
    // Fills output from the stream; returns the bytes written, fewer than
    // output's size only at the input's end (the rest is left as it was).
    size_t Fill(std::span<uint8_t> output);
    // Input bytes read so far.
    size_t Used() const { return at_; }
    // Nothing more to give: the input is read and no run is pending.
    bool AtEnd() const { return runLeft_ == 0 && at_ >= input_.size(); }

private:
    std::span<const uint8_t> input_;
    size_t at_ = 0;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

// Decodes PCX run-length data into output until it is full or the input ends;
// what the input does not cover stays as it was. Returns the input bytes used.
size_t UnpackPcxRle(std::span<const uint8_t> input, std::span<uint8_t> output);

// Throws ERasterFormat with kPcxFormatError for a file it cannot show.
std::unique_ptr<TRasterImage> DecodePcx(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator);

}  // namespace qrv

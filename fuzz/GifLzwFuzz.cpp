// The LZW decoder on raw code streams: a header of code size, width, height
// and interlacing, then the data (wrapped into sub-blocks here, or taken as
// sub-blocks as they are). Decoding must stay inside the frame and its
// tables; what it decoded must come back unchanged through both encoders.
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/GifErrors.h"
#include "imaging/GifLzw.h"
#include "imaging/GifStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<uint8_t*> Rows(std::vector<uint8_t>& pixels, uint32_t width, uint32_t height)
{
    std::vector<uint8_t*> rows;
    for (uint32_t y = 0; y < height; ++y)
        rows.push_back(pixels.data() + static_cast<size_t>(y) * width);
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    const uint8_t codeSize = data[0];
    const uint32_t width = 1 + data[1] % 200;
    const uint32_t height = 1 + data[2] % 200;
    const bool interlaced = (data[3] & 1) != 0;
    const bool wrap = (data[3] & 2) != 0;
    const uint8_t fill = data[4];
    data += 5;
    size -= 5;

    qrv::TMemoryStream stream;
    qrv::WriteGIFByte(stream, codeSize);
    if (wrap) {
        std::string bytes(reinterpret_cast<const char*>(data), size);
        qrv::WriteGIFSubBlocks(stream, {bytes});
    } else {
        stream.WriteBuffer(data, size);
    }
    stream.SetPosition(0);
    // A guard byte after the last row catches a write past the frame.
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height + 1, fill);
    pixels.back() = 0xA5;
    qrv::TGIFEventSink sink;
    const size_t decoded = qrv::DecodeGIFPixels(stream, Rows(pixels, width, height), width, interlaced, &sink, nullptr);
    Require(decoded <= static_cast<size_t>(width) * height);
    Require(pixels.back() == 0xA5);
    Require(stream.Position() <= stream.Size());

    // The decoded frame through both encoders and back.
    pixels.pop_back();
    const int bits = codeSize >= 1 && codeSize <= 8 ? codeSize : 8;
    for (int which = 0; which < 2; ++which) {
        std::unique_ptr<qrv::TGIFEncoder> encoder;
        if (which == 0)
            encoder = std::make_unique<qrv::TLZWEncoder>();
        else
            encoder = std::make_unique<qrv::TRLEEncoder>();
        std::vector<const uint8_t*> rows;
        for (uint32_t y = 0; y < height; ++y)
            rows.push_back(pixels.data() + static_cast<size_t>(y) * width);
        qrv::TMemoryStream encoded;
        try {
            encoder->Compress(encoded, bits, 1 << bits, rows, interlaced, width);
        } catch (const qrv::GIFException&) {
            // The fill value or a decoded pixel past 2^bits.
            Require(encoded.Size() == 0);
            continue;
        }
        encoded.SetPosition(0);
        std::vector<uint8_t> again(pixels.size(), static_cast<uint8_t>(~fill));
        qrv::TGIFEventSink silent;
        Require(qrv::DecodeGIFPixels(encoded, Rows(again, width, height), width, interlaced, &silent, nullptr) ==
                pixels.size());
        Require(again == pixels);
        Require(encoded.Position() == encoded.Size());
    }
    return 0;
}

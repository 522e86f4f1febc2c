#pragma once
// The samples of a held image in the file's channel order (grey, grey and
// alpha, red green blue, with alpha; palette indices), one value per
// channel: comparing images, writing them out as netpbm. Portable.

#include <cstdint>
#include <vector>

namespace qrv {

class TPngImage;

struct TPngSamples {
    uint32_t Width = 0;
    uint32_t Height = 0;
    int Channels = 0;
    // The largest sample value: 2^bits - 1 of the held depth (2-bit samples
    // are held with 4 bits, as v × 5 for grey), 65535 for 16-bit images.
    uint32_t MaxValue = 0;
    std::vector<uint16_t> Values;  // rows top-down, channels interleaved
};

TPngSamples PngSamples(const TPngImage& image);

}  // namespace qrv

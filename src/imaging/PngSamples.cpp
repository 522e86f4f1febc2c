#include "imaging/PngSamples.h"

#include "imaging/PngImage.h"

namespace qrv {

TPngSamples PngSamples(const TPngImage& image)
{
    TPngSamples samples;
    samples.Width = image.Width();
    samples.Height = image.Height();
    const uint8_t colorType = image.ColorType();
    const bool wide = image.BitDepth() == 16;
    const bool alpha = colorType == 4 || colorType == 6;
    const bool rgb = colorType == 2 || colorType == 6;
    samples.Channels = (rgb ? 3 : 1) + (alpha ? 1 : 0);
    const int bits = image.BitsPerPixel();
    samples.MaxValue = wide ? 65535 : rgb ? 255 : (1u << bits) - 1;
    samples.Values.reserve(static_cast<size_t>(samples.Width) * samples.Height * samples.Channels);
    for (uint32_t y = 0; y < samples.Height; ++y) {
        const uint8_t* row = image.Row(y);
        const uint8_t* extra = wide ? image.ExtraRow(y) : nullptr;
        for (uint32_t x = 0; x < samples.Width; ++x) {
            auto sample = [&](size_t offset) {
                return static_cast<uint16_t>(wide ? (row[offset] << 8) | extra[offset] : row[offset]);
            };
            if (rgb) {
                samples.Values.push_back(sample(3 * size_t(x) + 2));
                samples.Values.push_back(sample(3 * size_t(x) + 1));
                samples.Values.push_back(sample(3 * size_t(x)));
            } else if (bits == 8) {
                samples.Values.push_back(sample(x));
            } else {
                const size_t bit = size_t(x) * bits;
                samples.Values.push_back(
                    static_cast<uint16_t>((row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1)));
            }
            if (alpha) {
                const size_t i = size_t(y) * samples.Width + x;
                samples.Values.push_back(static_cast<uint16_t>(
                    wide ? (image.AlphaPlane[i] << 8) | image.AlphaLowPlane[i] : image.AlphaPlane[i]));
            }
        }
    }
    return samples;
}

}  // namespace qrv

#include "imaging/TargaDecoder.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

constexpr size_t kHeaderSize = 18;

uint16_t Word(std::span<const uint8_t> bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// A 5-bit channel over the full 0-255 range, so that 31 is 255.
uint8_t Expand5(unsigned value)
{
    return static_cast<uint8_t>((value << 3) | (value >> 2));
}

// A 5-5-5 pixel (the top bit of 16-bit pixels is attribute, not colour).
TRasterColor FromWord(uint16_t word)
{
    return TRasterColor{Expand5(word & 0x1Fu), Expand5((word >> 5) & 0x1Fu), Expand5((word >> 10) & 0x1Fu), 0};
}

TRasterColor ColorAt(const uint8_t* pixel, size_t pixelBytes)
{
    if (pixelBytes == 2)
        return FromWord(static_cast<uint16_t>(pixel[0] | (pixel[1] << 8)));
    return TRasterColor{pixel[0], pixel[1], pixel[2], 0};
}

}  // namespace

size_t UnpackTgaRle(std::span<const uint8_t> input, std::span<uint8_t> output, size_t pixelBytes)
{
    size_t in = 0, out = 0;
    while (out < output.size() && in < input.size()) {
        const uint8_t header = input[in++];
        const size_t count = (header & 0x7Fu) + 1;
        const size_t room = (output.size() - out) / pixelBytes;
        if (header & 0x80) {
            if (input.size() - in < pixelBytes)
                break;
            const uint8_t* value = input.data() + in;
            in += pixelBytes;
            for (size_t i = 0; i < std::min(count, room); ++i, out += pixelBytes)
                std::copy_n(value, pixelBytes, output.data() + out);
        } else {
            const size_t available = (input.size() - in) / pixelBytes;
            const size_t taken = std::min(count, available);
            const size_t kept = std::min(taken, room);
            std::copy_n(input.data() + in, kept * pixelBytes, output.data() + out);
            out += kept * pixelBytes;
            in += taken * pixelBytes;
            if (taken < count)
                break;
        }
        if (room < count)
            break;  // the last packet overran the picture
    }
    return in;
}

std::unique_ptr<TRasterImage> DecodeTga(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator)
{
    if (file.size() < kHeaderSize)
        throw ERasterFormat(kTgaFormatError);
    const size_t idLength = file[0];
    const int mapType = file[1];
    const int imageType = file[2];
    const size_t mapFirst = Word(file, 3), mapLength = Word(file, 5);
    const int mapEntryBits = file[7];
    const uint32_t width = Word(file, 12), height = Word(file, 14);
    const int depth = file[16];
    const bool topDown = (file[17] & 0x20) != 0;
    const bool rightToLeft = (file[17] & 0x10) != 0;

    const bool encoded = imageType >= 9;
    const int baseType = encoded ? imageType - 8 : imageType;
    size_t pixelBytes = 0;
    if (baseType == 1 && mapType == 1 && depth == 8)
        pixelBytes = 1;
    else if (baseType == 3 && depth == 8)
        pixelBytes = 1;
    else if (baseType == 2 && (depth == 15 || depth == 16 || depth == 24 || depth == 32))
        pixelBytes = static_cast<size_t>(depth + 7) / 8;
    else
        throw ERasterFormat(kTgaFormatError);
    if (mapType > 1)
        throw ERasterFormat(kTgaFormatError);

    size_t at = kHeaderSize + idLength;
    size_t mapEntryBytes = 0;
    if (mapType == 1) {
        if (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
            throw ERasterFormat(kTgaFormatError);
        mapEntryBytes = static_cast<size_t>(mapEntryBits + 7) / 8;
    }
    const size_t mapBytes = mapLength * mapEntryBytes;
    if (file.size() < at || file.size() - at < mapBytes)
        throw ERasterFormat(kTgaFormatError);

    auto image =
        std::make_unique<TRasterImage>(std::move(allocator), width, height, pixelBytes == 1 ? 8 : 24, kTgaFormatError);
    if (baseType == 3) {
        for (int i = 0; i < 256; ++i)
            image->Palette[i] =
                TRasterColor{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
        image->PaletteSize = 256;
    } else if (baseType == 1) {
        // Entry k of the map is colour index first + k; indices it does not cover are black.
        for (size_t k = 0; k < mapLength && mapFirst + k < 256; ++k)
            image->Palette[mapFirst + k] = ColorAt(file.data() + at + k * mapEntryBytes, mapEntryBytes);
        image->PaletteSize = 256;
    }
    at += mapBytes;

    const std::span<const uint8_t> data = file.subspan(at);
    const size_t rowBytes = static_cast<size_t>(width) * pixelBytes;
    const size_t imageBytes = rowBytes * height;
    std::vector<uint8_t> decoded;
    std::span<const uint8_t> pixels;
    if (encoded) {
        decoded.assign(imageBytes, 0);
        UnpackTgaRle(data, decoded, pixelBytes);
        pixels = decoded;
    } else {
        if (data.size() < imageBytes)
            throw ERasterFormat(kTgaFormatError);
        pixels = data.first(imageBytes);
    }

    for (uint32_t fileRow = 0; fileRow < height; ++fileRow) {
        uint8_t* target = image->Row(topDown ? fileRow : height - 1 - fileRow);
        const uint8_t* source = pixels.data() + fileRow * rowBytes;
        for (uint32_t i = 0; i < width; ++i) {
            const uint32_t x = rightToLeft ? width - 1 - i : i;
            const uint8_t* pixel = source + i * pixelBytes;
            if (pixelBytes == 1) {
                target[x] = pixel[0];
            } else {
                const TRasterColor color = ColorAt(pixel, pixelBytes);
                target[x * 3] = color.Blue;
                target[x * 3 + 1] = color.Green;
                target[x * 3 + 2] = color.Red;
            }
        }
    }
    return image;
}

}  // namespace qrv

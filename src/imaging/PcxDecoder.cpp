#include "imaging/PcxDecoder.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

constexpr size_t kHeaderSize = 128;
// The 256-colour palette: a 0x0C marker and 768 bytes at the end of the file.
constexpr size_t kPaletteTail = 769;

// The standard 16 colours of version-3 files, which carry no palette.
constexpr uint8_t kStandard16[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
                                        {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

uint16_t Word(std::span<const uint8_t> file, size_t at)
{
    return static_cast<uint16_t>(file[at] | (file[at + 1] << 8));
}

void SetColor(TRasterImage& image, int index, uint8_t red, uint8_t green, uint8_t blue)
{
    image.Palette[index] = TRasterColor{blue, green, red, 0};
}

void SetGreyRamp(TRasterImage& image, int entries)
{
    const int step = 255 / (entries - 1);
    for (int i = 0; i < entries; ++i)
        SetColor(image, i, static_cast<uint8_t>(i * step), static_cast<uint8_t>(i * step),
                 static_cast<uint8_t>(i * step));
    image.PaletteSize = entries;
}

}  // namespace

size_t TPcxRleStream::Fill(std::span<uint8_t> output)
{
    size_t out = 0;
    while (out < output.size()) {
        if (runLeft_ > 0) {
            const size_t count = std::min(runLeft_, output.size() - out);
            std::fill_n(output.begin() + static_cast<ptrdiff_t>(out), count, runValue_);
            out += count;
            runLeft_ -= count;
            continue;
        }
        if (at_ >= input_.size())
            break;
        const uint8_t code = input_[at_++];
        if (code < 0xC0) {
            output[out++] = code;
            continue;
        }
        if (at_ >= input_.size())
            break;  // a run cut off by the end of the data
        runValue_ = input_[at_++];
        runLeft_ = code & 0x3Fu;
    }
    return out;
}

size_t UnpackPcxRle(std::span<const uint8_t> input, std::span<uint8_t> output)
{
    TPcxRleStream stream(input);
    stream.Fill(output);
    return stream.Used();
}

std::unique_ptr<TRasterImage> DecodePcx(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator)
{
    if (file.size() < kHeaderSize || (file[0] != 10 && file[0] != 0xCD))
        throw ERasterFormat(kPcxFormatError);
    const int version = file[1];
    const bool encoded = file[2] == 1;
    const int bitsPerPlane = file[3];
    const uint16_t xMin = Word(file, 4), yMin = Word(file, 6), xMax = Word(file, 8), yMax = Word(file, 10);
    const int planes = file[65];
    const size_t bytesPerLine = Word(file, 66);
    const bool greyInfo = Word(file, 68) == 2;

    int bitsPerPixel = 0;
    if (bitsPerPlane == 1 && planes == 1)
        bitsPerPixel = 1;
    else if (bitsPerPlane == 1 && planes == 4)
        bitsPerPixel = 4;
    else if (bitsPerPlane == 8 && planes == 1)
        bitsPerPixel = 8;
    else if (bitsPerPlane == 8 && planes == 3)
        bitsPerPixel = 24;
    else
        throw ERasterFormat(kPcxFormatError);
    if (xMax < xMin || yMax < yMin)
        throw ERasterFormat(kPcxFormatError);
    const uint32_t width = xMax - xMin + 1u, height = yMax - yMin + 1u;
    // One plane of a row must hold the row's pixels.
    const size_t planeBytes = bitsPerPlane == 1 ? (width + 7) / 8 : width;
    if (bytesPerLine < planeBytes)
        throw ERasterFormat(kPcxFormatError);
    if (bitsPerPixel == 8 && file.size() < kHeaderSize + kPaletteTail)
        throw ERasterFormat(kPcxFormatError);

    auto image = std::make_unique<TRasterImage>(std::move(allocator), width, height, bitsPerPixel, kPcxFormatError);
    if (bitsPerPixel == 1) {
        SetColor(*image, 0, 0, 0, 0);
        SetColor(*image, 1, 255, 255, 255);
        image->PaletteSize = 2;
    } else if (bitsPerPixel == 4) {
        if (version == 3) {
            for (int i = 0; i < 16; ++i)
                SetColor(*image, i, kStandard16[i][0], kStandard16[i][1], kStandard16[i][2]);
            image->PaletteSize = 16;
        } else if (greyInfo) {
            SetGreyRamp(*image, 16);
        } else {
            for (int i = 0; i < 16; ++i)
                SetColor(*image, i, file[16 + i * 3], file[17 + i * 3], file[18 + i * 3]);
            image->PaletteSize = 16;
        }
    } else if (bitsPerPixel == 8) {
        const size_t marker = file.size() - kPaletteTail;
        if (file[marker] == 0x0C) {
            for (int i = 0; i < 256; ++i)
                SetColor(*image, i, file[marker + 1 + i * 3], file[marker + 2 + i * 3], file[marker + 3 + i * 3]);
            image->PaletteSize = 256;
        } else {
            // Without a palette the indices are shown as grey levels.
            SetGreyRamp(*image, 256);
        }
    }

    const size_t dataEnd = bitsPerPixel == 8 ? file.size() - kPaletteTail : file.size();
    const std::span<const uint8_t> data = file.subspan(kHeaderSize, dataEnd - kHeaderSize);
    const size_t rowSize = static_cast<size_t>(planes) * bytesPerLine;
    // The run-length data is one stream over the picture, its runs crossing
    // rows; it is decoded a row at a time so that a wide bytes-per-line
    // costs one row of memory, not a picture.
    TPcxRleStream stream(data);
    std::vector<uint8_t> row(rowSize, 0);
    for (uint32_t y = 0; y < height; ++y) {
        // Data that ends early leaves the rest of the picture 0.
        const size_t start = static_cast<size_t>(y) * rowSize;
        if (encoded ? stream.AtEnd() : start >= data.size())
            break;
        std::fill(row.begin(), row.end(), 0);
        if (encoded)
            stream.Fill(row);
        else
            std::copy_n(data.begin() + static_cast<ptrdiff_t>(start), std::min(rowSize, data.size() - start),
                        row.begin());
        uint8_t* target = image->Row(y);
        switch (bitsPerPixel) {
        case 1:
            std::copy_n(row.begin(), planeBytes, target);
            break;
        case 8:
            std::copy_n(row.begin(), width, target);
            break;
        case 4:
            for (uint32_t x = 0; x < width; ++x) {
                const size_t byte = x / 8;
                const int bit = 7 - static_cast<int>(x % 8);
                int value = 0;
                for (int plane = 0; plane < 4; ++plane)
                    value |= ((row[plane * bytesPerLine + byte] >> bit) & 1) << plane;
                target[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? value << 4 : value);
            }
            break;
        default:
            for (uint32_t x = 0; x < width; ++x) {
                target[x * 3 + 2] = row[x];
                target[x * 3 + 1] = row[bytesPerLine + x];
                target[x * 3] = row[2 * bytesPerLine + x];
            }
            break;
        }
    }
    return image;
}

}  // namespace qrv

#include "imaging/PnmDecoder.h"

#include <algorithm>
#include <vector>

namespace qrv {

namespace {

bool IsSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the header's tokens and the plain formats' samples: whitespace and
// "#" comments (to the end of the line) may stand between any two tokens.
class TPnmReader {
public:
    explicit TPnmReader(std::span<const uint8_t> file) : file_(file) {}

    void SkipSeparators()
    {
        while (at_ < file_.size()) {
            if (IsSpace(file_[at_])) {
                ++at_;
            } else if (file_[at_] == '#') {
                while (at_ < file_.size() && file_[at_] != '\n' && file_[at_] != '\r')
                    ++at_;
            } else {
                break;
            }
        }
    }

    // A decimal number no larger than limit.
    uint32_t Number(uint32_t limit)
    {
        SkipSeparators();
        if (at_ >= file_.size() || !IsDigit(file_[at_]))
            throw ERasterFormat(kPnmFormatError);
        uint64_t value = 0;
        while (at_ < file_.size() && IsDigit(file_[at_])) {
            value = value * 10 + (file_[at_++] - '0');
            if (value > limit)
                throw ERasterFormat(kPnmFormatError);
        }
        return static_cast<uint32_t>(value);
    }

    // A plain bitmap's pixel: one "0" or "1", separators optional.
    int Bit()
    {
        SkipSeparators();
        if (at_ >= file_.size() || (file_[at_] != '0' && file_[at_] != '1'))
            throw ERasterFormat(kPnmFormatError);
        return file_[at_++] - '0';
    }

    // The single whitespace byte that ends a raw file's header; a comment
    // right after the maxval ends with the line break that ends the header.
    void EndOfHeader()
    {
        if (at_ < file_.size() && file_[at_] == '#')
            while (at_ < file_.size() && file_[at_] != '\n' && file_[at_] != '\r')
                ++at_;
        if (at_ >= file_.size() || !IsSpace(file_[at_]))
            throw ERasterFormat(kPnmFormatError);
        ++at_;
    }

    std::span<const uint8_t> Rest() const { return file_.subspan(at_); }

private:
    static bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

    std::span<const uint8_t> file_;
    size_t at_ = 2;
};

class TSampleScale {
public:
    explicit TSampleScale(uint32_t maxval) : maxval_(maxval) {}
    uint8_t operator()(uint32_t value) const
    {
        value = std::min(value, maxval_);
        return static_cast<uint8_t>((value * 255u + maxval_ / 2) / maxval_);
    }

private:
    uint32_t maxval_;
};

}  // namespace

std::unique_ptr<TRasterImage> DecodePnm(std::span<const uint8_t> file, std::shared_ptr<TPixelAllocator> allocator)
{
    if (file.size() < 2 || file[0] != 'P' || file[1] < '1' || file[1] > '6')
        throw ERasterFormat(kPnmFormatError);
    const int type = file[1] - '0';
    const bool raw = type >= 4;
    const int kind = raw ? type - 3 : type;  // 1 bitmap, 2 grey map, 3 pixmap
    TPnmReader reader(file);
    const uint32_t width = reader.Number(kMaxRasterSide);
    const uint32_t height = reader.Number(kMaxRasterSide);
    const uint32_t maxval = kind == 1 ? 1 : reader.Number(65535);
    if (maxval == 0)
        throw ERasterFormat(kPnmFormatError);
    if (raw)
        reader.EndOfHeader();

    const int bitsPerPixel = kind == 1 ? 1 : kind == 2 ? 8 : 24;
    auto image = std::make_unique<TRasterImage>(std::move(allocator), width, height, bitsPerPixel, kPnmFormatError);
    if (kind == 1) {
        image->Palette[0] = TRasterColor{255, 255, 255, 0};
        image->PaletteSize = 2;
    } else if (kind == 2) {
        for (int i = 0; i < 256; ++i)
            image->Palette[i] =
                TRasterColor{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
        image->PaletteSize = 256;
    }

    const TSampleScale scale(maxval);
    const size_t channels = kind == 3 ? 3 : 1;
    if (!raw) {
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = image->Row(y);
            for (uint32_t x = 0; x < width; ++x) {
                if (kind == 1) {
                    row[x / 8] |= static_cast<uint8_t>(reader.Bit() << (7 - x % 8));
                } else if (kind == 2) {
                    row[x] = scale(reader.Number(UINT32_MAX / 256));
                } else {
                    for (size_t c = 0; c < 3; ++c)
                        row[x * 3 + 2 - c] = scale(reader.Number(UINT32_MAX / 256));
                }
            }
        }
        return image;
    }

    const std::span<const uint8_t> data = reader.Rest();
    const size_t sampleBytes = maxval > 255 ? 2 : 1;
    const size_t rowBytes = kind == 1 ? (width + 7) / 8 : static_cast<size_t>(width) * channels * sampleBytes;
    if (data.size() / height < rowBytes)
        throw ERasterFormat(kPnmFormatError);
    // Every sample value a file of this maxval can hold, scaled once.
    std::vector<uint8_t> scaled(sampleBytes == 2 ? 65536 : 256);
    for (size_t v = 0; v < scaled.size(); ++v)
        scaled[v] = scale(static_cast<uint32_t>(v));
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* source = data.data() + static_cast<size_t>(y) * rowBytes;
        uint8_t* row = image->Row(y);
        if (kind == 1) {
            std::copy_n(source, rowBytes, row);
        } else if (sampleBytes == 1 && channels == 3) {
            for (uint32_t x = 0; x < width; ++x, source += 3, row += 3) {
                row[0] = scaled[source[2]];
                row[1] = scaled[source[1]];
                row[2] = scaled[source[0]];
            }
        } else if (sampleBytes == 1) {
            for (uint32_t x = 0; x < width; ++x)
                row[x] = scaled[source[x]];
        } else {
            // Two big-endian bytes a sample; samples come red, green, blue and are stored blue first.
            for (uint32_t x = 0; x < width; ++x)
                for (size_t c = 0; c < channels; ++c) {
                    const uint8_t* sample = source + (x * channels + c) * 2;
                    row[x * channels + channels - 1 - c] = scaled[(sample[0] << 8) | sample[1]];
                }
        }
    }
    return image;
}

}  // namespace qrv

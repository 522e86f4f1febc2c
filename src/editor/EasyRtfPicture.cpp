#include "editor/EasyRtfPicture.h"

#include <algorithm>
#include <limits>

namespace qrv {

namespace {

int HexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

uint32_t ReadU32(std::string_view data, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(data[offset + i]);
    return value;
}

uint16_t ReadU16(std::string_view data, size_t offset)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(data[offset]) | (static_cast<uint8_t>(data[offset + 1]) << 8));
}

void PutU16(std::string& out, uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, uint32_t value)
{
    PutU16(out, static_cast<uint16_t>(value & 0xFFFF));
    PutU16(out, static_cast<uint16_t>(value >> 16));
}

int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

}  // namespace

std::string RtfHexDecode(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() / 2);
    int high = -1;
    for (char16_t c : text) {
        const int value = HexValue(c);
        if (value < 0)
            continue;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<char>((high << 4) | value));
            high = -1;
        }
    }
    return bytes;
}

std::optional<TEasyDibInfo> CheckDib(std::string_view dib)
{
    constexpr size_t kFileHeader = 14;
    if (dib.size() < 4)
        return std::nullopt;
    const uint32_t headerSize = ReadU32(dib, 0);
    TEasyDibInfo info;
    uint32_t bitCount = 0, compression = kBiRgb, colorsUsed = 0, sizeImage = 0;
    uint64_t paletteEntrySize = 4;
    if (headerSize == 12) {
        // The old core header: 16-bit sizes, three-byte palette entries.
        if (dib.size() < 12)
            return std::nullopt;
        info.Width = ReadU16(dib, 4);
        info.Height = ReadU16(dib, 6);
        bitCount = ReadU16(dib, 10);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= dib.size()) {
        const int32_t width = static_cast<int32_t>(ReadU32(dib, 4));
        const int32_t height = static_cast<int32_t>(ReadU32(dib, 8));
        if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min())
            return std::nullopt;
        info.Width = width;
        info.Height = height < 0 ? -height : height;
        bitCount = ReadU16(dib, 14);
        compression = ReadU32(dib, 16);
        sizeImage = ReadU32(dib, 20);
        colorsUsed = ReadU32(dib, 32);
    } else {
        return std::nullopt;
    }
    if (info.Width <= 0 || info.Height <= 0)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return std::nullopt;

    uint64_t colors = colorsUsed;
    if (colors == 0 && bitCount <= 8)
        colors = uint64_t{1} << bitCount;
    uint64_t offset = uint64_t{headerSize} + colors * paletteEntrySize;
    // Bit-field masks follow a plain info header.
    if (compression == kBiBitfields && headerSize == 40)
        offset += 12;

    uint64_t pixelBytes = 0;
    if (compression == kBiRgb || compression == kBiBitfields) {
        const uint64_t rowBytes = ((uint64_t{static_cast<uint32_t>(info.Width)} * bitCount + 31) / 32) * 4;
        pixelBytes = rowBytes * static_cast<uint32_t>(info.Height);
    } else if (compression == kBiRle8 || compression == kBiRle4) {
        pixelBytes = sizeImage;
    } else {
        return std::nullopt;
    }
    if (offset > dib.size() || pixelBytes > dib.size() - offset)
        return std::nullopt;
    if (offset + kFileHeader > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    info.OffBits = static_cast<uint32_t>(offset + kFileHeader);
    return info;
}

std::optional<std::string> BitmapFileFromDib(std::string_view dib)
{
    const auto info = CheckDib(dib);
    if (!info || dib.size() > std::numeric_limits<uint32_t>::max() - 14)
        return std::nullopt;
    std::string file = "BM";
    PutU32(file, static_cast<uint32_t>(dib.size() + 14));
    PutU32(file, 0);
    PutU32(file, info->OffBits);
    file.append(dib);
    return file;
}

std::string PlaceableMetafileHeader(int32_t width, int32_t height)
{
    const auto clamp16 = [](int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 32767)); };
    std::string header;
    PutU32(header, 0x9AC6CDD7u);  // key
    PutU16(header, 0);            // handle
    PutU16(header, 0);            // left
    PutU16(header, 0);            // top
    PutU16(header, clamp16(width));
    PutU16(header, clamp16(height));
    PutU16(header, 96);  // units per inch
    PutU32(header, 0);   // reserved
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2)
        checksum ^= ReadU16(header, i);
    PutU16(header, checksum);
    return header;
}

bool CheckMetafile(std::string_view data)
{
    // METAHEADER: type 1 or 2, header size 9 words, file size in words.
    if (data.size() < 18)
        return false;
    const uint16_t type = ReadU16(data, 0);
    return (type == 1 || type == 2) && ReadU16(data, 2) == 9;
}

bool CheckEnhMetafile(std::string_view data)
{
    // ENHMETAHEADER: record type 1, record size, signature " EMF" at 40.
    if (data.size() < 88)
        return false;
    const uint32_t size = ReadU32(data, 4);
    return ReadU32(data, 0) == 1 && ReadU32(data, 40) == 0x464D4520u && size >= 88 && size <= data.size();
}

int32_t HimetricToPixels(int64_t value)
{
    // Parameters are 32-bit, so the product stays within 64 bits.
    return Saturate(value * 96 / 2540);
}

}  // namespace qrv

#include "imaging/PngChunks.h"

#include "framework/Streams.h"
#include "imaging/PngCodec.h"
#include "imaging/PngErrors.h"
#include "imaging/PngPicture.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace qrv {

uint32_t PngChunkCrc(std::string_view name, const uint8_t* data, size_t size)
{
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(name.data()), static_cast<uInt>(name.size()));
    // crc32 takes 32-bit lengths; a chunk is below 2 GB but go in pieces anyway.
    while (size > 0) {
        const uInt piece = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
        crc = crc32(crc, data, piece);
        data += piece;
        size -= piece;
    }
    return static_cast<uint32_t>(crc);
}

uint32_t ReadBigEndian32(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

uint16_t ReadBigEndian16(const uint8_t* bytes)
{
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

void WriteBigEndian32(uint8_t* bytes, uint32_t value)
{
    bytes[0] = static_cast<uint8_t>(value >> 24);
    bytes[1] = static_cast<uint8_t>(value >> 16);
    bytes[2] = static_cast<uint8_t>(value >> 8);
    bytes[3] = static_cast<uint8_t>(value);
}

void WriteBigEndian16(uint8_t* bytes, uint16_t value)
{
    bytes[0] = static_cast<uint8_t>(value >> 8);
    bytes[1] = static_cast<uint8_t>(value);
}

void WritePngChunk(TStream& stream, std::string_view name, const uint8_t* data, size_t size)
{
    uint8_t head[8];
    WriteBigEndian32(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, name.data(), 4);
    stream.WriteBuffer(head, sizeof head);
    if (size > 0)
        stream.WriteBuffer(data, size);
    uint8_t crc[4];
    WriteBigEndian32(crc, PngChunkCrc(name, data, size));
    stream.WriteBuffer(crc, sizeof crc);
}

// ---------------------------------------------------------------- TChunk

TChunk::TChunk(TPngPicture* owner) : owner_(owner) {}

std::unique_ptr<TChunk> TChunk::CreateSameClass(TPngPicture* owner) const
{
    return std::make_unique<TChunk>(owner);
}

void TChunk::Assign(const TChunk& source)
{
    name_ = source.name_;
    data_ = source.data_;
}

bool TChunk::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    name_ = name;
    data_.resize(size);
    if (size > 0 && stream.Read(data_.data(), size) != size)
        throw EPngUnexpectedEnd();
    uint8_t crc[4];
    if (stream.Read(crc, 4) != 4)
        throw EPngUnexpectedEnd();
    if (ReadBigEndian32(crc) != PngChunkCrc(name_, data_.data(), data_.size()))
        throw EPngInvalidCRC();
    return true;
}

bool TChunk::SaveToStream(TStream& stream)
{
    WritePngChunk(stream, name_, data_.data(), data_.size());
    return true;
}

// ---------------------------------------------------------------- IEND

bool TChunkIEND::SaveToStream(TStream& stream)
{
    WritePngChunk(stream, name_, nullptr, 0);
    return true;
}

// ---------------------------------------------------------------- IHDR

void TChunkIHDR::Assign(const TChunk& source)
{
    const auto* header = dynamic_cast<const TChunkIHDR*>(&source);
    if (!header)
        throw EPngError(SPngChunksIncompatible);
    TChunk::Assign(source);
    Width = header->Width;
    Height = header->Height;
    BitDepth = header->BitDepth;
    ColorType = header->ColorType;
    CompressionMethod = header->CompressionMethod;
    FilterMethod = header->FilterMethod;
    InterlaceMethod = header->InterlaceMethod;
    image_.reset();
    if (header->image_) {
        PrepareImageData();
        image_->CopyFrom(*header->image_);
    }
}

bool TChunkIHDR::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    TChunk::LoadFromStream(stream, name, size);
    // A file has one header; another one later would get an image of its
    // own that nothing shows (and a file could ask for many).
    if (data_.size() < 13 || owner_->Chunks().empty() || owner_->Chunks().front().get() != this)
        throw EPngInvalidIHDR();
    Width = ReadBigEndian32(&data_[0]);
    Height = ReadBigEndian32(&data_[4]);
    BitDepth = data_[8];
    ColorType = data_[9];
    CompressionMethod = data_[10];
    FilterMethod = data_[11];
    InterlaceMethod = data_[12];
    if (Width > 65535 || Height > 65535)
        throw EPNGSizeExceeds();
    if (CompressionMethod != 0)
        throw EPNGUnknownCompression();
    if (InterlaceMethod > 1)
        throw EPNGUnknownInterlace();
    // A pair the format does not have would be misread by every later step.
    if (!IsValidPngFormat(ColorType, BitDepth))
        throw EPngInvalidIHDR();
    owner_->SetInterlacing(InterlaceMethod);
    PrepareImageData();
    return true;
}

bool TChunkIHDR::SaveToStream(TStream& stream)
{
    uint8_t bytes[13];
    WriteBigEndian32(&bytes[0], Width);
    WriteBigEndian32(&bytes[4], Height);
    // 2-bit images are held, and so written, with 4 bits per pixel.
    bytes[8] = BitDepth == 2 ? 4 : BitDepth;
    bytes[9] = ColorType;
    bytes[10] = CompressionMethod;
    bytes[11] = FilterMethod;
    bytes[12] = owner_->Interlacing();
    data_.assign(bytes, bytes + 13);
    WritePngChunk(stream, name_, data_.data(), data_.size());
    return true;
}

void TChunkIHDR::PrepareImageData()
{
    image_.reset();
    if (owner_->OnImagePrepared)
        owner_->OnImagePrepared();
    image_ = std::make_unique<TPngImage>(owner_->Allocator(), Width, Height, ColorType, BitDepth);
}

// ---------------------------------------------------------------- IDAT

bool TChunkIDAT::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    name_ = name;
    DecodeImageData(*owner_, owner_->Header(), stream, size);
    return true;
}

bool TChunkIDAT::SaveToStream(TStream& stream)
{
    EncodeImageData(*owner_, owner_->Header(), stream);
    return true;
}

// ---------------------------------------------------------------- PLTE

void TChunkPLTE::Assign(const TChunk& source)
{
    const auto* palette = dynamic_cast<const TChunkPLTE*>(&source);
    if (!palette)
        throw EPngError(SPngChunksIncompatible);
    Count = palette->Count;
}

bool TChunkPLTE::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    if (size % 3 != 0 || size > 768)
        throw EPNGInvalidPalette();
    TChunk::LoadFromStream(stream, name, size);
    Count = static_cast<int>(size / 3);
    TPngImage* image = owner_->Image();
    if (!image)
        return true;
    for (int i = 0; i < Count; ++i) {
        TPngColorEntry raw{data_[i * 3 + 2], data_[i * 3 + 1], data_[i * 3], 0};
        image->FilePalette[i] = raw;
        image->Palette[i] = {owner_->GammaTable[raw.Blue], owner_->GammaTable[raw.Green], owner_->GammaTable[raw.Red],
                             0};
    }
    return true;
}

bool TChunkPLTE::SaveToStream(TStream& stream)
{
    data_.resize(static_cast<size_t>(Count) * 3);
    if (const TPngImage* image = owner_->Image()) {
        for (int i = 0; i < Count; ++i) {
            const TPngColorEntry& entry = image->FilePalette[i];
            data_[i * 3] = entry.Red;
            data_[i * 3 + 1] = entry.Green;
            data_[i * 3 + 2] = entry.Blue;
        }
    }
    WritePngChunk(stream, name_, data_.data(), data_.size());
    return true;
}

TPngColorEntry TChunkPLTE::Item(int index) const
{
    const TPngImage* image = owner_->Image();
    if (index < 0 || index >= Count || !image)
        throw EPngError(SPngNoSuchPaletteEntry);
    return image->FilePalette[index];
}

// ---------------------------------------------------------------- gAMA

void TChunkgAMA::Assign(const TChunk& source)
{
    auto* gamma = dynamic_cast<const TChunkgAMA*>(&source);
    if (!gamma)
        throw EPngError(SPngChunksIncompatible);
    TChunk::Assign(source);
}

uint32_t TChunkgAMA::Gamma()
{
    if (data_.size() != 4)
        SetGamma(1);
    return ReadBigEndian32(data_.data());
}

void TChunkgAMA::SetGamma(uint32_t value)
{
    data_.resize(4);
    WriteBigEndian32(data_.data(), value);
}

bool TChunkgAMA::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    TChunk::LoadFromStream(stream, name, size);
    const uint32_t value = Gamma();
    if (value != 0)
        owner_->BuildGammaTables(value);
    return true;
}

bool TChunkgAMA::SaveToStream(TStream& stream)
{
    (void)Gamma();  // gives a chunk without a value the value 1
    return TChunk::SaveToStream(stream);
}

// ---------------------------------------------------------------- tRNS

void TChunktRNS::Assign(const TChunk& source)
{
    auto* transparency = dynamic_cast<const TChunktRNS*>(&source);
    if (!transparency)
        throw EPngError(SPngChunksIncompatible);
    TChunk::Assign(source);
    AlphaValues = transparency->AlphaValues;
    SingleTransparent = transparency->SingleTransparent;
}

bool TChunktRNS::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    if (size > 256)
        throw EPNGInvalidPalette();
    TChunk::LoadFromStream(stream, name, size);
    AlphaValues.fill(255);
    std::copy(data_.begin(), data_.end(), AlphaValues.begin());
    const uint8_t colorType = owner_->HasHeader() ? owner_->Header().ColorType : 0xFF;
    if (colorType == 0 || colorType == 2) {
        SingleTransparent = true;
    } else if (colorType == 3) {
        // One colour key only when exactly one entry is fully transparent and
        // every other one opaque; anything else is partial transparency.
        const auto notOpaque =
            std::count_if(AlphaValues.begin(), AlphaValues.end(), [](uint8_t alpha) { return alpha != 255; });
        const auto clear = std::count(AlphaValues.begin(), AlphaValues.end(), uint8_t{0});
        SingleTransparent = notOpaque == 1 && clear == 1;
    }
    return true;
}

bool TChunktRNS::SaveToStream(TStream& stream)
{
    const size_t length = std::min<size_t>(data_.size(), 256);
    std::vector<uint8_t> bytes(AlphaValues.begin(), AlphaValues.begin() + length);
    // A 2-bit grey image is written with 4 bits, where sample v becomes v × 5:
    // the grey key follows, or it would name another grey.
    if (owner_->HasHeader()) {
        const TChunkIHDR& header = owner_->Header();
        if (header.ColorType == 0 && header.BitDepth == 2 && bytes.size() >= 2)
            WriteBigEndian16(bytes.data(), static_cast<uint16_t>((ReadBigEndian16(bytes.data()) & 3) * 5));
    }
    WritePngChunk(stream, name_, bytes.data(), bytes.size());
    return true;
}

namespace {

uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return red | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}

// A grey key of the file's depth as the image shows it (before gamma).
uint8_t ShownGrey(uint16_t sample, uint8_t bitDepth)
{
    switch (bitDepth) {
    case 16:
        return static_cast<uint8_t>(sample >> 8);
    case 8:
        return static_cast<uint8_t>(sample);
    default: {
        const unsigned maxValue = (1u << bitDepth) - 1;
        return static_cast<uint8_t>((sample & maxValue) * 255 / maxValue);
    }
    }
}

}  // namespace

uint32_t TChunktRNS::TransparentColor() const
{
    if (!owner_->HasHeader())
        return 0;
    const TChunkIHDR& header = owner_->Header();
    const auto& gamma = owner_->GammaTable;
    switch (header.ColorType) {
    case 0: {
        if (data_.size() < 2)
            return 0;
        const uint8_t grey = gamma[ShownGrey(ReadBigEndian16(data_.data()), header.BitDepth)];
        return Rgb(grey, grey, grey);
    }
    case 2: {
        if (data_.size() < 6)
            return 0;
        // 8-bit samples show as stored, 16-bit ones by their high byte.
        const int shift = header.BitDepth == 16 ? 8 : 0;
        auto component = [&](int i) { return gamma[static_cast<uint8_t>(ReadBigEndian16(&data_[i * 2]) >> shift)]; };
        return Rgb(component(0), component(1), component(2));
    }
    case 3: {
        const TPngImage* image = header.Image();
        for (size_t i = 0; i < AlphaValues.size(); ++i)
            if (AlphaValues[i] == 0) {
                if (!image)
                    return 0;
                const TPngColorEntry& entry = image->Palette[i];
                return Rgb(entry.Red, entry.Green, entry.Blue);
            }
        return 0;
    }
    default:
        return 0;
    }
}

bool TChunktRNS::SetTransparentColor(uint32_t color)
{
    if (!owner_->HasHeader())
        return false;
    const TChunkIHDR& header = owner_->Header();
    const uint8_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    switch (header.ColorType) {
    case 0:
        data_.assign(2, 0);
        WriteBigEndian16(&data_[0], red);
        break;
    case 2:
        data_.assign(6, 0);
        WriteBigEndian16(&data_[0], red);
        WriteBigEndian16(&data_[2], green);
        WriteBigEndian16(&data_[4], blue);
        break;
    case 3: {
        const TPngImage* image = header.Image();
        const auto* palette = owner_->FindChunk<TChunkPLTE>();
        const int count = palette ? palette->Count : 256;
        int index = -1;
        for (int i = 0; image && i < count; ++i) {
            const TPngColorEntry& entry = image->Palette[i];
            if (entry.Red == red && entry.Green == green && entry.Blue == blue) {
                index = i;
                break;
            }
        }
        // No palette entry has the colour: there is nothing to mark.
        if (index < 0)
            return false;
        data_.assign(static_cast<size_t>(index) + 1, 255);
        data_[index] = 0;
        break;
    }
    default:
        return false;
    }
    AlphaValues.fill(0);
    std::copy(data_.begin(), data_.end(), AlphaValues.begin());
    SingleTransparent = true;
    return true;
}

// ---------------------------------------------------------------- tIME

void TChunktIME::Assign(const TChunk& source)
{
    auto* time = dynamic_cast<const TChunktIME*>(&source);
    if (!time)
        throw EPngError(SPngChunksIncompatible);
    TChunk::Assign(source);
    Year = time->Year;
    Month = time->Month;
    Day = time->Day;
    Hour = time->Hour;
    Minute = time->Minute;
    Second = time->Second;
}

bool TChunktIME::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    TChunk::LoadFromStream(stream, name, size);
    if (data_.size() == 7) {
        Year = ReadBigEndian16(&data_[0]);
        Month = data_[2];
        Day = data_[3];
        Hour = data_[4];
        Minute = data_[5];
        Second = data_[6];
    }
    return true;
}

bool TChunktIME::SaveToStream(TStream& stream)
{
    data_.resize(7);
    WriteBigEndian16(&data_[0], Year);
    data_[2] = Month;
    data_[3] = Day;
    data_[4] = Hour;
    data_[5] = Minute;
    data_[6] = Second;
    WritePngChunk(stream, name_, data_.data(), data_.size());
    return true;
}

// ---------------------------------------------------------------- tEXt

void TChunktEXt::Assign(const TChunk& source)
{
    auto* text = dynamic_cast<const TChunktEXt*>(&source);
    if (!text)
        throw EPngError(SPngChunksIncompatible);
    TChunk::Assign(source);
    Keyword = text->Keyword;
    Text = text->Text;
}

bool TChunktEXt::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    TChunk::LoadFromStream(stream, name, size);
    if (data_.size() > 2) {
        const auto zero = std::find(data_.begin(), data_.end(), uint8_t{0});
        Keyword.assign(data_.begin(), zero);
        Text.assign(zero == data_.end() ? zero : zero + 1, data_.end());
    }
    return true;
}

bool TChunktEXt::SaveToStream(TStream& stream)
{
    data_.assign(Keyword.begin(), Keyword.end());
    data_.push_back(0);
    data_.insert(data_.end(), Text.begin(), Text.end());
    WritePngChunk(stream, name_, data_.data(), data_.size());
    return true;
}

// ---------------------------------------------------------------- zTXt

namespace {

// Inflates a whole zlib stream; false when it is damaged, incomplete or
// would grow beyond the cap.
bool InflateText(const uint8_t* data, size_t size, size_t cap, std::string& text)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(size);
    uint8_t buffer[16384];
    int result = Z_OK;
    text.clear();
    while (result == Z_OK) {
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        result = inflate(&zs, Z_NO_FLUSH);
        const size_t produced = sizeof buffer - zs.avail_out;
        if (text.size() + produced > cap) {
            result = Z_MEM_ERROR;
            break;
        }
        text.append(reinterpret_cast<char*>(buffer), produced);
        if (result == Z_BUF_ERROR && zs.avail_in == 0)
            break;  // the stream is cut short
    }
    inflateEnd(&zs);
    if (result != Z_STREAM_END)
        text.clear();
    return result == Z_STREAM_END;
}

}  // namespace

void TChunkzTXt::Assign(const TChunk& source)
{
    TChunktEXt::Assign(source);
    if (auto* text = dynamic_cast<const TChunkzTXt*>(&source))
        keepRaw_ = text->keepRaw_;
}

void TChunkzTXt::SetText(std::string text)
{
    Text = std::move(text);
    keepRaw_ = false;
}

bool TChunkzTXt::LoadFromStream(TStream& stream, const std::string& name, uint32_t size)
{
    TChunktEXt::LoadFromStream(stream, name, size);
    keepRaw_ = false;
    if (data_.size() < 4)
        return true;
    const auto zero = std::find(data_.begin(), data_.end(), uint8_t{0});
    Keyword.assign(data_.begin(), zero);
    Text.clear();
    const size_t method = static_cast<size_t>(zero - data_.begin()) + 1;
    if (method >= data_.size() || data_[method] != 0) {
        keepRaw_ = true;
        return true;
    }
    const size_t start = method + 1;
    if (!InflateText(data_.data() + start, data_.size() - start, MaxTextSize, Text))
        keepRaw_ = true;
    return true;
}

bool TChunkzTXt::SaveToStream(TStream& stream)
{
    if (keepRaw_) {
        WritePngChunk(stream, name_, data_.data(), data_.size());
        return true;
    }
    if (Text.empty())
        Text = " ";
    uLongf compressedSize = compressBound(static_cast<uLong>(Text.size()));
    std::vector<uint8_t> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, reinterpret_cast<const Bytef*>(Text.data()),
                  static_cast<uLong>(Text.size()), owner_->DeflateLevel()) != Z_OK)
        return false;
    data_.assign(Keyword.begin(), Keyword.end());
    data_.push_back(0);
    data_.push_back(0);
    data_.insert(data_.end(), compressed.begin(), compressed.begin() + compressedSize);
    WritePngChunk(stream, name_, data_.data(), data_.size());
    return true;
}

// ---------------------------------------------------------------- registry

std::vector<TChunkClass>& ChunkClassRegistry()
{
    static std::vector<TChunkClass> registry;
    return registry;
}

std::unique_ptr<TChunk> CreateChunkForName(TPngPicture* owner, const std::string& name)
{
    std::unique_ptr<TChunk> chunk;
    for (const TChunkClass& chunkClass : ChunkClassRegistry())
        if (chunkClass.Name == name) {
            chunk = chunkClass.Create(owner);
            break;
        }
    if (!chunk)
        chunk = std::make_unique<TChunk>(owner);
    chunk->SetName(name);
    return chunk;
}

namespace {
int registryStarts = 0;
}

void StartPngChunkRegistry()
{
    if (registryStarts++ > 0)
        return;
    RegisterChunk<TChunkIEND>();
    RegisterChunk<TChunkIHDR>();
    RegisterChunk<TChunkIDAT>();
    RegisterChunk<TChunkPLTE>();
    RegisterChunk<TChunkgAMA>();
    RegisterChunk<TChunktRNS>();
    RegisterChunk<TChunktIME>();
    RegisterChunk<TChunktEXt>();
    RegisterChunk<TChunkzTXt>();
}

void EndPngChunkRegistry()
{
    if (registryStarts == 0 || --registryStarts > 0)
        return;
    ChunkClassRegistry().clear();
    ChunkClassRegistry().shrink_to_fit();
}

}  // namespace qrv

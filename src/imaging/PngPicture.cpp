#include "imaging/PngPicture.h"

#include "framework/IgnoredError.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "imaging/PngErrors.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace qrv {

namespace {

constexpr uint8_t PngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr uint32_t MaxChunkLength = 0x7FFFFFFF;

void SetIdentity(std::array<uint8_t, 256>& table)
{
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(i);
}

uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return red | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
}

// Skips the data and CRC of a chunk that is not kept.
void SkipChunk(TStream& stream, uint32_t length)
{
    stream.Seek(static_cast<int64_t>(length) + 4, TSeekOrigin::soCurrent);
}

}  // namespace

TPngPicture::TPngPicture() : allocator_(std::make_shared<THeapPixelAllocator>())
{
    SetIdentity(GammaTable);
    SetIdentity(InverseGammaTable);
}

TPngPicture::~TPngPicture()
{
    // Chunks first: the images go back to the allocator while it exists.
    chunks_.clear();
}

void TPngPicture::SetIdatLimit(uint64_t limit)
{
    idatLimit_ = static_cast<uint32_t>(limit < 65535 ? 65535 : limit > MaxChunkLength ? MaxChunkLength : limit);
}

void TPngPicture::BuildGammaTables(uint32_t gamma)
{
    const double exponent = 1.0 / (gamma / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
        // nearbyint rounds halves to even in the default rounding mode.
        const double value = std::nearbyint(255.0 * std::pow(i / 255.0, exponent));
        const auto g = static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
        GammaTable[i] = g;
        InverseGammaTable[g] = static_cast<uint8_t>(i);
    }
}

bool TPngPicture::GammaIsIdentity() const
{
    for (int i = 0; i < 256; ++i)
        if (GammaTable[i] != i)
            return false;
    return true;
}

void TPngPicture::ClearChunks()
{
    SetIdentity(GammaTable);
    SetIdentity(InverseGammaTable);
    chunks_.clear();
}

TChunkIHDR& TPngPicture::Header() const
{
    auto* header = chunks_.empty() ? nullptr : dynamic_cast<TChunkIHDR*>(chunks_.front().get());
    if (!header)
        throw EPNGHeaderNotPresent();
    return *header;
}

bool TPngPicture::HasHeader() const
{
    return !chunks_.empty() && dynamic_cast<TChunkIHDR*>(chunks_.front().get()) != nullptr;
}

TPngImage* TPngPicture::Image() const
{
    return HasHeader() ? Header().Image() : nullptr;
}

uint32_t TPngPicture::Width() const
{
    return HasHeader() ? Header().Width : 0;
}

uint32_t TPngPicture::Height() const
{
    return HasHeader() ? Header().Height : 0;
}

void TPngPicture::LoadFromStream(TStream& stream)
{
    ClearChunks();
    uint8_t signature[8];
    if (stream.Read(signature, 8) != 8 || std::memcmp(signature, PngSignature, 8) != 0)
        throw EPNGInvalidFileHeader();

    bool imageRead = false;
    for (;;) {
        uint8_t head[8];
        if (stream.Read(head, 8) != 8)
            throw EPngUnexpectedEnd();
        const uint32_t length = ReadBigEndian32(head);
        const std::string name(reinterpret_cast<const char*>(head + 4), 4);
        // The length is outside data: it must fit the format and the stream
        // before anything is allocated for it.
        const int64_t left = stream.Size() - stream.Position();
        if (length > MaxChunkLength || static_cast<int64_t>(length) > left)
            throw EPngUnexpectedEnd();
        if (chunks_.empty() && name != "IHDR")
            throw EPNGIHDRNotFirst();
        if (name == "cHRM" || (name == "IDAT" && imageRead)) {
            SkipChunk(stream, length);
            continue;
        }
        std::unique_ptr<TChunk> created = CreateChunkForName(this, name);
        if (typeid(*created) == typeid(TChunk) && (name[0] & 0x20) == 0)
            throw EPNGUnknownCriticalChunk();
        TChunk* chunk = created.get();
        chunks_.push_back(std::move(created));
        const bool loaded = chunk->LoadFromStream(stream, name, length);
        if (name == "IDAT")
            imageRead = true;
        if (!loaded || name == "IEND")
            break;
    }
    if (!imageRead)
        throw EPNGNoImageData();
}

void TPngPicture::SaveToStream(TStream& stream)
{
    stream.WriteBuffer(PngSignature, sizeof PngSignature);
    for (const auto& chunk : chunks_)
        if (!chunk->SaveToStream(stream))  // a text that cannot be compressed is left out
            TraceIgnoredFailure(L"PNG-Chunk nicht geschrieben: " + Utf8ToWide(chunk->Name()));
}

void TPngPicture::Assign(const TPngPicture& source)
{
    if (&source == this)
        return;
    interlacing_ = source.interlacing_;
    SetIdatLimit(source.idatLimit_);
    deflateLevel_ = source.deflateLevel_;
    filterSet_ = source.filterSet_;
    ClearChunks();
    for (const auto& chunk : source.chunks_) {
        std::unique_ptr<TChunk> copy = chunk->CreateSameClass(this);
        TChunk* target = copy.get();
        chunks_.push_back(std::move(copy));
        target->Assign(*chunk);
    }
}

TPNGTransparencyKind TPngPicture::TransparencyKind() const
{
    if (!HasHeader())
        return TPNGTransparencyKind::ptmNone;
    const auto* transparency = FindChunk<TChunktRNS>();
    switch (Header().ColorType) {
    case 0:
    case 2:
        return transparency ? TPNGTransparencyKind::ptmBit : TPNGTransparencyKind::ptmNone;
    case 3:
        if (!transparency)
            return TPNGTransparencyKind::ptmNone;
        return transparency->SingleTransparent ? TPNGTransparencyKind::ptmBit : TPNGTransparencyKind::ptmPartial;
    case 4:
    case 6:
        return TPNGTransparencyKind::ptmPartial;
    default:
        return TPNGTransparencyKind::ptmNone;
    }
}

uint32_t TPngPicture::TransparentColor() const
{
    const auto* transparency = FindChunk<TChunktRNS>();
    return transparency ? transparency->TransparentColor() : 0;
}

namespace {

// The held sample at x of a row with a colour table.
unsigned HeldSample(const uint8_t* row, int64_t x, int bits)
{
    const size_t bit = static_cast<size_t>(x) * bits;
    return (row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
}

void SetHeldSample(uint8_t* row, int64_t x, int bits, unsigned value)
{
    const size_t bit = static_cast<size_t>(x) * bits;
    const unsigned shift = 8 - bits - (bit & 7);
    const unsigned mask = ((1u << bits) - 1) << shift;
    row[bit >> 3] = static_cast<uint8_t>((row[bit >> 3] & ~mask) | ((value << shift) & mask));
}

}  // namespace

uint32_t TPngPicture::ReadPixel(int64_t x, int64_t y) const
{
    const TPngImage* image = Image();
    if (!image || x < 0 || y < 0 || x >= image->Width() || y >= image->Height())
        return 0;
    const uint8_t* row = image->Row(static_cast<uint32_t>(y));
    switch (image->ColorType()) {
    case 2:
    case 6: {
        // The samples are held as read; the colour shown is through gamma.
        const uint8_t* p = row + 3 * x;
        return Rgb(GammaTable[p[2]], GammaTable[p[1]], GammaTable[p[0]]);
    }
    case 3: {
        const unsigned index = HeldSample(row, x, image->BitsPerPixel());
        const auto* palette = FindChunk<TChunkPLTE>();
        if (!palette || static_cast<int>(index) >= palette->Count)
            throw EPngError(SPngNoSuchPaletteEntry);
        const TPngColorEntry raw = image->FilePalette[index];
        return Rgb(GammaTable[raw.Red], GammaTable[raw.Green], GammaTable[raw.Blue]);
    }
    case 0:
    case 4: {
        // Grey with alpha is held as grey with a ramp, like plain grey.
        const int bits = image->BitsPerPixel();
        const unsigned sample = HeldSample(row, x, bits);
        const uint8_t grey = GammaTable[sample * 255 / ((1u << bits) - 1)];
        return Rgb(grey, grey, grey);
    }
    default:
        return 0;
    }
}

void TPngPicture::WritePixel(int64_t x, int64_t y, uint32_t color)
{
    TPngImage* image = Image();
    if (!image || x < 0 || y < 0 || x >= image->Width() || y >= image->Height())
        return;
    uint8_t* row = image->Row(static_cast<uint32_t>(y));
    const int red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    switch (image->ColorType()) {
    case 2:
    case 6: {
        // Held as the file has it, so the colour goes back through gamma.
        uint8_t* p = row + 3 * x;
        p[0] = InverseGammaTable[blue];
        p[1] = InverseGammaTable[green];
        p[2] = InverseGammaTable[red];
        break;
    }
    case 0:
    case 3:
    case 4: {
        const int bits = image->BitsPerPixel();
        int entries = 1 << bits;
        if (image->ColorType() == 3) {
            const auto* palette = FindChunk<TChunkPLTE>();
            entries = palette ? std::min(entries, palette->Count) : 0;
        }
        if (entries == 0)
            return;
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < entries; ++i) {
            const TPngColorEntry& entry = image->Palette[i];
            const long distance = long(entry.Red - red) * (entry.Red - red) +
                                  long(entry.Green - green) * (entry.Green - green) +
                                  long(entry.Blue - blue) * (entry.Blue - blue);
            if (bestDistance < 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        SetHeldSample(row, x, bits, static_cast<unsigned>(best));
        break;
    }
    default:
        break;
    }
}

}  // namespace qrv

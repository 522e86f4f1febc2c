#pragma once
// The portable core of the PNG picture: the chunk list in file order, the
// options for writing, the gamma tables, reading and writing a whole file,
// copying, the transparency derived from the chunks and pixel access.

#include "imaging/PngChunks.h"
#include "imaging/PngImage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qrv {

class TStream;

// Row filters tried when writing.
enum TFilter : uint8_t { pfNone = 1, pfSub = 2, pfUp = 4, pfAverage = 8, pfPaeth = 16 };
using TFilters = uint8_t;
constexpr TFilters pfAllFilters = pfNone | pfSub | pfUp | pfAverage | pfPaeth;

enum class TPNGTransparencyKind { ptmNone, ptmBit, ptmPartial };

using TPNGList = std::vector<std::unique_ptr<TChunk>>;

class TPngPicture {
public:
    TPngPicture();
    virtual ~TPngPicture();
    TPngPicture(const TPngPicture&) = delete;
    TPngPicture& operator=(const TPngPicture&) = delete;

    // Reading a file: the chunks read so far stay in the list when it fails.
    void LoadFromStream(TStream& stream);
    // Writing: the signature and every chunk in list order.
    void SaveToStream(TStream& stream);
    // A copy of the other picture's options and chunks (gamma stays identity).
    void Assign(const TPngPicture& source);
    // Frees every chunk; gamma tables to identity.
    void ClearChunks();

    TPNGList& Chunks() { return chunks_; }
    const TPNGList& Chunks() const { return chunks_; }
    void AddChunk(std::unique_ptr<TChunk> chunk) { chunks_.push_back(std::move(chunk)); }
    template <class ChunkClass>
    ChunkClass* FindChunk() const
    {
        for (const auto& chunk : chunks_)
            if (auto* found = dynamic_cast<ChunkClass*>(chunk.get()))
                return found;
        return nullptr;
    }
    bool Empty() const { return chunks_.empty(); }
    // Item 0, which must be the header; else EPNGHeaderNotPresent.
    TChunkIHDR& Header() const;
    bool HasHeader() const;
    // The header's image, or nullptr.
    TPngImage* Image() const;
    uint32_t Width() const;
    uint32_t Height() const;

    TPNGTransparencyKind TransparencyKind() const;
    // The tRNS chunk's colour as 0x00BBGGRR; black without one.
    uint32_t TransparentColor() const;

    // The colour shown at (x, y) as 0x00BBGGRR; black outside the image.
    uint32_t ReadPixel(int64_t x, int64_t y) const;
    // Sets the pixel to the colour (0x00BBGGRR) or, for images with a colour
    // table, to the nearest entry; ignored outside the image.
    void WritePixel(int64_t x, int64_t y, uint32_t color);

    TFilters FilterSet() const { return filterSet_; }
    void SetFilterSet(TFilters filters) { filterSet_ = filters & pfAllFilters; }
    uint8_t DeflateLevel() const { return deflateLevel_; }
    void SetDeflateLevel(int level) { deflateLevel_ = static_cast<uint8_t>(level < 0 ? 0 : level > 9 ? 9 : level); }
    uint32_t IdatLimit() const { return idatLimit_; }
    // Below 65535 stores 65535; above 2^31 - 1 stores 2^31 - 1.
    void SetIdatLimit(uint64_t limit);
    uint8_t Interlacing() const { return interlacing_; }
    void SetInterlacing(uint8_t interlacing) { interlacing_ = interlacing; }

    std::array<uint8_t, 256> GammaTable;
    std::array<uint8_t, 256> InverseGammaTable;
    // Rebuilds both tables from a gAMA value (gamma × 100000, not 0).
    void BuildGammaTables(uint32_t gamma);
    bool GammaIsIdentity() const;

    // Where the images of this picture get their pixel memory.
    const std::shared_ptr<TPixelAllocator>& Allocator() const { return allocator_; }
    void SetAllocator(std::shared_ptr<TPixelAllocator> allocator) { allocator_ = std::move(allocator); }
    // Called whenever a header prepares a new image (the owner drops what it
    // cached of the old one).
    std::function<void()> OnImagePrepared;

private:
    TPNGList chunks_;
    std::shared_ptr<TPixelAllocator> allocator_;
    TFilters filterSet_ = pfSub;
    uint8_t deflateLevel_ = 7;
    uint32_t idatLimit_ = 65535;
    uint8_t interlacing_ = 0;
};

}  // namespace qrv

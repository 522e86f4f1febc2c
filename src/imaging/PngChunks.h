#pragma once
// The chunk objects of a PNG file: the base with its framing and CRC, one
// class per known chunk type, and the registry that maps a chunk name read
// from a file to its class. Portable.

#include "imaging/PngImage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TPngPicture;
class TStream;

// The CRC-32 of the PNG format over the name and then the data.
uint32_t PngChunkCrc(std::string_view name, const uint8_t* data, size_t size);
uint32_t ReadBigEndian32(const uint8_t* bytes);
uint16_t ReadBigEndian16(const uint8_t* bytes);
void WriteBigEndian32(uint8_t* bytes, uint32_t value);
void WriteBigEndian16(uint8_t* bytes, uint16_t value);
// Writes length, name, data and CRC.
void WritePngChunk(TStream& stream, std::string_view name, const uint8_t* data, size_t size);

class TChunk {
public:
    explicit TChunk(TPngPicture* owner);
    virtual ~TChunk() = default;
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // The 4-letter name of the class; empty for the plain chunk, whose name
    // is set by whoever creates it.
    static std::string_view ClassChunkName() { return {}; }
    // A new chunk of the same class owned by the picture.
    virtual std::unique_ptr<TChunk> CreateSameClass(TPngPicture* owner) const;
    // Copies name and data; subclasses copy their fields and refuse other
    // classes with EPngError.
    virtual void Assign(const TChunk& source);
    // Reads size data bytes and the CRC (the picture has read length and
    // name); throws EPngInvalidCRC on a mismatch. True on success.
    virtual bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size);
    // Writes the chunk; true on success.
    virtual bool SaveToStream(TStream& stream);

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::vector<uint8_t>& Data() { return data_; }
    const std::vector<uint8_t>& Data() const { return data_; }
    TPngPicture* Owner() const { return owner_; }

protected:
    std::string name_;
    std::vector<uint8_t> data_;
    TPngPicture* owner_;
};

// Declares the name and the same-class factory of a chunk class.
#define QRV_PNG_CHUNK_CLASS(Class, FourCC)                                                                             \
public:                                                                                                                \
    explicit Class(TPngPicture* owner) : Base(owner)                                                                   \
    {                                                                                                                  \
        name_ = FourCC;                                                                                                \
    }                                                                                                                  \
    static std::string_view ClassChunkName()                                                                           \
    {                                                                                                                  \
        return FourCC;                                                                                                 \
    }                                                                                                                  \
    std::unique_ptr<TChunk> CreateSameClass(TPngPicture* owner) const override                                         \
    {                                                                                                                  \
        return std::make_unique<Class>(owner);                                                                         \
    }

class TChunkIEND : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunkIEND, "IEND")
    bool SaveToStream(TStream& stream) override;
};

class TChunkIHDR : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunkIHDR, "IHDR")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    // Makes a new zero-filled image from the header fields (the picture's
    // cached palette goes with the old one).
    void PrepareImageData();
    TPngImage* Image() const { return image_.get(); }

    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t BitDepth = 0;
    uint8_t ColorType = 0;
    uint8_t CompressionMethod = 0;
    uint8_t FilterMethod = 0;
    uint8_t InterlaceMethod = 0;

private:
    std::unique_ptr<TPngImage> image_;
};

class TChunkIDAT : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunkIDAT, "IDAT")
    // Decodes the image from this and the directly following IDAT chunks.
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    // Encodes the whole image into one or more IDAT chunks.
    bool SaveToStream(TStream& stream) override;
};

class TChunkPLTE : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunkPLTE, "PLTE")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;
    // Palette entry i as the file has it; EPngError beyond Count.
    TPngColorEntry Item(int index) const;

    int Count = 0;
};

class TChunkgAMA : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunkgAMA, "gAMA")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;
    // Gamma × 100000; a new chunk holds 1.
    uint32_t Gamma();
    void SetGamma(uint32_t value);
};

class TChunktRNS : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunktRNS, "tRNS")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;
    // The colour shown for transparent pixels, as 0x00BBGGRR.
    uint32_t TransparentColor() const;
    // Marks the colour (0x00BBGGRR) as the one transparent colour. For a
    // palette image whose palette lacks it, returns false and sets nothing.
    [[nodiscard]] bool SetTransparentColor(uint32_t color);

    std::array<uint8_t, 256> AlphaValues{};
    bool SingleTransparent = false;
};

class TChunktIME : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunktIME, "tIME")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    uint16_t Year = 0;
    uint8_t Month = 0;
    uint8_t Day = 0;
    uint8_t Hour = 0;
    uint8_t Minute = 0;
    uint8_t Second = 0;
};

class TChunktEXt : public TChunk {
    using Base = TChunk;
    QRV_PNG_CHUNK_CLASS(TChunktEXt, "tEXt")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    // Latin-1 bytes as the file holds them.
    std::string Keyword;
    std::string Text;
};

class TChunkzTXt : public TChunktEXt {
    using Base = TChunktEXt;
    QRV_PNG_CHUNK_CLASS(TChunkzTXt, "zTXt")
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& name, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    // Inflated text beyond this is not held; the chunk keeps its raw data.
    static constexpr size_t MaxTextSize = 8 * 1024 * 1024;
    // True when the text could not be inflated (damaged, over the cap, or an
    // unknown method): the data read is written back unchanged until Text
    // is set through SetText.
    bool KeepsRawData() const { return keepRaw_; }
    void SetText(std::string text);

private:
    bool keepRaw_ = false;
};

#undef QRV_PNG_CHUNK_CLASS

// The process-wide registry of chunk classes, searched in registration order.
struct TChunkClass {
    std::string_view Name;
    std::unique_ptr<TChunk> (*Create)(TPngPicture* owner);
};
std::vector<TChunkClass>& ChunkClassRegistry();
template <class ChunkClass>
void RegisterChunk()
{
    ChunkClassRegistry().push_back({ChunkClass::ClassChunkName(), [](TPngPicture* owner) -> std::unique_ptr<TChunk> {
                                        return std::make_unique<ChunkClass>(owner);
                                    }});
}
// The chunk for a name read from a file: the first registered class of that
// name (exact case), else a plain chunk; its name is set to the one read.
std::unique_ptr<TChunk> CreateChunkForName(TPngPicture* owner, const std::string& name);

// Counted start and end of the PNG unit's chunk registry: the first start
// fills it, the matching end frees it.
void StartPngChunkRegistry();
void EndPngChunkRegistry();

}  // namespace qrv

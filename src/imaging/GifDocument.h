#pragma once
// A whole GIF file as stream items: the header with the logical screen and
// the global colour table, the frames (each its extensions, image
// descriptor, local colour table and pixels) and the trailer. Loading is
// tolerant of the defects common in files found in the wild and reports them
// as warnings; saving writes every frame with the LZW or the run-length
// coder. Portable: the picture class draws what this holds.

#include "imaging/GifErrors.h"
#include "imaging/GifExtensions.h"
#include "imaging/GifStream.h"
#include "imaging/PixelAllocator.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qrv {

class TStream;

// The signature, the logical screen descriptor and the global colour table.
class TGIFHeader : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // 2 when the global table is sorted or an aspect ratio is given.
    int Version() const override;
    void Clear();

    uint16_t Width = 0;
    uint16_t Height = 0;
    // The packed byte as read; rebuilt when written.
    uint8_t Packed = 0;
    uint8_t BackgroundColorIndex = 0;
    uint8_t AspectRatio = 0;
    TGIFColorMap ColorMap;
};

class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    // A byte other than ";" warns "Invalid Image trailer"; none is accepted.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
};

enum class TGIFEncoding { LZW = 0, RLE = 1 };

// One frame on the wire: extensions, image descriptor, local colour table
// and the pixels, one colour index per pixel in allocator memory (bottom-up
// rows padded to 4 bytes, so that the memory can be the frame's bitmap).
class TGIFFrame : public TGIFItem {
public:
    explicit TGIFFrame(TGIFDocument* document);
    ~TGIFFrame() override;

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // 2 when the local table is sorted or the frame has an extension.
    int Version() const override;
    void Clear();

    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Width() const { return width_; }
    uint16_t Height() const { return height_; }
    // New zeroed pixels of that size (none for a size of 0).
    void SetSize(uint16_t width, uint16_t height);
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // The descriptor's packed byte as read.
    uint8_t Packed = 0;
    bool Interlaced() const { return (Packed & 0x40) != 0; }
    void SetInterlaced(bool interlaced) { Packed = static_cast<uint8_t>((Packed & ~0x40) | (interlaced ? 0x40 : 0)); }

    TGIFColorMap ColorMap;  // the local table
    // The local table when it has entries, else the global one when that has
    // entries, else the (empty) local table.
    const TGIFColorMap& ActiveColorMap() const;
    // The local table's bits − 1 (0 without one).
    int ColorResolution() const;
    // Orders the local table by descending use, remaps the pixels and the
    // transparent index to it and drops the unused entries behind the last
    // used one; the table is then sorted.
    void OptimizeColorMap();

    std::vector<std::unique_ptr<TGIFExtension>> Extensions;
    template <class Extension>
    Extension* FindExtension() const
    {
        for (const auto& extension : Extensions)
            if (auto* found = dynamic_cast<Extension*>(extension.get()))
                return found;
        return nullptr;
    }
    // The frame's own graphic control (the first), or null.
    TGIFGraphicControlExtension* GraphicControl() const { return FindExtension<TGIFGraphicControlExtension>(); }
    bool Transparent() const;
    int TransparentColorIndex() const;

    // Row y (0 = top) of Width() bytes; the frame must not be empty.
    uint8_t* Row(uint32_t y) { return pixels_ + layout_.BytesPerRow * (layout_.Height - 1 - y); }
    const uint8_t* Row(uint32_t y) const { return pixels_ + layout_.BytesPerRow * (layout_.Height - 1 - y); }
    const TPixelLayout& Layout() const { return layout_; }
    uint8_t* Pixels() { return pixels_; }
    // Raises "Color not in color table" when a pixel is past the colours the
    // frame is written with.
    void CheckPixels() const;

private:
    void ReleasePixels();
    std::vector<uint8_t*> TopDownRows();
    // The bits and colours the pixels are written with.
    int WrittenBits() const;
    int WrittenColors() const;

    uint16_t width_ = 0;
    uint16_t height_ = 0;
    TPixelLayout layout_;
    uint8_t* pixels_ = nullptr;
    std::shared_ptr<TPixelAllocator> allocator_;
};

class TGIFDocument {
public:
    TGIFDocument();
    virtual ~TGIFDocument();
    TGIFDocument(const TGIFDocument&) = delete;
    TGIFDocument& operator=(const TGIFDocument&) = delete;

    // Header, frames and trailer; on a failure the stream is put back where
    // it was and the exception passes on (the document keeps what was read).
    void LoadFromStream(TStream& stream);
    // Raises "Unsupported GIF version" without frames and "Color not in
    // color table" for a pixel past its table before writing anything.
    void SaveToStream(TStream& stream) const;
    void Clear();

    TGIFHeader Header{this};
    std::vector<std::unique_ptr<TGIFFrame>> Frames;
    TGIFFrame& AddFrame();
    // OptimizeColorMap of the global table, over the frames without a local
    // one; nothing without frames.
    void OptimizeColorMap();

    int Width() const { return Header.Width; }
    int Height() const { return Header.Height; }
    // The highest version of the header and the frames (looking no further
    // than the first frame of version 2); 0 without frames.
    int Version() const;
    // The largest of the header's and the frames'.
    int ColorResolution() const;
    int BitsPerPixel() const;

    // The coder frames are written with; new documents take the default the
    // program sets at start-up.
    TGIFEncoding Encoding = DefaultEncoding();
    static TGIFEncoding DefaultEncoding();
    static void SetDefaultEncoding(TGIFEncoding encoding);

    // Where warnings and progress go (not owned; a silent sink when null).
    TGIFEventSink* EventSink() const { return sink_ ? sink_ : &silent_; }
    void SetEventSink(TGIFEventSink* sink) { sink_ = sink; }
    // Where frames get their pixel memory.
    const std::shared_ptr<TPixelAllocator>& Allocator() const { return allocator_; }
    void SetAllocator(std::shared_ptr<TPixelAllocator> allocator) { allocator_ = std::move(allocator); }

protected:
    // Frames are made here, so that a picture class can make its own kind.
    virtual std::unique_ptr<TGIFFrame> CreateFrame();

private:
    TGIFEventSink* sink_ = nullptr;
    static TGIFEventSink silent_;
    std::shared_ptr<TPixelAllocator> allocator_;
};

// The encoder for a coding.
std::unique_ptr<class TGIFEncoder> CreateGIFEncoder(TGIFEncoding encoding);

}  // namespace qrv

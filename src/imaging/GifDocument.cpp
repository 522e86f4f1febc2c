#include "imaging/GifDocument.h"

#include "framework/Streams.h"
#include "imaging/GifLzw.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <numeric>

namespace qrv {

namespace {

constexpr uint8_t kImageSeparator = 0x2C;       // ","
constexpr uint8_t kExtensionIntroducer = 0x21;  // "!"
constexpr uint8_t kTrailerByte = 0x3B;          // ";"

std::atomic<TGIFEncoding> defaultEncoding{TGIFEncoding::LZW};

// Orders a table by descending use over the frames that draw with it.
void OptimizeTable(TGIFColorMap& table, const std::vector<TGIFFrame*>& frames)
{
    const int count = table.Count();
    if (count <= 1)
        return;
    std::array<uint64_t, 256> uses{};
    for (TGIFFrame* frame : frames)
        for (uint32_t y = 0; y < frame->Height(); ++y)
            for (const uint8_t* pixel = frame->Row(y); pixel != frame->Row(y) + frame->Width(); ++pixel)
                ++uses[*pixel];
    std::array<int, 256> order{};
    std::iota(order.begin(), order.begin() + count, 0);
    std::stable_sort(order.begin(), order.begin() + count, [&uses](int a, int b) { return uses[a] > uses[b]; });
    int used = 0;
    while (used < count && uses[static_cast<size_t>(order[used])] > 0)
        ++used;
    if (!std::is_sorted(order.begin(), order.begin() + count)) {
        // Indices past the table (pixels and transparent indices of damaged
        // files) keep their values.
        std::array<uint8_t, 256> remap{};
        std::iota(remap.begin(), remap.end(), 0);
        for (int i = 0; i < count; ++i)
            remap[static_cast<size_t>(order[i])] = static_cast<uint8_t>(i);
        for (TGIFFrame* frame : frames) {
            for (uint32_t y = 0; y < frame->Height(); ++y)
                for (uint8_t* pixel = frame->Row(y); pixel != frame->Row(y) + frame->Width(); ++pixel)
                    *pixel = remap[*pixel];
            for (const auto& extension : frame->Extensions)
                if (auto* control = dynamic_cast<TGIFGraphicControlExtension*>(extension.get());
                    control && control->TransparentColorIndex() < count)
                    control->SetTransparentColorIndex(remap[control->TransparentColorIndex()]);
        }
    }
    // A table no pixel uses keeps its entries.
    table.Reorder(order.data(), used > 0 ? used : count);
    table.Sorted = true;
}

bool IsGifSignature(const uint8_t* bytes)
{
    return (bytes[0] | 0x20) == 'g' && (bytes[1] | 0x20) == 'i' && (bytes[2] | 0x20) == 'f';
}

}  // namespace

// --- header and trailer --------------------------------------------------

void TGIFHeader::Clear()
{
    Width = Height = 0;
    Packed = BackgroundColorIndex = AspectRatio = 0;
    ColorMap.Clear();
}

void TGIFHeader::LoadFromStream(TStream& stream)
{
    // Up to 4 bytes of something else may stand before the signature (some
    // programs wrote a length there).
    const int64_t start = stream.Position();
    uint8_t signature[6];
    ReadGIFBytes(stream, signature, sizeof signature);
    if (!IsGifSignature(signature)) {
        stream.SetPosition(start + 4);
        ReadGIFBytes(stream, signature, sizeof signature);
        if (!IsGifSignature(signature))
            throw GIFException(gif_text::kInvalidSignature);
    }
    uint8_t screen[7];
    ReadGIFBytes(stream, screen, sizeof screen);
    Width = GIFWord(screen);
    Height = GIFWord(screen + 2);
    Packed = screen[4];
    BackgroundColorIndex = screen[5];
    AspectRatio = screen[6];
    if (Packed & 0x80)
        ColorMap.LoadFromStream(stream, 2 << (Packed & 0x07));
    else
        ColorMap.Clear();
    ColorMap.Sorted = (Packed & 0x80) && (Packed & 0x08);
}

void TGIFHeader::SaveToStream(TStream& stream) const
{
    const TGIFDocument* document = Document();
    const int version = document ? document->Version() : Version();
    if (version == 0)
        throw GIFException(gif_text::kUnsupportedVersion);
    stream.WriteBytes(version >= 2 ? "GIF89a" : "GIF87a");
    uint8_t packed = static_cast<uint8_t>(((document ? document->ColorResolution() : 0) & 0x07) << 4);
    if (!ColorMap.Empty()) {
        // The table's own size, so that the entries written match it.
        packed |= static_cast<uint8_t>(0x80 | ((ColorMap.Bits() - 1) & 0x07));
        if (ColorMap.Sorted)
            packed |= 0x08;
    }
    WriteGIFWord(stream, Width);
    WriteGIFWord(stream, Height);
    const uint8_t rest[3] = {packed, BackgroundColorIndex, AspectRatio};
    stream.WriteBuffer(rest, sizeof rest);
    if (!ColorMap.Empty())
        ColorMap.SaveToStream(stream);
}

int TGIFHeader::Version() const
{
    return ColorMap.Sorted || AspectRatio != 0 ? 2 : 1;
}

void TGIFTrailer::LoadFromStream(TStream& stream)
{
    uint8_t value = 0;
    if (stream.Read(&value, 1) == 1 && value != kTrailerByte)
        Warning(gif_text::kInvalidTrailer);
}

void TGIFTrailer::SaveToStream(TStream& stream) const
{
    WriteGIFByte(stream, kTrailerByte);
}

// --- frames --------------------------------------------------------------

TGIFFrame::TGIFFrame(TGIFDocument* document) : TGIFItem(document) {}

TGIFFrame::~TGIFFrame()
{
    ReleasePixels();
}

void TGIFFrame::ReleasePixels()
{
    if (pixels_ && allocator_)
        allocator_->Release(pixels_);
    pixels_ = nullptr;
    allocator_.reset();
    layout_ = {};
    width_ = height_ = 0;
}

void TGIFFrame::SetSize(uint16_t width, uint16_t height)
{
    ReleasePixels();
    if (width == 0 || height == 0)
        return;
    TPixelLayout layout{width, height, 8, DibBytesPerRow(width, 8)};
    std::shared_ptr<TPixelAllocator> allocator =
        Document() ? Document()->Allocator() : std::make_shared<THeapPixelAllocator>();
    uint8_t* pixels = allocator->Allocate(layout);
    if (!pixels)
        throw GIFException(gif_text::kOutOfMemory);
    pixels_ = pixels;
    allocator_ = std::move(allocator);
    layout_ = layout;
    width_ = width;
    height_ = height;
}

void TGIFFrame::Clear()
{
    ReleasePixels();
    Left = Top = 0;
    Packed = 0;
    ColorMap.Clear();
    Extensions.clear();
}

const TGIFColorMap& TGIFFrame::ActiveColorMap() const
{
    if (!ColorMap.Empty())
        return ColorMap;
    if (Document() && !Document()->Header.ColorMap.Empty())
        return Document()->Header.ColorMap;
    return ColorMap;
}

int TGIFFrame::ColorResolution() const
{
    return std::max(0, ColorMap.Bits() - 1);
}

void TGIFFrame::OptimizeColorMap()
{
    OptimizeTable(ColorMap, {this});
}

int TGIFFrame::Version() const
{
    return ColorMap.Sorted || !Extensions.empty() ? 2 : 1;
}

bool TGIFFrame::Transparent() const
{
    const TGIFGraphicControlExtension* control = GraphicControl();
    return control && control->Transparent();
}

int TGIFFrame::TransparentColorIndex() const
{
    const TGIFGraphicControlExtension* control = GraphicControl();
    return control ? control->TransparentColorIndex() : 0;
}

std::vector<uint8_t*> TGIFFrame::TopDownRows()
{
    std::vector<uint8_t*> rows(height_);
    for (uint32_t y = 0; y < height_; ++y)
        rows[y] = Row(y);
    return rows;
}

void TGIFFrame::LoadFromStream(TStream& stream)
{
    Clear();
    for (;;) {
        const int next = PeekGIFByte(stream);
        if (next < 0 || next == kImageSeparator || next == kTrailerByte)
            break;
        if (next != kExtensionIntroducer) {
            Warning(gif_text::kInvalidExtensionIntroducer);
            break;
        }
        std::unique_ptr<TGIFExtension> extension = CreateGIFExtension(this, stream);
        extension->LoadFromStream(stream);
        Extensions.push_back(std::move(extension));
    }
    // A frame of extensions only (before the trailer or a defect) has no
    // descriptor.
    if (PeekGIFByte(stream) != kImageSeparator)
        return;
    uint8_t descriptor[10];
    ReadGIFBytes(stream, descriptor, sizeof descriptor);
    Left = GIFWord(descriptor + 1);
    Top = GIFWord(descriptor + 3);
    uint16_t width = GIFWord(descriptor + 5);
    uint16_t height = GIFWord(descriptor + 7);
    Packed = descriptor[9];
    if (width == 0 || height == 0) {
        width = Document() ? static_cast<uint16_t>(Document()->Width()) : 0;
        height = Document() ? static_cast<uint16_t>(Document()->Height()) : 0;
        Warning(gif_text::kImageExceedsScreen);
    }
    if (Packed & 0x80) {
        ColorMap.LoadFromStream(stream, 2 << (Packed & 0x07));
        ColorMap.Sorted = (Packed & 0x20) != 0;
    }
    if (Transparent() && !ActiveColorMap().Empty() && TransparentColorIndex() >= ActiveColorMap().Count())
        Warning(gif_text::kInvalidColorIndex);
    // No size read from the file makes memory the rest of the file could not
    // fill.
    const uint64_t area = static_cast<uint64_t>(width) * height;
    if (area > MaxGIFPixelsFrom(static_cast<uint64_t>(GIFBytesLeft(stream))))
        throw GIFException(gif_text::kPrematureEndOfData);
    SetSize(width, height);
    if (!Empty() && Transparent() && TransparentColorIndex() != 0)
        for (uint32_t y = 0; y < height_; ++y)
            std::memset(Row(y), TransparentColorIndex(), width_);
    DecodeGIFPixels(stream, Empty() ? std::vector<uint8_t*>() : TopDownRows(), width_, Interlaced(),
                    Document() ? Document()->EventSink() : nullptr, this);
}

int TGIFFrame::WrittenBits() const
{
    if (!ColorMap.Empty())
        return ColorMap.Bits();
    if (Document() && !Document()->Header.ColorMap.Empty())
        return Document()->Header.ColorMap.Bits();
    // No table anywhere: as many bits as the pixels need.
    uint8_t highest = 0;
    for (uint32_t y = 0; y < height_; ++y)
        highest = std::max(highest, *std::max_element(Row(y), Row(y) + width_));
    return std::max(1, GIFColorBits(highest + 1));
}

int TGIFFrame::WrittenColors() const
{
    return ColorMap.Empty() ? 1 << WrittenBits() : ColorMap.Count();
}

void TGIFFrame::CheckPixels() const
{
    if (Empty())
        return;
    const int colors = WrittenColors();
    for (uint32_t y = 0; y < height_; ++y)
        if (*std::max_element(Row(y), Row(y) + width_) >= colors)
            throw GIFException(gif_text::kColorNotInTable);
}

void TGIFFrame::SaveToStream(TStream& stream) const
{
    CheckPixels();
    for (const auto& extension : Extensions)
        extension->SaveToStream(stream);
    if (Empty())
        return;
    uint8_t packed;
    if (!ColorMap.Empty()) {
        // Frames with their own table are written without interlacing.
        packed = static_cast<uint8_t>(0x80 | ((ColorMap.Bits() - 1) & 0x07));
        if (ColorMap.Sorted)
            packed |= 0x20;
    } else {
        packed = Packed & 0x58;
    }
    uint8_t descriptor[10] = {kImageSeparator};
    const uint16_t words[4] = {Left, Top, width_, height_};
    for (int i = 0; i < 4; ++i) {
        descriptor[1 + i * 2] = static_cast<uint8_t>(words[i]);
        descriptor[2 + i * 2] = static_cast<uint8_t>(words[i] >> 8);
    }
    descriptor[9] = packed;
    stream.WriteBuffer(descriptor, sizeof descriptor);
    if (!ColorMap.Empty())
        ColorMap.SaveToStream(stream);
    std::vector<const uint8_t*> rows(height_);
    for (uint32_t y = 0; y < height_; ++y)
        rows[y] = Row(y);
    const TGIFEncoding encoding = Document() ? Document()->Encoding : TGIFDocument::DefaultEncoding();
    CreateGIFEncoder(encoding)->Compress(stream, WrittenBits(), WrittenColors(), rows, (packed & 0x40) != 0, width_);
}

// --- document ------------------------------------------------------------

TGIFEventSink TGIFDocument::silent_;

TGIFDocument::TGIFDocument() : allocator_(std::make_shared<THeapPixelAllocator>()) {}

TGIFDocument::~TGIFDocument() = default;

TGIFEncoding TGIFDocument::DefaultEncoding()
{
    return defaultEncoding.load();
}

void TGIFDocument::SetDefaultEncoding(TGIFEncoding encoding)
{
    defaultEncoding.store(encoding);
}

std::unique_ptr<TGIFFrame> TGIFDocument::CreateFrame()
{
    return std::make_unique<TGIFFrame>(this);
}

TGIFFrame& TGIFDocument::AddFrame()
{
    Frames.push_back(CreateFrame());
    return *Frames.back();
}

void TGIFDocument::OptimizeColorMap()
{
    if (Frames.empty())
        return;
    std::vector<TGIFFrame*> users;
    for (const auto& frame : Frames)
        if (frame->ColorMap.Empty())
            users.push_back(frame.get());
    OptimizeTable(Header.ColorMap, users);
}

void TGIFDocument::Clear()
{
    Frames.clear();
    Header.Clear();
}

void TGIFDocument::LoadFromStream(TStream& stream)
{
    TGIFEventSink& sink = *EventSink();
    sink.Progress(TGIFProgressStage::psStarting, 0, gif_text::kLoading);
    Clear();
    const int64_t start = stream.Position();
    try {
        Header.LoadFromStream(stream);
        const int64_t size = std::max<int64_t>(1, stream.Size());
        for (;;) {
            int next = PeekGIFByte(stream);
            while (next == 0) {
                stream.Seek(1, TSeekOrigin::soCurrent);
                next = PeekGIFByte(stream);
            }
            if (next < 0 || next == kTrailerByte)
                break;
            if (next != kExtensionIntroducer && next != kImageSeparator) {
                sink.Warning(this, 1, gif_text::kUnknownBlockType);
                break;
            }
            std::unique_ptr<TGIFFrame> frame = CreateFrame();
            Frames.push_back(std::move(frame));
            Frames.back()->LoadFromStream(stream);
            sink.Progress(TGIFProgressStage::psRunning, static_cast<int>(stream.Position() * 100 / size),
                          gif_text::kLoading);
        }
        TGIFTrailer(this).LoadFromStream(stream);
    } catch (...) {
        stream.SetPosition(start);
        sink.Progress(TGIFProgressStage::psEnding, 0, gif_text::kLoading);
        throw;
    }
    sink.Progress(TGIFProgressStage::psEnding, 100, gif_text::kLoading);
}

void TGIFDocument::SaveToStream(TStream& stream) const
{
    if (Version() == 0)
        throw GIFException(gif_text::kUnsupportedVersion);
    for (const auto& frame : Frames)
        frame->CheckPixels();
    TGIFEventSink& sink = *EventSink();
    sink.Progress(TGIFProgressStage::psStarting, 0, gif_text::kSaving);
    Header.SaveToStream(stream);
    for (size_t i = 0; i < Frames.size(); ++i) {
        Frames[i]->SaveToStream(stream);
        sink.Progress(TGIFProgressStage::psRunning, static_cast<int>((i + 1) * 100 / Frames.size()), gif_text::kSaving);
    }
    TGIFTrailer(nullptr).SaveToStream(stream);
    sink.Progress(TGIFProgressStage::psEnding, 100, gif_text::kSaving);
}

int TGIFDocument::Version() const
{
    if (Frames.empty())
        return 0;
    int version = Header.Version();
    for (const auto& frame : Frames) {
        if (version >= 2)
            break;
        version = std::max(version, frame->Version());
    }
    return version;
}

int TGIFDocument::ColorResolution() const
{
    int resolution = std::max(0, Header.ColorMap.Bits() - 1);
    for (const auto& frame : Frames)
        resolution = std::max(resolution, frame->ColorResolution());
    return resolution;
}

int TGIFDocument::BitsPerPixel() const
{
    int bits = Header.ColorMap.Bits();
    for (const auto& frame : Frames)
        bits = std::max(bits, frame->ColorMap.Bits());
    return bits;
}

std::unique_ptr<TGIFEncoder> CreateGIFEncoder(TGIFEncoding encoding)
{
    if (encoding == TGIFEncoding::RLE)
        return std::make_unique<TRLEEncoder>();
    return std::make_unique<TLZWEncoder>();
}

}  // namespace qrv

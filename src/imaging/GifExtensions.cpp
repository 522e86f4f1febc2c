#include "imaging/GifExtensions.h"

#include "framework/Streams.h"
#include "imaging/GifDocument.h"
#include "imaging/GifErrors.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace qrv {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;

struct TGIFRegistry {
    TGIFRegistry();
    std::mutex Lock;
    std::map<uint8_t, TGIFExtensionFactory> Extensions;
    std::map<std::string, TGIFExtensionFactory> Applications;
};

template <class Extension>
TGIFExtensionFactory FactoryOf()
{
    return [](TGIFFrame* frame) { return std::unique_ptr<TGIFExtension>(new Extension(frame)); };
}

TGIFRegistry::TGIFRegistry()
{
    Extensions[TGIFGraphicControlExtension::kClassLabel] = FactoryOf<TGIFGraphicControlExtension>();
    Extensions[TGIFTextExtension::kClassLabel] = FactoryOf<TGIFTextExtension>();
    Extensions[TGIFCommentExtension::kClassLabel] = FactoryOf<TGIFCommentExtension>();
    Extensions[TGIFApplicationExtension::kClassLabel] = FactoryOf<TGIFUnknownAppExtension>();
    Applications["NETSCAPE2.0"] = FactoryOf<TGIFAppExtNSLoop>();
    Applications["ANIMEXTS1.0"] = FactoryOf<TGIFAppExtNSLoop>();
}

// Made once, with the built-in classes, on first use from any thread.
TGIFRegistry& Registry()
{
    static TGIFRegistry registry;
    return registry;
}

}  // namespace

void TGIFItem::LoadFromFile(const std::wstring& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGIFItem::SaveToFile(const std::wstring& fileName) const
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TGIFItem::Warning(const wchar_t* message) const
{
    if (document_)
        document_->EventSink()->Warning(this, 1, message);
}

TGIFExtension::TGIFExtension(TGIFFrame* frame) : TGIFItem(frame ? frame->Document() : nullptr), frame_(frame) {}

void TGIFExtension::LoadFromStream(TStream& stream)
{
    if (ReadGIFByte(stream) != kExtensionIntroducer)
        throw GIFException(gif_text::kInvalidExtensionIntroducer);
    if (ReadGIFByte(stream) != Label())
        throw GIFException(gif_text::kExtensionMismatch);
    LoadData(stream);
}

void TGIFExtension::SaveToStream(TStream& stream) const
{
    WriteGIFByte(stream, kExtensionIntroducer);
    WriteGIFByte(stream, Label());
    SaveData(stream);
}

// --- graphic control -----------------------------------------------------

void TGIFGraphicControlExtension::SetTransparentColorIndex(uint8_t index)
{
    if (Frame()) {
        const TGIFColorMap& table = Frame()->ActiveColorMap();
        if (!table.Empty() && index >= table.Count())
            Warning(gif_text::kInvalidColorIndex);
    }
    transparentIndex_ = index;
}

void TGIFGraphicControlExtension::LoadData(TStream& stream)
{
    // The block is meant to hold 4 bytes; whatever it holds, every sub-block
    // up to the terminator is read so that the stream stays in step.
    const std::vector<std::string> blocks = ReadGIFSubBlocks(stream);
    std::string block = blocks.empty() ? std::string() : blocks.front();
    if (block.size() < 4) {
        Warning(gif_text::kPrematureEndOfData);
        block.resize(4, '\0');
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
    Packed = bytes[0];
    Delay = GIFWord(bytes + 1);
    // Checked against the frame's table once the descriptor is read.
    transparentIndex_ = bytes[3];
}

void TGIFGraphicControlExtension::SaveData(TStream& stream) const
{
    const uint8_t block[6] = {
        4, Packed, static_cast<uint8_t>(Delay), static_cast<uint8_t>(Delay >> 8), transparentIndex_, 0};
    stream.WriteBuffer(block, sizeof block);
}

// --- plain text and comment ----------------------------------------------

void TGIFTextExtension::LoadData(TStream& stream)
{
    const uint8_t size = ReadGIFByte(stream);
    std::string header(size, '\0');
    ReadGIFBytes(stream, header.data(), size);
    header.resize(std::max<size_t>(header.size(), 12), '\0');
    const auto* bytes = reinterpret_cast<const uint8_t*>(header.data());
    Left = GIFWord(bytes);
    Top = GIFWord(bytes + 2);
    GridWidth = GIFWord(bytes + 4);
    GridHeight = GIFWord(bytes + 6);
    CellWidth = bytes[8];
    CellHeight = bytes[9];
    ForegroundColorIndex = bytes[10];
    BackgroundColorIndex = bytes[11];
    Text = ReadGIFSubBlocks(stream);
}

void TGIFTextExtension::SaveData(TStream& stream) const
{
    WriteGIFByte(stream, 12);
    for (uint16_t word : {Left, Top, GridWidth, GridHeight})
        WriteGIFWord(stream, word);
    const uint8_t bytes[4] = {CellWidth, CellHeight, ForegroundColorIndex, BackgroundColorIndex};
    stream.WriteBuffer(bytes, sizeof bytes);
    WriteGIFSubBlocks(stream, Text);
}

void TGIFCommentExtension::LoadData(TStream& stream)
{
    Text = ReadGIFSubBlocks(stream);
}

void TGIFCommentExtension::SaveData(TStream& stream) const
{
    WriteGIFSubBlocks(stream, Text);
}

// --- application blocks --------------------------------------------------

std::string TGIFApplicationExtension::Identifier() const
{
    std::string identifier = identifierBlock_.substr(0, 11);
    identifier.resize(11, '\0');
    return identifier;
}

void TGIFApplicationExtension::SetIdentifier(const std::string& identifier)
{
    identifierBlock_ = identifier.substr(0, 11);
    identifierBlock_.resize(11, '\0');
}

void TGIFApplicationExtension::LoadData(TStream& stream)
{
    const uint8_t size = ReadGIFByte(stream);
    if (size < 10)
        throw GIFException(gif_text::kUnsupportedAppBlockSize);
    // Exactly the announced size: a block of 10 is kept as 10 bytes.
    std::string block(size, '\0');
    ReadGIFBytes(stream, block.data(), size);
    identifierBlock_ = std::move(block);
    LoadApplicationData(stream);
}

void TGIFApplicationExtension::SaveData(TStream& stream) const
{
    WriteGIFByte(stream, static_cast<uint8_t>(identifierBlock_.size()));
    stream.WriteBytes(identifierBlock_);
    SaveApplicationData(stream);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFFrame* frame) : TGIFApplicationExtension(frame)
{
    SetIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::LoadApplicationData(TStream& stream)
{
    for (const std::string& block : ReadGIFSubBlocks(stream)) {
        if (block.empty())
            continue;
        const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
        switch (bytes[0] & 0x07) {
        case 1:
            if (block.size() < 3)
                throw GIFException(gif_text::kInvalidData);
            LoopCount = GIFWord(bytes + 1);
            break;
        case 2:
            if (block.size() < 5)
                throw GIFException(gif_text::kInvalidData);
            BufferSize = static_cast<uint32_t>(GIFWord(bytes + 1)) | (static_cast<uint32_t>(GIFWord(bytes + 3)) << 16);
            break;
        default:
            break;
        }
    }
}

void TGIFAppExtNSLoop::SaveApplicationData(TStream& stream) const
{
    const uint8_t loop[4] = {3, 1, static_cast<uint8_t>(LoopCount), static_cast<uint8_t>(LoopCount >> 8)};
    stream.WriteBuffer(loop, sizeof loop);
    if (BufferSize != 0) {
        const uint8_t buffer[6] = {5,
                                   2,
                                   static_cast<uint8_t>(BufferSize),
                                   static_cast<uint8_t>(BufferSize >> 8),
                                   static_cast<uint8_t>(BufferSize >> 16),
                                   static_cast<uint8_t>(BufferSize >> 24)};
        stream.WriteBuffer(buffer, sizeof buffer);
    }
    WriteGIFByte(stream, 0);
}

void TGIFUnknownAppExtension::LoadApplicationData(TStream& stream)
{
    Blocks = ReadGIFSubBlocks(stream);
}

void TGIFUnknownAppExtension::SaveApplicationData(TStream& stream) const
{
    WriteGIFSubBlocks(stream, Blocks);
}

// --- registries ----------------------------------------------------------

void RegisterGIFExtension(uint8_t label, TGIFExtensionFactory factory)
{
    TGIFRegistry& registry = Registry();
    std::lock_guard lock(registry.Lock);
    registry.Extensions[label] = std::move(factory);
}

void RegisterGIFApplicationExtension(const std::string& identifier, TGIFExtensionFactory factory)
{
    TGIFRegistry& registry = Registry();
    std::lock_guard lock(registry.Lock);
    registry.Applications[identifier] = std::move(factory);
}

std::unique_ptr<TGIFExtension> CreateGIFExtension(TGIFFrame* frame, TStream& stream)
{
    // Introducer, label and, for an application block, its identifier block.
    const int64_t start = stream.Position();
    uint8_t head[14] = {};
    const size_t got = stream.Read(head, sizeof head);
    stream.SetPosition(start);
    if (got < 2)
        throw GIFException(gif_text::kPrematureEndOfData);
    TGIFRegistry& registry = Registry();
    std::lock_guard lock(registry.Lock);
    if (head[1] == TGIFApplicationExtension::kClassLabel && got == sizeof head && head[2] == 11) {
        const auto found = registry.Applications.find(std::string(reinterpret_cast<const char*>(head + 3), 11));
        if (found != registry.Applications.end())
            return found->second(frame);
    }
    const auto found = registry.Extensions.find(head[1]);
    if (found == registry.Extensions.end())
        throw GIFException(gif_text::kUnknownExtension);
    return found->second(frame);
}

}  // namespace qrv

#include "imaging/GifStream.h"

#include "framework/Streams.h"
#include "imaging/GifErrors.h"

#include <algorithm>

namespace qrv {

void ReadGIFBytes(TStream& stream, void* buffer, size_t count)
{
    if (stream.Read(buffer, count) != count)
        throw GIFException(gif_text::kPrematureEndOfData);
}

uint8_t ReadGIFByte(TStream& stream)
{
    uint8_t value = 0;
    ReadGIFBytes(stream, &value, 1);
    return value;
}

int PeekGIFByte(TStream& stream)
{
    uint8_t value = 0;
    if (stream.Read(&value, 1) != 1)
        return -1;
    stream.Seek(-1, TSeekOrigin::soCurrent);
    return value;
}

void WriteGIFByte(TStream& stream, uint8_t value)
{
    stream.WriteBuffer(&value, 1);
}

void WriteGIFWord(TStream& stream, uint16_t value)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    stream.WriteBuffer(bytes, 2);
}

int64_t GIFBytesLeft(TStream& stream)
{
    const int64_t position = stream.Position();
    return std::max<int64_t>(0, stream.Size() - position);
}

std::vector<std::string> ReadGIFSubBlocks(TStream& stream)
{
    std::vector<std::string> blocks;
    uint8_t size = 0;
    while (stream.Read(&size, 1) == 1 && size != 0) {
        std::string block(size, '\0');
        block.resize(stream.Read(block.data(), size));
        const bool cut = block.size() < size;
        blocks.push_back(std::move(block));
        if (cut)
            break;
    }
    return blocks;
}

void WriteGIFSubBlocks(TStream& stream, const std::vector<std::string>& blocks)
{
    for (const std::string& text : blocks) {
        for (size_t start = 0; start < text.size(); start += 255) {
            const size_t size = std::min<size_t>(255, text.size() - start);
            WriteGIFByte(stream, static_cast<uint8_t>(size));
            stream.WriteBuffer(text.data() + start, size);
        }
    }
    WriteGIFByte(stream, 0);
}

void SkipGIFSubBlocks(TStream& stream)
{
    uint8_t size = 0;
    while (stream.Read(&size, 1) == 1 && size != 0) {
        const int64_t left = GIFBytesLeft(stream);
        stream.Seek(std::min<int64_t>(size, left), TSeekOrigin::soCurrent);
        if (left < size)
            break;
    }
}

int GIFColorBits(int count)
{
    if (count <= 0)
        return 0;
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

TGIFColor TGIFColorMap::Lookup(int index, TGIFEventSink* sink, const void* sender) const
{
    if (count_ == 0)
        throw GIFException(gif_text::kColorTableEmpty);
    if (index < 0 || index >= count_) {
        if (sink)
            sink->Warning(sender, 1, gif_text::kInvalidColorIndex);
        return entries_[0];
    }
    return entries_[index];
}

void TGIFColorMap::SetEntry(int index, TGIFColor color)
{
    if (index < 0 || index >= count_)
        throw GIFException(gif_text::kInvalidColorIndex);
    entries_[index] = color;
}

int TGIFColorMap::Add(TGIFColor color)
{
    if (count_ >= kMaxColors)
        throw GIFException(gif_text::kColorTableOverflow);
    entries_[count_] = color;
    Sorted = false;
    return count_++;
}

int TGIFColorMap::AddUnique(TGIFColor color)
{
    const int found = IndexOf(color);
    return found >= 0 ? found : Add(color);
}

void TGIFColorMap::Delete(int index)
{
    if (index < 0 || index >= count_)
        throw GIFException(gif_text::kInvalidColorIndex);
    std::copy(entries_.begin() + index + 1, entries_.begin() + count_, entries_.begin() + index);
    --count_;
    entries_[count_] = {};
}

int TGIFColorMap::IndexOf(TGIFColor color) const
{
    if (Sorted) {
        for (int i = 0; i < count_; ++i)
            if (entries_[i] == color)
                return i;
        return -1;
    }
    for (int i = count_ - 1; i >= 0; --i)
        if (entries_[i] == color)
            return i;
    return -1;
}

void TGIFColorMap::Clear()
{
    entries_.fill({});
    count_ = 0;
    Sorted = false;
}

void TGIFColorMap::Reorder(const int* order, int count)
{
    count = std::clamp(count, 0, count_);
    std::array<TGIFColor, kMaxColors> reordered{};
    for (int i = 0; i < count; ++i)
        reordered[i] = entries_[std::clamp(order[i], 0, count_ - 1)];
    entries_ = reordered;
    count_ = count;
}

void TGIFColorMap::LoadFromStream(TStream& stream, int count)
{
    Clear();
    count = std::clamp(count, 0, kMaxColors);
    uint8_t bytes[kMaxColors * 3];
    ReadGIFBytes(stream, bytes, static_cast<size_t>(count) * 3);
    for (int i = 0; i < count; ++i)
        entries_[i] = {bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]};
    count_ = count;
}

void TGIFColorMap::SaveToStream(TStream& stream) const
{
    const int written = count_ == 0 ? 0 : 1 << Bits();
    uint8_t bytes[kMaxColors * 3] = {};
    for (int i = 0; i < count_; ++i) {
        bytes[i * 3] = entries_[i].Red;
        bytes[i * 3 + 1] = entries_[i].Green;
        bytes[i * 3 + 2] = entries_[i].Blue;
    }
    stream.WriteBuffer(bytes, static_cast<size_t>(written) * 3);
}

bool TGIFColorMap::operator==(const TGIFColorMap& other) const
{
    return count_ == other.count_ && Sorted == other.Sorted &&
           std::equal(entries_.begin(), entries_.begin() + count_, other.entries_.begin());
}

const std::array<TGIFColor, 216>& GIFWebPalette()
{
    static const std::array<TGIFColor, 216> palette = [] {
        std::array<TGIFColor, 216> colors{};
        int i = 0;
        for (int red = 0; red < 6; ++red)
            for (int green = 0; green < 6; ++green)
                for (int blue = 0; blue < 6; ++blue)
                    colors[i++] = {static_cast<uint8_t>(red * 51), static_cast<uint8_t>(green * 51),
                                   static_cast<uint8_t>(blue * 51)};
        return colors;
    }();
    return palette;
}

}  // namespace qrv

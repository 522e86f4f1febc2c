#include "imaging/AniCursorFile.h"

#include <algorithm>
#include <cstring>

namespace qrv {

namespace {

constexpr size_t kChunkHeader = 8;
constexpr size_t kAniHeaderSize = 36;
constexpr size_t kIconDirectory = 6;
constexpr size_t kIconEntry = 16;

[[noreturn]] void Refuse()
{
    throw EAniFormat(kAniFormatError);
}

bool IsId(std::span<const uint8_t> bytes, size_t at, const char* id)
{
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, id, 4) == 0;
}

// How much the four bytes at `at` look like a chunk identifier: 2 for one this
// format uses, 1 for letters, digits and trailing spaces, 0 otherwise.
int IdentifierScore(std::span<const uint8_t> bytes, size_t at, size_t end)
{
    if (at + 4 > end)
        return 0;
    for (const char* known : {"anih", "rate", "seq ", "LIST", "icon", "INAM", "IART", "ICOP", "ICMT", "fram"})
        if (IsId(bytes, at, known))
            return 2;
    bool space = false;
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t c = bytes[at + i];
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (c == ' ' && i > 0)
            space = true;
        else if (!alnum || space)
            return 0;
    }
    return 1;
}

// Where the chunk after one whose data ends at dataEnd begins. Chunks of odd
// size are followed by a pad byte; writers that leave it out are recognised
// by an identifier right after the data where the padded position has none.
size_t NextChunk(std::span<const uint8_t> bytes, size_t dataEnd, size_t size, size_t end)
{
    if (size % 2 == 0 || dataEnd >= end)
        return dataEnd;
    const size_t padded = dataEnd + 1;
    if (padded >= end)
        return end;
    return IdentifierScore(bytes, dataEnd, end) > IdentifierScore(bytes, padded, end) ? dataEnd : padded;
}

// Walks the chunks of [begin, end), calling visit(id position, data begin, data size).
template <typename TVisit>
void WalkChunks(std::span<const uint8_t> bytes, size_t begin, size_t end, TVisit visit)
{
    size_t at = begin;
    while (at < end) {
        if (end - at < kChunkHeader) {
            if (end - at == 1)
                return;  // a pad byte closing the container
            Refuse();
        }
        const size_t size = static_cast<size_t>(bytes[at + 4]) | (static_cast<size_t>(bytes[at + 5]) << 8) |
                            (static_cast<size_t>(bytes[at + 6]) << 16) | (static_cast<size_t>(bytes[at + 7]) << 24);
        const size_t data = at + kChunkHeader;
        if (size > end - data)
            Refuse();
        visit(at, data, size);
        at = NextChunk(bytes, data + size, size, end);
    }
}

}  // namespace

uint32_t TAniCursorFile::Read32(size_t at) const
{
    return static_cast<uint32_t>(bytes_[at]) | (static_cast<uint32_t>(bytes_[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes_[at + 2]) << 16) | (static_cast<uint32_t>(bytes_[at + 3]) << 24);
}

TAniCursorFile::TAniCursorFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes))
{
    if (bytes_.size() < 12 || !IsId(bytes_, 0, "RIFF") || !IsId(bytes_, 8, "ACON"))
        Refuse();
    const size_t riffSize = Read32(4);
    if (riffSize > bytes_.size() || riffSize < 4)
        Refuse();
    // Bytes behind the RIFF chunk are not part of the cursor.
    const size_t end = std::min(bytes_.size(), kChunkHeader + riffSize);
    WalkChunks(bytes_, 12, end, [this](size_t id, size_t data, size_t size) {
        if (IsId(bytes_, id, "anih")) {
            if (size != kAniHeaderSize)
                Refuse();
            uint32_t* fields[] = {&header_.HeaderSize, &header_.FrameCount,  &header_.StepCount,
                                  &header_.Width,      &header_.Height,      &header_.BitCount,
                                  &header_.Planes,     &header_.DisplayRate, &header_.Flags};
            for (size_t i = 0; i < std::size(fields); ++i)
                *fields[i] = Read32(data + i * 4);
            hasHeader_ = true;
        } else if (IsId(bytes_, id, "rate")) {
            rates_ = ReadValues(data, size);
        } else if (IsId(bytes_, id, "seq ")) {
            sequence_ = ReadValues(data, size);
        } else if (IsId(bytes_, id, "LIST")) {
            if (size < 4)
                Refuse();
            if (IsId(bytes_, data, "INFO"))
                ParseInfo(data + 4, data + size);
            else if (IsId(bytes_, data, "fram"))
                ParseFrames(data + 4, data + size);
        }
    });
    // Icons beyond the header's frame count are not played.
    if (!hasHeader_ || header_.FrameCount == 0 || frames_.size() < header_.FrameCount)
        Refuse();
    frames_.resize(header_.FrameCount);
    const size_t steps = StepCount();
    if ((!rates_.empty() && rates_.size() != steps) || (!sequence_.empty() && sequence_.size() != steps))
        Refuse();
}

size_t TAniCursorFile::StepCount() const
{
    return header_.StepCount != 0 ? header_.StepCount : frames_.size();
}

std::vector<uint32_t> TAniCursorFile::ReadValues(size_t begin, size_t size) const
{
    if (size % 4 != 0)
        Refuse();
    std::vector<uint32_t> values;
    for (size_t at = begin; at < begin + size; at += 4)
        values.push_back(Read32(at));
    return values;
}

void TAniCursorFile::ParseInfo(size_t begin, size_t end)
{
    WalkChunks(bytes_, begin, end, [this](size_t id, size_t data, size_t size) {
        const auto text = [&] {
            const auto first = bytes_.begin() + static_cast<ptrdiff_t>(data);
            return std::string(first, std::find(first, first + static_cast<ptrdiff_t>(size), 0));
        };
        if (IsId(bytes_, id, "INAM"))
            title_ = text();
        else if (IsId(bytes_, id, "IART"))
            author_ = text();
    });
}

void TAniCursorFile::ParseFrames(size_t begin, size_t end)
{
    WalkChunks(bytes_, begin, end, [this](size_t id, size_t data, size_t size) {
        if (!IsId(bytes_, id, "icon"))
            Refuse();
        ParseIcon(data, size);
    });
}

void TAniCursorFile::ParseIcon(size_t begin, size_t size)
{
    if (size < kIconDirectory + kIconEntry)
        Refuse();
    const unsigned reserved = bytes_[begin] | (bytes_[begin + 1] << 8);
    const unsigned type = bytes_[begin + 2] | (bytes_[begin + 3] << 8);
    const size_t count = bytes_[begin + 4] | (bytes_[begin + 5] << 8);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0 || count > (size - kIconDirectory) / kIconEntry)
        Refuse();
    const size_t entry = begin + kIconDirectory;
    const size_t imageSize = Read32(entry + 8);
    const size_t imageOffset = Read32(entry + 12);
    const size_t directoryEnd = kIconDirectory + count * kIconEntry;
    if (imageOffset < directoryEnd || imageOffset > size || imageSize == 0 || imageSize > size - imageOffset)
        Refuse();
    TAniFrame frame;
    frame.Icon = {begin, size};
    frame.Image = {begin + imageOffset, imageSize};
    frame.Width = bytes_[entry] != 0 ? bytes_[entry] : 256;
    frame.Height = bytes_[entry + 1] != 0 ? bytes_[entry + 1] : 256;
    frames_.push_back(frame);
}

std::span<const uint8_t> TAniCursorFile::FrameImage(size_t index) const
{
    const TByteRange& range = frames_.at(index).Image;
    return std::span<const uint8_t>(bytes_).subspan(range.Offset, range.Size);
}

std::span<const uint8_t> TAniCursorFile::FrameIcon(size_t index) const
{
    const TByteRange& range = frames_.at(index).Icon;
    return std::span<const uint8_t>(bytes_).subspan(range.Offset, range.Size);
}

}  // namespace qrv

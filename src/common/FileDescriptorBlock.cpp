#include "common/FileDescriptorBlock.h"

namespace qrv {

namespace {

constexpr size_t kAttributesAt = 36;
constexpr size_t kCreationAt = 40;
constexpr size_t kAccessAt = 48;
constexpr size_t kWriteAt = 56;
constexpr size_t kSizeHighAt = 64;
constexpr size_t kSizeLowAt = 68;
constexpr size_t kNameAt = 72;

uint32_t ReadWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t ReadQuad(const uint8_t* p)
{
    return ReadWord(p) | (static_cast<uint64_t>(ReadWord(p + 4)) << 32);
}

void PutWord(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void PutQuad(uint8_t* p, uint64_t value)
{
    PutWord(p, static_cast<uint32_t>(value));
    PutWord(p + 4, static_cast<uint32_t>(value >> 32));
}

std::optional<std::wstring> ReadName(const uint8_t* Field, bool Wide, const TAnsiNameDecoder& DecodeAnsi)
{
    if (Wide) {
        std::wstring name;
        for (size_t i = 0; i < kFileDescriptorNameChars; ++i) {
            const wchar_t unit = static_cast<wchar_t>(Field[2 * i] | (Field[2 * i + 1] << 8));
            if (unit == 0) {
                return name;
            }
            name.push_back(unit);
        }
        return std::nullopt;
    }
    for (size_t i = 0; i < kFileDescriptorNameChars; ++i) {
        if (Field[i] == 0) {
            const std::string_view raw(reinterpret_cast<const char*>(Field), i);
            if (DecodeAnsi) {
                return DecodeAnsi(raw);
            }
            std::wstring name;
            for (const char c : raw) {
                name.push_back(static_cast<unsigned char>(c));  // Latin-1
            }
            return name;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<TFileDescriptorEntry>> ParseFileGroupDescriptor(const uint8_t* Data, size_t Size, bool Wide,
                                                                          const TAnsiNameDecoder& DecodeAnsi)
{
    if (Data == nullptr || Size < 4) {
        return std::nullopt;
    }
    const size_t recordSize = FileDescriptorSize(Wide);
    const uint64_t count = ReadWord(Data);
    if ((Size - 4) / recordSize < count) {
        return std::nullopt;
    }
    std::vector<TFileDescriptorEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* record = Data + 4 + i * recordSize;
        TFileDescriptorEntry entry;
        entry.Flags = ReadWord(record);
        entry.Attributes = ReadWord(record + kAttributesAt);
        entry.CreationTime = ReadQuad(record + kCreationAt);
        entry.LastAccessTime = ReadQuad(record + kAccessAt);
        entry.LastWriteTime = ReadQuad(record + kWriteAt);
        entry.FileSize = (static_cast<uint64_t>(ReadWord(record + kSizeHighAt)) << 32) | ReadWord(record + kSizeLowAt);
        std::optional<std::wstring> name = ReadName(record + kNameAt, Wide, DecodeAnsi);
        if (!name) {
            return std::nullopt;
        }
        entry.Name = std::move(*name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<uint8_t> BuildFileGroupDescriptor(const std::vector<TFileDescriptorEntry>& Entries, bool Wide,
                                              const TAnsiNameEncoder& EncodeAnsi)
{
    const size_t recordSize = FileDescriptorSize(Wide);
    std::vector<uint8_t> block(4 + recordSize * Entries.size(), 0);
    PutWord(block.data(), static_cast<uint32_t>(Entries.size()));
    for (size_t i = 0; i < Entries.size(); ++i) {
        const TFileDescriptorEntry& entry = Entries[i];
        uint8_t* record = block.data() + 4 + i * recordSize;
        PutWord(record, entry.Flags);
        PutWord(record + kAttributesAt, entry.Attributes);
        PutQuad(record + kCreationAt, entry.CreationTime);
        PutQuad(record + kAccessAt, entry.LastAccessTime);
        PutQuad(record + kWriteAt, entry.LastWriteTime);
        PutWord(record + kSizeHighAt, static_cast<uint32_t>(entry.FileSize >> 32));
        PutWord(record + kSizeLowAt, static_cast<uint32_t>(entry.FileSize));
        uint8_t* field = record + kNameAt;
        const size_t room = kFileDescriptorNameChars - 1;  // the terminator stays
        if (Wide) {
            for (size_t c = 0; c < entry.Name.size() && c < room; ++c) {
                field[2 * c] = static_cast<uint8_t>(entry.Name[c] & 0xFF);
                field[2 * c + 1] = static_cast<uint8_t>((entry.Name[c] >> 8) & 0xFF);
            }
        } else {
            std::string raw;
            if (EncodeAnsi) {
                raw = EncodeAnsi(entry.Name);
            } else {
                for (const wchar_t c : entry.Name) {
                    raw.push_back(static_cast<char>(c & 0xFF));
                }
            }
            for (size_t c = 0; c < raw.size() && c < room && raw[c] != 0; ++c) {
                field[c] = static_cast<uint8_t>(raw[c]);
            }
        }
    }
    return block;
}

}  // namespace qrv

#include "mainwindow/SplitPartHeader.h"

#include "common/SafeExtractPath.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace qrv {

namespace {

constexpr char kMagic[] = "quorvan32SPT";
constexpr size_t kMagicLength = sizeof kMagic - 1;
constexpr size_t kFirstMagic = 0;
constexpr size_t kSecondMagic = 308;
constexpr size_t kStartAt = 16;
constexpr size_t kEndAt = 20;
constexpr size_t kNumberAt = 24;
constexpr size_t kNameAt = 28;
constexpr size_t kCreatedAt = 284;
constexpr size_t kWrittenAt = 292;
constexpr size_t kAttributesAt = 300;
constexpr size_t kCountAt = 304;
constexpr std::wstring_view kPartExtension = L".split";

template <typename T>
void Put(TSplitHeaderBytes& Bytes, size_t At, T Value)
{
    for (size_t i = 0; i < sizeof(T); ++i)
        Bytes[At + i] = static_cast<uint8_t>(static_cast<uint64_t>(Value) >> (8 * i));
}

template <typename T>
T Get(std::span<const uint8_t> Bytes, size_t At)
{
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<uint64_t>(Bytes[At + i]) << (8 * i);
    return static_cast<T>(value);
}

void PutMagic(TSplitHeaderBytes& Bytes, size_t At)
{
    Bytes[At] = static_cast<uint8_t>(kMagicLength);
    std::memcpy(&Bytes[At + 1], kMagic, kMagicLength);
}

bool HasMagic(std::span<const uint8_t> Bytes, size_t At)
{
    return Bytes[At] == kMagicLength && std::memcmp(&Bytes[At + 1], kMagic, kMagicLength) == 0;
}

}  // namespace

TSplitHeaderBytes EncodeSplitHeader(const TSplitHeader& Header)
{
    TSplitHeaderBytes bytes{};
    PutMagic(bytes, kFirstMagic);
    Put(bytes, kStartAt, Header.Start);
    Put(bytes, kEndAt, Header.End);
    Put(bytes, kNumberAt, Header.Number);
    const size_t nameLength = std::min(Header.Name.size(), kSplitLongestName);
    bytes[kNameAt] = static_cast<uint8_t>(nameLength);
    std::memcpy(&bytes[kNameAt + 1], Header.Name.data(), nameLength);
    Put(bytes, kCreatedAt, Header.Created);
    Put(bytes, kWrittenAt, Header.Written);
    Put(bytes, kAttributesAt, Header.Attributes);
    Put(bytes, kCountAt, Header.Count);
    PutMagic(bytes, kSecondMagic);
    return bytes;
}

std::optional<TSplitHeader> DecodeSplitHeader(std::span<const uint8_t> Bytes)
{
    if (Bytes.size() < kSplitHeaderSize || !HasMagic(Bytes, kFirstMagic) || !HasMagic(Bytes, kSecondMagic))
        return std::nullopt;
    TSplitHeader header;
    header.Start = Get<uint32_t>(Bytes, kStartAt);
    header.End = Get<uint32_t>(Bytes, kEndAt);
    header.Number = Get<uint32_t>(Bytes, kNumberAt);
    const size_t nameLength = Bytes[kNameAt];
    header.Name.assign(reinterpret_cast<const char*>(&Bytes[kNameAt + 1]), nameLength);
    header.Created = Get<uint64_t>(Bytes, kCreatedAt);
    header.Written = Get<uint64_t>(Bytes, kWrittenAt);
    header.Attributes = Get<uint32_t>(Bytes, kAttributesAt);
    header.Count = Get<uint32_t>(Bytes, kCountAt);
    return header;
}

std::wstring SplitPartName(std::wstring_view Original, uint32_t Number)
{
    std::wstring digits = std::to_wstring(Number);
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), L'0');
    std::wstring name(Original);
    name += L'(';
    name += digits;
    name += L')';
    name += kPartExtension;
    return name;
}

std::optional<TSplitPartNameParts> ParseSplitPartName(std::wstring_view FileName)
{
    if (FileName.size() < kPartExtension.size() + 5 ||
        !SameText(FileName.substr(FileName.size() - kPartExtension.size()), kPartExtension))
        return std::nullopt;
    std::wstring_view rest = FileName.substr(0, FileName.size() - kPartExtension.size());
    if (rest.back() != L')')
        return std::nullopt;
    rest.remove_suffix(1);
    size_t digits = 0;
    while (digits < rest.size() && rest[rest.size() - 1 - digits] >= L'0' && rest[rest.size() - 1 - digits] <= L'9')
        ++digits;
    if (digits < 3 || digits + 1 >= rest.size() || rest[rest.size() - 1 - digits] != L'(')
        return std::nullopt;
    uint64_t number = 0;
    for (const wchar_t ch : rest.substr(rest.size() - digits)) {
        number = number * 10 + static_cast<uint64_t>(ch - L'0');
        if (number > 0xFFFFFFFFu)
            return std::nullopt;
    }
    if (number == 0)
        return std::nullopt;
    return TSplitPartNameParts{std::wstring(rest.substr(0, rest.size() - digits - 1)), static_cast<uint32_t>(number)};
}

uint64_t SplitDataSize(uint64_t PartSize)
{
    return PartSize > kSplitPartOverhead ? PartSize - kSplitPartOverhead : 0;
}

uint32_t SplitCopyBlock(uint64_t DataSize)
{
    return static_cast<uint32_t>(std::min<uint64_t>(DataSize, kSplitCopyBlock));
}

uint64_t SplitProgressSteps(uint64_t FileSize, uint64_t PartSize)
{
    const uint64_t block = std::min<uint64_t>(kSplitCopyBlock, PartSize);
    return (block ? FileSize / block : 0) + 1;
}

bool IsJoinablePart(const TSplitHeader& Header, std::wstring_view DecodedName, std::wstring_view FileName,
                    uint64_t FileSize)
{
    if (Header.Start >= Header.End || FileSize != kSplitHeaderSize + uint64_t{Header.End - Header.Start})
        return false;
    if (Header.Number == 0 || (Header.Count != 0 && Header.Count != Header.Number))
        return false;
    if (!IsSafeNameLevel(DecodedName))
        return false;
    const std::optional<TSplitPartNameParts> found = ParseSplitPartName(FileName);
    return found && found->Number == Header.Number && SameText(found->Original, DecodedName);
}

}  // namespace qrv

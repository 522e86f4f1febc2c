#include "common/DropFilesBlock.h"

#include "framework/SysUtils.h"

namespace qrv {

namespace {

uint32_t ReadWord(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void AppendWord(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

std::wstring LatinOne(std::string_view raw)
{
    std::wstring name;
    for (const char c : raw) {
        name.push_back(static_cast<unsigned char>(c));
    }
    return name;
}

}  // namespace

// NUL-terminated names from Offset up to an empty one, all inside the block.
static std::optional<std::vector<std::wstring>> ParseNameList(const uint8_t* Data, size_t Size, size_t Offset,
                                                              bool Wide, const TAnsiNameDecoder& DecodeAnsi)
{
    if (Data == nullptr || Offset >= Size) {
        return std::nullopt;
    }
    std::vector<std::wstring> names;
    size_t pos = Offset;
    if (Wide) {
        const size_t units = (Size - Offset) / 2;
        const size_t end = Offset + units * 2;
        std::wstring name;
        while (pos < end) {
            const wchar_t unit = static_cast<wchar_t>(Data[pos] | (Data[pos + 1] << 8));
            pos += 2;
            if (unit != 0) {
                name.push_back(unit);
            } else if (name.empty()) {
                return names;  // the closing NUL
            } else {
                names.push_back(std::move(name));
                name.clear();
            }
        }
        return std::nullopt;
    }
    size_t start = pos;
    while (pos < Size) {
        if (Data[pos] == 0) {
            if (pos == start) {
                return names;
            }
            const std::string_view raw(reinterpret_cast<const char*>(Data + start), pos - start);
            names.push_back(DecodeAnsi ? DecodeAnsi(raw) : LatinOne(raw));
            start = pos + 1;
        }
        ++pos;
    }
    return std::nullopt;
}

std::optional<std::vector<std::wstring>> ParseDropFiles(const uint8_t* Data, size_t Size,
                                                        const TAnsiNameDecoder& DecodeAnsi)
{
    if (Data == nullptr || Size < kDropFilesHeaderSize) {
        return std::nullopt;
    }
    const size_t offset = ReadWord(Data);
    const bool wide = ReadWord(Data + 16) != 0;
    if (offset < kDropFilesHeaderSize) {
        return std::nullopt;
    }
    return ParseNameList(Data, Size, offset, wide, DecodeAnsi);
}

std::optional<std::vector<std::wstring>> ParseFileNameMap(const uint8_t* Data, size_t Size, bool Wide,
                                                          const TAnsiNameDecoder& DecodeAnsi)
{
    return ParseNameList(Data, Size, 0, Wide, DecodeAnsi);
}

namespace {

void AppendWideName(std::vector<uint8_t>& block, const std::wstring& name)
{
    if (name.empty() || name.find(L'\0') != std::wstring::npos) {
        throw EInvalidOperation(L"Ungültiger Dateiname für die Zwischenablage");
    }
    for (const wchar_t unit : name) {
        block.push_back(static_cast<uint8_t>(unit & 0xFF));
        block.push_back(static_cast<uint8_t>((unit >> 8) & 0xFF));
    }
    block.push_back(0);
    block.push_back(0);
}

}  // namespace

std::vector<uint8_t> BuildDropFiles(const std::vector<std::wstring>& Names)
{
    std::vector<uint8_t> block;
    AppendWord(block, static_cast<uint32_t>(kDropFilesHeaderSize));  // names follow the header
    AppendWord(block, 0);                                            // drop point x
    AppendWord(block, 0);                                            // drop point y
    AppendWord(block, 0);                                            // not in the non-client area
    AppendWord(block, 1);                                            // wide names
    for (const std::wstring& name : Names) {
        AppendWideName(block, name);
    }
    block.push_back(0);
    block.push_back(0);
    return block;
}

std::vector<std::wstring> MappedNamesFor(size_t FileCount, std::vector<std::wstring> Map)
{
    Map.resize(FileCount);
    return Map;
}

std::vector<uint8_t> BuildFileNameMapW(const std::vector<std::wstring>& Names)
{
    std::vector<uint8_t> block;
    for (const std::wstring& name : Names) {
        AppendWideName(block, name);
    }
    block.push_back(0);
    block.push_back(0);
    return block;
}

std::optional<uint32_t> ParsePreferredDropEffect(const uint8_t* Data, size_t Size)
{
    if (Data == nullptr || Size < 4) {
        return std::nullopt;
    }
    return ReadWord(Data);
}

std::vector<uint8_t> BuildPreferredDropEffect(uint32_t Effect)
{
    std::vector<uint8_t> out;
    AppendWord(out, Effect);
    return out;
}

TDropEffect PasteEffect(std::optional<uint32_t> PreferredEffect)
{
    if (PreferredEffect && (*PreferredEffect & deMove) != 0 && (*PreferredEffect & deCopy) == 0) {
        return deMove;
    }
    return deCopy;
}

}  // namespace qrv

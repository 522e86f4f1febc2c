#include "external/ZipFormat.h"

#include "common/OemCodePage.h"
#include "framework/SysUtils.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace qrv::external {

uint16_t Get16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Get32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Get64(const unsigned char* p)
{
    return static_cast<uint64_t>(Get32(p)) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

void Put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put64(std::string& out, uint64_t v)
{
    Put32(out, static_cast<uint32_t>(v));
    Put32(out, static_cast<uint32_t>(v >> 32));
}

uint32_t Crc32(uint32_t Crc, const void* Data, size_t Count)
{
    const auto* p = static_cast<const Bytef*>(Data);
    while (Count > 0) {
        const auto chunk = static_cast<uInt>(std::min<size_t>(Count, 1u << 30));
        Crc = static_cast<uint32_t>(crc32(Crc, p, chunk));
        p += chunk;
        Count -= chunk;
    }
    return Crc;
}

namespace {

constexpr size_t kEndRecordSize = 22;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;

const unsigned char* U(const std::string& s, size_t at = 0)
{
    return reinterpret_cast<const unsigned char*>(s.data()) + at;
}

// Replaces the fields that hold 0xFFFF... by the values of the ZIP64 extra
// field (id 1), in its fixed order.
void ApplyZip64Extra(TZipEntryInfo& e, uint32_t rawSize, uint32_t rawCompressed, uint32_t rawOffset)
{
    size_t pos = 0;
    while (pos + 4 <= e.Extra.size()) {
        const uint16_t id = Get16(U(e.Extra, pos));
        const uint16_t len = Get16(U(e.Extra, pos + 2));
        if (pos + 4 + len > e.Extra.size())
            break;
        if (id == 1) {
            size_t at = pos + 4;
            const size_t end = at + len;
            auto take = [&](uint64_t& field) {
                if (at + 8 > end)
                    throw EZipFormat("damaged ZIP64 field");
                field = Get64(U(e.Extra, at));
                at += 8;
            };
            if (rawSize == kMax32)
                take(e.Size);
            if (rawCompressed == kMax32)
                take(e.CompressedSize);
            if (rawOffset == kMax32)
                take(e.LocalOffset);
            return;
        }
        pos += 4 + len;
    }
    if (rawSize == kMax32 || rawCompressed == kMax32 || rawOffset == kMax32)
        throw EZipFormat("ZIP64 field missing");
}

}  // namespace

TZipDirectory ReadZipDirectory(TByteSource& Source)
{
    const uint64_t size = Source.Size();
    if (size < kEndRecordSize)
        throw EZipFormat("no end record");
    const size_t tailSize = static_cast<size_t>(std::min<uint64_t>(size, kEndRecordSize + kMaxCommentSize));
    const uint64_t tailStart = size - tailSize;
    const std::string tail = Source.ReadString(tailStart, tailSize);

    // The end record: searched backwards, its comment must fit the file.
    size_t endAt = std::string::npos;
    for (size_t i = tailSize - kEndRecordSize + 1; i-- > 0;) {
        if (Get32(U(tail, i)) == kEndRecordSig) {
            const size_t commentLength = Get16(U(tail, i + 20));
            if (i + kEndRecordSize + commentLength <= tailSize) {
                endAt = i;
                break;
            }
        }
    }
    if (endAt == std::string::npos)
        throw EZipFormat("no end record");

    TZipDirectory dir;
    const unsigned char* end = U(tail, endAt);
    const uint64_t endPos = tailStart + endAt;
    if (Get16(end + 4) != 0 || Get16(end + 6) != 0)
        throw EZipFormat("archive spans several disks");
    uint64_t entryCount = Get16(end + 10);
    uint64_t cdSize = Get32(end + 12);
    uint64_t cdOffset = Get32(end + 16);
    dir.Comment = tail.substr(endAt + kEndRecordSize, Get16(end + 20));
    uint64_t cdEnd = endPos;  // the central directory ends where the end records begin

    // ZIP64: a locator right before the end record points to the real values.
    if (endPos >= 20) {
        unsigned char loc[20];
        Source.ReadAt(endPos - 20, loc, sizeof loc);
        if (Get32(loc) == kZip64LocatorSig) {
            const uint64_t storedZip64End = Get64(loc + 8);
            // The ZIP64 end record sits right before the locator unless the
            // archive is damaged; its stored position tells the stub shift.
            if (endPos < 20 + 56)
                throw EZipFormat("damaged ZIP64 end record");
            const uint64_t zip64EndPos = endPos - 20 - 56;
            unsigned char rec[56];
            Source.ReadAt(zip64EndPos, rec, sizeof rec);
            if (Get32(rec) != kZip64EndRecordSig)
                throw EZipFormat("damaged ZIP64 end record");
            entryCount = Get64(rec + 32);
            cdSize = Get64(rec + 40);
            cdOffset = Get64(rec + 48);
            cdEnd = zip64EndPos;
            (void)storedZip64End;
        }
    }

    if (cdSize > cdEnd)
        throw EZipFormat("central directory larger than the archive");
    const uint64_t cdStart = cdEnd - cdSize;
    if (cdStart < cdOffset)
        throw EZipFormat("central directory offset beyond its place");
    dir.Shift = cdStart - cdOffset;
    // Each entry takes at least 46 bytes: a count beyond that is damage.
    if (entryCount > cdSize / kCentralHeaderSize)
        throw EZipFormat("entry count larger than the central directory");

    dir.Entries.reserve(static_cast<size_t>(entryCount));
    uint64_t pos = cdStart;
    for (uint64_t n = 0; n < entryCount; ++n) {
        if (pos + kCentralHeaderSize > cdEnd)
            throw EZipFormat("central directory truncated");
        unsigned char h[kCentralHeaderSize];
        Source.ReadAt(pos, h, sizeof h);
        if (Get32(h) != kCentralHeaderSig)
            throw EZipFormat("bad central header signature");
        TZipEntryInfo e;
        e.VersionMadeBy = Get16(h + 4);
        e.VersionNeeded = Get16(h + 6);
        e.Flags = Get16(h + 8);
        e.Method = Get16(h + 10);
        e.DosTime = Get32(h + 12);
        e.Crc = Get32(h + 16);
        const uint32_t rawCompressed = Get32(h + 20);
        const uint32_t rawSize = Get32(h + 24);
        const size_t nameLength = Get16(h + 28);
        const size_t extraLength = Get16(h + 30);
        const size_t commentLength = Get16(h + 32);
        e.InternalAttr = Get16(h + 36);
        e.ExternalAttr = Get32(h + 38);
        const uint32_t rawOffset = Get32(h + 42);
        e.CompressedSize = rawCompressed;
        e.Size = rawSize;
        e.LocalOffset = rawOffset;
        pos += kCentralHeaderSize;
        if (pos + nameLength + extraLength + commentLength > cdEnd)
            throw EZipFormat("central directory truncated");
        e.Name = Source.ReadString(pos, nameLength);
        e.Extra = Source.ReadString(pos + nameLength, extraLength);
        e.Comment = Source.ReadString(pos + nameLength + extraLength, commentLength);
        pos += nameLength + extraLength + commentLength;
        ApplyZip64Extra(e, rawSize, rawCompressed, rawOffset);
        e.LocalOffset += dir.Shift;
        if (e.LocalOffset >= cdStart)
            throw EZipFormat("local header beyond the central directory");
        dir.Entries.push_back(std::move(e));
    }
    return dir;
}

uint64_t ZipDataOffset(TByteSource& Source, const TZipEntryInfo& Entry)
{
    unsigned char h[kLocalHeaderSize];
    Source.ReadAt(Entry.LocalOffset, h, sizeof h);
    if (Get32(h) != kLocalHeaderSig)
        throw EZipFormat("bad local header signature");
    const uint64_t data = Entry.LocalOffset + kLocalHeaderSize + Get16(h + 26) + Get16(h + 28);
    if (data > Source.Size() || Entry.CompressedSize > Source.Size() - data)
        throw EZipFormat("entry data beyond the end of the archive");
    return data;
}

TZipCrypto::TZipCrypto(std::string_view Password) : keys_{0x12345678u, 0x23456789u, 0x34567890u}
{
    for (const char c : Password)
        Update(static_cast<uint8_t>(c));
}

uint8_t TZipCrypto::KeyStream() const
{
    const uint32_t t = (keys_[2] | 2) & 0xFFFF;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

void TZipCrypto::Update(uint8_t Plain)
{
    static const z_crc_t* table = get_crc_table();
    keys_[0] = table[(keys_[0] ^ Plain) & 0xFF] ^ (keys_[0] >> 8);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = table[(keys_[2] ^ (keys_[1] >> 24)) & 0xFF] ^ (keys_[2] >> 8);
}

void TZipCrypto::Decrypt(unsigned char* Data, size_t Count)
{
    for (size_t i = 0; i < Count; ++i) {
        Data[i] = static_cast<unsigned char>(Data[i] ^ KeyStream());
        Update(Data[i]);
    }
}

void TZipCrypto::Encrypt(unsigned char* Data, size_t Count)
{
    for (size_t i = 0; i < Count; ++i) {
        const uint8_t plain = Data[i];
        Data[i] = static_cast<unsigned char>(plain ^ KeyStream());
        Update(plain);
    }
}

uint8_t TZipCrypto::CheckByte(const TZipEntryInfo& Entry)
{
    // With a data descriptor the CRC is not known when the header is written:
    // the high byte of the time stands in for it.
    if (Entry.Flags & kFlagDataDescriptor)
        return static_cast<uint8_t>((Entry.DosTime >> 8) & 0xFF);
    return static_cast<uint8_t>(Entry.Crc >> 24);
}

uint32_t TimeToDosTime(int64_t UnixTime)
{
    std::time_t t = static_cast<std::time_t>(UnixTime);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0)
        return 0;
#else
    if (!localtime_r(&t, &local))
        return 0;
#endif
    int year = local.tm_year + 1900;
    if (year < 1980)
        return (1u << 21) | (1u << 16);  // 1980-01-01
    if (year > 2107)
        year = 2107;
    return (static_cast<uint32_t>(year - 1980) << 25) | (static_cast<uint32_t>(local.tm_mon + 1) << 21) |
           (static_cast<uint32_t>(local.tm_mday) << 16) | (static_cast<uint32_t>(local.tm_hour) << 11) |
           (static_cast<uint32_t>(local.tm_min) << 5) | (static_cast<uint32_t>(local.tm_sec) / 2);
}

int64_t DosTimeToTime(uint32_t DosTime)
{
    std::tm local{};
    local.tm_year = static_cast<int>((DosTime >> 25) & 0x7F) + 80;
    local.tm_mon = static_cast<int>((DosTime >> 21) & 0x0F) - 1;
    local.tm_mday = static_cast<int>((DosTime >> 16) & 0x1F);
    local.tm_hour = static_cast<int>((DosTime >> 11) & 0x1F);
    local.tm_min = static_cast<int>((DosTime >> 5) & 0x3F);
    local.tm_sec = static_cast<int>((DosTime & 0x1F) * 2);
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local));
}

namespace {

int64_t ToUnixTime(std::filesystem::file_time_type t)
{
    const auto sys = std::filesystem::file_time_type::clock::to_sys(t);
    return std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
}

}  // namespace

uint32_t FileDosTime(const std::filesystem::path& Path)
{
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(Path, ec);
    return ec ? 0 : TimeToDosTime(ToUnixTime(t));
}

void SetFileDosTime(const std::filesystem::path& Path, uint32_t DosTime)
{
    const int64_t unixTime = DosTimeToTime(DosTime);
    if (unixTime == -1)
        return;  // not a valid date: the file keeps the time of its writing
    const auto sys = std::chrono::system_clock::time_point(std::chrono::seconds(unixTime));
    std::error_code ec;
    std::filesystem::last_write_time(Path, std::filesystem::file_time_type::clock::from_sys(sys), ec);
}

TNameCodec TNameCodec::Portable()
{
    TNameCodec codec;
    codec.Decode = [](std::string_view bytes) {
        const std::u16string text = OemToUtf16(bytes, TOemCodePage::cp850);
        return std::wstring(text.begin(), text.end());
    };
    codec.Encode = [](std::wstring_view name) -> std::optional<std::string> {
        std::u16string text;
        for (const wchar_t c : name) {
            if ((static_cast<uint32_t>(c) >> 16) != 0)
                return std::nullopt;  // beyond UTF-16 units (32-bit wchar_t)
            text.push_back(static_cast<char16_t>(c));
        }
        return Utf16ToOem(text, TOemCodePage::cp850);
    };
    return codec;
}

std::wstring DecodeEntryName(const TZipEntryInfo& Entry, const TNameCodec& Codec)
{
    if (Entry.Flags & kFlagUtf8)
        return Utf8ToWide(Entry.Name);
    return Codec.Decode(Entry.Name);
}

namespace {

wchar_t Fold(wchar_t c)
{
    if (c == L'/')
        return L'\\';
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c - L'A' + L'a');
    return c;
}

}  // namespace

bool MatchesWildcard(std::wstring_view Name, std::wstring_view Pattern)
{
    // Iterative matching with one remembered star: linear backtracking.
    size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < Name.size()) {
        if (p < Pattern.size() && (Pattern[p] == L'?' || Fold(Pattern[p]) == Fold(Name[n]))) {
            ++n;
            ++p;
        } else if (p < Pattern.size() && Pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < Pattern.size() && Pattern[p] == L'*')
        ++p;
    return p == Pattern.size();
}

}  // namespace qrv::external

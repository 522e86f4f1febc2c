#pragma once
// The zip file format as both stand-in libraries read and write it: the
// little-endian records, the central directory reader (ZIP64 and archives
// with a stub in front included), CRC-32, the traditional ZipCrypto cipher,
// DOS times and the coding of entry names.

#include "external/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qrv::external {

constexpr uint32_t kLocalHeaderSig = 0x04034B50;
constexpr uint32_t kCentralHeaderSig = 0x02014B50;
constexpr uint32_t kEndRecordSig = 0x06054B50;
constexpr uint32_t kZip64EndRecordSig = 0x06064B50;
constexpr uint32_t kZip64LocatorSig = 0x07064B50;
constexpr uint32_t kDataDescriptorSig = 0x08074B50;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kFlagUtf8 = 0x0800;

constexpr uint16_t kMethodStore = 0;
constexpr uint16_t kMethodDeflate = 8;

// Beyond these the classic records cannot hold a value: ZIP64 is needed.
constexpr uint64_t kMax32 = 0xFFFFFFFFu;
constexpr uint64_t kMaxEntries16 = 0xFFFFu;

// The archive is damaged or not a zip archive; the text says where.
class EZipFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TZipEntryInfo {
    uint16_t VersionMadeBy = 0;
    uint16_t VersionNeeded = 0;
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint32_t DosTime = 0;  // date in the high 16 bits
    uint32_t Crc = 0;
    uint64_t CompressedSize = 0;
    uint64_t Size = 0;
    uint16_t InternalAttr = 0;
    uint32_t ExternalAttr = 0;
    uint64_t LocalOffset = 0;  // where the local header really is (stub shift applied)
    std::string Name;          // stored bytes
    std::string Extra;
    std::string Comment;

    bool Encrypted() const { return (Flags & kFlagEncrypted) != 0; }
    bool IsDirectory() const { return !Name.empty() && (Name.back() == '/' || Name.back() == '\\'); }
};

struct TZipDirectory {
    std::vector<TZipEntryInfo> Entries;
    std::string Comment;
    uint64_t Shift = 0;  // bytes in front of the archive (a self-extractor stub)
};

// Reads the central directory. Throws EZipFormat or ETruncated.
TZipDirectory ReadZipDirectory(TByteSource& Source);

// Where the entry's data begins (behind its local header); checks the local
// header. Throws EZipFormat or ETruncated.
uint64_t ZipDataOffset(TByteSource& Source, const TZipEntryInfo& Entry);

// Little-endian access.
uint16_t Get16(const unsigned char* p);
uint32_t Get32(const unsigned char* p);
uint64_t Get64(const unsigned char* p);
void Put16(std::string& out, uint32_t v);
void Put32(std::string& out, uint32_t v);
void Put64(std::string& out, uint64_t v);

uint32_t Crc32(uint32_t Crc, const void* Data, size_t Count);

// The traditional PKWARE cipher, one object per entry.
class TZipCrypto {
public:
    explicit TZipCrypto(std::string_view Password);
    void Decrypt(unsigned char* Data, size_t Count);
    void Encrypt(unsigned char* Data, size_t Count);
    // The byte the 12-byte header's last byte must equal for this entry.
    static uint8_t CheckByte(const TZipEntryInfo& Entry);

private:
    uint8_t KeyStream() const;
    void Update(uint8_t Plain);
    uint32_t keys_[3];
};
constexpr size_t kCryptHeaderSize = 12;

// DOS date-time (local time) of a file and back; 0 when it cannot be read.
uint32_t FileDosTime(const std::filesystem::path& Path);
uint32_t TimeToDosTime(int64_t UnixTime);
int64_t DosTimeToTime(uint32_t DosTime);
void SetFileDosTime(const std::filesystem::path& Path, uint32_t DosTime);

// How entry names without the UTF-8 flag are coded (the OEM code page).
struct TNameCodec {
    std::function<std::wstring(std::string_view)> Decode;
    // nullopt when the name does not fit the code page.
    std::function<std::optional<std::string>(std::wstring_view)> Encode;
    // Code page 850, the German system's OEM code page.
    static TNameCodec Portable();
};

std::wstring DecodeEntryName(const TZipEntryInfo& Entry, const TNameCodec& Codec);

// Wildcard match of a name against a pattern ("*", "?"), case-insensitive
// for ASCII, "/" and "\" equal.
bool MatchesWildcard(std::wstring_view Name, std::wstring_view Pattern);

}  // namespace qrv::external

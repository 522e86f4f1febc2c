#pragma once
// The ACE library's work behind its five entry points, over an archive
// format of our own with the ACE signature: stored entries with name, DOS
// time, sizes, CRC-32, attributes and flags, each header sealed by a CRC.
// Reports everything through the four callbacks of the record given to
// ACEInitDll; any answer 2 cancels. Extraction goes through
// SafeExtractPath. Portable; the library shim exports the functions.
//
// Layout (little-endian): "**ACE**", version (1 byte, 20), flags (2),
// comment length (2), comment, CRC-32 of all of that (4); per entry the
// header CRC-32 (4, over what follows up to the name's end), the size of
// the rest of the header (2), flags (2; bit 14 encrypted), method (1;
// 0 stored), DOS time (4), attributes (2), packed size (8), size (8),
// CRC-32 of the data (4), name length (2), name ("\" between levels), then
// the data; a header size of 0 ends the archive.

#include "external/ByteSource.h"
#include "external/UnAceApi.h"

#include <cstdint>
#include <string_view>

namespace qrv::external {

constexpr uint8_t kAceFormatVersion = 20;

int32_t AceInitDll(tACEGlobalDataStruc* Global) noexcept;
int32_t AceReadArchiveData(const char* Archive, tACEReadArchiveDataStruc* Data) noexcept;
int32_t AceList(const char* Archive, tACEListStruc* List) noexcept;
int32_t AceTest(const char* Archive, tACETestStruc* Test) noexcept;
int32_t AceExtract(const char* Archive, tACEExtractStruc* Extract) noexcept;

// Listing and testing bytes in memory (fuzzing).
int32_t AceListSource(TByteSource& Source, const char* ArchiveName, const tACEFilesStruc& Files) noexcept;
int32_t AceTestSource(TByteSource& Source, const char* ArchiveName, const tACEFilesStruc& Files) noexcept;

}  // namespace qrv::external

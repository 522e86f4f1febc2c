#pragma once
// The block layout of RAR 1.5 to 4.x archives, shared by the reader and the
// fixture writer.

#include <cstdint>
#include <string_view>

namespace qrv::external::rarfmt {

// The marker block opens every archive; a RAR 5 archive has one more byte.
constexpr std::string_view kMarker{"Rar!\x1A\x07\x00", 7};
constexpr std::string_view kMarker5{"Rar!\x1A\x07\x01\x00", 8};

enum : uint8_t { kMarkHead = 0x72, kMainHead = 0x73, kFileHead = 0x74, kCommHead = 0x75, kEndHead = 0x7B };

// Main header flags.
constexpr uint16_t kMainVolume = 0x0001;
constexpr uint16_t kMainComment = 0x0002;
constexpr uint16_t kMainSolid = 0x0008;
constexpr uint16_t kMainEncryptedHeaders = 0x0080;

// File header flags.
constexpr uint16_t kFileSplitBefore = 0x0001;
constexpr uint16_t kFileSplitAfter = 0x0002;
constexpr uint16_t kFileEncrypted = 0x0004;
constexpr uint16_t kFileSolid = 0x0010;
constexpr uint16_t kFileDirectory = 0x00E0;
constexpr uint16_t kFileLarge = 0x0100;
constexpr uint16_t kFileUnicode = 0x0200;
constexpr uint16_t kFileSalt = 0x0400;
constexpr uint16_t kLongBlock = 0x8000;  // a 32-bit data size follows the header

constexpr uint8_t kRarStore = 0x30;

constexpr size_t kBaseHeaderSize = 7;
constexpr size_t kMainHeaderSize = 13;
constexpr size_t kFileHeaderSize = 32;
constexpr size_t kCommentHeaderSize = 13;

}  // namespace qrv::external::rarfmt

#pragma once
// The part files of a split file: the 324-byte header before each part's
// data, the part file names and the sizes that follow from a chosen part
// size. Portable.
//
// Header layout (integers little-endian, strings with a length byte):
//   0  13  length byte 12 and "quorvan32SPT"
//  13   3  zero
//  16   4  offset in the original of the part's first data byte
//  20   4  offset in the original just after the part's last data byte
//  24   4  part number, from 1
//  28 256  the original's name without path: length byte, ANSI bytes, zeros
// 284   8  creation time of the original (FILETIME)
// 292   8  last-write time of the original (FILETIME)
// 300   4  attributes of the original
// 304   4  number of parts, in the last part only (0 in the others)
// 308  13  the magic again
// 321   3  zero
// 324      the data: end offset - start offset bytes

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qrv {

constexpr size_t kSplitHeaderSize = 324;
// A part holds the part size less this many bytes of data, so that the
// header and the file system's own overhead fit on the medium.
constexpr uint64_t kSplitPartOverhead = 1037;
// The largest block a split or join copies at once.
constexpr uint32_t kSplitCopyBlock = 0x7FFFFF;
// Part sizes up to this are refused.
constexpr uint64_t kSplitSmallestRefusedSize = 2048;
// The largest original a split takes: the header holds 32-bit offsets.
constexpr uint64_t kSplitLargestOriginal = 0xFFFFFFFFu;
// The longest original name the header holds, in ANSI bytes.
constexpr size_t kSplitLongestName = 255;
// The attributes a join gives the joined file: read-only, hidden, system,
// archive and not-indexed; none that describes the storage.
constexpr uint32_t kSplitRestoredAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x2000;

struct TSplitHeader {
    uint32_t Start = 0;
    uint32_t End = 0;
    uint32_t Number = 0;
    std::string Name;  // ANSI bytes
    uint64_t Created = 0;
    uint64_t Written = 0;
    uint32_t Attributes = 0;
    uint32_t Count = 0;
    bool operator==(const TSplitHeader&) const = default;
};

using TSplitHeaderBytes = std::array<uint8_t, kSplitHeaderSize>;

// The header's bytes; a name longer than 255 bytes is cut (callers refuse
// such names before they split).
TSplitHeaderBytes EncodeSplitHeader(const TSplitHeader& Header);
// The fields of a header whose both magics are right; nullopt for fewer than
// 324 bytes or a wrong magic. The ranges are not checked here.
std::optional<TSplitHeader> DecodeSplitHeader(std::span<const uint8_t> Bytes);

// Folder and name of the original + "(001).split"; the number has at least
// three digits, so part 1000 ends in "(1000).split".
std::wstring SplitPartName(std::wstring_view Original, uint32_t Number);

struct TSplitPartNameParts {
    std::wstring Original;  // the name before "(nnn).split"
    uint32_t Number = 0;
};
// A part file's name (without folder) taken apart; nullopt for a name that
// does not end in "(" three or more digits ").split" (any case), or whose
// number is 0 or does not fit.
std::optional<TSplitPartNameParts> ParseSplitPartName(std::wstring_view FileName);

// The data bytes of each part for a part size above 2,048 bytes.
uint64_t SplitDataSize(uint64_t PartSize);
// The copy block of a split or join with that much data per part.
uint32_t SplitCopyBlock(uint64_t DataSize);
// The progress form's steps for one original: its size divided by the
// smaller of the part size and the largest block, plus one.
uint64_t SplitProgressSteps(uint64_t FileSize, uint64_t PartSize);

// Whether a header read from the file FileName (without folder, as found in
// the folder) of FileSize bytes may be joined: its range is not empty, its
// data is all there (no more, no less), its name is a plain file name (no
// folder, drive, stream, device name, or trailing dot or blank) that decodes
// to the original of FileName, its number is the one in FileName, and a part
// count is its own number. DecodedName is the header's name as text.
bool IsJoinablePart(const TSplitHeader& Header, std::wstring_view DecodedName, std::wstring_view FileName,
                    uint64_t FileSize);

}  // namespace qrv

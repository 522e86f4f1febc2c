#pragma once
// The "FileGroupDescriptor" and "FileGroupDescriptorW" blocks that describe
// files which exist only inside their source (mail attachments, archive
// entries): a 32-bit count, then one record per file of 332 bytes (ANSI) or
// 592 bytes (UTF-16): flags, class id, size, point, attributes, creation,
// access and write times, size high and low, and a name of 260 characters
// NUL-terminated. Portable: the block may come from any program, so the count
// is checked against the block and every name's terminator against its field.

#include "common/DropFilesBlock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

constexpr size_t kFileDescriptorSizeAnsi = 332;
constexpr size_t kFileDescriptorSizeWide = 592;
constexpr size_t kFileDescriptorNameChars = 260;

struct TFileDescriptorEntry {
    uint32_t Flags = 0;
    uint32_t Attributes = 0;
    uint64_t CreationTime = 0;  // file times, 100-ns units since 1601
    uint64_t LastAccessTime = 0;
    uint64_t LastWriteTime = 0;
    uint64_t FileSize = 0;
    std::wstring Name;
};

// Encodes a name for an ANSI block (the system's code page on Windows).
using TAnsiNameEncoder = std::function<std::string(std::wstring_view Name)>;

constexpr size_t FileDescriptorSize(bool Wide)
{
    return Wide ? kFileDescriptorSizeWide : kFileDescriptorSizeAnsi;
}

// The records of a block, or nothing when it is too short for its count or
// a name is not ended inside its field.
std::optional<std::vector<TFileDescriptorEntry>> ParseFileGroupDescriptor(const uint8_t* Data, size_t Size, bool Wide,
                                                                          const TAnsiNameDecoder& DecodeAnsi);

// A block of Entries; names longer than the field are cut to fit; ANSI names
// without an encoder are written as Latin-1.
std::vector<uint8_t> BuildFileGroupDescriptor(const std::vector<TFileDescriptorEntry>& Entries, bool Wide,
                                              const TAnsiNameEncoder& EncodeAnsi);

}  // namespace qrv

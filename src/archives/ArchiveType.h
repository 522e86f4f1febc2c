#pragma once
// Which kind of archive a file is, by its extension and, for self-extracting
// ".exe" files, by its last bytes and the readers' own tests. Portable: the
// file and the readers come in as functions.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

class TKyRAR;

// The kind of an archive: 0 none, 1 zip, 2 RAR, 3 cabinet, 4 ACE.
enum : uint8_t { akNone = 0, akZip = 1, akRAR = 2, akCabinet = 3, akACE = 4 };

// The length of the zip end record, and how far from the end of a
// self-extracting file it is looked for.
constexpr size_t kZipEndRecordSize = 22;
constexpr size_t kExeTailSize = 8192;

struct TArchiveProbes {
    // Opens the file read-only; sets Size and fills Tail with its last
    // min(Size, MaxBytes) bytes (fewer when the read came back short).
    // False when the file cannot be read.
    std::function<bool(const std::wstring& FileName, size_t MaxBytes, uint64_t& Size, std::vector<uint8_t>& Tail)>
        ReadTail;
    std::function<bool(const std::wstring& FileName)> IsCabinet;
    // The RAR reader lists the file and holds at least one entry.
    std::function<bool(const std::wstring& FileName)> IsRar;
    std::function<bool(const std::wstring& FileName)> IsAce;
};

// 0 for any other extension, a refused file, or an exception of a probe.
uint8_t GetArchiveType(const std::wstring& FileName, const TArchiveProbes& Probes);

// Lists the file with the reader, its error event disconnected meanwhile
// (and connected again on every way out); true when it holds entries.
// Errors of the listing are swallowed.
bool RarHoldsEntries(TKyRAR& Rar, const std::wstring& FileName);

}  // namespace qrv

#pragma once
// Archives spanned over several files or disks: the names of the parts,
// splitting one archive into a set and joining a set back into one archive.
// Portable: the parts are reached through the interfaces below, which the
// Windows layer fills with files on disks (prompts, labels, free space) and
// the tests with memory.

#include "archives/ZipDirectory.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

// The name of part DiskIndex (from 0) of the set named ZipFileName. With
// CompatName the last part keeps its name and the others end in ".z01",
// ".z02"...; without it the number (from 001) goes between the base name
// and the extension of every part.
std::u16string SpanPartName(std::u16string_view ZipFileName, uint32_t DiskIndex, bool IsLast, bool CompatName);

// Where the parts of a set go while splitting.
class TSpanOutput {
public:
    virtual ~TSpanOutput() = default;
    // Begins part Index (from 0); Capacity gets the bytes it may hold, 0
    // for no limit. False ends the run; Error then says why (a message id).
    [[nodiscard]] virtual bool OpenPart(uint32_t Index, uint64_t& Capacity, int& Error) = 0;
    [[nodiscard]] virtual bool Write(const void* Data, size_t Count) = 0;
    // Ends the current part; Last: the set is complete.
    [[nodiscard]] virtual bool ClosePart(bool Last) = 0;
};

// Where a joined archive goes.
class TJoinOutput {
public:
    virtual ~TJoinOutput() = default;
    [[nodiscard]] virtual bool Write(const void* Data, size_t Count) = 0;
};

struct TSpanProgress {
    // Counts before the copying, then each item ("Copying: " + name).
    std::function<void(uint64_t Files, uint64_t Bytes)> OnTotals;
    std::function<void(const std::u16string& Item, uint64_t Size)> OnItem;
    // Checked between items: true stops the run.
    std::function<bool()> Cancelled;
    std::function<void(int Id, std::u16string& Str)> OnZipStr;
};

struct TSpanResult {
    int Error = 0;       // message id, 0 when the run succeeded
    uint32_t Parts = 0;  // parts written or read
    uint64_t Entries = 0;
};

// Copies the single archive Source into a set: the set's marker, every
// local header with its data (and data descriptor), the central directory
// with each entry's disk and offset, the end record with the set's disks.
// Headers and the end record never straddle two parts.
TSpanResult SplitZip(TZipSource& Source, TSpanOutput& Out, const TSpanProgress& Progress = {});

// Copies a set into one archive. OpenPart gives part Index (from 0; the
// last part is LastIndex), nullptr when it is not to be had.
TSpanResult JoinZipSet(const std::function<TZipSource*(uint32_t Index)>& OpenPart, uint32_t LastIndex, TJoinOutput& Out,
                       const TSpanProgress& Progress = {});

}  // namespace qrv

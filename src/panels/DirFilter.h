#pragma once
// The load filter of a directory list: which files a folder shows by mask,
// required and forbidden attributes, a size window and a date-time window.
// Directories pass every one of these. Portable.

#include "framework/StringList.h"
#include "panels/FileRec.h"
#include "panels/SelAttr.h"

#include <cstdint>
#include <string_view>

namespace qrv {

// A size-to bound of exactly this value means "no upper bound" (the value
// stored for it); any other value is a bound, beyond 2 GiB too.
constexpr int64_t kMaxFilterSize = 2147483647;
constexpr uint16_t kFirstDosDate = 33;         // 1 January 1980
constexpr uint16_t kLastDosDate = 61343;       // 31 December 2099
constexpr uint16_t kEndOfDayDosTime = 0xC000;  // 24:00:00
// 1 January 1980, 00:00 as a packed DOS date-time.
constexpr uint32_t kFirstDosDateTime = 0x210000;

// The filter settings a list keeps (its published Sel* properties).
struct TLoadFilter {
    TSelAttr SelArchive = TSelAttr::SelDontCare;
    TSelAttr SelHidden = TSelAttr::SelDontCare;
    TSelAttr SelSysFile = TSelAttr::SelDontCare;
    TSelAttr SelReadOnly = TSelAttr::SelDontCare;
    TSelAttr SelCompressed = TSelAttr::SelDontCare;
    TSelAttr SelEncrypted = TSelAttr::SelDontCare;
    // Bytes, 64 bits: files beyond 2 GiB compare by their real size.
    int64_t SelFileSizeFrom = 0;
    int64_t SelFileSizeTo = kMaxFilterSize;
    uint16_t SelFileDateFrom = kFirstDosDate;
    uint16_t SelFileDateTo = kLastDosDate;
    uint16_t SelFileTimeFrom = 0;
    uint16_t SelFileTimeTo = kEndOfDayDosTime;
    bool operator==(const TLoadFilter&) const = default;

    // The windows differ from their defaults (the column captions say so).
    bool SizeFiltered() const { return SelFileSizeFrom != 0 || SelFileSizeTo != kMaxFilterSize; }
    bool DateFiltered() const { return SelFileDateFrom > kFirstDosDate || SelFileDateTo < kLastDosDate; }
    bool AttrFiltered() const;
};

// The size a filter compares: the 64-bit size (sizes beyond the signed
// range, which no file has, as the largest).
int64_t FilterSize(uint64_t Size);
// Whether Size lies in the window From..To; To == kMaxFilterSize has no
// upper bound.
bool InSizeWindow(uint64_t Size, int64_t From, int64_t To);
// The date-time a filter compares: none or before 1980 counts as 1 January
// 1980, 00:00.
uint32_t FilterDateTime(uint32_t PackedDosDateTime);

// A filter made ready for one pass over a folder.
class TDirFilter {
public:
    // CompressionBits: the folder's file system knows compression and
    // encryption (NTFS), so those two choices take part.
    TDirFilter(const TLoadFilter& Settings, std::wstring_view Mask, bool CompressionBits);

    uint32_t RequiredAttr = 0;
    uint32_t ForbiddenAttr = 0;
    uint32_t DateFrom = 0;
    uint32_t DateTo = 0;
    bool SizeFilterOn = false;

    bool MatchesMask(std::wstring_view Name) const;
    // A file (not a directory) that the list shows.
    bool AcceptsFile(const TSearchRec& Entry) const;

private:
    TStringList masks_;
    // A mask that every name matches ("*", "*.*"): no name needs testing.
    bool matchesAll_ = false;
    int64_t sizeFrom_;
    int64_t sizeTo_;
};

}  // namespace qrv

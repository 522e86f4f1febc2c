#pragma once
// Selecting or deselecting the items of a directory list by a filter: masks,
// attribute choices, a size window and a date-time window, tested against the
// records the list holds (no second search of the folder). Portable.

#include "framework/StringList.h"
#include "panels/SelAttr.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qrv {

class TDirViewCore;
struct TFileRec;

// A size-to bound of exactly this value means "no upper bound" (the value
// stored for it); any other value is a bound, beyond 2 GiB too.
constexpr int64_t kNoSizeBound = 2147483647;

struct TFileSelectFilter {
    std::wstring Masks = L"*.*";  // ";"-separated
    TSelAttr Archive = TSelAttr::SelDontCare;
    TSelAttr Hidden = TSelAttr::SelDontCare;
    TSelAttr SysFile = TSelAttr::SelDontCare;
    TSelAttr ReadOnly = TSelAttr::SelDontCare;
    TSelAttr Compressed = TSelAttr::SelDontCare;  // only where the drive keeps the bit
    TSelAttr Encrypted = TSelAttr::SelDontCare;
    bool IncludeDirs = false;
    // Bytes; 64 bits, so files beyond 2 GiB compare by their real size.
    int64_t SizeFrom = 0;
    int64_t SizeTo = kNoSizeBound;
    uint16_t DateFrom = 33;    // DOS date, 1 January 1980
    uint16_t DateTo = 61343;   // DOS date, 31 December 2099
    uint16_t TimeFrom = 0;     // DOS time on DateFrom
    uint16_t TimeTo = 0xC000;  // DOS time on DateTo: 24:00, the whole day
};

// The packed local DOS date-time of a FILETIME (0 when it has none).
using TLocalDosTime = std::function<uint32_t(uint64_t FileTime)>;

// The filter made ready for one pass over a list's records.
class TFileSelectMatcher {
public:
    // CompressionBits: the folder's drive keeps the compressed and encrypted
    // bits (NTFS), so those two choices take part.
    TFileSelectMatcher(const TFileSelectFilter& Filter, bool CompressionBits, TLocalDosTime LocalDosTime);

    // Name: the name the user sees for the item (in a recycle-bin view the
    // name before deletion, not the store path).
    bool Matches(const TFileRec& Item, std::wstring_view Name) const;

private:
    const TFileSelectFilter filter_;
    TLocalDosTime localDosTime_;
    uint32_t requiredAttr_ = 0;
    uint32_t forbiddenAttr_ = 0;
    uint32_t from_ = 0;
    uint32_t to_ = 0;
    TStringList masks_;
};

// The name an item's masks are matched against: the file name, or in a list
// of full paths (the recycle bin, search results) the last part of the name
// shown.
std::wstring_view SelectionName(const TFileRec& Item, bool FullPathItems);

// Sets the selection of every matching item to Select; other items keep
// theirs; ".." is never selected. Returns the number of items matched.
int SelectFiles(TDirViewCore& List, const TFileSelectFilter& Filter, bool Select, bool CompressionBits,
                const TLocalDosTime& LocalDosTime);

}  // namespace qrv

#include "panels/DirFilter.h"

#include "common/MaskSearch.h"

#include <algorithm>
#include <cstdint>

namespace qrv {

bool TLoadFilter::AttrFiltered() const
{
    for (TSelAttr choice : {SelArchive, SelHidden, SelSysFile, SelReadOnly, SelCompressed, SelEncrypted})
        if (choice != TSelAttr::SelDontCare)
            return true;
    return false;
}

int64_t FilterSize(uint64_t Size)
{
    return static_cast<int64_t>(std::min<uint64_t>(Size, static_cast<uint64_t>(INT64_MAX)));
}

bool InSizeWindow(uint64_t Size, int64_t From, int64_t To)
{
    const int64_t size = FilterSize(Size);
    return size >= From && (To == kMaxFilterSize || size <= To);
}

uint32_t FilterDateTime(uint32_t PackedDosDateTime)
{
    // Unsigned: a date from 2044 on has the top bit set and stays what it is.
    return std::max(PackedDosDateTime, kFirstDosDateTime);
}

TDirFilter::TDirFilter(const TLoadFilter& Settings, std::wstring_view Mask, bool CompressionBits)
    : sizeFrom_(Settings.SelFileSizeFrom), sizeTo_(Settings.SelFileSizeTo)
{
    const auto take = [this](TSelAttr choice, uint32_t bit) {
        if (choice == TSelAttr::SelYes)
            RequiredAttr |= bit;
        else if (choice == TSelAttr::SelNo)
            ForbiddenAttr |= bit;
    };
    take(Settings.SelArchive, faArchive);
    take(Settings.SelHidden, faHidden);
    take(Settings.SelReadOnly, faReadOnly);
    take(Settings.SelSysFile, faSysFile);
    if (CompressionBits) {
        take(Settings.SelCompressed, faCompressed);
        take(Settings.SelEncrypted, faEncrypted);
    }
    DateFrom = static_cast<uint32_t>(Settings.SelFileDateFrom) << 16 | Settings.SelFileTimeFrom;
    DateTo = static_cast<uint32_t>(Settings.SelFileDateTo) << 16 | Settings.SelFileTimeTo;
    SizeFilterOn = Settings.SizeFiltered();
    ParseMaskList(Mask, masks_);
    // A name without a dot is matched with one added, so "*.*" takes all.
    for (int i = 0; i < masks_.Count(); ++i)
        matchesAll_ = matchesAll_ || masks_[i] == L"*" || masks_[i] == L"*.*";
}

bool TDirFilter::MatchesMask(std::wstring_view Name) const
{
    return matchesAll_ || MatchesMaskList(Name, &masks_);
}

bool TDirFilter::AcceptsFile(const TSearchRec& Entry) const
{
    if (Entry.Attr & faDirectory)
        return false;
    if ((Entry.Attr & RequiredAttr) != RequiredAttr || (Entry.Attr & ForbiddenAttr) != 0)
        return false;
    if (SizeFilterOn && !InSizeWindow(Entry.Size, sizeFrom_, sizeTo_))
        return false;
    const uint32_t time = FilterDateTime(Entry.Time);
    return time >= DateFrom && time <= DateTo && MatchesMask(Entry.Name);
}

}  // namespace qrv

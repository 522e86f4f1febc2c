#include "panels/FileSelect.h"

#include "common/MaskSearch.h"
#include "panels/DirFilter.h"
#include "panels/DirViewCore.h"
#include "panels/FileRec.h"

#include <utility>

namespace qrv {

TFileSelectMatcher::TFileSelectMatcher(const TFileSelectFilter& Filter, bool CompressionBits,
                                       TLocalDosTime LocalDosTime)
    : filter_(Filter), localDosTime_(std::move(LocalDosTime))
{
    const auto take = [this](TSelAttr choice, uint32_t bit) {
        if (choice == TSelAttr::SelYes)
            requiredAttr_ |= bit;
        else if (choice == TSelAttr::SelNo)
            forbiddenAttr_ |= bit;
    };
    take(Filter.Archive, faArchive);
    take(Filter.Hidden, faHidden);
    take(Filter.SysFile, faSysFile);
    take(Filter.ReadOnly, faReadOnly);
    if (CompressionBits) {
        take(Filter.Compressed, faCompressed);
        take(Filter.Encrypted, faEncrypted);
    }
    from_ = static_cast<uint32_t>(Filter.DateFrom) << 16 | Filter.TimeFrom;
    to_ = static_cast<uint32_t>(Filter.DateTo) << 16 | Filter.TimeTo;
    ParseMaskList(Filter.Masks, masks_);
}

bool TFileSelectMatcher::Matches(const TFileRec& Item, std::wstring_view Name) const
{
    if (Item.IsParentDir || (Item.IsDirectory && !filter_.IncludeDirs))
        return false;
    if ((Item.Attr & requiredAttr_) != requiredAttr_ || (Item.Attr & forbiddenAttr_) != 0)
        return false;
    if (!Item.IsDirectory || !SizeUnknown(Item)) {
        // A folder without a known size counts as empty.
        const int64_t size = static_cast<int64_t>(Item.Size & 0x7FFFFFFFFFFFFFFFull);
        if (size < filter_.SizeFrom || (filter_.SizeTo != kNoSizeBound && size > filter_.SizeTo))
            return false;
    } else if (filter_.SizeFrom > 0) {
        return false;
    }
    // No date, or one before 1980, counts as 1 January 1980, 00:00.
    const uint32_t time = FilterDateTime(localDosTime_ ? localDosTime_(Item.LastWrite) : 0);
    if (time < from_ || time > to_)
        return false;
    return MatchesMaskList(Name, &masks_);
}

std::wstring_view SelectionName(const TFileRec& Item, bool FullPathItems)
{
    if (!FullPathItems)
        return Item.FileName;
    const std::wstring_view shown = Item.DisplayName;
    const size_t slash = shown.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? shown : shown.substr(slash + 1);
}

int SelectFiles(TDirViewCore& List, const TFileSelectFilter& Filter, bool Select, bool CompressionBits,
                const TLocalDosTime& LocalDosTime)
{
    const TFileSelectMatcher matcher(Filter, CompressionBits, LocalDosTime);
    const bool fullPaths = List.FullPathItems() || List.IsVirtual();
    return List.SelectMatching(
        [&](const TFileRec& Item) { return matcher.Matches(Item, SelectionName(Item, fullPaths)); }, Select);
}

}  // namespace qrv

#pragma once
// The user's locale order of names as sort keys (LCMapStringEx with
// LCMAP_SORTKEY, case ignored), so a sort asks the locale once per item.

#include "panels/DirViewSort.h"

namespace qrv {

class TLocaleCollator : public TSortCollator {
public:
    std::string SortKey(std::wstring_view Text) const override;
    void AppendSortKey(std::wstring_view Text, std::string& Out) const override;
};

}  // namespace qrv

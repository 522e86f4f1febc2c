#include "widgets/ImpGridColumn.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

void TImpColumn::ResetToDefaults()
{
    alignment_.reset();
    color_.reset();
    font_.reset();
    imeMode_.reset();
    imeName_.reset();
    Title.ResetToDefaults();
    PickList.clear();
    ButtonStyle = TImpColumnButtonStyle::cbsNone;
}

int PickListHeight(int count, int dropDownRows, int itemHeight)
{
    return std::min(std::max(count, 0), std::max(dropDownRows, 0)) * itemHeight + 4;
}

bool RowsWouldOverflow(int rowCount, int defaultRowHeight, int gridLineWidth, int gridHeight)
{
    return (rowCount + 1) * (defaultRowHeight + gridLineWidth) > gridHeight;
}

int TTypeAheadSearch::Key(wchar_t key, uint32_t nowMs, const std::vector<std::wstring>& items)
{
    if (nowMs - lastKey_ > kPauseMs)
        text_.clear();
    lastKey_ = nowMs;
    if (text_.size() < kMaxLength)
        text_ += key;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].size() >= text_.size() && SameText(items[i].substr(0, text_.size()), text_))
            return static_cast<int>(i);
    return -1;
}

}  // namespace qrv

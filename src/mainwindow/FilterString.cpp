#include "mainwindow/FilterString.h"

namespace qrv {

std::wstring BuildFilterString(const std::vector<TFilterRec>& Filters)
{
    std::wstring text;
    for (const TFilterRec& filter : Filters) {
        if (!text.empty())
            text += L'|';
        text += filter.Name + L" (" + filter.Masks + L")|" + filter.Masks;
    }
    return text;
}

}  // namespace qrv

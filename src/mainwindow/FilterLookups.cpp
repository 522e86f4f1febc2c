#include "mainwindow/FilterLookups.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring FilterMasksForName(const std::vector<TFilterRec>& Filters, const std::wstring& Text)
{
    if (Text.find_first_of(L"*?") != std::wstring::npos)
        return Text;
    const std::wstring wanted = UpperCase(Text);
    for (const TFilterRec& filter : Filters)
        if (UpperCase(filter.Name) == wanted)
            return filter.Masks;
    return Text;
}

int FindFilterByMask(const std::vector<TFilterRec>& Filters, const std::wstring& Masks)
{
    for (size_t i = 0; i < Filters.size(); ++i)
        if (Filters[i].Masks == Masks)
            return static_cast<int>(i);
    return -1;
}

std::wstring FilterNameForMasks(const std::vector<TFilterRec>& Filters, const std::wstring& Masks)
{
    const int index = FindFilterByMask(Filters, Masks);
    return index < 0 ? Masks : Filters[static_cast<size_t>(index)].Name;
}

}  // namespace qrv

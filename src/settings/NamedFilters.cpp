#include "settings/NamedFilters.h"

#include <algorithm>
#include <utility>

namespace qrv {

void AddNamedFilter(std::vector<TFilterRec>& list, const std::wstring& name, const std::wstring& masks)
{
    list.push_back(TFilterRec{name.substr(0, 60), masks.substr(0, 255)});
}

void EnsureAllFilesFilter(std::vector<TFilterRec>& list)
{
    const auto found = std::find_if(list.begin(), list.end(), [](const TFilterRec& f) { return f.Masks == L"*.*"; });
    if (found == list.end()) {
        AddNamedFilter(list, L"Alle Dateien", L"*.*");
        if (list.size() > 1)
            std::swap(list.front(), list.back());
    } else if (found != list.begin()) {
        std::swap(*list.begin(), *found);
    }
}

}  // namespace qrv

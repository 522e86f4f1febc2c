#include "common/TextPlaces.h"

namespace qrv {

std::wstring FillPlaces(std::wstring Pattern, const std::vector<std::wstring>& Values)
{
    size_t from = 0;
    for (const std::wstring& value : Values) {
        const size_t at = Pattern.find(L'%', from);
        if (at == std::wstring::npos || at + 1 >= Pattern.size())
            break;
        Pattern.replace(at, 2, value);
        from = at + value.size();
    }
    return Pattern;
}

}  // namespace qrv

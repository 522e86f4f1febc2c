#include "panels/ListMask.h"

#include "framework/SysUtils.h"

namespace qrv {

std::wstring NormalizeListMask(std::wstring_view mask)
{
    const std::wstring trimmed = Trim(mask);
    if (trimmed.empty())
        return L"*.*";
    std::wstring result;
    for (wchar_t c : trimmed) {
        if (c == L' ' || c == L',')
            c = L';';
        if (c == L';' && !result.empty() && result.back() == L';')
            continue;
        result += c;
    }
    return LowerCase(result);
}

}  // namespace qrv

#include "panels/win/LocaleCollator.h"

#include <windows.h>

namespace qrv {

std::string TLocaleCollator::SortKey(std::wstring_view Text) const
{
    if (Text.empty())
        return {};
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(Text.size());
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, Text.data(), length, nullptr, 0, nullptr,
                                   nullptr, 0);
    if (size <= 0)
        return TFoldCollator().SortKey(Text);
    std::string key(static_cast<size_t>(size), '\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, Text.data(), length, reinterpret_cast<LPWSTR>(key.data()), size,
                  nullptr, nullptr, 0);
    return key;
}

}  // namespace qrv

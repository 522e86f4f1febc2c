#include "panels/win/LocaleCollator.h"

#include <windows.h>

namespace qrv {

std::string TLocaleCollator::SortKey(std::wstring_view Text) const
{
    std::string key;
    AppendSortKey(Text, key);
    return key;
}

void TLocaleCollator::AppendSortKey(std::wstring_view Text, std::string& Out) const
{
    if (Text.empty())
        return;
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(Text.size());
    // One call into a buffer on the stack serves nearly every file name;
    // only a longer key asks for its size first.
    char buffer[512];
    int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, Text.data(), length, reinterpret_cast<LPWSTR>(buffer),
                             sizeof buffer, nullptr, nullptr, 0);
    if (size > 0) {
        Out.append(buffer, static_cast<size_t>(size));
        return;
    }
    size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, Text.data(), length, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) {
        TFoldCollator().AppendSortKey(Text, Out);
        return;
    }
    const size_t start = Out.size();
    Out.resize(start + static_cast<size_t>(size));
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, Text.data(), length, reinterpret_cast<LPWSTR>(Out.data() + start),
                  size, nullptr, nullptr, 0);
}

}  // namespace qrv

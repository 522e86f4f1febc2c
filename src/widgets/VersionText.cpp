#include "widgets/VersionText.h"

namespace qrv {

TVersionParts SplitFileVersion(std::wstring_view fileVersion)
{
    TVersionParts parts{kVersionInfoNotAvailable, kVersionInfoNotAvailable, kVersionInfoNotAvailable,
                        kVersionInfoNotAvailable};
    wchar_t separator;
    if (fileVersion.find(L'.') != std::wstring_view::npos)
        separator = L'.';
    else if (fileVersion.find(L',') != std::wstring_view::npos)
        separator = L',';
    else
        return parts;
    std::wstring* targets[] = {&parts.Major, &parts.Minor, &parts.Release, &parts.Build};
    std::wstring_view rest = fileVersion;
    for (size_t i = 0; i < 4; ++i) {
        const size_t at = i < 3 ? rest.find(separator) : std::wstring_view::npos;
        *targets[i] = std::wstring(rest.substr(0, at));
        if (at == std::wstring_view::npos)
            break;
        rest.remove_prefix(at + 1);
    }
    return parts;
}

void FillMissingVersionParts(TVersionParts& parts, const unsigned (&fixed)[4])
{
    std::wstring* targets[] = {&parts.Major, &parts.Minor, &parts.Release, &parts.Build};
    for (size_t i = 0; i < 4; ++i)
        if (*targets[i] == kVersionInfoNotAvailable)
            *targets[i] = std::to_wstring(fixed[i]);
}

}  // namespace qrv

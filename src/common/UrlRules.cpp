#include "common/UrlRules.h"

#include "framework/SysUtils.h"

namespace qrv {

bool IsOpenableUrl(std::wstring_view url)
{
    const size_t colon = url.find(L':');
    if (colon == std::wstring_view::npos)
        return false;
    const std::wstring scheme = UpperCase(url.substr(0, colon));
    return scheme == L"HTTP" || scheme == L"HTTPS" || scheme == L"FTP" || scheme == L"MAILTO";
}

std::optional<std::wstring> OpenableUrlOf(std::wstring_view text, bool isMail)
{
    std::wstring url(text);
    const std::wstring upper = UpperCase(text);
    if (isMail && upper.find(L"MAILTO:") == std::wstring::npos)
        url = L"mailto:" + url;
    else if (upper.rfind(L"WWW.", 0) == 0)
        url = L"http://" + url;
    if (!IsOpenableUrl(url))
        return std::nullopt;
    return url;
}

}  // namespace qrv

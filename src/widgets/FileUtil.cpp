#include "widgets/FileUtil.h"

#include <algorithm>

namespace qrv {

bool IsValidFileName(std::wstring_view name)
{
    if (name.empty() || name.find_first_of(L"<>\"|") != std::wstring_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](wchar_t c) { return c < 32; });
}

std::wstring QuotedFileNameText(const std::wstring& name)
{
    if (name.find(L' ') != std::wstring::npos && (name.empty() || name[0] != L'"'))
        return L"\"" + name + L"\"";
    return name;
}

std::wstring ConvertPathNames(const std::wstring& path,
                              const std::function<std::wstring(const std::wstring& upTo)>& reported)
{
    const size_t firstSeparator = path.find_first_of(L"\\/");
    if (firstSeparator == std::wstring::npos)
        return path;  // a drive or a bare name: nothing to walk
    std::wstring rest = path;
    std::wstring converted;
    // From the last component back to the one after the drive.
    while (rest.size() > firstSeparator + 1) {
        const size_t slash = rest.find_last_of(L"\\/");
        if (slash + 1 < rest.size()) {
            const std::wstring name = reported(rest);
            if (name.empty())
                return {};
            converted = converted.empty() ? name : name + L"\\" + converted;
        }
        rest.resize(slash);
        if (slash < firstSeparator + 1)
            break;
    }
    return path.substr(0, firstSeparator) + L"\\" + converted;
}

std::wstring ConvertPathList(const std::wstring& list,
                             const std::function<std::wstring(const std::wstring& upTo)>& reported)
{
    std::wstring result;
    size_t at = 0;
    for (;;) {
        const size_t semicolon = list.find(L';', at);
        const std::wstring part =
            list.substr(at, semicolon == std::wstring::npos ? std::wstring::npos : semicolon - at);
        result += part.empty() ? part : ConvertPathNames(part, reported);
        if (semicolon == std::wstring::npos)
            return result;
        result += L';';
        at = semicolon + 1;
    }
}

}  // namespace qrv

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

}  // namespace qrv

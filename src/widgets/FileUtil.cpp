#include "widgets/FileUtil.h"

namespace qrv {

bool IsValidFileName(std::wstring_view name)
{
    return !name.empty() && name.find_first_of(L"<>\"[]|") == std::wstring_view::npos;
}

std::wstring QuotedFileNameText(const std::wstring& name)
{
    if (name.find(L' ') != std::wstring::npos && (name.empty() || name[0] != L'"'))
        return L"\"" + name + L"\"";
    return name;
}

}  // namespace qrv

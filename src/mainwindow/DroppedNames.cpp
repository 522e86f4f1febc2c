#include "mainwindow/DroppedNames.h"

namespace qrv {

std::wstring QuoteCommandArgument(const std::wstring& Name)
{
    if (Name.find_first_of(L" \t&|<>^(),;=") == std::wstring::npos)
        return Name;
    return L"\"" + Name + L"\"";
}

std::wstring AppendDroppedNames(const std::wstring& CommandText, const std::vector<std::wstring>& Names)
{
    std::wstring text = CommandText;
    for (const std::wstring& name : Names)
        text += L" " + QuoteCommandArgument(name);
    return text;
}

}  // namespace qrv

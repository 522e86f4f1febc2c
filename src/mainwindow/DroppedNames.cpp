#include "mainwindow/DroppedNames.h"

namespace qrv {

std::wstring EscapeBeforeQuote(const std::wstring& Text)
{
    const size_t kept = Text.find_last_not_of(L'\\') + 1;  // npos + 1 == 0: only backslashes
    return Text + Text.substr(kept);
}

std::wstring QuoteCommandArgument(const std::wstring& Name, TQuoting Quoting)
{
    if (Name.empty())
        return Name;
    if (Quoting == TQuoting::WhenNeeded && Name.find_first_of(L" \t&|<>^(),;=") == std::wstring::npos)
        return Name;
    return L"\"" + EscapeBeforeQuote(Name) + L"\"";
}

std::wstring AppendDroppedNames(const std::wstring& CommandText, const std::vector<std::wstring>& Names)
{
    std::wstring text = CommandText;
    for (const std::wstring& name : Names)
        text += L" " + QuoteCommandArgument(name);
    return text;
}

}  // namespace qrv

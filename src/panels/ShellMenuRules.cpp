#include "panels/ShellMenuRules.h"

#include <algorithm>
#include <cwctype>

namespace qrv {

std::vector<TExtraMenuEntry> ComposeExtraMenuItems(const std::vector<TExtraMenuSource>& Items)
{
    std::vector<TExtraMenuEntry> entries;
    for (size_t index = 0; index < Items.size(); ++index) {
        const TExtraMenuSource& item = Items[index];
        if (!item.Visible)
            continue;
        const bool separator = item.Caption == L"-";
        if (!separator && !item.HasHandler)
            continue;
        if (entries.empty())
            entries.push_back(TExtraMenuEntry{true, 0, {}, false});
        if (separator)
            entries.push_back(TExtraMenuEntry{true, 0, {}, false});
        else
            entries.push_back(
                TExtraMenuEntry{false, kFirstExtraCommand + static_cast<unsigned>(index), item.Caption, item.Checked});
    }
    return entries;
}

TShellMenuChoice ClassifyShellMenuResult(unsigned Result)
{
    if (Result >= kFirstExtraCommand)
        return {TShellMenuChoice::Extra, Result - kFirstExtraCommand};
    if (Result >= kFirstShellCommand && Result <= kLastShellCommand)
        return {TShellMenuChoice::Shell, Result - kFirstShellCommand};
    return {};
}

bool ShellVerbReturnedUninvoked(const std::wstring& Verb, bool InvokeClipboardVerbs,
                                const std::vector<std::wstring>& Extra)
{
    if (Verb == L"rename")
        return true;
    if (!InvokeClipboardVerbs && (Verb == L"copy" || Verb == L"cut" || Verb == L"paste"))
        return true;
    return std::find(Extra.begin(), Extra.end(), Verb) != Extra.end();
}

std::wstring NormalizeShellVerb(std::wstring Verb)
{
    if (const size_t zero = Verb.find(L'\0'); zero != std::wstring::npos)
        Verb.resize(zero);
    for (wchar_t& c : Verb)
        c = static_cast<wchar_t>(std::towlower(c));
    return Verb;
}

}  // namespace qrv

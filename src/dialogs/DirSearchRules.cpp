#include "dialogs/DirSearchRules.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

TDirSearchPattern MakeDirSearchPattern(std::wstring_view SearchText)
{
    std::wstring text = TrimRight(UpperCase(SearchText.substr(0, kDirSearchMaxText)));
    TDirSearchPattern pattern;
    pattern.Contains = !text.empty() && text.front() == L'*';
    if (!text.empty() && text.back() == L'*')
        pattern.CompareLength = text.size() - 1;
    std::erase(text, L'*');
    pattern.Text = std::move(text);
    return pattern;
}

bool DirNameMatches(const TDirSearchPattern& Pattern, std::wstring_view DirName)
{
    if (Pattern.Text.empty())
        return true;
    const std::wstring name = UpperCase(DirName);
    if (Pattern.Contains)
        return name.find(Pattern.Text) != std::wstring::npos;
    return std::wstring_view(name).substr(0, Pattern.CompareLength) == Pattern.Text;
}

TDirSearchRun::TDirSearchRun(TDirSearchPattern Pattern, TDirSearchNode Start, TDirSearchNode Selected)
    : pattern_(std::move(Pattern)), start_(Start), selected_(Selected), startReached_(Start == nullptr)
{}

bool TDirSearchRun::Visit(TDirSearchNode Node, std::wstring_view DirName)
{
    if (found_)
        return true;
    if (!startReached_) {
        startReached_ = Node == start_;
        return false;
    }
    if (Node == selected_ || !DirNameMatches(pattern_, DirName))
        return false;
    found_ = Node;
    return true;
}

bool IsRefusedDirSearchChar(wchar_t Ch)
{
    return std::wstring_view(L"?\\/=\"<>|:,;+^").find(Ch) != std::wstring_view::npos;
}

}  // namespace qrv

#include "widgets/CommandLineParams.h"

namespace qrv {

std::wstring NextCommandLineParam(std::wstring_view text, size_t& position)
{
    size_t i = position;
    // Skip blanks and control characters, and quote pairs enclosing nothing.
    for (;;) {
        while (i < text.size() && text[i] >= 1 && text[i] <= 32)
            ++i;
        if (i + 1 < text.size() && text[i] == L'"' && text[i + 1] == L'"') {
            i += 2;
            continue;
        }
        break;
    }
    std::wstring param;
    bool quoted = false;
    while (i < text.size() && text[i] != 0) {
        const wchar_t c = text[i];
        if (c == L'"') {
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && c <= 32)
            break;
        param += c;
        ++i;
    }
    position = i;
    return param;
}

int CommandLineParamCount(std::wstring_view text)
{
    int count = 0;
    size_t position = 0;
    while (!NextCommandLineParam(text, position).empty())
        ++count;
    return count;
}

std::wstring CommandLineParam(std::wstring_view text, int index)
{
    size_t position = 0;
    for (int i = 0;; ++i) {
        std::wstring param = NextCommandLineParam(text, position);
        if (param.empty() || i == index)
            return i == index ? param : std::wstring();
    }
}

TSplitCommand SplitCommandText(std::wstring_view text)
{
    TSplitCommand result;
    size_t position = 0;
    result.First = NextCommandLineParam(text, position);
    if (result.First.empty())
        return result;
    for (std::wstring param; !(param = NextCommandLineParam(text, position)).empty();) {
        if (!result.Rest.empty())
            result.Rest += L' ';
        result.Rest += param.find(L' ') != std::wstring::npos ? L"\"" + param + L"\"" : param;
    }
    return result;
}

std::wstring ExtractToken(std::wstring_view text, size_t& position, std::wstring_view separators)
{
    if (position >= text.size()) {
        position = text.size();
        return {};
    }
    const size_t end = text.find_first_of(separators, position);
    std::wstring token(
        text.substr(position, end == std::wstring_view::npos ? std::wstring_view::npos : end - position));
    position = end == std::wstring_view::npos ? text.size() : end + 1;
    return token;
}

}  // namespace qrv

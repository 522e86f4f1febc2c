#include "editor/EasyFindText.h"

#include "editor/EasyStrings.h"
#include "editor/EasyUtils.h"
#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

char16_t SearchUpperCase(char16_t c)
{
    if (c < u'a')
        return c;
    if (c <= u'z')
        return static_cast<char16_t>(c - 32);
    if (c < 0xB5)
        return c;
    // Latin-1, Latin Extended-A and the other letters the program folds
    // alike; a mapping that leaves one code unit is the only one taken.
    const auto upper = static_cast<uint32_t>(UpCaseChar(static_cast<wchar_t>(c)));
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

namespace {

bool IsDelimiter(char16_t c, const TEasyCharSet& delimiters)
{
    return InCharSet(c, delimiters);
}

// The run of non-delimiters around [start, start + length) is exactly it.
bool IsWholeWord(std::u16string_view line, size_t start, size_t length, const TEasyCharSet& delimiters)
{
    const bool startsWord = start == 0 || IsDelimiter(line[start - 1], delimiters);
    const bool endsWord = start + length >= line.size() || IsDelimiter(line[start + length], delimiters);
    return startsWord && endsWord;
}

// The searched form of a line: trailing blanks cut, upper-cased (in the
// buffer) unless the case matters.
std::u16string_view Prepared(std::u16string_view line, bool upper, std::u16string& buffer)
{
    line = TrimRightBlanksView(line);
    if (!upper)
        return line;
    buffer.assign(line);
    for (char16_t& c : buffer)
        c = SearchUpperCase(c);
    return buffer;
}

// Forward within one line from the 0-based column; npos when none.
size_t FindInLine(std::u16string_view line, std::u16string_view text, size_t from, bool wholeWords,
                  const TEasyCharSet& delimiters)
{
    while (from <= line.size()) {
        const size_t found = line.find(text, from);
        if (found == std::u16string_view::npos)
            return found;
        if (!wholeWords || IsWholeWord(line, found, text.size(), delimiters))
            return found;
        // Go on behind the word this match lies in.
        size_t next = found + 1;
        while (next < line.size() && !IsDelimiter(line[next], delimiters))
            ++next;
        from = next;
    }
    return std::u16string_view::npos;
}

// Backward: the last match starting at or before the 0-based column.
size_t FindInLineBackward(std::u16string_view line, std::u16string_view text, size_t from, bool wholeWords,
                          const TEasyCharSet& delimiters)
{
    for (;;) {
        const size_t found = line.rfind(text, from);
        if (found == std::u16string_view::npos)
            return found;
        if (!wholeWords || IsWholeWord(line, found, text.size(), delimiters))
            return found;
        // Go on before the word this match lies in.
        size_t previous = found;
        while (previous > 0 && !IsDelimiter(line[previous - 1], delimiters))
            --previous;
        if (previous == 0)
            return std::u16string_view::npos;
        from = previous - 1;
    }
}

}  // namespace

bool FindText(std::u16string_view text, const TEasyStrings& lines, int options, TEasyLineMatcher* matcher,
              int& matchLength, TEasyPoint& point, const TEasyCharSet& delimiters)
{
    const bool forward = (options & ftForward) != 0;
    const bool wholeWords = (options & ftWholeWords) != 0;
    const bool upper = !(options & ftCaseSensitive) && !matcher;
    std::u16string searched(text);
    if (upper)
        for (char16_t& c : searched)
            c = SearchUpperCase(c);
    if (searched.empty() && !matcher)
        return false;
    const int count = lines.Count();
    if (count == 0)
        return false;

    int line = std::clamp(point.Y, 0, count - 1);
    int column = point.X;
    if (!forward && column <= 0) {
        --line;
        column = -1;  // from the end
    }
    std::u16string buffer;
    while (line >= 0 && line < count) {
        const std::u16string_view content = Prepared(lines.GetStored(line), upper, buffer);
        if (matcher) {
            if (!content.empty() || column <= 1) {
                int at = column < 0 ? static_cast<int>(content.size()) + 1 : std::max(column, 1);
                int length = 0;
                if (matcher->Search(content, at, forward, length)) {
                    point = {at, line};
                    matchLength = length;
                    return true;
                }
            }
        } else if (!content.empty()) {
            size_t found = std::u16string_view::npos;
            if (forward) {
                const size_t from = static_cast<size_t>(std::max(column, 1) - 1);
                if (from <= content.size())
                    found = FindInLine(content, searched, from, wholeWords, delimiters);
            } else {
                const size_t from = column < 0 ? content.size() : static_cast<size_t>(column - 1);
                found = FindInLineBackward(content, searched, from, wholeWords, delimiters);
            }
            if (found != std::u16string_view::npos) {
                point = {static_cast<int>(found) + 1, line};
                matchLength = static_cast<int>(text.size());
                return true;
            }
        }
        line += forward ? 1 : -1;
        column = forward ? 1 : -1;
    }
    return false;
}

}  // namespace qrv

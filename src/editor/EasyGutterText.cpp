#include "editor/EasyGutterText.h"

#include <algorithm>

namespace qrv {

namespace {

int DecimalDigits(int64_t value)
{
    int digits = 1;
    for (value = std::max<int64_t>(value, 0); value >= 10; value /= 10)
        ++digits;
    return digits;
}

}  // namespace

int LineNumberDigits(int lineCount, int startFrom, bool beyondEof, int64_t highestVisible)
{
    int64_t highest = int64_t(lineCount) + startFrom - (beyondEof ? 0 : 1);
    highest = std::max(highest, highestVisible);
    return DecimalDigits(highest);
}

std::u16string LineNumberText(int64_t number, int digits, TEasyLineNumbersAlign alignment)
{
    const std::string ascii = std::to_string(number);
    std::u16string text(ascii.begin(), ascii.end());
    if (static_cast<int>(text.size()) < digits) {
        const std::u16string pad(size_t(digits) - text.size(), u' ');
        text = alignment == TEasyLineNumbersAlign::lnRight ? pad + text : text + pad;
    }
    return text;
}

std::u16string FormattingMarksText(std::u16string_view stored, bool tabsKept, const TTabStopList& tabs,
                                   const TEasyFormattingMarks& marks)
{
    std::u16string text;
    text.reserve(stored.size() + 1);
    for (const char16_t c : stored) {
        if (c == u' ') {
            text += marks[fmSpace];
        } else if (c == u'\t' && tabsKept) {
            const int column = static_cast<int>(text.size());
            const int width = std::max(tabs.TabEnd(column) - column, 1);
            const size_t at = text.size();
            text.append(size_t(width), u' ');
            text[at + size_t(width / 2)] = marks[fmTab];
        } else if (c == u'\t') {
            text += marks[fmTab];
        } else {
            text += c;
        }
    }
    text += marks[fmLineEnd];
    return text;
}

}  // namespace qrv

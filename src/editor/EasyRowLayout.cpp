#include "editor/EasyRowLayout.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Moves a row end that falls between the halves of a surrogate pair: back
// when the row keeps a character, else forward over the pair.
int KeepPairs(std::u16string_view line, int start, int end)
{
    if (end > 0 && end < static_cast<int>(line.size()) && IsHighSurrogate(line[size_t(end - 1)]) &&
        IsLowSurrogate(line[size_t(end)]))
        return end - 1 > start ? end - 1 : end + 1;
    return end;
}

}  // namespace

TEasyFits GridFits(int cellsPerRow)
{
    return [cellsPerRow](std::u16string_view line, int from) {
        return std::clamp(static_cast<int>(line.size()) - from, 0, std::max(cellsPerRow, 0));
    };
}

std::vector<TEasyRowRange> WrapLine(std::u16string_view line, const TEasyFits& fits, const TEasyBreakChar& breakChar)
{
    std::vector<TEasyRowRange> rows;
    const int length = static_cast<int>(line.size());
    int start = 0;
    while (true) {
        const int rest = length - start;
        const int fit = std::clamp(fits(line, start), 1, std::max(rest, 1));
        if (fit >= rest) {
            rows.push_back({start, INT_MAX});
            return rows;
        }
        int end = start + fit;  // hard cut after the last fitting character
        for (int i = start + fit - 1; i >= start; --i) {
            const char16_t c = line[size_t(i)];
            if (c == u'\x0001' || (breakChar && breakChar(c))) {
                end = i + 1;
                break;
            }
        }
        end = KeepPairs(line, start, end);
        if (end >= length) {
            rows.push_back({start, INT_MAX});
            return rows;
        }
        rows.push_back({start, end});
        start = end;
    }
}

void TEasyRowLayout::Reset(TEasyWrapList& rows)
{
    rows.Clear();
    lastBuilt_ = -1;
}

int64_t TEasyRowLayout::EstimatedRows(const TEasyWrapList& rows) const
{
    const int count = LineCount ? LineCount() : 0;
    return int64_t(rows.Count()) + std::max(0, count - 1 - lastBuilt_);
}

bool TEasyRowLayout::Rebuild(TEasyWrapList& rows, int from, int to, int topRow)
{
    const int count = LineCount();
    const int before = rows.Count();
    // Rows of lines that no longer exist go first.
    rows.DeleteLines(count, INT_MAX);
    lastBuilt_ = std::min(lastBuilt_, count - 1);
    from = std::max(std::min(from, lastBuilt_ + 1), 0);
    if (from >= count)
        return rows.Count() != before;
    // Only a rebuild asked to run to the end stops early; a batch the row
    // list asks for is built whole.
    const bool toEnd = to == ToTheEnd;
    if (to >= count - 1) {
        // Everything after from is rebuilt (the line numbers may have moved).
        rows.DeleteLines(from, INT_MAX);
        to = count - 1;
    } else {
        rows.DeleteLines(from, to);
    }
    for (int line = from; line <= to; ++line) {
        if (BeforeWrapLine)
            BeforeWrapLine(line);
        const std::u16string text = LineText(line);
        if (text.empty()) {
            rows.AddRow(line, 0);
        } else {
            for (const TEasyRowRange& row : WrapLine(text, Fits, BreakChar))
                rows.AddRow(line, row.Start, row.End);
        }
        if (line > lastBuilt_ || to == count - 1)
            lastBuilt_ = line;
        if (toEnd && int64_t(rows.Count()) > int64_t(topRow) + RowsAhead)
            break;
    }
    return true;
}

}  // namespace qrv

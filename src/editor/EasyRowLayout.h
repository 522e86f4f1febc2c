#pragma once
// TEasyRowLayout: cuts the lines of a text into screen rows for word wrap
// and keeps them in the row list. Where a row ends is asked of a "fits"
// function (how many characters from a column fit in a row), so the layout
// knows nothing of fonts. Rows are built from the first changed line and,
// when a rebuild runs to the end of the text, only a batch beyond the first
// visible row; the row list asks for the rest when a conversion needs it.
// Portable.

#include "editor/EasyWrapList.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qrv {

// How many characters of the line, from the column on, fit in one row.
using TEasyFits = std::function<int(std::u16string_view line, int from)>;
// The characters a row may end after (the source's delimiters).
using TEasyBreakChar = std::function<bool(char16_t c)>;

// A row as a half-open column range; the last row of a line ends at INT_MAX.
struct TEasyRowRange {
    int Start = 0;
    int End = 0;
    bool operator==(const TEasyRowRange&) const = default;
};

// Cuts one line into rows. A row that cannot take the rest of the line ends
// after the last break character among the characters that fit, else right
// after the last fitting character. Every row takes at least one character
// and a surrogate pair is never split, so narrow windows cannot loop.
std::vector<TEasyRowRange> WrapLine(std::u16string_view line, const TEasyFits& fits, const TEasyBreakChar& breakChar);

// A fits function for a grid of equal cells: min(cells, characters left).
TEasyFits GridFits(int cellsPerRow);

class TEasyRowLayout {
public:
    // Rows built beyond the first visible row when a rebuild runs to the end.
    static constexpr int RowsAhead = 256;
    static constexpr int ToTheEnd = 2147483647;

    std::function<int()> LineCount;
    std::function<std::u16string(int line)> LineText;
    TEasyFits Fits;
    TEasyBreakChar BreakChar;
    // Called once per line before it is cut.
    std::function<void(int line)> BeforeWrapLine;

    // Rebuilds the rows of the lines from..to (to may be ToTheEnd) into the
    // list; from is lowered to the first line not yet built. Rows of lines
    // past the text are dropped. Returns whether rows were added or removed.
    bool Rebuild(TEasyWrapList& rows, int from, int to, int topRow);
    // Forgets every row: the next rebuild starts at line 0.
    void Reset(TEasyWrapList& rows);
    // The last line whose rows are built, -1 when none is.
    int LastBuiltLine() const { return lastBuilt_; }
    // Rows of the whole text as far as known: lines not built yet count as
    // one row each.
    int64_t EstimatedRows(const TEasyWrapList& rows) const;

private:
    int lastBuilt_ = -1;
};

}  // namespace qrv

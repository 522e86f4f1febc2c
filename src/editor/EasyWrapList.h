#pragma once
// TEasyWrapList: the screen rows of word-wrapped text lines, in text order,
// and the conversions between text positions (line, column) and row
// positions (row index, column within the row). Rows are made on demand:
// a conversion that needs rows not yet made asks the owner through
// OnNeedRows to wrap a batch of further lines. Portable.

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace qrv {

struct TEasyWrapRow {
    int32_t Line = 0;
    int32_t EndCol = INT_MAX;  // exclusive; INT_MAX for the last row of a line
    int32_t StartCol = 0;
};

// X a 0-based column; Y a line (text positions) or a row index (row positions).
struct TEasyWrapPos {
    int X = 0;
    int Y = 0;
};

class TEasyWrapList {
public:
    // Rows a conversion needs are asked for this many lines ahead.
    static constexpr int LookAhead = 256;

    int Count() const { return static_cast<int>(rows_.size()); }
    const TEasyWrapRow& Items(int index) const { return rows_.at(static_cast<size_t>(index)); }

    // Adds a row in order of line and end column (a row with the same line
    // and end column is replaced).
    void AddRow(int line, int startCol, int endCol = INT_MAX);

    // Asks OnNeedRows for rows from the line after the last wrapped one up to
    // the target line plus LookAhead when rows for the target are missing.
    // ByRow: the target is a row index, else a line.
    void EnsureRows(int target, bool byRow);

    // The row holding the text position, or -1. The break column belongs to
    // the row it starts unless AtRowEnd puts it at the end of the row before.
    int FindRow(TEasyWrapPos pos, bool atRowEnd);
    // Row index and column within the row; false (row -1, the column as
    // given) when no row holds the position.
    bool TextToRow(TEasyWrapPos pos, bool atRowEnd, TEasyWrapPos& rowPos);
    // The row index limited to the last row; -1 when there are no rows.
    int RowIndex(TEasyWrapPos rowPos);
    // Line and column of a row position; false (the position unchanged, the
    // row taken for the line) when there is no row.
    bool RowToText(TEasyWrapPos rowPos, TEasyWrapPos& pos);
    // As RowToText, but each row past the last one stands for one more line.
    void RowToTextBeyond(TEasyWrapPos rowPos, TEasyWrapPos& pos);

    void DeleteLines(int fromLine, int toLine);
    void Clear() { rows_.clear(); }

    std::function<void(TEasyWrapList& Sender, int FromLine, int ToLine)> OnNeedRows;

private:
    std::vector<TEasyWrapRow> rows_;  // by Line, then EndCol
};

}  // namespace qrv

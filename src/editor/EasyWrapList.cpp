#include "editor/EasyWrapList.h"

#include <algorithm>

namespace qrv {

namespace {

bool RowBefore(const TEasyWrapRow& row, const TEasyWrapRow& key)
{
    return row.Line != key.Line ? row.Line < key.Line : row.EndCol < key.EndCol;
}

// A column within a row moved by the row's start; "to the end of the line"
// stays as it is.
int ShiftColumn(int column, int by)
{
    if (column == INT_MAX)
        return column;
    const int64_t shifted = int64_t(column) + by;
    return static_cast<int>(std::clamp<int64_t>(shifted, INT_MIN, INT_MAX - 1));
}

}  // namespace

void TEasyWrapList::AddRow(int line, int startCol, int endCol)
{
    const TEasyWrapRow row{line, endCol, startCol};
    auto at = std::lower_bound(rows_.begin(), rows_.end(), row, RowBefore);
    if (at != rows_.end() && at->Line == line && at->EndCol == endCol)
        *at = row;
    else
        rows_.insert(at, row);
}

void TEasyWrapList::EnsureRows(int target, bool byRow)
{
    if (!OnNeedRows || target < 0)
        return;
    const int count = Count();
    const int lastLine = count == 0 ? 0 : rows_.back().Line;
    const bool missing = byRow ? target > count - 1 : (count == 0 || lastLine < target);
    if (!missing)
        return;
    const int fromLine = count == 0 ? 0 : lastLine + 1;
    const int64_t targetLine = byRow ? int64_t(target) + lastLine - count : int64_t(target);
    // Never a range that ends before it starts.
    const int64_t toLine = std::clamp<int64_t>(targetLine + LookAhead, fromLine, INT_MAX);
    OnNeedRows(*this, fromLine, static_cast<int>(toLine));
}

int TEasyWrapList::FindRow(TEasyWrapPos pos, bool atRowEnd)
{
    EnsureRows(pos.Y, false);
    const TEasyWrapRow key{pos.Y, pos.X, 0};
    auto it = std::lower_bound(rows_.begin(), rows_.end(), key, RowBefore);
    // The first row of the line ending at or after the column; when the
    // column is its end, the next row (starting there) holds it instead.
    for (; it != rows_.end() && it->Line == pos.Y && it->StartCol <= pos.X; ++it) {
        if (pos.X < it->EndCol || (pos.X == it->EndCol && (atRowEnd || pos.X == INT_MAX)))
            return static_cast<int>(it - rows_.begin());
    }
    return -1;
}

bool TEasyWrapList::TextToRow(TEasyWrapPos pos, bool atRowEnd, TEasyWrapPos& rowPos)
{
    const int row = FindRow(pos, atRowEnd);
    if (row < 0) {
        rowPos = {pos.X, -1};
        return false;
    }
    rowPos = {ShiftColumn(pos.X, -rows_[size_t(row)].StartCol), row};
    return true;
}

int TEasyWrapList::RowIndex(TEasyWrapPos rowPos)
{
    EnsureRows(rowPos.Y, true);
    if (rowPos.Y < 0 || rows_.empty())
        return -1;
    return std::min(rowPos.Y, Count() - 1);
}

bool TEasyWrapList::RowToText(TEasyWrapPos rowPos, TEasyWrapPos& pos)
{
    const int row = RowIndex(rowPos);
    if (row < 0) {
        pos = rowPos;
        return false;
    }
    const TEasyWrapRow& found = rows_[size_t(row)];
    pos = {ShiftColumn(rowPos.X, found.StartCol), found.Line};
    return true;
}

void TEasyWrapList::RowToTextBeyond(TEasyWrapPos rowPos, TEasyWrapPos& pos)
{
    EnsureRows(rowPos.Y, true);
    const int last = Count() - 1;
    if (last >= 0 && rowPos.Y > last) {
        const int64_t line = int64_t(rows_.back().Line) + (int64_t(rowPos.Y) - last);
        pos = {rowPos.X, static_cast<int>(std::min<int64_t>(line, INT_MAX))};
        return;
    }
    RowToText(rowPos, pos);
}

void TEasyWrapList::DeleteLines(int fromLine, int toLine)
{
    std::erase_if(rows_, [&](const TEasyWrapRow& row) { return row.Line >= fromLine && row.Line <= toLine; });
}

}  // namespace qrv

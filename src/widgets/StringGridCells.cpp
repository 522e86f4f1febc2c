#include "widgets/StringGridCells.h"

#include <algorithm>

namespace qrv {

namespace {
const std::wstring kEmpty;
}

TStringGridCells::TStringGridCells(int colCount, int rowCount, int fixedCols, int fixedRows)
    : colCount_(std::max(colCount, 1)), fixedCols_(fixedCols), fixedRows_(fixedRows)
{
    rows_.assign(static_cast<size_t>(std::max(rowCount, 1)), std::vector<std::wstring>(static_cast<size_t>(colCount_)));
    ClampCurrent();
}

void TStringGridCells::SetColCount(int count)
{
    colCount_ = std::max(count, 1);
    for (auto& row : rows_)
        row.resize(static_cast<size_t>(colCount_));
    ClampCurrent();
}

void TStringGridCells::SetRowCount(int count)
{
    rows_.resize(static_cast<size_t>(std::max(count, 1)), std::vector<std::wstring>(static_cast<size_t>(colCount_)));
    ClampCurrent();
}

const std::wstring& TStringGridCells::Cell(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount())
        return kEmpty;
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGridCells::SetCell(int col, int row, const std::wstring& text)
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount())
        return;
    rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

void TStringGridCells::SetCurrent(int col, int row)
{
    col_ = col;
    row_ = row;
    ClampCurrent();
}

void TStringGridCells::ClampCurrent()
{
    col_ = std::clamp(col_, std::min(fixedCols_, colCount_ - 1), colCount_ - 1);
    row_ = std::clamp(row_, std::min(fixedRows_, RowCount() - 1), RowCount() - 1);
}

void TStringGridCells::MoveRow(int from, int to)
{
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount() || from == to)
        return;
    auto row = std::move(rows_[static_cast<size_t>(from)]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(row));
}

void TStringGridCells::SwapRows(int a, int b)
{
    if (a < 0 || b < 0 || a >= RowCount() || b >= RowCount())
        return;
    std::swap(rows_[static_cast<size_t>(a)], rows_[static_cast<size_t>(b)]);
}

}  // namespace qrv

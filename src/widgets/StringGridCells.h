#pragma once
// The cells of a string grid: a table of texts with fixed header rows and
// columns, the current cell and whole-row moves. The grid control draws
// and edits them; dialogs read and write them. Portable.

#include <string>
#include <vector>

namespace qrv {

class TStringGridCells {
public:
    TStringGridCells(int colCount, int rowCount, int fixedCols = 1, int fixedRows = 1);

    int ColCount() const { return colCount_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // New rows and columns are empty; removed ones take their texts along.
    void SetColCount(int count);
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count) { fixedRows_ = count; }

    // Out of range reads give an empty text and writes are ignored.
    const std::wstring& Cell(int col, int row) const;
    void SetCell(int col, int row, const std::wstring& text);

    int Col() const { return col_; }
    int Row() const { return row_; }
    // The current cell stays inside the non-fixed cells.
    void SetCurrent(int col, int row);

    // Moves a whole row from one place to another, the rows between shift
    // by one (the current cell stays where it is).
    void MoveRow(int from, int to);
    void SwapRows(int a, int b);

private:
    void ClampCurrent();
    int colCount_;
    int fixedCols_;
    int fixedRows_;
    std::vector<std::vector<std::wstring>> rows_;
    int col_ = 0;
    int row_ = 0;
};

}  // namespace qrv

#pragma once
// The rows of the bookmark editor without a window: a grid of three
// columns (the label "Menü n", the caption, the folder) over one header
// row, with insertion, deletion, moves, the text Esc restores, the caption's
// ampersand and the states of the editor's buttons. The dialog is
// dialogs/win/StdDirForm.h. Portable.

#include "widgets/StringGridCells.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qrv {

struct TBookmarkRow {
    std::wstring Caption;
    std::wstring Path;
};

// The grid's columns.
constexpr int kStdDirLabelCol = 0;
constexpr int kStdDirCaptionCol = 1;
constexpr int kStdDirPathCol = 2;

// A single "&" typed into a caption is doubled (the menus show it, their
// items have an accelerator of their own); a caption holding "&&" stays.
std::wstring CaptionWithLiteralAmpersand(const std::wstring& Caption);

struct TStdDirButtons {
    bool New = true;
    bool Separator = true;
    bool Delete = false;
    bool Edit = false;
    bool Up = false;
    bool Down = false;
    bool SelectDirectory = false;
};

enum class TStdDirInsert {
    New,        // an empty row at the current row, editor open
    Separator,  // a "-" row at the current row, no editor
    After,      // an empty row after the current one (Down on the last row)
};

// What a key in the grid asks of the dialog besides the grid's own work.
enum class TStdDirKeyAction {
    None,
    FocusOk,          // Tab in the last cell: the key is taken
    InsertAfter,      // Down on the last row
    SelectDirectory,  // F4
    Restored,         // Esc put the saved text back into the current cell (it had another)
};

class TStdDirRows {
public:
    // The cells must outlive the rows; they are set to three columns.
    explicit TStdDirRows(TStringGridCells& Cells);

    // The header and one row per bookmark (one empty row when there is none).
    void Load(const std::vector<std::wstring>& Paths, const std::vector<std::wstring>& Captions);
    // The data rows, from row 1 on.
    std::vector<TBookmarkRow> Rows() const;
    int DataRows() const { return cells_.RowCount() - 1; }

    // The new row's index; it becomes current.
    int Insert(TStdDirInsert Kind);
    // The current row goes; one empty row always stays.
    void DeleteCurrent();
    void MoveUp();
    void MoveDown();
    // Writes "Menü n" into every data row's label.
    void Renumber();

    // An editor took up the current cell's text.
    void EditStarted(const std::wstring& Text) { savedText_ = Text; }
    // An edit of a caption ended: its ampersand is made literal.
    void EditEnded(int Col, int Row);
    // A key went down in the grid (Tab, Enter, Esc, Down, F4 count).
    TStdDirKeyAction KeyDown(uint16_t Key, bool Shift, bool Ctrl, bool Alt);
    const std::wstring& SavedText() const { return savedText_; }

    TStdDirButtons Buttons() const;

private:
    void ClearRow(int Row);

    TStringGridCells& cells_;
    std::wstring savedText_;
};

}  // namespace qrv

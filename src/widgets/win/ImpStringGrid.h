#pragma once
// TImpStringGrid: a string grid with a fixed header row and column, column
// descriptions (width, title, editor limit, button style), an in-place
// editor with an ellipsis button, end-of-edit and ellipsis events, and row
// moves by dragging a row's fixed cell. Enter, Esc and Tab belong to the
// grid and its editor, never to the dialog's buttons.

#include "framework/win/ComCtrls.h"
#include "framework/win/StdCtrls.h"
#include "widgets/StringGridCells.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

enum class TImpColumnButtonStyle { cbsNone, cbsEllipsis, cbsPicklist };

struct TImpColumn {
    int Width = 64;
    TImpColumnButtonStyle ButtonStyle = TImpColumnButtonStyle::cbsNone;
    int MaxLength = 0;  // the editor's limit, 0 for none
    bool ReadOnly = false;
};

using TImpGridCellEvent = std::function<void(TComponent* Sender, int Col, int Row)>;

class TImpStringGrid;

// The editor of the current cell; its keys go to the grid's OnKeyDown first.
class TImpGridInplaceEdit : public TEdit {
public:
    explicit TImpGridInplaceEdit(TImpStringGrid& grid);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    TImpStringGrid& grid_;
};

class TImpStringGrid : public TCustomControl {
public:
    explicit TImpStringGrid(TComponent* owner);
    ~TImpStringGrid() override;

    // The texts: the grid's own, or a table a model keeps (it must outlive
    // the grid). Changes made to it from outside are shown after Invalidate.
    TStringGridCells& Cells() { return *cells_; }
    void SetCells(TStringGridCells* cells);

    // One description per column, kept as many as the columns.
    int ColCount() const { return cells_->ColCount(); }
    void SetColCount(int count);
    int RowCount() const { return cells_->RowCount(); }
    void SetRowCount(int count);
    TImpColumn& Columns(int col) { return columns_.at(static_cast<size_t>(col)); }
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int height);
    // Rows that fit the client area below the fixed rows.
    int VisibleRowCount();

    int Col() const { return cells_->Col(); }
    int Row() const { return cells_->Row(); }
    // Ends an open edit, then makes the cell current and shows it.
    void SetCurrent(int col, int row);

    // The in-place editor.
    bool EditorMode() const { return editing_; }
    void ShowEditor();
    // Puts the editor's text into its cell, closes it and raises
    // OnEndEditText; nothing when no editor is open.
    void CommitEdit();
    // Closes the editor with the text it opened with.
    void CancelEdit();
    TImpGridInplaceEdit* InplaceEditor() const { return editor_; }
    // The text the current cell held when its editor opened.
    const std::wstring& EditStartText() const { return editStartText_; }
    // Whether the open editor's text differs from what it opened with.
    bool EditorModified();
    // The screen rectangle of a cell.
    RECT CellScreenRect(int col, int row);

    void Invalidate();

    // A key in the grid or its editor; Key 0 swallows it.
    TKeyEvent OnKeyDown;
    // An editor is about to open on the cell.
    TImpGridCellEvent OnGetEditText;
    TImpGridCellEvent OnEndEditText;
    TImpGridCellEvent OnElippsisClicked;
    std::function<void(TComponent* Sender, int FromRow, int ToRow)> OnRowMoved;
    TNotifyEvent OnSelectCell;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    friend class TImpGridInplaceEdit;
    class TEllipsisButton;

    // The grid's own reaction to a key (after OnKeyDown); true when taken.
    bool HandleKey(WORD key, bool fromEditor);
    void MoveTab(bool backwards);
    void ScrollIntoView();
    void UpdateScrollBar();
    void PlaceEditor();
    bool CellAt(int x, int y, int& col, int& row);
    RECT CellRect(int col, int row);
    void ClickEllipsis();

    TStringGridCells ownCells_{5, 5};
    TStringGridCells* cells_ = &ownCells_;
    std::vector<TImpColumn> columns_;
    int rowHeight_ = 18;
    int topRow_ = 1;  // the first non-fixed row shown
    bool editing_ = false;
    std::wstring editStartText_;
    TImpGridInplaceEdit* editor_ = nullptr;
    TEllipsisButton* ellipsis_ = nullptr;
    int dragRow_ = -1;  // the row whose fixed cell was pressed
};

}  // namespace qrv

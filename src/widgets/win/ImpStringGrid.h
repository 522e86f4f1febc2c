#pragma once
// TImpStringGrid: a string grid with a fixed header row and column, column
// descriptions (width, title, alignment, colour, editor limit, button
// style), an in-place editor with an ellipsis button or a pick list,
// end-of-edit and ellipsis events, rows appended by Tab, and row moves by
// dragging a row's fixed cell. Enter, Esc and Tab belong to the
// grid and its editor, never to the dialog's buttons.

#include "framework/win/ComCtrls.h"
#include "framework/win/StdCtrls.h"
#include "widgets/ImpGridColumn.h"
#include "widgets/StringGridCells.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

using TImpGridCellEvent = std::function<void(TComponent* Sender, int Col, int Row)>;
// Before the pick list opens: PickList is a copy of the column's choices
// that the handler may change for this opening.
using TImpGridDropDownEvent =
    std::function<void(TComponent* Sender, int Col, int Row, std::vector<std::wstring>& PickList)>;

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
    // What the columns fall back on: the grid's colours now.
    TImpGridLook Look() const;
    TColor FixedColor = clBtnFace;
    // The input method the editor opens with in a column that names none.
    TImeMode ImeMode = TImeMode::imDontCare;
    std::wstring ImeName;
    // Tab in the last cell appends a row (OnNewRow; OnTooMuchrows once
    // when the rows no longer fit).
    bool AutoInsertRows = false;
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
    // The pick list of a cbsPicklist column: open or close it (accepting
    // its selected item puts it into the editor).
    bool PickListVisible() const;
    void OpenPickList();
    void ClosePickList(bool accept);
    HWND PickListHandle() const { return pickList_; }
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
    TImpGridDropDownEvent OnPicklistDropdown;
    TNotifyEvent OnNewRow;
    TNotifyEvent OnTooMuchrows;
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
    void AppendRow();
    void ScrollIntoView();
    void UpdateScrollBar();
    void PlaceEditor();
    bool CellAt(int x, int y, int& col, int& row);
    RECT CellRect(int col, int row);
    void ClickEllipsis();
    void ButtonPressed();
    TImpColumnButtonStyle EditStyle() const;
    bool PickListKey(WORD key);
    void PickListChar(wchar_t key);
    static LRESULT CALLBACK PickListProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);

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
    bool tooManyRowsReported_ = false;
    HWND pickList_ = nullptr;  // a popup list box, made on first need
    TTypeAheadSearch typeAhead_;
};

}  // namespace qrv

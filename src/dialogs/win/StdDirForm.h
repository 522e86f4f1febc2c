#pragma once
// TStdDirForm ("Lesezeichen bearbeiten"): all bookmarks in a grid, one row
// each with its caption and folder, rows for menu separators; new, delete,
// down, up, edit (F2), choose a folder (F4, the cell's "..." button) and
// separator. The rows' logic is dialogs/StdDirRows.h. The form never
// writes the bookmark lists: its caller reads Rows() after a confirmed run.

#include "dialogs/StdDirRows.h"
#include "framework/ShortCuts.h"
#include "framework/win/Forms.h"

#include <string>
#include <vector>

namespace qrv {

class TButton;
class TControl;
class TDriveView;
class TImpStringGrid;
class TPanel;
class TSelDirDialog;

// What the editor needs of the window that opens it.
// Private message: the grid takes the focus once the form is up.
constexpr UINT WM_STDDIR_FOCUSGRID = WM_USER + 0x150;

class TStdDirFormHost {
public:
    virtual ~TStdDirFormHost() = default;
    // The window's folder tree: the folder picker takes its settings and,
    // for a row without an existing folder, its folder.
    virtual TDriveView* MainTree() = 0;
    // The control the folder picker is centred over.
    virtual TControl* PickerAnchor() = 0;
    // Runs the folder picker modally; true when it closed with OK.
    virtual bool RunFolderPicker(TSelDirDialog& Picker) = 0;
};

class TStdDirForm : public TForm {
public:
    TStdDirForm(TComponent* Owner, TStdDirFormHost& Host);
    ~TStdDirForm() override;

    TImpStringGrid* StdDirGrid = nullptr;
    TButton* btnNew = nullptr;            // NOLINT(readability-identifier-naming)
    TButton* btnDelete = nullptr;         // NOLINT(readability-identifier-naming)
    TButton* btnDown = nullptr;           // NOLINT(readability-identifier-naming)
    TButton* btnUp = nullptr;             // NOLINT(readability-identifier-naming)
    TButton* btnEdit = nullptr;           // NOLINT(readability-identifier-naming)
    TButton* btnSelect = nullptr;         // NOLINT(readability-identifier-naming)
    TButton* btnInsertDivider = nullptr;  // NOLINT(readability-identifier-naming)
    TButton* btnOK = nullptr;             // NOLINT(readability-identifier-naming)
    TButton* btnCancel = nullptr;         // NOLINT(readability-identifier-naming)
    TButton* btnHelp = nullptr;           // NOLINT(readability-identifier-naming)

    // The lists shown when the form opens.
    void SetBookmarks(const std::vector<std::wstring>& Paths, const std::vector<std::wstring>& Captions);
    // The grid's data rows (captions and folders), as they stand.
    std::vector<TBookmarkRow> Rows() const { return rows_.Rows(); }
    TStdDirRows& RowModel() { return rows_; }
    // Shows the form modally; true when "&OK" closed it.
    bool Execute();
    bool Confirmed() const { return confirmed_; }

    // The buttons' commands.
    void InsertRow(TStdDirInsert Kind);
    void DeleteRow();
    void MoveRowUp();
    void MoveRowDown();
    void EditCell();
    void SelectDirectory();
    // The buttons' states from the current cell.
    void UpdateButtons();

protected:
    std::wstring WindowClassName() const override { return L"TStdDirForm"; }
    void DoShow() override;
    void WndProc(TMessage& Message) override;

private:
    void CentreButtons();
    void CreateControls();
    void GridKeyDown(uint16_t& Key, TShortCut Shift);
    // The label column fits its widest label; the caption column takes a
    // quarter of the rest and the folder column the remainder.
    void FitColumns();
    // After a change of the rows: the grid shows them and the current cell.
    void RowsChanged();

    TStdDirFormHost& host_;
    TStringGridCells cells_{3, 2};
    TStdDirRows rows_{cells_};
    std::vector<std::wstring> paths_;
    std::vector<std::wstring> captions_;
    TPanel* topPanel_ = nullptr;
    TPanel* bottomPanel_ = nullptr;
    TPanel* buttonPanel_ = nullptr;
    bool confirmed_ = false;
};

}  // namespace qrv

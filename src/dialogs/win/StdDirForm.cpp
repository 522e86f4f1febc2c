#include "dialogs/win/StdDirForm.h"

#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/KySelDir.h"
#include "framework/win/Buttons.h"
#include "framework/win/ExtCtrls.h"
#include "panels/win/DriveView.h"
#include "widgets/win/ImpStringGrid.h"

#include <algorithm>

namespace qrv {

namespace {

constexpr int kHelpBookmarkEditor = 211;
constexpr int kHelpFolderPicker = 350;
constexpr int kToolButtonWidth = 23;
constexpr int kToolButtonHeight = 22;
constexpr int kBottomPanelHeight = 35;

TPanel* AddPanel(TComponent* owner, TWinControl* parent, TAlign align)
{
    auto* panel = new TPanel(owner);
    panel->SetBevelOuter(TPanelBevel::bvNone);
    panel->SetAlign(align);
    panel->SetParent(parent);
    return panel;
}

TButton* AddButton(TComponent* owner, TWinControl* parent, const wchar_t* name, const std::wstring& caption,
                   const std::wstring& hint, int left, int top, int width, int height)
{
    auto* button = new TButton(owner);
    button->SetName(name);
    button->SetCaption(caption);
    button->SetHint(hint);
    button->SetBounds(left, top, width, height);
    button->SetParent(parent);
    return button;
}

int TextWidth(TWinControl& Control, const std::wstring& Text)
{
    return static_cast<int>(MeasureText(Control.Font().Handle(), Text).cx);
}

}  // namespace

TStdDirForm::TStdDirForm(TComponent* Owner, TStdDirFormHost& Host) : TForm(Owner), host_(Host)
{
    SetName(L"StdDirForm");
    SetCaption(L"Lesezeichen bearbeiten");
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(520, 340);
    HelpContext = kHelpBookmarkEditor;
    CreateControls();
    OnResize = [this](TComponent*) { FitColumns(); };
}

TStdDirForm::~TStdDirForm() = default;

void TStdDirForm::CentreButtons()
{
    const int width = bottomPanel_->Width();
    if (width > 0 && width > buttonPanel_->Width())
        buttonPanel_->SetLeft((width - buttonPanel_->Width()) / 2);
}

void TStdDirForm::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_STDDIR_FOCUSGRID) {
        if (StdDirGrid->HandleAllocated() && StdDirGrid->Visible())
            StdDirGrid->SetFocus();
        return;
    }
    TForm::WndProc(Message);
}

void TStdDirForm::CreateControls()
{
    // The buttons at the bottom, kept centred; the command row at the top;
    // the grid fills the rest.
    bottomPanel_ = AddPanel(this, this, TAlign::alBottom);
    bottomPanel_->SetHeight(kBottomPanelHeight);
    buttonPanel_ = AddPanel(this, bottomPanel_, TAlign::alNone);
    buttonPanel_->SetBounds(0, 0, 3 * 88 + 2 * 8, kBottomPanelHeight);
    btnOK = AddButton(this, buttonPanel_, L"btnOK", L"  &OK        ", L"", 0, 5, 88, 25);
    btnOK->SetDefault(true);
    btnOK->ModalResult = mrOk;
    btnOK->OnClick = [this](TComponent*) {
        // A caption or folder still being typed counts.
        StdDirGrid->CommitEdit();
        confirmed_ = true;
    };
    btnCancel = AddButton(this, buttonPanel_, L"btnCancel", L"A&bbrechen", L"", 96, 5, 88, 25);
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    btnHelp = AddButton(this, buttonPanel_, L"btnHelp", L"Hilfe        ", L"", 192, 5, 88, 25);
    btnHelp->OnClick = [this](TComponent*) {
        if (Application && Application->OnHelp)
            Application->OnHelp(static_cast<DWORD>(HelpContext));
    };
    bottomPanel_->OnResize = [this](TComponent*) { CentreButtons(); };

    topPanel_ = AddPanel(this, this, TAlign::alTop);
    topPanel_->SetHeight(kToolButtonHeight + 6);
    struct TCommandButton {
        const wchar_t* Name;
        const wchar_t* Glyph;
        const wchar_t* Hint;
        TButton** Target;
        void (TStdDirForm::*Run)();
    };
    const TCommandButton commands[] = {
        {L"btnNew", L"+", L"Neues Lesezeichen einfügen", &btnNew, nullptr},
        {L"btnDelete", L"×", L"Markiertes Lesezeichen löschen", &btnDelete, &TStdDirForm::DeleteRow},
        {L"btnDown", L"↓", L"Eintrag nach unten verschieben", &btnDown, &TStdDirForm::MoveRowDown},
        {L"btnUp", L"↑", L"Eintrag nach oben verschieben", &btnUp, &TStdDirForm::MoveRowUp},
        {L"btnEdit", L"F2", L"Lesezeichen bearbeiten (F2)", &btnEdit, &TStdDirForm::EditCell},
        {L"btnSelect", L"...", L"Verzeichnis auswählen", &btnSelect, &TStdDirForm::SelectDirectory},
        {L"btnInsertDivider", L"—", L"Eine Trennlinie im Menü einfügen.", &btnInsertDivider, nullptr},
    };
    int left = 3;
    for (const TCommandButton& command : commands) {
        TButton* button = AddButton(this, topPanel_, command.Name, command.Glyph, command.Hint, left, 3,
                                    kToolButtonWidth, kToolButtonHeight);
        if (command.Run) {
            const auto run = command.Run;
            button->OnClick = [this, run](TComponent*) { (this->*run)(); };
        }
        *command.Target = button;
        left += kToolButtonWidth;
    }
    btnNew->OnClick = [this](TComponent*) { InsertRow(TStdDirInsert::New); };
    btnInsertDivider->OnClick = [this](TComponent*) { InsertRow(TStdDirInsert::Separator); };

    StdDirGrid = new TImpStringGrid(this);
    StdDirGrid->SetName(L"StdDirGrid");
    StdDirGrid->SetCells(&cells_);
    StdDirGrid->AutoInsertRows = true;
    StdDirGrid->SetAlign(TAlign::alClient);
    StdDirGrid->Columns(kStdDirPathCol).ButtonStyle = TImpColumnButtonStyle::cbsEllipsis;
    StdDirGrid->Columns(kStdDirCaptionCol).Title.SetCaption(L"Beschriftung");
    StdDirGrid->Columns(kStdDirPathCol).Title.SetCaption(L"Verzeichnis");
    StdDirGrid->SetParent(this);
    StdDirGrid->OnKeyDown = [this](TComponent*, uint16_t& key, TShortCut shift) { GridKeyDown(key, shift); };
    StdDirGrid->OnGetEditText = [this](TComponent*, int col, int row) { rows_.EditStarted(cells_.Cell(col, row)); };
    StdDirGrid->OnEndEditText = [this](TComponent*, int col, int row) {
        rows_.EditEnded(col, row);
        StdDirGrid->Invalidate();
    };
    StdDirGrid->OnElippsisClicked = [this](TComponent*, int, int) { SelectDirectory(); };
    StdDirGrid->OnRowMoved = [this](TComponent*, int, int) { RowsChanged(); };
    StdDirGrid->OnSelectCell = [this](TComponent*) { UpdateButtons(); };
    StdDirGrid->OnNewRow = [this](TComponent*) { RowsChanged(); };
}

void TStdDirForm::SetBookmarks(const std::vector<std::wstring>& Paths, const std::vector<std::wstring>& Captions)
{
    paths_ = Paths;
    captions_ = Captions;
}

void TStdDirForm::DoShow()
{
    confirmed_ = false;
    rows_.Load(paths_, captions_);
    StdDirGrid->SetDefaultRowHeight(static_cast<int>(MeasureText(Font().Handle(), L"A").cy) + 3);
    TForm::DoShow();
    RowsChanged();
    CentreButtons();
    // The grid has the keys once the form is up.
    if (HandleAllocated())
        PostMessageW(Handle(), WM_STDDIR_FOCUSGRID, 0, 0);
}

bool TStdDirForm::Execute()
{
    return ShowModal() == mrOk && confirmed_;
}

void TStdDirForm::FitColumns()
{
    if (!StdDirGrid)
        return;
    int labelWidth = TextWidth(*StdDirGrid, L"Menü 1");
    for (int row = 1; row < cells_.RowCount(); ++row)
        labelWidth = std::max(labelWidth, TextWidth(*StdDirGrid, cells_.Cell(kStdDirLabelCol, row)));
    const int client = StdDirGrid->ClientWidth();
    const int first = labelWidth + 15;
    const int caption = std::max((client - first) / 4, 20);
    StdDirGrid->Columns(kStdDirLabelCol).Width = first;
    StdDirGrid->Columns(kStdDirCaptionCol).Width = caption;
    StdDirGrid->Columns(kStdDirPathCol).Width = std::max(client - first - caption - 2, 20);
    StdDirGrid->Invalidate();
}

void TStdDirForm::RowsChanged()
{
    rows_.Renumber();
    FitColumns();
    StdDirGrid->SetCurrent(cells_.Col(), cells_.Row());
    UpdateButtons();
}

void TStdDirForm::UpdateButtons()
{
    const TStdDirButtons states = rows_.Buttons();
    btnNew->SetEnabled(states.New);
    btnInsertDivider->SetEnabled(states.Separator);
    btnDelete->SetEnabled(states.Delete);
    btnEdit->SetEnabled(states.Edit);
    btnUp->SetEnabled(states.Up);
    btnDown->SetEnabled(states.Down);
    btnSelect->SetEnabled(states.SelectDirectory);
}

void TStdDirForm::InsertRow(TStdDirInsert Kind)
{
    StdDirGrid->CommitEdit();
    rows_.Insert(Kind);
    RowsChanged();
    if (StdDirGrid->HandleAllocated())
        StdDirGrid->SetFocus();
    if (Kind != TStdDirInsert::Separator)
        StdDirGrid->ShowEditor();
}

void TStdDirForm::DeleteRow()
{
    StdDirGrid->CancelEdit();
    rows_.DeleteCurrent();
    RowsChanged();
    if (StdDirGrid->HandleAllocated())
        StdDirGrid->SetFocus();
}

void TStdDirForm::MoveRowUp()
{
    StdDirGrid->CommitEdit();
    rows_.MoveUp();
    RowsChanged();
}

void TStdDirForm::MoveRowDown()
{
    StdDirGrid->CommitEdit();
    rows_.MoveDown();
    RowsChanged();
}

void TStdDirForm::EditCell()
{
    if (StdDirGrid->HandleAllocated())
        StdDirGrid->SetFocus();
    StdDirGrid->ShowEditor();
}

void TStdDirForm::SelectDirectory()
{
    const int row = cells_.Row();
    // An open edit of the folder counts as the row's folder.
    StdDirGrid->CommitEdit();
    TDriveView* mainTree = host_.MainTree();
    TSelDirDialog picker(this);
    picker.HelpContext = kHelpFolderPicker;
    if (mainTree)
        picker.DriveView->TakeSettingsOf(*mainTree);
    if (TControl* anchor = host_.PickerAnchor())
        CenterFormOverControl(*anchor, picker);
    const std::wstring current = cells_.Cell(kStdDirPathCol, row);
    const std::wstring treeFolder = mainTree ? mainTree->GetDirectory() : std::wstring();
    picker.SetDirectory(!current.empty() && DirExists(current) ? current : treeFolder);
    if (picker.Directory().empty())
        picker.SetDirectory(treeFolder);
    if (host_.RunFolderPicker(picker) && !picker.Directory().empty()) {
        cells_.SetCell(kStdDirPathCol, row, picker.Directory());
        StdDirGrid->Invalidate();
    }
}

void TStdDirForm::GridKeyDown(uint16_t& Key, TShortCut Shift)
{
    // Enter makes what the editor holds the cell's text first, so that Esc
    // brings back what was confirmed; Esc closes the editor before the
    // saved text goes back into the cell.
    const bool editing = StdDirGrid->EditorMode();
    if (Key == VK_RETURN && editing)
        StdDirGrid->CommitEdit();
    if (Key == VK_ESCAPE && editing)
        StdDirGrid->CancelEdit();
    switch (rows_.KeyDown(Key, (Shift & scShift) != 0, (Shift & scCtrl) != 0, (Shift & scAlt) != 0)) {
    case TStdDirKeyAction::FocusOk:
        StdDirGrid->CommitEdit();
        btnOK->SetFocus();
        Key = 0;
        break;
    case TStdDirKeyAction::InsertAfter:
        StdDirGrid->CommitEdit();
        rows_.Insert(TStdDirInsert::After);
        RowsChanged();
        StdDirGrid->ShowEditor();
        Key = 0;
        break;
    case TStdDirKeyAction::SelectDirectory:
        SelectDirectory();
        Key = 0;
        break;
    case TStdDirKeyAction::Restored:
        StdDirGrid->Invalidate();
        Key = 0;
        break;
    case TStdDirKeyAction::None:
        // Esc with nothing to end or bring back closes the form, as on any dialog.
        if (Key == VK_ESCAPE && !editing) {
            SetModalResult(mrCancel);
            Key = 0;
        }
        break;
    }
    // The edit Enter or Esc ended is not to open again.
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && editing)
        Key = 0;
}

}  // namespace qrv

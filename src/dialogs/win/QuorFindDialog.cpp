#include "dialogs/win/QuorFindDialog.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/win/Buttons.h"
#include "framework/win/Handles.h"
#include "framework/win/StdCtrls.h"
#include "dialogs/DirSearchRules.h"

namespace qrv {

TQuorFindDialog::TQuorFindDialog(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Suchen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetClientSize(372, 104);
    OnClose = [this](TComponent*, TCloseAction&) { Closing(); };

    lblSearch = new TLabel(this);
    lblSearch->SetParent(this);
    lblSearch->SetCaption(L"Suche nach Verzeichnis:");
    lblSearch->SetBounds(10, 10, 260, 16);
    SearchStr = new TEdit(this);
    SearchStr->SetParent(this);
    SearchStr->SetMaxLength(static_cast<int>(kDirSearchMaxText));
    SearchStr->SetBounds(10, 28, 260, 22);
    SearchStr->OnChange = [this](TComponent*) { TextChanged(); };
    // Characters no folder name holds are refused as they are typed.
    SearchStr->AddMessageListener([](TMessage& message) {
        if (message.Msg == WM_CHAR && IsRefusedDirSearchChar(static_cast<wchar_t>(message.WParam))) {
            MessageBeep(MB_OK);
            message.Result = 0;
            return true;
        }
        return false;
    });
    LblFoundDir = new TLabel(this);
    LblFoundDir->SetParent(this);
    LblFoundDir->SetCaption(kNothingFound);
    LblFoundDir->SetBounds(10, 66, 260, 30);

    const auto button = [this](const std::wstring& caption, int y) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(caption);
        b->SetBounds(284, y, 78, 25);
        return b;
    };
    btnSearch = button(L"&Suchen", 10);
    btnSearch->SetDefault(true);
    btnSearch->OnClick = [this](TComponent*) {
        if (OnSearch && !SearchStr->Text().empty())
            OnSearch();
    };
    btnClose = button(L"S&chließen", 40);
    btnClose->Cancel = true;
    btnClose->OnClick = [this](TComponent*) { Close(); };
    btnJump = button(L"Springen", 70);
    btnJump->OnClick = [this](TComponent*) {
        if (!found_)
            return;
        jump_ = true;
        if (OnJump)
            OnJump();
    };
    UpdateButtons();
}

void TQuorFindDialog::SetFoundDir(const std::wstring& Path)
{
    found_ = !Path.empty();
    std::wstring shown = found_ ? Path : std::wstring(kNothingFound);
    if (found_ && LblFoundDir->HandleAllocated()) {
        const TWindowDC dc(LblFoundDir->Handle());
        const TSelectObject font(dc.Get(), LblFoundDir->Font().Handle());
        shown = ShortenPathToWidth(Path, dc.Get(), LblFoundDir->Width());
    }
    LblFoundDir->SetCaption(shown);
    UpdateButtons();
}

void TQuorFindDialog::DoShow()
{
    jump_ = false;
    // Back onto the screen when the window placed it beyond an edge.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int left = Left();
    int top = Top();
    if (left + Width() > screenWidth)
        left = screenWidth - Width();
    if (top + Height() > screenHeight)
        top = screenHeight - Height();
    if (left != Left() || top != Top())
        SetBounds(left, top, Width(), Height());
    TForm::DoShow();
    if (SearchStr->HandleAllocated())
        SearchStr->SetFocus();
}

void TQuorFindDialog::Closing()
{
    // The window takes its expansions back and forgets the hit.
    found_ = false;
    LblFoundDir->SetCaption(kNothingFound);
    UpdateButtons();
    if (OnSearchClosed)
        OnSearchClosed();
}

void TQuorFindDialog::TextChanged()
{
    if (found_) {
        found_ = false;
        LblFoundDir->SetCaption(kNothingFound);
        if (OnTextChanged)
            OnTextChanged();
    }
    UpdateButtons();
}

void TQuorFindDialog::UpdateButtons()
{
    btnSearch->SetEnabled(!SearchStr->Text().empty());
    btnJump->SetEnabled(found_);
}

}  // namespace qrv

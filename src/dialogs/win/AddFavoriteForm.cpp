#include "dialogs/win/AddFavoriteForm.h"

#include "common/win/FileQueries.h"
#include "dialogs/win/SplitFileDialogs.h"
#include "framework/win/Buttons.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/StdCtrls.h"

namespace qrv {

namespace {

constexpr int kHelpAddBookmark = 210;

TLabel* AddLabel(TForm* form, const std::wstring& caption, int y, int width)
{
    auto* label = new TLabel(form);
    label->ShowAccelChar = true;
    label->SetParent(form);
    label->SetCaption(caption);
    label->SetBounds(12, y, width, 16);
    return label;
}

TButton* AddButton(TForm* form, const std::wstring& caption, int x, int y)
{
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetCaption(caption);
    button->SetBounds(x, y, 84, 26);
    return button;
}

}  // namespace

TAddFavoriteForm::TAddFavoriteForm(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Lesezeichen hinzufügen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(400, 150);
    HelpContext = kHelpAddBookmark;
    const int width = ClientWidth() - 24;

    AddLabel(this, L"Dieses &Verzeichnis zu den Lesezeichen hinzufügen:", 10, width);
    edDir = new TEdit(this);
    edDir->SetParent(this);
    edDir->SetBounds(12, 28, width, 22);
    edDir->OnChange = [this](TComponent*) { UpdateOkButton(); };
    AddLabel(this, L"B&eschriftung", 58, width);
    edCaption = new TEdit(this);
    edCaption->SetParent(this);
    edCaption->SetBounds(12, 76, width, 22);

    const int right = ClientWidth() - 12;
    OkButton = AddButton(this, L"&OK", right - 3 * 84 - 12, 114);
    OkButton->SetDefault(true);
    OkButton->OnClick = [this](TComponent*) { OkClicked(); };
    CancelButton = AddButton(this, L"A&bbrechen", right - 2 * 84 - 6, 114);
    CancelButton->Cancel = true;
    CancelButton->ModalResult = mrCancel;
    HelpButton = AddButton(this, L"&Hilfe", right - 84, 114);
    ReportError = [](const std::wstring& Text) { MessageDlg(Text, TMsgDlgType::mtError, mbOK, 0); };
    HelpButton->OnClick = [this](TComponent*) {
        if (Application && Application->OnHelp)
            Application->OnHelp(static_cast<DWORD>(HelpContext));
    };
}

void TAddFavoriteForm::UpdateOkButton()
{
    OkButton->SetEnabled(!edDir->Text().empty());
}

void TAddFavoriteForm::DoShow()
{
    accepted_ = false;
    UpdateOkButton();
    TForm::DoShow();
    KeepFormOnScreen(*this);
}

bool TAddFavoriteForm::Execute()
{
    return ShowModal() == mrOk && accepted_;
}

void TAddFavoriteForm::OkClicked()
{
    accepted_ = false;
    const std::wstring dir = edDir->Text();
    if (dir.empty())
        return;
    if (!DirExists(dir)) {
        MessageBeep(0);
        ReportError(kBookmarkDirMissingText);
        edDir->SetFocus();
        return;
    }
    accepted_ = true;
    SetModalResult(mrOk);
}

}  // namespace qrv

#include "archives/win/KyPasswordForm.h"

namespace qrv {

namespace {

// An edit that shows "*" for each character.
class TMaskedEdit : public TEdit {
public:
    using TEdit::TEdit;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TEdit::CreateParams(params);
        params.Style |= ES_PASSWORD;
    }
};

}  // namespace

TPasswordDialog::TPasswordDialog(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Password erforderlich:");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetBounds(0, 0, 360, 170);

    LblTitel = new TLabel(this);
    LblTitel->SetCaption(L"Bitte geben Sie das Password für folgende Datei ein:");
    LblTitel->SetName(L"lblTitel");
    LblTitel->SetParent(this);
    LblTitel->SetBounds(12, 12, 330, 18);

    LblFileName = new TLabel(this);
    LblFileName->SetName(L"lblFileName");
    LblFileName->SetParent(this);
    LblFileName->SetBounds(12, 34, 330, 18);

    edPassword = new TMaskedEdit(this);
    edPassword->SetName(L"edPassword");
    edPassword->SetParent(this);
    edPassword->SetBounds(12, 58, 330, 24);

    BtnOK = new TButton(this);
    BtnOK->SetCaption(L"&OK");
    BtnOK->ModalResult = mrOk;
    BtnOK->SetDefault(true);
    BtnOK->SetName(L"btnOK");
    BtnOK->SetParent(this);
    BtnOK->SetBounds(150, 96, 92, 28);

    BtnCancel = new TButton(this);
    BtnCancel->SetCaption(L"&Abbrechen");
    BtnCancel->ModalResult = mrCancel;
    BtnCancel->Cancel = true;
    BtnCancel->SetName(L"btnCancel");
    BtnCancel->SetParent(this);
    BtnCancel->SetBounds(250, 96, 92, 28);
}

}  // namespace qrv

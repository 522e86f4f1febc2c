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

    lblTitel = new TLabel(this);
    lblTitel->SetCaption(L"Bitte geben Sie das Password für folgende Datei ein:");
    lblTitel->SetParent(this);
    lblTitel->SetBounds(12, 12, 330, 18);

    lblFileName = new TLabel(this);
    lblFileName->SetParent(this);
    lblFileName->SetBounds(12, 34, 330, 18);

    edPassword = new TMaskedEdit(this);
    edPassword->SetParent(this);
    edPassword->SetBounds(12, 58, 330, 24);

    btnOK = new TButton(this);
    btnOK->SetCaption(L"&OK");
    btnOK->ModalResult = mrOk;
    btnOK->SetDefault(true);
    btnOK->SetParent(this);
    btnOK->SetBounds(150, 96, 92, 28);

    btnCancel = new TButton(this);
    btnCancel->SetCaption(L"&Abbrechen");
    btnCancel->ModalResult = mrCancel;
    btnCancel->Cancel = true;
    btnCancel->SetParent(this);
    btnCancel->SetBounds(250, 96, 92, 28);
}

}  // namespace qrv

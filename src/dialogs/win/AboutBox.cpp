#include "dialogs/win/AboutBox.h"

#include "framework/win/Buttons.h"
#include "framework/win/Image.h"
#include "widgets/win/KyVersionInfo.h"

namespace qrv {

namespace {

// A label that reports clicks.
class TClickLabel : public TLabel {
public:
    using TLabel::TLabel;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TLabel::CreateParams(params);
        params.Style |= SS_NOTIFY;
    }
    void WndProc(TMessage& message) override
    {
        if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == STN_CLICKED) {
            if (OnClick)
                OnClick(this);
            return;
        }
        TLabel::WndProc(message);
    }
};

}  // namespace

std::wstring AboutVersionText(const std::wstring& Build)
{
    return L"Version 3.2  Build " + Build;
}

void TAboutBox::OpenHelp(int Context)
{
    if (Application && Application->OnHelp)
        Application->OnHelp(static_cast<DWORD>(Context));
}

TAboutBox::TAboutBox(TComponent* owner, const std::wstring& ProductTitle, const std::wstring& ProgramFile)
    : TForm(owner)
{
    SetCaption(L"Über " + ProductTitle);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(300, 136);

    ProgramIcon = new TImage(this);
    ProgramIcon->SetParent(this);
    ProgramIcon->SetBounds(16, 16, 32, 32);
    ProgramIcon->SetIcon(LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
    ProgramIcon->OnMouseUp = [](TComponent*) { OpenHelp(kAboutIconHelpContext); };

    ProductName = new TLabel(this);
    ProductName->SetParent(this);
    ProductName->SetCaption(ProductTitle);
    ProductName->SetBounds(64, 18, 220, 18);

    TKyVersionInfo info(nullptr);
    info.GetInfo(ProgramFile);
    auto* version = new TClickLabel(this);
    version->SetParent(this);
    version->SetCaption(AboutVersionText(info.Build()));
    version->SetBounds(64, 44, 220, 18);
    version->OnClick = [](TComponent*) { OpenHelp(kAboutVersionHelpContext); };
    Version = version;

    OKButton = new TButton(this);
    OKButton->SetParent(this);
    OKButton->SetCaption(L"OK");
    OKButton->SetBounds(112, 96, 76, 26);
    OKButton->ModalResult = mrOk;
    OKButton->SetDefault(true);
    OKButton->Cancel = true;
}

}  // namespace qrv

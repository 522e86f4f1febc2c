#include "archives/win/PasswordDlg.h"

#include "archives/ZipMessages.h"

namespace qrv {

namespace {

constexpr int kPasswordLength = 80;
constexpr int kButtonWidth = 114;
constexpr int kButtonHeight = 28;
constexpr int kButtonSpacing = 124;
constexpr int kCancelAllResult = mrAbort;

std::wstring Text(int id)
{
    std::u16string text = ZipMessageOrFallback(id);
    return std::wstring(text.begin(), text.end());
}

// An edit that shows "*" for each character.
class TPasswordEdit : public TEdit {
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

TPasswordDlg::TPasswordDlg(TComponent* owner, const std::wstring& prompt, bool forExtract) : TForm(owner)
{
    SetCaption(Text(zmPasswordCaption));
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    Font().SetName(L"Arial");
    Font().SetStyle(fsBold);
    const int buttonCount = forExtract ? 3 : 2;
    const int width = 16 + (buttonCount - 1) * kButtonSpacing + kButtonWidth + 16;
    SetBounds(0, 0, width + 8, 150);

    Prompt = new TLabel(this);
    Prompt->SetCaption(prompt);
    Prompt->SetParent(this);
    Prompt->SetBounds(16, 12, width - 32, 20);

    Edit = new TPasswordEdit(this);
    Edit->SetMaxLength(kPasswordLength);
    Edit->SetParent(this);
    Edit->SetBounds(16, 36, width - 32, 24);

    struct TSpec {
        int Id;
        int Result;
    } specs[] = {{zmButtonOk, mrOk}, {zmButtonCancel, mrCancel}, {zmButtonCancelAll, kCancelAllResult}};
    for (int i = 0; i < buttonCount; ++i) {
        auto* button = new TButton(this);
        button->SetCaption(Text(specs[i].Id));
        button->ModalResult = specs[i].Result;
        button->SetParent(this);
        button->SetBounds(16 + i * kButtonSpacing, 72, kButtonWidth, kButtonHeight);
        Buttons.push_back(button);
    }
    Buttons[0]->SetDefault(true);
    Buttons[1]->Cancel = true;
}

TPasswordButton TPasswordDlg::ButtonOf(int modalResult)
{
    switch (modalResult) {
    case mrOk:
        return pwbOk;
    case kCancelAllResult:
        return pwbCancelAll;
    default:
        return pwbCancel;
    }
}

TPasswordButton TPasswordDlg::Execute(std::wstring& password)
{
    TPasswordButton button = ButtonOf(ShowModal());
    if (button == pwbOk)
        password = Edit->Text();
    return button;
}

TPasswordButton AskZipPassword(bool isZipAction, const std::wstring& forFile, std::wstring& password, bool& mismatch)
{
    mismatch = false;
    if (!isZipAction) {
        std::u16string prompt = FormatZipMessage(ZipMessageOrFallback(zmPasswordPromptExtract),
                                                 std::u16string(forFile.begin(), forFile.end()));
        TPasswordDlg dialog(nullptr, std::wstring(prompt.begin(), prompt.end()), true);
        return dialog.Execute(password);
    }
    std::wstring first, second;
    TPasswordDlg entry(nullptr, Text(zmPasswordPromptAdd), false);
    TPasswordButton button = entry.Execute(first);
    if (button != pwbOk)
        return button;
    TPasswordDlg confirm(nullptr, Text(zmPasswordConfirm), false);
    button = confirm.Execute(second);
    if (button != pwbOk)
        return button;
    if (first != second) {
        mismatch = true;
        return pwbCancel;
    }
    password = first;
    return pwbOk;
}

}  // namespace qrv

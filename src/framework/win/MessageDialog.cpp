#include "framework/win/MessageDialog.h"

#include "framework/win/Buttons.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <memory>

namespace qrv {

namespace {

struct ButtonKind {
    TMsgDlgBtn button;
    const wchar_t* caption;
    int result;
};

// In the order the buttons stand in the dialog.
constexpr ButtonKind kButtons[] = {
    {mbYes, L"&Ja", mrYes},
    {mbNo, L"&Nein", mrNo},
    {mbOK, L"OK", mrOk},
    {mbCancel, L"Abbrechen", mrCancel},
    {mbAbort, L"&Abbrechen", mrAbort},
    {mbRetry, L"&Wiederholen", mrRetry},
    {mbIgnore, L"&Ignorieren", mrIgnore},
    {mbAll, L"&Alle", mrAll},
    {mbNoToAll, L"N&ein für alle", mrNoToAll},
    {mbYesToAll, L"Ja für &alle", mrYesToAll},
    {mbHelp, L"&Hilfe", 0},
};

const wchar_t* TypeCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return L"Warnung";
    case TMsgDlgType::mtError:
        return L"Fehler";
    case TMsgDlgType::mtInformation:
        return L"Information";
    case TMsgDlgType::mtConfirmation:
        return L"Bestätigen";
    default:
        return nullptr;
    }
}

const wchar_t* TypeIcon(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning:
        return IDI_WARNING;
    case TMsgDlgType::mtError:
        return IDI_ERROR;
    case TMsgDlgType::mtInformation:
        return IDI_INFORMATION;
    case TMsgDlgType::mtConfirmation:
        return IDI_QUESTION;
    default:
        return nullptr;
    }
}

// The icon of the dialog, a STATIC control showing a system icon.
class TDialogIcon : public TWinControl {
public:
    TDialogIcon(TComponent* owner, const wchar_t* icon) : TWinControl(owner), icon_(icon) {}

protected:
    void CreateParams(TCreateParams& params) override
    {
        TWinControl::CreateParams(params);
        params.WinClassName = L"STATIC";
        params.SystemClass = true;
        params.Style |= SS_ICON;
    }
    void CreateWindowHandle(const TCreateParams& params) override
    {
        TWinControl::CreateWindowHandle(params);
        if (handle_)
            SendMessageW(handle_, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon_)), 0);
    }

private:
    const wchar_t* icon_;
};

SIZE MeasureMultiline(HFONT font, const std::wstring& text, int maxWidth)
{
    const TWindowDC dc(nullptr);
    const TSelectObject select(dc.Get(), font);
    RECT r{0, 0, maxWidth, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

TForm* CreateMessageDialog(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    auto* form = new TForm(Application);
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetPosition(TPosition::poScreenCenter);
    const wchar_t* caption = TypeCaption(type);
    form->SetCaption(caption ? caption : Application->Title());

    constexpr int margin = 8;
    constexpr int gap = 10;
    constexpr int buttonWidth = 75;
    constexpr int buttonHeight = 25;
    int textLeft = margin;
    if (const wchar_t* icon = TypeIcon(type)) {
        auto* image = new TDialogIcon(form, icon);
        image->SetName(L"Image");
        image->SetBounds(margin, margin, 32, 32);
        image->SetParent(form);
        textLeft = margin + 32 + margin;
    }
    auto* message = new TLabel(form);
    message->SetName(L"Message");
    message->SetCaption(text);
    const SIZE textSize = MeasureMultiline(message->Font().Handle(), text, GetSystemMetrics(SM_CXSCREEN) / 2);
    message->SetBounds(textLeft, margin, textSize.cx, textSize.cy);
    message->SetParent(form);

    int count = 0;
    for (const ButtonKind& kind : kButtons)
        count += (buttons & kind.button) ? 1 : 0;
    const int buttonsWidth = count * buttonWidth + std::max(0, count - 1) * gap;
    const int clientWidth = std::max<int>(textLeft + textSize.cx + margin, buttonsWidth + 2 * margin);
    const int buttonTop = std::max<int>(margin + textSize.cy, margin + 32) + 2 * margin;
    int x = (clientWidth - buttonsWidth) / 2;
    bool defaultSet = false;
    for (const ButtonKind& kind : kButtons) {
        if (!(buttons & kind.button))
            continue;
        auto* button = new TButton(form);
        button->SetCaption(kind.caption);
        button->ModalResult = kind.result;
        button->SetBounds(x, buttonTop, buttonWidth, buttonHeight);
        if (!defaultSet && kind.button != mbHelp) {
            button->SetDefault(true);
            defaultSet = true;
        }
        button->Cancel = kind.result == mrCancel || (!(buttons & mbCancel) && kind.result == mrNo) ||
                         (!(buttons & (mbCancel | mbNo)) && kind.result == mrOk);
        button->SetParent(form);
        x += buttonWidth + gap;
    }
    form->SetClientSize(clientWidth, buttonTop + buttonHeight + margin);
    return form;
}

int MessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext)
{
    std::unique_ptr<TForm> form(CreateMessageDialog(text, type, buttons));
    form->HelpContext = helpContext;
    return form->ShowModal();
}

}  // namespace qrv

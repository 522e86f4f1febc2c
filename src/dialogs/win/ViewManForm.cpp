#include "dialogs/win/ViewManForm.h"

#include "framework/win/Buttons.h"
#include "framework/win/Image.h"
#include "framework/win/StdCtrls.h"

#include <utility>

namespace qrv {

namespace {

constexpr int kHelpViewManager = 700;

TButton* AddButton(TForm* form, const std::wstring& caption, int x, int y)
{
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetCaption(caption);
    button->SetBounds(x, y, 84, 26);
    return button;
}

TLabel* AddLabel(TWinControl* parent, TComponent* owner, const std::wstring& caption, int x, int y, int width)
{
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetCaption(caption);
    label->SetBounds(x, y, width, 16);
    return label;
}

}  // namespace

TViewManForm::TViewManForm(TComponent* owner, std::wstring PictureFolder)
    : TForm(owner), pictureFolder_(std::move(PictureFolder))
{
    SetCaption(L"Ansichtenmanager");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(440, 400);
    HelpContext = kHelpViewManager;
    const int width = ClientWidth() - 24;

    AddLabel(this, this, L"Bitte wählen Sie die bevorzugte Ansicht des Programmfensters aus:", 12, 10, width);
    cbView = new TComboBox(this);
    cbView->SetName(L"cbView");
    cbView->SetParent(this);
    cbView->SetStyle(TComboBoxStyle::csDropDownList);
    cbView->SetBounds(12, 30, width, 22);
    for (const TViewManEntry& entry : kViewManLayouts)
        cbView->Items().Add(entry.Caption);
    cbView->OnChange = [this](TComponent*) { ViewChanged(); };

    AddLabel(this, this, L"Vorschau:", 12, 62, width);
    imgPreview = new TImage(this);
    imgPreview->SetName(L"imgPreview");
    imgPreview->SetParent(this);
    imgPreview->SetBounds(12, 80, width, 180);
    imgPreview->SetCenter(true);
    lblNoPreview = AddLabel(this, this, kNoPreviewText, 12, 160, width);
    lblNoPreview->SetName(L"lblNoPreview");
    lblNoPreview->SetVisible(false);

    gbFileDisplay = new TGroupBox(this);
    gbFileDisplay->SetName(L"gbFileDisplay");
    gbFileDisplay->SetParent(this);
    gbFileDisplay->SetCaption(L"Anordnung der Dateianzeige");
    gbFileDisplay->SetBounds(12, 270, width, 72);
    rbFileDisplayBottom = new TRadioButton(this);
    rbFileDisplayBottom->SetName(L"rbFileDisplayBottom");
    rbFileDisplayBottom->SetParent(gbFileDisplay);
    rbFileDisplayBottom->GroupStart = true;
    rbFileDisplayBottom->SetCaption(L"Dateiinhalte in separaten Fenster anzeigen");
    rbFileDisplayBottom->SetBounds(12, 20, width - 24, 20);
    rbFileDisplayBottom->SetChecked(true);
    rbFileDisplayPos2FW = new TRadioButton(this);
    rbFileDisplayPos2FW->SetName(L"rbFileDisplayPos2FW");
    rbFileDisplayPos2FW->SetParent(gbFileDisplay);
    rbFileDisplayPos2FW->SetCaption(L"Dateiinhalte im zweiten Dateifenster anzeigen");
    rbFileDisplayPos2FW->SetBounds(12, 44, width - 24, 20);

    const int right = ClientWidth() - 12;
    OkButton = AddButton(this, L"&OK", right - 3 * 84 - 12, 360);
    OkButton->SetDefault(true);
    OkButton->ModalResult = mrOk;
    CancelButton = AddButton(this, L"A&bbrechen", right - 2 * 84 - 6, 360);
    CancelButton->Cancel = true;
    CancelButton->ModalResult = mrCancel;
    HelpButton = AddButton(this, L"&Hilfe", right - 84, 360);
    HelpButton->OnClick = [this](TComponent*) {
        if (Application && Application->OnHelp)
            Application->OnHelp(static_cast<DWORD>(HelpContext));
    };
}

void TViewManForm::SetLayout(const TViewLayout& Layout)
{
    shown_ = Layout;
    cbView->SetItemIndex(ViewManIndex(Layout));
    rbFileDisplayBottom->SetChecked(Layout.FileDisplayPos == 0);
    rbFileDisplayPos2FW->SetChecked(Layout.FileDisplayPos == 1);
    ViewChanged();
}

void TViewManForm::ViewChanged()
{
    const int index = cbView->ItemIndex();
    imgPreview->Clear();
    preview_.Reset();
    if (index >= 0 && index < kViewManLayoutCount) {
        const std::wstring file = pictureFolder_ + kViewManLayouts[static_cast<size_t>(index)].Preview;
        preview_.Reset(static_cast<HGDIOBJ>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    }
    // A missing or unreadable picture: the text instead.
    const bool shown = preview_.Valid();
    if (shown)
        imgPreview->SetBitmap(static_cast<HBITMAP>(preview_.Get()));
    imgPreview->SetVisible(shown);
    lblNoPreview->SetVisible(!shown);
    const bool choice = ViewManDisplayChoiceEnabled(index);
    gbFileDisplay->SetEnabled(choice);
    rbFileDisplayBottom->SetEnabled(choice);
    rbFileDisplayPos2FW->SetEnabled(choice);
}

TViewLayout TViewManForm::ChosenLayout()
{
    return ViewManResult(cbView->ItemIndex(), rbFileDisplayPos2FW->Checked(), shown_);
}

bool TViewManForm::Execute(TViewLayout& Layout)
{
    SetLayout(Layout);
    if (ShowModal() != mrOk)
        return false;
    Layout = ChosenLayout();
    return true;
}

}  // namespace qrv

#include "dialogs/win/SplitFileDialogs.h"

#include "common/win/FileQueries.h"
#include "dialogs/SplitFileFields.h"
#include "framework/win/Buttons.h"
#include "framework/win/Image.h"
#include "framework/win/ListBox.h"
#include "framework/win/MessageDialog.h"
#include "widgets/win/KySpin.h"

namespace qrv {

namespace {

constexpr int kHelpSplit = 250;
constexpr int kHelpJoin = 260;

TLabel* AddLabel(TForm* form, const std::wstring& caption, int x, int y, int width)
{
    auto* label = new TLabel(form);
    label->ShowAccelChar = true;
    label->SetParent(form);
    label->SetCaption(caption);
    label->SetBounds(x, y, width, 16);
    return label;
}

TDirectoryEdit* AddTargetDir(TForm* form, const std::wstring& caption, int y, int width)
{
    AddLabel(form, caption, 12, y, width);
    auto* edit = new TDirectoryEdit(form);
    edit->SetParent(form);
    edit->SetBounds(12, y + 18, width, 22);
    edit->DialogText = L"Zielverzeichnis";
    return edit;
}

void AddButtons(TForm* form, int y, TButton*& ok, TButton*& cancel, const std::function<void()>& onOk)
{
    const int right = form->ClientWidth() - 12;
    ok = new TButton(form);
    ok->SetParent(form);
    ok->SetCaption(L"&OK");
    ok->SetBounds(right - 2 * 80 - 6, y, 80, 26);
    ok->SetDefault(true);
    ok->OnClick = [onOk](TComponent*) { onOk(); };
    cancel = new TButton(form);
    cancel->SetParent(form);
    cancel->SetCaption(L"Abbrechen");
    cancel->SetBounds(right - 80, y, 80, 26);
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
}

// OK of both forms: an existing directory closes the form accepted.
bool TargetAccepted(TDirectoryEdit& TargetDir, int HelpContext)
{
    const std::wstring dir = TargetDir.Text();
    if (!dir.empty() && DirExists(dir))
        return true;
    MessageDlg(kTargetDirMissingText, TMsgDlgType::mtError, mbOK | mbHelp, HelpContext);
    TargetDir.SetFocus();
    return false;
}

}  // namespace

void KeepFormOnScreen(TForm& Form)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (Form.Left() + Form.Width() > screenWidth)
        Form.SetLeft(screenWidth - Form.Width());
    if (Form.Top() + Form.Height() > screenHeight)
        Form.SetTop(screenHeight - Form.Height());
}

// ---- TSplitFileDialog ------------------------------------------------------

TSplitFileDialog::TSplitFileDialog(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Dateien aufteilen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(372, 250);
    HelpContext = kHelpSplit;

    // The sizes in two columns of five, then the custom size below them.
    const auto choices = SplitSizeChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        auto* radio = new TRadioButton(this);
        radio->SetParent(this);
        radio->SetCaption(choices[i].Caption);
        radio->SetBounds(i < 5 ? 24 : 196, 14 + static_cast<int>(i % 5) * 24, 150, 20);
        radio->GroupStart = i == 0;
        rbSizes.push_back(radio);
    }
    rbCustom = new TRadioButton(this);
    rbCustom->SetParent(this);
    rbCustom->SetCaption(L"&andere Größe:");
    rbCustom->SetBounds(24, 138, 120, 20);
    CustomSize = new TKySpinEdit(this);
    CustomSize->SetParent(this);
    CustomSize->SetBounds(150, 137, 120, 22);
    CustomSize->SetMinValue(static_cast<double>(kCustomSplitKbMin));
    CustomSize->SetMaxValue(static_cast<double>(kCustomSplitKbMax));
    CustomSize->SetIncrement(static_cast<double>(kCustomSplitKbStep));
    CustomSize->SetValue(static_cast<double>(kCustomSplitKbDefault));
    CustomSize->OnChange = [this](TComponent*) { rbCustom->SetChecked(true); };
    AddLabel(this, L"KB", 276, 140, 40);

    TargetDir = AddTargetDir(this, L"&Zielverzeichnis", 170, ClientWidth() - 24);
    AddButtons(this, 216, OkButton, CancelButton, [this] { OkClicked(); });
    SetPartSize(kDefaultSplitSize);
}

void TSplitFileDialog::SetPartSize(uint64_t Bytes)
{
    const TSplitSizePreset preset = PresetForSize(Bytes);
    if (preset.Choice) {
        rbSizes[*preset.Choice]->SetChecked(true);
        return;
    }
    CustomSize->SetValue(static_cast<double>(preset.CustomKb));
    rbCustom->SetChecked(true);
}

std::optional<uint64_t> TSplitFileDialog::PartSize()
{
    return accepted_ ? acceptedSize_ : ChosenSize();
}

std::optional<uint64_t> TSplitFileDialog::ChosenSize()
{
    const auto choices = SplitSizeChoices();
    for (size_t i = 0; i < rbSizes.size(); ++i)
        if (rbSizes[i]->Checked())
            return choices[i].Bytes;
    return CustomSplitBytes(CustomSize->Text());
}

void TSplitFileDialog::DoShow()
{
    accepted_ = false;
    TForm::DoShow();
    KeepFormOnScreen(*this);
}

bool TSplitFileDialog::Execute()
{
    return ShowModal() == mrOk && accepted_;
}

void TSplitFileDialog::OkClicked()
{
    accepted_ = false;
    if (!TargetAccepted(*TargetDir, kHelpSplit))
        return;
    acceptedSize_ = ChosenSize();
    accepted_ = true;
    SetModalResult(mrOk);
}

// ---- TCombineFileDialog ----------------------------------------------------

TCombineFileDialog::TCombineFileDialog(TComponent* owner) : TForm(owner)
{
    SetCaption(L"Dateien zusammensetzen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(372, 262);
    HelpContext = kHelpJoin;

    // The program's icon beside the list of what is made.
    Picture = new TImage(this);
    Picture->SetParent(this);
    Picture->SetBounds(12, 30, 32, 32);
    Picture->SetIcon(LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
    AddLabel(this, L"Folgende Dateien werden jetzt zusammengesetzt:", 56, 10, ClientWidth() - 68);
    FileList = new TCustomListBox(this);
    FileList->SetParent(this);
    FileList->SetBounds(56, 30, ClientWidth() - 68, 118);
    TargetDir = AddTargetDir(this, L"&Zielverzeichnis:", 160, ClientWidth() - 24);
    AddButtons(this, 226, OkButton, CancelButton, [this] { OkClicked(); });
}

void TCombineFileDialog::DoShow()
{
    accepted_ = false;
    TForm::DoShow();
    KeepFormOnScreen(*this);
}

bool TCombineFileDialog::Execute()
{
    return ShowModal() == mrOk && accepted_;
}

void TCombineFileDialog::OkClicked()
{
    accepted_ = false;
    if (!TargetAccepted(*TargetDir, kHelpJoin))
        return;
    accepted_ = true;
    SetModalResult(mrOk);
}

}  // namespace qrv

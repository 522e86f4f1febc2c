#include "editor/win/EasyFindDialogs.h"

#include "editor/EasySearchSettings.h"
#include "editor/win/EasyHistoryEditor.h"
#include "editor/win/EasyUtilsWin.h"

#include <map>

namespace qrv {

namespace {

// The form's grid: a row of the text boxes, the option groups below them.
constexpr int kMargin = 8;
constexpr int kLabelWidth = 92;
constexpr int kComboWidth = 262;
constexpr int kRow = 26;
constexpr int kGroupWidth = 177;
constexpr int kButtonWidth = 84;

template <typename T>
T* Make(TWinControl* parent, const wchar_t* name, const std::wstring& caption, int left, int top, int width, int height)
{
    auto* control = new T(parent);
    control->SetName(name);
    control->SetParent(parent);
    control->SetCaption(caption);
    control->SetBounds(left, top, width, height);
    return control;
}

TEasyHistoryEditor* MakeCombo(TWinControl* parent, const wchar_t* name, int top)
{
    auto* combo = new TEasyHistoryEditor(parent);
    combo->SetName(name);
    combo->SetParent(parent);
    combo->SetBounds(kMargin + kLabelWidth, top, kComboWidth, 21);
    return combo;
}

std::wstring DialogsIni()
{
    std::wstring dir = TempDirectory();
    if (dir.empty() || dir.back() != L'\\')
        dir += L'\\';
    return dir + L"dialogs.ini";
}

std::map<int, TEasyDialogFactory>& Factories()
{
    static std::map<int, TEasyDialogFactory> factories = {
        {26, [] { return static_cast<TForm*>(new TFrmFindDlg(nullptr)); }},
        {27, [] { return static_cast<TForm*>(new TFrmReplDlg(nullptr)); }},
    };
    return factories;
}

}  // namespace

void RegisterEasyDialogClass(int code, TEasyDialogFactory factory)
{
    if (factory)
        Factories()[code] = std::move(factory);
    else
        Factories().erase(code);
}

TForm* CreateEasyDialog(int code)
{
    const auto it = Factories().find(code);
    return it == Factories().end() ? nullptr : it->second();
}

// ---- the find form ----------------------------------------------------------------------

TFrmFindDlg::TFrmFindDlg(TComponent* owner) : TFrmFindDlg(owner, false)
{
    FormCreate();
}

TFrmFindDlg::TFrmFindDlg(TComponent* owner, bool replace) : TForm(owner), settings_(GetSearchSettings())
{
    Build(replace);
}

void TFrmFindDlg::Build(bool replace)
{
    SetName(replace ? L"FrmReplDlg" : L"FrmFindDlg");
    SetCaption(replace ? L"Replace With" : L"Find Text");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    lbTextToFind = Make<TLabel>(this, L"lbTextToFind", L"&Text to Find", kMargin, kMargin + 3, kLabelWidth, 17);
    lbTextToFind->ShowAccelChar = true;
    cbTextToFind = MakeCombo(this, L"cbTextToFind", kMargin);
    // The replace form's second text row lies between.
    const int groupsTop = kMargin + (replace ? 2 : 1) * kRow + 4;
    const int right = kMargin + kGroupWidth + 8;
    gbOptions = Make<TGroupBox>(this, L"gbOptions", L"Options:", kMargin, groupsTop, kGroupWidth, replace ? 98 : 80);
    cbCaseSensitive = Make<TCheckBox>(gbOptions, L"cbCaseSensitive", L"&Case sensitive", 8, 16, 160, 17);
    cbWholeWord = Make<TCheckBox>(gbOptions, L"cbWholeWord", L"&Whole words only", 8, 36, 160, 17);
    cbRegularExpr = Make<TCheckBox>(gbOptions, L"cbRegularExpr", L"Regular e&xpressions", 8, 56, 160, 17);
    gbDirection = Make<TGroupBox>(this, L"gbDirection", L"Direction", right, groupsTop, kGroupWidth, 80);
    rbForward = Make<TRadioButton>(gbDirection, L"rbForward", L"Forward", 8, 18, 150, 17);
    rbForward->GroupStart = true;
    rbForward->SetChecked(true);
    rbBackward = Make<TRadioButton>(gbDirection, L"rbBackward", L"Backward", 8, 44, 150, 17);
    const int radiosTop = groupsTop + (replace ? 104 : 86);
    rgScope = Make<TRadioGroup>(this, L"rgScope", L"Scope:", kMargin, radiosTop, kGroupWidth, 66);
    rgScope->SetItems({L"&Global", L"&Selected text"});
    rgScope->SetItemIndex(0);
    rgOrigin = Make<TRadioGroup>(this, L"rgOrigin", L"Origin:", right, radiosTop, kGroupWidth, 66);
    rgOrigin->SetItems({L"&From cursor", L"&Entire scope"});
    rgOrigin->SetItemIndex(0);
    const int buttonsTop = radiosTop + 76;
    const int width = right + kGroupWidth + kMargin;
    // OK, (Replace All,) Cancel and Help from the right edge.
    int x = width - kMargin - (replace ? 4 : 3) * (kButtonWidth + 6) + 6;
    btOK = Make<TButton>(this, L"btOK", L"OK", x, buttonsTop, kButtonWidth, 25);
    btOK->SetDefault(true);
    btOK->ModalResult = mrOk;
    btOK->OnClick = [this](TComponent*) { btOKClick(btOK); };
    x += kButtonWidth + 6;
    if (replace)
        x += kButtonWidth + 6;
    btCancel = Make<TButton>(this, L"btCancel", L"Cancel", x, buttonsTop, kButtonWidth, 25);
    btCancel->Cancel = true;
    btCancel->ModalResult = mrCancel;
    x += kButtonWidth + 6;
    btHelp = Make<TButton>(this, L"btHelp", L"&Help", x, buttonsTop, kButtonWidth, 25);
    btHelp->OnClick = [this](TComponent*) { btHelpClick(); };
    SetClientSize(width, buttonsTop + 25 + kMargin);
}

void TFrmFindDlg::FormCreate()
{
    cbTextToFind->FileName = DialogsIni();
    cbTextToFind->LoadHistory();
    SettingsToControls();
}

void TFrmFindDlg::SettingsToControls()
{
    cbTextToFind->SetText(settings_.TextToFind);
    cbCaseSensitive->SetChecked(settings_.CaseSensitive);
    cbWholeWord->SetChecked(settings_.WholeWordsOnly);
    cbRegularExpr->SetChecked(settings_.RegularExpr);
    const bool backward = settings_.Direction == TEasySearchDirection::srBackward;
    rbBackward->SetChecked(backward);
    rbForward->SetChecked(!backward);
    rgScope->SetItemIndex(settings_.Scope == TEasySearchScope::scSelectedText ? 1 : 0);
    rgOrigin->SetItemIndex(settings_.Origin == TEasySearchOrigin::sgEntireScope ? 1 : 0);
}

void TFrmFindDlg::ControlsToSettings()
{
    settings_.TextToFind = cbTextToFind->Text();
    settings_.CaseSensitive = cbCaseSensitive->Checked();
    settings_.WholeWordsOnly = cbWholeWord->Checked();
    settings_.RegularExpr = cbRegularExpr->Checked();
    settings_.Direction = rbForward->Checked() ? TEasySearchDirection::srForward : TEasySearchDirection::srBackward;
    settings_.Scope = rgScope->ItemIndex() == 1 ? TEasySearchScope::scSelectedText : TEasySearchScope::scGlobal;
    settings_.Origin = rgOrigin->ItemIndex() == 1 ? TEasySearchOrigin::sgEntireScope : TEasySearchOrigin::sgFromCursor;
}

void TFrmFindDlg::TakeHistories()
{
    cbTextToFind->AddToHistory();
}

void TFrmFindDlg::btOKClick(TButton*)
{
    TakeHistories();
    ControlsToSettings();
}

void TFrmFindDlg::DoShow()
{
    TForm::DoShow();
    ArrangeTabOrder();
    cbTextToFind->SetFocus();
    SendMessageW(cbTextToFind->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TFrmFindDlg::btHelpClick()
{
    // The form's topic, or the contents (context 0).
    if (Application && Application->OnHelp)
        Application->OnHelp(static_cast<DWORD>(HelpContext));
}

// ---- the replace form -------------------------------------------------------------------

TFrmReplDlg::TFrmReplDlg(TComponent* owner) : TFrmFindDlg(owner, true)
{
    lbReplaceWith =
        Make<TLabel>(this, L"lbReplaceWith", L"&Replace with:", kMargin, kMargin + kRow + 3, kLabelWidth, 17);
    lbReplaceWith->ShowAccelChar = true;
    cbReplaceWith = MakeCombo(this, L"cbReplaceWith", kMargin + kRow);
    chbPromptOnReplace = Make<TCheckBox>(gbOptions, L"chbPromptOnReplace", L"&Prompt on replace", 8, 76, 160, 17);
    btReplaceAll = Make<TButton>(this, L"btReplaceAll", L"Replace &All", btOK->Left() + kButtonWidth + 6, btOK->Top(),
                                 kButtonWidth, 25);
    btReplaceAll->ModalResult = kReplaceAllResult;
    btReplaceAll->OnClick = [this](TComponent*) { btOKClick(btReplaceAll); };
    cbReplaceWith->FileName = cbTextToFind->FileName;
    FormCreate();
    cbReplaceWith->FileName = cbTextToFind->FileName;
    cbReplaceWith->LoadHistory();
    SettingsToControls();
}

void TFrmReplDlg::ArrangeTabOrder()
{
    // The replacement is second in the Tab round, right after the search text.
    SetWindowPos(lbReplaceWith->Handle(), cbTextToFind->Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(cbReplaceWith->Handle(), lbReplaceWith->Handle(), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFrmReplDlg::SettingsToControls()
{
    TFrmFindDlg::SettingsToControls();
    // Called by the base's FormCreate before this form's controls exist.
    if (!cbReplaceWith)
        return;
    cbReplaceWith->SetText(Settings().ReplaceWith);
    chbPromptOnReplace->SetChecked(Settings().PromptOnReplace);
}

void TFrmReplDlg::ControlsToSettings()
{
    TFrmFindDlg::ControlsToSettings();
    Settings().ReplaceWith = cbReplaceWith->Text();
    Settings().PromptOnReplace = chbPromptOnReplace->Checked();
}

void TFrmReplDlg::TakeHistories()
{
    TFrmFindDlg::TakeHistories();
    cbReplaceWith->AddToHistory();
}

void TFrmReplDlg::btOKClick(TButton* pressed)
{
    TFrmFindDlg::btOKClick(pressed);
    Settings().ReplaceAll = pressed == btReplaceAll;
}

}  // namespace qrv

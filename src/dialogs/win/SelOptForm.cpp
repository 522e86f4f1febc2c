#include "dialogs/win/SelOptForm.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/win/Buttons.h"
#include "framework/win/Handles.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/StdCtrls.h"

namespace qrv {

namespace {

using C = TSelOptControl;

// A label that underlines the letter after "&".
class TPrefixLabel : public TLabel {
public:
    using TLabel::TLabel;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TLabel::CreateParams(params);
        params.Style &= ~static_cast<DWORD>(SS_NOPREFIX);
    }
};

}  // namespace

TSelOptForm::TSelOptForm(TComponent* owner, const TDirCompareOptions& Start) : TForm(owner), logic_(Start)
{
    SetCaption(L"Verzeichnisvergleich");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(464, 312);

    const auto label = [this](const std::wstring& caption, int x, int y, int w) {
        auto* l = new TLabel(this);
        l->SetParent(this);
        l->SetCaption(caption);
        l->SetBounds(x, y, w, 16);
        return l;
    };
    const auto check = [this](const std::wstring& caption, int x, int y, int w, C control) {
        auto* c = new TCheckBox(this);
        c->SetParent(this);
        c->SetCaption(caption);
        c->SetBounds(x, y, w, 20);
        c->OnClick = [this, control](TComponent*) { ControlClicked(control); };
        return c;
    };
    const auto radio = [this](const std::wstring& caption, int y, C control) {
        auto* r = new TRadioButton(this);
        r->SetParent(this);
        r->SetCaption(caption);
        r->SetBounds(200, y, 252, 20);
        r->OnClick = [this, control](TComponent*) { ControlClicked(control); };
        return r;
    };

    label(L"Erstes Verzeichnis:", 12, 10, 200);
    lblDir1Pane = label(L"", 252, 10, 200);
    edDir1 = new TEdit(this);
    edDir1->SetParent(this);
    edDir1->SetReadOnly(true);
    edDir1->SetBounds(12, 28, 440, 22);
    auto* compareLabel = new TPrefixLabel(this);
    compareLabel->SetParent(this);
    compareLabel->SetCaption(L"&Vergleichsverzeichnis:");
    compareLabel->SetBounds(12, 58, 200, 16);
    lblDir2Pane = label(L"", 252, 58, 200);
    edDir2 = new TDirectoryEdit(this);
    edDir2->SetParent(this);
    edDir2->SetBounds(12, 76, 440, 22);

    chkName = check(L"Datei&name", 24, 124, 150, C::Name);
    chkSize = check(L"Dateigr&öße", 24, 148, 150, C::Size);
    chkContent = check(L"Datei&inhalt", 24, 172, 150, C::Content);
    rbSelectEqual = radio(L"&Gleiche Dateien markieren", 124, C::SelectEqual);
    rbSelectEqual->GroupStart = true;
    chkDuplicates = check(L"aber nur &Duplikate", 218, 144, 230, C::Duplicates);
    rbSelectDifferent = radio(L"&Unterschiedliche Dateien markieren", 166, C::SelectDifferent);
    rbSelectOlder = radio(L"&Ältere Dateien markieren", 188, C::SelectOlder);
    rbSelectNewer = radio(L"&Jüngere Dateien markieren", 210, C::SelectNewer);
    rbSelectMissing = radio(L"&Fehlende Dateien markieren", 232, C::SelectMissing);
    chkSubDirs = check(L"U&nterverzeichnisse vergleichen", 12, 214, 186, C::None);
    chkSubDirs->SetChecked(Start.SubDirs);

    btnOk = new TButton(this);
    btnOk->SetParent(this);
    btnOk->SetCaption(L"&OK");
    btnOk->SetBounds(290, 276, 76, 26);
    btnOk->SetDefault(true);
    btnOk->OnClick = [this](TComponent*) { OkClicked(); };
    btnCancel = new TButton(this);
    btnCancel->SetParent(this);
    btnCancel->SetCaption(L"Abbrechen");
    btnCancel->SetBounds(376, 276, 76, 26);
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    ShowState();
}

void TSelOptForm::SetDirectories(const std::wstring& First, const std::wstring& Compare, const std::wstring& FirstWord,
                                 const std::wstring& CompareWord)
{
    std::wstring shown = First;
    if (edDir1->HandleAllocated() || HandleAllocated()) {
        const TWindowDC dc(edDir1->Handle());
        const TSelectObject font(dc.Get(), edDir1->Font().Handle());
        shown = ShortenPathToWidth(First, dc.Get(), edDir1->Width() - 8);
    }
    edDir1->SetText(shown);
    edDir2->SetText(Compare);
    lblDir1Pane->SetCaption(FirstWord + L"s Dateifenster");
    lblDir2Pane->SetCaption(CompareWord.empty() ? L"" : CompareWord + L"s Dateifenster");
}

void TSelOptForm::DoShow()
{
    accepted_ = false;
    TForm::DoShow();
}

bool TSelOptForm::Execute()
{
    return ShowModal() == mrOk && accepted_;
}

TDirCompareOptions TSelOptForm::Options()
{
    TDirCompareOptions options = logic_.State().Options;
    options.SubDirs = chkSubDirs->Checked();
    return options;
}

std::wstring TSelOptForm::CompareDir()
{
    return edDir2->Text();
}

void TSelOptForm::ControlClicked(TSelOptControl Control)
{
    bool checked = true;
    switch (Control) {
    case C::Name:
        checked = chkName->Checked();
        break;
    case C::Size:
        checked = chkSize->Checked();
        break;
    case C::Content:
        checked = chkContent->Checked();
        break;
    case C::Duplicates:
        checked = chkDuplicates->Checked();
        break;
    case C::None:
        return;
    default:
        break;
    }
    logic_.Clicked(Control, checked);
    ShowState();
}

void TSelOptForm::ShowState()
{
    const TSelOptState& s = logic_.State();
    const TDirCompareOptions& o = s.Options;
    chkName->SetChecked(o.ByName);
    chkName->SetEnabled(s.NameEnabled);
    chkSize->SetChecked(o.BySize);
    chkSize->SetEnabled(s.SizeEnabled);
    chkContent->SetChecked(o.ByContent);
    chkContent->SetEnabled(s.ContentEnabled);
    chkDuplicates->SetChecked(o.Duplicates);
    chkDuplicates->SetEnabled(s.DuplicatesEnabled);
    const std::pair<TRadioButton*, TCompareSelect> radios[] = {{rbSelectEqual, TCompareSelect::Equal},
                                                               {rbSelectDifferent, TCompareSelect::Different},
                                                               {rbSelectOlder, TCompareSelect::Older},
                                                               {rbSelectNewer, TCompareSelect::Newer},
                                                               {rbSelectMissing, TCompareSelect::Missing}};
    for (const auto& [radio, select] : radios)
        if (o.Select == select)
            radio->SetChecked(true);
    rbSelectDifferent->SetEnabled(s.DifferentEnabled);
    rbSelectOlder->SetEnabled(s.OlderEnabled);
    rbSelectNewer->SetEnabled(s.NewerEnabled);
    rbSelectMissing->SetEnabled(s.MissingEnabled);
    btnOk->SetEnabled(s.OkEnabled);
}

void TSelOptForm::OkClicked()
{
    accepted_ = false;
    const std::wstring dir = CompareDir();
    const bool exists = !dir.empty() && DirExists(dir);
    const bool same =
        exists && !FocusedListPath.empty() && SameFolderPath(FullFolderPath(dir), FullFolderPath(FocusedListPath));
    if (const auto error = SelOptCloseError(Options(), exists, same)) {
        MessageBeep(MB_ICONHAND);
        MessageDlg(*error, TMsgDlgType::mtError, mbOK);
        edDir2->SetFocus();
        return;
    }
    accepted_ = true;
    SetModalResult(mrOk);
}

}  // namespace qrv

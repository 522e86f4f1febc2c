#include "dialogs/win/TextPropertiesForm.h"

#include "framework/win/Buttons.h"
#include "framework/win/StdCtrls.h"

namespace qrv {

TTextPropertiesForm::TTextPropertiesForm(TComponent* owner, const TTextPropertiesValues& Values)
    : TForm(owner), start_(Values)
{
    SetCaption(L"Eigenschaften");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);

    const auto label = [this](const std::wstring& caption, int y) {
        auto* l = new TLabel(this);
        l->SetParent(this);
        l->ShowAccelChar = true;
        l->SetCaption(caption);
        l->SetBounds(12, y + 3, 130, 16);
    };
    const auto check = [this](const std::wstring& caption, int y, bool checked) {
        auto* c = new TCheckBox(this);
        c->SetParent(this);
        c->SetCaption(caption);
        c->SetBounds(12, y, 336, 20);
        c->SetChecked(checked);
        return c;
    };

    int y = 12;
    label(L"&Tastaturbelegung:", y);
    cbKeyMapping = new TComboBox(this);
    cbKeyMapping->SetParent(this);
    cbKeyMapping->SetStyle(TComboBoxStyle::csDropDownList);
    cbKeyMapping->SetBounds(148, y, 200, 24);
    for (const std::wstring& name : TextKeyMappingNames())
        cbKeyMapping->Items().Add(name);
    cbKeyMapping->SetItemIndex(Values.KeyMapping);
    y += 30;
    label(L"Ta&bstopps:", y);
    edTabStops = new TEdit(this);
    edTabStops->SetParent(this);
    edTabStops->SetBounds(148, y, 200, 22);
    edTabStops->SetText(Values.TabStops);
    y += 30;
    chkWantTabs = check(L"Tabstops eingeben", y, Values.WantTabs);
    y += 24;
    for (const TTextSwitch& item : Values.Switches) {
        chkSwitches.push_back(check(item.Caption, y, item.Checked));
        y += 24;
    }
    chkBAKFiles = check(L"Sicherungsdatei (.bak) beim Speichern anlegen", y, Values.BAKFiles);
    y += 24;
    chkSyntaxHighlight = check(L"Syntaxhervorhebung anzeigen", y, false);
    chkSyntaxHighlight->SetVisible(false);
    chkHighlightBrackets = check(L"Klammern hervorheben", y, false);
    chkHighlightBrackets->SetVisible(false);
    y += 12;

    const auto button = [this, y](const std::wstring& caption, int x) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(caption);
        b->SetBounds(x, y, 84, 26);
        return b;
    };
    btnOk = button(L"&OK", 12);
    btnOk->SetDefault(true);
    btnOk->OnClick = [this](TComponent*) {
        if (!CanAccept || CanAccept(this->Values()))
            SetModalResult(mrOk);
    };
    btnCancel = button(L"Abbrechen", 138);
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    // There are no help pages yet: the button opens nothing.
    btnHelp = button(L"&Hilfe", 264);
    SetClientSize(360, y + 38);
}

bool TTextPropertiesForm::Execute()
{
    return ShowModal() == mrOk;
}

TTextPropertiesValues TTextPropertiesForm::Values()
{
    TTextPropertiesValues values = start_;
    values.KeyMapping = cbKeyMapping->ItemIndex();
    if (values.KeyMapping < 0)
        values.KeyMapping = start_.KeyMapping;
    values.TabStops = edTabStops->Text();
    values.WantTabs = chkWantTabs->Checked();
    values.BAKFiles = chkBAKFiles->Checked();
    for (size_t i = 0; i < chkSwitches.size() && i < values.Switches.size(); ++i)
        values.Switches[i].Checked = chkSwitches[i]->Checked();
    return values;
}

}  // namespace qrv

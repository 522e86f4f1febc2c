#include "dialogs/win/SelFileDialog.h"

#include "framework/win/Buttons.h"
#include "framework/win/DateTimePicker.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/StdCtrls.h"
#include "widgets/win/KySpin.h"

#include <algorithm>
#include <cmath>

namespace qrv {

namespace {

// The help context of the filter dialog's messages.
constexpr int kSelFileHelpContext = 410;
// Characters no mask may hold; typing one beeps.
constexpr std::wstring_view kRefusedMaskChars = L"\\/=\"<>|:+^";

// An edit that takes digits only.
class TDigitEdit : public TEdit {
public:
    using TEdit::TEdit;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TEdit::CreateParams(params);
        params.Style |= ES_NUMBER;
    }
};

TCheckBoxState BoxState(TTriState State)
{
    switch (State) {
    case TTriState::Checked:
        return TCheckBoxState::cbChecked;
    case TTriState::Unchecked:
        return TCheckBoxState::cbUnchecked;
    default:
        return TCheckBoxState::cbGrayed;
    }
}

TTriState TriStateOf(TCheckBoxState State)
{
    switch (State) {
    case TCheckBoxState::cbChecked:
        return TTriState::Checked;
    case TCheckBoxState::cbUnchecked:
        return TTriState::Unchecked;
    default:
        return TTriState::Grayed;
    }
}

TCalendarDay CalendarDayOf(const TPickerDate& Date)
{
    return {Date.Year, Date.Month, Date.Day};
}

TPickerDate PickerDateOfDay(const TCalendarDay& Day)
{
    return {Day.Year, Day.Month, Day.Day};
}

std::vector<std::wstring> Lines(const TStrings& Items)
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < Items.Count(); ++i)
        lines.push_back(Items.Get(i));
    return lines;
}

// The text without the refused characters; true when one was taken out.
bool DropRefusedChars(std::wstring& Text)
{
    const auto refused = [](wchar_t c) { return kRefusedMaskChars.find(c) != std::wstring_view::npos; };
    const auto end = std::remove_if(Text.begin(), Text.end(), refused);
    if (end == Text.end())
        return false;
    Text.erase(end, Text.end());
    return true;
}

// The picker dates of the unfiltered window, which "Standard" shows.
const TPickerDate kInitialDateFrom = PickerDateOf(33);
const TPickerDate kInitialDateTo = PickerDateOf(61343);

}  // namespace

TSelFileDialog::TSelFileDialog(TComponent* owner, const TSelFileContext& Context) : TForm(owner), context_(Context)
{
    SetCaption(L"Dateifilter bearbeiten");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(440, 384);

    const auto group = [this](const std::wstring& caption, int y, int height) {
        auto* g = new TGroupBox(this);
        g->SetParent(this);
        g->SetCaption(caption);
        g->SetBounds(8, y, 424, height);
        return g;
    };
    const auto radio = [this](TWinControl* parent, const std::wstring& caption, int x, int y, int width) {
        auto* r = new TRadioButton(this);
        r->SetParent(parent);
        r->SetCaption(caption);
        r->SetBounds(x, y, width, 20);
        return r;
    };
    const auto check = [this](TWinControl* parent, const wchar_t* name, const std::wstring& caption, int x, int y) {
        auto* c = new TCheckBox(this);
        c->SetName(name);
        c->AllowGrayed = true;
        c->SetParent(parent);
        c->SetCaption(caption);
        c->SetBounds(x, y, 130, 20);
        return c;
    };
    const auto label = [this](TWinControl* parent, const std::wstring& caption, int x, int y, int width) {
        auto* l = new TLabel(this);
        l->ShowAccelChar = true;
        l->SetParent(parent);
        l->SetCaption(caption);
        l->SetBounds(x, y, width, 16);
        return l;
    };
    const auto button = [this](const std::wstring& caption, int x) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(caption);
        b->SetBounds(x, 350, 86, 26);
        return b;
    };

    TGroupBox* filter = group(L"Filter", 6, 80);
    rbStdFileFilter = radio(filter, L"&Standardfilter:", 12, 20, 130);
    rbStdFileFilter->GroupStart = true;
    StdFileFilter = new TComboBox(this);
    StdFileFilter->SetName(L"StdFileFilter");
    StdFileFilter->SetStyle(TComboBoxStyle::csDropDownList);
    StdFileFilter->SetParent(filter);
    StdFileFilter->SetBounds(146, 18, 228, 22);
    StdFileFilter->SetDropDownCount(16);
    btnEditStdFilter = new TButton(this);
    btnEditStdFilter->SetParent(filter);
    btnEditStdFilter->SetCaption(L"&>>");
    btnEditStdFilter->SetBounds(380, 17, 34, 24);
    rbManFilter = radio(filter, L"&Manueller Filter:", 12, 50, 130);
    edManFilter = new TComboBox(this);
    edManFilter->SetName(L"edManFilter");
    edManFilter->SetParent(filter);
    edManFilter->SetBounds(146, 48, 268, 22);
    edManFilter->SetDropDownCount(16);

    grpAttributes = group(L"Attribute", 92, 72);
    chkReadOnly = check(grpAttributes, L"chkReadOnly", L"Nur &lesen", 12, 20);
    chkHidden = check(grpAttributes, L"chkHidden", L"&Versteckt", 146, 20);
    chkSysFile = check(grpAttributes, L"chkSysFile", L"S&ystem", 280, 20);
    chkArchive = check(grpAttributes, L"chkArchive", L"&Archiv", 12, 44);
    chkEncrypted = check(grpAttributes, L"chkEncrypted", L"Verschl&üsselt", 146, 44);
    chkCompressed = check(grpAttributes, L"chkCompressed", L"&Komprimiert", 280, 44);

    TGroupBox* dates = group(L"Datum der letzten Änderung", 170, 80);
    rbSelDateFromTo = radio(dates, L"Von/bis Selektion:", 12, 20, 136);
    rbSelDateFromTo->GroupStart = true;
    DateFrom = new TDateTimePicker(this);
    DateTo = new TDateTimePicker(this);
    int x = 152;
    for (TDateTimePicker* picker : {DateFrom, DateTo}) {
        picker->SetParent(dates);
        picker->SetBounds(x, 18, 126, 22);
        // A DOS date holds the years 1980 to 2107 only.
        picker->SetRange({kFirstPickerYear, 1, 1}, {kLastPickerYear, 12, 31});
        x += 136;
    }
    DateFrom->SetName(L"DateFrom");
    DateTo->SetName(L"DateTo");
    rbSelDateSince = radio(dates, L"G&eändert seit", 12, 50, 136);
    DaysCount = new TKySpinEdit(this);
    DaysCount->SetName(L"DaysCount");
    DaysCount->SetParent(dates);
    DaysCount->SetBounds(152, 48, 80, 22);
    DaysCount->SetMinValue(kMinDaysBack);
    DaysCount->SetMaxValue(kMaxDaysBack);
    DaysCount->SetValue(1);
    label(dates, L"Tagen", 240, 52, 60);

    TGroupBox* sizes = group(L"Größe in Bytes", 256, 54);
    label(sizes, L"von &Größe:", 12, 24, 72);
    FromSize = new TDigitEdit(this);
    FromSize->SetName(L"FromSize");
    label(sizes, L"bis Gr&öße:", 222, 24, 72);
    ToSize = new TDigitEdit(this);
    ToSize->SetName(L"ToSize");
    x = 86;
    for (TEdit* field : {FromSize, ToSize}) {
        field->SetParent(sizes);
        field->SetMaxLength(kSizeFieldDigits);
        field->SetBounds(x, 20, 124, 22);
        x += 210;
    }

    chkBothFileWin = new TCheckBox(this);
    chkBothFileWin->SetName(L"chkBothFileWin");
    chkBothFileWin->SetParent(this);
    chkBothFileWin->SetCaption(L"&Dateiauswahl auf beide Dateifenster anwenden");
    chkBothFileWin->SetBounds(12, 318, 420, 20);

    btnReset = button(L"Standard", 8);
    btnOk = button(L"&OK", 166);
    btnOk->SetDefault(true);
    btnCancel = button(L"Abbrechen", 256);
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    btnHelp = button(L"&Hilfe", 346);

    // What the controls do to each other.
    btnOk->OnClick = [this](TComponent*) { OkClicked(); };
    btnHelp->OnClick = [this](TComponent*) { OkClicked(); };
    btnReset->OnClick = [this](TComponent*) { ResetClicked(); };
    btnEditStdFilter->OnClick = [this](TComponent*) { EditStdFilterClicked(); };
    StdFileFilter->OnSelect = [this](TComponent*) {
        rbStdFileFilter->SetChecked(true);
        UpdateFilterHint();
    };
    edManFilter->OnChange = [this](TComponent*) { ManualTextChanged(); };
    edManFilter->OnSelect = [this](TComponent*) { rbManFilter->SetChecked(true); };
    chkCompressed->OnClick = [this](TComponent*) {
        if (chkCompressed->State() == TCheckBoxState::cbChecked)
            chkEncrypted->SetState(TCheckBoxState::cbUnchecked);
    };
    chkEncrypted->OnClick = [this](TComponent*) {
        if (chkEncrypted->State() == TCheckBoxState::cbChecked)
            chkCompressed->SetState(TCheckBoxState::cbUnchecked);
    };
    for (TDateTimePicker* picker : {DateFrom, DateTo})
        picker->OnChange = [this](TComponent*) {
            if (!quiet_)
                rbSelDateFromTo->SetChecked(true);
        };
    DaysCount->OnChange = [this](TComponent*) {
        if (!quiet_)
            rbSelDateSince->SetChecked(true);
    };
    FromSize->OnExit = [this](TComponent*) { SizeFieldLeft(*FromSize, false); };
    ToSize->OnExit = [this](TComponent*) { SizeFieldLeft(*ToSize, true); };

    SetFields(TSelFileFields{});
}

void TSelFileDialog::FillFilterNames(int Chosen)
{
    TStrings& items = StdFileFilter->Items();
    items.Clear();
    if (context_.Filters)
        for (const TFilterRec& rec : *context_.Filters)
            items.Add(rec.Name);
    else
        for (const std::wstring& name : shown_.FilterNames)
            items.Add(name);
    // A combo left without a choice takes its first entry.
    StdFileFilter->SetItemIndex(Chosen >= 0 && Chosen < items.Count() ? Chosen : (items.Count() > 0 ? 0 : -1));
    UpdateFilterHint();
}

void TSelFileDialog::UpdateFilterHint()
{
    const int index = StdFileFilter->ItemIndex();
    std::wstring hint;
    if (context_.Filters && index > 0 && index < static_cast<int>(context_.Filters->size()))
        hint = (*context_.Filters)[static_cast<size_t>(index)].Masks;
    StdFileFilter->SetHint(hint);
}

void TSelFileDialog::SetFields(const TSelFileFields& Fields)
{
    quiet_ = true;
    shown_ = Fields;
    FillFilterNames(Fields.StdFilterIndex);
    edManFilter->Items().Clear();
    for (const std::wstring& mask : Fields.ManualHistory)
        edManFilter->Items().Add(mask);
    edManFilter->SetText(Fields.ManualText);
    (Fields.ManualChosen ? rbManFilter : rbStdFileFilter)->SetChecked(true);

    const std::pair<TCheckBox*, TTriState> boxes[] = {
        {chkReadOnly, Fields.ReadOnly}, {chkHidden, Fields.Hidden},       {chkSysFile, Fields.SysFile},
        {chkArchive, Fields.Archive},   {chkEncrypted, Fields.Encrypted}, {chkCompressed, Fields.Compressed}};
    for (const auto& [box, state] : boxes)
        box->SetState(BoxState(state));
    chkHidden->SetEnabled(Fields.HiddenEnabled);
    chkCompressed->SetEnabled(Fields.CompressionEnabled);
    chkEncrypted->SetEnabled(Fields.CompressionEnabled);

    DateFrom->SetDate(CalendarDayOf(Fields.DateFrom));
    DateTo->SetDate(CalendarDayOf(Fields.DateTo));
    DaysCount->SetValue(Fields.DaysCount);
    (Fields.DateFromTo ? rbSelDateFromTo : rbSelDateSince)->SetChecked(true);
    FromSize->SetText(Fields.FromSize);
    ToSize->SetText(Fields.ToSize);
    chkBothFileWin->SetChecked(Fields.BothWindows);
    chkBothFileWin->SetEnabled(Fields.BothWindowsEnabled);
    quiet_ = false;
}

TSelFileFields TSelFileDialog::Fields()
{
    TSelFileFields fields = shown_;
    fields.FilterNames = Lines(StdFileFilter->Items());
    fields.StdFilterIndex = StdFileFilter->ItemIndex();
    fields.ManualChosen = rbManFilter->Checked();
    fields.ManualText = edManFilter->Text();
    fields.ManualHistory = Lines(edManFilter->Items());
    fields.ReadOnly = TriStateOf(chkReadOnly->State());
    fields.Hidden = TriStateOf(chkHidden->State());
    fields.SysFile = TriStateOf(chkSysFile->State());
    fields.Archive = TriStateOf(chkArchive->State());
    fields.Encrypted = TriStateOf(chkEncrypted->State());
    fields.Compressed = TriStateOf(chkCompressed->State());
    fields.DateFromTo = rbSelDateFromTo->Checked();
    fields.DateFrom = PickerDateOfDay(DateFrom->Date());
    fields.DateTo = PickerDateOfDay(DateTo->Date());
    fields.DaysCount = static_cast<int>(std::lround(DaysCount->Value()));
    fields.FromSize = FromSize->Text();
    fields.ToSize = ToSize->Text();
    fields.BothWindows = chkBothFileWin->Checked();
    return fields;
}

void TSelFileDialog::SetShowAttributes(bool Show)
{
    grpAttributes->SetVisible(Show);
    chkBothFileWin->SetVisible(Show);
}

void TSelFileDialog::ManualTextChanged()
{
    std::wstring text = edManFilter->Text();
    if (DropRefusedChars(text)) {
        MessageBeep(MB_OK);
        edManFilter->SetText(text);
        if (edManFilter->HandleAllocated())
            SendMessageW(edManFilter->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(text.size(), text.size()));
    }
    if (!quiet_)
        rbManFilter->SetChecked(true);
}

void TSelFileDialog::SizeFieldLeft(TEdit& Field, bool IsToField)
{
    const std::wstring text = Field.Text();
    const std::wstring refilled = RefilledSizeField(text, IsToField);
    if (refilled != text)
        Field.SetText(refilled);
}

void TSelFileDialog::DoShow()
{
    accepted_ = false;
    TForm::DoShow();
    // The form stays on the screen.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (Left() + Width() > screenWidth)
        SetBounds(screenWidth - Width(), Top(), Width(), Height());
    if (Top() + Height() > screenHeight)
        SetBounds(Left(), screenHeight - Height(), Width(), Height());
    if (!edManFilter->Text().empty()) {
        rbManFilter->SetChecked(true);
        edManFilter->SetFocus();
    } else {
        rbStdFileFilter->SetChecked(true);
        StdFileFilter->SetFocus();
        UpdateFilterHint();
    }
}

bool TSelFileDialog::Execute()
{
    return ShowModal() == mrOk && accepted_;
}

void TSelFileDialog::OkClicked()
{
    accepted_ = false;
    SizeFieldLeft(*FromSize, false);
    SizeFieldLeft(*ToSize, true);
    const TSelFileCheck check = CheckSelFileFields(Fields());
    if (!check.Message.empty()) {
        if (check.Focus == TSelFileFocus::FromSize)
            FromSize->SetFocus();
        else if (check.Focus == TSelFileFocus::DateFrom)
            DateFrom->SetFocus();
        if (ReportError)
            ReportError(check.Message);
        else
            MessageDlg(check.Message, TMsgDlgType::mtError, mbOK | mbHelp, kSelFileHelpContext);
        return;
    }
    accepted_ = true;
    SetModalResult(mrOk);
}

void TSelFileDialog::ResetClicked()
{
    const bool manualFocused = edManFilter->Focused() || rbManFilter->Focused();
    TSelFileFields fields = Fields();
    ResetSelection(fields, context_, kInitialDateFrom, kInitialDateTo);
    SetFields(fields);
    if (manualFocused)
        StdFileFilter->SetFocus();
}

void TSelFileDialog::EditStdFilterClicked()
{
    const int index = StdFileFilter->ItemIndex();
    const std::wstring chosen = index >= 0 ? StdFileFilter->Items().Get(index) : std::wstring();
    if (EditNamedFilters)
        EditNamedFilters();
    FillFilterNames(-1);
    const int again = StdFileFilter->Items().IndexOf(chosen);
    StdFileFilter->SetItemIndex(again >= 0 ? again : (StdFileFilter->Items().Count() > 0 ? 0 : -1));
    UpdateFilterHint();
}

}  // namespace qrv

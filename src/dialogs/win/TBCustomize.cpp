#include "dialogs/win/TBCustomize.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/CheckListBox.h"
#include "framework/win/ImgList.h"
#include "framework/win/PageControl.h"
#include "framework/win/StdCtrls.h"
#include "widgets/win/KySpin.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"
#include "widgets/win/ToolbarGlyphBitmaps.h"

#include <cmath>

namespace qrv {

namespace {

constexpr int kHelpCustomizeToolbars = 380;
constexpr int kToolbarListCount = 10;
// The check list's toolbars after the seven customisable ones.
constexpr int kListedAfterCustomized[] = {8, 9, 7};

TLabel* AddLabel(TWinControl* parent, TComponent* owner, const std::wstring& caption, int x, int y, int width)
{
    auto* label = new TLabel(owner);
    label->ShowAccelChar = true;
    label->SetParent(parent);
    label->SetCaption(caption);
    label->SetBounds(x, y, width, 16);
    return label;
}

TButton* AddButton(TForm* form, const std::wstring& caption, int x, int y)
{
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetCaption(caption);
    button->SetBounds(x, y, 84, 26);
    return button;
}

std::wstring TitleOf(const TKyToolbar* Toolbar)
{
    return Toolbar->Hint().empty() ? Toolbar->Caption() : Toolbar->Hint();
}

}  // namespace

TTBCustomize::TTBCustomize(TComponent* owner, TTBCustomizeHost& Host) : TForm(owner), host_(Host)
{
    SetCaption(L"Symbolleisten anpassen");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetClientSize(380, 380);
    HelpContext = kHelpCustomizeToolbars;

    Images = new TImageList(this, 16, 16);
    for (const TGlyph designed : {TGlyph::FilterField, TGlyph::SeparatorMark, TGlyph::ButtonPanel}) {
        TBitmap picture;
        MakeGlyphBitmap(designed, picture);
        Images->AddMasked(picture, picture.TransparentColor());
    }

    PageControl = new TPageControl(this);
    PageControl->SetParent(this);
    PageControl->SetBounds(8, 8, 364, 326);
    TTabSheet* toolbars = PageControl->AddPage(L"Symbolleisten");
    TTabSheet* buttons = PageControl->AddPage(L"Schaltflächen");

    CheckListBox = new TCheckListBox(this);
    CheckListBox->SetParent(toolbars);
    CheckListBox->SetBounds(8, 8, 340, 190);
    chkDoubleTBDrives = new TCheckBox(this);
    chkDoubleTBDrives->SetParent(toolbars);
    chkDoubleTBDrives->SetCaption(L"Zwei Laufwerkssymbolleisten");
    chkDoubleTBDrives->SetHint(L"Jedes Dateifenster besitzt eine eigende Symbolleiste zur Auswahl eines Laufwerks");
    chkDoubleTBDrives->SetBounds(8, 206, 340, 20);
    AddLabel(toolbars, this, L"Größe der Schaltflächen:", 8, 238, 160);
    edSize = new TKySpinEdit(this);
    edSize->SetParent(toolbars);
    edSize->SetHint(L"Größe der Symbolleistenschaltflächen in Pixel");
    edSize->SetBounds(172, 234, 60, 22);
    edSize->SetMinValue(kSmallestButtonSize);
    edSize->SetMaxValue(kLargestButtonSize);

    AddLabel(buttons, this, L"Symbolleiste:", 8, 10, 90);
    cbToolbar = new TComboBox(this);
    cbToolbar->SetParent(buttons);
    cbToolbar->SetStyle(TComboBoxStyle::csDropDownList);
    cbToolbar->SetBounds(100, 6, 248, 22);
    for (const wchar_t* name : {L"Datei", L"Dateianzeige", L"Auswahl", L"Ansicht", L"Bearbeiten", L"Netzwerk",
                                L"Archiv", L"DOS-Kommandozeile"})
        cbToolbar->Items().Add(name);
    cbToolbar->OnChange = [this](TComponent*) { cbToolbarChange(); };
    LV = new TCheckListBox(this);
    LV->SetParent(buttons);
    LV->SetBounds(8, 36, 340, 256);
    LV->SetImages(Images);
    // The list shows checks, never a selection.
    LV->OnClick = [this](TComponent*) { LV->SetItemIndex(-1); };

    const int right = ClientWidth() - 8;
    btnOK = AddButton(this, L"&OK", right - 3 * 84 - 12, 344);
    btnOK->SetDefault(true);
    btnOK->SetHint(L"Fenster schließen");
    btnOK->OnClick = [this](TComponent*) { btnOKClick(); };
    btnCancel = AddButton(this, L"Abbrechen", right - 2 * 84 - 6, 344);
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    btnHelp = AddButton(this, L"&Hilfe", right - 84, 344);
    btnHelp->SetHint(L"Erweiterte Hilfe anzeigen");
    btnHelp->OnClick = [this](TComponent*) {
        if (Application && Application->OnHelp)
            Application->OnHelp(static_cast<DWORD>(HelpContext));
    };

    // The size field: never below the filter box beside the buttons.
    const TControl* filter = host_.FilterBox();
    edSize->SetMinValue(SmallestButtonSize(filter ? filter->Height() : 0));
    edSize->SetValue(host_.ButtonSize());
    chkDoubleTBDrives->SetChecked(host_.TwoDriveToolbars());
    ReadEntries();
}

TTBCustomize::~TTBCustomize() = default;

void TTBCustomize::ReadEntries()
{
    const TControl* filter = host_.FilterBox();
    for (int index = 0; index < kCustomizedToolbars; ++index) {
        TKyToolbar* toolbar = host_.ToolbarByIndex(index);
        const int item = CheckListBox->Items().Add(toolbar ? TitleOf(toolbar) : std::wstring());
        CheckListBox->SetChecked(item, toolbar && toolbar->Visible());
        std::vector<TCustomizedControl> entries;
        std::vector<TControl*> controls;
        if (index == kCommandLinePage) {
            if (TControl* panel = host_.CommandButtonPanel())
                controls.push_back(panel);
        } else {
            controls = host_.ButtonList(index);
        }
        for (TControl* control : controls) {
            if (!control)
                continue;
            TCustomizedControl entry;
            entry.Control = control;
            entry.Visible = control->Visible();
            if (index == kCommandLinePage) {
                entry.Kind = TCustomizedKind::Panel;
            } else if (auto* button = dynamic_cast<TKyToolbarButton*>(control)) {
                entry.Kind = TCustomizedKind::Button;
                entry.Caption = button->Caption();
                entry.Button = {button->DisplayMode(), button->DropdownCombo(), button->DropdownArrowWidth(),
                                button->Width()};
            } else if (dynamic_cast<TKyToolbarSep*>(control)) {
                entry.Kind = TCustomizedKind::Separator;
            } else if (control == filter) {
                entry.Kind = TCustomizedKind::FilterBox;
            }
            entries.push_back(std::move(entry));
        }
        model_.SetEntries(index, std::move(entries));
    }
    for (const int index : kListedAfterCustomized) {
        TKyToolbar* toolbar = host_.ToolbarByIndex(index);
        const int item = CheckListBox->Items().Add(toolbar ? toolbar->Caption() : std::wstring());
        CheckListBox->SetChecked(item, toolbar && toolbar->Visible());
    }
    // One line per toolbar: the text's height and a little room.
    const SIZE x = MeasureText(Font().Handle(), L"X");
    CheckListBox->SetItemHeight(static_cast<int>(x.cy) + 4);
    LV->SetItemHeight(std::max(static_cast<int>(x.cy) + 4, Images->Height() + 2));
}

void TTBCustomize::DoShow()
{
    cbToolbar->SetItemIndex(0);
    // The archive toolbar is no part of this program: items 0..5 are the
    // toolbars 0..5, item 6 the command line.
    const int archive = cbToolbar->Items().IndexOf(L"Archiv");
    if (archive >= 0)
        cbToolbar->Items().Delete(archive);
    cbToolbarChange();
    TForm::DoShow();
}

std::vector<bool> TTBCustomize::ShownChecks() const
{
    std::vector<bool> checks;
    for (int i = 0; i < LV->Items().Count(); ++i)
        checks.push_back(LV->Checked(i));
    return checks;
}

int TTBCustomize::GlyphImage(const TControl* Control)
{
    const auto known = glyphImages_.find(Control);
    if (known != glyphImages_.end())
        return known->second;
    int image = -1;
    if (const auto* button = dynamic_cast<const TKyToolbarButton*>(Control)) {
        auto& editable = const_cast<TKyToolbarButton&>(*button);
        try {
            TBitmap& glyph = editable.Glyph();
            if (!glyph.Empty()) {
                TBitmap& mask = editable.GlyphMask();
                image = !mask.Empty() && mask.Width() == Images->Width()
                            ? Images->Add(glyph, &mask)
                            : Images->AddMasked(glyph, glyph.TransparentColor());
            }
        } catch (const Exception&) {
            TraceIgnoredException(L"a toolbar button's picture in the customiser");
            // the button is listed without a picture
        }
    }
    glyphImages_[Control] = image;
    return image;
}

void TTBCustomize::cbToolbarChange()
{
    const int index = cbToolbar->ItemIndex();
    if (index < 0 || index >= kCustomizedToolbars)
        return;
    const std::vector<bool> checks = model_.CurrentToolbar() >= 0 ? ShownChecks() : std::vector<bool>();
    rows_ = model_.ShowToolbar(index, checks);
    LV->Items().BeginUpdate();
    const ScopeExit ended([this] { LV->Items().EndUpdate(); });
    LV->Items().Clear();
    const std::vector<TCustomizedControl>& entries = model_.Entries(index);
    for (const TCustomizerRow& row : rows_) {
        const int item = LV->Items().Add(row.Caption);
        LV->SetChecked(item, row.Checked);
        const auto* control = static_cast<const TControl*>(entries[static_cast<size_t>(row.Entry)].Control);
        LV->SetItemImage(item, row.Image >= 0 ? row.Image : GlyphImage(control));
    }
}

void TTBCustomize::btnOKClick()
{
    const std::vector<bool> toolbarChecks = [this] {
        std::vector<bool> checks;
        for (int i = 0; i < CheckListBox->Items().Count(); ++i)
            checks.push_back(CheckListBox->Checked(i));
        return checks;
    }();
    const int size = static_cast<int>(std::trunc(edSize->Value()));
    const TCustomizerPlan plan = model_.Plan(ShownChecks(), toolbarChecks, size, chkDoubleTBDrives->Checked());
    host_.SetButtonSize(plan.ButtonSize);
    host_.SetTwoDriveToolbars(plan.TwoDriveToolbars);
    for (int index = 0; index < kCustomizedToolbars; ++index) {
        TKyToolbar* toolbar = host_.ToolbarByIndex(index);
        if (!toolbar)
            continue;
        toolbar->BeginUpdate();
        const ScopeExit ended([toolbar] { toolbar->EndUpdate(); });
        try {
            toolbar->SetVisible(plan.ToolbarVisible[static_cast<size_t>(index)]);
            for (const TControlChange& change : plan.Controls[static_cast<size_t>(index)]) {
                auto* control = static_cast<TControl*>(const_cast<void*>(change.Control));
                control->SetVisible(change.Visible);
                if (change.Resize)
                    control->SetBounds(control->Left(), control->Top(), change.Size.Width, change.Size.Height);
            }
        } catch (const Exception&) {
            TraceIgnoredException(L"applying the toolbar customiser's choices");
            // the next toolbar still takes its own
        }
    }
    for (const int index : kListedAfterCustomized)
        if (TKyToolbar* toolbar = host_.ToolbarByIndex(index))
            toolbar->SetVisible(plan.ToolbarVisible[static_cast<size_t>(index)]);
    for (const int index : {7, 9, 8})
        if (TKyToolbar* toolbar = host_.ToolbarByIndex(index))
            host_.ResizeToolbarButtons(toolbar);
    SetModalResult(mrOk);
}

}  // namespace qrv

#include "dialogs/win/OptionsForm.h"

#include "common/BaseUtils.h"
#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/DSAMsgDlg.h"
#include "framework/IgnoredError.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/FontDialog.h"
#include "framework/win/Menus.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/PageControl.h"
#include "widgets/win/ImpStringGrid.h"
#include "widgets/win/KyClrBn.h"
#include "widgets/win/KyThemeCtrls.h"
#include "widgets/win/ToolEdit.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

namespace qrv {

namespace {

constexpr int kClientWidth = 580;
constexpr int kClientHeight = 430;
constexpr int kPageWidth = kClientWidth - 16;
constexpr int kPageHeight = kClientHeight - 52;
constexpr int kLine = 20;  // the distance of two check boxes
constexpr int kColumn2 = 290;

const wchar_t* const kClickConflict =
    L"Die Einstellungen \"Einfacher Klick zum Starten\" und \"Ganze Zeile markieren\" sind unverträglich. Bitte "
    L"löschen Sie die Markierung bei einer dieser beiden Einstellungen.";

std::wstring WithoutQuotes(const std::wstring& text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        return text.substr(1, text.size() - 2);
    return text;
}

bool SystemBrowseFile(HWND owner, std::wstring& name, const std::wstring& initialDir, const std::wstring& filterText)
{
    std::wstring buffer(32768, L'\0');
    std::copy(name.begin(), name.end(), buffer.begin());
    std::wstring filter = filterText.empty() ? L"Alle Dateien (*.*)|*.*" : filterText;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST;
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const bool chosen = GetOpenFileNameW(&ofn) != FALSE;
    SetErrorMode(oldMode);
    if (chosen)
        name = buffer.c_str();
    return chosen;
}

void FontToSetting(const TFont& font, TFontSetting& setting)
{
    setting.Name = font.Name().substr(0, kMaxFontNameLength);
    setting.Size = font.Size();
    setting.Style = static_cast<uint8_t>(font.Style() & (fsBoldBit | fsItalicBit | fsUnderlineBit | fsStrikeOutBit));
    setting.Charset = font.Charset();
}

void SettingToFont(const TFontSetting& setting, TFont& font)
{
    font.SetName(setting.Name);
    font.SetSize(setting.Size);
    font.SetStyle(setting.Style);
    font.SetCharset(setting.Charset);
}

}  // namespace

TOptionsFormCalls WithSystemDialogs(TOptionsFormCalls calls)
{
    if (!calls.ChooseFont)
        calls.ChooseFont = [](HWND owner, TFont& font, bool fixed) { return qrv::ChooseFontFor(owner, font, fixed); };
    if (!calls.BrowseFile)
        calls.BrowseFile = SystemBrowseFile;
    if (!calls.FileExists)
        calls.FileExists = [](const std::wstring& name) { return FileExists(name); };
    if (!calls.Ask)
        calls.Ask = [](const std::wstring& text, const std::wstring& ident) {
            return DSAMessageDlg(text, TMsgDlgType::mtWarning, mbYes | mbNo | mbIgnore, mrOk, ident);
        };
    if (!calls.Inform)
        calls.Inform = [](const std::wstring& text) {
            MessageBeep(MB_ICONHAND);
            MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
        };
    return calls;
}

TFormOptions::TFormOptions(TComponent* owner, TOptions& options, TOptionsFormCalls calls)
    : TForm(owner), options_(options), calls_(WithSystemDialogs(std::move(calls)))
{
    SetName(L"FormOptions");
    SetCaption(L"Optionen");
    HelpContext = kOptionsHelpContext;
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poOwnerFormCenter);
    SetBounds(0, 0, kClientWidth + 6, kClientHeight + 25);
    listFont_ = options.ListFont;
    textFont_ = options.TextFont;
    fkeyModel_ = std::make_unique<TFKeyGridModel>(options.FKeys);
    filterModel_ = std::make_unique<TFilterGridModel>(options.FilterList);
    browseInitialDir_.clear();
    BuildPages();
    HandleNeeded();
    SetClientSize(kClientWidth, kClientHeight);
    FillFromOptions();
}

TFormOptions::~TFormOptions() = default;

int TFormOptions::ActivePage() const
{
    return pages_->ActivePageIndex();
}

void TFormOptions::SetActivePage(int page)
{
    pages_->SetActivePageIndex(page);
}

// ---- Building the pages ------------------------------------------------------------

TCheckBox* TFormOptions::AddCheck(TWinControl* parent, const TOptionCheck& check, int x, int y, int width)
{
    auto* box = new TCheckBox(this);
    box->SetName(check.Name);
    box->SetCaption(check.Caption);
    box->SetBounds(x, y, width, 17);
    if (check.Hidden)
        box->SetVisible(false);
    if (check.Disabled)
        box->SetEnabled(false);
    box->SetParent(parent);
    checks_[check.Name] = box;
    return box;
}

TCheckBox* TFormOptions::AddCheckNamed(TWinControl* parent, const wchar_t* name, int x, int& y, int width)
{
    for (const TOptionCheck& check : OptionChecks())
        if (std::wstring(check.Name) == name) {
            TCheckBox* box = AddCheck(parent, check, x, y, width);
            // A hidden box takes no line: the next one moves up into its place.
            if (!check.Hidden)
                y += kLine;
            return box;
        }
    throw EInvalidOperation(std::wstring(L"Kein Optionsfeld ") + name);
}

std::vector<TRadioButton*> TFormOptions::AddRadioGroup(TWinControl* parent, const TRadioGroupDef& group, int x, int y,
                                                       int width)
{
    auto* box = new TGroupBox(this);
    box->SetCaption(group.Caption);
    box->SetBounds(x, y, width, 22 + static_cast<int>(group.Choices.size()) * kLine);
    box->SetParent(parent);
    std::vector<TRadioButton*> buttons;
    int line = 18;
    for (const TRadioChoice& choice : group.Choices) {
        auto* radio = new TRadioButton(this);
        radio->SetName(choice.Name);
        radio->SetCaption(choice.Caption);
        radio->GroupStart = buttons.empty();
        radio->SetBounds(10, line, width - 16, 17);
        radio->SetParent(box);
        buttons.push_back(radio);
        line += kLine;
    }
    radioGroups_[&group] = buttons;
    return buttons;
}

TLabel* TFormOptions::AddLabel(TWinControl* parent, const std::wstring& caption, int x, int y, int width)
{
    auto* label = new TLabel(this);
    label->ShowAccelChar = true;
    label->SetCaption(caption);
    label->SetBounds(x, y, width, 15);
    label->SetParent(parent);
    return label;
}

TXPTrackBar* TFormOptions::AddTrackBar(TWinControl* parent, const wchar_t* name, int x, int y, int width)
{
    auto* bar = new TXPTrackBar(this);
    bar->SetName(name);
    bar->SetMin(kTrackMin);
    bar->SetMax(kTrackMax);
    bar->SetFrequency(kTrackFrequency);
    bar->SetBounds(x, y, width, 30);
    bar->SetParent(parent);
    // A released thumb snaps to the nearest tick; the keys step by a tick.
    bar->AddMessageListener([bar](TMessage& message) {
        if (message.Msg == WM_LBUTTONUP)
            bar->SetPosition(SnapTrackPosition(bar->Position()));
        return false;
    });
    SendMessageW(bar->Handle(), TBM_SETLINESIZE, 0, kTrackFrequency);
    SendMessageW(bar->Handle(), TBM_SETPAGESIZE, 0, kTrackFrequency);
    return bar;
}

TKyColorButton* TFormOptions::AddColorButton(TWinControl* parent, const wchar_t* name, int x, int y)
{
    auto* button = new TKyColorButton(this);
    button->SetName(name);
    button->SetBounds(x, y, 45, 22);
    button->SetParent(parent);
    if (calls_.ChooseColor)
        button->Chooser = calls_.ChooseColor;
    button->OnClick = [button](TComponent*) { button->Click(); };
    return button;
}

void TFormOptions::BuildPages()
{
    pages_ = new TPageControl(this);
    pages_->SetName(L"PageCtrl");
    pages_->SetBounds(8, 8, kPageWidth, kPageHeight);
    pages_->SetParent(this);
    for (int page = 0; page < OptionsPageCount; ++page) {
        TTabSheet* sheet = pages_->AddPage(kOptionsPageCaptions[static_cast<size_t>(page)], page != opThumbnails);
        sheet->HelpContext = kOptionsHelpContext;
    }
    // The thumbnail page has no tab and is never shown: its values stay as
    // stored (the record keeps them, OK writes them unchanged).
    pages_->Page(opThumbnails)->SetEnabled(false);
    pages_->OnChange = [this](TComponent*) { PageCtrlChange(); };
    pages_->SetActivePageIndex(opGeneral);
    // Ctrl+Tab and Ctrl+PgDn go to the next page, with Shift or PgUp back.
    auto* keys = new TActionList(this);
    const std::pair<TShortCut, bool> pageKeys[] = {
        {ShortCut(VK_TAB, scCtrl), true},
        {ShortCut(VK_TAB, scCtrl | scShift), false},
        {ShortCut(VK_NEXT, scCtrl), true},
        {ShortCut(VK_PRIOR, scCtrl), false},
    };
    for (const auto& [key, forward] : pageKeys) {
        auto* action = new TAction(this, keys);
        action->SetShortCut(key);
        action->OnExecute = [this, forward = forward](TComponent*) { pages_->SelectNextPage(forward); };
    }

    BuildGeneral();
    BuildDisplay();
    BuildFileWindow();
    BuildFileDisplay();
    BuildPrograms();
    BuildFontsColors();
    BuildDragDrop();
    BuildFilters();

    btnOK_ = new TButton(this);
    btnOK_->SetName(L"btnOK");
    btnOK_->SetCaption(L"OK");
    btnOK_->SetDefault(true);
    btnOK_->SetBounds(kClientWidth - 8 - 2 * 80, kClientHeight - 34, 75, 25);
    btnOK_->OnClick = [this](TComponent*) { btnOKClick(); };
    btnOK_->SetParent(this);
    auto* cancel = new TButton(this);
    cancel->SetName(L"btnCancel");
    cancel->SetCaption(L"Ab&brechen");
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
    cancel->SetBounds(kClientWidth - 8 - 80 + 5, kClientHeight - 34, 75, 25);
    cancel->SetParent(this);
    // No help content exists: the help button is not offered.
    auto* help = new TButton(this);
    help->SetName(L"btnHelp");
    help->SetCaption(L"&Hilfe");
    help->SetBounds(8, kClientHeight - 34, 75, 25);
    help->SetVisible(false);
    help->SetParent(this);
}

void TFormOptions::BuildGeneral()
{
    TWinControl* page = pages_->Page(opGeneral);
    int y = 8;
    for (const wchar_t* name : {L"ChkConfirmLogDelete", L"chkConfirmPhysDelete", L"chkConfirmOverwrite",
                                L"chkShowMessageBox", L"chkConfirmAuthority", L"chkVerifyFloppy", L"chkCDRomAttr"})
        AddCheckNamed(page, name, 8, y, kColumn2 - 12);
    int y2 = 8;
    for (const wchar_t* name : {L"chkRestoreInitDir", L"chkRestoreFilter", L"chkShowLogo", L"chkSelDirs"})
        AddCheckNamed(page, name, kColumn2, y2, kPageWidth - kColumn2 - 12);
    // Hidden, disabled and unchecked: the stored choice of the store is kept.
    chkUseRegistry_ = new TCheckBox(this);
    chkUseRegistry_->SetName(L"chkUseRegistry");
    chkUseRegistry_->SetCaption(L"&Benutzerabhängige Einstellungen");
    chkUseRegistry_->SetBounds(kColumn2, y2, 200, 17);
    chkUseRegistry_->SetVisible(false);
    chkUseRegistry_->SetEnabled(false);
    chkUseRegistry_->SetParent(page);

    auto* mouse = new TGroupBox(this);
    mouse->SetCaption(L"Linke Maustaste");
    mouse->SetBounds(kColumn2, y2 + 4, kPageWidth - kColumn2 - 12, 22 + 3 * kLine);
    mouse->SetParent(page);
    const wchar_t* const names[] = {L"rbMouseClickEdits", L"rbMouseSingleClick", L"rbMouseStandard"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new TRadioButton(this);
        radio->SetName(names[i]);
        radio->SetCaption(kMouseChoiceCaptions[static_cast<size_t>(i)]);
        radio->GroupStart = i == 0;
        radio->SetBounds(10, 18 + i * kLine, mouse->Width() - 16, 17);
        radio->SetParent(mouse);
        mouseRadios_.push_back(radio);
    }
    mouseRadios_[mcSingleClick]->OnClick = [this](TComponent*) { CheckClickConflict(); };

    const int editTop = std::max(y, y2 + 4 + mouse->Height()) + 16;
    AddLabel(page, L"&Programm für den Vergleich von Dateien:", 8, editTop, kPageWidth - 24);
    edCompareProg_ = new TFilenameEdit(this);
    edCompareProg_->SetName(L"edCompareProg");
    edCompareProg_->Filter = L"Programme (*.exe)|*.exe|Alle Dateien (*.*)|*.*";
    edCompareProg_->SetBounds(8, editTop + 18, kPageWidth - 24, 21);
    edCompareProg_->SetParent(page);
}

void TFormOptions::BuildDisplay()
{
    TWinControl* page = pages_->Page(opDisplay);
    int y = 8;
    AddCheckNamed(page, L"chkLongVolNames", 8, y, kColumn2 - 12);
    TCheckBox* showDirWin = AddCheckNamed(page, L"chkShowDirWin", 8, y, kColumn2 - 12);
    AddCheckNamed(page, L"chkAutoScrollTree", 24, y, kColumn2 - 28);
    AddCheckNamed(page, L"chkAutoExpandDir", 24, y, kColumn2 - 28);
    AddCheckNamed(page, L"chkShowHiddenDirs", 8, y, kColumn2 - 12);
    AddCheckNamed(page, L"chkShowNetwork", 8, y, kColumn2 - 12);
    showDirWin->OnClick = [this](TComponent*) { UpdateEnabledStates(); };
    AddRadioGroup(page, FileNameDisplayGroup(), kColumn2, 4, kPageWidth - kColumn2 - 12);

    y = std::max(y, 4 + 22 + 4 * kLine) + 12;
    AddLabel(page, L"&Aktualisierungsintervall in Sekunden:", 8, y, kPageWidth - 24);
    slUpdateTimer_ = AddTrackBar(page, L"slUpdateTimer", 8, y + 16, kPageWidth - 24);
    y += 56;
    AddCheckNamed(page, L"chkSortAfterUpdate", 8, y, kPageWidth - 24);
    // The folder monitor's box is hidden: the DOS box takes its place.
    AddCheckNamed(page, L"chkFSMonitorActive", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkDosClose", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkAutoActivate", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkTrayApp", 8, y, kPageWidth - 24);
}

void TFormOptions::BuildFileWindow()
{
    TWinControl* page = pages_->Page(opFileWindow);
    AddRadioGroup(page, DateTimeGroup(), 8, 4, kColumn2 - 12);
    int y = 8;
    TCheckBox* second = AddCheckNamed(page, L"chk2FWShow", kColumn2, y, kPageWidth - kColumn2 - 12);
    second->OnClick = [this](TComponent*) { UpdateEnabledStates(); };
    rbt2FWH_ = new TRadioButton(this);
    rbt2FWH_->SetName(L"rbt2FWH");
    rbt2FWH_->SetCaption(L"&Horizontale Teilung");
    rbt2FWH_->GroupStart = true;
    rbt2FWH_->SetBounds(kColumn2 + 16, y, 180, 17);
    rbt2FWH_->SetParent(page);
    y += kLine;
    rbt2FWV_ = new TRadioButton(this);
    rbt2FWV_->SetName(L"rbt2FWV");
    rbt2FWV_->SetCaption(L"Ve&rtikale Teilung");
    rbt2FWV_->SetBounds(kColumn2 + 16, y, 180, 17);
    rbt2FWV_->SetParent(page);

    int left = 4 + 22 + 3 * kLine + 12;
    int right = left;
    const wchar_t* const leftColumn[] = {L"chkTurbo",       L"chkRowSelect",   L"chkSortExt", L"chkShowFileMask",
                                         L"chkSyncDisplay", L"chkShowDirSize", L"chkShowGrid"};
    const wchar_t* const rightColumn[] = {L"chkDirsOnTop",       L"chkShowExtension", L"chkSortDirTime",
                                          L"chkAbbreviatedSize", L"chkAttrUnderLine", L"chkInfotips"};
    for (const wchar_t* name : leftColumn)
        AddCheckNamed(page, name, 8, left, kColumn2 - 12);
    for (const wchar_t* name : rightColumn)
        AddCheckNamed(page, name, kColumn2, right, kPageWidth - kColumn2 - 12);
    checks_[L"chkRowSelect"]->OnClick = [this](TComponent*) { CheckClickConflict(); };
}

void TFormOptions::BuildFileDisplay()
{
    TWinControl* page = pages_->Page(opFileDisplay);
    auto* position = new TGroupBox(this);
    position->SetCaption(L"Anzeigeposition");
    position->SetBounds(8, 4, kColumn2 - 12, 22 + 2 * kLine);
    position->SetParent(page);
    rbFileWin_ = new TRadioButton(this);
    rbFileWin_->SetName(L"rbFileWin");
    rbFileWin_->SetCaption(L"Anzeige im z&weiten Dateifenster");
    rbFileWin_->GroupStart = true;
    rbFileWin_->SetBounds(10, 18, position->Width() - 16, 17);
    rbFileWin_->SetParent(position);
    rbDirWin_ = new TRadioButton(this);
    rbDirWin_->SetName(L"rbDirWin");
    rbDirWin_->SetCaption(L"Anzeige in &separatem Fenster");
    rbDirWin_->SetBounds(10, 18 + kLine, position->Width() - 16, 17);
    rbDirWin_->SetParent(position);
    AddRadioGroup(page, FileDisplayGroup(), kColumn2, 4, kPageWidth - kColumn2 - 12);

    int y = 4 + 22 + 3 * kLine + 12;
    AddLabel(page, L"Vollständiger Pfad zu &IrfanView 3.x:", 8, y, kPageWidth - 24);
    irfanViewEdit_ = new TFilenameEdit(this);
    irfanViewEdit_->SetName(L"IrfanViewEdit");
    irfanViewEdit_->Filter = L"IrfanView (I_VIEW32.EXE)|I_VIEW32.EXE";
    irfanViewEdit_->SetBounds(8, y + 18, kPageWidth - 24, 21);
    irfanViewEdit_->SetParent(page);
    y += 50;
    // The archive box is hidden: the links box takes its place.
    AddCheckNamed(page, L"chkViewArchive", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkFollowLinks", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkUseActiveX", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkMMAutoPlay", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkWantTabs", 8, y, kPageWidth - 24);
    y += 8;
    AddLabel(page, L"&Farbe für nicht belegte Fensterbereiche:", 8, y + 4, 260);
    colorPicBKColor_ = AddColorButton(page, L"colorPicBKColor", 272, y);
}

void TFormOptions::BuildPrograms()
{
    TWinControl* page = pages_->Page(opPrograms);
    btnShift_ = new TRadioButton(this);
    btnShift_->SetName(L"BtnShift");
    btnShift_->SetCaption(L"&Umschalt  (Umsch)");
    btnShift_->GroupStart = true;
    btnShift_->SetBounds(8, 8, 150, 17);
    btnShift_->SetParent(page);
    btnCtrl_ = new TRadioButton(this);
    btnCtrl_->SetName(L"btnCtrl");
    btnCtrl_->SetCaption(L"&Steuerung  (Strg)");
    btnCtrl_->SetBounds(170, 8, 150, 17);
    btnCtrl_->SetParent(page);
    const auto switchSet = [this](TComponent*) {
        fkeys_->CommitEdit();
        fkeyModel_->ShowSet(btnShift_->Checked() ? 0 : 1);
        fkeys_->Invalidate();
    };
    btnShift_->OnClick = switchSet;
    btnCtrl_->OnClick = switchSet;

    fkeys_ = new TImpStringGrid(this);
    fkeys_->SetName(L"FKeys");
    fkeys_->SetCells(&fkeyModel_->Cells());
    // 13 rows with their lines, above the icons' box, below two rows of tabs.
    const int gridHeight = kPageHeight - 48 - 32 - 30;
    const int rowHeight = std::max((gridHeight - 4) / kFKeyGridRows - 1, 14);
    fkeys_->SetDefaultRowHeight(rowHeight);
    fkeys_->SetBounds(8, 32, kPageWidth - 24, (rowHeight + 1) * kFKeyGridRows + 4);
    const int keyWidth = 72;
    const int captionWidth = 120;
    const int rest = kPageWidth - 24 - 4 - keyWidth - captionWidth - 4;
    const int widths[kFKeyGridCols] = {keyWidth, captionWidth, rest / 2, rest - rest / 2};
    for (int col = 0; col < kFKeyGridCols; ++col) {
        TImpColumn& column = fkeys_->Columns(col);
        column.Width = widths[col];
        column.MaxLength = FKeyCellLimit(col);
        column.ButtonStyle =
            col == fkCommand || col == fkParams ? TImpColumnButtonStyle::cbsEllipsis : TImpColumnButtonStyle::cbsNone;
    }
    fkeys_->SetParent(page);
    fkeys_->OnKeyDown = [this](TComponent*, uint16_t& key, TShortCut shift) { FKeysKeyDown(key, shift); };
    fkeys_->OnEndEditText = [this](TComponent*, int col, int row) { FKeysEndEdit(col, row); };
    fkeys_->OnRowMoved = [this](TComponent*, int from, int to) { fkeyModel_->RowMoved(from, to); };
    fkeys_->OnElippsisClicked = [this](TComponent*, int col, int) {
        if (col == fkCommand)
            FKeysBrowse();
        else if (col == fkParams)
            FKeysPlaceholderMenu();
    };

    int y = fkeys_->Top() + fkeys_->Height() + 8;
    AddCheckNamed(page, L"chkUseProgIcons", 8, y, kPageWidth - 24);

    fkeyPopup_ = new TPopupMenu(this);
    auto* browse = new TMenuItem(fkeyPopup_);
    browse->SetCaption(L"&Durchsuchen...\tF4");
    browse->OnClick = [this](TComponent*) { FKeysBrowse(); };
    fkeyPopup_->Items()->Add(browse);
    auto* line = new TMenuItem(fkeyPopup_);
    line->SetCaption(L"-");
    fkeyPopup_->Items()->Add(line);
    for (const TPlaceholderItem& item : ParameterPlaceholders()) {
        auto* menuItem = new TMenuItem(fkeyPopup_);
        menuItem->SetCaption(item.Caption);
        const std::wstring placeholder = item.Placeholder;
        menuItem->OnClick = [this, placeholder](TComponent*) {
            if (!fkeys_->EditorMode())
                fkeys_->ShowEditor();
            HWND edit = fkeys_->InplaceEditor()->Handle();
            const std::wstring text = fkeys_->InplaceEditor()->Text();
            if (text.size() + placeholder.size() > static_cast<size_t>(FKeyCellLimit(fkeys_->Col()))) {
                MessageBeep(MB_ICONHAND);  // the cell would overflow: nothing is cut
                return;
            }
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(placeholder.c_str()));
            fkeys_->InplaceEditor()->SetFocus();
        };
        fkeyPopup_->Items()->Add(menuItem);
    }
    // No help content exists: "Weitere Parameter..." is not offered.
    auto* more = new TMenuItem(fkeyPopup_);
    more->SetCaption(L"Weitere Parameter...\tF1");
    more->SetVisible(false);
    fkeyPopup_->Items()->Add(more);
}

void TFormOptions::BuildFontsColors()
{
    TWinControl* page = pages_->Page(opFontsColors);
    auto* stdFont = new TButton(this);
    stdFont->SetName(L"btnStdFont");
    stdFont->SetCaption(L"&Programmfenster");
    stdFont->SetBounds(8, 10, 110, 25);
    stdFont->SetParent(page);
    stdFontSample_ = new TLabel(this);
    stdFontSample_->SetName(L"lblStdFont");
    stdFontSample_->SetBounds(128, 8, kPageWidth - 150, 30);
    stdFontSample_->SetParent(page);
    stdFont->OnClick = [this](TComponent*) { ChooseFontFor(listFont_, *stdFontSample_, false); };

    auto* textFont = new TButton(this);
    textFont->SetName(L"btnTextFont");
    textFont->SetCaption(L"&Texteditor");
    textFont->SetBounds(8, 50, 110, 25);
    textFont->SetParent(page);
    textFontSample_ = new TLabel(this);
    textFontSample_->SetName(L"lblTextFont");
    textFontSample_->SetBounds(128, 48, kPageWidth - 150, 30);
    textFontSample_->SetParent(page);
    textFont->OnClick = [this](TComponent*) { ChooseFontFor(textFont_, *textFontSample_, true); };

    int y = 92;
    TCheckBox* useColor = AddCheckNamed(page, L"chkUseColor", 8, y, 200);
    useColor->OnClick = [this](TComponent*) { UpdateEnabledStates(); };
    AddLabel(page, L"Hintergrund für ein inaktives Fenster:", 24, y + 4, 240);
    colorSelBk_ = AddColorButton(page, L"ColorSelBk", 272, y);
    y += 28;
    AddLabel(page, L"Hintergrund für ein aktives Fenster:", 24, y + 4, 240);
    colorSelActive_ = AddColorButton(page, L"ColorSelActive", 272, y);
    y += 36;

    struct TextColor {
        const wchar_t* caption;
        const wchar_t* check;
        const wchar_t* button;
        TKyColorButton** target;
    } const textColors[] = {
        {L"Komprimierte Dateien", L"chkUseCompressedColor", L"ColorSelCompressed", &colorSelCompressed_},
        {L"Versteckte Dateien", L"chkUseHiddenColor", L"ColorSelHidden", &colorSelHidden_},
    };
    for (const TextColor& entry : textColors) {
        auto* box = new TGroupBox(this);
        box->SetCaption(entry.caption);
        box->SetBounds(8, y, kPageWidth - 24, 50);
        box->SetParent(page);
        int line = 20;
        TCheckBox* check = AddCheckNamed(box, entry.check, 10, line, 200);
        check->OnClick = [this](TComponent*) { UpdateEnabledStates(); };
        *entry.target = AddColorButton(box, entry.button, 264, 17);
        y += 58;
    }
}

void TFormOptions::BuildDragDrop()
{
    TWinControl* page = pages_->Page(opDragDrop);
    AddRadioGroup(page, DragDropGroup(), 8, 4, kPageWidth - 24);
    int y = 4 + 22 + 3 * kLine + 12;
    AddCheckNamed(page, L"chkLinkOnExeDrag", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkBringToFront", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkDragImages", 8, y, kPageWidth - 24);
    AddCheckNamed(page, L"chkPreserveDirs", 8, y, kPageWidth - 24);
    y += 12;
    AddLabel(page, L"Verzeichnis automatisch öffnen nach:", 8, y, kPageWidth - 24);
    slDDDirOpenDelay_ = AddTrackBar(page, L"slDDDirOpenDelay", 8, y + 16, kPageWidth - 24);
}

void TFormOptions::BuildFilters()
{
    TWinControl* page = pages_->Page(opFilters);
    filterBox_ = new TImpStringGrid(this);
    filterBox_->SetName(L"FilterBox");
    filterBox_->SetCells(&filterModel_->Cells());
    filterBox_->SetDefaultRowHeight(MeasureText(filterBox_->Font().Handle(), L"ÄÜA").cy + 3);
    filterBox_->SetBounds(8, 8, kPageWidth - 24 - 96, kPageHeight - 48);
    filterBox_->Columns(flName).Width = 120;
    filterBox_->Columns(flName).MaxLength = kFilterNameLimit;
    filterBox_->Columns(flMasks).MaxLength = kFilterMasksLimit;
    filterBox_->SetParent(page);
    filterBox_->OnKeyDown = [this](TComponent*, uint16_t& key, TShortCut shift) { FilterKeyDown(key, shift); };
    filterBox_->OnEndEditText = [this](TComponent*, int col, int row) {
        const bool modified = filterModel_->Cells().Cell(col, row) != filterBox_->EditStartText();
        filterModel_->EndEdit(col, row, modified);
        filterBox_->Invalidate();
    };
    filterBox_->OnSelectCell = [this](TComponent*) { UpdateFilterButtons(); };

    struct Command {
        const wchar_t* name;
        const wchar_t* caption;
        const wchar_t* hint;
        void (TFilterGridModel::*run)();
        TButton** target;
    } const commands[] = {
        {L"btnFilterNew", L"&Neu", L"Einen neuen Dateifilter anlegen.", &TFilterGridModel::NewFilter, &filterNew_},
        {L"btnFilterDelete", L"&Löschen", L"Markierten Dateifilter löschen.", &TFilterGridModel::DeleteFilter,
         &filterDelete_},
        {L"btnFilterUp", L"Nach &oben", L"", &TFilterGridModel::MoveUp, &filterUp_},
        {L"btnFilterDown", L"Nach &unten", L"", &TFilterGridModel::MoveDown, &filterDown_},
    };
    int y = 8;
    for (const Command& command : commands) {
        auto* button = new TButton(this);
        button->SetName(command.name);
        button->SetCaption(command.caption);
        button->SetHint(command.hint);
        button->SetBounds(kPageWidth - 16 - 88, y, 88, 25);
        button->SetParent(page);
        const auto run = command.run;
        button->OnClick = [this, run](TComponent*) { FilterCommand(run); };
        *command.target = button;
        y += 32;
    }
    pages_->Page(opFilters)->OnShow = [this](TComponent*) { FitFilterColumns(); };
}

// ---- Values in and out --------------------------------------------------------------

void TFormOptions::FillFromOptions()
{
    for (const TOptionCheck& check : OptionChecks())
        if (check.Page != opThumbnails)  // the page that is never shown keeps its values
            checks_.at(check.Name)->SetChecked(options_.*check.Field);
    chkUseRegistry_->SetChecked(false);
    for (const auto& [group, buttons] : radioGroups_) {
        const TRadioGroupDef& def = *group;
        const uint8_t value = &def == &DateTimeGroup()          ? options_.DateTime
                              : &def == &FileNameDisplayGroup() ? options_.FileNameDisplay
                              : &def == &FileDisplayGroup()     ? options_.FileDisplay
                                                                : options_.DDOption;
        buttons[static_cast<size_t>(CheckedChoice(def, value))]->SetChecked(true);
    }
    mouseRadios_[static_cast<size_t>(MouseChoiceFor(options_))]->SetChecked(true);
    (options_.DividerStyle == 1 ? rbt2FWH_ : rbt2FWV_)->SetChecked(true);
    (options_.FileDisplayPos == 1 ? rbFileWin_ : rbDirWin_)->SetChecked(true);
    btnShift_->SetChecked(true);

    // Stored paths are shown as they are, whatever characters they hold.
    edCompareProg_->SetText(options_.CompareProgPath);
    irfanViewEdit_->SetText(options_.IrfanViewPath);
    slUpdateTimer_->SetPosition(ReloadTrackPosition(options_.Reload));
    slDDDirOpenDelay_->SetPosition(options_.DDExpandDelay);

    colorSelBk_->SetColor(options_.Color);
    colorSelActive_->SetColor(options_.ActiveColor);
    colorSelCompressed_->SetColor(options_.CompressedColor);
    colorSelHidden_->SetColor(options_.HiddenColor);
    colorPicBKColor_->SetColor(options_.PicBKColor);

    ShowFontSample(*stdFontSample_, listFont_);
    ShowFontSample(*textFontSample_, textFont_);
    UpdateEnabledStates();
    UpdateFilterButtons();
    fkeys_->Invalidate();
    filterBox_->Invalidate();
}

void TFormOptions::WriteToOptions()
{
    for (const TOptionCheck& check : OptionChecks())
        if (check.Page != opThumbnails)
            options_.*check.Field = checks_.at(check.Name)->Checked();
    // UseRegistry: the box is hidden and never read; the stored choice stays.
    for (const auto& [group, buttons] : radioGroups_) {
        std::vector<bool> checked;
        for (TRadioButton* button : buttons)
            checked.push_back(button->Checked());
        const uint8_t value = ChoiceValue(*group, checked);
        if (group == &DateTimeGroup())
            options_.DateTime = value;
        else if (group == &FileNameDisplayGroup())
            options_.FileNameDisplay = value;
        else if (group == &FileDisplayGroup())
            options_.FileDisplay = value;
        else
            options_.DDOption = value;
    }
    const TMouseChoice mouse = mouseRadios_[mcClickEdits]->Checked()    ? mcClickEdits
                               : mouseRadios_[mcSingleClick]->Checked() ? mcSingleClick
                                                                        : mcStandard;
    StoreMouseChoice(options_, mouse);
    options_.DividerStyle = rbt2FWH_->Checked() ? 1 : 0;
    options_.FileDisplayPos = rbFileWin_->Checked() ? 1 : 0;
    options_.CompareProgPath = edCompareProg_->Text();
    options_.IrfanViewPath = irfanViewEdit_->Text();
    options_.Reload = slUpdateTimer_->Position();
    options_.DDExpandDelay = slDDDirOpenDelay_->Position();
    options_.Color = colorSelBk_->Color();
    options_.ActiveColor = colorSelActive_->Color();
    options_.CompressedColor = colorSelCompressed_->Color();
    options_.HiddenColor = colorSelHidden_->Color();
    options_.PicBKColor = colorPicBKColor_->Color();
    options_.ListFont = listFont_;
    options_.TextFont = textFont_;
    options_.FKeys = fkeyModel_->Result();
    options_.FilterList = filterModel_->Rebuild();
}

void TFormOptions::btnOKClick()
{
    // A cell still being edited counts as edited.
    fkeys_->CommitEdit();
    filterBox_->CommitEdit();
    const TOptionsCheckCalls checkCalls{
        [this](const std::wstring& name) { return calls_.FileExists(WithoutQuotes(name)); },
        calls_.Ask,
    };
    const TOptionsCheckResult check = CheckProgramPaths(edCompareProg_->Text(), irfanViewEdit_->Text(), checkCalls);
    if (check.Focus != TOptionsFocus::None) {
        SetActivePage(check.Page);
        TFilenameEdit* field = check.Focus == TOptionsFocus::CompareProgram ? edCompareProg_ : irfanViewEdit_;
        if (IsWindowVisible(Handle()))
            field->SetFocus();
        return;
    }
    WriteToOptions();
    SetModalResult(mrOk);
}

// ---- Reactions -------------------------------------------------------------------------

void TFormOptions::UpdateEnabledStates()
{
    const bool tree = checks_.at(L"chkShowDirWin")->Checked();
    checks_.at(L"chkAutoScrollTree")->SetEnabled(tree);
    checks_.at(L"chkAutoExpandDir")->SetEnabled(tree);
    const bool second = checks_.at(L"chk2FWShow")->Checked();
    rbt2FWH_->SetEnabled(second);
    rbt2FWV_->SetEnabled(second);
    const bool useColor = checks_.at(L"chkUseColor")->Checked();
    colorSelBk_->SetEnabled(useColor);
    colorSelActive_->SetEnabled(useColor);
    colorSelCompressed_->SetEnabled(checks_.at(L"chkUseCompressedColor")->Checked());
    colorSelHidden_->SetEnabled(checks_.at(L"chkUseHiddenColor")->Checked());
}

void TFormOptions::CheckClickConflict()
{
    if (mouseRadios_[mcSingleClick]->Checked() && checks_.at(L"chkRowSelect")->Checked())
        calls_.Inform(kClickConflict);
}

void TFormOptions::ShowFontSample(TLabel& label, const TFontSetting& font)
{
    SettingToFont(font, label.Font());
    label.SetCaption(L"Schriftart: " + font.Name);
}

void TFormOptions::ChooseFontFor(TFontSetting& font, TLabel& sample, bool fixedPitchOnly)
{
    if (!calls_.ChooseFont(Handle(), sample.Font(), fixedPitchOnly)) {
        SettingToFont(font, sample.Font());  // the chooser may have changed it before cancelling
        return;
    }
    FontToSetting(sample.Font(), font);
    ShowFontSample(sample, font);
}

void TFormOptions::PageCtrlChange()
{
    if (ActivePage() == opPrograms)
        fkeys_->SetFocus();
    else if (ActivePage() == opFilters) {
        FitFilterColumns();
        filterBox_->SetFocus();
    }
    UpdateFilterButtons();
}

// ---- The function-key grid -----------------------------------------------------------------

void TFormOptions::FKeysKeyDown(uint16_t& key, TShortCut shift)
{
    const int col = fkeys_->Col();
    const int row = fkeys_->Row();
    if (key == VK_RETURN && (shift & (scCtrl | scAlt)) == 0) {
        fkeys_->CommitEdit();
        const auto [nextCol, nextRow] = TFKeyGridModel::EnterTarget(col, row);
        fkeys_->SetCurrent(nextCol, nextRow);
        key = 0;
    } else if (key == VK_TAB && (shift & (scCtrl | scAlt)) == 0) {
        if ((shift & scShift) == 0 && col == kFKeyGridCols - 1 && row == kFKeyGridRows - 1) {
            fkeys_->CommitEdit();
            checks_.at(L"chkUseProgIcons")->SetFocus();
            key = 0;
        } else if ((shift & scShift) != 0 && col == fkCaption && row == 1) {
            fkeys_->CommitEdit();
            (btnShift_->Checked() ? btnShift_ : btnCtrl_)->SetFocus();
            key = 0;
        }
    } else if (key == VK_F4 && shift == 0 && (col == fkCommand || col == fkParams)) {
        FKeysBrowse();
        key = 0;
    }
}

void TFormOptions::FKeysBrowse()
{
    const int col = fkeys_->Col();
    const int row = fkeys_->Row();
    const bool editing = fkeys_->EditorMode();
    const std::wstring current = editing ? fkeys_->InplaceEditor()->Text() : fkeyModel_->Cells().Cell(col, row);
    const TBrowseStart start = BrowseStartFor(current, browseInitialDir_, calls_.FileExists);
    std::wstring name = start.FileName;
    const std::wstring initialDir = start.InitialDir.empty() ? browseInitialDir_ : start.InitialDir;
    if (!calls_.BrowseFile(Handle(), name, initialDir, calls_.BrowseFilter))
        return;
    browseInitialDir_ = RemoveBackslash(ExtractFilePath(name));
    if (name.size() > static_cast<size_t>(FKeyCellLimit(col))) {
        calls_.Inform(L"Der Pfad \"" + name + L"\" ist länger als " + std::to_wstring(FKeyCellLimit(col)) +
                      L" Zeichen und kann nicht übernommen werden.");
        return;
    }
    if (editing && fkeys_->Col() == col && fkeys_->Row() == row) {
        fkeys_->InplaceEditor()->SetText(name);
        fkeys_->InplaceEditor()->SetFocus();
    } else {
        fkeyModel_->Cells().SetCell(col, row, name);
        fkeys_->Invalidate();
    }
}

void TFormOptions::FKeysPlaceholderMenu()
{
    const RECT cell = fkeys_->CellScreenRect(fkeys_->Col(), fkeys_->Row());
    fkeyPopup_->Popup(cell.right, cell.top, Handle());
}

void TFormOptions::FKeysEndEdit(int col, int row)
{
    if (col != fkCommand || row < 1)
        return;
    const std::wstring typed = fkeyModel_->Cells().Cell(col, row);
    const std::wstring completed = CompletedCommand(fkeys_->EditStartText(), typed, calls_.FindOnPath);
    if (completed != typed)
        fkeyModel_->Cells().SetCell(col, row, completed);
}

// ---- The filter grid -------------------------------------------------------------------------

void TFormOptions::FilterCommand(void (TFilterGridModel::*command)())
{
    filterBox_->CommitEdit();
    (filterModel_.get()->*command)();
    FitFilterColumns();
    filterBox_->SetCurrent(filterModel_->Cells().Col(), filterModel_->Cells().Row());
    filterBox_->SetFocus();
    UpdateFilterButtons();
}

void TFormOptions::FilterKeyDown(uint16_t& key, TShortCut shift)
{
    TStringGridCells& cells = filterModel_->Cells();
    if (key == VK_DOWN && shift == 0 && cells.Row() == cells.RowCount() - 1) {
        FilterCommand(&TFilterGridModel::NewFilter);
        key = 0;
    } else if (key == VK_TAB && (shift & (scCtrl | scAlt)) == 0) {
        if ((shift & scShift) == 0 && cells.Col() == flMasks && cells.Row() == cells.RowCount() - 1) {
            filterBox_->CommitEdit();
            btnOK_->SetFocus();
            key = 0;
        } else if ((shift & scShift) != 0 && cells.Col() == flName && cells.Row() == 1) {
            filterBox_->CommitEdit();
            pages_->SetFocus();
            key = 0;
        }
    }
}

void TFormOptions::UpdateFilterButtons()
{
    filterDelete_->SetEnabled(filterModel_->CanDelete());
    filterUp_->SetEnabled(filterModel_->CanMoveUp());
    filterDown_->SetEnabled(filterModel_->CanMoveDown());
}

void TFormOptions::FitFilterColumns()
{
    const int width = filterBox_->ClientWidth() - filterBox_->Columns(flName).Width - 1;
    filterBox_->Columns(flMasks).Width = std::max(width, 40);
    filterBox_->Invalidate();
}

}  // namespace qrv

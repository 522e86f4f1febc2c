// The main window's side of the filter commands: their actions, the filter
// box's events, the filter button with its menu, and what the commands ask
// of the window.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "dialogs/OptionsFields.h"
#include "dialogs/win/SelFileDialog.h"
#include "framework/ScopeExit.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <algorithm>

namespace qrv {

void TQRVMain::ConnectFilterCommands()
{
    TFilterCommands& commands = *filterCommands_;
    catalogue_.Register(TActionId::SelectSeveral, [&commands] { commands.SelectSeveralExecute(true); });
    catalogue_.Register(TActionId::SelectUnselect, [&commands] { commands.SelectSeveralExecute(false); });
    catalogue_.Register(TActionId::EditFilter, [&commands] { commands.EditFilterExecute(); });
    catalogue_.Register(TActionId::FilterZipLV, [&commands] { commands.FilterZipLVExecute(); });
    catalogue_.Register(TActionId::EditStdFilter, [&commands] { commands.EditStdFilterExecute(); });

    if (auto* box = dynamic_cast<TFilterComboBox*>(FilterBox)) {
        const auto applyText = [this, &commands](TComponent*) { commands.ApplyTypedMask(FilterBox->Text()); };
        box->OnEnterKey = [this, applyText](TComponent* sender) {
            applyText(sender);
            if (ActiveList)
                ActiveList->SetFocus();
        };
        box->OnEscapeKey = applyText;
        box->OnChosen = [this, &commands](TComponent*) {
            const int chosen = FilterBox->HandleAllocated()
                                   ? static_cast<int>(SendMessageW(FilterBox->Handle(), CB_GETCURSEL, 0, 0))
                                   : -1;
            commands.FilterBoxChosen(chosen >= 0 && chosen < FilterBox->Items().Count() ? FilterBox->Items().Get(chosen)
                                                                                        : FilterBox->Text());
        };
        box->OnExit = [this, &commands](TComponent*) { commands.FilterBoxChosen(FilterBox->Text()); };
    }
    if (!ToolbarAuswahl)
        return;
    // The filter button: a click edits the filter, its arrow names the filters.
    FilterPopup = new TPopupMenu(this);
    FilterPopup->SetName(L"FilterPopup");
    FilterButton = new TKyToolbarButton(this);
    FilterButton->SetName(L"btnFilter");
    FilterButton->SetCaption(L"Filter");
    FilterButton->SetDisplayMode(TButtonDisplayMode::dmTextOnly);
    FilterButton->SetWidth(std::max(FilterButton->Width(),
                                    static_cast<int>(MeasureText(FilterButton->Font().Handle(), L"Filter").cx) + 30));
    FilterButton->SetDropdownCombo(true);
    FilterButton->SetDropdownMenu(FilterPopup);
    FilterButton->SetHint(L"Dateifilter");
    FilterButton->OnClick = [&commands](TComponent*) { commands.EditFilterExecute(); };
    FilterButton->OnDropdown = [this](TComponent*, bool& ShowMenu, bool&) {
        FilterPopupPopup();
        ShowMenu = true;
    };
    FilterButton->SetParent(ToolbarAuswahl);
}

void TQRVMain::FilterPopupPopup()
{
    if (!FilterPopup)
        return;
    TMenuItem* root = FilterPopup->Items();
    root->Clear();
    for (const TFilterMenuItem& entry : filterCommands_->FilterMenu()) {
        auto* item = new TMenuItem(this);
        item->SetCaption(entry.Caption);
        item->SetChecked(entry.Checked);
        const int tag = entry.Tag;
        item->OnClick = [this, tag](TComponent*) { filterCommands_->FilterMenuClick(tag); };
        root->Add(item);
    }
    const auto command = [this, root](const std::wstring& Caption, TActionId Id) {
        auto* item = new TMenuItem(this);
        item->SetCaption(Caption);
        item->OnClick = [this, Id](TComponent*) { catalogue_.Execute(Id); };
        root->Add(item);
    };
    auto* divider = new TMenuItem(this);
    divider->SetCaption(L"-");
    root->Add(divider);
    command(L"Datei&filter ...", TActionId::EditFilter);
    command(L"Standardfilter bearbeiten...", TActionId::EditStdFilter);
}

std::wstring TQRVMain::TreeFolder()
{
    if (TreeView1 && TreeView1->Selected())
        return TreeView1->GetDirPathName(TreeView1->Selected());
    return ActiveList ? ActiveList->GetPath() : std::wstring();
}

TOptions& TQRVMain::FilterOptions()
{
    return qrv::Options;
}

bool TQRVMain::ArchiveListFocused()
{
    if (!ZipLV || !ZipLV->Visible() || !ZipLV->HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    return focus == ZipLV->Handle() || IsChild(ZipLV->Handle(), focus);
}

TCompressionBits TQRVMain::CompressionBitsOf(const std::wstring& Folder)
{
    return QueryCompressionBits(Folder);
}

TPickerDate TQRVMain::Today()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

bool TQRVMain::RunFilterDialog(TSelFileDialog& Dialog)
{
    return Dialog.Execute();
}

void TQRVMain::EditNamedFilters()
{
    if (!OptionsDialog)
        return;
    // The options dialog edits the named filters alone; the page shown last
    // stays what the full dialog opens on.
    const int lastPage = LastOptionsPage;
    OptionsDialog->OnlyPage = opFilters;
    const ScopeExit restore([this, lastPage] {
        OptionsDialog->OnlyPage = -1;
        LastOptionsPage = lastPage;
    });
    OptionsDlgExecute();
}

void TQRVMain::FilterApplied()
{
    UpdateWindowTitle();
    if (filterCommands_)
        filterCommands_->UpdateFilterBoxColor();
}

void TQRVMain::SelectionChanged()
{
    UpdateSelectionStatus();
    RefreshStatusBar();
    UpdateActionStates();
}

void TQRVMain::FocusList(TDirView* List)
{
    if (List && List->Visible() && List->HandleAllocated())
        List->SetFocus();
}

}  // namespace qrv

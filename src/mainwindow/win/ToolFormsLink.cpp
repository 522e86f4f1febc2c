#include "mainwindow/win/ToolFormsLink.h"

#include "dialogs/win/DriveOverView.h"
#include "dialogs/win/TextPropertiesForm.h"
#include "editor/TabStopList.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/Buttons.h"
#include "framework/IgnoredError.h"
#include "mainwindow/TextPropertiesExchange.h"
#include "mainwindow/win/FileCommands.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/HexEditor.h"
#include "widgets/win/KySplit.h"

namespace qrv {

TToolFormsLink::TToolFormsLink(TQRVMain& Window)
    : window_(Window), dirSearch_(static_cast<TDirSearchHost&>(*this)),
      fileVerify_(static_cast<TFileVerifyHost&>(*this), files_)
{}

TToolFormsLink::~TToolFormsLink() = default;

TDriveView* TToolFormsLink::SearchTree()
{
    return window_.TreeView1;
}

int TToolFormsLink::ShowMessageBox(const std::wstring& Text, TMsgDlgType Kind, int HelpContext, TMsgDlgButtons Buttons)
{
    return window_.ShowMessageBox(Text, Kind, HelpContext, Buttons);
}

void TToolFormsLink::RescanDrive()
{
    window_.FileCommands().RescanDriveExecute();
}

void TToolFormsLink::PlaceFindDialog(TForm& Dialog)
{
    // 40 pixels above the window's bottom, 20 right of the tree's splitter.
    RECT frame{};
    GetWindowRect(window_.Handle(), &frame);
    int left = frame.left + 20;
    if (window_.Splitter1 && window_.Splitter1->HandleAllocated()) {
        RECT splitter{};
        GetWindowRect(window_.Splitter1->Handle(), &splitter);
        left = splitter.right + 20;
    }
    Dialog.SetBounds(left, frame.bottom - 40 - Dialog.Height(), Dialog.Width(), Dialog.Height());
}

std::vector<TVerifyEntry> TToolFormsLink::VerifySelection()
{
    std::vector<TVerifyEntry> items;
    TDirView* list = window_.ActiveList;
    if (!list)
        return items;
    for (int i = 0; i < list->ItemCount(); ++i)
        if (const TFileRec* item = list->GetItemData(i); item && item->Selected && !item->IsParentDir)
            items.push_back(VerifyEntryOf(list->ItemFullFileName(item), item->Attr, static_cast<int64_t>(item->Size)));
    return items;
}

int TToolFormsLink::VerifyDriveType()
{
    TDirView* list = window_.ActiveList;
    if (!list || list->Path().size() < 2 || list->Path()[1] != L':')
        return 0;
    TDriveInfoRec rec;
    DriveInfo().GetData(UpCaseDrive(list->Path()[0]), rec);
    return rec.DriveType;
}

TForm* TToolFormsLink::ProgressOwner()
{
    return &window_;
}

void TToolFormsLink::PlaceProgressForm(TForm& Progress)
{
    window_.PlaceProgressForm(Progress);
}

void TToolFormsLink::RefreshStatusBar()
{
    window_.RefreshStatusBar();
    window_.UpdateSelectionStatus();
}

bool TToolFormsLink::Terminating()
{
    return window_.ShuttingDown || (Application && Application->Terminated());
}

void TToolFormsLink::DriveOverviewExecute()
{
    if (overview_)
        return;
    TFormDriveOverView form(&window_);
    form.chkRemovable->SetChecked(ShowRemovable);
    overview_ = &form;
    form.ShowModal();
    overview_ = nullptr;
    ShowRemovable = form.chkRemovable->Checked();
}

void TToolFormsLink::RefillDriveOverview()
{
    if (overview_ && overview_->Visible())
        overview_->Refill();
}

void TToolFormsLink::TextPropertiesExecute()
{
    TEasyEdit* editor = window_.EasyEdit;
    if (!editor)
        return;
    const TTextEditorSettings before{editor->Options(), static_cast<int>(editor->KeyMapping()),
                                     editor->GetEditSource()->TabStops(), Options.WantTabs};
    TTextPropertiesForm form(&window_, TextPropertiesFromEditor(before, Options.BAKFiles));
    // A tab stop list the editor would refuse keeps the form open.
    form.CanAccept = [this](const TTextPropertiesValues& values) {
        try {
            TTabStopList probe;
            probe.SetText(values.TabStops);
            return true;
        } catch (const Exception& error) {
            window_.ShowMessageBox(L"Ungültige Tabstopps: " + values.TabStops + L"\n" + error.Message(),
                                   TMsgDlgType::mtError, 0, mbOK);
            return false;
        }
    };
    if (!form.Execute())
        return;
    const TTextPropertiesValues values = form.Values();
    const TTextEditorSettings after = EditorFromTextProperties(before, values);
    if (after.TabStops != before.TabStops)
        editor->GetEditSource()->SetTabStops(after.TabStops);
    editor->SetOptions(after.Options);
    editor->SetKeyMapping(static_cast<TEasyKeyMapping>(after.KeyMapping));
    Options.WantTabs = after.WantTabs;
    Options.BAKFiles = values.BAKFiles;
    editor->SetWantTabs(after.WantTabs);
    if (window_.HexEditor1)
        window_.HexEditor1->SetWantTabs(after.WantTabs);
}

}  // namespace qrv

#include "mainwindow/win/ToolFormsLink.h"

#include "dialogs/win/DriveOverView.h"
#include "dialogs/win/TextPropertiesForm.h"
#include "editor/TabStopList.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/Buttons.h"
#include "framework/IgnoredError.h"
#include "mainwindow/TextPropertiesExchange.h"
#include "mainwindow/win/FileCommands.h"
#include "framework/win/ExtCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/HexEditor.h"

namespace qrv {

namespace {

TTextEditorSettings EditorSettingsOf(TEasyEdit& Editor)
{
    return TTextEditorSettings{Editor.Options(), static_cast<int>(Editor.KeyMapping()),
                               Editor.GetEditSource()->TabStops(), Options.WantTabs};
}

}  // namespace

TToolFormsLink::TToolFormsLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                               TFileCommands& FileCommands)
    : panes_(Panes), services_(Services), fileCommands_(FileCommands),
      dirSearch_(Services, static_cast<TDirSearchHost&>(*this)),
      fileVerify_(Services, static_cast<TFileVerifyHost&>(*this), files_)
{
    Catalogue.Register(TActionId::FindDlg, [this] { dirSearch_.DirSearchExecute(); });
    Catalogue.Register(TActionId::FileVerify, [this] { fileVerify_.FileVerifyExecute(); });
    Catalogue.Register(TActionId::DriveOverview, [this] { DriveOverviewExecute(); });
    Catalogue.Register(TActionId::TextProperties, [this] { TextPropertiesExecute(); });
}

TToolFormsLink::~TToolFormsLink() = default;

TDriveView* TToolFormsLink::SearchTree()
{
    return panes_.TreeView1;
}

void TToolFormsLink::RescanDrive()
{
    fileCommands_.RescanDriveExecute();
}

void TToolFormsLink::PlaceFindDialog(TForm& Dialog)
{
    // 40 pixels above the window's bottom, 20 right of the tree's splitter
    // (which follows the tree's panel).
    TForm* window = services_.Window();
    if (!window || !window->HandleAllocated())
        return;
    RECT frame{};
    GetWindowRect(window->Handle(), &frame);
    int left = frame.left + 20;
    if (panes_.PanelLeft && panes_.PanelLeft->HandleAllocated() && panes_.PanelLeft->Visible()) {
        RECT tree{};
        GetWindowRect(panes_.PanelLeft->Handle(), &tree);
        left = tree.right + 20;
    }
    Dialog.SetBounds(left, frame.bottom - 40 - Dialog.Height(), Dialog.Width(), Dialog.Height());
}

std::vector<TVerifyEntry> TToolFormsLink::VerifySelection()
{
    std::vector<TVerifyEntry> items;
    TDirView* list = panes_.ActiveList;
    if (!list)
        return items;
    for (int i = 0; i < list->ItemCount(); ++i)
        if (const TFileRec* item = list->GetItemData(i); item && item->Selected && !item->IsParentDir)
            items.push_back(VerifyEntryOf(list->ItemFullFileName(item), item->Attr, static_cast<int64_t>(item->Size)));
    return items;
}

int TToolFormsLink::VerifyDriveType()
{
    TDirView* list = panes_.ActiveList;
    if (!list || list->Path().size() < 2 || list->Path()[1] != L':')
        return 0;
    TDriveInfoRec rec;
    DriveInfo().GetData(UpCaseDrive(list->Path()[0]), rec);
    return rec.DriveType;
}

void TToolFormsLink::DriveOverviewExecute()
{
    if (overview_)
        return;
    TFormDriveOverView form(services_.Window());
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
    TEasyEdit* editor = panes_.EasyEdit;
    if (!editor)
        return;
    const TTextEditorSettings before = EditorSettingsOf(*editor);
    TTextPropertiesForm form(services_.Window(), TextPropertiesFromEditor(before, Options.BAKFiles));
    // A tab stop list the editor would refuse keeps the form open.
    form.CanAccept = [this](const TTextPropertiesValues& values) {
        try {
            TTabStopList probe;
            probe.SetText(values.TabStops);
            return true;
        } catch (const Exception& error) {
            services_.ShowMessageBox(L"Ungültige Tabstopps: " + values.TabStops + L"\n" + error.Message(),
                                     TMsgDlgType::mtError, 0, mbOK);
            return false;
        }
    };
    if (!form.Execute())
        return;
    const TTextPropertiesValues values = form.Values();
    ApplyEditorSettings(before, EditorFromTextProperties(before, values));
    Options.BAKFiles = values.BAKFiles;
}

void TToolFormsLink::ApplyEditorSettings(const TTextEditorSettings& Before, const TTextEditorSettings& After)
{
    TEasyEdit* editor = panes_.EasyEdit;
    if (!editor)
        return;
    if (After.TabStops != Before.TabStops)
        editor->GetEditSource()->SetTabStops(After.TabStops);
    editor->SetOptions(After.Options);
    editor->SetKeyMapping(static_cast<TEasyKeyMapping>(After.KeyMapping));
    Options.WantTabs = After.WantTabs;
    editor->SetWantTabs(After.WantTabs);
    if (panes_.HexEditor1)
        panes_.HexEditor1->SetWantTabs(After.WantTabs);
}

void TToolFormsLink::ApplyStoredTextProperties(const TEditorStoredOptions& Stored)
{
    TEasyEdit* editor = panes_.EasyEdit;
    if (!editor)
        return;
    const TTextEditorSettings before = EditorSettingsOf(*editor);
    TTextEditorSettings after = LoadTextProperties(before, Stored);
    // A stored list the editor refuses leaves its stops as they were.
    try {
        TTabStopList probe;
        probe.SetText(after.TabStops);
    } catch (const Exception&) {
        TraceIgnoredException(L"stored tab stops refused: " + after.TabStops);
        after.TabStops = before.TabStops;
    }
    ApplyEditorSettings(before, after);
}

void TToolFormsLink::CaptureTextProperties(TEditorStoredOptions& Stored) const
{
    if (TEasyEdit* editor = panes_.EasyEdit)
        StoreTextProperties(EditorSettingsOf(*editor), Stored);
}

}  // namespace qrv

#include "mainwindow/win/FileToolsLink.h"

#include "archives/win/KyZipLV.h"
#include "dialogs/win/KySelDir.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/win/ArchiveListEvents.h"
#include "mainwindow/win/CommandMenus.h"
#include "mainwindow/win/FileCommands.h"
#include "mainwindow/win/FileDisplay.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"

namespace qrv {

namespace {

constexpr int kSelectTargetHelpContext = 350;

}  // namespace

TFileToolsLink::TFileToolsLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                               TCommandMenus& Menus, TFileDisplay& Display, TFileCommands& FileCommands,
                               TFileToolsWindow Window)
    : panes_(Panes), services_(Services), display_(Display), fileCommands_(FileCommands), window_(std::move(Window)),
      rename_(Panes, Services, *this), tools_(Panes, Services, *this)
{
    TFileTools& tools = tools_;
    tools.ChooseFolder = [this](const std::wstring& Caption, std::wstring& Folder,
                                const std::vector<std::wstring>& Recent) {
        return ChooseFolder(Caption, Folder, Recent);
    };
    if (TDriveView* tree = panes_.TreeView1) {
        tree->OnDiskChange = [this](TComponent*, wchar_t Drive) { tools_.DiskChanged(Drive); };
        tree->OnInsertedDiskChange = [this, tree](TComponent*, wchar_t Drive) {
            tools_.InsertedDiskChanged(*tree, Drive);
        };
    }
    for (TDirView* list : {panes_.LV1, panes_.LV2})
        if (list)
            list->OnExecFile = [this, list](TComponent*, TFileRec& Item, bool& AllowExec) {
                tools_.ListExecFile(*list, Item, AllowExec);
            };

    // "D&rucken" only for a file whose type has a print command: asked when
    // the menu opens (the shell's registry is not read on every pass).
    if (TMenuItem* fileMenu = Menus.MainMenuItem(TMenuId::File)) {
        TNotifyEvent before = fileMenu->OnClick;
        fileMenu->OnClick = [this, before, &Menus](TComponent* Sender) {
            if (before)
                before(Sender);
            if (TAction* print = Menus.Action(TActionId::PrintFile))
                print->SetEnabled(tools_.PrintFileEnabled());
        };
    }

    using A = TActionId;
    auto on = [&Catalogue](TActionId Id, std::function<void()> Execute) { Catalogue.Register(Id, std::move(Execute)); };
    on(A::CopyTo, [&tools] { tools.CopyToExecute(); });
    on(A::MoveTo, [&tools] { tools.MoveToExecute(); });
    on(A::CopyTo2FW, [&tools] { tools.CopyTo2FWExecute(); });
    on(A::MoveTo2FW, [&tools] { tools.MoveTo2FWExecute(); });
    on(A::OpenFile, [&tools] { tools.OpenFileExecute(); });
    on(A::FileOpenWith, [&tools] { tools.FileOpenWithExecute(); });
    on(A::DuplicateFile, [&tools] { tools.DuplicateFileExecute(); });
    on(A::PrintFile, [&tools] { tools.PrintFileExecute(); });
    on(A::DiscCopy, [&tools] { tools.DiscCopyExecute(); });
    on(A::DiskFormat, [&tools] { tools.DiskFormatExecute(); });
    on(A::ExecuteDialog, [&tools] { tools.ExecuteDialogExecute(); });
    on(A::NetConnect, [&tools] { tools.NetConnectExecute(); });
    on(A::NetDisconnect, [&tools] { tools.NetDisconnectExecute(); });
    on(A::CreateFileList, [&tools] { tools.CreateFileListExecute(); });
}

bool TFileToolsLink::ChooseFolder(const std::wstring& Caption, std::wstring& Folder,
                                  const std::vector<std::wstring>& Recent)
{
    TSelDirDialog dialog(services_.Window());
    dialog.HelpContext = kSelectTargetHelpContext;
    for (const std::wstring& folder : Recent)
        dialog.cbDir->Items().Add(folder);
    return RunFolderDialog(dialog, Caption, Folder);
}

bool TFileToolsLink::ChooseArchiveFolder(TSelDirParams& Params, const TSelDirConsts& Consts)
{
    TSelDirDialog dialog(services_.Window());
    dialog.HelpContext = TArchiveListEvents::kArchiveHelpContext;
    for (const std::wstring& folder : tools_.RecentTargets().Folders())
        dialog.cbDir->Items().Add(folder);
    TCheckBox* structure = dialog.ChkCustom1;
    structure->SetCaption(Consts.CheckCaption.empty() ? L"mit &Verzeichnisstruktur" : Consts.CheckCaption);
    structure->SetChecked(Params.Checked);
    structure->SetVisible(Consts.CheckVisible);
    structure->SetHint(Consts.CheckHint);
    std::wstring folder = Params.Directory.empty() ? tools_.LastTarget() : Params.Directory;
    if (!RunFolderDialog(dialog, Consts.Caption, folder))
        return false;
    Params.Directory = folder;
    Params.Checked = structure->Checked();
    return true;
}

bool TFileToolsLink::RunFolderDialog(TSelDirDialog& Dialog, const std::wstring& Caption, std::wstring& Folder)
{
    TSelDirDialog& dialog = Dialog;
    if (panes_.TreeView1)
        dialog.DriveView->TakeSettingsOf(*panes_.TreeView1);
    dialog.SetCaption(Caption);
    dialog.SetPosition(TPosition::poOwnerFormCenter);
    // The size the user gave the dialog last time (kept with the settings).
    TMainWindowState* stored = window_.StoredState;
    if (stored && stored->SelDirHeight.value_or(0) > 0)
        dialog.SetBounds(dialog.Left(), dialog.Top(), stored->SelDirWidth.value_or(dialog.Width()),
                         *stored->SelDirHeight);
    dialog.SetDirectory(Folder);
    const bool chosen = tools_.ShowFolderDialog ? tools_.ShowFolderDialog(dialog) : dialog.Execute();
    if (stored) {
        stored->SelDirWidth = dialog.Width();
        stored->SelDirHeight = dialog.Height();
    }
    if (!chosen)
        return false;
    Folder = dialog.Directory();
    return true;
}

TFileListStoredSettings& TFileToolsLink::FileListSettings()
{
    if (window_.StoredState)
        return window_.StoredState->FileList;
    return ownFileList_;
}

std::wstring TFileToolsLink::DefaultFileListName()
{
    return window_.FileListName && !window_.FileListName->empty() ? *window_.FileListName : L"Dateiliste.txt";
}

std::wstring TFileToolsLink::ProgramFolder()
{
    return window_.ProgramDir ? *window_.ProgramDir : std::wstring();
}

const TOptions& TFileToolsLink::RenameOptions()
{
    return Options;
}

const TOptions& TFileToolsLink::FileOptions()
{
    return Options;
}

std::wstring TFileToolsLink::ShownFile(TShownFileHolder Holder)
{
    switch (Holder) {
    case TShownFileHolder::Display:
        return display_.ViewedFile();
    case TShownFileHolder::RichTextView:
        return panes_.TextView && panes_.TextView->Visible() ? panes_.TextView->FileName() : std::wstring();
    case TShownFileHolder::Editor:
        return panes_.EasyEdit && panes_.EasyEdit->Visible() ? panes_.EasyEdit->GetEditSource()->FileName()
                                                             : std::wstring();
    }
    return std::wstring();
}

void TFileToolsLink::RenameShownFile(TShownFileHolder Holder, const std::wstring& NewPath)
{
    switch (Holder) {
    case TShownFileHolder::Display:
        display_.RenameViewedFile(NewPath);
        return;
    case TShownFileHolder::RichTextView:
        panes_.TextView->AssignFileName(NewPath);
        return;
    case TShownFileHolder::Editor:
        panes_.EasyEdit->GetEditSource()->SetFileName(NewPath);
        return;
    }
}

void TFileToolsLink::ReleaseHexFile()
{
    // The hex view and the archive list hold their file open: the rename
    // needs it let go.
    const TWinControl* pane = display_.VisiblePane();
    if (pane &&
        (pane == static_cast<TWinControl*>(panes_.HexEditor1) || pane == static_cast<TWinControl*>(panes_.ZipLV)))
        released_ = display_.ClearDisplay() || released_;
}

void TFileToolsLink::RedisplayHexFile()
{
    if (!released_)
        return;
    released_ = false;
    display_.RedisplayFocused();
}

void TFileToolsLink::SetLastFileOperator(TFileOperator* Operator)
{
    fileCommands_.SetLastFileOperator(Operator);
}

void TFileToolsLink::UpdateSelectionStatus()
{
    if (window_.UpdateSelectionStatus)
        window_.UpdateSelectionStatus();
}

void TFileToolsLink::PauseDirSizeScan(TDirView* Active)
{
    if (window_.PauseDirSizeScan)
        window_.PauseDirSizeScan(Active);
}

void TFileToolsLink::ResumeDirSizeScan(TDirView* Active)
{
    if (window_.ResumeDirSizeScan)
        window_.ResumeDirSizeScan(Active);
}

bool TFileToolsLink::DisplayOn()
{
    return display_.ViewFile();
}

void TFileToolsLink::SwitchDisplayOn()
{
    if (!display_.ViewFile() && window_.SwitchDisplayOn)
        window_.SwitchDisplayOn();
}

void TFileToolsLink::JoinSplitFile()
{
    if (window_.JoinSplitFile)
        window_.JoinSplitFile();
}

}  // namespace qrv

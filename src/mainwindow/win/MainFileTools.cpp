// The main window's side of renaming in place and of the file tools: their
// actions, the panes' events, the select-directory dialog, and what the two
// areas ask of the window.

#include "mainwindow/win/RudirezOziMain.h"

#include "dialogs/win/KySelDir.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/ActnList.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"

namespace qrv {

namespace {

constexpr int kSelectTargetHelpContext = 350;

}  // namespace

void TQRVMain::ConnectFileTools()
{
    renameCommands_ = std::make_unique<TRenameCommands>(static_cast<TRenameCommandsHost&>(*this));
    renameCommands_->Connect(*TreeView1, *LV1, *LV2);
    fileTools_ = std::make_unique<TFileTools>(static_cast<TFileToolsHost&>(*this));
    TFileTools& tools = *fileTools_;
    tools.ChooseFolder = [this](const std::wstring& Caption, std::wstring& Folder,
                                const std::vector<std::wstring>& Recent) {
        TSelDirDialog dialog(this);
        dialog.SetCaption(Caption);
        dialog.SetPosition(TPosition::poOwnerFormCenter);
        dialog.HelpContext = kSelectTargetHelpContext;
        for (const std::wstring& folder : Recent)
            dialog.cbDir->Items().Add(folder);
        // The size the user gave the dialog last time (kept with the settings).
        if (StoredState.SelDirHeight.value_or(0) > 0)
            dialog.SetBounds(dialog.Left(), dialog.Top(), StoredState.SelDirWidth.value_or(dialog.Width()),
                             *StoredState.SelDirHeight);
        dialog.SetDirectory(Folder);
        const bool chosen = dialog.Execute();
        StoredState.SelDirWidth = dialog.Width();
        StoredState.SelDirHeight = dialog.Height();
        if (!chosen)
            return false;
        Folder = dialog.Directory();
        return true;
    };
    TreeView1->OnDiskChange = [this](TComponent*, wchar_t Drive) { fileTools_->DiskChanged(Drive); };
    TreeView1->OnInsertedDiskChange = [this](TComponent*, wchar_t Drive) {
        fileTools_->InsertedDiskChanged(*TreeView1, Drive);
    };
    for (TDirView* list : {LV1, LV2})
        list->OnExecFile = [this, list](TComponent*, TFileRec& Item, bool& AllowExec) {
            fileTools_->ListExecFile(*list, Item, AllowExec);
        };

    // "D&rucken" only for a file whose type has a print command: asked when
    // the menu opens (the shell's registry is not read on every pass).
    if (TMenuItem* fileMenu = commandMenus_->MainMenuItem(TMenuId::File)) {
        TNotifyEvent before = fileMenu->OnClick;
        fileMenu->OnClick = [this, before](TComponent* Sender) {
            if (before)
                before(Sender);
            if (TAction* print = commandMenus_->Action(TActionId::PrintFile))
                print->SetEnabled(fileTools_->PrintFileEnabled());
        };
    }

    using A = TActionId;
    auto on = [this](TActionId Id, std::function<void()> Execute) { catalogue_.Register(Id, std::move(Execute)); };
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
}

const TOptions& TQRVMain::RenameOptions()
{
    return Options;
}

bool TQRVMain::EditorHoldsChanges()
{
    return EasyEdit && EasyEdit->Visible() && EasyEdit->GetModified();
}

std::wstring TQRVMain::ShownFile(TShownFileHolder Holder)
{
    switch (Holder) {
    case TShownFileHolder::Display:
        return fileDisplay_ ? fileDisplay_->ViewedFile : std::wstring();
    case TShownFileHolder::RichTextView:
        return TextView && TextView->Visible() ? TextView->FileName() : std::wstring();
    case TShownFileHolder::Editor:
        return EasyEdit && EasyEdit->Visible() ? EasyEdit->GetEditSource()->FileName() : std::wstring();
    }
    return std::wstring();
}

void TQRVMain::RenameShownFile(TShownFileHolder Holder, const std::wstring& NewPath)
{
    switch (Holder) {
    case TShownFileHolder::Display:
        if (fileDisplay_)
            fileDisplay_->ViewedFile = NewPath;
        return;
    case TShownFileHolder::RichTextView:
        TextView->AssignFileName(NewPath);
        return;
    case TShownFileHolder::Editor:
        EasyEdit->GetEditSource()->SetFileName(NewPath);
        return;
    }
}

bool TQRVMain::DisplayOn()
{
    return fileDisplay_ && fileDisplay_->ViewFile;
}

void TQRVMain::SwitchDisplayOn()
{
    if (!DisplayOn())
        ViewFileExecute();
}

void TQRVMain::JoinSplitFile()
{
    CombineFileExecute();
}

}  // namespace qrv

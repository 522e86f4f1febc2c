// The main window's side of the user commands (TUserCommands): the lists,
// the tree and the command box as the commands see them, and the two
// option steps that relabel the function-key toolbar and refill the
// "&Programme" menu.

#include "mainwindow/win/RudirezOziMain.h"

#include "framework/win/StdCtrls.h"
#include "mainwindow/win/PaneItems.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

const TOptions& TQRVMain::CommandOptions()
{
    return qrv::Options;
}

std::vector<TCommandItem> TQRVMain::ActiveSelection()
{
    return SelectedItems(ActiveList);
}

std::optional<TCommandItem> TQRVMain::ActiveFocusedItem()
{
    if (!ActiveList || !ActiveList->ItemFocused())
        return std::nullopt;
    return CommandItem(*ActiveList, *ActiveList->ItemFocused());
}

std::optional<TCommandItem> TQRVMain::OtherListSelection()
{
    std::vector<TCommandItem> items = SelectedItems(OtherList());
    if (items.empty())
        return std::nullopt;
    return items.front();
}

std::wstring TQRVMain::TreeFolder()
{
    if (TreeView1 && TreeView1->Selected())
        return TreeView1->GetDirPathName(TreeView1->Selected());
    return ActiveListFolder();
}

std::wstring TQRVMain::ListFolder(int Index)
{
    TDirView* list = Index == 0 ? LV1 : LV2;
    return list ? list->GetPath() : std::wstring();
}

bool TQRVMain::SecondWindowShown()
{
    return FilePanel2 && FilePanel2->Visible();
}

std::wstring TQRVMain::ActiveListFolder()
{
    return ActiveList ? ActiveList->GetPath() : std::wstring();
}

void TQRVMain::ReportCommandError(const std::wstring& Text)
{
    ShowMessageBox(Text, TMsgDlgType::mtError, 0, mbOK);
}

void TQRVMain::AddCommandHistory(const std::wstring& Line)
{
    if (CmdLineBox && CmdLineBox->Items().IndexOf(Line) < 0)
        CmdLineBox->Items().Insert(0, Line);
}

void TQRVMain::ApplyFunctionKeys()
{
    userCommands_->UpdateFunctionKeyIcons();
    userCommands_->SizeFunctionKeyButtons();
    userCommands_->ShowFunctionKeyLabels(userCommands_->ShownSet(), true);
}

void TQRVMain::RebuildProgramsMenu()
{
    userCommands_->UpdateFunctionKeyMenus();
}

}  // namespace qrv

#include "mainwindow/win/UserCommandsLink.h"

#include "framework/win/StdCtrls.h"
#include "mainwindow/win/PaneItems.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

TUserCommandsLink::TUserCommandsLink(TComponent& Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                                     TComboBox* CommandBox, const std::wstring& ListFile)
    : panes_(Panes), services_(Services), commandBox_(CommandBox), listFile_(ListFile), commands_(Owner, *this)
{}

void TUserCommandsLink::ApplyFunctionKeys()
{
    commands_.UpdateFunctionKeyIcons();
    commands_.SizeFunctionKeyButtons();
    commands_.ShowFunctionKeyLabels(commands_.ShownSet(), true);
}

void TUserCommandsLink::RebuildProgramsMenu()
{
    commands_.UpdateFunctionKeyMenus();
}

const TOptions& TUserCommandsLink::CommandOptions()
{
    return qrv::Options;
}

std::wstring TUserCommandsLink::ComSpec()
{
    return ComSpecPath;
}

std::vector<TCommandItem> TUserCommandsLink::ActiveSelection()
{
    return SelectedItems(panes_.ActiveList);
}

std::optional<TCommandItem> TUserCommandsLink::ActiveFocusedItem()
{
    TDirView* list = panes_.ActiveList;
    if (!list || !list->ItemFocused())
        return std::nullopt;
    return CommandItem(*list, *list->ItemFocused());
}

std::optional<TCommandItem> TUserCommandsLink::OtherListSelection()
{
    std::vector<TCommandItem> items = SelectedItems(panes_.OtherList());
    if (items.empty())
        return std::nullopt;
    return items.front();
}

std::wstring TUserCommandsLink::TreeFolder()
{
    if (panes_.TreeView1 && panes_.TreeView1->Selected())
        return panes_.TreeView1->GetDirPathName(panes_.TreeView1->Selected());
    return ActiveListFolder();
}

std::wstring TUserCommandsLink::ListFolder(int Index)
{
    TDirView* list = Index == 0 ? panes_.LV1 : panes_.LV2;
    return list ? list->GetPath() : std::wstring();
}

bool TUserCommandsLink::SecondWindowShown()
{
    return panes_.SecondListShown();
}

std::wstring TUserCommandsLink::ActiveListFolder()
{
    return panes_.ActiveList ? panes_.ActiveList->GetPath() : std::wstring();
}

void TUserCommandsLink::ReportCommandError(const std::wstring& Text)
{
    services_.ShowMessageBox(Text, TMsgDlgType::mtError, 0, mbOK);
}

void TUserCommandsLink::AddCommandHistory(const std::wstring& Line)
{
    if (commandBox_ && commandBox_->Items().IndexOf(Line) < 0)
        commandBox_->Items().Insert(0, Line);
}

}  // namespace qrv

// What the bookmarks and the special folders ask of the main window.

#include "mainwindow/win/RudirezOziMain.h"

#include "dialogs/win/AddFavoriteForm.h"
#include "dialogs/win/KySelDir.h"
#include "framework/IgnoredError.h"
#include "panels/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

void TQRVMain::ConnectBookmarkCommands()
{
    bookmarks_ = std::make_unique<TBookmarkCommands>(this, static_cast<TBookmarkCommandsHost&>(*this), catalogue_,
                                                     *commandMenus_);
    bookmarks_->Attach(commandMenus_->MainMenuItem(TMenuId::Bookmarks), ListPopup, ToolbarBookmarks,
                       commandMenus_->MainMenuItem(TMenuId::Jump));
}

const TOptions& TQRVMain::BookmarkOptions()
{
    return Options;
}

bool TQRVMain::TreeOnNetwork()
{
    return driveBar_ && driveBar_->DriveBoxDrive() == kNetworkDrive;
}

int TQRVMain::ShowBookmarkMessage(const std::wstring& Text, TMsgDlgType Type, int HelpContext, TMsgDlgButtons Buttons)
{
    return ShowMessageBox(Text, Type, HelpContext, Buttons);
}

void TQRVMain::SaveAllSettings()
{
    if (!SaveSettings())
        TraceIgnoredFailure(L"saving the settings after the bookmarks changed");
}

bool TQRVMain::RunAddBookmark(TAddFavoriteForm& Form)
{
    return Form.Execute();
}

bool TQRVMain::RunBookmarkEditor(TStdDirForm& Form)
{
    return Form.Execute();
}

bool TQRVMain::RunFolderPicker(TSelDirDialog& Picker)
{
    return Picker.Execute();
}

void TQRVMain::OpenShellFolder(int Csidl)
{
    if (!OpenSpecialFolder(Csidl))
        TraceIgnoredFailure(L"opening a special folder in the shell", static_cast<unsigned long>(Csidl));
}

}  // namespace qrv

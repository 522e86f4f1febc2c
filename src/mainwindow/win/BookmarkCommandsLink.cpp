#include "mainwindow/win/BookmarkCommandsLink.h"

#include "dialogs/win/AddFavoriteForm.h"
#include "dialogs/win/KySelDir.h"
#include "framework/IgnoredError.h"
#include "mainwindow/win/CommandMenus.h"
#include "settings/Quorvan32Globals.h"

namespace qrv {

TBookmarkCommandsLink::TBookmarkCommandsLink(const TMainPanes& Panes, TMainWindowServices& Services,
                                             TActionCatalogue& Catalogue, TCommandMenus& Menus,
                                             TBookmarkWindowParts Parts)
    : parts_(std::move(Parts)), commands_(parts_.Owner, Panes, Services, *this, Catalogue, Menus)
{
    commands_.Attach(Menus.MainMenuItem(TMenuId::Bookmarks), parts_.ListPopup, parts_.Toolbar,
                     Menus.MainMenuItem(TMenuId::Jump));
}

const TOptions& TBookmarkCommandsLink::BookmarkOptions()
{
    return Options;
}

bool TBookmarkCommandsLink::TreeOnNetwork()
{
    return parts_.TreeOnNetwork && parts_.TreeOnNetwork();
}

void TBookmarkCommandsLink::MarkBookmarksChanged()
{
    if (parts_.MarkChanged)
        parts_.MarkChanged();
}

void TBookmarkCommandsLink::SaveAllSettings()
{
    if (parts_.SaveSettings && !parts_.SaveSettings())
        TraceIgnoredFailure(L"saving the settings after the bookmarks changed");
}

bool TBookmarkCommandsLink::RunAddBookmark(TAddFavoriteForm& Form)
{
    return Form.Execute();
}

bool TBookmarkCommandsLink::RunBookmarkEditor(TStdDirForm& Form)
{
    return Form.Execute();
}

bool TBookmarkCommandsLink::RunFolderPicker(TSelDirDialog& Picker)
{
    return Picker.Execute();
}

void TBookmarkCommandsLink::OpenShellFolder(int Csidl)
{
    if (!OpenSpecialFolder(Csidl))
        TraceIgnoredFailure(L"opening a special folder in the shell", static_cast<unsigned long>(Csidl));
}

}  // namespace qrv

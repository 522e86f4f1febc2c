#pragma once
// TBookmarkCommandsLink: the bookmarks and special folders in the main
// window. It makes TBookmarkCommands on the window's menus, list popup and
// bookmark toolbar, and answers what they ask of the window: the options,
// whether the drive box shows the network, the settings' changed mark and
// save, the modal runs of the dialogs and the shell's folder windows.

#include "mainwindow/win/BookmarkCommands.h"

#include <functional>

namespace qrv {

class TKyToolbar;
class TPopupMenu;

// What the window lends the link beyond its panes and services.
struct TBookmarkWindowParts {
    TComponent* Owner = nullptr;  // owns the items and buttons made
    TPopupMenu* ListPopup = nullptr;
    TKyToolbar* Toolbar = nullptr;
    std::function<bool()> TreeOnNetwork;
    std::function<void()> MarkChanged;
    // Writes every setting; false when that failed (reported by it).
    std::function<bool()> SaveSettings;
};

class TBookmarkCommandsLink : private TBookmarkCommandsHost {
public:
    TBookmarkCommandsLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                          TCommandMenus& Menus, TBookmarkWindowParts Parts);
    TBookmarkCommandsLink(const TBookmarkCommandsLink&) = delete;
    TBookmarkCommandsLink& operator=(const TBookmarkCommandsLink&) = delete;

    TBookmarkCommands& Commands() { return commands_; }

private:
    const TOptions& BookmarkOptions() override;
    bool TreeOnNetwork() override;
    void MarkBookmarksChanged() override;
    void SaveAllSettings() override;
    bool RunAddBookmark(TAddFavoriteForm& Form) override;
    bool RunBookmarkEditor(TStdDirForm& Form) override;
    bool RunFolderPicker(TSelDirDialog& Picker) override;
    void OpenShellFolder(int Csidl) override;

    TBookmarkWindowParts parts_;
    TBookmarkCommands commands_;
};

}  // namespace qrv

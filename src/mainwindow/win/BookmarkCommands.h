#pragma once
// TBookmarkCommands: the bookmarks and the special folders as the main
// window offers them. It owns the bookmark items of the "&Lesezeichen" menu
// and of the same submenu in the file lists' popup, the bookmark toolbar's
// buttons, "&Bearbeiten..." (Strg+L) with the editor, "&Hinzufügen" with its
// dialog, and the jumps of "&Springen". What it decides without a window is
// mainwindow/Bookmarks.h and mainwindow/GotoFolders.h; it reaches the
// window through its panes, its services and TBookmarkCommandsHost.

#include "dialogs/win/StdDirForm.h"
#include "framework/win/MessageDialog.h"
#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/GotoFolders.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TAddFavoriteForm;
class TCommandMenus;
class TDriveView;
class TForm;
class TKyToolbar;
class TKyToolbarButton;
class TKyToolbarSep;
class TMenuItem;
class TPopupMenu;
struct TOptions;

// What the bookmarks ask of the window besides its panes and services.
class TBookmarkCommandsHost {
public:
    virtual ~TBookmarkCommandsHost() = default;
    virtual const TOptions& BookmarkOptions() = 0;
    // The drive box shows the network: bookmarks take the node's own path.
    virtual bool TreeOnNetwork() = 0;
    // The bookmark lists changed: they are written with the next save.
    virtual void MarkBookmarksChanged() = 0;
    // Writes every setting now.
    virtual void SaveAllSettings() = 0;
    // The modal runs (a test answers them itself); true when confirmed.
    virtual bool RunAddBookmark(TAddFavoriteForm& Form) = 0;
    virtual bool RunBookmarkEditor(TStdDirForm& Form) = 0;
    virtual bool RunFolderPicker(TSelDirDialog& Picker) = 0;
    // Opens a special folder without a file-system path in the shell.
    virtual void OpenShellFolder(int Csidl) = 0;
};

// Starts the shell's window of a special folder by its item id list; false
// when the shell has no such folder or refused to open it.
bool OpenSpecialFolder(int Csidl);

class TBookmarkCommands : private TStdDirFormHost {
public:
    // Owner owns the menu items and buttons made here; the folder tree is
    // Panes' TreeView1.
    TBookmarkCommands(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                      TBookmarkCommandsHost& Host, TActionCatalogue& Catalogue, TCommandMenus& Menus);
    ~TBookmarkCommands() override;
    TBookmarkCommands(const TBookmarkCommands&) = delete;
    TBookmarkCommands& operator=(const TBookmarkCommands&) = delete;

    // The menus the bookmarks go into (the main menu's and a submenu of the
    // list popup made here), the toolbar whose buttons are made here (may
    // be nullptr) and the jump menu whose entries are checked on first use.
    void Attach(TMenuItem* BookmarkMenu, TPopupMenu* ListPopup, TKyToolbar* Toolbar, TMenuItem* JumpMenu);
    // The menus and the toolbar anew from the bookmark lists (after the
    // settings were read); empty captions become the folder's name.
    void RebuildFromLists();

    // A bookmark chosen in a menu (by its index), on the toolbar (by its
    // button's tag).
    void BookmarkMenuClick(int Index);
    void BookmarkButtonClick(int Tag);
    // "&Hinzufügen" and "&Bearbeiten...".
    void StdDirAddExecute();
    void StdDirEditExecute();
    // "&Hinzufügen" is offered only for a folder of the file system.
    void BookmarkMenuOpened();
    // A "&Springen" entry.
    void Goto(TGotoTarget Target);
    // The first opening of "&Springen" enables the entries the system has.
    void JumpMenuOpened();

    // The system the jumps ask (the Win32 one by default).
    void SetFolderSystem(std::unique_ptr<TSpecialFolderSystem> System);

    // What the menus and the toolbar show.
    TMenuItem* BookmarkMenu() const { return menu_; }
    TMenuItem* PopupBookmarkMenu() const { return popupMenu_; }
    const std::vector<TMenuItem*>& MenuItems() const { return menuItems_; }
    const std::vector<TKyToolbarButton*>& Buttons() const { return buttons_; }
    const std::vector<TKyToolbarSep*>& Separators() const { return separators_; }

private:
    class TTreeTarget;
    // The lists' entry appended and both menus' item made for it.
    void AddBookmark(const std::wstring& Caption, const std::wstring& Path);
    void ClearMenus();
    void RebuildMenus();
    void UpdateDividers();
    void RebuildToolbar();
    void CreateToolbarButtons();
    // TStdDirFormHost.
    TDriveView* MainTree() override;
    TControl* PickerAnchor() override;
    bool RunFolderPicker(TSelDirDialog& Picker) override;

    TComponent* owner_;
    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TBookmarkCommandsHost& host_;
    TCommandMenus& menus_;
    std::unique_ptr<TSpecialFolderSystem> system_;
    TMenuItem* menu_ = nullptr;
    TMenuItem* popupMenu_ = nullptr;
    TMenuItem* divider_ = nullptr;
    TMenuItem* popupDivider_ = nullptr;
    TKyToolbar* toolbar_ = nullptr;
    TMenuItem* jumpMenu_ = nullptr;
    bool jumpMenuChecked_ = false;
    std::vector<TMenuItem*> menuItems_;
    std::vector<TMenuItem*> popupItems_;
    std::vector<TKyToolbarButton*> buttons_;
    std::vector<TKyToolbarSep*> separators_;
};

}  // namespace qrv

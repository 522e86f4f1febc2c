#pragma once
// TListViewCommands: the view commands on the panes themselves — the sort
// order and sort column of the active file list, and "Auf&räumen", which
// folds the tree back to its selected folder and brings the focused items
// of the shown lists into view. It reaches the window through its panes
// and TListViewCommandsHost.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/win/MainPanes.h"

namespace qrv {

class TCommandMenus;
class TDirView;
class TDriveView;
class TKyListView;

class TListViewCommandsHost {
public:
    virtual ~TListViewCommandsHost() = default;
    // The archive list of the display pane while it is shown, else nullptr.
    virtual TKyListView* ShownArchiveList() = 0;
};

class TListViewCommands {
public:
    TListViewCommands(const TMainPanes& Panes, TListViewCommandsHost& Host) : panes_(Panes), host_(Host) {}

    // Registers the handlers and the check marks of the sort commands.
    void Connect(TActionCatalogue& Catalogue, TCommandMenus& Menus);

    void ToggleSortOrder();
    // Column 0 name, 1 size, 2 type, 3 date, 4 attributes.
    void SortBy(int Column);
    void GoHome();

private:
    const TMainPanes& panes_;
    TListViewCommandsHost& host_;
};

}  // namespace qrv

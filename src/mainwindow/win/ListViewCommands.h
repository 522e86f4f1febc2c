#pragma once
// TListViewCommands: the view commands on the panes themselves — the sort
// order and sort column of the active file list, and "Auf&räumen", which
// folds the tree back to its selected folder and brings the focused items
// of the shown lists into view. It reaches the window through
// TListViewCommandsHost.

#include "mainwindow/ActionCatalogue.h"

namespace qrv {

class TCommandMenus;
class TDirView;
class TDriveView;
class TKyListView;

class TListViewCommandsHost {
public:
    virtual ~TListViewCommandsHost() = default;
    virtual TDirView* ActiveFileList() = 0;
    // The list that is not the active one while the second window is shown.
    virtual TDirView* OtherFileList() = 0;
    virtual TDriveView* DriveTree() = 0;
    // The archive list of the display pane while it is shown, else nullptr.
    virtual TKyListView* ShownArchiveList() = 0;
};

class TListViewCommands {
public:
    explicit TListViewCommands(TListViewCommandsHost& Host) : host_(Host) {}

    // Registers the handlers and the check marks of the sort commands.
    void Connect(TActionCatalogue& Catalogue, TCommandMenus& Menus);

    void ToggleSortOrder();
    // Column 0 name, 1 size, 2 type, 3 date, 4 attributes.
    void SortBy(int Column);
    void GoHome();

private:
    TListViewCommandsHost& host_;
};

}  // namespace qrv

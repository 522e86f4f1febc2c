#pragma once
// TDriveBar: the drives as the main window offers them. The drive list
// follows device changes; each valid drive has a button on the drive
// toolbar (and on the second one above the second file list when both lists
// have their own) and an item in the drive menu, filled from the drive table
// by BuildDriveSlots. It owns its buttons, menu items, the second toolbar and
// the docks above the lists, and reaches the window only through its panes,
// the window's services and TDriveBarHost.

#include "framework/win/Forms.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <functional>
#include <vector>

namespace qrv {

class TDirView;
class TDriveView;
class TKyDock;
class TKyDriveComboBox;
class TKyToolbar;
class TKyToolbarButton;
class TMenuItem;
class TPanel;

// What the drive bar needs of the main window.
class TDriveBarHost {
public:
    virtual ~TDriveBarHost() = default;
    // Makes the list the active one and gives it the focus.
    virtual void ActivateFileList(TDirView* List) = 0;
};

class TDriveBar {
public:
    // Owner owns the controls made here; ToolbarDrives is the first drive
    // toolbar, DriveMenu the menu the drive items go into (either may be
    // nullptr).
    TDriveBar(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services, TDriveBarHost& Host,
              TKyToolbar* ToolbarDrives, TMenuItem* DriveMenu);
    TDriveBar(const TDriveBar&) = delete;
    TDriveBar& operator=(const TDriveBar&) = delete;

    // The 27 drive items of the drive menu, disabled until a drive fills them.
    void CreateDriveMenuItems();
    // Reads the drives again and brings the tree, the buttons, the menu and
    // lists on a CD drive up to date; each step on its own.
    void RefreshDriveList(bool Forced);
    void UpdateDriveIcon(wchar_t Drive, int ImageIndex);
    void RebuildDriveButtons();
    void ChangeDrive(wchar_t Drive);
    void btnDriveClick(TComponent* Sender);
    void btnDriveMouseUp(TComponent* Sender, int X, int Y);
    void DriveMenuItemClick(TComponent* Sender);
    // One drive toolbar above each list, or the single one where it was.
    void DockDriveToolbars();
    // Stops the tree's folder monitor of a drive so that its medium can go.
    void StopDriveMonitor(wchar_t Drive);
    // The control is a drive button of either toolbar.
    bool IsDriveButton(const TWinControl* Control) const;
    // The drive box above the tree, linked to it.
    void CreateDriveBox();
    // The drive the box shows; 0 without a box.
    wchar_t DriveBoxDrive() const;

    TKyToolbar* ToolbarDrives = nullptr;
    TKyToolbar* ToolbarDrives2 = nullptr;
    // The drive buttons of slots 1..27 made so far, on each drive toolbar.
    std::vector<TKyToolbarButton*> DriveButtons;
    std::vector<TKyToolbarButton*> DriveButtons2;
    std::vector<TMenuItem*> DriveMenuItems;
    TKyDriveComboBox* DriveBox = nullptr;
    // The docks above the two file lists (each file window's toolbar, and a
    // drive toolbar while both are used), made on first use.
    TKyDock* Dock976 = nullptr;
    TKyDock* Dock977 = nullptr;
    // The dock above file list 0 or 1; nullptr for another index or a list
    // without its panel.
    TKyDock* FileWindowDock(int Index);
    // Run by every drive refresh: an open drive overview lists the drives anew.
    std::function<void()> OnRefillDriveOverview;

private:
    TKyToolbarButton* MakeDriveButton(TKyToolbar* Toolbar, std::vector<TKyToolbarButton*>& Buttons, int Slot,
                                      const wchar_t* NamePrefix);
    void RefillDriveOverview();
    void RefillDriveBox();
    void ReloadCDList(TDirView* List);

    TComponent* owner_;
    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TDriveBarHost& host_;
    TMenuItem* driveMenu_;
    // Where ToolbarDrives sat before it moved to the list docks.
    TKyDock* rememberedDriveDock_ = nullptr;
    int rememberedDriveRow_ = 0;
    int rememberedDrivePos_ = -1;
};

}  // namespace qrv

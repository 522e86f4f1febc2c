#pragma once
// TTrayCommands: the main window in the notification area. Minimised with
// the tray option on, the window leaves the task bar and the tray icon is
// the way back: a click on it or "Wiederherstellen" in its menu restores
// the window and brings it to the front, "Beenden" closes it.

#include <string>

namespace qrv {

class TForm;
class TKyTrayIcon;
class TMenuItem;
class TPopupMenu;

class TTrayCommands {
public:
    // The icon's click and its menu are taken over.
    TTrayCommands(TForm& Window, TKyTrayIcon& Icon);

    // TrayMinimizeClick: the icon shows, the window hides.
    void Minimize();
    // TrayIconClick, TrayRestoreClick: the window shows again, in front; the
    // icon goes.
    void Restore();
    // TrayExitClick.
    void Exit();

    TPopupMenu* Menu() const { return menu_; }
    TMenuItem* RestoreItem() const { return restoreItem_; }
    TMenuItem* ExitItem() const { return exitItem_; }

private:
    TForm& window_;
    TKyTrayIcon& icon_;
    TPopupMenu* menu_ = nullptr;
    TMenuItem* restoreItem_ = nullptr;
    TMenuItem* exitItem_ = nullptr;
};

}  // namespace qrv

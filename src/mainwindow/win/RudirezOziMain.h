#pragma once
// TQRVMain: the program's main window. It holds the folder tree pane on the
// left, the file list pane on the right, the display pane below them, the
// menu bar and the status bar.

#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

namespace qrv {

class TQRVMain : public TForm {
public:
    explicit TQRVMain(TComponent* owner);

    TPanel* TreePane() const { return treePane_; }
    TPanel* ListPane() const { return listPane_; }
    TPanel* DisplayPane() const { return displayPane_; }
    TStatusBar* StatusBar() const { return statusBar_; }
    TMainMenu* MainMenu() const { return mainMenu_; }

protected:
    std::wstring WindowClassName() const override { return L"TQRVMain"; }

private:
    void CreateMenus();
    void CreatePanes();

    TMainMenu* mainMenu_ = nullptr;
    TStatusBar* statusBar_ = nullptr;
    TPanel* treePane_ = nullptr;
    TPanel* listPane_ = nullptr;
    TPanel* displayPane_ = nullptr;
};

}  // namespace qrv

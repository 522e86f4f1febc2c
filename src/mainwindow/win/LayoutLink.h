#pragma once
// TLayoutLink: the file windows' layout in the main window. It makes
// TLayoutCommands, gives the layout commands and the tree's level commands
// their actions and answers what the layout asks of the window through the
// window's parts below.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/win/LayoutCommands.h"

#include <functional>

namespace qrv {

class TCommandMenus;

// What the window lends the layout; each is set by the window.
struct TLayoutWindow {
    std::function<bool()> Shown;
    std::function<int()> ClientRoomWidth;
    std::function<int()> ClientRoomHeight;
    std::function<void()> ApplyAllOptions;
    std::function<void(TDirView*)> MakeActiveList;
    std::function<void()> ShowFocusedFile;
    std::function<void()> ClearDisplay;
    std::function<bool()> DisplayFrozen;
    std::function<void(bool)> SetDisplayFrozen;
    std::function<void()> PauseStatusPass;
    std::function<void(unsigned)> ResumeStatusPass;
    std::function<void()> LayOutDriveToolbars;
    std::function<void()> ColorPanes;
    std::function<void(TDirView*, TDirView*)> PostColumnLayout;
    std::function<bool(TViewLayout&)> RunViewManager;
};

class TLayoutLink : private TLayoutHost {
public:
    TLayoutLink(const TLayoutControls& Controls, const TMainPanes& Panes, TMainWindowServices& Services,
                TActionCatalogue& Catalogue, TCommandMenus& Menus, TOptions& Options, TLayoutWindow Window);
    TLayoutLink(const TLayoutLink&) = delete;
    TLayoutLink& operator=(const TLayoutLink&) = delete;

    TLayoutCommands& Commands() { return commands_; }

private:
    void RegisterActions(TActionCatalogue& Catalogue, TCommandMenus& Menus);
    void ExpandLevel(int Level);

    bool WindowShown() override { return window_.Shown(); }
    int ClientRoomWidth() override { return window_.ClientRoomWidth(); }
    int ClientRoomHeight() override { return window_.ClientRoomHeight(); }
    void ApplyAllOptions() override { window_.ApplyAllOptions(); }
    void MakeActiveList(TDirView* List) override { window_.MakeActiveList(List); }
    void ShowFocusedFile() override { window_.ShowFocusedFile(); }
    void ClearDisplay() override { window_.ClearDisplay(); }
    bool DisplayFrozen() override { return window_.DisplayFrozen(); }
    void SetDisplayFrozen(bool Frozen) override { window_.SetDisplayFrozen(Frozen); }
    void PauseStatusPass() override { window_.PauseStatusPass(); }
    void ResumeStatusPass(unsigned Milliseconds) override { window_.ResumeStatusPass(Milliseconds); }
    void LayOutDriveToolbars() override { window_.LayOutDriveToolbars(); }
    void ColorPanes() override { window_.ColorPanes(); }
    void PostColumnLayout(TDirView* Source, TDirView* Target) override { window_.PostColumnLayout(Source, Target); }
    bool RunViewManager(TViewLayout& Layout) override
    {
        return window_.RunViewManager && window_.RunViewManager(Layout);
    }

    const TMainPanes& panes_;
    TLayoutWindow window_;
    TLayoutCommands commands_;
};

}  // namespace qrv

#pragma once
// TPaneDropsLink: drag and drop between the panes in the main window. It
// makes TPaneDrops on the tree and both lists and answers what the drops ask
// of the window: the options, whether the window is active, letting go of
// the hex view's file and showing it again, and the file commands' undo.

#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "mainwindow/win/PaneDrops.h"

namespace qrv {

class TFileCommands;
class TFileDisplay;

class TPaneDropsLink : private TPaneDropsHost {
public:
    // The tree and the lists of Panes must exist.
    TPaneDropsLink(const TMainPanes& Panes, TMainWindowServices& Services, TFileDisplay& Display,
                   TFileCommands& FileCommands);
    TPaneDropsLink(const TPaneDropsLink&) = delete;
    TPaneDropsLink& operator=(const TPaneDropsLink&) = delete;

    TPaneDrops& Drops() { return drops_; }

private:
    const TOptions& DropOptions() override;
    bool MainWindowActive() override;
    void BringMainWindowToFront() override;
    void ReleaseHexFile() override;
    void RedisplayHexFile() override;
    void SetLastFileOperator(TFileOperator* Operator) override;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileDisplay& display_;
    TFileCommands& fileCommands_;
    TPaneDrops drops_;
    // The hex view let its file go for a drop and shows it again after it.
    bool hexReleased_ = false;
};

}  // namespace qrv

#pragma once
// TSplitJoinLink: the split and join commands in the main window. It makes
// the commands on the Win32 file system, registers their handlers and
// answers what they ask from the window's panes: the active list's
// selection and folder, and pausing its folder watching while parts are
// written.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "mainwindow/win/SplitJoinCommands.h"
#include "mainwindow/win/WinSplitFiles.h"

namespace qrv {

class TSplitJoinLink : private TSplitJoinCommandsHost {
public:
    TSplitJoinLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue);
    TSplitJoinLink(const TSplitJoinLink&) = delete;
    TSplitJoinLink& operator=(const TSplitJoinLink&) = delete;

    TSplitJoinCommands& Commands() { return commands_; }

private:
    std::vector<TCommandItem> ActiveSelection() override;
    std::wstring ActiveListFolder() override;
    void PauseListWatching() override;
    void ResumeListWatching() override;
    bool ExecuteSplitDialog(TSplitFileDialog& Form) override;
    bool ExecuteCombineDialog(TCombineFileDialog& Form) override;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TWinSplitFiles files_;
    TSplitJoinCommands commands_;
    // The list whose watching the split paused.
    TDirView* pausedList_ = nullptr;
};

}  // namespace qrv

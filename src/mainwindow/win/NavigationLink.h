#pragma once
// TNavigationLink: the navigation and the command box in the main window.
// It makes TNavigationCommands and answers what they ask of the window: the
// options, the program folder, the drive table, the console runner of the
// user commands, the lists' focus and the docks of the drive bar.

#include "mainwindow/win/NavigationCommands.h"

#include <string>

namespace qrv {

class TDriveBar;
class TUserCommands;

class TNavigationLink : private TNavigationHost {
public:
    // ProgramFolder is the window's and is read when a command needs it.
    TNavigationLink(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services,
                    TActionCatalogue& Catalogue, TComboBox* CommandBox, TUserCommands& Runner, TDriveBar& Drives,
                    const std::wstring& ProgramFolder);
    TNavigationLink(const TNavigationLink&) = delete;
    TNavigationLink& operator=(const TNavigationLink&) = delete;

    TNavigationCommands& Commands() { return commands_; }

private:
    bool ShowHiddenDirs() override;
    std::wstring ProgramFolder() override;
    bool DriveValid(wchar_t Drive) override;
    void RunInInterpreter(const std::wstring& Line, bool CloseWindow) override;
    bool CloseConsoleWindow() override;
    void FocusList(TDirView* List) override;
    TKyDock* FileWindowDock(int Index) override;

    TUserCommands& runner_;
    TDriveBar& drives_;
    const std::wstring& programFolder_;
    TNavigationCommands commands_;
};

}  // namespace qrv

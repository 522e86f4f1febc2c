#pragma once
// TUserCommandsLink: the user commands in the main window. It makes the
// commands and answers what they ask of the window: the lists, the tree and
// the command box as the commands see them, the command shell and the file
// the selection list is written to.

#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "mainwindow/win/UserCommandRunner.h"

#include <string>

namespace qrv {

class TComboBox;
class TComponent;

class TUserCommandsLink : private TUserCommandsHost {
public:
    // CommandBox may be nullptr; ListFile is the window's and is read when a
    // command runs.
    TUserCommandsLink(TComponent& Owner, const TMainPanes& Panes, TMainWindowServices& Services, TComboBox* CommandBox,
                      const std::wstring& ListFile);
    TUserCommandsLink(const TUserCommandsLink&) = delete;
    TUserCommandsLink& operator=(const TUserCommandsLink&) = delete;

    TUserCommands& Commands() { return commands_; }
    // The option steps: relabel the function-key toolbar, refill the
    // "&Programme" menu.
    void ApplyFunctionKeys();
    void RebuildProgramsMenu();

private:
    const TOptions& CommandOptions() override;
    std::wstring ComSpec() override;
    std::vector<TCommandItem> ActiveSelection() override;
    std::optional<TCommandItem> ActiveFocusedItem() override;
    std::optional<TCommandItem> OtherListSelection() override;
    std::wstring TreeFolder() override;
    std::wstring ListFolder(int Index) override;
    bool SecondWindowShown() override;
    std::wstring ActiveListFolder() override;
    std::wstring CommandListFile() override { return listFile_; }
    void ReportCommandError(const std::wstring& Text) override;
    void AddCommandHistory(const std::wstring& Line) override;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TComboBox* commandBox_;
    const std::wstring& listFile_;
    TUserCommands commands_;
};

}  // namespace qrv

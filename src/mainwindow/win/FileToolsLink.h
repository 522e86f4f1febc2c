#pragma once
// TFileToolsLink: renaming in place and the file tools in the main window.
// It makes both areas on the window's panes, registers the tools' commands,
// runs the select-directory dialog for them, and answers what they ask of
// the window: the display's viewers, letting go of the hex view's or the
// archive list's file and showing it again, and the file commands' undo.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/win/FileTools.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "mainwindow/win/RenameCommands.h"
#include "settings/StoredSettings.h"

#include <functional>
#include <memory>

namespace qrv {

class TCommandMenus;
class TSelDirDialog;
struct TSelDirConsts;
struct TSelDirParams;
class TFileCommands;
class TFileDisplay;
struct TMainWindowState;

// What only the window itself does for the file tools.
struct TFileToolsWindow {
    // The display pane on ("Datei anzeigen"), showing the focused file.
    std::function<void()> SwitchDisplayOn;
    // The join command on the active list's focused file.
    std::function<void()> JoinSplitFile;
    std::function<void()> UpdateSelectionStatus;
    // The folder-size scans around a folder's name edit.
    std::function<void(TDirView* Active)> PauseDirSizeScan;
    std::function<void(TDirView* Active)> ResumeDirSizeScan;
    // The stored settings: the select-directory dialog's size and the file
    // list's choices are kept there.
    TMainWindowState* StoredState = nullptr;
    // The file list's first name and the program's folder (set by the
    // window's start-up, after the link is made).
    const std::wstring* FileListName = nullptr;
    const std::wstring* ProgramDir = nullptr;
};

class TFileToolsLink : private TRenameCommandsHost, private TFileToolsHost {
public:
    // The tree and the lists of Panes must exist.
    TFileToolsLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                   TCommandMenus& Menus, TFileDisplay& Display, TFileCommands& FileCommands, TFileToolsWindow Window);
    TFileToolsLink(const TFileToolsLink&) = delete;
    TFileToolsLink& operator=(const TFileToolsLink&) = delete;

    TFileTools& Tools() { return tools_; }
    TRenameCommands& Renames() { return rename_; }

    // The archive list's folder for extracting, in the dialog prepared as
    // for the file tools with the list's check box; the choice becomes the
    // last target.
    bool ChooseArchiveFolder(TSelDirParams& Params, const TSelDirConsts& Consts);

private:
    // The select-directory dialog: Folder is where it starts and what was chosen.
    bool ChooseFolder(const std::wstring& Caption, std::wstring& Folder, const std::vector<std::wstring>& Recent);
    bool RunFolderDialog(TSelDirDialog& Dialog, const std::wstring& Caption, std::wstring& Folder);

    const TOptions& RenameOptions() override;
    std::wstring ShownFile(TShownFileHolder Holder) override;
    void RenameShownFile(TShownFileHolder Holder, const std::wstring& NewPath) override;
    void ReleaseHexFile() override;
    void RedisplayHexFile() override;
    void SetLastFileOperator(TFileOperator* Operator) override;
    void UpdateSelectionStatus() override;
    void PauseDirSizeScan(TDirView* Active) override;
    void ResumeDirSizeScan(TDirView* Active) override;
    const TOptions& FileOptions() override;
    bool DisplayOn() override;
    void SwitchDisplayOn() override;
    void JoinSplitFile() override;
    TFileListStoredSettings& FileListSettings() override;
    std::wstring DefaultFileListName() override;
    std::wstring ProgramFolder() override;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileDisplay& display_;
    TFileCommands& fileCommands_;
    TFileToolsWindow window_;
    TRenameCommands rename_;
    TFileTools tools_;
    // Kept here when the window gave no stored settings.
    TFileListStoredSettings ownFileList_;
    // The viewer let its file go for a rename and shows it again after it.
    bool released_ = false;
};

}  // namespace qrv

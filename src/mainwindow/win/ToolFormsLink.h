#pragma once
// TToolFormsLink: the directory search, the verification, the drive
// overview and the text properties form in the main window. It makes the
// two command areas, registers the four commands' handlers and answers the
// areas' questions from the window's panes.

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/TextPropertiesExchange.h"
#include "mainwindow/win/DirSearchCommands.h"
#include "mainwindow/win/FileVerifyCommands.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"
#include "mainwindow/win/WinVerifyFiles.h"

namespace qrv {

class TFileCommands;
class TFormDriveOverView;

class TToolFormsLink : private TDirSearchHost, private TFileVerifyHost {
public:
    // FileCommands: its rescan of a drive, which the search runs first.
    TToolFormsLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                   TFileCommands& FileCommands);
    ~TToolFormsLink() override;
    TToolFormsLink(const TToolFormsLink&) = delete;
    TToolFormsLink& operator=(const TToolFormsLink&) = delete;

    TDirSearchCommands& DirSearch() { return dirSearch_; }
    TFileVerifyCommands& FileVerify() { return fileVerify_; }

    // "&Laufwerksübersicht ...", modal; the removable-media choice is kept
    // for the session.
    void DriveOverviewExecute();
    // The open overview follows a change of the drives.
    void RefillDriveOverview();
    TFormDriveOverView* DriveOverview() const { return overview_; }
    bool ShowRemovable = false;
    // "&Eigenschaften" of the text menu: the editor's settings.
    void TextPropertiesExecute();
    // The form's editor values from and into the stored settings.
    void ApplyStoredTextProperties(const TEditorStoredOptions& Stored);
    void CaptureTextProperties(TEditorStoredOptions& Stored) const;

private:
    // Gives the editor After (Before: what it has now).
    void ApplyEditorSettings(const TTextEditorSettings& Before, const TTextEditorSettings& After);
    TDriveView* SearchTree() override;
    void RescanDrive() override;
    void PlaceFindDialog(TForm& Dialog) override;
    std::vector<TVerifyEntry> VerifySelection() override;
    int VerifyDriveType() override;

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileCommands& fileCommands_;
    TWinVerifyFiles files_;
    TDirSearchCommands dirSearch_;
    TFileVerifyCommands fileVerify_;
    TFormDriveOverView* overview_ = nullptr;  // while shown
};

}  // namespace qrv

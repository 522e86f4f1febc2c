#pragma once
// TToolFormsLink: the main window's side of the directory search, the
// verification, the drive overview and the text properties form. It owns
// the two command areas and answers their host interfaces from the
// window's panes; the window holds one and registers its handlers.

#include "mainwindow/win/DirSearchCommands.h"
#include "mainwindow/win/FileVerifyCommands.h"
#include "mainwindow/win/WinVerifyFiles.h"

#include <memory>

namespace qrv {

class TFormDriveOverView;
class TQRVMain;

class TToolFormsLink : private TDirSearchHost, private TFileVerifyHost {
public:
    explicit TToolFormsLink(TQRVMain& Window);
    ~TToolFormsLink() override;

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

private:
    TDriveView* SearchTree() override;
    int ShowMessageBox(const std::wstring& Text, TMsgDlgType Kind, int HelpContext, TMsgDlgButtons Buttons) override;
    void RescanDrive() override;
    void PlaceFindDialog(TForm& Dialog) override;
    std::vector<TVerifyEntry> VerifySelection() override;
    int VerifyDriveType() override;
    TForm* ProgressOwner() override;
    void PlaceProgressForm(TForm& Progress) override;
    void RefreshStatusBar() override;
    bool Terminating() override;

    TQRVMain& window_;
    TWinVerifyFiles files_;
    TDirSearchCommands dirSearch_;
    TFileVerifyCommands fileVerify_;
    TFormDriveOverView* overview_ = nullptr;  // while shown
};

}  // namespace qrv

#pragma once
// TDirSearchCommands: "Ver&zeichnis suchen..." opens the modeless
// "Suchen" (TQuorFindDialog) and finds folders of the selected folder's
// drive by name in the folder tree, one hit after the other; the hit is
// drawn bold and centred, closing puts the tree's expansions back and
// "Springen" selects the hit. The walk's rules are dialogs/DirSearchRules.h;
// the window is reached through its services and TDirSearchHost. Nodes the
// tree deletes while the dialog is open are dropped, never used afterwards.

#include "mainwindow/win/MainWindowServices.h"

#include <memory>
#include <string>

namespace qrv {

class TDriveView;
class TForm;
class TQuorFindDialog;
class TTreeNode;

class TDirSearchHost {
public:
    virtual ~TDirSearchHost() = default;
    virtual TDriveView* SearchTree() = 0;
    // Reads the selected folder's drive again in full and selects that folder.
    virtual void RescanDrive() = 0;
    // Where the dialog goes when first made.
    virtual void PlaceFindDialog(TForm& Dialog) = 0;
};

class TDirSearchCommands {
public:
    TDirSearchCommands(TMainWindowServices& Services, TDirSearchHost& Host);
    ~TDirSearchCommands();
    TDirSearchCommands(const TDirSearchCommands&) = delete;
    TDirSearchCommands& operator=(const TDirSearchCommands&) = delete;

    // Opens the dialog (first use makes it) over the selected folder's drive.
    void DirSearchExecute();
    // The dialog's call-backs.
    void Search();
    void SearchClosed();
    void CloseWhenFound();

    // nullptr until first opened.
    TQuorFindDialog* Dialog() const { return dialog_.get(); }
    TTreeNode* FoundNode() const { return found_; }

private:
    bool RefuseOnNetwork(TTreeNode* Node);
    void Refuse(const std::wstring& Text);
    void DropFound();
    void NodeDeleting(TTreeNode* Node);

    TMainWindowServices& services_;
    TDirSearchHost& host_;
    // Ours, not the window's: it goes before the collaborator it calls.
    std::unique_ptr<TQuorFindDialog> dialog_;
    // The tree's deletion listener holds this weakly: it does nothing once
    // the collaborator is gone, whichever of the two goes first.
    std::shared_ptr<TDirSearchCommands*> self_;
    TDriveView* listening_ = nullptr;  // the tree told of its deletions
    TTreeNode* found_ = nullptr;
    TTreeNode* selectedAtStart_ = nullptr;
    TTreeNode* driveRoot_ = nullptr;  // whose expansions were saved
};

}  // namespace qrv

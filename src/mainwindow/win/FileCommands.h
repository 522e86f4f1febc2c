#pragma once
// TFileCommands: the main window's file commands on the focused pane — new
// folder and file, delete (to the recycle bin or for good), rename, the
// clipboard and undoing the last copy, move or rename — and the keys that
// start them in the file lists. It reaches the window through
// TFileCommandsHost.

#include "framework/win/MessageDialog.h"
#include "framework/win/WinApi.h"

#include <string>

namespace qrv {

class TDirView;
class TDriveView;
class TFileOperator;
struct TOptions;

class TFileCommandsHost {
public:
    virtual ~TFileCommandsHost() = default;
    virtual TDirView* ActiveFileList() = 0;
    virtual const TOptions& FileOptions() = 0;
    // The window's message box: the button pressed (mrOk ...).
    virtual int ShowMessageBox(const std::wstring& Text, TMsgDlgType Kind, int HelpContext,
                               TMsgDlgButtons Buttons) = 0;
    // Closes the file display before its file may go.
    virtual bool ClearDisplay() = 0;
    virtual void RefreshStatusBar() = 0;
};

class TFileCommands {
public:
    explicit TFileCommands(TFileCommandsHost& Host);

    // A key pressed in a file list: Insert (new folder), Ctrl+Insert (new
    // file), Delete (Shift+Delete for good). True when it was handled.
    bool ListKeyDown(WORD Key, bool Shift, bool Ctrl);

    void NewDir();
    void NewFile();
    void DeleteObject();
    void DeleteObjectPhysical();
    void EditObject();
    void ClipBoardCopy(bool Cut);
    void ClipBoardPaste();
    void FileUndo();

    // The operator of the pane that carried out the last drop, rename, copy
    // or move; FileUndo works on it.
    TFileOperator* LastFileOperator() const { return lastOperator_; }
    void SetLastFileOperator(TFileOperator* Operator) { lastOperator_ = Operator; }

    // While a command puts a name into the editor.
    bool EditingStartedByCommand() const { return editingByCommand_; }

private:
    void CreateItem(bool Directory);
    void Refuse(const std::wstring& Text);
    bool ShellNoConfirmRecycle() const;

    TFileCommandsHost& host_;
    TFileOperator* lastOperator_ = nullptr;
    bool physicalDelete_ = false;
    bool editingByCommand_ = false;
};

}  // namespace qrv

#pragma once
// TFileTools: the main window's commands that hand work to the tree, the
// lists or the shell: copy or move the selection to a folder chosen in the
// select-directory dialog or to the other file window, open, open with,
// duplicate, print, what opening a file from a list does (archives, split
// parts), diskette copy and format, the Run dialog and the network drive
// dialogs. The shell's tools go through an injected runner, the folder
// choice through an injected dialog, so tests replace both. Its rules are
// mainwindow/FileToolRules.h.

#include "common/win/ShellItemCopy.h"
#include "framework/win/MessageDialog.h"
#include "framework/win/WinApi.h"
#include "mainwindow/FileToolRules.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TDirView;
class TDriveView;
class TFileOperator;
class TListFileDlg;
class TSelDirDialog;
struct TFileListStoredSettings;
struct TFileRec;
struct TOptions;

// The shell's tools as the commands start them.
class TShellToolRunner {
public:
    virtual ~TShellToolRunner() = default;
    // ShellExecute: its result (32 or less is an error).
    virtual intptr_t Execute(HWND Owner, const std::wstring& Verb, const std::wstring& File,
                             const std::wstring& Parameters, const std::wstring& Directory) = 0;
    // The shell's Run dialog.
    virtual void RunDialog(HWND Owner, const std::wstring& WorkingDirectory) = 0;
    // The shell's format dialog for a drive (0 = A:): a TKyFormatResult.
    virtual int FormatDrive(HWND Owner, unsigned Drive) = 0;
    // The connect and disconnect dialogs of network drives: the system's
    // error code (NO_ERROR, or ERROR_CANCELLED and others).
    virtual DWORD ConnectDialog(HWND Owner) = 0;
    virtual DWORD DisconnectDialog(HWND Owner) = 0;
    // Whether a library can be found where the system loads it from.
    virtual bool LibraryPresent(const std::wstring& Name) = 0;
};
// The system's runner.
std::unique_ptr<TShellToolRunner> NewSystemShellToolRunner();

class TFileToolsHost {
public:
    virtual ~TFileToolsHost() = default;
    virtual const TOptions& FileOptions() = 0;
    virtual void SetLastFileOperator(TFileOperator* Operator) = 0;
    // The display pane is on; switching it on shows the focused file.
    virtual bool DisplayOn() = 0;
    virtual void SwitchDisplayOn() = 0;
    // The join command on the active list's focused file.
    virtual void JoinSplitFile() = 0;
    // The file-list dialog's last choices (kept with the settings), the
    // name it offers first, and the program's folder (where a list of a
    // shell folder goes).
    virtual TFileListStoredSettings& FileListSettings() = 0;
    virtual std::wstring DefaultFileListName() = 0;
    virtual std::wstring ProgramFolder() = 0;
};

class TFileTools {
public:
    TFileTools(const TMainPanes& Panes, TMainWindowServices& Services, TFileToolsHost& Host);
    ~TFileTools();

    // The folder chosen for a copy or move: Caption, the start folder in
    // Folder (the choice on OK), the recent targets for the dialog's box.
    using TChooseFolder =
        std::function<bool(const std::wstring& Caption, std::wstring& Folder, const std::vector<std::wstring>& Recent)>;
    TChooseFolder ChooseFolder;
    // Shows the prepared select-directory dialog; true on OK (tests look at
    // and answer the dialog here).
    std::function<bool(TSelDirDialog& Dialog)> ShowFolderDialog;
    // The drop target of a target folder for items only the shell can copy
    // (the shell's own by default; tests record what it is handed).
    std::function<TShellDropTargetPtr(const std::wstring& Folder)> DropTargetOf;
    std::unique_ptr<TShellToolRunner> Runner;

    // Copies (deCopy) or moves (deMove) the focused pane's selection into
    // Target, or into a folder the dialog asks for when Target is empty.
    void CopyMoveTo(TDropEffect Effect, const std::wstring& Target);
    void CopyToExecute() { CopyMoveTo(deCopy, std::wstring()); }
    void MoveToExecute() { CopyMoveTo(deMove, std::wstring()); }
    void CopyTo2FWExecute() { ToOtherWindow(deCopy); }
    void MoveTo2FWExecute() { ToOtherWindow(deMove); }
    const TRecentTargets& RecentTargets() const { return recent_; }
    const std::wstring& LastTarget() const { return lastTarget_; }
    // A folder chosen elsewhere (the archive list's extraction) is the next
    // start of the dialog.
    void SetLastTarget(const std::wstring& Folder) { lastTarget_ = Folder; }

    void OpenFileExecute();
    void FileOpenWithExecute();
    void DuplicateFileExecute();
    bool PrintFileEnabled();
    void PrintFileExecute();
    // A list is about to open Item: archives and split parts go their own way.
    void ListExecFile(TDirView& List, const TFileRec& Item, bool& AllowExec);
    // "D&ateiliste erstellen": the file-list dialog for the active list;
    // the choices of a written list are kept. The editor is started through
    // Runner.
    void CreateFileListExecute();
    // Shows the prepared dialog; true when it wrote a file (tests fill in
    // and accept the dialog here).
    std::function<bool(TListFileDlg& Dialog)> RunFileListDialog;
    void DiscCopyExecute();
    void DiskFormatExecute();
    void ExecuteDialogExecute();
    void NetConnectExecute();
    void NetDisconnectExecute();
    // The tree found a drive's medium changed: the status bar follows, and
    // the lists on that drive (but the tree's own, which it reloads itself)
    // read their folders anew when a medium was inserted.
    void DiskChanged(wchar_t Drive);
    void InsertedDiskChanged(TDriveView& Tree, wchar_t Drive);

private:
    void ToOtherWindow(TDropEffect Effect);
    // The list's selected shell items, as its folder hands them over,
    // dropped onto Target; false when the folder or the target refuses.
    bool CopyThroughShell(TDirView& List, TDropEffect Effect, const std::wstring& Target);
    // The same for the tree's selected shell folder, as its parent hands it over.
    bool NodeThroughShell(TDriveView& Tree, TDropEffect Effect, const std::wstring& Target);
    bool DropThroughShell(IShellFolder& Folder, const std::vector<TPidlBytes>& Items, TDropEffect Effect,
                          const std::wstring& Target);
    bool TreeFocused();
    bool ListFocused();
    // The active list's first selected item; nullptr when none.
    const TFileRec* FirstSelected();
    void ReportStartError(const std::wstring& What, intptr_t Result);
    void ReportNetError(DWORD Error);
    HWND OwnerWindow();

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TFileToolsHost& host_;
    TRecentTargets recent_;
    std::wstring lastTarget_;
};

}  // namespace qrv

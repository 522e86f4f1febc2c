#pragma once
// TCompareCommands: "Dateien vergleichen" (two files, byte by byte or in the
// external compare program) and "Verzeichnisse vergleichen..." (the active
// file window against a second directory, under the progress form), and the
// about box. It reaches the window through its panes, the window's
// services and TCompareCommandsHost.

#include "dialogs/SelOptRules.h"
#include "framework/win/MessageDialog.h"
#include "mainwindow/DirCompare.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

class TDirView;
class TForm;
class TSelOptForm;
struct TOptions;

class TCompareCommandsHost {
public:
    virtual ~TCompareCommandsHost() = default;
    // True while the two file windows are one above the other.
    virtual bool StackedFileWindows() = 0;
    virtual const TOptions& FileOptions() = 0;
    // A TCompareResult; Esc or AbortFileComparison stops it.
    virtual uint8_t CompareFileContents(const std::wstring& FileA, const std::wstring& FileB) = 0;
    virtual void AbortFileComparison() = 0;
    // The directory comparison's content comparisons, called on its worker
    // threads at once: a TCompareResult, crAborted soon after Stop is set.
    virtual uint8_t CompareFileContentsOnWorker(const std::wstring& FileA, const std::wstring& FileB,
                                                const std::atomic<bool>& Stop) = 0;
    // True while Esc is held down in one of the program's windows.
    virtual bool EscapePressed() = 0;
    // The open dialog for the second file; false when it was cancelled.
    virtual bool ChooseCompareFile(const std::wstring& Title, const std::wstring& InitialDir, std::wstring& Name) = 0;
    // Shows the comparison's options; true on an accepted OK.
    virtual bool ExecuteCompareOptions(TSelOptForm& Form) = 0;
    // Starts Program with the shell: the result of ShellExecute.
    virtual intptr_t StartProgram(const std::wstring& Program, const std::wstring& Parameters,
                                  const std::wstring& Directory) = 0;
    // The directory comparison's options as the settings stored them; the
    // session starts with them.
    virtual TDirCompareOptions StoredCompareOptions() = 0;
};

class TCompareCommands {
public:
    TCompareCommands(const TMainPanes& Panes, TMainWindowServices& Services, TCompareCommandsHost& Host);

    void FileCompareExecute();
    void CompareTwoFiles(const std::wstring& First, const std::wstring& Second);
    void FileWinCompareExecute();
    // The about box centred on the window.
    void HelpAboutExecute(const std::wstring& ProductTitle);

    // While the directory comparison walks.
    bool Running() const { return running_; }
    // A close of the window while the walk runs: the walk stops and the
    // window is closed after it (true). False when nothing runs.
    bool HoldCloseBack();

    // The remembered options and compare directory of this session.
    const TDirCompareOptions& Options() const { return options_; }
    const std::wstring& LastCompareDir() const { return lastCompareDir_; }

private:
    // The records of a list's items (the parent entry too; the walk drops it).
    std::vector<TCompareRecord> RecordsOf(TDirView& List);
    void ApplyResult(const TDirCompareResult& Result, TDirView& Active, TDirView* Compare);

    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TCompareCommandsHost& host_;
    TDirCompareOptions options_;
    bool optionsSeeded_ = false;
    std::wstring lastCompareDir_;
    std::wstring lastOpenDir_;
    bool running_ = false;
    bool abortWalk_ = false;
    bool closeAfterWalk_ = false;
};

// The entries of a folder as comparison records ("." and ".." left out).
std::vector<TCompareRecord> ListFolderRecords(const std::wstring& Folder);

}  // namespace qrv

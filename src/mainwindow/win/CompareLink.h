#pragma once
// TCompareLink: the comparison commands and the about box in the main
// window. It makes the commands, registers their handlers, puts their
// buttons on the file toolbar and answers what they ask: the open dialog,
// the options form, the shell, the stored options and the file comparison,
// which a close of the window stops (the window closes once it returned).

#include "mainwindow/ActionCatalogue.h"
#include "mainwindow/win/CompareCommands.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

#include <string>

namespace qrv {

class TCommandMenus;
class TKySplitter;
class TKyToolbar;
struct TCompareStoredOptions;

// The window's parts the link reads; the window owns them and outlives the
// link. TitleBase and Stored are read when a command runs, so they may be
// filled after the link is made.
struct TCompareLinkWindow {
    const TKySplitter* Splitter = nullptr;
    TKyToolbar* Toolbar = nullptr;
    const std::wstring* TitleBase = nullptr;
    const TCompareStoredOptions* Stored = nullptr;
};

class TCompareLink : private TCompareCommandsHost {
public:
    TCompareLink(const TMainPanes& Panes, TMainWindowServices& Services, TActionCatalogue& Catalogue,
                 TCommandMenus& Menus, const TCompareLinkWindow& Window);
    TCompareLink(const TCompareLink&) = delete;
    TCompareLink& operator=(const TCompareLink&) = delete;

    TCompareCommands& Commands() { return commands_; }
    // True when a comparison below the current message keeps the window
    // open: a file comparison is stopped then and the window is closed when
    // it has returned.
    bool HoldsClose();
    // A TCompareResult (mainwindow/FileCompare.h). Esc stops it; so does a
    // close of the window, which is then done after the comparison.
    uint8_t CompareFileContents(const std::wstring& FileA, const std::wstring& FileB) override;

private:
    void AddToolbarButtons(TCommandMenus& Menus);

    bool StackedFileWindows() override;
    const TOptions& FileOptions() override;
    void AbortFileComparison() override { abortComparison_ = true; }
    uint8_t CompareFileContentsOnWorker(const std::wstring& FileA, const std::wstring& FileB,
                                        const std::atomic<bool>& Stop) override;
    bool EscapePressed() override;
    bool ChooseCompareFile(const std::wstring& Title, const std::wstring& InitialDir, std::wstring& Name) override;
    bool ExecuteCompareOptions(TSelOptForm& Form) override;
    intptr_t StartProgram(const std::wstring& Program, const std::wstring& Parameters,
                          const std::wstring& Directory) override;
    TDirCompareOptions StoredCompareOptions() override;

    TMainWindowServices& services_;
    TCompareLinkWindow window_;
    TCompareCommands commands_;
    bool abortComparison_ = false;
    bool closeAfterComparison_ = false;
};

}  // namespace qrv

#pragma once
// TLayoutCommands: the arrangement of the file windows. It shows and hides
// the second window, lays the two out one above the other or side by side
// (Splitter2 changes its alignment), keeps the split of each layout, swaps
// and equalises the windows over their view states, sets the preset views
// and runs the view manager's choice. What it decides without a window is
// mainwindow/FileWindowLayout.h, dialogs/ViewLayouts.h and
// mainwindow/WindowViewState.h. It reaches the window through its panes, its
// services and TLayoutHost.

#include "mainwindow/FileWindowLayout.h"
#include "dialogs/ViewLayouts.h"
#include "mainwindow/WindowViewState.h"
#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/MainWindowServices.h"

namespace qrv {

class TKySplitter;
struct TOptions;

// The window's parts around the file windows; the window owns them.
struct TLayoutControls {
    TPanel* MainPanel = nullptr;  // the file windows' area
    TKySplitter* TreeSplitter = nullptr;
    TKySplitter* FileSplitter = nullptr;  // between the two file windows
    TKySplitter* DisplaySplitter = nullptr;
};

// What the layout asks of the window besides its panes and services.
class TLayoutHost {
public:
    virtual ~TLayoutHost() = default;
    // The window has been shown once (sizes are checked from then on).
    virtual bool WindowShown() = 0;
    // The room between the toolbars and the status bar.
    virtual int ClientRoomWidth() = 0;
    virtual int ClientRoomHeight() = 0;
    // All options applied again (after a preset view or the view manager).
    virtual void ApplyAllOptions() = 0;
    // The list becomes the active one: the tree, the title and the filter box follow.
    virtual void MakeActiveList(TDirView* List) = 0;
    // The display pane shows the active list's focused file (when it is on).
    virtual void ShowFocusedFile() = 0;
    virtual void ClearDisplay() = 0;
    // "Anzeige &fixieren".
    virtual bool DisplayFrozen() = 0;
    virtual void SetDisplayFrozen(bool Frozen) = 0;
    // The selection and status pass: paused, and due again after Milliseconds.
    virtual void PauseStatusPass() = 0;
    virtual void ResumeStatusPass(unsigned Milliseconds) = 0;
    // The drive toolbars follow the windows shown.
    virtual void LayOutDriveToolbars() = 0;
    // The lists' and history boxes' colours.
    virtual void ColorPanes() = 0;
    // The column order of Source goes to Target once the header has moved
    // its column (a message to the window).
    virtual void PostColumnLayout(TDirView* Source, TDirView* Target) = 0;
    // The view manager on Layout; false on Cancel.
    virtual bool RunViewManager(TViewLayout& Layout) = 0;
};

class TLayoutCommands {
public:
    TLayoutCommands(const TLayoutControls& Controls, const TMainPanes& Panes, TMainWindowServices& Services,
                    TLayoutHost& Host, TOptions& Options);
    TLayoutCommands(const TLayoutCommands&) = delete;
    TLayoutCommands& operator=(const TLayoutCommands&) = delete;

    // The stored splits of both layouts (the first window's height stacked,
    // width side by side), and the splits to store.
    void SetStoredSplits(int Stacked, int SideBySide);
    // The split to store for a layout: the first window's size while it is
    // the layout shown, else the one kept.
    int StoredSplit(int LayoutCode) const;

    // The windows in layout Code (kLayoutStacked, kLayoutSideBySide).
    void ArrangeFileWindows(int Code);
    // The tree, the display pane and the split fitted to the window.
    void CheckPaneSizes();
    // The second window shown or hidden; the first keeps the active folder.
    void SetSecondFileWindow(bool Show);
    bool SecondWindowShown() const;
    // After the options changed: SecondFileWin and DividerStyle applied.
    void ApplyOptions();

    // ---- The commands --------------------------------------------------------------
    // "&Zweites Dateifenster": hiding the active second window swaps first.
    void SecondFileWinExecute();
    bool CanSwap() const;
    void SwapWindowsExecute();
    void EqualizeWindowsExecute();
    void ApplyPreset(TPresetView Preset);
    void ShowViewManExecute();

    // ---- Events --------------------------------------------------------------------
    // Splitter2 was dragged: its place is the layout's split.
    void FileSplitterMoved();
    // The main panel changed size.
    void AreaResized();

    // With SyncDisplay: a column click sorts the other list alike, a column's
    // new width and a header drag's order go to the other list.
    void SyncSortOrder(TDirView* Source);
    void SyncColumnWidths(TDirView* Source);

    // A list's view state (selection and focus by name) and back.
    static TWindowViewState ReadViewState(const TDirView& List);
    static void ApplyViewFields(TDirView& List, const TWindowViewState& State);
    static void RestoreSelection(TDirView& List, const TWindowViewState& State);

private:
    void ConnectSynchronisation();
    int Layout() const;
    TFileWindowLayout Measure() const;
    void ApplyLayoutChange(const TViewChange& Change);
    // Both lists get each other's states (Swap) or the other the active's.
    void ExchangeStates(bool Swap);

    TLayoutControls controls_;
    const TMainPanes& panes_;
    TMainWindowServices& services_;
    TLayoutHost& host_;
    TOptions& options_;
    TPaneSizes splits_;
    // Set while a show/hide, swap or equalise runs.
    bool changing_ = false;
};

}  // namespace qrv

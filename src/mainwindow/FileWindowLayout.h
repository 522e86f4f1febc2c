#pragma once
// Where the main window's panes go: the folder tree at the left, the
// display pane below, and in the rest the two file windows one above the
// other or side by side with a splitter between them. One function answers
// both the first arrangement of a layout and each later check of the sizes
// (after a resize, showing the second window, a preset view). Portable.

#include "dialogs/ViewLayouts.h"
#include "mainwindow/PaneSizes.h"

namespace qrv {

// A pane's place in the file windows' area (the main panel).
struct TPaneBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TPaneBox&) const = default;
};

struct TFileWindowRequest {
    int Layout = kLayoutStacked;
    // The current (or stored) sizes: the tree's width, the display pane's
    // height, the first window's height (stacked) and width (side by side).
    TPaneSizes Sizes;
    // The room between the toolbars and the status bar.
    int ClientWidth = 0;
    int ClientHeight = 0;
    bool TreeShown = true;
    bool DisplayShown = true;
    bool SecondShown = true;
    // The window has been shown once: before that the stored split is only
    // cut to the window (FitPaneSizes), as the window has not got its real
    // size yet.
    bool WindowShown = true;
    // The splitters' thickness (the tree's splitter) and the least height the
    // tree panel keeps above the display pane.
    int SplitterSize = 3;
    int TreeMinHeight = 50;
};

struct TFileWindowLayout {
    // The corrected sizes; the split of the layout not in use is as asked.
    TPaneSizes Sizes;
    // The file windows' area and the places in it; an empty splitter and
    // second box while the second window is hidden.
    int AreaWidth = 0;
    int AreaHeight = 0;
    TPaneBox First;
    TPaneBox Splitter;
    TPaneBox Second;
};

// The tree keeps at least kMinPaneRoom and leaves kMinPaneRoom of the
// window; the display pane leaves the tree's least height, a splitter and
// 10 pixels; a split of 0 or less, below kMinPaneRoom or closer than
// kMinPaneRoom to the far edge is half of the area (once the window is
// shown and the second window is).
TFileWindowLayout ArrangeFileWindows(const TFileWindowRequest& Request);

// The split the layout uses: FirstListHeight stacked, FirstListWidth side by side.
int SplitOf(const TPaneSizes& Sizes, int Layout);
void SetSplit(TPaneSizes& Sizes, int Layout, int Split);

}  // namespace qrv

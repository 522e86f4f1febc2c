#pragma once
// The sizes of the main window's panes as the settings store them, fitted to
// the room the window has when they are applied: a stored value from a larger
// screen, a hand edit or a damaged file never hides a pane. Portable.

namespace qrv {

// Each pane keeps at least this much room beside or below a stored size.
constexpr int kMinPaneRoom = 50;

struct TPaneSizes {
    int TreeWidth = 0;        // the folder tree's panel ("Splitter")
    int DisplayHeight = 0;    // the display pane below ("HSplitter")
    int FirstListHeight = 0;  // the first file list, stacked layout ("Splitter2Y")
    int FirstListWidth = 0;   // the first file list, side by side ("Splitter2X")
};

// Client: the room between the toolbars and the status bar. A size of 0 or
// less means "not stored" and stays 0; any other is cut so that the tree,
// each of the two lists and the display pane keep kMinPaneRoom (or what
// there is).
TPaneSizes FitPaneSizes(const TPaneSizes& Stored, int ClientWidth, int ClientHeight);

}  // namespace qrv

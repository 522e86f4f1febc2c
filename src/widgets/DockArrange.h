#pragma once
// The row arrangement of a dock: which row each docked tool window sits in,
// where along the row, how thick each row is and how thick the dock becomes.
// Portable: the dock hands in what it knows of its tool windows and moves
// them where the result says.

#include <vector>

namespace qrv {

// The direction a dock runs in: none (floating), along a top or bottom edge
// (horizontal), along a left or right edge (vertical).
enum class TDockOrientation { doNoOrient, doHorizontal, doVertical };

// One tool window associated with a dock, as the arrangement sees it.
struct TDockBar {
    int DockRow = 0;
    int DockPos = -1;
    bool FullSize = false;
    bool Visible = true;
    int Length = 0;     // extent along the dock (width in a horizontal dock)
    int Thickness = 0;  // the row thickness the window asks for
};

// Where a visible tool window goes, in the dock's client coordinates along
// and across the dock.
struct TDockPlace {
    int Pos = 0;        // offset along the row (the fitted position)
    int RowOffset = 0;  // offset of its row across the dock
    int Length = 0;     // extent along the row
    int Extent = 0;     // extent across the dock: row thickness + 4
};

struct TDockArrangement {
    std::vector<int> RowThickness;   // per row index; 0 for an empty row
    std::vector<TDockPlace> Places;  // per bar in input order; used for visible bars only
    int Thickness = 0;               // the rows' extent, without non-client lines
};

struct TDockArrangeOptions {
    int ClientLength = 0;  // the dock's client extent along its rows
    bool LimitToOneRow = false;
    bool ClipPositions = false;  // keep the fitted positions as the new DockPos
    bool FixAlign = false;       // an empty dock stays 1 pixel thick
};

// Arranges the bars. DockRow and DockPos are updated where the arrangement
// changes them for good (empty rows removed, full-size rows split, overlaps
// resolved, and with ClipPositions the fitted positions).
TDockArrangement ArrangeDockBars(std::vector<TDockBar>& bars, const TDockArrangeOptions& options);

// The row under an offset across the dock. insert is set when the offset lies
// within 5 pixels of a row's leading boundary: a new row goes before it. Past
// the last row the result is the row after it.
int RowAtPosition(const std::vector<int>& rowThickness, int offset, bool& insert);
// The first row whose end lies beyond the offset (the row after the last one
// when none does).
int RowFromOffset(const std::vector<int>& rowThickness, int offset);

}  // namespace qrv

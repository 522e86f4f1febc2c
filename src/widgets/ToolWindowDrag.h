#pragma once
// What a tool window's drag loop decides, without windows: which dock the
// frame goes to (or none: floating), where the frame is drawn, which row a
// drop lands in, and where a floating window must go to stay on screen.
// Also the floating window's non-client sizes, its hit-test bands and the
// rule that says when it is shown. Portable: the Win32 side feeds in screen
// rectangles, sizes and system metrics.

#include "widgets/DockArrange.h"

#include <functional>
#include <vector>

namespace qrv {

// A rectangle (right and bottom exclusive) and a point, in screen pixels.
struct TDragRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TDragRect&) const = default;
};
struct TDragPoint {
    int X = 0, Y = 0;
    bool operator==(const TDragPoint&) const = default;
};
struct TDragSize {
    int Width = 0, Height = 0;
    bool operator==(const TDragSize&) const = default;
};

bool Intersects(const TDragRect& a, const TDragRect& b);

// A dock the window may go to, in the order candidates are tried.
struct TDragCandidate {
    TDragRect ScreenRect;  // the dock's window
    TDockOrientation Orientation = TDockOrientation::doHorizontal;
    bool Vertical() const { return Orientation == TDockOrientation::doVertical; }
    TDragSize DockedSize;  // the window's size docked there (with its border)
};

struct TDragState {
    TDragPoint Grab;         // the press position in the window
    TDragSize Extent;        // the window's width − 1 and height − 1
    TDragSize FloatingSize;  // the window's size floating (with its border)
    bool CanFloat = true;
    // The floating frame's border and top border (caption included), for
    // keeping a floating frame reachable.
    int FrameSize = 0;
    int TopNonClient = 0;
};

struct TToolWindowDragResult {
    int Target = -1;  // index of the candidate dock, -1 floating (or nothing)
    TDragRect Frame;  // the frame to draw; empty when the drop would do nothing
};

// Whether a drop on candidate i is welcome (the dock's OnRequestDock).
using TRequestDock = std::function<bool(int candidate)>;

// A size placed under the cursor so that the grab point keeps its share of
// the window's extent.
TDragRect PlaceUnderCursor(TDragPoint cursor, const TDragState& state, TDragSize size);

// Whether the cursor is close enough to the dock for a drop: within 32 pixels
// across and 20 along its edges, the allowance split by where the window was
// grabbed; left and right docks want the cursor inside vertically; and the
// window placed there must touch the dock (a 0-thick dock counts as 1).
bool CursorNearDock(TDragPoint cursor, const TDragState& state, const TDragCandidate& dock);

// One evaluation of the loop. With ctrl held no dock is taken. workArea is
// the work area of the monitor under the cursor.
TToolWindowDragResult EvaluateDrag(TDragPoint cursor, bool ctrl, const TDragState& state,
                                   const std::vector<TDragCandidate>& candidates, const TRequestDock& requestDock,
                                   const TDragRect& workArea);

// Where a drop into a dock goes across it: the row, and whether the rows from
// there move down one to make room. rowThickness is the dock's rows;
// otherRowUsed tells whether another window sits in a row (for a full-size
// window, which keeps its row to itself).
struct TDockDrop {
    int Row = 0;
    bool ShiftFrom = false;  // rows >= ShiftFromRow move down one
    int ShiftFromRow = 0;
};
TDockDrop DecideDockDrop(const std::vector<int>& rowThickness, int centreAcross, bool fullSize,
                         const std::function<bool(int row)>& otherRowUsed);

// The work area a window belongs to: the one it overlaps most, else the
// nearest one.
const TDragRect& WorkAreaOf(const TDragRect& window, const std::vector<TDragRect>& workAreas);
// Shifts a floating window back onto its monitor's work area: right, bottom,
// left and top edge in that order. With onlyIfLost a window still touching
// its work area stays where it is.
TDragRect KeepOnScreen(const TDragRect& window, const std::vector<TDragRect>& workAreas, bool onlyIfLost);

// The border of a tool window (left, top, right, bottom as a rectangle of widths).
struct TNonClientMetrics {
    int SizeFrameX = 4, SizeFrameY = 4;    // SM_CXSIZEFRAME, SM_CYSIZEFRAME
    int FixedFrameX = 3, FixedFrameY = 3;  // SM_CXFIXEDFRAME, SM_CYFIXEDFRAME
    int SmallCaption = 15;                 // SM_CYSMCAPTION
};
enum class TDragHandleKind { Double, None, Single };
// Docked: 2 all round plus the drag-handle band on the leading side when the
// dock allows dragging.
TDragRect DockedNonClient(TDockOrientation orientation, bool allowDrag, TDragHandleKind handle, bool closeWhenDocked);
// The close button of a docked window that shows one: a square in its
// drag-handle band (band width − 3 wide), at the band's start in a
// horizontal dock and at its right end in a vertical one. size is the
// window's; empty when the dock allows no dragging (no band).
TDragRect DockedCloseButton(TDockOrientation orientation, bool allowDrag, TDragSize size);
// Floating: the frame all round and the small caption on top.
TDragRect FloatingNonClient(const TNonClientMetrics& metrics, bool resizable, bool showCaption);

// What a point of a floating window's border is (the system's hit-test codes).
enum TFloatingHit {
    fhNowhere = 0,
    fhClient = 1,  // the caption too: pressing it starts a drag
    fhLeft = 10,
    fhRight = 11,
    fhTop = 12,
    fhTopLeft = 13,
    fhTopRight = 14,
    fhBottom = 15,
    fhBottomLeft = 16,
    fhBottomRight = 17,
    fhClose = 20,
};
// point is relative to the window's top-left corner; size is the window's.
// closeButton is the close button's rectangle in the same coordinates
// (empty: none).
TFloatingHit FloatingHitTest(TDragPoint point, TDragSize size, const TDragRect& nonClient, int frameX, int frameY,
                             const TDragRect& closeButton, bool resizable, bool eightEdges);
// The close button: a caption-high square at the caption's right end, inset 1.
TDragRect FloatingCloseButton(TDragSize size, const TDragRect& nonClient, int frameX, int frameY);

// Whether a floating window is to be seen.
struct TFloatingVisibility {
    bool Showing = false;  // its Visible, and not hidden by the library
    bool OnTopOfParentForm = true;
    bool AppMinimised = false;
    bool FormShowing = true;  // the form is visible and not minimised
    bool HideWhenInactive = true;
    bool AppActive = true;  // a window of the application is active
};
bool FloatingWindowShouldShow(const TFloatingVisibility& v);

}  // namespace qrv

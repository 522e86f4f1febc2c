#pragma once
// The line layout of a toolbar: its controls in one line (a docked toolbar)
// or in lines that wrap at a width (a floating toolbar), groups ending with a
// separator kept together. Portable.

#include "widgets/DockArrange.h"

#include <cstddef>
#include <vector>

namespace qrv {

struct TToolbarItem {
    bool Separator = false;
    bool Visible = true;
    int Width = 0;  // of a control
    int Height = 0;
    int SizeHorz = 6;  // of a separator: its length in a horizontal line
    int SizeVert = 6;  // and in a vertical one
};

struct TToolbarItemPlace {
    bool Placed = false;  // false for hidden items, which keep their bounds
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TToolbarLayout {
    std::vector<TToolbarItemPlace> Places;  // per item, in input order
    int ClientWidth = 0;
    int ClientHeight = 0;
};

// 8, or the largest height (horizontal or floating) or width (vertical) of
// the visible controls that are not separators, when larger.
int ToolbarRowThickness(const std::vector<TToolbarItem>& items, TDockOrientation orientation);

// Lays the items out in insertion order. crossSize is the thickness of the
// dock row the toolbar sits in (0: the toolbar's own row thickness).
// floatingRightX is the wrap width of a floating toolbar (0: no wrapping).
TToolbarLayout LayoutToolbar(const std::vector<TToolbarItem>& items, TDockOrientation orientation, int crossSize,
                             int floatingRightX);

// A size a floating toolbar snaps to while it is resized: its window size
// and the wrap width that gives it (0: no wrapping).
struct TToolbarSnapSize {
    int Width = 0;
    int Height = 0;
    int WrapWidth = 0;
    bool operator==(const TToolbarSnapSize&) const = default;
};

// The sizes where the floating toolbar's lines change, widest first; each
// window size is the client size plus the border (ncWidth, ncHeight).
std::vector<TToolbarSnapSize> ToolbarSnapSizes(const std::vector<TToolbarItem>& items, int ncWidth, int ncHeight);

// Resizing a floating toolbar by one edge: each cursor move asks for an
// extent along the dragged axis and gets the snap size to show.
class TToolbarResizeSnap {
public:
    // byHeight: the top or bottom edge is dragged. current: the window's size.
    TToolbarResizeSnap(std::vector<TToolbarSnapSize> sizes, bool byHeight, int currentWidth, int currentHeight);
    // The size for a wanted extent (the cursor's distance from the fixed edge).
    const TToolbarSnapSize& Move(int wanted);
    // Within this many pixels of the current extent a move keeps the size.
    int Tolerance() const { return tolerance_; }
    const std::vector<TToolbarSnapSize>& Sizes() const { return sizes_; }

private:
    int ExtentOf(const TToolbarSnapSize& size) const { return byHeight_ ? size.Height : size.Width; }
    std::vector<TToolbarSnapSize> sizes_;  // largest extent first
    bool byHeight_;
    size_t current_ = 0;
    int tolerance_ = 0;
    int direction_ = 0;
    bool unchangedSinceTurn_ = true;
};

}  // namespace qrv

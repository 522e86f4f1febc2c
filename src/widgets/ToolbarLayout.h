#pragma once
// The line layout of a toolbar: its controls in one line (a docked toolbar)
// or in lines that wrap at a width (a floating toolbar), groups ending with a
// separator kept together. Portable.

#include "widgets/DockArrange.h"

#include <vector>

namespace qrv {

struct TToolbarItem {
    bool Separator = false;
    bool Visible = true;
    int Width = 0;      // of a control
    int Height = 0;
    int SizeHorz = 6;   // of a separator: its length in a horizontal line
    int SizeVert = 6;   // and in a vertical one
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
TToolbarLayout LayoutToolbar(const std::vector<TToolbarItem>& items, TDockOrientation orientation,
                             int crossSize, int floatingRightX);

}  // namespace qrv

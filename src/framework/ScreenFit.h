#pragma once
// Keeping a window on the screen when there are several monitors: the
// monitor area that holds a rectangle, and the rectangle moved (its size
// kept) into that area. Portable.

#include <vector>

namespace qrv {

struct TScreenRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TScreenRect&) const = default;
};

// The area the rectangle overlaps most, else the nearest one. `areas` must
// not be empty.
const TScreenRect& AreaHolding(const TScreenRect& rect, const std::vector<TScreenRect>& areas);

// Moved left when its right edge lies past the area's, then right when its
// left edge lies before it; the same downwards. A rectangle larger than the
// area keeps its left and top edges on the area.
TScreenRect ShiftIntoArea(const TScreenRect& rect, const TScreenRect& area);

// Both: the rectangle kept on the area that holds it (unchanged without areas).
TScreenRect KeepOnAreas(const TScreenRect& rect, const std::vector<TScreenRect>& areas);

}  // namespace qrv

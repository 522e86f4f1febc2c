#include "widgets/ToolWindowDrag.h"

#include "framework/ScreenFit.h"

#include <algorithm>

namespace qrv {

namespace {

constexpr int kAllowanceX = 32;  // how far beside a dock the cursor may be
constexpr int kAllowanceY = 20;

// The part of the allowance beyond the far edge: the grab point's share of
// the window's extent.
int FarShare(int allowance, int grab, int extent)
{
    return extent > 0 ? allowance * grab / extent : 0;
}

int Offset(int grab, int sizeMinusOne, int extent)
{
    return extent > 0 ? grab * sizeMinusOne / extent : 0;
}

long long Overlap(const TDragRect& a, const TDragRect& b)
{
    const long long w = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
    const long long h = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
    return w > 0 && h > 0 ? w * h : 0;
}

TDragRect Shifted(TDragRect r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
    return r;
}

TScreenRect ToScreen(const TDragRect& r)
{
    return TScreenRect{r.Left, r.Top, r.Right, r.Bottom};
}

std::vector<TScreenRect> ToScreen(const std::vector<TDragRect>& areas)
{
    std::vector<TScreenRect> screen;
    screen.reserve(areas.size());
    for (const TDragRect& area : areas)
        screen.push_back(ToScreen(area));
    return screen;
}

}  // namespace

bool Intersects(const TDragRect& a, const TDragRect& b)
{
    return Overlap(a, b) > 0;
}

TDragRect PlaceUnderCursor(TDragPoint cursor, const TDragState& state, TDragSize size)
{
    const int left = cursor.X - Offset(state.Grab.X, size.Width - 1, state.Extent.Width);
    const int top = cursor.Y - Offset(state.Grab.Y, size.Height - 1, state.Extent.Height);
    return TDragRect{left, top, left + size.Width, top + size.Height};
}

bool CursorNearDock(TDragPoint cursor, const TDragState& state, const TDragCandidate& dock)
{
    TDragRect r = dock.ScreenRect;
    // An empty dock is 0 thick; its edge still takes a window.
    if (dock.Vertical() && r.Right <= r.Left)
        r.Right = r.Left + 1;
    if (!dock.Vertical() && r.Bottom <= r.Top)
        r.Bottom = r.Top + 1;
    const int farX = FarShare(kAllowanceX, state.Grab.X, state.Extent.Width);
    const int farY = FarShare(kAllowanceY, state.Grab.Y, state.Extent.Height);
    if (cursor.X < r.Left - (kAllowanceX - farX) || cursor.X > r.Right - 1 + farX)
        return false;
    if (cursor.Y < r.Top - (kAllowanceY - farY) || cursor.Y > r.Bottom - 1 + farY)
        return false;
    if (dock.Vertical() && (cursor.Y < r.Top || cursor.Y >= r.Bottom))
        return false;
    return Intersects(PlaceUnderCursor(cursor, state, dock.DockedSize), r);
}

TToolWindowDragResult EvaluateDrag(TDragPoint cursor, bool ctrl, const TDragState& state,
                                   const std::vector<TDragCandidate>& candidates, const TRequestDock& requestDock,
                                   const TDragRect& workArea)
{
    TToolWindowDragResult result;
    if (!ctrl) {
        for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
            if (!CursorNearDock(cursor, state, candidates[i]))
                continue;
            if (requestDock && !requestDock(i))
                continue;
            result.Target = i;
            result.Frame = PlaceUnderCursor(cursor, state, candidates[i].DockedSize);
            return result;
        }
    }
    if (!state.CanFloat)
        return result;  // no dock and no floating: nothing would happen
    if (!workArea.Empty()) {
        cursor.X = std::clamp(cursor.X, workArea.Left, workArea.Right - 1);
        cursor.Y = std::clamp(cursor.Y, workArea.Top, workArea.Bottom - 1);
    }
    TDragRect frame = PlaceUnderCursor(cursor, state, state.FloatingSize);
    if (!workArea.Empty()) {
        // Part of the frame stays inside the work area shrunk by the border,
        // and its caption stays reachable.
        const int margin = state.FrameSize + 4;
        const TDragRect inner{workArea.Left + margin, workArea.Top + margin, workArea.Right - margin,
                              workArea.Bottom - margin};
        if (frame.Right <= inner.Left)
            frame = Shifted(frame, inner.Left + 1 - frame.Right, 0);
        if (frame.Left >= inner.Right)
            frame = Shifted(frame, inner.Right - 1 - frame.Left, 0);
        if (frame.Bottom <= inner.Top)
            frame = Shifted(frame, 0, inner.Top + 1 - frame.Bottom);
        if (frame.Top >= inner.Bottom)
            frame = Shifted(frame, 0, inner.Bottom - 1 - frame.Top);
        const int highest = workArea.Top - state.TopNonClient + 4;
        if (frame.Top < highest)
            frame = Shifted(frame, 0, highest - frame.Top);
    }
    result.Frame = frame;
    return result;
}

TDockDrop DecideDockDrop(const std::vector<int>& rowThickness, int centreAcross, bool fullSize,
                         const std::function<bool(int row)>& otherRowUsed)
{
    TDockDrop drop;
    bool insert = false;
    drop.Row = RowAtPosition(rowThickness, centreAcross, insert);
    if (insert) {
        drop.ShiftFrom = true;
        drop.ShiftFromRow = drop.Row;
    } else if (fullSize && otherRowUsed && otherRowUsed(drop.Row)) {
        ++drop.Row;
        drop.ShiftFrom = true;
        drop.ShiftFromRow = drop.Row;
    }
    return drop;
}

// The screen's one keep-on-screen rule, over the drag's rectangles.
const TDragRect& WorkAreaOf(const TDragRect& window, const std::vector<TDragRect>& workAreas)
{
    static const TDragRect kNone{};
    if (workAreas.empty())
        return kNone;
    const std::vector<TScreenRect> areas = ToScreen(workAreas);
    return workAreas[&AreaHolding(ToScreen(window), areas) - areas.data()];
}

TDragRect KeepOnScreen(const TDragRect& window, const std::vector<TDragRect>& workAreas, bool onlyIfLost)
{
    if (workAreas.empty())
        return window;
    const TDragRect& area = WorkAreaOf(window, workAreas);
    if (onlyIfLost && Intersects(window, area))
        return window;
    const TScreenRect r = ShiftIntoArea(ToScreen(window), ToScreen(area));
    return TDragRect{r.Left, r.Top, r.Right, r.Bottom};
}

TDragRect DockedNonClient(TDockOrientation orientation, bool allowDrag, TDragHandleKind handle, bool closeWhenDocked)
{
    TDragRect nc{2, 2, 2, 2};
    if (!allowDrag)
        return nc;
    int band = 14;
    if (!closeWhenDocked)
        band = handle == TDragHandleKind::Double ? 9 : handle == TDragHandleKind::Single ? 6 : 0;
    if (orientation == TDockOrientation::doVertical)
        nc.Top += band;
    else
        nc.Left += band;
    return nc;
}

TDragRect DockedCloseButton(TDockOrientation orientation, bool allowDrag, TDragSize size)
{
    if (!allowDrag)
        return TDragRect{};
    constexpr int band = 14;
    constexpr int side = band - 3;
    if (orientation == TDockOrientation::doVertical) {
        // The client is 2 pixels in from either side.
        const int left = size.Width - 4 - side + 2;
        return TDragRect{left, 3, left + side, 3 + side};
    }
    return TDragRect{3, 2, 3 + side, 2 + side};
}

TDragRect FloatingNonClient(const TNonClientMetrics& metrics, bool resizable, bool showCaption)
{
    const int x = resizable ? metrics.SizeFrameX : metrics.FixedFrameX;
    const int y = resizable ? metrics.SizeFrameY : metrics.FixedFrameY;
    return TDragRect{x, y + (showCaption ? metrics.SmallCaption : 0), x, y};
}

TDragRect FloatingCloseButton(TDragSize size, const TDragRect& nonClient, int frameX, int frameY)
{
    const int caption = nonClient.Top - frameY;
    if (caption <= 2)
        return TDragRect{};
    const int right = size.Width - frameX;
    return TDragRect{right - caption + 1, frameY + 1, right - 1, frameY + caption - 1};
}

TFloatingHit FloatingHitTest(TDragPoint p, TDragSize size, const TDragRect& nonClient, int frameX, int frameY,
                             const TDragRect& closeButton, bool resizable, bool eightEdges)
{
    const int w = size.Width;
    const int h = size.Height;
    if (p.X < 0 || p.Y < 0 || p.X >= w || p.Y >= h)
        return fhNowhere;
    const bool insideFrame = p.X >= frameX && p.X < w - frameX && p.Y >= frameY && p.Y < h - frameY;
    if (insideFrame) {
        if (p.Y < nonClient.Top && !closeButton.Empty() && p.X >= closeButton.Left && p.X < closeButton.Right &&
            p.Y >= closeButton.Top && p.Y < closeButton.Bottom)
            return fhClose;
        return fhClient;  // the caption band drags like the client area
    }
    if (!resizable)
        return fhNowhere;
    const int corner = eightEdges ? nonClient.Top - frameY + frameX - 1 : 0;
    const bool nearTop = eightEdges && p.Y < corner;
    const bool nearBottom = eightEdges && p.Y >= h - corner;
    const bool nearLeft = eightEdges && p.X < corner;
    const bool nearRight = eightEdges && p.X >= w - corner;
    if (p.X < frameX)
        return nearTop ? fhTopLeft : nearBottom ? fhBottomLeft : fhLeft;
    if (p.X >= w - frameX)
        return nearTop ? fhTopRight : nearBottom ? fhBottomRight : fhRight;
    if (p.Y < frameY)
        return nearLeft ? fhTopLeft : nearRight ? fhTopRight : fhTop;
    return nearLeft ? fhBottomLeft : nearRight ? fhBottomRight : fhBottom;
}

bool FloatingWindowShouldShow(const TFloatingVisibility& v)
{
    if (!v.Showing)
        return false;
    if (v.OnTopOfParentForm && (v.AppMinimised || !v.FormShowing))
        return false;
    return !v.HideWhenInactive || v.AppActive;
}

}  // namespace qrv

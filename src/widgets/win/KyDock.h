#pragma once
// Docks and the tool windows they hold. A dock is a strip along one edge of
// its parent that arranges its tool windows in rows (by DockRow, then
// DockPos) and takes the thickness of its rows. A tool window lays out its
// own controls (see KyToolbar) and sits in a dock.
//
// Tool windows live in docks only: floating tool windows and dragging a tool
// window from one dock to another are not built yet. Moving a tool window to
// another dock is done by setting DockedTo.

#include "framework/win/Controls.h"
#include "widgets/DockArrange.h"

#include <functional>
#include <utility>
#include <vector>

namespace qrv {

enum class TDockPosition { dpTop, dpBottom, dpLeft, dpRight };

enum TDockBoundLinesValues : unsigned { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };
// A set of TDockBoundLinesValues.
using TDockBoundLines = unsigned;

enum class TToolWindowBorderStyle { bsNone, bsSingle };
enum class TDragHandleStyle { dhDouble, dhNone, dhSingle };
enum class TToolWindowDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };

class TKyCustomToolWindow;
class TKyDock;

using TInsertRemoveEvent = std::function<void(TComponent* Sender, bool Inserting, TKyCustomToolWindow* Bar)>;

// The orientation of a dock (doNoOrient for none).
TDockOrientation GetDockOrientation(const TKyDock* dock);

class TKyDock : public TWinControl {
public:
    explicit TKyDock(TComponent* owner);
    ~TKyDock() override;

    // The edge; sets the alignment. Cannot change while the dock holds controls.
    TDockPosition Position() const { return position_; }
    void SetPosition(TDockPosition position);
    // Tool windows show a drag handle.
    bool AllowDrag() const { return allowDrag_; }
    void SetAllowDrag(bool allowDrag);
    // 1-pixel lines along the chosen edges, outside the rows.
    TDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TDockBoundLines lines);
    // An empty dock stays 1 pixel thick instead of 0.
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool fixAlign);
    // Every tool window goes into row 0.
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool limit);

    // Arrangement requests between BeginUpdate and the last EndUpdate are
    // carried out once, at that EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    // Puts every docked tool window in its row and position and gives the
    // dock the thickness of its rows. With clipPositions the positions fitted
    // into the dock's length become the tool windows' DockPos.
    void ArrangeToolWindows(bool clipPositions = false);

    TDockOrientation Orientation() const;
    // The thickness of a row after the last arrangement (0: empty or no such row).
    int RowThickness(int row) const;
    int RowAtPosition(int offset, bool& insert) const;
    int RowFromOffset(int offset) const;
    // The dock's client extent along its rows.
    int ClientLength();
    // The docked tool windows that are visible, in the order they became so.
    const std::vector<TKyCustomToolWindow*>& VisibleToolWindows() const { return visible_; }

    void SetParent(TWinControl* parent) override;
    void Realign() override;

    TInsertRemoveEvent OnInsertRemoveBar;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    friend class TKyCustomToolWindow;
    std::vector<TKyCustomToolWindow*> ToolWindows() const;
    // Brings the visible list up to date; returns what changed (inserting, window).
    std::vector<std::pair<bool, TKyCustomToolWindow*>> UpdateVisibleToolWindows();
    void ForgetToolWindow(TKyCustomToolWindow* window);
    void FrameChanged();
    void PaintBoundLines();
    int NonClientAcross() const;

    TDockPosition position_ = TDockPosition::dpTop;
    bool allowDrag_ = true;
    TDockBoundLines boundLines_ = 0;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    std::vector<TKyCustomToolWindow*> visible_;
    std::vector<TKyCustomToolWindow*> remembering_;  // windows whose LastDock this is
    std::vector<int> rowThickness_;
    int updateCount_ = 0;
    bool arrangeRequested_ = false;
    bool clipPositions_ = false;
};

class TKyCustomToolWindow : public TWinControl {
public:
    explicit TKyCustomToolWindow(TComponent* owner);
    ~TKyCustomToolWindow() override;

    // The dock; setting none would float the window, which is not built yet.
    TKyDock* DockedTo() const { return dock_; }
    void SetDockedTo(TKyDock* dock);
    bool Docked() const { return dock_ != nullptr; }
    // The dock it was last docked in.
    TKyDock* LastDock() const { return lastDock_; }
    // Row index and offset along the row; writing re-arranges the dock.
    int DockRow() const { return dockRow_; }
    void SetDockRow(int row);
    int DockPos() const { return dockPos_; }
    void SetDockPos(int pos);
    TToolWindowBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TToolWindowBorderStyle style);
    TDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
    void SetDragHandleStyle(TDragHandleStyle style);
    // A full-size tool window has its row to itself and spans the dock.
    bool FullSize() const { return fullSize_; }
    void SetFullSize(bool fullSize);
    TToolWindowDockMode DockMode() const { return dockMode_; }
    void SetDockMode(TToolWindowDockMode mode) { dockMode_ = mode; }
    // The floating position (screen) kept for the position store.
    POINT FloatingPosition() const { return floatingPosition_; }
    void SetFloatingPosition(POINT position) { floatingPosition_ = position; }

    // Suspend and resume the arrangement of the controls; at the last
    // EndUpdate they are arranged when a change asked for it meanwhile.
    void BeginUpdate();
    void EndUpdate();
    // Lays the controls out for the current dock and sizes the window to them.
    void ArrangeControls();

    // The row thickness the window needs in a dock of that orientation.
    virtual int GetRowThickness(TDockOrientation orientation);

    void SetParent(TWinControl* parent) override;
    void SetVisible(bool visible) override;
    void Realign() override;

    // Non-client border widths (left, top, right, bottom) for the current dock.
    RECT NonClientSize() const;

    TNotifyEvent OnDockChanged;
    TNotifyEvent OnVisibleChanged;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void BoundsChanged() override;
    // Places the controls (when apply) for a dock of that orientation whose
    // row is crossSize thick (0: the window's own thickness); returns the
    // client size they need. The base keeps the controls and its client size.
    virtual SIZE LayoutControls(bool apply, TDockOrientation orientation, int crossSize);

private:
    friend class TKyDock;
    void SetLastDock(TKyDock* dock);
    void FrameChanged();
    void PaintNonClient();

    TKyDock* dock_ = nullptr;
    TKyDock* lastDock_ = nullptr;
    int dockRow_ = 0;
    int dockPos_ = -1;
    TToolWindowBorderStyle borderStyle_ = TToolWindowBorderStyle::bsSingle;
    TDragHandleStyle dragHandleStyle_ = TDragHandleStyle::dhSingle;
    bool fullSize_ = false;
    TToolWindowDockMode dockMode_ = TToolWindowDockMode::dmCanFloat;
    POINT floatingPosition_{0, 0};
    int updateCount_ = 0;
    bool arrangeRequested_ = false;
    bool arranging_ = false;
    int placing_ = 0;  // raised while the dock sets the bounds
};

// Tells the floating tool windows of a host event (0 activation change,
// 1 window position changed with the WINDOWPOS in lParam, 2 window
// destroyed). Docked tool windows follow their dock, and floating ones do not
// exist yet, so no window has anything to do for these events now.
void ProcessToolWindowHookEvent(int Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

}  // namespace qrv

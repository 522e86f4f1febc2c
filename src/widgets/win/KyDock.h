#pragma once
// Docks and the tool windows they hold. A dock is a strip along one edge of
// its parent that arranges its tool windows in rows (by DockRow, then
// DockPos) and takes the thickness of its rows. A tool window lays out its
// own controls (see KyToolbar) and sits in a dock, or floats above its form
// in a small captioned window of its own. Its drag handle (docked) or its
// caption (floating) drags it between docks and off them; a floating one is
// resized by its edges and closed by its close button.

#include "framework/win/Bitmap.h"
#include "framework/win/Controls.h"
#include "widgets/DockArrange.h"
#include "widgets/ToolWindowDrag.h"
#include "widgets/ToolbarVersion.h"

#include <functional>
#include <memory>
#include <optional>
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
enum class TToolWindowFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };
// A set of docks by position: bit 1 << TDockPosition.
using TDockableTo = unsigned;
constexpr TDockableTo kDockableToAll = 15;
constexpr TDockableTo DockableBit(TDockPosition position)
{
    return 1u << static_cast<unsigned>(position);
}

class TForm;
class TKyCustomToolWindow;
class TKyDock;

using TInsertRemoveEvent = std::function<void(TComponent* Sender, bool Inserting, TKyCustomToolWindow* Bar)>;
// Accept (preset true) may refuse a tool window dragged over the dock.
using TRequestDockEvent = std::function<void(TComponent* Sender, TKyCustomToolWindow* Bar, bool& Accept)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;
// DockingTo: the dock a tool window is about to go to (none: floating).
using TDockChangingExEvent = std::function<void(TComponent* Sender, TKyDock* DockingTo)>;

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
    const wchar_t* Version() const { return kToolbarLibraryVersion; }
    TDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TDockBoundLines lines);
    // An empty dock stays 1 pixel thick instead of 0.
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool fixAlign);
    // Every tool window goes into row 0.
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool limit);
    // A bitmap tiled over the dock, lined up with the parent's client area
    // so that neighbouring docks show one pattern; none when empty.
    const TBitmap& Background() const { return background_; }
    void SetBackground(const TBitmap* bitmap);
    bool HasBackground() const { return background_.Width() > 0 && background_.Height() > 0; }
    // The colour of the background's bottom-left pixel shows the dock's Color.
    bool BackgroundTransparent() const { return backgroundTransparent_; }
    void SetBackgroundTransparent(bool transparent);
    // Docked tool windows draw the background in their border too.
    bool BackgroundOnToolbars() const { return backgroundOnToolbars_; }
    void SetBackgroundOnToolbars(bool on) { backgroundOnToolbars_ = on; }
    // Tiles area of dc, a DC of window (the dock or a window inside it,
    // origin at the window's top-left corner when windowDC, else at its client).
    void DrawBackground(HDC dc, const RECT& area, HWND window, bool windowDC);

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
    TRequestDockEvent OnRequestDock;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    friend class TKyCustomToolWindow;
    // The tool windows docked here.
    std::vector<TKyCustomToolWindow*> ToolWindows() const;
    // Brings the visible list up to date; returns what changed (inserting, window).
    std::vector<std::pair<bool, TKyCustomToolWindow*>> UpdateVisibleToolWindows();
    void ForgetToolWindow(TKyCustomToolWindow* window);
    void FrameChanged();
    // The pixels the bound lines take from each edge.
    RECT BoundLineWidths() const;
    // The bound lines, and the colour in the rest of the frame, into a DC
    // whose origin is the window's top-left corner.
    void PaintNonClient(HDC dc);
    int NonClientAcross() const;
    HBITMAP BackgroundToDraw();
    void BackgroundChanged();

    TDockPosition position_ = TDockPosition::dpTop;
    bool allowDrag_ = true;
    TDockBoundLines boundLines_ = 0;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    TBitmap background_;
    bool backgroundTransparent_ = false;
    bool backgroundOnToolbars_ = true;
    TGdiObject transparentCache_;  // the background with the dock's colour in place of the key
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

    // The dock; none floats the window above the form that owns it.
    TKyDock* DockedTo() const { return dock_; }
    void SetDockedTo(TKyDock* dock);
    bool Docked() const { return dock_ != nullptr; }
    bool Floating() const { return floatForm_ != nullptr; }
    const wchar_t* Version() const { return kToolbarLibraryVersion; }
    // The form a floating window floats above.
    TForm* FloatingForm() const { return floatForm_; }
    // The dock it was last docked in; a double click on the floating window
    // docks it there. With UseLastDock on, a docked window's dock wins.
    TKyDock* LastDock() const { return lastDock_; }
    void SetLastDock(TKyDock* dock);
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool use);
    // Where a double click docks a floating window without a last dock.
    TKyDock* DefaultDock() const { return defaultDock_; }
    void SetDefaultDock(TKyDock* dock) { defaultDock_ = dock; }
    // The docks (by position) the window may be dragged into.
    TDockableTo DockableTo() const { return dockableTo_; }
    void SetDockableTo(TDockableTo docks) { dockableTo_ = docks; }
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
    // The floating window's place (screen); a floating window moves there.
    POINT FloatingPosition() const { return floatingPosition_; }
    void SetFloatingPosition(POINT position);
    TToolWindowFloatingMode FloatingMode() const { return floatingMode_; }
    void SetFloatingMode(TToolWindowFloatingMode mode);
    // A floating window hides while no window of the program is active.
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool hide);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool show);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool show);
    // A docked window shows a close button in its drag-handle band.
    bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
    void SetCloseButtonWhenDocked(bool show);
    // Clicking a floating window activates its form.
    bool ActivateParent() const { return activateParent_; }
    void SetActivateParent(bool activate) { activateParent_ = activate; }
    // A floating window can be resized by its edges.
    bool Resizable() const { return resizable_; }
    void SetResizable(bool resizable);
    // Moves a floating window back onto its monitor's work area; with
    // onlyIfLost only when it lies entirely off it.
    void MoveOnScreen(bool onlyIfLost);
    // Whether the floating window is shown now (Visible, and the rules of
    // the form, the application and HideWhenInactive).
    void UpdateFloatingVisibility();
    // The same with the application's activation as given.
    void UpdateFloatingVisibility(bool appActive);
    // A window was destroyed: the floating window's owner window leaves it
    // when it was its owner.
    void OwnerDestroyed(HWND destroyed);
    // The form's place among the windows changed: the floating window goes
    // just above it again.
    void KeepAboveForm();

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

    // A move between docks, or off or onto one, raises in this order:
    // OnDockChanging, OnDockChangingEx and OnRecreating before anything
    // changes; OnDockChangingHidden once the window is hidden for the move;
    // then OnMove, OnRecreated and OnDockChanged when it is in its new place.
    TNotifyEvent OnDockChanging;
    TDockChangingExEvent OnDockChangingEx;
    TDockChangingExEvent OnDockChangingHidden;
    TNotifyEvent OnRecreating;
    TNotifyEvent OnRecreated;
    TNotifyEvent OnDockChanged;
    // The window's place changed (in its dock, or on the screen when floating).
    TNotifyEvent OnMove;
    TNotifyEvent OnVisibleChanged;
    TNotifyEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // The private messages that redraw the border once for many requests.
    static constexpr UINT kRedrawDockedBorder = 0x17AF;
    static constexpr UINT kRedrawFloatingBorder = 0x17B0;  // lParam: the parts
    static constexpr UINT kKeepAboveForm = 0x17B1;
    enum TFloatingParts : unsigned { fpFrame = 1, fpCaption = 2, fpCloseButton = 4 };

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void BoundsChanged() override;
    // Places the controls (when apply) for a dock of that orientation whose
    // row is crossSize thick (0: the window's own thickness); returns the
    // client size they need. The base keeps the controls and its client size.
    virtual SIZE LayoutControls(bool apply, TDockOrientation orientation, int crossSize);
    // The smallest client size of a floating window.
    virtual SIZE GetMinimumClientSize() { return SIZE{0, 0}; }
    // The resize loop of a floating window: band is the edge's hit-test code.
    // ResizeChange may adjust the wanted window rectangle (screen).
    virtual void ResizeStart(int /*band*/) {}
    virtual void ResizeChange(int /*band*/, RECT& /*rect*/) {}
    virtual void ResizeEnd(bool /*accepted*/) {}
    // The border widths for a dock (none: floating).
    RECT NonClientFor(const TKyDock* dock) const;

    // Behaviour the toolbars switch off: resizing by the corners too, and
    // the cursor kept on the work area while resizing.
    bool eightEdges_ = true;
    bool confineCursor_ = true;

private:
    friend class TKyDock;
    static std::vector<TKyCustomToolWindow*>& AllToolWindows();
    void RememberLastDock(TKyDock* dock);
    // The events around a move to another dock (none: floating).
    void DockChanging(TKyDock* to);
    void DockChangingHidden(TKyDock* to);
    void DockChanged();
    void Moved();
    void FrameChanged();
    // update: the region of WM_NCPAINT (nullptr or 1: all of it).
    void PaintNonClient(HRGN update = nullptr);
    // The docked border into a DC whose origin is the window's top-left corner.
    void DrawDockedBorder(HDC dc);
    void PaintFloatingNonClient(unsigned parts, HRGN update = nullptr);
    void RedrawFloatingBorder(unsigned parts);
    void RedrawDockedBorder();
    void PlaceAboveForm();
    int FrameX() const;
    int FrameY() const;
    bool IsHorizontalDock() const { return GetDockOrientation(dock_) != TDockOrientation::doVertical; }
    void DropInto(TKyDock* dock, const RECT& frame);
    void Float(TForm* form);
    // With clipPositions the dock fits the positions into its length for good.
    void Dock(TKyDock* dock, bool clipPositions = false);
    void LeaveFloating();
    // The floating window and its owner window, once the form has a window.
    void MakeFloatingWindow();
    TForm* OwningForm() const;
    RECT FloatingCloseButtonRect();
    RECT DockedCloseButtonRect() const;
    // The close button of the current state, in window coordinates (empty: none).
    RECT CloseButtonRect();
    int FloatingHit(POINT screen);
    void BeginDrag(POINT client);
    void DoubleClick();
    void CloseButtonLoop();
    void ResizeLoop(int band, POINT start);
    void MouseActivate();

    TKyDock* dock_ = nullptr;
    TKyDock* lastDock_ = nullptr;
    int dockRow_ = 0;
    int dockPos_ = -1;
    TToolWindowBorderStyle borderStyle_ = TToolWindowBorderStyle::bsSingle;
    TDragHandleStyle dragHandleStyle_ = TDragHandleStyle::dhSingle;
    bool fullSize_ = false;
    TToolWindowDockMode dockMode_ = TToolWindowDockMode::dmCanFloat;
    POINT floatingPosition_{0, 0};
    TKyDock* defaultDock_ = nullptr;
    bool useLastDock_ = true;
    TDockableTo dockableTo_ = kDockableToAll;
    TToolWindowFloatingMode floatingMode_ = TToolWindowFloatingMode::fmOnTopOfParentForm;
    bool hideWhenInactive_ = true;
    bool showCaption_ = true;
    bool closeButton_ = true;
    bool closeButtonWhenDocked_ = false;
    bool activateParent_ = true;
    bool resizable_ = true;
    bool closePressed_ = false;
    bool floatingPositionSet_ = false;
    TForm* floatForm_ = nullptr;
    std::unique_ptr<TWinControl> floatingParent_;  // the floating window's owner window
    int updateCount_ = 0;
    bool arrangeRequested_ = false;
    bool arranging_ = false;
    int placing_ = 0;               // raised while the dock sets the bounds
    int moveSuppressed_ = 0;        // raised while the window changes docks
    POINT notifiedPosition_{0, 0};  // the place OnMove last told of
};

// Tells the floating tool windows of a host event: 0 activation change
// (each updates its visibility), 1 window position changed with the
// WINDOWPOS in lParam (those floating above that window or a window inside
// it update their visibility when it was shown, hidden or its frame
// changed), 2 window destroyed (a floating window owned by it is owned by
// its own owner window from then on), 4 the focus moves into Wnd (those
// floating above that window or the window holding it go above it again).
void ProcessToolWindowHookEvent(int Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

// The tool windows floating now.
std::vector<TKyCustomToolWindow*> FloatingToolWindows();
// The work areas of all monitors.
std::vector<TDragRect> MonitorWorkAreas();
// The position of the dock holding the nearest tool window among a
// control's parents; nothing when that window floats or there is none.
std::optional<TDockPosition> DockPositionOf(const TControl* control);

}  // namespace qrv

// Floating tool windows and the loops that move them: the floating window
// and its owner window, its border (frame, small caption, close button),
// its visibility rules, the drag loop between docks, the resize and close
// loops, and the host events that reach floating windows.

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowPrint.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyDockCommon.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

namespace qrv {

namespace {

// The owner window of a floating tool window: a window of no size, owned by
// the form, so that the tool window stays above the form and goes with it.
class TFloatingWindowParent : public TWinControl {
public:
    explicit TFloatingWindowParent(TForm* form) : TWinControl(nullptr), form_(form)
    {
        // The address in full: eight digits would repeat on 64-bit.
        wchar_t name[64];
        swprintf(name, 64, L"KyFloatingWindowParent_%016llX",
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
        SetName(name);
        SetBounds(0, 0, 0, 0);
        SetVisible(false);
    }
    TForm* Form() const { return form_; }

protected:
    void CreateParams(TCreateParams& params) override
    {
        TWinControl::CreateParams(params);
        params.WinClassName = L"TFloatingWindowParent";
        // Hidden and of no size: it only owns the floating window, and a
        // hidden window never takes the activation.
        params.Style = WS_POPUP | WS_DISABLED;
        params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
        params.WndParent = form_->Handle();
    }

private:
    TForm* form_;
};

std::vector<TKyCustomToolWindow*>& FloatingList()
{
    static std::vector<TKyCustomToolWindow*> windows;
    return windows;
}

bool IsFloatingNow(const TKyCustomToolWindow* window)
{
    const auto& list = FloatingList();
    return std::find(list.begin(), list.end(), window) != list.end();
}

// Heard while a window floats: the focus moving into a window. Its own
// client, apart from the host events the form may forward itself.
void FloatingFocusHookEvent(int Code, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    ProcessToolWindowHookEvent(Code, Wnd, WParam, LParam);
}

TDragRect ToDrag(const RECT& r)
{
    return TDragRect{r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const TDragRect& r)
{
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

TDragRect WorkAreaAt(POINT p)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info))
        return TDragRect{};
    return ToDrag(info.rcWork);
}

// An inverted frame on the desktop, drawn with a checkerboard so that it
// shows on any background; drawing the same frame again erases it.
class TDesktopFrame {
public:
    TDesktopFrame() : desktop_(GetDesktopWindow())
    {
        locked_ = LockWindowUpdate(desktop_) != FALSE;
        if (!locked_)
            TraceIgnoredFailure(L"locking the desktop's updates for a drag frame", GetLastError());
        dc_ = GetDCEx(desktop_, nullptr, DCX_WINDOW | DCX_CACHE | (locked_ ? DCX_LOCKWINDOWUPDATE : 0));
        const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
        const TGdiObject pattern(CreateBitmap(8, 8, 1, 1, rows));
        brush_ = TGdiObject(CreatePatternBrush(static_cast<HBITMAP>(pattern.Get())));
    }
    ~TDesktopFrame()
    {
        Draw(RECT{}, 0);
        if (dc_)
            ReleaseDC(desktop_, dc_);
        if (locked_)
            LockWindowUpdate(nullptr);
    }
    TDesktopFrame(const TDesktopFrame&) = delete;
    TDesktopFrame& operator=(const TDesktopFrame&) = delete;

    // Replaces the frame drawn before by this one (an empty rectangle: none).
    void Draw(const RECT& rect, int thickness)
    {
        if (EqualRect(&rect, &shown_) && thickness == shownThickness_)
            return;
        Invert(shown_, shownThickness_);
        Invert(rect, thickness);
        shown_ = rect;
        shownThickness_ = thickness;
    }

private:
    void Invert(const RECT& r, int t)
    {
        if (!dc_ || IsRectEmpty(&r) || t <= 0)
            return;
        const TSelectObject select(dc_, brush_.Get());
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        PatBlt(dc_, r.left, r.top, w, std::min(t, h), PATINVERT);
        if (h > 2 * t) {
            PatBlt(dc_, r.left, r.top + t, std::min(t, w), h - 2 * t, PATINVERT);
            if (w > t)
                PatBlt(dc_, r.right - std::min(t, w - t), r.top + t, std::min(t, w - t), h - 2 * t, PATINVERT);
        }
        if (h > t)
            PatBlt(dc_, r.left, r.bottom - std::min(t, h - t), w, std::min(t, h - t), PATINVERT);
    }

    HWND desktop_;
    bool locked_ = false;
    HDC dc_ = nullptr;
    TGdiObject brush_;
    RECT shown_{};
    int shownThickness_ = 0;
};

enum class TLoopStep { Continue, Accept, Cancel, Dispatch };

// Captures the mouse and hands every message to step until it accepts or
// cancels, the capture is lost or the program quits (the quit message is
// posted again). Returns whether the loop was accepted. The capture is
// released on every path. With holdBorderRedraws (a drag frame is shown),
// the window's own border redraws wait until the loop has ended: the system
// may show a window's painting later than it is drawn, over the frame, and
// erasing the frame by inverting it again would then leave it there.
template <class Step>
bool CaptureLoop(HWND window, bool holdBorderRedraws, Step step)
{
    SetCapture(window);
    std::vector<MSG> heldRedraws;
    ScopeExit release([window, &heldRedraws] {
        if (GetCapture() == window)
            ReleaseCapture();
        for (const MSG& held : heldRedraws)
            PostMessageW(held.hwnd, held.message, held.wParam, held.lParam);
    });
    while (GetCapture() == window) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got < 0)
            return false;
        switch (step(msg)) {
        case TLoopStep::Accept:
            return true;
        case TLoopStep::Cancel:
            return false;
        case TLoopStep::Continue:
            break;
        case TLoopStep::Dispatch: {
            if (holdBorderRedraws && msg.hwnd == window &&
                (msg.message == TKyCustomToolWindow::kRedrawDockedBorder ||
                 msg.message == TKyCustomToolWindow::kRedrawFloatingBorder)) {
                heldRedraws.push_back(msg);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            break;
        }
        }
    }
    return false;
}

bool IsMouseButtonMessage(UINT msg)
{
    return (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) || (msg >= WM_NCLBUTTONDOWN && msg <= WM_NCMBUTTONDBLCLK);
}

// The screen point of a mouse message sent to window.
POINT ScreenPointOf(const MSG& msg, HWND window)
{
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
        ClientToScreen(msg.hwnd ? msg.hwnd : window, &p);
    return p;
}

bool Showing(TWinControl* control)
{
    return control->Visible() && control->HandleAllocated() && IsWindowVisible(control->Handle());
}

// The docks of parent and its windowed children, depth first: at each level
// its top docks, then bottom, left and right, then the other children.
void CollectDocks(TWinControl* parent, const TKyCustomToolWindow* self, std::vector<TKyDock*>& docks)
{
    for (TDockPosition position :
         {TDockPosition::dpTop, TDockPosition::dpBottom, TDockPosition::dpLeft, TDockPosition::dpRight})
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* dock = dynamic_cast<TKyDock*>(parent->Controls(i));
                dock && dock->Position() == position && Showing(dock))
                docks.push_back(dock);
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child || child == self || dynamic_cast<TKyDock*>(child) || !Showing(child))
            continue;
        CollectDocks(child, self, docks);
    }
}

}  // namespace

// --- placement ------------------------------------------------------------

std::vector<TKyCustomToolWindow*> FloatingToolWindows()
{
    return FloatingList();
}

std::vector<TDragRect> MonitorWorkAreas()
{
    std::vector<TDragRect> areas;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info))
                reinterpret_cast<std::vector<TDragRect>*>(data)->push_back(ToDrag(info.rcWork));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    return areas;
}

std::optional<TDockPosition> DockPositionOf(const TControl* control)
{
    for (const TControl* c = control; c; c = c->Parent())
        if (const auto* window = dynamic_cast<const TKyCustomToolWindow*>(c)) {
            if (TKyDock* dock = window->DockedTo())
                return dock->Position();
            return std::nullopt;
        }
    return std::nullopt;
}

void TKyCustomToolWindow::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyToolWindow";
    if (floatForm_ && !Parent()) {
        // Floating: a window of its own, owned by the floating parent; the
        // visibility rules show it.
        params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        params.ExStyle = WS_EX_TOOLWINDOW;
        if (!Enabled())
            params.Style |= WS_DISABLED;
        // The owner window is made first (MakeFloatingWindow): making it
        // here would let what runs between windows ask for this one again.
        if (floatingParent_ && floatingParent_->HandleAllocated())
            params.WndParent = floatingParent_->Handle();
    }
}

void TKyCustomToolWindow::SetFloatingPosition(POINT position)
{
    floatingPosition_ = position;
    floatingPositionSet_ = true;
    if (floatForm_ && (Left() != position.x || Top() != position.y))
        SetBounds(position.x, position.y, Width(), Height());
}

void TKyCustomToolWindow::Float(TForm* form)
{
    if (floatForm_ == form && !dock_)
        return;
    DockChanging(nullptr);
    TKyDock* old = dock_;
    if (old)
        old->BeginUpdate();
    ++moveSuppressed_;
    ScopeExit endOld([this, old] {
        if (old)
            old->EndUpdate();
        --moveSuppressed_;
    });
    {
        BeginUpdate();
        ScopeExit endControls([this] { EndUpdate(); });
        DockChangingHidden(nullptr);
        // A window floated for the first time floats where it was.
        if (!floatingPositionSet_ && HandleAllocated()) {
            RECT r;
            GetWindowRect(handle_, &r);
            floatingPosition_ = POINT{r.left, r.top};
        }
        if (old && !useLastDock_)
            RememberLastDock(nullptr);
        LeaveFloating();
        dock_ = nullptr;
        TWinControl::SetParent(nullptr);
        DestroyWnd();
        floatForm_ = form;
        floatingParent_ = std::make_unique<TFloatingWindowParent>(form);
        FloatingList().push_back(this);
        RegisterToolWindowHookClient(FloatingFocusHookEvent, hpSetFocus);
        SetBounds(floatingPosition_.x, floatingPosition_.y, Width(), Height());
        MakeFloatingWindow();
        arrangeRequested_ = true;
    }
    UpdateFloatingVisibility();
    DockChanged();
}

void TKyCustomToolWindow::MakeFloatingWindow()
{
    if (HandleAllocated() || !floatForm_ || !floatForm_->HandleAllocated() || !floatingParent_)
        return;
    floatingParent_->HandleNeeded();
    if (!HandleAllocated())
        HandleNeeded();
}

void TKyCustomToolWindow::LeaveFloating()
{
    if (!floatForm_)
        return;
    auto& list = FloatingList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    UnregisterToolWindowHookClient(FloatingFocusHookEvent);
    DestroyWnd();
    floatForm_ = nullptr;
    floatingParent_.reset();
}

void TKyCustomToolWindow::MoveOnScreen(bool onlyIfLost)
{
    if (!floatForm_)
        return;
    const TDragRect now{Left(), Top(), Left() + Width(), Top() + Height()};
    const TDragRect moved = KeepOnScreen(now, MonitorWorkAreas(), onlyIfLost);
    if (moved == now)
        return;
    SetFloatingPosition(POINT{moved.Left, moved.Top});
}

void TKyCustomToolWindow::SetVisible(bool visible)
{
    const bool changed = visible != Visible();
    if (floatForm_) {
        TControl::SetVisible(visible);
        UpdateFloatingVisibility();
    } else {
        TWinControl::SetVisible(visible);
    }
    if (changed && OnVisibleChanged)
        OnVisibleChanged(this);
}

void TKyCustomToolWindow::UpdateFloatingVisibility()
{
    UpdateFloatingVisibility(IsAnyWindowActive());
}

void TKyCustomToolWindow::UpdateFloatingVisibility(bool appActive)
{
    if (!floatForm_)
        return;
    // A window floated before its form had a window gets its own now.
    MakeFloatingWindow();
    if (!HandleAllocated())
        return;
    const HWND form = floatForm_->HandleAllocated() ? floatForm_->Handle() : nullptr;
    // The owner window belongs to the form, so that the floating window goes
    // with it; above all forms it belongs to the program's main window (none
    // when there is none), and its form may hide or go without taking it
    // along. A form whose window was made again owns it again.
    if (form && floatingParent_ && floatingParent_->HandleAllocated()) {
        HWND owner = form;
        if (floatingMode_ == TToolWindowFloatingMode::fmOnTopOfAllForms) {
            TForm* main = Application ? Application->MainForm() : nullptr;
            owner = main && main->HandleAllocated() ? main->Handle() : nullptr;
        }
        if (GetWindow(floatingParent_->Handle(), GW_OWNER) != owner)
            SetWindowLongPtrW(floatingParent_->Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    const HWND root = form ? GetAncestor(form, GA_ROOTOWNER) : nullptr;
    TFloatingVisibility rule;
    rule.Showing = Visible();
    rule.OnTopOfParentForm = floatingMode_ == TToolWindowFloatingMode::fmOnTopOfParentForm;
    rule.AppMinimised = root && IsIconic(root);
    rule.FormShowing = form && IsWindowVisible(form) && !IsIconic(form);
    rule.HideWhenInactive = hideWhenInactive_;
    rule.AppActive = appActive;
    const bool show = FloatingWindowShouldShow(rule);
    if (show == (IsWindowVisible(handle_) != FALSE))
        return;
    if (show) {
        const HWND order = floatingMode_ == TToolWindowFloatingMode::fmOnTopOfAllForms ? HWND_TOPMOST : HWND_TOP;
        SetWindowPos(handle_, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return;
    }
    const bool wasActive = GetActiveWindow() == handle_;
    ShowWindow(handle_, SW_HIDE);
    if (wasActive && form && IsWindowVisible(form) && IsWindowEnabled(form))
        SetActiveWindow(form);
}

void TKyCustomToolWindow::SetFloatingMode(TToolWindowFloatingMode mode)
{
    if (mode == floatingMode_)
        return;
    floatingMode_ = mode;
    if (floatForm_ && HandleAllocated()) {
        SetWindowPos(handle_, mode == TToolWindowFloatingMode::fmOnTopOfAllForms ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                     0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        UpdateFloatingVisibility();
    }
}

void TKyCustomToolWindow::SetHideWhenInactive(bool hide)
{
    if (hide == hideWhenInactive_)
        return;
    hideWhenInactive_ = hide;
    UpdateFloatingVisibility();
}

void TKyCustomToolWindow::SetShowCaption(bool show)
{
    if (show == showCaption_)
        return;
    showCaption_ = show;
    if (floatForm_) {
        FrameChanged();
        ArrangeControls();
    }
}

void TKyCustomToolWindow::SetCloseButton(bool show)
{
    if (show == closeButton_)
        return;
    closeButton_ = show;
    RedrawFloatingBorder(fpCaption | fpCloseButton);
}

void TKyCustomToolWindow::SetResizable(bool resizable)
{
    if (resizable == resizable_)
        return;
    resizable_ = resizable;
    if (floatForm_) {
        FrameChanged();
        ArrangeControls();
    }
}

void TKyCustomToolWindow::BoundsChanged()
{
    if (moveSuppressed_ == 0 && (Left() != notifiedPosition_.x || Top() != notifiedPosition_.y))
        Moved();
    if (floatForm_) {
        floatingPosition_ = POINT{Left(), Top()};
        return;
    }
    // The dock's background pattern follows the window's place.
    if (dock_ && dock_->HasBackground() && dock_->BackgroundOnToolbars()) {
        RedrawDockedBorder();
        if (HandleAllocated())
            InvalidateRect(handle_, nullptr, TRUE);
    }
    // A size of the window's own choosing re-arranges its dock.
    if (placing_ == 0 && dock_)
        dock_->ArrangeToolWindows();
}

// --- border ----------------------------------------------------------------

void TKyCustomToolWindow::RedrawDockedBorder()
{
    if (!HandleAllocated() || !dock_)
        return;
    MSG pending;
    while (PeekMessageW(&pending, handle_, kRedrawDockedBorder, kRedrawDockedBorder, PM_REMOVE)) {}
    PostMessageW(handle_, kRedrawDockedBorder, 0, 0);
}

void TKyCustomToolWindow::RedrawFloatingBorder(unsigned parts)
{
    if (!HandleAllocated() || !floatForm_)
        return;
    // One redraw for all requests still waiting, their parts merged.
    MSG pending;
    while (PeekMessageW(&pending, handle_, kRedrawFloatingBorder, kRedrawFloatingBorder, PM_REMOVE))
        parts |= static_cast<unsigned>(pending.lParam);
    PostMessageW(handle_, kRedrawFloatingBorder, 0, static_cast<LPARAM>(parts));
}

void TKyCustomToolWindow::PaintNonClient(HRGN update)
{
    const TWindowDC windowDC(handle_, GetWindowDC(handle_));
    SelectNCUpdateRgn(handle_, windowDC.Get(), update);
    DrawDockedBorder(windowDC.Get());
}

void TKyCustomToolWindow::DrawDockedBorder(HDC dc)
{
    const int saved = SaveDC(dc);
    ScopeExit restore([dc, saved] { RestoreDC(dc, saved); });
    RECT r;
    GetWindowRect(handle_, &r);
    OffsetRect(&r, -r.left, -r.top);
    const RECT nc = NonClientSize();
    ExcludeClipRect(dc, nc.left, nc.top, r.right - nc.right, r.bottom - nc.bottom);
    const TGdiObject faceBrush(CreateSolidBrush(ColorToRGB(Color())));
    const auto face = static_cast<HBRUSH>(faceBrush.Get());
    // The dock's background shows through the border, the pattern going on
    // from the dock's.
    const bool background = dock_ && dock_->HasBackground() && dock_->BackgroundOnToolbars();
    if (background)
        dock_->DrawBackground(dc, r, handle_, true);
    else
        FillRect(dc, &r, face);
    if (borderStyle_ == TToolWindowBorderStyle::bsSingle)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    else
        FrameRect(dc, &r, face);
    if (!background) {
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        FrameRect(dc, &inner, face);
    }
    if (!dock_ || !dock_->AllowDrag())
        return;
    const RECT close = DockedCloseButtonRect();
    const bool withClose = !IsRectEmpty(&close);
    if (dragHandleStyle_ != TDragHandleStyle::dhNone) {
        const bool twoBars = dragHandleStyle_ == TDragHandleStyle::dhDouble;
        const int start = 2 + (withClose ? (twoBars ? 3 : 5) : (twoBars ? 2 : 1));
        for (int bar = 0; bar < (twoBars ? 2 : 1); ++bar) {
            // The bars run across the window, beside the close button.
            RECT grip = IsHorizontalDock() ? RECT{start + 3 * bar, 2, start + 3 * bar + 3, r.bottom - 2}
                                           : RECT{2, start + 3 * bar, r.right - 2, start + 3 * bar + 3};
            if (withClose) {
                if (IsHorizontalDock())
                    grip.top = close.bottom + 2;
                else
                    grip.right = close.left - 2;
            }
            if (!IsRectEmpty(&grip))
                DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        }
    }
    if (withClose) {
        RECT button = close;
        DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | (closePressed_ ? DFCS_PUSHED : 0));
    }
}

RECT TKyCustomToolWindow::DockedCloseButtonRect() const
{
    if (!dock_ || !closeButtonWhenDocked_)
        return RECT{};
    return ToRect(DockedCloseButton(dock_->Orientation(), dock_->AllowDrag(), TDragSize{Width(), Height()}));
}

RECT TKyCustomToolWindow::CloseButtonRect()
{
    return dock_ ? DockedCloseButtonRect() : FloatingCloseButtonRect();
}

int TKyCustomToolWindow::FrameX() const
{
    return GetSystemMetrics(resizable_ ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
}

int TKyCustomToolWindow::FrameY() const
{
    return GetSystemMetrics(resizable_ ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
}

RECT TKyCustomToolWindow::FloatingCloseButtonRect()
{
    if (!closeButton_ || !showCaption_)
        return RECT{};
    const RECT nc = NonClientSize();
    return ToRect(FloatingCloseButton(TDragSize{Width(), Height()}, ToDrag(nc), FrameX(), FrameY()));
}

void TKyCustomToolWindow::PaintFloatingNonClient(unsigned parts, HRGN update)
{
    if (!HandleAllocated())
        return;
    const TWindowDC windowDC(handle_, GetWindowDC(handle_));
    const HDC dc = windowDC.Get();
    SelectNCUpdateRgn(handle_, dc, update);
    RECT r;
    GetWindowRect(handle_, &r);
    OffsetRect(&r, -r.left, -r.top);
    const RECT nc = NonClientSize();
    const int fx = FrameX();
    const int fy = FrameY();
    const RECT caption{fx, fy, r.right - fx, nc.top};
    if (parts & fpFrame) {
        // The frame: a raised edge, the rest of the border in button face.
        const TGdiObject ring(CreateRectRgn(r.left, r.top, r.right, r.bottom));
        const TGdiObject inside(CreateRectRgn(nc.left, nc.top, r.right - nc.right, r.bottom - nc.bottom));
        CombineRgn(static_cast<HRGN>(ring.Get()), static_cast<HRGN>(ring.Get()), static_cast<HRGN>(inside.Get()),
                   RGN_DIFF);
        if (showCaption_) {
            const TGdiObject band(CreateRectRgn(caption.left, caption.top, caption.right, caption.bottom - 1));
            CombineRgn(static_cast<HRGN>(ring.Get()), static_cast<HRGN>(ring.Get()), static_cast<HRGN>(band.Get()),
                       RGN_DIFF);
        }
        FillRgn(dc, static_cast<HRGN>(ring.Get()), GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    }
    if (!showCaption_)
        return;
    if (parts & fpCaption) {
        RECT band = caption;
        band.bottom -= 1;
        const bool active = hideWhenInactive_ || IsAnyWindowActive();
        // Wine paints the caption but answers FALSE; nothing to report.
        DrawCaption(handle_, dc, &band, DC_SMALLCAP | DC_TEXT | DC_GRADIENT | (active ? DC_ACTIVE : 0));
        RECT line{caption.left, caption.bottom - 1, caption.right, caption.bottom};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        parts |= fpCloseButton;
    }
    if ((parts & fpCloseButton) && closeButton_) {
        RECT button = FloatingCloseButtonRect();
        DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | (closePressed_ ? DFCS_PUSHED : 0));
    }
}

int TKyCustomToolWindow::FloatingHit(POINT screen)
{
    RECT r;
    GetWindowRect(handle_, &r);
    const RECT nc = NonClientSize();
    const RECT close = FloatingCloseButtonRect();
    const TFloatingHit hit =
        FloatingHitTest(TDragPoint{screen.x - r.left, screen.y - r.top}, TDragSize{Width(), Height()}, ToDrag(nc),
                        FrameX(), FrameY(), ToDrag(close), resizable_, eightEdges_);
    switch (hit) {
    case fhNowhere:
        return HTBORDER;
    case fhClient:
        return HTCLIENT;
    case fhClose:
        return HTCLOSE;
    default:
        return hit;  // the sizing codes are the system's
    }
}

// --- the loops -------------------------------------------------------------

void TKyCustomToolWindow::BeginDrag(POINT client)
{
    TForm* form = OwningForm();
    if (!form)
        return;
    const HWND window = handle_;
    const RECT ownNc = NonClientSize();

    // Where it may go: the docks, and the size it would have there.
    std::vector<TKyDock*> docks;
    if (dockMode_ == TToolWindowDockMode::dmCannotFloatOrChangeDocks) {
        if (dock_)
            docks.push_back(dock_);
    } else {
        CollectDocks(form, this, docks);
    }
    std::erase_if(
        docks, [this](TKyDock* dock) { return !dock->AllowDrag() || !(dockableTo_ & DockableBit(dock->Position())); });
    TDragState state;
    state.Grab = TDragPoint{client.x + ownNc.left, client.y + ownNc.top};
    state.Extent = TDragSize{Width() - 1, Height() - 1};
    state.CanFloat = dockMode_ == TToolWindowDockMode::dmCanFloat;
    const RECT floatNc = NonClientFor(nullptr);
    const SIZE floating = LayoutControls(false, TDockOrientation::doNoOrient, 0);
    state.FloatingSize =
        TDragSize{floating.cx + floatNc.left + floatNc.right, floating.cy + floatNc.top + floatNc.bottom};
    state.FrameSize = resizable_ ? GetSystemMetrics(SM_CXSIZEFRAME) : GetSystemMetrics(SM_CXFIXEDFRAME);
    state.TopNonClient = floatNc.top;
    std::vector<TDragCandidate> candidates;
    for (TKyDock* dock : docks) {
        TDragCandidate candidate;
        RECT r;
        GetWindowRect(dock->Handle(), &r);
        candidate.ScreenRect = ToDrag(r);
        candidate.Orientation = dock->Orientation();
        if (dock == dock_) {
            candidate.DockedSize = TDragSize{Width(), Height()};
        } else {
            const SIZE size = LayoutControls(false, dock->Orientation(), 0);
            const RECT nc = NonClientFor(dock);
            candidate.DockedSize = TDragSize{size.cx + nc.left + nc.right, size.cy + nc.top + nc.bottom};
        }
        candidates.push_back(candidate);
    }
    const TRequestDock requestDock = [this, &docks](int i) {
        bool accept = true;
        if (docks[i]->OnRequestDock)
            docks[i]->OnRequestDock(docks[i], this, accept);
        return accept;
    };

    // Pending paints first: nothing repaints while the desktop is locked.
    for (int i = 0; i < 64; ++i) {
        MSG paint;
        if (!PeekMessageW(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            break;
        DispatchMessageW(&paint);
    }

    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    POINT cursor = client;
    ClientToScreen(window, &cursor);
    TToolWindowDragResult result;
    const HCURSOR startCursor = GetCursor();
    bool accepted = false;
    {
        TDesktopFrame frame;
        auto evaluate = [&] {
            result =
                EvaluateDrag(TDragPoint{cursor.x, cursor.y}, ctrl, state, candidates, requestDock, WorkAreaAt(cursor));
            SetCursor(result.Frame.Empty() ? LoadCursorW(nullptr, IDC_NO) : startCursor);
            frame.Draw(ToRect(result.Frame), result.Target >= 0 ? 1 : state.FrameSize);
        };
        evaluate();
        try {
            accepted = CaptureLoop(window, true, [&](const MSG& msg) {
                switch (msg.message) {
                case WM_KEYDOWN:
                case WM_KEYUP:
                    if (msg.wParam == VK_ESCAPE)
                        return TLoopStep::Cancel;
                    if (msg.wParam == VK_CONTROL) {
                        const bool down = msg.message == WM_KEYDOWN;
                        if (down != ctrl) {
                            ctrl = down;
                            evaluate();
                        }
                    }
                    return TLoopStep::Continue;
                case WM_SYSKEYDOWN:
                case WM_SYSKEYUP:
                case WM_CHAR:
                case WM_SYSCHAR:
                    return TLoopStep::Continue;
                case WM_MOUSEMOVE:
                case WM_LBUTTONUP:
                    cursor = ScreenPointOf(msg, window);
                    if (((msg.wParam & MK_CONTROL) != 0) != ctrl)
                        ctrl = (msg.wParam & MK_CONTROL) != 0;
                    evaluate();
                    return msg.message == WM_LBUTTONUP ? TLoopStep::Accept : TLoopStep::Continue;
                case WM_LBUTTONDOWN:
                case WM_LBUTTONDBLCLK:
                    return TLoopStep::Cancel;
                default:
                    return IsMouseButtonMessage(msg.message) ? TLoopStep::Continue : TLoopStep::Dispatch;
                }
            });
        } catch (...) {
            TraceIgnoredException(L"dragging a tool window");
            accepted = false;
        }
        SetCursor(startCursor);
    }  // the frame is erased and the desktop unlocked here
    if (!accepted || result.Frame.Empty())
        return;
    if (result.Target >= 0) {
        DropInto(docks[result.Target], ToRect(result.Frame));
        return;
    }
    floatingPosition_ = POINT{result.Frame.Left, result.Frame.Top};
    floatingPositionSet_ = true;
    if (floatForm_)
        SetBounds(result.Frame.Left, result.Frame.Top, Width(), Height());
    else
        SetParent(form);
    MoveOnScreen(false);
}

void TKyCustomToolWindow::DropInto(TKyDock* dock, const RECT& frame)
{
    RECT r = frame;
    MapWindowPoints(nullptr, dock->Handle(), reinterpret_cast<POINT*>(&r), 2);
    const bool horizontal = dock->Orientation() != TDockOrientation::doVertical;
    const int centre = horizontal ? (r.top + r.bottom) / 2 : (r.left + r.right) / 2;
    const std::vector<TKyCustomToolWindow*> others = [&] {
        std::vector<TKyCustomToolWindow*> list = dock->ToolWindows();
        std::erase(list, this);
        return list;
    }();
    const TDockDrop drop = DecideDockDrop(dock->rowThickness_, centre, fullSize_, [&](int row) {
        return std::any_of(others.begin(), others.end(),
                           [row](TKyCustomToolWindow* w) { return w->Visible() && w->dockRow_ == row; });
    });
    // The rows are written directly: the one arrangement below places them all.
    if (drop.ShiftFrom)
        for (TKyCustomToolWindow* other : others)
            if (other->dockRow_ >= drop.ShiftFromRow)
                ++other->dockRow_;
    dockRow_ = drop.Row;
    dockPos_ = std::max(0, int(horizontal ? r.left : r.top));
    if (dock == dock_)
        dock->ArrangeToolWindows(true);
    else
        Dock(dock, true);
}

void TKyCustomToolWindow::DoubleClick()
{
    if (dock_) {
        if (dockMode_ != TToolWindowDockMode::dmCanFloat)
            return;
        if (TForm* form = OwningForm()) {
            SetParent(form);
            MoveOnScreen(false);
        }
        return;
    }
    if (!floatForm_)
        return;
    if (lastDock_) {
        SetParent(lastDock_);
    } else if (defaultDock_) {
        dockRow_ = 0;
        dockPos_ = -8;
        SetParent(defaultDock_);
    }
}

void TKyCustomToolWindow::CloseButtonLoop()
{
    const HWND window = handle_;
    auto inButton = [this, window](POINT screen) {
        RECT r;
        GetWindowRect(window, &r);
        RECT button = CloseButtonRect();
        OffsetRect(&button, r.left, r.top);
        return PtInRect(&button, screen) != FALSE;
    };
    auto press = [this](bool pressed) {
        if (pressed == closePressed_)
            return;
        closePressed_ = pressed;
        if (dock_)
            PaintNonClient();
        else
            PaintFloatingNonClient(fpCloseButton);
    };
    press(true);
    bool accepted = false;
    try {
        accepted = CaptureLoop(window, false, [&](const MSG& msg) {
            switch (msg.message) {
            case WM_MOUSEMOVE:
                press(inButton(ScreenPointOf(msg, window)));
                return TLoopStep::Continue;
            case WM_LBUTTONUP:
                press(inButton(ScreenPointOf(msg, window)));
                return closePressed_ ? TLoopStep::Accept : TLoopStep::Cancel;
            case WM_KEYDOWN:
                return msg.wParam == VK_ESCAPE ? TLoopStep::Cancel : TLoopStep::Continue;
            default:
                return IsMouseButtonMessage(msg.message) ? TLoopStep::Continue : TLoopStep::Dispatch;
            }
        });
    } catch (...) {
        TraceIgnoredException(L"the close button of a tool window");
    }
    if (HandleAllocated() && handle_ == window)
        press(false);
    if (!accepted)
        return;
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose)
        return;
    SetVisible(false);
    if (OnClose)
        OnClose(this);
}

void TKyCustomToolWindow::ResizeLoop(int band, POINT start)
{
    const HWND window = handle_;
    const RECT nc = NonClientSize();
    const SIZE minClient = GetMinimumClientSize();
    const int minWidth = minClient.cx + nc.left + nc.right;
    const int minHeight = minClient.cy + nc.top + nc.bottom;
    RECT startRect;
    GetWindowRect(window, &startRect);
    RECT rect = startRect;
    const bool left = band == HTLEFT || band == HTTOPLEFT || band == HTBOTTOMLEFT;
    const bool right = band == HTRIGHT || band == HTTOPRIGHT || band == HTBOTTOMRIGHT;
    const bool top = band == HTTOP || band == HTTOPLEFT || band == HTTOPRIGHT;
    const bool bottom = band == HTBOTTOM || band == HTBOTTOMLEFT || band == HTBOTTOMRIGHT;
    const int thickness = FrameX();
    ResizeStart(band);
    bool accepted = false;
    {
        ScopeExit ended([this, &accepted] { ResizeEnd(accepted); });
        try {
            TDesktopFrame frame;
            frame.Draw(rect, thickness);
            if (confineCursor_ && GetSystemMetrics(SM_CMONITORS) <= 1) {
                const RECT work = ToRect(WorkAreaAt(start));
                ClipCursor(&work);
            }
            ScopeExit unclip([] { ClipCursor(nullptr); });
            accepted = CaptureLoop(window, true, [&](const MSG& msg) {
                switch (msg.message) {
                case WM_MOUSEMOVE:
                case WM_LBUTTONUP: {
                    const POINT p = ScreenPointOf(msg, window);
                    RECT r = startRect;
                    if (left)
                        r.left = std::min<LONG>(r.left + p.x - start.x, r.right - minWidth);
                    if (right)
                        r.right = std::max<LONG>(r.right + p.x - start.x, r.left + minWidth);
                    if (top)
                        r.top = std::min<LONG>(r.top + p.y - start.y, r.bottom - minHeight);
                    if (bottom)
                        r.bottom = std::max<LONG>(r.bottom + p.y - start.y, r.top + minHeight);
                    ResizeChange(band, r);
                    rect = r;
                    frame.Draw(rect, thickness);
                    return msg.message == WM_LBUTTONUP ? TLoopStep::Accept : TLoopStep::Continue;
                }
                case WM_KEYDOWN:
                    return msg.wParam == VK_ESCAPE ? TLoopStep::Cancel : TLoopStep::Continue;
                case WM_KEYUP:
                case WM_CHAR:
                    return TLoopStep::Continue;
                default:
                    return IsMouseButtonMessage(msg.message) ? TLoopStep::Continue : TLoopStep::Dispatch;
                }
            });
        } catch (...) {
            TraceIgnoredException(L"resizing a tool window");
            accepted = false;
        }
        if (accepted) {
            BeginUpdate();
            ScopeExit resume([this] {
                arrangeRequested_ = false;
                EndUpdate();
            });
            SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        }
    }
    if (accepted) {
        ArrangeControls();
        MoveOnScreen(true);
    }
}

void TKyCustomToolWindow::MouseActivate()
{
    SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (activateParent_ && floatingMode_ == TToolWindowFloatingMode::fmOnTopOfParentForm && floatForm_ &&
        floatForm_->HandleAllocated()) {
        const HWND form = floatForm_->Handle();
        if (GetActiveWindow() != form && IsWindowVisible(form) && IsWindowEnabled(form))
            SetActiveWindow(form);
    }
}

// --- messages --------------------------------------------------------------

void TKyCustomToolWindow::WndProc(TMessage& message)
{
    const bool floating = floatForm_ != nullptr && !Parent();
    const bool draggable = floating || (dock_ && dock_->AllowDrag());
    switch (message.Msg) {
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(message.LParam);
        const RECT nc = NonClientSize();
        r->left += nc.left;
        r->top += nc.top;
        r->right = std::max(r->left, r->right - nc.right);
        r->bottom = std::max(r->top, r->bottom - nc.bottom);
        message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (floating)
            PaintFloatingNonClient(fpFrame | fpCaption | fpCloseButton, reinterpret_cast<HRGN>(message.WParam));
        else
            PaintNonClient(reinterpret_cast<HRGN>(message.WParam));
        message.Result = 0;
        return;
    case WM_NCACTIVATE:
        if (floating) {
            RedrawFloatingBorder(fpCaption);
            message.Result = TRUE;
            return;
        }
        break;
    case WM_NCHITTEST: {
        const POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (floating) {
            message.Result = FloatingHit(at);
            return;
        }
        // Docked: all client, but for the close button in the handle band.
        RECT close = DockedCloseButtonRect();
        RECT r;
        GetWindowRect(handle_, &r);
        OffsetRect(&close, r.left, r.top);
        message.Result = PtInRect(&close, at) ? HTCLOSE : HTCLIENT;
        return;
    }
    case WM_LBUTTONDOWN:
        message.Result = 0;
        if (draggable) {
            BeginDrag(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
            // The press ends with a release nowhere, as the loop took the real one.
            if (HandleAllocated())
                Perform(WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
        }
        return;
    case WM_LBUTTONDBLCLK:
        message.Result = 0;
        if (draggable)
            DoubleClick();
        return;
    case WM_NCLBUTTONDOWN:
        if (!floating && dock_ && message.WParam == HTCLOSE) {
            message.Result = 0;
            CloseButtonLoop();
            return;
        }
        if (floating) {
            message.Result = 0;
            const POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            if (message.WParam == HTCLOSE)
                CloseButtonLoop();
            else if (resizable_ && message.WParam >= HTLEFT && message.WParam <= HTBOTTOMRIGHT)
                ResizeLoop(static_cast<int>(message.WParam), at);
            return;
        }
        break;
    case WM_NCLBUTTONDBLCLK:
        if (floating || message.WParam == HTCLOSE) {
            message.Result = 0;
            return;
        }
        break;
    case WM_MOUSEACTIVATE:
        if (floating) {
            MouseActivate();
            message.Result = MA_NOACTIVATE;
            return;
        }
        break;
    case WM_ACTIVATE:
        if (floating && LOWORD(message.WParam) != WA_INACTIVE && floatForm_->HandleAllocated() &&
            IsWindowVisible(floatForm_->Handle()) && IsWindowEnabled(floatForm_->Handle())) {
            // The form keeps the activation.
            SetActiveWindow(floatForm_->Handle());
            message.Result = 0;
            return;
        }
        break;
    case WM_CLOSE:
        if (floating) {
            if (floatForm_->HandleAllocated())
                PostMessageW(floatForm_->Handle(), WM_CLOSE, 0, 0);
            message.Result = 0;
            return;
        }
        break;
    case WM_GETMINMAXINFO:
        if (floating) {
            auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
            info->ptMinTrackSize = POINT{1, 1};
            info->ptMaxTrackSize = POINT{32767, 32767};
            message.Result = 0;
            return;
        }
        break;
    case WM_SETTEXT:
        TWinControl::WndProc(message);
        RedrawFloatingBorder(fpCaption);
        return;
    case WM_PRINT:
        if (dock_ && !floating) {
            // The border as it is painted, then the client and the children
            // at the client's offset.
            const auto dc = reinterpret_cast<HDC>(message.WParam);
            const auto flags = static_cast<unsigned>(message.LParam);
            if (flags & PRF_NONCLIENT)
                DrawDockedBorder(dc);
            const RECT nc = NonClientSize();
            PrintClientAndChildren(handle_, dc, flags, POINT{nc.left, nc.top});
            message.Result = 0;
            return;
        }
        break;
    case kRedrawDockedBorder:
        if (dock_)
            PaintNonClient();
        message.Result = 0;
        return;
    case kKeepAboveForm:
        PlaceAboveForm();
        message.Result = 0;
        return;
    case kRedrawFloatingBorder:
        if (floating)
            PaintFloatingNonClient(static_cast<unsigned>(message.LParam));
        message.Result = 0;
        return;
    case WM_SYSCOLORCHANGE:
        RedrawDockedBorder();
        RedrawFloatingBorder(fpFrame | fpCaption | fpCloseButton);
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// --- host events -------------------------------------------------------------

void ProcessToolWindowHookEvent(int Code, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    // A window's reaction may free another floating window: each is looked
    // up again before it is asked.
    const std::vector<TKyCustomToolWindow*> windows = FloatingList();
    for (TKyCustomToolWindow* window : windows) {
        if (!IsFloatingNow(window))
            continue;
        switch (Code) {
        case 0:
            window->UpdateFloatingVisibility(WParam != 0);
            break;
        case 1: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(LParam);
            TForm* form = window->FloatingForm();
            if (!pos || !form || !form->HandleAllocated())
                break;
            const HWND formWindow = form->Handle();
            if (Wnd == formWindow && !(pos->flags & SWP_NOZORDER))
                window->KeepAboveForm();
            if (!(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)))
                break;
            if (window->FloatingMode() != TToolWindowFloatingMode::fmOnTopOfParentForm)
                break;
            if (Wnd == formWindow || IsChild(Wnd, formWindow))
                window->UpdateFloatingVisibility();
            break;
        }
        case 2:
            window->OwnerDestroyed(Wnd);
            break;
        case 4: {
            // The system may put a form on top of the display when the
            // focus moves into it without telling of a new place (Wine's
            // X11 driver raises the focus's top-level window): the windows
            // floating above it go above it again.
            TForm* form = window->FloatingForm();
            if (Wnd && form && form->HandleAllocated() && (Wnd == form->Handle() || IsChild(form->Handle(), Wnd)))
                window->KeepAboveForm();
            break;
        }
        default:
            break;
        }
    }
}

void TKyCustomToolWindow::KeepAboveForm()
{
    // The system keeps a window above its owner, but not always above its
    // owner's owner, and it may still rearrange the windows after telling
    // of the form's move: the floating window goes back above the form once
    // that is over.
    if (!HandleAllocated() || floatingMode_ == TToolWindowFloatingMode::fmOnTopOfAllForms)
        return;
    MSG pending;
    while (PeekMessageW(&pending, handle_, kKeepAboveForm, kKeepAboveForm, PM_REMOVE)) {}
    PostMessageW(handle_, kKeepAboveForm, 0, 0);
}

void TKyCustomToolWindow::PlaceAboveForm()
{
    if (!HandleAllocated() || !floatForm_ || !floatForm_->HandleAllocated() || !IsWindowVisible(handle_))
        return;
    const HWND form = floatForm_->Handle();
    // Just above the form and the floating windows already above it, below
    // the nearest shown window above them. A hidden window (the floating
    // windows' owner windows among them) is no anchor: it has no place on
    // the display.
    auto floatingWindow = [](HWND window) {
        for (TKyCustomToolWindow* floating : FloatingList())
            if (floating->HandleAllocated() && floating->handle_ == window)
                return true;
        return false;
    };
    HWND above = GetWindow(form, GW_HWNDPREV);
    while (above && (floatingWindow(above) || !IsWindowVisible(above)))
        above = GetWindow(above, GW_HWNDPREV);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    // The form may have been put on top on the display after this window
    // (activating it does), while the window list still has this window
    // first. Wine changes the order on the display only when a window
    // really moves, and only by raising it to the top: a window already
    // first is taken below the form and raised again, or the form would
    // stay over it on the display and later in the window list too.
    if (!above && !GetWindow(handle_, GW_HWNDPREV))
        SetWindowPos(handle_, form, 0, 0, 0, 0, flags);
    SetWindowPos(handle_, above ? above : HWND_TOP, 0, 0, 0, 0, flags);
}

void TKyCustomToolWindow::OwnerDestroyed(HWND destroyed)
{
    // The floating parent outlives a form window made again: it leaves the
    // owner that goes.
    if (!floatingParent_ || !floatingParent_->HandleAllocated())
        return;
    const HWND parent = floatingParent_->Handle();
    if (destroyed && GetWindow(parent, GW_OWNER) == destroyed)
        SetWindowLongPtrW(parent, GWLP_HWNDPARENT, 0);
}

}  // namespace qrv

#include "widgets/win/KyDock.h"

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/WindowPrint.h"
#include "widgets/win/KyDockCommon.h"

#include <algorithm>

namespace qrv {

namespace {

bool IsHorizontal(TDockOrientation orientation)
{
    return orientation != TDockOrientation::doVertical;
}

void ForceFrameChange(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TDockOrientation GetDockOrientation(const TKyDock* dock)
{
    if (!dock)
        return TDockOrientation::doNoOrient;
    return dock->Orientation();
}

// --- TKyDock ------------------------------------------------------------

TKyDock::TKyDock(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 0);
    SetAlign(TAlign::alTop);
}

TKyDock::~TKyDock()
{
    DestroyComponents();
    // Tool windows that outlive their dock forget it.
    for (TKyCustomToolWindow* window : ToolWindows())
        window->dock_ = nullptr;
    for (TKyCustomToolWindow* window : TKyCustomToolWindow::AllToolWindows()) {
        if (window->lastDock_ == this)
            window->lastDock_ = nullptr;
        if (window->defaultDock_ == this)
            window->defaultDock_ = nullptr;
    }
}

void TKyDock::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyDock";
    params.ClassStyle = CS_DBLCLKS;  // rows repaint themselves; no full redraw on resize
}

void TKyDock::SetParent(TWinControl* parent)
{
    if (dynamic_cast<TKyCustomToolWindow*>(parent) || dynamic_cast<TKyDock*>(parent))
        throw EInvalidOperation(L"A TKyDock control cannot be placed inside a tool window or another TKyDock");
    TWinControl::SetParent(parent);
}

void TKyDock::SetPosition(TDockPosition position)
{
    if (position == position_)
        return;
    if (ControlCount() > 0)
        throw EInvalidOperation(L"Cannot change Position of a TKyDock if it already contains controls");
    position_ = position;
    switch (position) {
    case TDockPosition::dpTop:
        SetAlign(TAlign::alTop);
        break;
    case TDockPosition::dpBottom:
        SetAlign(TAlign::alBottom);
        break;
    case TDockPosition::dpLeft:
        SetAlign(TAlign::alLeft);
        break;
    case TDockPosition::dpRight:
        SetAlign(TAlign::alRight);
        break;
    }
    ArrangeToolWindows();
}

void TKyDock::SetAllowDrag(bool allowDrag)
{
    if (allowDrag == allowDrag_)
        return;
    allowDrag_ = allowDrag;
    // The drag handles appear or vanish.
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    for (TKyCustomToolWindow* window : ToolWindows()) {
        window->FrameChanged();
        window->ArrangeControls();
    }
}

void TKyDock::SetBoundLines(TDockBoundLines lines)
{
    if (lines == boundLines_)
        return;
    boundLines_ = lines;
    FrameChanged();
    ArrangeToolWindows();
}

void TKyDock::SetFixAlign(bool fixAlign)
{
    if (fixAlign == fixAlign_)
        return;
    fixAlign_ = fixAlign;
    ArrangeToolWindows();
}

void TKyDock::SetLimitToOneRow(bool limit)
{
    if (limit == limitToOneRow_)
        return;
    limitToOneRow_ = limit;
    ArrangeToolWindows();
}

void TKyDock::BeginUpdate()
{
    ++updateCount_;
}

void TKyDock::EndUpdate()
{
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0 && arrangeRequested_)
        ArrangeToolWindows(clipPositions_);
}

TDockOrientation TKyDock::Orientation() const
{
    return position_ == TDockPosition::dpTop || position_ == TDockPosition::dpBottom ? TDockOrientation::doHorizontal
                                                                                     : TDockOrientation::doVertical;
}

int TKyDock::RowThickness(int row) const
{
    if (row < 0 || row >= static_cast<int>(rowThickness_.size()))
        return 0;
    return rowThickness_[row];
}

int TKyDock::RowAtPosition(int offset, bool& insert) const
{
    return qrv::RowAtPosition(rowThickness_, offset, insert);
}

int TKyDock::RowFromOffset(int offset) const
{
    return qrv::RowFromOffset(rowThickness_, offset);
}

int TKyDock::NonClientAcross() const
{
    if (IsHorizontal(Orientation()))
        return ((boundLines_ & blTop) ? 1 : 0) + ((boundLines_ & blBottom) ? 1 : 0);
    return ((boundLines_ & blLeft) ? 1 : 0) + ((boundLines_ & blRight) ? 1 : 0);
}

int TKyDock::ClientLength()
{
    RECT r = ClientRect();
    if (!HandleAllocated()) {
        r.right -= ((boundLines_ & blLeft) ? 1 : 0) + ((boundLines_ & blRight) ? 1 : 0);
        r.bottom -= ((boundLines_ & blTop) ? 1 : 0) + ((boundLines_ & blBottom) ? 1 : 0);
    }
    return std::max(0, IsHorizontal(Orientation()) ? int(r.right - r.left) : int(r.bottom - r.top));
}

std::vector<TKyCustomToolWindow*> TKyDock::ToolWindows() const
{
    std::vector<TKyCustomToolWindow*> windows;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* window = dynamic_cast<TKyCustomToolWindow*>(Controls(i)))
            windows.push_back(window);
    return windows;
}

void TKyDock::ForgetToolWindow(TKyCustomToolWindow* window)
{
    visible_.erase(std::remove(visible_.begin(), visible_.end(), window), visible_.end());
}

std::vector<std::pair<bool, TKyCustomToolWindow*>> TKyDock::UpdateVisibleToolWindows()
{
    std::vector<TKyCustomToolWindow*> now;
    for (TKyCustomToolWindow* window : ToolWindows())
        if (window->Visible())
            now.push_back(window);
    std::vector<std::pair<bool, TKyCustomToolWindow*>> changes;
    for (TKyCustomToolWindow* window : visible_)
        if (std::find(now.begin(), now.end(), window) == now.end())
            changes.emplace_back(false, window);
    for (TKyCustomToolWindow* window : now)
        if (std::find(visible_.begin(), visible_.end(), window) == visible_.end())
            changes.emplace_back(true, window);
    for (const auto& [inserting, window] : changes) {
        if (inserting)
            visible_.push_back(window);
        else
            ForgetToolWindow(window);
    }
    return changes;
}

void TKyDock::Realign()
{
    if (Destroying())
        return;
    const auto changes = UpdateVisibleToolWindows();
    ArrangeToolWindows();
    if (OnInsertRemoveBar)
        for (const auto& [inserting, window] : changes)
            OnInsertRemoveBar(this, inserting, window);
}

void TKyDock::ArrangeToolWindows(bool clipPositions)
{
    if (clipPositions)
        clipPositions_ = true;
    if (updateCount_ > 0 || Destroying()) {
        arrangeRequested_ = true;
        return;
    }
    ++updateCount_;
    ScopeExit done([this] {
        --updateCount_;
        arrangeRequested_ = false;
        clipPositions_ = false;
    });
    if (HandleAllocated())
        SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const TDockOrientation orientation = Orientation();
    const bool horizontal = IsHorizontal(orientation);
    const std::vector<TKyCustomToolWindow*> windows = ToolWindows();
    std::vector<TDockBar> bars;
    for (TKyCustomToolWindow* window : windows)
        bars.push_back(TDockBar{window->dockRow_, window->dockPos_, window->fullSize_, window->Visible(),
                                horizontal ? window->Width() : window->Height(), window->GetRowThickness(orientation)});
    TDockArrangeOptions options;
    options.ClientLength = ClientLength();
    options.LimitToOneRow = limitToOneRow_;
    options.ClipPositions = clipPositions_;
    options.FixAlign = fixAlign_;
    const TDockArrangement arrangement = ArrangeDockBars(bars, options);
    rowThickness_ = arrangement.RowThickness;

    for (size_t i = 0; i < windows.size(); ++i) {
        windows[i]->dockRow_ = bars[i].DockRow;
        windows[i]->dockPos_ = bars[i].DockPos;
    }
    for (size_t i = 0; i < windows.size(); ++i) {
        if (!bars[i].Visible)
            continue;
        TKyCustomToolWindow* window = windows[i];
        const TDockPlace& place = arrangement.Places[i];
        ++window->placing_;
        ScopeExit placed([window] { --window->placing_; });
        if (horizontal)
            window->SetBounds(place.Pos, place.RowOffset, place.Length, place.Extent);
        else
            window->SetBounds(place.RowOffset, place.Pos, place.Extent, place.Length);
    }

    // The dock takes the thickness of its rows; its aligned edge stays put.
    const int thickness = arrangement.Thickness + NonClientAcross();
    switch (position_) {
    case TDockPosition::dpTop:
        if (Height() != thickness)
            SetHeight(thickness);
        break;
    case TDockPosition::dpBottom:
        if (Height() != thickness)
            SetBounds(Left(), Top() + Height() - thickness, Width(), thickness);
        break;
    case TDockPosition::dpLeft:
        if (Width() != thickness)
            SetWidth(thickness);
        break;
    case TDockPosition::dpRight:
        if (Width() != thickness)
            SetBounds(Left() + Width() - thickness, Top(), thickness, Height());
        break;
    }
}

void TKyDock::FrameChanged()
{
    if (HandleAllocated())
        ForceFrameChange(handle_);
}

RECT TKyDock::BoundLineWidths() const
{
    return RECT{(boundLines_ & blLeft) ? 1 : 0, (boundLines_ & blTop) ? 1 : 0, (boundLines_ & blRight) ? 1 : 0,
                (boundLines_ & blBottom) ? 1 : 0};
}

void TKyDock::PaintNonClient(HDC dc)
{
    RECT r;
    GetWindowRect(handle_, &r);
    OffsetRect(&r, -r.left, -r.top);
    // What the lines and the client area leave of the frame takes the colour.
    const RECT lines = BoundLineWidths();
    RECT inner{r.left + lines.left, r.top + lines.top, r.right - lines.right, r.bottom - lines.bottom};
    RECT client;
    GetClientRect(handle_, &client);
    OffsetRect(&client, lines.left, lines.top);
    {
        const int saved = SaveDC(dc);
        ScopeExit restore([dc, saved] { RestoreDC(dc, saved); });
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        const TGdiObject fill(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &inner, static_cast<HBRUSH>(fill.Get()));
    }
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH highlight = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    auto line = [dc](RECT area, HBRUSH brush) { FillRect(dc, &area, brush); };
    if (boundLines_ & blTop)
        line({r.left, r.top, r.right, r.top + 1}, shadow);
    if (boundLines_ & blLeft)
        line({r.left, r.top, r.left + 1, r.bottom}, shadow);
    if (boundLines_ & blBottom)
        line({r.left, r.bottom - 1, r.right, r.bottom}, highlight);
    if (boundLines_ & blRight)
        line({r.right - 1, r.top, r.right, r.bottom}, highlight);
}

void TKyDock::SetBackground(const TBitmap* bitmap)
{
    background_.Assign(bitmap);
    BackgroundChanged();
}

void TKyDock::SetBackgroundTransparent(bool transparent)
{
    if (transparent == backgroundTransparent_)
        return;
    backgroundTransparent_ = transparent;
    BackgroundChanged();
}

void TKyDock::BackgroundChanged()
{
    transparentCache_ = TGdiObject();
    if (!HandleAllocated())
        return;
    RedrawWindow(handle_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

HBITMAP TKyDock::BackgroundToDraw()
{
    if (!backgroundTransparent_)
        return background_.Handle();
    if (!transparentCache_) {
        const int w = background_.Width();
        const int h = background_.Height();
        const TWindowDC screen(nullptr, GetDC(nullptr));
        const TOwnDC sourceDC(CreateCompatibleDC(nullptr));
        const TOwnDC cacheDC(CreateCompatibleDC(nullptr));
        TGdiObject cache(CreateCompatibleBitmap(screen.Get(), w, h));
        {
            const TSelectObject selectSource(sourceDC.Get(), background_.Handle());
            const TSelectObject selectCache(cacheDC.Get(), cache.Get());
            BitBlt(cacheDC.Get(), 0, 0, w, h, sourceDC.Get(), 0, 0, SRCCOPY);
            const COLORREF key = GetPixel(cacheDC.Get(), 0, h - 1);
            const COLORREF colour = ColorToRGB(Color());
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (GetPixel(cacheDC.Get(), x, y) == key)
                        SetPixel(cacheDC.Get(), x, y, colour);
        }
        transparentCache_ = std::move(cache);
    }
    return static_cast<HBITMAP>(transparentCache_.Get());
}

void TKyDock::DrawBackground(HDC dc, const RECT& area, HWND window, bool windowDC)
{
    if (!HasBackground() || IsRectEmpty(&area))
        return;
    // Where the DC's origin lies in the parent's client area: the tiles
    // start from there.
    POINT origin{0, 0};
    if (windowDC) {
        RECT r;
        GetWindowRect(window, &r);
        origin = POINT{r.left, r.top};
    } else {
        ClientToScreen(window, &origin);
    }
    const HWND parent = Parent() && Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
    if (parent)
        ScreenToClient(parent, &origin);
    const int w = background_.Width();
    const int h = background_.Height();
    const int startX = area.left - ((origin.x + area.left) % w + w) % w;
    const int startY = area.top - ((origin.y + area.top) % h + h) % h;
    const TOwnDC tileDC(CreateCompatibleDC(dc));
    const TSelectObject select(tileDC.Get(), BackgroundToDraw());
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    for (int y = startY; y < area.bottom; y += h)
        for (int x = startX; x < area.right; x += w)
            BitBlt(dc, x, y, w, h, tileDC.Get(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
}

void TKyDock::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND:
        if (HasBackground()) {
            RECT r;
            GetClientRect(handle_, &r);
            DrawBackground(reinterpret_cast<HDC>(message.WParam), r, handle_, false);
            message.Result = 1;
            return;
        }
        break;
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(message.LParam);
        const RECT lines = BoundLineWidths();
        r->top += lines.top;
        r->bottom -= lines.bottom;
        r->left += lines.left;
        r->right -= lines.right;
        r->bottom = std::max(r->bottom, r->top);
        r->right = std::max(r->right, r->left);
        message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (boundLines_ != 0 && !visible_.empty()) {
            const TWindowDC windowDC(handle_, GetWindowDC(handle_));
            PaintNonClient(windowDC.Get());
        }
        message.Result = 0;
        return;
    case WM_PRINT: {
        // The same frame as on the screen, then the dock's own client area
        // and the tool windows in it.
        const auto dc = reinterpret_cast<HDC>(message.WParam);
        const auto flags = static_cast<unsigned>(message.LParam);
        if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(handle_)) {
            message.Result = 0;
            return;
        }
        if ((flags & PRF_NONCLIENT) && boundLines_ != 0 && !visible_.empty())
            PaintNonClient(dc);
        const RECT lines = BoundLineWidths();
        PrintClientAndChildren(handle_, dc, flags, POINT{lines.left, lines.top});
        message.Result = 0;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// --- TKyCustomToolWindow --------------------------------------------------

std::vector<TKyCustomToolWindow*>& TKyCustomToolWindow::AllToolWindows()
{
    static std::vector<TKyCustomToolWindow*> windows;
    return windows;
}

TKyCustomToolWindow::TKyCustomToolWindow(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 100, 26);
    AllToolWindows().push_back(this);
    RegisterToolWindowHookClient(ProcessToolWindowHookEvent, hpSendActivateApp | hpSendWindowPosChanged | hpPreDestroy);
}

TKyCustomToolWindow::~TKyCustomToolWindow()
{
    DestroyComponents();
    if (dock_)
        dock_->ForgetToolWindow(this);
    RememberLastDock(nullptr);
    LeaveFloating();
    auto& all = AllToolWindows();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    UnregisterToolWindowHookClient(ProcessToolWindowHookEvent);
}

void TKyCustomToolWindow::RememberLastDock(TKyDock* dock)
{
    if (dock == lastDock_)
        return;
    if (lastDock_) {
        auto& list = lastDock_->remembering_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    lastDock_ = dock;
    if (lastDock_)
        lastDock_->remembering_.push_back(this);
}

void TKyCustomToolWindow::SetLastDock(TKyDock* dock)
{
    if (useLastDock_ && dock_)
        dock = dock_;  // a docked window's last dock is its dock
    if (dock == lastDock_)
        return;
    RememberLastDock(dock);
    useLastDock_ = true;
}

void TKyCustomToolWindow::SetUseLastDock(bool use)
{
    useLastDock_ = use;
    RememberLastDock(use ? dock_ : nullptr);
}

TForm* TKyCustomToolWindow::OwningForm() const
{
    TComponent* owner = Owner();
    while (owner && !dynamic_cast<TForm*>(owner))
        owner = owner->Owner();
    return static_cast<TForm*>(owner);
}

void TKyCustomToolWindow::SetParent(TWinControl* parent)
{
    if (!parent) {
        // The dock raises OnInsertRemoveBar when the window leaves it.
        LeaveFloating();
        dock_ = nullptr;
        TWinControl::SetParent(nullptr);
        return;
    }
    if (auto* form = dynamic_cast<TForm*>(parent)) {
        Float(form);
        return;
    }
    auto* dock = dynamic_cast<TKyDock*>(parent);
    if (!dock)
        throw EInvalidOperation(L"A tool window can only be placed on a TKyDock or directly on the form");
    Dock(dock);
}

void TKyCustomToolWindow::Dock(TKyDock* dock, bool clipPositions)
{
    if (dock == dock_)
        return;
    DockChanging(dock);
    TKyDock* old = dock_;
    if (old)
        old->BeginUpdate();
    dock->BeginUpdate();
    ++moveSuppressed_;
    {
        ScopeExit endDocks([this, old, dock] {
            dock->EndUpdate();
            if (old)
                old->EndUpdate();
            --moveSuppressed_;  // the docks' arrangement is part of the move
        });
        BeginUpdate();
        ScopeExit endControls([this] { EndUpdate(); });
        DockChangingHidden(dock);
        // A floating window gives up its own window; the dock makes a child one.
        LeaveFloating();
        dock_ = dock;
        try {
            TWinControl::SetParent(dock);
        } catch (...) {
            dock_ = old;
            throw;
        }
        if (useLastDock_)
            RememberLastDock(dock);
        FrameChanged();
        arrangeRequested_ = true;
        if (clipPositions)
            dock->ArrangeToolWindows(true);  // carried out at the dock's EndUpdate
    }
    DockChanged();
}

void TKyCustomToolWindow::DockChanging(TKyDock* to)
{
    if (Destroying())
        return;
    if (OnDockChanging)
        OnDockChanging(this);
    if (OnDockChangingEx)
        OnDockChangingEx(this, to);
    if (OnRecreating)
        OnRecreating(this);
}

void TKyCustomToolWindow::DockChangingHidden(TKyDock* to)
{
    // The window goes out of sight first: it is made again in its new place.
    if (HandleAllocated())
        ShowWindow(handle_, SW_HIDE);
    if (OnDockChangingHidden)
        OnDockChangingHidden(this, to);
}

void TKyCustomToolWindow::DockChanged()
{
    Moved();
    if (Destroying())
        return;
    if (OnRecreated)
        OnRecreated(this);
    if (OnDockChanged)
        OnDockChanged(this);
}

void TKyCustomToolWindow::Moved()
{
    notifiedPosition_ = POINT{Left(), Top()};
    if (OnMove && !Destroying())
        OnMove(this);
}

void TKyCustomToolWindow::SetDockedTo(TKyDock* dock)
{
    if (dock) {
        SetParent(dock);
        return;
    }
    TForm* form = OwningForm();
    if (!form)
        throw EInvalidOperation(L"Element '" + Name() + L"' hat kein übergeordnetes Fenster");
    SetParent(form);
}

void TKyCustomToolWindow::SetDockRow(int row)
{
    dockRow_ = row;
    if (dock_)
        dock_->ArrangeToolWindows();
}

void TKyCustomToolWindow::SetDockPos(int pos)
{
    dockPos_ = pos;
    if (dock_)
        dock_->ArrangeToolWindows();
}

void TKyCustomToolWindow::SetBorderStyle(TToolWindowBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    if (dock_)
        FrameChanged();
}

void TKyCustomToolWindow::SetDragHandleStyle(TDragHandleStyle style)
{
    if (style == dragHandleStyle_)
        return;
    dragHandleStyle_ = style;
    if (dock_) {
        FrameChanged();
        ArrangeControls();
    }
}

void TKyCustomToolWindow::SetCloseButtonWhenDocked(bool show)
{
    if (show == closeButtonWhenDocked_)
        return;
    closeButtonWhenDocked_ = show;
    if (dock_) {
        FrameChanged();
        ArrangeControls();
    }
}

void TKyCustomToolWindow::SetFullSize(bool fullSize)
{
    if (fullSize == fullSize_)
        return;
    fullSize_ = fullSize;
    ArrangeControls();
    if (dock_)
        dock_->ArrangeToolWindows();
}

void TKyCustomToolWindow::BeginUpdate()
{
    ++updateCount_;
}

void TKyCustomToolWindow::EndUpdate()
{
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0 && arrangeRequested_)
        ArrangeControls();
}

void TKyCustomToolWindow::Realign()
{
    ArrangeControls();
}

RECT TKyCustomToolWindow::NonClientFor(const TKyDock* dock) const
{
    TDragRect nc;
    if (dock) {
        const TDragHandleKind handle = dragHandleStyle_ == TDragHandleStyle::dhDouble ? TDragHandleKind::Double
                                       : dragHandleStyle_ == TDragHandleStyle::dhNone ? TDragHandleKind::None
                                                                                      : TDragHandleKind::Single;
        nc = DockedNonClient(dock->Orientation(), dock->AllowDrag(), handle, closeButtonWhenDocked_);
    } else {
        TNonClientMetrics metrics;
        metrics.SizeFrameX = GetSystemMetrics(SM_CXSIZEFRAME);
        metrics.SizeFrameY = GetSystemMetrics(SM_CYSIZEFRAME);
        metrics.FixedFrameX = GetSystemMetrics(SM_CXFIXEDFRAME);
        metrics.FixedFrameY = GetSystemMetrics(SM_CYFIXEDFRAME);
        metrics.SmallCaption = GetSystemMetrics(SM_CYSMCAPTION);
        nc = FloatingNonClient(metrics, resizable_, showCaption_);
    }
    return RECT{nc.Left, nc.Top, nc.Right, nc.Bottom};
}

RECT TKyCustomToolWindow::NonClientSize() const
{
    if (dock_ || floatForm_)
        return NonClientFor(dock_);
    return RECT{0, 0, 0, 0};
}

int TKyCustomToolWindow::GetRowThickness(TDockOrientation orientation)
{
    const RECT nc = NonClientSize();
    return IsHorizontal(orientation) ? Height() - nc.top - nc.bottom : Width() - nc.left - nc.right;
}

SIZE TKyCustomToolWindow::LayoutControls(bool /*apply*/, TDockOrientation /*orientation*/, int /*crossSize*/)
{
    const RECT nc = NonClientSize();
    return SIZE{std::max<LONG>(0, Width() - nc.left - nc.right), std::max<LONG>(0, Height() - nc.top - nc.bottom)};
}

void TKyCustomToolWindow::ArrangeControls()
{
    if (Destroying() || arranging_)
        return;
    if (updateCount_ > 0) {
        arrangeRequested_ = true;
        return;
    }
    arrangeRequested_ = false;
    arranging_ = true;
    ScopeExit done([this] { arranging_ = false; });
    // A second pass when placing the window changed the thickness of its row.
    for (int pass = 0; pass < 2; ++pass) {
        const TDockOrientation orientation = GetDockOrientation(dock_);
        const int cross = dock_ ? dock_->RowThickness(dockRow_) : 0;
        const SIZE client = LayoutControls(true, orientation, cross);
        const RECT nc = NonClientSize();
        int width = client.cx + nc.left + nc.right;
        int height = client.cy + nc.top + nc.bottom;
        if (dock_ && fullSize_) {
            if (IsHorizontal(orientation))
                width = dock_->ClientLength();
            else
                height = dock_->ClientLength();
        }
        if (width != Width() || height != Height())
            SetBounds(Left(), Top(), width, height);
        if (!dock_ || dock_->RowThickness(dockRow_) == cross)
            break;
    }
}

void TKyCustomToolWindow::FrameChanged()
{
    if (HandleAllocated())
        ForceFrameChange(handle_);
}

}  // namespace qrv

#include "widgets/win/KyToolbar.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace qrv {

// --- TKyCustomToolbar -----------------------------------------------------

TKyCustomToolbar::TKyCustomToolbar(TComponent* owner) : TKyCustomToolWindow(owner)
{
    eightEdges_ = false;
    confineCursor_ = false;
}

void TKyCustomToolbar::SetFloatingRightX(int width)
{
    width = std::max(0, width);
    if (width == floatingRightX_)
        return;
    floatingRightX_ = width;
    if (Floating())
        ArrangeControls();
}

void TKyCustomToolbar::ResizeStart(int band)
{
    const RECT nc = NonClientFor(nullptr);
    const bool byHeight = band == HTTOP || band == HTBOTTOM;
    snap_ = std::make_unique<TToolbarResizeSnap>(ToolbarSnapSizes(Items(), nc.left + nc.right, nc.top + nc.bottom),
                                                 byHeight, Width(), Height());
    pendingRightX_ = floatingRightX_;
}

void TKyCustomToolbar::ResizeChange(int band, RECT& rect)
{
    if (!snap_)
        return;
    const bool byHeight = band == HTTOP || band == HTBOTTOM;
    const TToolbarSnapSize& size = snap_->Move(byHeight ? rect.bottom - rect.top : rect.right - rect.left);
    // Anchored at the edges that do not move.
    if (band == HTLEFT)
        rect.left = rect.right - size.Width;
    else
        rect.right = rect.left + size.Width;
    if (band == HTTOP)
        rect.top = rect.bottom - size.Height;
    else
        rect.bottom = rect.top + size.Height;
    pendingRightX_ = size.WrapWidth;
}

void TKyCustomToolbar::ResizeEnd(bool accepted)
{
    snap_.reset();
    if (accepted)
        floatingRightX_ = pendingRightX_;
}

void TKyCustomToolbar::CreateParams(TCreateParams& params)
{
    TKyCustomToolWindow::CreateParams(params);
    params.WinClassName = L"TKyToolbar";
}

std::vector<TToolbarItem> TKyCustomToolbar::Items() const
{
    std::vector<TToolbarItem> items;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* control = Controls(i);
        TToolbarItem item;
        item.Visible = control->Visible();
        item.Width = control->Width();
        item.Height = control->Height();
        if (const auto* sep = dynamic_cast<const TKyToolbarSep*>(control)) {
            item.Separator = true;
            item.SizeHorz = sep->SizeHorz();
            item.SizeVert = sep->SizeVert();
        }
        items.push_back(item);
    }
    return items;
}

int TKyCustomToolbar::GetRowThickness(TDockOrientation orientation)
{
    return ToolbarRowThickness(Items(), orientation);
}

SIZE TKyCustomToolbar::LayoutControls(bool apply, TDockOrientation orientation, int crossSize)
{
    const TToolbarLayout layout = LayoutToolbar(Items(), orientation, crossSize,
                                                orientation == TDockOrientation::doNoOrient ? floatingRightX_ : 0);
    if (apply) {
        // The controls are moved in one go; their own size changes come back here.
        std::vector<TControl*> controls;
        for (int i = 0; i < ControlCount(); ++i)
            controls.push_back(Controls(i));
        for (size_t i = 0; i < controls.size() && i < layout.Places.size(); ++i) {
            const TToolbarItemPlace& place = layout.Places[i];
            if (place.Placed)
                controls[i]->SetBounds(place.Left, place.Top, place.Width, place.Height);
        }
    }
    return SIZE{layout.ClientWidth, layout.ClientHeight};
}

// --- TKyToolbarSep --------------------------------------------------------

TKyToolbarSep::TKyToolbarSep(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 6, 6);
}

void TKyToolbarSep::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyToolbarSep";
    params.ClassStyle = CS_HREDRAW | CS_VREDRAW;
}

void TKyToolbarSep::SetParent(TWinControl* parent)
{
    if (parent && !dynamic_cast<TKyCustomToolbar*>(parent))
        throw EInvalidOperation(L"TKyToolbarSep can only be placed on a TKyToolbar");
    TWinControl::SetParent(parent);
}

void TKyToolbarSep::SetSizeHorz(int size)
{
    size = std::max(1, size);
    if (size == sizeHorz_)
        return;
    sizeHorz_ = size;
    RequestAlign();
}

void TKyToolbarSep::SetSizeVert(int size)
{
    size = std::max(1, size);
    if (size == sizeVert_)
        return;
    sizeVert_ = size;
    RequestAlign();
}

void TKyToolbarSep::SetBlank(bool blank)
{
    if (blank == blank_)
        return;
    blank_ = blank;
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

void TKyToolbarSep::WndProc(TMessage& message)
{
    if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) && Parent() && Parent()->HandleAllocated()) {
        POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        MapWindowPoints(handle_, Parent()->Handle(), &p, 1);
        Parent()->Perform(message.Msg, message.WParam, MAKELPARAM(p.x, p.y));
        message.Result = 0;
        return;
    }
    TCustomControl::WndProc(message);
}

void TKyToolbarSep::Paint(HDC dc)
{
    auto* toolbar = dynamic_cast<TKyCustomToolbar*>(Parent());
    if (!toolbar || blank_)
        return;
    RECT r;
    GetClientRect(handle_, &r);
    // Shadow then highlight through the middle, across the line of controls.
    const bool vertical = GetDockOrientation(toolbar->DockedTo()) == TDockOrientation::doVertical;
    if (vertical) {
        const int middle = (r.bottom - r.top) / 2;
        RECT shadow{r.left, middle - 1, r.right, middle};
        RECT light{r.left, middle, r.right, middle + 1};
        FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    } else {
        const int middle = (r.right - r.left) / 2;
        RECT shadow{middle - 1, r.top, middle, r.bottom};
        RECT light{middle, r.top, middle + 1, r.bottom};
        FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
}

}  // namespace qrv

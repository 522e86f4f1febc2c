#include "widgets/win/KySplit.h"

#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <algorithm>

#include <windowsx.h>

namespace qrv {

TKySplitter::TKySplitter(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 185, 3);
}

TKySplitter::~TKySplitter()
{
    EndDrag(false);
}

void TKySplitter::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKySplitter";
}

bool TKySplitter::Refused(const TControl* self, const TControl* control)
{
    return control == self || dynamic_cast<const TForm*>(control) != nullptr;
}

void TKySplitter::Replace(TControl*& slot, TControl* control)
{
    if (Refused(this, control))
        control = nullptr;
    TControl* old = slot;
    slot = control;
    if (old && old != first_ && old != second_)
        old->RemoveFreeNotification(this);
    if (control)
        control->FreeNotification(this);
}

void TKySplitter::SetControlFirst(TControl* control)
{
    Replace(first_, control);
}

void TKySplitter::SetControlSecond(TControl* control)
{
    Replace(second_, control);
}

void TKySplitter::FreeNotified(TComponent* component)
{
    if (component == escapeSource_) {
        escapeSource_ = nullptr;
        escapeListener_ = 0;
    }
    if (component == first_ || component == second_) {
        EndDrag(false);
        if (component == first_)
            first_ = nullptr;
        if (component == second_)
            second_ = nullptr;
    }
}

void TKySplitter::ListenForEscape()
{
    // The key goes to the focused window: the nearest control of ours
    // holding it hears it first, so the focus need not move.
    TWinControl* source = nullptr;
    for (HWND w = GetFocus(); w && !source; w = GetParent(w))
        source = TWinControl::FromHandle(w);
    if (!source || source == this)
        return;
    escapeSource_ = source;
    escapeSource_->FreeNotification(this);
    escapeListener_ = escapeSource_->AddMessageListener([this](TMessage& message) {
        if (message.Msg != WM_KEYDOWN || message.WParam != VK_ESCAPE || !dragging_)
            return false;
        EndDrag(false);
        message.Result = 0;
        return true;
    });
}

void TKySplitter::StopListening()
{
    if (!escapeSource_)
        return;
    escapeSource_->RemoveMessageListener(escapeListener_);
    if (escapeSource_ != first_ && escapeSource_ != second_)
        escapeSource_->RemoveFreeNotification(this);
    escapeSource_ = nullptr;
    escapeListener_ = 0;
}

void TKySplitter::UpdateDragCursor(bool refused)
{
    SetCursor(LoadCursorW(nullptr, refused ? IDC_NO : (Vertical() ? IDC_SIZENS : IDC_SIZEWE)));
}

void TKySplitter::SetAlign(TAlign align)
{
    const TAlign previous = Align();
    const bool wasEdge = previous == TAlign::alTop || previous == TAlign::alBottom || previous == TAlign::alLeft ||
                         previous == TAlign::alRight;
    if (!wasEdge) {
        if (align == TAlign::alTop || align == TAlign::alBottom)
            SetHeight(3);
        else if (align == TAlign::alLeft || align == TAlign::alRight)
            SetWidth(3);
    }
    TControl::SetAlign(align);
    if (first_ || second_ || !Parent())
        return;
    POINT beyond{Left(), Top()};
    switch (align) {
    case TAlign::alTop:
        beyond = {Left(), Top() - 1};
        break;
    case TAlign::alBottom:
        beyond = {Left(), Top() + Height()};
        break;
    case TAlign::alLeft:
        beyond = {Left() - 1, Top()};
        break;
    case TAlign::alRight:
        beyond = {Left() + Width(), Top()};
        break;
    default:
        return;
    }
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* child = Parent()->Controls(i);
        const RECT r = child->BoundsRect();
        if (child != this && child->Visible() && PtInRect(&r, beyond)) {
            SetControlFirst(child);
            return;
        }
    }
}

int TKySplitter::SplitKind() const
{
    if (!first_)
        return 0;
    const TAlign a = first_->Align();
    const TAlign b = second_ ? second_->Align() : TAlign::alNone;
    const bool secondFree = !second_ || b == TAlign::alClient;
    int kind = 0;
    if ((a == TAlign::alTop || a == TAlign::alBottom) && secondFree)
        kind = 1;
    else if (a == TAlign::alClient && (b == TAlign::alTop || b == TAlign::alBottom))
        kind = 2;
    else if ((a == TAlign::alLeft || a == TAlign::alRight) && secondFree)
        kind = 3;
    else if (a == TAlign::alClient && (b == TAlign::alLeft || b == TAlign::alRight))
        kind = 4;
    if (kind == 0)
        return 0;
    const TControl* resized = kind == 1 || kind == 3 ? first_ : second_;
    return resized->Align() == Align() ? kind : 0;
}

TControl* TKySplitter::ResizedControl() const
{
    switch (SplitKind()) {
    case 1:
    case 3:
        return first_;
    case 2:
    case 4:
        return second_;
    default:
        return nullptr;
    }
}

bool TKySplitter::Vertical() const
{
    if (dragging_)
        return dragVertical_;
    const int kind = SplitKind();
    return kind == 1 || kind == 2;
}

int TKySplitter::ParentPos(LPARAM lParam) const
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    return Vertical() ? Top() + y : Left() + x;
}

int TKySplitter::ClampedLine(int mousePos) const
{
    const int thickness = Vertical() ? Height() : Width();
    const RECT area = Parent()->ClientRect();
    const int low = (Vertical() ? area.top : area.left) + TopLeftLimit;
    const int high = (Vertical() ? area.bottom : area.right) - BottomRightLimit - thickness;
    const int wanted = startLine_ + (mousePos - pressPos_);
    return std::max(low, std::min(wanted, std::max(low, high)));
}

void TKySplitter::DrawLine()
{
    // An inverted line on the form, drawn again to erase it.
    TWinControl* parent = Parent();
    HWND top = GetAncestor(parent->Handle(), GA_ROOT);
    const TWindowDC windowDC(top, GetDCEx(top, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    const HDC dc = windowDC.Get();
    const int thickness = std::max(2, (Vertical() ? Height() : Width()) - 2);
    POINT origin{0, 0};
    MapWindowPoints(parent->Handle(), nullptr, &origin, 1);
    RECT window;
    GetWindowRect(top, &window);
    origin.x -= window.left;
    origin.y -= window.top;
    const int centre = (Vertical() ? Height() : Width()) / 2 - thickness / 2;
    {
        const TSelectObject select(dc, GetStockObject(WHITE_BRUSH));
        if (Vertical())
            PatBlt(dc, origin.x + Left(), origin.y + line_ + centre, Width(), thickness, PATINVERT);
        else
            PatBlt(dc, origin.x + line_ + centre, origin.y + Top(), thickness, Height(), PATINVERT);
    }
    lineDrawn_ = !lineDrawn_;
}

void TKySplitter::EndDrag(bool accept)
{
    if (!dragging_)
        return;
    dragging_ = false;
    if (lineDrawn_)
        DrawLine();
    StopListening();
    if (handle_ && GetCapture() == handle_)
        ReleaseCapture();
    if (!accept)
        return;
    TControl* resized = ResizedControl();
    if (!resized || !Parent())
        return;
    int delta = line_ - startLine_;
    if (resized->Align() == TAlign::alRight || resized->Align() == TAlign::alBottom)
        delta = -delta;
    const RECT area = Parent()->ClientRect();
    if (Vertical()) {
        const int most = (area.bottom - area.top) - Height() - 3;
        resized->SetHeight(std::clamp(resized->Height() + delta, 1, std::max(1, most)));
    } else {
        const int most = (area.right - area.left) - Width() - 3;
        resized->SetWidth(std::clamp(resized->Width() + delta, 1, std::max(1, most)));
    }
    if (OnPosChanged)
        OnPosChanged(this);
}

void TKySplitter::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT && SplitKind() != 0) {
            SetCursor(LoadCursorW(nullptr, Vertical() ? IDC_SIZENS : IDC_SIZEWE));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_LBUTTONDOWN:
        message.Result = 0;
        if (SplitKind() == 0 || !Parent())
            return;
        dragVertical_ = Vertical();
        dragging_ = true;
        pressPos_ = ParentPos(message.LParam);
        startLine_ = line_ = Vertical() ? Top() : Left();
        lineDrawn_ = false;
        ListenForEscape();
        SetCapture(handle_);
        DrawLine();
        return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        message.Result = 0;
        if (!dragging_)
            return;
        const int mouse = ParentPos(message.LParam);
        const int line = ClampedLine(mouse);
        bool allow = true;
        if (OnPosChanging)
            OnPosChanging(this, GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam), allow);
        if (!dragging_)
            return;  // the handler cancelled the drag
        UpdateDragCursor(!allow || line != startLine_ + (mouse - pressPos_));
        if (allow && line != line_) {
            if (lineDrawn_)
                DrawLine();
            line_ = line;
            DrawLine();
        }
        if (message.Msg == WM_LBUTTONUP)
            EndDrag(true);
        return;
    }
    case WM_KEYDOWN:
        if (dragging_ && message.WParam == VK_ESCAPE) {
            EndDrag(false);
            message.Result = 0;
            return;
        }
        break;
    case WM_CAPTURECHANGED:
        if (dragging_ && reinterpret_cast<HWND>(message.LParam) != handle_)
            EndDrag(false);
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv

#include "framework/win/ScrollBox.h"

#include <algorithm>

namespace qrv {

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TScrollBox";
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

SIZE TScrollBox::ContentSize()
{
    SIZE size{0, 0};
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        // Aligned children follow the client area and never need scrolling.
        if (!child->Visible() || child->Align() != TAlign::alNone)
            continue;
        size.cx = std::max<LONG>(size.cx, child->Left() + child->Width() + scrollX_);
        size.cy = std::max<LONG>(size.cy, child->Top() + child->Height() + scrollY_);
    }
    return size;
}

void TScrollBox::Realign()
{
    TWinControl::Realign();
    UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars()
{
    if (!HandleAllocated())
        return;
    // Showing one bar can make the other necessary; two rounds settle it.
    for (int round = 0; round < 2; ++round) {
        const SIZE content = ContentSize();
        RECT client;
        GetClientRect(handle_, &client);
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        info.nMax = content.cx > client.right ? content.cx - 1 : 0;
        info.nPage = content.cx > client.right ? static_cast<UINT>(client.right) : 0;
        SetScrollInfo(handle_, SB_HORZ, &info, TRUE);
        info.nMax = content.cy > client.bottom ? content.cy - 1 : 0;
        info.nPage = content.cy > client.bottom ? static_cast<UINT>(client.bottom) : 0;
        SetScrollInfo(handle_, SB_VERT, &info, TRUE);
    }
    const SIZE content = ContentSize();
    RECT client;
    GetClientRect(handle_, &client);
    ScrollTo(std::min<int>(scrollX_, std::max<int>(0, content.cx - client.right)),
             std::min<int>(scrollY_, std::max<int>(0, content.cy - client.bottom)));
}

void TScrollBox::ScrollTo(int x, int y)
{
    if (!HandleAllocated())
        return;
    // The furthest position of a bar; 0 when its content fits.
    auto limit = [this](int bar) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, bar, &info);
        return info.nPage ? std::max(0, info.nMax - static_cast<int>(info.nPage) + 1) : 0;
    };
    x = std::clamp(x, 0, limit(SB_HORZ));
    y = std::clamp(y, 0, limit(SB_VERT));
    const int dx = scrollX_ - x;
    const int dy = scrollY_ - y;
    if (dx == 0 && dy == 0)
        return;
    scrollX_ = x;
    scrollY_ = y;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (child->Align() == TAlign::alNone)
            child->SetBounds(child->Left() + dx, child->Top() + dy, child->Width(), child->Height());
    }
    SetScrollPos(handle_, SB_HORZ, x, TRUE);
    SetScrollPos(handle_, SB_VERT, y, TRUE);
    InvalidateRect(handle_, nullptr, TRUE);
}

int TScrollBox::NewPosition(int bar, WPARAM request, int current)
{
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(handle_, bar, &info);
    switch (LOWORD(request)) {
    case SB_LINEUP:
        return current - 16;
    case SB_LINEDOWN:
        return current + 16;
    case SB_PAGEUP:
        return current - static_cast<int>(info.nPage);
    case SB_PAGEDOWN:
        return current + static_cast<int>(info.nPage);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return info.nTrackPos;
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return info.nMax;
    default:
        return current;
    }
}

void TScrollBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_HSCROLL:
        ScrollTo(NewPosition(SB_HORZ, message.WParam, scrollX_), scrollY_);
        message.Result = 0;
        return;
    case WM_VSCROLL:
        ScrollTo(scrollX_, NewPosition(SB_VERT, message.WParam, scrollY_));
        message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        ScrollTo(scrollX_, scrollY_ - GET_WHEEL_DELTA_WPARAM(message.WParam) / WHEEL_DELTA * 48);
        message.Result = 0;
        return;
    case WM_SIZE:
        TWinControl::WndProc(message);
        UpdateScrollBars();
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace qrv

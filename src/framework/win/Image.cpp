#include "framework/win/Image.h"

#include "framework/win/Handles.h"

#include <windowsx.h>

namespace qrv {

TImage::TImage(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 105, 105);
}

void TImage::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TImage";
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TImage::SetBitmap(HBITMAP bitmap)
{
    bitmap_ = bitmap;
    icon_ = nullptr;
    Changed();
}

void TImage::SetIcon(HICON icon)
{
    icon_ = icon;
    bitmap_ = nullptr;
    Changed();
}

void TImage::Clear()
{
    bitmap_ = nullptr;
    icon_ = nullptr;
    Changed();
}

void TImage::SetCenter(bool center)
{
    center_ = center;
    Changed();
}

void TImage::SetStretch(bool stretch)
{
    stretch_ = stretch;
    Changed();
}

void TImage::Changed()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, TRUE);
}

SIZE TImage::PictureSize() const
{
    if (bitmap_) {
        BITMAP info{};
        if (GetObjectW(bitmap_, sizeof info, &info))
            return SIZE{info.bmWidth, info.bmHeight};
    } else if (icon_) {
        ICONINFO info{};
        if (GetIconInfo(icon_, &info)) {
            // The icon's bitmaps are copies that are ours to delete.
            const TGdiObject maskBitmap(info.hbmMask);
            const TGdiObject colorBitmap(info.hbmColor);
            BITMAP mask{};
            GetObjectW(info.hbmMask, sizeof mask, &mask);
            return SIZE{mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2};
        }
    }
    return SIZE{0, 0};
}

RECT TImage::DestinationRect()
{
    RECT client;
    GetClientRect(handle_, &client);
    if (stretch_)
        return client;
    const SIZE size = PictureSize();
    RECT r{0, 0, size.cx, size.cy};
    if (center_)
        OffsetRect(&r, (client.right - size.cx) / 2, (client.bottom - size.cy) / 2);
    return r;
}

void TImage::Paint(HDC dc)
{
    RECT client;
    GetClientRect(handle_, &client);
    {
        const TGdiObject background(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &client, static_cast<HBRUSH>(background.Get()));
    }
    if (Empty())
        return;
    const RECT target = DestinationRect();
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (icon_) {
        DrawIconEx(dc, target.left, target.top, icon_, width, height, 0, nullptr, DI_NORMAL);
        return;
    }
    const TOwnDC source(CreateCompatibleDC(dc));
    const TSelectObject select(source.Get(), bitmap_);
    const SIZE size = PictureSize();
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, target.left, target.top, width, height, source.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
}

void TImage::WndProc(TMessage& message)
{
    if (message.Msg == WM_ERASEBKGND) {
        // Paint fills the background itself, without flicker.
        message.Result = 1;
        return;
    }
    const int x = GET_X_LPARAM(message.LParam), y = GET_Y_LPARAM(message.LParam);
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        SetCapture(Handle());
        if (OnMouseDown)
            OnMouseDown(this, x, y);
        break;
    case WM_MOUSEMOVE:
        if (OnMouseMove)
            OnMouseMove(this, x, y);
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == Handle())
            ReleaseCapture();
        if (OnMouseUp)
            OnMouseUp(this);
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

}  // namespace qrv

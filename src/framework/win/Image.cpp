#include "framework/win/Image.h"

#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"
#include "framework/win/Picture.h"

#include <windowsx.h>

#include <utility>

namespace qrv {

namespace {
constexpr UINT_PTR kFrameTimer = 1;
}

TImage::TImage(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    if (frameTimer_ && HandleAllocated())
        KillTimer(handle_, kFrameTimer);
}

void TImage::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    graphic_ = std::move(graphic);
    bitmap_ = nullptr;
    icon_ = nullptr;
    if (graphic_) {
        graphic_->OnChange = [this] { Changed(); };
        graphic_->SetFrame(0);
    }
    ScheduleFrame();
    Changed();
}

void TImage::ScheduleFrame()
{
    if (!HandleAllocated())
        return;  // the first paint starts it
    const int delay = graphic_ && graphic_->FrameCount() > 1 ? graphic_->FrameDelay(graphic_->Frame()) : 0;
    if (delay > 0) {
        // One timer for the control: setting it again replaces the delay.
        frameTimer_ = SetTimer(handle_, kFrameTimer, static_cast<UINT>(delay), nullptr) != 0;
        if (!frameTimer_)
            TraceIgnoredFailure(L"picture: the frame timer", GetLastError());
    } else if (std::exchange(frameTimer_, false)) {
        KillTimer(handle_, kFrameTimer);
    }
}

void TImage::DestroyWnd()
{
    // The window's timer goes with it; a new window starts its own.
    frameTimer_ = false;
    TCustomControl::DestroyWnd();
}

void TImage::NextFrame()
{
    if (!graphic_ || graphic_->FrameCount() < 2)
        return;
    graphic_->AdvanceFrame();
    ScheduleFrame();
    Changed();
}

void TImage::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TImage";
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TImage::SetBitmap(HBITMAP bitmap)
{
    graphic_.reset();
    ScheduleFrame();
    bitmap_ = bitmap;
    icon_ = nullptr;
    Changed();
}

void TImage::SetIcon(HICON icon)
{
    graphic_.reset();
    ScheduleFrame();
    icon_ = icon;
    bitmap_ = nullptr;
    Changed();
}

void TImage::Clear()
{
    graphic_.reset();
    ScheduleFrame();
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
    if (graphic_)
        return SIZE{graphic_->Width(), graphic_->Height()};
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
    if (graphic_) {
        graphic_->Draw(dc, target);
        // What the draw served may have let the graphic go.
        if (graphic_ && !frameTimer_ && graphic_->FrameCount() > 1)
            ScheduleFrame();
        return;
    }
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
    if (message.Msg == WM_TIMER && message.WParam == kFrameTimer) {
        NextFrame();
        message.Result = 0;
        return;
    }
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

#include "framework/win/Bitmap.h"

#include "framework/SysUtils.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

namespace qrv {

void TBitmap::SetHandle(HBITMAP bitmap)
{
    if (bitmap == handle_.Get())
        return;
    handle_.Reset(bitmap);
    width_ = height_ = 0;
    BITMAP info{};
    if (handle_ && GetObjectW(handle_.Get(), sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
    Changed();
}

void TBitmap::Assign(const TBitmap* other)
{
    if (other == this)
        return;
    HBITMAP copy = nullptr;
    if (other && other->handle_) {
        copy = static_cast<HBITMAP>(CopyImage(other->handle_.Get(), IMAGE_BITMAP, 0, 0, 0));
        Win32Check(copy != nullptr, L"Bitmap kann nicht kopiert werden");
    }
    SetHandle(copy);
}

void TBitmap::SetSize(int width, int height, TColor fill)
{
    TGdiObject bitmap;
    {
        const TWindowDC screen(nullptr);
        bitmap.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    }
    Win32Check(bitmap.Valid(), L"Bitmap kann nicht erstellt werden");
    {
        const TOwnDC dc(CreateCompatibleDC(nullptr));
        const TSelectObject select(dc.Get(), bitmap.Get());
        const TGdiObject brush(CreateSolidBrush(ColorToRGB(fill)));
        RECT r{0, 0, width, height};
        FillRect(dc.Get(), &r, static_cast<HBRUSH>(brush.Get()));
    }
    SetHandle(static_cast<HBITMAP>(bitmap.Release()));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::wstring& name)
{
    HANDLE bitmap = LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    Win32Check(bitmap != nullptr, (L"Bitmap-Ressource " + name).c_str());
    SetHandle(static_cast<HBITMAP>(bitmap));
}

int TBitmap::BitsPerPixel() const
{
    BITMAP info{};
    return handle_ && GetObjectW(handle_.Get(), sizeof info, &info) ? info.bmBitsPixel : 0;
}

TColor TBitmap::TransparentColor() const
{
    if (transparentColor_ != clDefault)
        return transparentColor_;
    if (!handle_)
        return clNone;
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject select(dc.Get(), handle_.Get());
    const COLORREF pixel = GetPixel(dc.Get(), 0, height_ - 1);
    return static_cast<TColor>(pixel & 0xFFFFFF);
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange();
}

}  // namespace qrv

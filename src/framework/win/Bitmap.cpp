#include "framework/win/Bitmap.h"

#include "framework/SysUtils.h"
#include "framework/win/Graphics.h"

namespace qrv {

TBitmap::~TBitmap()
{
    if (handle_)
        DeleteObject(handle_);
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    if (bitmap == handle_)
        return;
    if (handle_)
        DeleteObject(handle_);
    handle_ = bitmap;
    width_ = height_ = 0;
    BITMAP info{};
    if (handle_ && GetObjectW(handle_, sizeof info, &info)) {
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
        copy = static_cast<HBITMAP>(CopyImage(other->handle_, IMAGE_BITMAP, 0, 0, 0));
        Win32Check(copy != nullptr, L"Bitmap kann nicht kopiert werden");
    }
    SetHandle(copy);
}

void TBitmap::SetSize(int width, int height, TColor fill)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    Win32Check(bitmap != nullptr, L"Bitmap kann nicht erstellt werden");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(fill));
    RECT r{0, 0, width, height};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    SetHandle(bitmap);
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
    return handle_ && GetObjectW(handle_, sizeof info, &info) ? info.bmBitsPixel : 0;
}

TColor TBitmap::TransparentColor() const
{
    if (transparentColor_ != clDefault)
        return transparentColor_;
    if (!handle_)
        return clNone;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle_);
    const COLORREF pixel = GetPixel(dc, 0, height_ - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    return static_cast<TColor>(pixel & 0xFFFFFF);
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange();
}

}  // namespace qrv

#include "widgets/win/KyResources.h"

#include "framework/IgnoredError.h"
#include "framework/win/Graphics.h"

#include <string>

namespace qrv {

namespace {

HCURSOR LoadKyCursor(const wchar_t* name)
{
    if (HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), name))
        return cursor;
    TraceIgnoredFailure(std::wstring(L"widgets: cursor resource ") + name, GetLastError());
    return LoadCursorW(nullptr, IDC_HAND);
}

}  // namespace

HCURSOR KyScreenCursor(int number)
{
    // Cursors loaded from resources are shared and never freed.
    static const HCURSOR hand = LoadKyCursor(L"KY_HANDCUR");
    static const HCURSOR drag = LoadKyCursor(L"KY_DRAGCUR");
    switch (number) {
    case kKyHandCursor:
        return hand;
    case kKyDragCursor:
        return drag;
    default:
        return nullptr;
    }
}

bool LoadKyBitmap(TBitmap& bitmap, const wchar_t* name)
{
    try {
        bitmap.LoadFromResourceName(GetModuleHandleW(nullptr), name);
        return true;
    } catch (...) {
        TraceIgnoredException(std::wstring(L"widgets: bitmap resource ") + name);
        bitmap.SetHandle(nullptr);
        return false;
    }
}

void DrawTransparentGlyph(HDC dc, const TBitmap& bitmap, int x, int y)
{
    if (bitmap.Empty())
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    // Read before the bitmap is selected here: it reads the bitmap itself.
    const COLORREF transparent = ColorToRGB(bitmap.TransparentColor());
    const TOwnDC source(CreateCompatibleDC(dc));
    const TSelectObject selectSource(source.Get(), bitmap.Handle());
    // The mask: 1 where the transparent colour is, 0 elsewhere.
    const TOwnDC maskDC(CreateCompatibleDC(dc));
    const TGdiObject mask(CreateBitmap(w, h, 1, 1, nullptr));
    const TSelectObject selectMask(maskDC.Get(), mask.Get());
    SetBkColor(source.Get(), transparent);
    BitBlt(maskDC.Get(), 0, 0, w, h, source.Get(), 0, 0, SRCCOPY);
    // Target ^ glyph, cleared where the glyph is opaque, ^ glyph again: the
    // target stays under transparent pixels and becomes the glyph elsewhere.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, w, h, source.Get(), 0, 0, SRCINVERT);
    BitBlt(dc, x, y, w, h, maskDC.Get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, source.Get(), 0, 0, SRCINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

}  // namespace qrv

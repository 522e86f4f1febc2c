#pragma once
// TBitmap: an owned GDI bitmap with its size.

#include "framework/Colors.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <string>

namespace qrv {

class TBitmap {
public:
    TBitmap() = default;
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    HBITMAP Handle() const { return handle_; }
    // Takes ownership of the bitmap (nullptr empties it).
    void SetHandle(HBITMAP bitmap);
    bool Empty() const { return handle_ == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // A copy of the other bitmap (nullptr or an empty one empties this one).
    void Assign(const TBitmap* other);
    // A new bitmap of that size compatible with the screen, filled with the colour.
    void SetSize(int width, int height, TColor fill = clWhite);
    // Loads a bitmap resource; throws EOSError when it is missing.
    void LoadFromResourceName(HINSTANCE instance, const std::wstring& name);
    // The colour drawn transparent: the one set, else the colour of the
    // bottom-left pixel, which glyphs treat as transparent.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color) { transparentColor_ = color; }
    // Whether the bitmap is drawn with its transparent colour left out.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    // Bits per pixel of the bitmap held, 0 when empty.
    int BitsPerPixel() const;

    std::function<void()> OnChange;

private:
    void Changed();
    HBITMAP handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    TColor transparentColor_ = clDefault;
    bool transparent_ = false;
};

}  // namespace qrv

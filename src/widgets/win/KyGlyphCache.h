#pragma once
// Image lists of button glyph images shared by all toolbar buttons of one
// glyph size: a glyph strip's images and the embossed images made for
// disabled buttons go into the list of their size, into slots that are
// reused when freed. A list lives while a button uses it.

#include "framework/win/WinApi.h"

#include <commctrl.h>

#include <vector>

namespace qrv {

class TGlyphList {
public:
    TGlyphList(int width, int height);
    ~TGlyphList();
    TGlyphList(const TGlyphList&) = delete;
    TGlyphList& operator=(const TGlyphList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Adds the image at (x, y) of bitmap, pixels of maskColor transparent
    // (or, with a mask bitmap, its white pixels); returns the slot. Throws
    // EInvalidOperation when the image is smaller than the list's images or
    // the list refuses it.
    int Add(HBITMAP bitmap, int x, int y, COLORREF maskColor, HBITMAP mask = nullptr);
    // The embossed image of a disabled button made from an image of any
    // list: the image's shape in button highlight, one pixel down and right,
    // under the same shape in button shadow, on the button face.
    int AddDisabled(HIMAGELIST source, int index);
    void Delete(int slot);
    void Draw(HDC dc, int x, int y, int slot) const;
    int UsedSlots() const;
    HIMAGELIST Handle() const { return handle_; }

private:
    int Store(HBITMAP image, HBITMAP mask);
    HIMAGELIST handle_ = nullptr;
    int width_;
    int height_;
    std::vector<bool> used_;
};

// The shared list of a size: Acquire counts a user, Release drops one and
// frees the list with its last user.
TGlyphList& AcquireGlyphList(int width, int height);
void ReleaseGlyphList(int width, int height);
// The shared list of a size, or nullptr when no button uses one.
TGlyphList* FindGlyphList(int width, int height);
// How many shared lists exist now.
int GlyphListCount();

}  // namespace qrv

#pragma once
// The component library's own resources in the program (the cursors and
// bitmaps of res/Widgets.rc), and drawing a glyph with its transparent
// colour left out.

#include "framework/win/Bitmap.h"

namespace qrv {

// Screen cursor numbers of the library's cursors.
constexpr int kKyHandCursor = 14000;
constexpr int kKyDragCursor = 14001;

// The cursor registered under the number (loaded once, at the first call):
// "KY_HANDCUR" for kKyHandCursor, "KY_DRAGCUR" for kKyDragCursor. A program without
// them gets the system's hand (traced); other numbers give nullptr.
HCURSOR KyScreenCursor(int number);

// Loads the program's bitmap resource into the bitmap; a program without it
// leaves the bitmap empty (traced) and gets false.
bool LoadKyBitmap(TBitmap& bitmap, const wchar_t* name);

// Draws the bitmap with its top-left corner at (x, y), its transparent
// colour (the bottom-left pixel's) left out.
void DrawTransparentGlyph(HDC dc, const TBitmap& bitmap, int x, int y);

}  // namespace qrv

#pragma once
// The toolbar pictures (widgets/ToolbarGlyphs.h) as bitmaps: a 16 x 16
// bitmap whose left-out pixels are its transparent colour.

#include "framework/win/Bitmap.h"
#include "widgets/ToolbarGlyphs.h"

namespace qrv {

// Fills Bitmap with the picture; its transparent colour is set.
void MakeGlyphBitmap(TGlyph Glyph, TBitmap& Bitmap);
// The picture drawn on Background (a menu's picture), nothing left out.
void MakeGlyphBitmapOn(TGlyph Glyph, COLORREF Background, TBitmap& Bitmap);

}  // namespace qrv

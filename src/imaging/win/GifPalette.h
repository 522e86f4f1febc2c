#pragma once
// GIF colour tables and the system's palettes: a table exported to a logical
// palette (every entry marked PC_NOCOLLAPSE, so that GDI keeps duplicates
// apart) and tables imported from a logical palette, from a DIB colour table
// and from the colour table of the bitmap selected into a device context.

#include "framework/win/WinApi.h"
#include "imaging/GifStream.h"

namespace qrv {

// A new logical palette of the table's entries (the caller deletes it).
// Raises EOutOfResources with the system's text when none can be made.
HPALETTE ExportGIFPalette(const TGIFColorMap& table);
// The palette's entries (up to 256) replace the table's.
void ImportGIFPalette(TGIFColorMap& table, HPALETTE palette);
// count entries (up to 256) of a DIB colour table in blue, green, red order.
void ImportGIFDibColors(TGIFColorMap& table, const RGBQUAD* colors, int count);
// The colour table of the DIB section selected into the device context;
// false (and the table left alone) when the bitmap there has none.
bool ImportGIFDCColors(TGIFColorMap& table, HDC dc);

}  // namespace qrv

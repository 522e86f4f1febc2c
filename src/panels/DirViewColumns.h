#pragma once
// The five columns of a directory list (captions by language with the mask
// and filter notes, widths, alignment), its view styles, and where the
// parent arrow is drawn and which colour an item's text takes. Portable.

#include "panels/DirFilter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qrv {

constexpr int kDirColumnCount = 5;
using TDirColumnTexts = std::array<std::wstring, kDirColumnCount>;

// The widths a new list starts with: name, size, type, date, attributes.
constexpr std::array<int, kDirColumnCount> kDirColumnWidths = {110, 80, 110, 130, 35};
// Only the size column is right-aligned.
constexpr bool DirColumnRightAligned(int Column)
{
    return Column == 1;
}

// Captions by primary language (7 German, 12 French, else English). The name
// carries " (Mask)" when ShowMaskInHeader and the mask is not "*.*"; size,
// date and attributes say " (gefiltert)" (" (filtered)") while their part of
// Filter is active; French captions carry neither note on the filters.
TDirColumnTexts DirColumnCaptions(int PrimaryLanguage, const std::wstring& Mask, bool ShowMaskInHeader,
                                  const TLoadFilter& Filter);

enum class TViewStyleEx { vsxIcon, vsxSmallIcon, vsxList, vsxReport, vsxThumb, vsxTile };

// Tiles need common controls 6 or later; icons stand in otherwise.
TViewStyleEx EffectiveViewStyle(TViewStyleEx Wanted, bool CommonControls6);

struct TPoint2 {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint2&) const = default;
};

// The parent arrow over the ".." icon whose rectangle starts at IconLeft,
// IconTop: the large arrow in icon view, centred on the large image
// (LargeWidth x LargeHeight), the small one 2 pixels up and left in the
// other views; none in thumbnail view.
struct TParentArrow {
    bool Large = false;
    TPoint2 At;
};
std::optional<TParentArrow> ParentArrowAt(TViewStyleEx Style, int IconLeft, int IconTop, int LargeWidth,
                                          int LargeHeight);

// The text colour of an item (0x00BBGGRR): compressed first, then hidden,
// else Normal.
uint32_t ItemTextColor(uint32_t Attr, uint32_t CompressedColor, uint32_t HiddenColor, uint32_t Normal);

}  // namespace qrv

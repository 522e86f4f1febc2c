#include "widgets/DropDownPlacement.h"

#include <algorithm>

namespace qrv {

TDropPoint PlaceDropDown(const TDropRect& edit, int width, int height, int screenWidth, int screenHeight,
                         TDropAlign align)
{
    TDropPoint at;
    at.Y = edit.Bottom + height > screenHeight ? edit.Top - height : edit.Bottom;
    if (align == TDropAlign::daRight) {
        at.X = edit.Right - width;
        if (at.X < 0)
            at.X = edit.Left;
    } else {
        at.X = edit.Left;
        if (at.X + width > screenWidth)
            at.X = edit.Right - width;
    }
    at.X = std::max(0, std::min(at.X, screenWidth - width));
    return at;
}

}  // namespace qrv

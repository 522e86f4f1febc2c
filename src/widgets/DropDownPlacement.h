#pragma once
// Where a combo edit's drop-down goes on the screen: below the edit, or
// above it when it would leave the screen at the bottom; right- or
// left-aligned with the edit, and never past the screen's sides.

namespace qrv {

struct TDropRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TDropPoint {
    int X = 0, Y = 0;
};

enum class TDropAlign { daRight, daLeft };

// The top-left corner of a drop-down of that size for the edit (screen
// coordinates). Right-aligned falls back to the edit's left when that would
// start before 0; left-aligned switches to right alignment when it would end
// past the screen's width; then the corner is kept between 0 and the width.
TDropPoint PlaceDropDown(const TDropRect& edit, int width, int height, int screenWidth, int screenHeight,
                         TDropAlign align);

}  // namespace qrv

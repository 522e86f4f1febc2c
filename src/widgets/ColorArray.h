#pragma once
// The colour tables of the colour button and its palette, the stored text
// of the custom colours, and the palette's cells, keys and placement.
// Portable.

#include "framework/Colors.h"
#include "framework/SysUtils.h"

#include <string>
#include <vector>

namespace qrv {

QRV_DECLARE_EXCEPTION(EColorArrayIndexError, Exception);

// XSize × YSize colours addressed from (1, 1), stored row after row
// (linear index x + (y − 1) × XSize, from 1). An index outside raises
// EColorArrayIndexError.
class TColorArrayClass {
public:
    TColorArrayClass(int xSize, int ySize, TColor fill = clWhite);

    int XSize() const { return xSize_; }
    int YSize() const { return ySize_; }
    // A new size keeps no colours: every cell is `fill`.
    void SetSize(int xSize, int ySize, TColor fill = clWhite);
    TColor At(int x, int y) const;
    void Set(int x, int y, TColor color);
    TColor Linear(int index) const;
    void SetLinear(int index, TColor color);
    int Count() const { return xSize_ * ySize_; }
    // The linear index of the first cell of exactly that colour, 0 for none.
    int IndexOf(TColor color) const;
    bool operator==(const TColorArrayClass& other) const = default;

private:
    size_t Offset(int x, int y) const;
    int xSize_;
    int ySize_;
    std::vector<TColor> colors_;
};

// The colour button's 20 presets (4 columns of 5) and its 16 custom colours
// (8 × 2, white).
TColorArrayClass DefaultPaletteColors();
TColorArrayClass DefaultCustomColors();

// The custom colours as stored: "$" and 8 hexadecimal digits per colour,
// separated by ",", column by column (x outer, y inner).
std::wstring CustomColorsText(const TColorArrayClass& colors);
// Reads such a text back in the same order: items split at ",", at most as
// many as the table holds; an item that is no number (decimal, or
// hexadecimal with "$") is white. A text without "," changes nothing.
void ReadCustomColorsText(const std::wstring& text, TColorArrayClass& colors);

// The colour dialog's names of the custom colours: "ColorA" to "ColorP", A
// to H row 1, I to P row 2.
std::wstring CustomColorName(int x, int y);

// A cell of the palette: the presets are (1..4, 1..5); row 0 is the
// other-colour cell; (-1, -1) is none.
struct TPaletteCell {
    int X = -1;
    int Y = -1;
    bool None() const { return Y < 0; }
    bool Other() const { return Y == 0; }
    bool operator==(const TPaletteCell&) const = default;
};

inline constexpr int kPaletteCell = 18;         // pixels of a preset cell
inline constexpr int kPaletteClientWidth = 72;  // 4 cells
inline constexpr int kPaletteOtherTop = 96;     // the other-colour cell's rows
inline constexpr int kPaletteOtherBottom = 113;

// The cell under a point of the palette's client area.
TPaletteCell PaletteCellAt(int x, int y, int clientWidth);
// An arrow key's move: Left and Right wrap within a preset row; Up and Down
// wrap through rows 0 (the other-colour cell) to 5; with no cell any arrow
// takes (1, 1). Other keys leave the cell.
enum class TPaletteKey { Left, Right, Up, Down };
TPaletteCell MovePaletteCell(TPaletteCell cell, TPaletteKey key);

// The hint over a colour: "RGB = 255 000 000".
std::wstring ColorHintText(TColor color);

struct TPaletteRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
// Where the palette opens: below the button, or above it (121 pixels above
// its top) when it would leave the work area at the bottom; its left edge
// kept inside the work area, and when its right edge would leave it, flush
// with the area's right edge. workArea is that of the monitor holding the
// button, so a palette on a second monitor stays there.
TPaletteRect PlacePalette(const TPaletteRect& button, int width, int height, const TPaletteRect& workArea);

}  // namespace qrv

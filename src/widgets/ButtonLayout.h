#pragma once
// Where a toolbar button puts its glyph, caption and drop-down arrow, and
// how a group of buttons keeps one of them down. Portable: the button
// measures its glyph and caption and hands in the sizes.

#include <cstddef>
#include <vector>

namespace qrv {

// What a button shows of its glyph and caption.
enum class TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };

// Where the glyph sits beside the caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TButtonContentInput {
    int Width = 0, Height = 0;            // the area the content goes in
    int GlyphWidth = 0, GlyphHeight = 0;  // 0: no glyph
    int TextWidth = 0, TextHeight = 0;    // 0: no caption
    int ArrowWidth = 0;                   // the drop-down arrow after the content (0: none)
    int Margin = -1;                      // -1: centred
    int Spacing = 4;                      // -1: a share of the free room
    TButtonLayout Layout = TButtonLayout::blGlyphLeft;
};

struct TButtonContent {
    int GlyphX = 0, GlyphY = 0;
    int TextLeft = 0, TextTop = 0, TextRight = 0, TextBottom = 0;
    int ArrowX = 0;  // the middle of the arrow
    int ArrowY = 0;  // the top of its 3-pixel-high triangle
};

TButtonContent LayoutButtonContent(const TButtonContentInput& in);

// The width a word-wrapped caption may take: the area less the arrow, the
// glyph and its spacing (4 when the spacing is a share) and twice the margin
// (the margin, else the spacing, else 4).
int ButtonCaptionWrapWidth(const TButtonContentInput& in);

// A button as its group sees it.
struct TGroupButton {
    int GroupIndex = 0;
    bool Down = false;
    bool AllowAllUp = false;
};
// Sets Down of buttons[index] as the button does: a button of no group
// stays up; the one down button of a group without AllowAllUp stays down;
// a button going down releases the others of its group and gives them its
// AllowAllUp. Returns the indices whose Down changed.
std::vector<size_t> SetGroupButtonDown(std::vector<TGroupButton>& buttons, size_t index, bool down);
// AllowAllUp for the whole group of buttons[index].
void SetGroupAllowAllUp(std::vector<TGroupButton>& buttons, size_t index, bool allow);

// The size a toolbar button takes for the toolbars' button size: every
// button gets that height; a button that shows only its glyph is square,
// plus the arrow part of a drop-down combo; a button with a caption keeps
// its width, so its text is never cut.
struct TButtonSizeInput {
    TButtonDisplayMode Mode = TButtonDisplayMode::dmBoth;
    bool DropdownCombo = false;
    int DropdownArrowWidth = 0;
    int Width = 0;  // the button's width now
};
struct TButtonSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TButtonSize&) const = default;
};
TButtonSize ToolbarButtonSize(const TButtonSizeInput& Button, int Size);

}  // namespace qrv

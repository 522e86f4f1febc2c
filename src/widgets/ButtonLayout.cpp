#include "widgets/ButtonLayout.h"

#include <algorithm>

namespace qrv {

TButtonContent LayoutButtonContent(const TButtonContentInput& in)
{
    const bool horizontal = in.Layout == TButtonLayout::blGlyphLeft || in.Layout == TButtonLayout::blGlyphRight;
    const bool glyph = in.GlyphWidth > 0 && in.GlyphHeight > 0;
    const bool text = in.TextWidth > 0 || in.TextHeight > 0;
    // The arrow follows the content to the right in every layout.
    const int availAlong = horizontal ? in.Width - in.ArrowWidth : in.Height;
    const int glyphAlong = horizontal ? in.GlyphWidth : in.GlyphHeight;
    const int textAlong = horizontal ? in.TextWidth : in.TextHeight;

    int margin = in.Margin;
    int spacing = glyph && text ? in.Spacing : 0;
    if (margin == -1 && spacing == -1) {
        // Margin and spacing share the free room in three equal parts.
        margin = spacing = (availAlong - glyphAlong - textAlong) / 3;
    } else if (margin == -1) {
        margin = (availAlong - (glyphAlong + spacing + textAlong)) / 2;
    } else if (spacing == -1) {
        spacing = (availAlong - margin - glyphAlong - textAlong) / 2;
    }
    if (!glyph || !text)
        spacing = 0;

    int glyphPos = 0;
    int textPos = 0;
    switch (in.Layout) {
    case TButtonLayout::blGlyphLeft:
    case TButtonLayout::blGlyphTop:
        glyphPos = margin;
        textPos = margin + glyphAlong + spacing;
        break;
    case TButtonLayout::blGlyphRight:
    case TButtonLayout::blGlyphBottom:
        glyphPos = availAlong - margin - glyphAlong;
        textPos = glyphPos - spacing - textAlong;
        if (!glyph)
            textPos = availAlong - margin - textAlong;
        break;
    }

    // Across the axis everything is centred (the odd pixel goes to the far side).
    TButtonContent out;
    if (horizontal) {
        out.GlyphX = glyphPos;
        out.GlyphY = (in.Height - in.GlyphHeight) / 2;
        out.TextLeft = textPos;
        out.TextTop = (in.Height - in.TextHeight) / 2;
    } else {
        const int across = in.Width - in.ArrowWidth;
        out.GlyphX = (across - in.GlyphWidth) / 2;
        out.GlyphY = glyphPos;
        out.TextLeft = (across - in.TextWidth) / 2;
        out.TextTop = textPos;
    }
    out.TextRight = out.TextLeft + in.TextWidth;
    out.TextBottom = out.TextTop + in.TextHeight;

    int contentRight = 0;
    if (glyph)
        contentRight = std::max(contentRight, out.GlyphX + in.GlyphWidth);
    if (text)
        contentRight = std::max(contentRight, out.TextRight);
    if (!glyph && !text)
        contentRight = horizontal ? availAlong / 2 : (in.Width - in.ArrowWidth) / 2;
    out.ArrowX = contentRight + in.ArrowWidth / 2;
    // The triangle is centred on the glyph, or on the caption without one.
    out.ArrowY = glyph  ? out.GlyphY + (in.GlyphHeight - 3) / 2
                 : text ? out.TextTop + (in.TextHeight - 3) / 2
                        : (in.Height - 3) / 2;
    return out;
}

int ButtonCaptionWrapWidth(const TButtonContentInput& in)
{
    int width = in.Width - in.ArrowWidth;
    const bool horizontal = in.Layout == TButtonLayout::blGlyphLeft || in.Layout == TButtonLayout::blGlyphRight;
    if (horizontal && in.GlyphWidth > 0)
        width -= in.GlyphWidth + (in.Spacing == -1 ? 4 : in.Spacing);
    const int margin = in.Margin != -1 ? in.Margin : in.Spacing != -1 ? in.Spacing : 4;
    return std::max(0, width - 2 * margin);
}

std::vector<size_t> SetGroupButtonDown(std::vector<TGroupButton>& buttons, size_t index, bool down)
{
    std::vector<size_t> changed;
    TGroupButton& button = buttons.at(index);
    if (button.GroupIndex == 0)
        down = false;
    if (down == button.Down)
        return changed;
    if (button.Down && !button.AllowAllUp)
        return changed;  // the one down button of its group stays down
    button.Down = down;
    changed.push_back(index);
    if (!down)
        return changed;
    for (size_t i = 0; i < buttons.size(); ++i) {
        TGroupButton& other = buttons[i];
        if (i == index || other.GroupIndex != button.GroupIndex)
            continue;
        other.AllowAllUp = button.AllowAllUp;
        if (other.Down) {
            other.Down = false;
            changed.push_back(i);
        }
    }
    return changed;
}

void SetGroupAllowAllUp(std::vector<TGroupButton>& buttons, size_t index, bool allow)
{
    TGroupButton& button = buttons.at(index);
    button.AllowAllUp = allow;
    if (button.GroupIndex == 0)
        return;
    for (TGroupButton& other : buttons)
        if (other.GroupIndex == button.GroupIndex)
            other.AllowAllUp = allow;
}

TButtonSize ToolbarButtonSize(const TButtonSizeInput& Button, int Size)
{
    if (Button.Mode != TButtonDisplayMode::dmGlyphOnly)
        return {Button.Width, Size};
    return {Size + (Button.DropdownCombo ? Button.DropdownArrowWidth : 0), Size};
}

}  // namespace qrv

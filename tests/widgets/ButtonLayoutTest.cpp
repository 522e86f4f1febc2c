#include "widgets/ButtonLayout.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TButtonContentInput Content(int width, int height, int glyphW, int glyphH, int textW, int textH, int margin,
                            int spacing, TButtonLayout layout = TButtonLayout::blGlyphLeft, int arrow = 0)
{
    TButtonContentInput in;
    in.Width = width;
    in.Height = height;
    in.GlyphWidth = glyphW;
    in.GlyphHeight = glyphH;
    in.TextWidth = textW;
    in.TextHeight = textH;
    in.Margin = margin;
    in.Spacing = spacing;
    in.Layout = layout;
    in.ArrowWidth = arrow;
    return in;
}

}  // namespace

TEST(ButtonLayout, ContentLayouts)
{
    using L = TButtonLayout;
    struct Case {
        const char* what;
        TButtonContentInput in;
        int glyphX, glyphY, textLeft, textTop;
    };
    const Case cases[] = {
        {"glyph only, centred; no spacing without a caption", Content(23, 22, 16, 16, 0, 0, -1, 4), 3, 3, 0, 0},
        {"odd room: the extra pixel goes to the far side", Content(23, 21, 16, 16, 0, 0, -1, 4), 3, 2, 0, 0},
        {"caption only, centred", Content(23, 22, 0, 0, 12, 13, -1, 4), 0, 0, 5, 4},
        {"glyph left of the caption, centred together", Content(60, 22, 16, 16, 20, 13, -1, 4), 10, 3, 30, 4},
        {"glyph right of the caption", Content(60, 22, 16, 16, 20, 13, -1, 4, L::blGlyphRight), 34, 3, 10, 4},
        {"glyph above the caption", Content(40, 40, 16, 16, 20, 13, -1, 2, L::blGlyphTop), 12, 4, 10, 22},
        {"glyph below the caption", Content(40, 40, 16, 16, 20, 13, -1, 2, L::blGlyphBottom), 12, 20, 10, 5},
        {"margin and spacing share the free room in thirds", Content(60, 22, 16, 16, 20, 13, -1, -1), 8, 3, 32, 4},
        {"spacing takes half of what the margin leaves", Content(60, 22, 16, 16, 20, 13, 2, -1), 2, 3, 29, 4},
        {"fixed margin and spacing", Content(60, 22, 16, 16, 20, 13, 3, 4), 3, 3, 23, 4},
        {"the arrow takes room after the glyph", Content(40, 22, 16, 16, 0, 0, -1, 4, L::blGlyphLeft, 9), 7, 3, 0, 0},
    };
    for (const Case& c : cases) {
        const TButtonContent out = LayoutButtonContent(c.in);
        if (c.in.GlyphWidth > 0) {
            EXPECT_EQ(out.GlyphX, c.glyphX) << c.what;
            EXPECT_EQ(out.GlyphY, c.glyphY) << c.what;
        }
        if (c.in.TextWidth > 0) {
            EXPECT_EQ(out.TextLeft, c.textLeft) << c.what;
            EXPECT_EQ(out.TextTop, c.textTop) << c.what;
            EXPECT_EQ(out.TextRight - out.TextLeft, c.in.TextWidth) << c.what;
        }
    }
    // The arrow follows the glyph, its triangle centred on the glyph...
    const TButtonContent arrow =
        LayoutButtonContent(Content(40, 22, 16, 16, 0, 0, -1, 4, TButtonLayout::blGlyphLeft, 9));
    EXPECT_EQ(arrow.ArrowX, 7 + 16 + 4);
    EXPECT_EQ(arrow.ArrowY, 3 + 6);
    // ...or on the caption.
    const TButtonContent textArrow =
        LayoutButtonContent(Content(40, 22, 0, 0, 12, 13, -1, 4, TButtonLayout::blGlyphLeft, 9));
    EXPECT_EQ(textArrow.ArrowX, 9 + 12 + 4);
    EXPECT_EQ(textArrow.ArrowY, 4 + 5);
}

TEST(ButtonLayout, CaptionWrapWidth)
{
    EXPECT_EQ(ButtonCaptionWrapWidth(Content(60, 22, 16, 16, 0, 0, -1, -1, TButtonLayout::blGlyphLeft, 9)),
              60 - 9 - 20 - 8);
    EXPECT_EQ(ButtonCaptionWrapWidth(Content(60, 22, 16, 16, 0, 0, 3, 2)), 60 - 18 - 6);
    EXPECT_EQ(ButtonCaptionWrapWidth(Content(60, 22, 16, 16, 0, 0, -1, 5, TButtonLayout::blGlyphTop)), 60 - 10)
        << "a glyph above takes no width";
    EXPECT_EQ(ButtonCaptionWrapWidth(Content(10, 22, 16, 16, 0, 0, 3, 2)), 0);
}

TEST(ButtonLayout, DownAndAllowAllUpInGroups)
{
    // Buttons 0 and 1 in group 1, 2 in group 2, 3 in no group.
    struct Step {
        const char* what;
        size_t button;
        bool down;
        bool allowAllUp;  // set for the button's group before the step
        std::vector<bool> downAfter;
    };
    const Step steps[] = {
        {"a grouped button goes down", 0, true, false, {true, false, false, false}},
        {"its neighbour takes over", 1, true, false, {false, true, false, false}},
        {"the one down button stays down", 1, false, false, {false, true, false, false}},
        {"another group is left alone", 2, true, false, {false, true, true, false}},
        {"with AllowAllUp it can go up", 1, false, true, {false, false, true, false}},
        {"a button of no group never stays down", 3, true, false, {false, false, true, false}},
    };
    std::vector<TGroupButton> buttons{{1, false, false}, {1, false, false}, {2, false, false}, {0, false, false}};
    for (const Step& s : steps) {
        SetGroupAllowAllUp(buttons, s.button, s.allowAllUp);
        SetGroupButtonDown(buttons, s.button, s.down);
        for (size_t i = 0; i < buttons.size(); ++i)
            EXPECT_EQ(buttons[i].Down, s.downAfter[i]) << s.what << ": button " << i;
    }
    // Going down hands the group this button's AllowAllUp.
    buttons[0].AllowAllUp = true;
    buttons[1].AllowAllUp = false;
    const std::vector<size_t> changed = SetGroupButtonDown(buttons, 0, true);
    EXPECT_EQ(changed, (std::vector<size_t>{0}));
    EXPECT_TRUE(buttons[1].AllowAllUp);
}

TEST(ToolbarButtonSize, GlyphOnlyButtonsAreSquareTextButtonsKeepTheirWidth)
{
    using M = TButtonDisplayMode;
    const struct {
        TButtonSizeInput Button;
        TButtonSize Expected;
    } cases[] = {
        {{M::dmGlyphOnly, false, 9, 22}, {30, 30}},
        {{M::dmGlyphOnly, true, 9, 31}, {39, 30}},
        {{M::dmTextOnly, false, 9, 60}, {60, 30}},
        // A text button's arrow is part of the width it has.
        {{M::dmTextOnly, true, 9, 70}, {70, 30}},
        {{M::dmBoth, false, 9, 85}, {85, 30}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToolbarButtonSize(c.Button, 30), c.Expected);
}

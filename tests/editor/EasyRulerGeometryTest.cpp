#include "editor/EasyRulerGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qrv {
namespace {

using K = TEasyRulerSliderKind;

int IndexOf(const TEasyRulerGeometry& ruler, K kind)
{
    for (size_t i = 0; i < ruler.Sliders.size(); ++i) {
        if (ruler.Sliders[i].Kind == kind)
            return int(i);
    }
    return -1;
}

// Presses on the slider's box, moves to the position, releases.
std::vector<TEasyRulerItem> DragSlider(TEasyRulerGeometry& ruler, K kind, int to)
{
    const TEasyRulerSlider& slider = ruler.Sliders[size_t(IndexOf(ruler, kind))];
    EXPECT_TRUE(ruler.MouseDown(ruler.SliderPos(slider), slider.Top + 2));
    ruler.MouseMove(to);
    return ruler.MouseUp();
}

TEST(EasyRulerGeometry, OrientationSizesAndSliders)
{
    TEasyRulerGeometry ruler;
    EXPECT_EQ(ruler.Width(), 400);
    EXPECT_EQ(ruler.Height(), 26);
    ASSERT_EQ(ruler.Sliders.size(), 4u);
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::First))].Top, 3);
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::Right))].Top, 11);
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::Bottom))].Top, 18);
    EXPECT_EQ(ruler.SliderPos(ruler.Sliders[0]), 36);
    EXPECT_EQ(ruler.SliderPos(ruler.Sliders[size_t(IndexOf(ruler, K::Right))]), 364);

    ruler.SetOrientation(TEasyRulerOrientation::Vertical);
    EXPECT_EQ(ruler.Width(), 26);
    EXPECT_EQ(ruler.Height(), 400);
    EXPECT_TRUE(ruler.Sliders.empty());
    ruler.SetOrientation(TEasyRulerOrientation::Horizontal);
    EXPECT_EQ(ruler.Sliders.size(), 4u);
    ruler.SetOptions(ruler.Options() & ~roShowSliders);
    EXPECT_TRUE(ruler.Sliders.empty());
}

TEST(EasyRulerGeometry, SnappingPerUnitAt96Ppi)
{
    struct Case {
        TEasyRulerUnits Units;
        int UnitSize;
        int Pixels;
        int Snapped;
    };
    // Oracle: the grid step in pixels and rounding to the nearest step
    // (millimetres and inches) or down (pixels and characters).
    const Case cases[] = {
        {TEasyRulerUnits::erInches, 8, 50, 48},  // 2 quarter inches
        {TEasyRulerUnits::erInches, 8, 13, 24},  // 0.54 → 1 quarter inch
        {TEasyRulerUnits::erInches, 8, 11, 0},
        {TEasyRulerUnits::erMilimeters, 8, 50, 47},  // 5.29 steps of 2.5 mm → 5 → 47.2 px
        {TEasyRulerUnits::erMilimeters, 8, 9, 9},    // one step is 9.45 px
        {TEasyRulerUnits::erPixels, 8, 50, 48},
        {TEasyRulerUnits::erCharacters, 7, 50, 49},
        {TEasyRulerUnits::erCharacters, 7, 6, 0},
    };
    for (const Case& c : cases) {
        TEasyRulerGeometry ruler;
        ruler.Units = c.Units;
        ruler.SetUnitSize(c.UnitSize);
        EXPECT_EQ(ruler.Snap(c.Pixels), c.Snapped) << int(c.Units) << ' ' << c.Pixels;
        ruler.SetOptions(ruler.Options() & ~roSnapToGrid);
        EXPECT_EQ(ruler.Snap(c.Pixels), c.Pixels);
    }
    TEasyRulerGeometry ruler;
    ruler.SetUnitSize(0);
    EXPECT_EQ(ruler.UnitSize(), 1);
}

TEST(EasyRulerGeometry, DraggedSliderSnapsAndReportsOnce)
{
    TEasyRulerGeometry ruler;
    ruler.Units = TEasyRulerUnits::erInches;
    const auto changes = DragSlider(ruler, K::First, 36 + 50);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (TEasyRulerItem{TEasyRulerItem::Slider, IndexOf(ruler, K::First)}));
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::First))].Offset, 48);
    EXPECT_FALSE(ruler.Dragging());
    EXPECT_TRUE(ruler.MouseUp().empty()) << "a second release reports nothing";
}

TEST(EasyRulerGeometry, LeftAndBottomSlidersMoveTogether)
{
    TEasyRulerGeometry ruler;
    ruler.Units = TEasyRulerUnits::erPixels;
    ruler.SetUnitSize(1);
    auto changes = DragSlider(ruler, K::Left, 36 + 30);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Index, IndexOf(ruler, K::Left));
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::Bottom))].Offset, 30);
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::First))].Offset, 0);

    ruler.Sliders[size_t(IndexOf(ruler, K::First))].Offset = 5;
    changes = DragSlider(ruler, K::Bottom, 36 + 50);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Index, IndexOf(ruler, K::Bottom));
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::Left))].Offset, 50);
    EXPECT_EQ(ruler.Sliders[size_t(IndexOf(ruler, K::First))].Offset, 25) << "moved by the same 20 pixels";
}

TEST(EasyRulerGeometry, SlidersKeepFortyPixelsApart)
{
    TEasyRulerGeometry ruler;
    ruler.Units = TEasyRulerUnits::erPixels;
    ruler.SetUnitSize(1);
    DragSlider(ruler, K::First, 390);
    const int right = ruler.SliderPos(ruler.Sliders[size_t(IndexOf(ruler, K::Right))]);
    EXPECT_EQ(ruler.SliderPos(ruler.Sliders[size_t(IndexOf(ruler, K::First))]), right - 40);
    DragSlider(ruler, K::Right, 0);
    EXPECT_EQ(ruler.SliderPos(ruler.Sliders[size_t(IndexOf(ruler, K::Right))]), right - 40 + 40);
}

TEST(EasyRulerGeometry, IndentationLimits)
{
    TEasyRulerGeometry ruler;
    ruler.Units = TEasyRulerUnits::erPixels;
    ruler.SetUnitSize(1);
    // Drag the start indentation far right: 40 pixels stay before the other.
    ASSERT_TRUE(ruler.MouseDown(36, 1));
    ruler.MouseMove(399);
    EXPECT_EQ(ruler.IndentationPos(0), ruler.IndentationPos(1) - 40);
    // Left of the start: at least 2 pixels.
    ruler.MouseMove(-20);
    EXPECT_EQ(ruler.Indentations[0].Position, 2);
    auto changes = ruler.MouseUp();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (TEasyRulerItem{TEasyRulerItem::Indentation, 0}));

    // Raised to 2, then snapped: a quarter-inch grid takes it to 0.
    ruler.Units = TEasyRulerUnits::erInches;
    ASSERT_TRUE(ruler.MouseDown(ruler.IndentationPos(1), 1));
    ruler.MouseMove(500);
    EXPECT_EQ(ruler.Indentations[1].Position, 0);
    ruler.MouseUp();

    // Fixed indentations do not start a drag.
    ruler.SetOptions(ruler.Options() | roFixedIndents);
    ruler.SetOrientation(TEasyRulerOrientation::Vertical);
    EXPECT_FALSE(ruler.MouseDown(ruler.IndentationPos(0), 1));
}

TEST(EasyRulerGeometry, GuideLineAndLostCapture)
{
    TEasyRulerGeometry ruler;
    ruler.Units = TEasyRulerUnits::erPixels;
    ruler.SetUnitSize(1);
    ASSERT_TRUE(ruler.MouseDown(36, 4));  // the first-line slider
    EXPECT_EQ(ruler.MouseMove(100), std::optional<int>(100));
    ruler.CancelDrag();
    EXPECT_TRUE(ruler.MouseUp().empty());
    ruler.SetOptions(ruler.Options() & ~roGuideLine);
    ASSERT_TRUE(ruler.MouseDown(100, 4));
    EXPECT_FALSE(ruler.MouseMove(120).has_value());
    EXPECT_FALSE(ruler.MouseDown(250, 0)) << "nothing there";
}

TEST(EasyRulerGeometry, MarksFromTheIndentationBothWays)
{
    TEasyRulerGeometry ruler;
    ruler.Units = TEasyRulerUnits::erInches;
    const auto marks = ruler.Marks();
    // Quarter inches from 36 up to 400 and down to 0.
    const int forward = (400 - 36 - 1) / 24, backward = (36 - 1) / 24;
    ASSERT_EQ(int(marks.size()), forward + backward);
    EXPECT_EQ(marks[0].Position, 60);
    EXPECT_EQ(marks[0].Label, L"\u00B7");
    EXPECT_EQ(marks[1].Label, L"|");
    EXPECT_EQ(marks[3].Position, 36 + 96);
    EXPECT_EQ(marks[3].Label, L"1");
    EXPECT_EQ(marks[7].Label, L"2");
    EXPECT_EQ(marks.back().Position, 12);
    for (const TEasyRulerMark& mark : marks) {
        EXPECT_GT(mark.Position, 0);
        EXPECT_LT(mark.Position, 400);
    }

    ruler.Units = TEasyRulerUnits::erCharacters;
    ruler.SetUnitSize(10);
    const auto chars = ruler.Marks();
    EXPECT_EQ(chars[0].Position, 36 + 15);
    EXPECT_EQ(chars[3].Label, L"4");

    ruler.Units = TEasyRulerUnits::erMilimeters;
    const auto millimetres = ruler.Marks();
    EXPECT_EQ(millimetres[3].Position, 36 + 38);  // one centimetre: 37.8 px
    EXPECT_EQ(millimetres[3].Label, L"1");

    ruler.Units = TEasyRulerUnits::erPixels;
    ruler.SetUnitSize(1);
    ruler.End = 2000000000;  // only the marks on the ruler
    EXPECT_LE(ruler.Marks().size(), 400u);
}

}  // namespace
}  // namespace qrv

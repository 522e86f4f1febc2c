#include "editor/EasyRulerGeometry.h"

#include "editor/EasyMulDiv.h"

#include <algorithm>
#include <climits>

namespace qrv {

namespace {

// Marks are counted no further than this, whatever the scale's length.
constexpr int MaxMarks = 100000;

}  // namespace

TEasyRulerGeometry::TEasyRulerGeometry()
{
    Indentations[1].Side = 1;
    RebuildSliders();
}

void TEasyRulerGeometry::SetOrientation(TEasyRulerOrientation orientation)
{
    orientation_ = orientation;
    if (orientation == TEasyRulerOrientation::Horizontal) {
        width_ = DefaultLength;
        height_ = Thickness;
        Start = 0;
        End = DefaultLength;
    } else {
        width_ = Thickness;
        height_ = DefaultLength;
    }
    RebuildSliders();
}

void TEasyRulerGeometry::SetSize(int width, int height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    RebuildSliders();
}

void TEasyRulerGeometry::SetOptions(uint8_t options)
{
    const bool slidersChanged = ((options ^ options_) & roShowSliders) != 0;
    options_ = options;
    if (slidersChanged)
        RebuildSliders();
}

void TEasyRulerGeometry::RebuildSliders()
{
    // Offsets survive a rebuild that only moves the sliders.
    std::vector<TEasyRulerSlider> old = std::move(Sliders);
    Sliders.clear();
    if (orientation_ != TEasyRulerOrientation::Horizontal || !(options_ & roShowSliders))
        return;
    using K = TEasyRulerSliderKind;
    Sliders = {
        {K::First, 1, 0, 0, 3, false},
        {K::Left, 0, 0, 0, height_ - 15, false},
        {K::Right, 1, 0, 1, height_ - 15, false},
        {K::Bottom, 0, 0, 0, height_ - 8, false},
    };
    if (old.size() == Sliders.size()) {
        for (size_t i = 0; i < old.size(); ++i)
            Sliders[i].Offset = old[i].Offset;
    }
}

int TEasyRulerGeometry::IndentationPos(int index) const
{
    const TEasyRulerIndentation& indentation = Indentations[index & 1];
    return indentation.Side == 0 ? Start + indentation.Position : End - indentation.Position;
}

int TEasyRulerGeometry::SliderPos(const TEasyRulerSlider& slider) const
{
    return slider.Side == 0 ? Start + Indentations[0].Position + slider.Offset
                            : End - Indentations[1].Position - slider.Offset;
}

int TEasyRulerGeometry::SliderAt(int x, int y) const
{
    for (size_t i = 0; i < Sliders.size(); ++i) {
        const int position = SliderPos(Sliders[i]);
        const int top = Sliders[i].Top;
        if (x >= position - 5 && x < position + 5 && y >= top && y < top + 8)
            return static_cast<int>(i);
    }
    return -1;
}

int TEasyRulerGeometry::IndentationAt(int along) const
{
    for (int i = 0; i < 2; ++i) {
        const int position = IndentationPos(i);
        if (along >= position - GripWidth / 2 && along < position + GripWidth / 2)
            return i;
    }
    return -1;
}

int TEasyRulerGeometry::Snap(int pixels) const
{
    if (!(options_ & roSnapToGrid))
        return pixels;
    const int ppi = std::max(PixelsPerInch, 1);
    switch (Units) {
    case TEasyRulerUnits::erMilimeters:
        // Whole 2.5 mm steps.
        return EasyMulDiv(EasyMulDiv(pixels, 254, 25 * ppi), 25 * ppi, 254);
    case TEasyRulerUnits::erInches:
        // Quarter inches.
        return EasyMulDiv(EasyMulDiv(pixels, 4, ppi), ppi, 4);
    case TEasyRulerUnits::erPixels:
    case TEasyRulerUnits::erCharacters:
        return pixels - pixels % unitSize_;
    }
    return pixels;
}

int TEasyRulerGeometry::MarkDistance(int n) const
{
    const int ppi = std::max(PixelsPerInch, 1);
    switch (Units) {
    case TEasyRulerUnits::erMilimeters:
        return EasyMulDiv(n * 25, ppi, 254);
    case TEasyRulerUnits::erInches:
        return EasyMulDiv(n, ppi, 4);
    case TEasyRulerUnits::erPixels:
        return int(std::min<int64_t>(int64_t(n) * unitSize_, INT_MAX));
    case TEasyRulerUnits::erCharacters:
        return int(std::min<int64_t>(int64_t(n) * unitSize_ + unitSize_ / 2, INT_MAX));
    }
    return n;
}

std::vector<TEasyRulerMark> TEasyRulerGeometry::Marks() const
{
    std::vector<TEasyRulerMark> marks;
    const int origin = Start + Indentations[0].Position;
    const int low = std::max(Start, 0);
    const int high = std::min(End, Along());
    auto label = [this](int n) -> std::wstring {
        if (n % 4 != 0)
            return n % 2 ? std::wstring(1, L'\u00B7') : std::wstring(L"|");
        return std::to_wstring(Units == TEasyRulerUnits::erCharacters ? n : n / 4);
    };
    for (int n = 1; n <= MaxMarks; ++n) {
        const int64_t position = int64_t(origin) + MarkDistance(n);
        if (position >= End || position > high)
            break;
        if (position >= low)
            marks.push_back({int(position), label(n)});
    }
    for (int n = 1; n <= MaxMarks; ++n) {
        const int64_t position = int64_t(origin) - MarkDistance(n);
        if (position <= Start || position < 0)
            break;
        if (position <= high)
            marks.push_back({int(position), label(n)});
    }
    return marks;
}

bool TEasyRulerGeometry::MouseDown(int along, int across)
{
    CancelDrag();
    const int slider = SliderAt(along, across);
    if (slider >= 0) {
        Sliders[size_t(slider)].Dragging = true;
        return true;
    }
    const int indentation = (options_ & roFixedIndents) ? -1 : IndentationAt(along);
    if (indentation >= 0) {
        Indentations[indentation].Dragging = true;
        return true;
    }
    return false;
}

void TEasyRulerGeometry::MoveSlider(int index, int along)
{
    TEasyRulerSlider& slider = Sliders[size_t(index)];
    const int oldOffset = slider.Offset;
    if (slider.Side == 0) {
        for (const TEasyRulerSlider& other : Sliders) {
            if (other.Side == 1)
                along = std::min(along, SliderPos(other) - MinDistance);
        }
        slider.Offset = std::max(Snap(std::max(along - (Start + Indentations[0].Position), 0)), 0);
    } else {
        for (const TEasyRulerSlider& other : Sliders) {
            if (other.Side == 0)
                along = std::max(along, SliderPos(other) + MinDistance);
        }
        slider.Offset = std::max(Snap(std::max(End - Indentations[1].Position - along, 0)), 0);
    }
    // The left and bottom sliders move together; the bottom one carries the
    // first-line slider along by the same distance.
    for (TEasyRulerSlider& other : Sliders) {
        if (slider.Kind == TEasyRulerSliderKind::Left && other.Kind == TEasyRulerSliderKind::Bottom)
            other.Offset = slider.Offset;
        if (slider.Kind == TEasyRulerSliderKind::Bottom) {
            if (other.Kind == TEasyRulerSliderKind::Left)
                other.Offset = slider.Offset;
            else if (other.Kind == TEasyRulerSliderKind::First)
                other.Offset = std::max(other.Offset + slider.Offset - oldOffset, 0);
        }
    }
}

void TEasyRulerGeometry::MoveIndentation(int index, int along)
{
    TEasyRulerIndentation& indentation = Indentations[index];
    const TEasyRulerIndentation& other = Indentations[1 - index];
    int distance = indentation.Side == 0 ? along - Start : End - along;
    distance = std::min(distance, End - Start - other.Position - MinDistance);
    distance = std::max(distance, 2);
    indentation.Position = std::max(Snap(distance), 0);
}

std::optional<int> TEasyRulerGeometry::MouseMove(int along)
{
    std::optional<int> guide;
    for (size_t i = 0; i < Sliders.size(); ++i) {
        if (Sliders[i].Dragging) {
            MoveSlider(int(i), along);
            guide = SliderPos(Sliders[i]);
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (Indentations[i].Dragging && !(options_ & roFixedIndents)) {
            MoveIndentation(i, along);
            guide = IndentationPos(i);
        }
    }
    if (!(options_ & roGuideLine))
        return std::nullopt;
    return guide;
}

std::vector<TEasyRulerItem> TEasyRulerGeometry::MouseUp()
{
    std::vector<TEasyRulerItem> dragged;
    for (int i = 0; i < 2; ++i) {
        if (Indentations[i].Dragging)
            dragged.push_back({TEasyRulerItem::Indentation, i});
    }
    for (size_t i = 0; i < Sliders.size(); ++i) {
        if (Sliders[i].Dragging)
            dragged.push_back({TEasyRulerItem::Slider, int(i)});
    }
    CancelDrag();
    return dragged;
}

void TEasyRulerGeometry::CancelDrag()
{
    for (TEasyRulerIndentation& indentation : Indentations)
        indentation.Dragging = false;
    for (TEasyRulerSlider& slider : Sliders)
        slider.Dragging = false;
}

bool TEasyRulerGeometry::Dragging() const
{
    return std::any_of(std::begin(Indentations), std::end(Indentations), [](auto& i) { return i.Dragging; }) ||
           std::any_of(Sliders.begin(), Sliders.end(), [](auto& s) { return s.Dragging; });
}

}  // namespace qrv

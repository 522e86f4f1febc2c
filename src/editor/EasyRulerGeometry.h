#pragma once
// TEasyRulerGeometry: everything a ruler computes without drawing: where
// its indentations and sliders are, which one a point hits, snapping to the
// unit grid, the limits and couplings while dragging, and the scale's marks
// and labels. Its drag machine turns mouse presses, moves and releases into
// one change per dragged item. The ruler control paints from it. Portable.

#include "editor/EasyEditorSubObjects.h"

#include <optional>
#include <string>
#include <vector>

namespace qrv {

enum TEasyRulerOption : uint8_t {
    roSnapToGrid = 1,    // positions snap to the unit grid
    roShowSliders = 2,   // paragraph sliders (horizontal rulers)
    roFixedIndents = 4,  // indentations cannot be dragged
    roGuideLine = 8,     // a dotted guide line across the owner while dragging
};
constexpr uint8_t DefaultEasyRulerOptions = roSnapToGrid | roShowSliders | roGuideLine;

enum class TEasyRulerOrientation : uint8_t { Horizontal, Vertical };

struct TEasyRulerIndentation {
    int Position = 36;  // pixels from its end, at least 0
    int Side = 0;       // 0 measured from the start, 1 from the end
    bool Dragging = false;
};

enum class TEasyRulerSliderKind : uint8_t { First, Left, Right, Bottom };

struct TEasyRulerSlider {
    TEasyRulerSliderKind Kind = TEasyRulerSliderKind::First;
    int Shape = 0;
    int Offset = 0;  // pixels from its indentation, at least 0
    int Side = 0;    // 1: measured from the end (the right slider)
    int Top = 0;     // vertical position
    bool Dragging = false;
};

// A dragged item, as the change event names it.
struct TEasyRulerItem {
    enum TKind : uint8_t { Indentation, Slider } Kind = Indentation;
    int Index = 0;
    bool operator==(const TEasyRulerItem&) const = default;
};

// A mark of the scale: its position along the ruler and its label.
struct TEasyRulerMark {
    int Position = 0;
    std::wstring Label;  // a middle dot, "|" or a number
};

class TEasyRulerGeometry {
public:
    // Sliders and indentations keep this many pixels apart.
    static constexpr int MinDistance = 40;
    static constexpr int GripWidth = 8;
    static constexpr int Thickness = 26;
    static constexpr int DefaultLength = 400;

    TEasyRulerGeometry();

    TEasyRulerOrientation Orientation() const { return orientation_; }
    // Resizes the ruler; a horizontal one also resets start and end and both
    // rebuild the sliders.
    void SetOrientation(TEasyRulerOrientation orientation);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height);
    // Extent across and along the ruler.
    int Across() const { return orientation_ == TEasyRulerOrientation::Horizontal ? height_ : width_; }
    int Along() const { return orientation_ == TEasyRulerOrientation::Horizontal ? width_ : height_; }

    int Start = 0;
    int End = DefaultLength;
    TEasyRulerUnits Units = TEasyRulerUnits::erMilimeters;
    int PixelsPerInch = 96;

    uint8_t Options() const { return options_; }
    void SetOptions(uint8_t options);  // a change of roShowSliders rebuilds the sliders
    int UnitSize() const { return unitSize_; }
    void SetUnitSize(int pixels) { unitSize_ = std::max(pixels, 1); }

    TEasyRulerIndentation Indentations[2];
    void SetIndentation(int index, int position) { Indentations[index & 1].Position = std::max(position, 0); }
    std::vector<TEasyRulerSlider> Sliders;
    void RebuildSliders();

    // Positions along the ruler.
    int IndentationPos(int index) const;
    int SliderPos(const TEasyRulerSlider& slider) const;
    // The first slider whose 10 × 8 box holds the point, or -1 (x along, y across).
    int SliderAt(int x, int y) const;
    // The first indentation whose grip holds the point along the ruler, or -1.
    int IndentationAt(int along) const;
    // A distance snapped to the unit grid when roSnapToGrid is set.
    int Snap(int pixels) const;

    // The scale's marks between Start and End (and within the ruler).
    std::vector<TEasyRulerMark> Marks() const;
    // The distance of mark n from the scale's origin.
    int MarkDistance(int n) const;

    // The drag machine. Point coordinates: along and across the ruler.
    // True when the press started a drag.
    bool MouseDown(int along, int across);
    // The guide line's new position along the ruler (with roGuideLine) while
    // something is dragged.
    std::optional<int> MouseMove(int along);
    // The items dragged, one each; the drag ends.
    std::vector<TEasyRulerItem> MouseUp();
    // Capture lost: the drag ends without changes being reported.
    void CancelDrag();
    bool Dragging() const;

private:
    void MoveSlider(int index, int along);
    void MoveIndentation(int index, int along);

    TEasyRulerOrientation orientation_ = TEasyRulerOrientation::Horizontal;
    int width_ = DefaultLength;
    int height_ = Thickness;
    uint8_t options_ = DefaultEasyRulerOptions;
    int unitSize_ = 8;
};

}  // namespace qrv

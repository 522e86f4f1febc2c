#pragma once
// TEasyRuler: the ruler the editor shows above (horizontal) or beside
// (vertical) its text. It paints its scale, the two indentation areas and,
// horizontally, four paragraph sliders; the user drags indentations and
// sliders and the ruler reports each dragged item once when the button is
// released. The geometry and drag logic are TEasyRulerGeometry's.

#include "editor/EasyRulerGeometry.h"
#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <functional>

namespace qrv {

class TEasyRuler : public TCustomControl {
public:
    explicit TEasyRuler(TComponent* owner);
    ~TEasyRuler() override;

    const TEasyRulerGeometry& Geometry() const { return geometry_; }

    TEasyRulerOrientation Orientation() const { return geometry_.Orientation(); }
    // Resizes the ruler: 400 × 26 horizontally, 26 × 400 vertically.
    void SetOrientation(TEasyRulerOrientation orientation);
    int Start() const { return geometry_.Start; }
    void SetStart(int pixels);
    int End() const { return geometry_.End; }
    void SetEnd(int pixels);
    uint8_t Options() const { return geometry_.Options(); }
    void SetOptions(uint8_t options);
    TEasyRulerUnits Units() const { return geometry_.Units; }
    void SetUnits(TEasyRulerUnits units);
    int UnitSize() const { return geometry_.UnitSize(); }
    void SetUnitSize(int pixels);
    int FirstIndent() const { return geometry_.Indentations[0].Position; }
    void SetFirstIndent(int pixels);
    int SecondIndent() const { return geometry_.Indentations[1].Position; }
    void SetSecondIndent(int pixels);

    // Raised once per dragged item when the mouse button is released.
    std::function<void(TEasyRuler* Sender, const TEasyRulerItem& Item)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    void WndProc(TMessage& message) override;
    void FontChanged() override;
    void BoundsChanged() override;

private:
    void Changed();
    void PaintRuler(HDC dc);
    void PaintScale(HDC dc);
    void PaintSliders(HDC dc);
    HFONT LabelFont();
    // Mouse positions along and across the ruler.
    int AlongOf(LPARAM point) const;
    int AcrossOf(LPARAM point) const;
    // The dotted guide line across the parent; drawing it twice erases it.
    void InvertGuideLine(int along);
    void EraseGuideLine();
    void EndDrag(bool report);

    TEasyRulerGeometry geometry_;
    TGdiObject rotatedFont_;  // the label font turned for a vertical ruler
    int guideLine_ = -1;      // along the ruler; -1 = none shown
    bool capturing_ = false;
};

}  // namespace qrv

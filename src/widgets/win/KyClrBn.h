#pragma once
// TKyColorButton: a button showing a colour swatch and a drop-down arrow.
// A click opens the system colour dialog with the button's colour; the
// palette drop-down of preset colours is not built yet.

#include "framework/win/Controls.h"

#include <array>
#include <functional>

namespace qrv {

class TKyColorButton : public TCustomControl {
public:
    explicit TKyColorButton(TComponent* owner);

    // The chosen colour; writing a different one repaints and raises OnColorChange.
    void SetColor(TColor color) override;
    // The colour of the palette's other-colour cell.
    TColor OtherColor = clBtnFace;
    // The 20 preset colours, column after column (4 columns of 5).
    const std::array<TColor, 20>& PaletteColors() const { return palette_; }
    // 1-based index of the first preset equal to Color, 0 when none.
    int SelectedIndex() const { return selected_; }
    // The colour dialog's 16 custom colours.
    std::array<COLORREF, 16> CustomColors;
    bool Flat = false;

    // Opens the colour dialog; a chosen colour becomes Color and OtherColor.
    void Click();
    // Chooses in place of the system's colour dialog when set (false: cancelled).
    std::function<bool(HWND Owner, TColor& Color)> Chooser;

    TNotifyEvent OnColorChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    int PresetIndex(TColor color) const;
    std::array<TColor, 20> palette_;
    int selected_ = 0;
    bool pressed_ = false;
};

}  // namespace qrv

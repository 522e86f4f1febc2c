#pragma once
// TKyColorButton: a button showing a colour swatch and a drop-down arrow.
// A click drops down its palette (TKyColorButtonPalette): 20 preset
// colours, the other-colour cell and a button that opens the system colour
// dialog with 16 custom colours, which can persist in the registry.

#include "framework/win/Controls.h"
#include "framework/win/HintWindow.h"
#include "widgets/ColorArray.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TKyColorButtonPalette;

// X and Y are the cell's column and row (0, 0: the other-colour cell); the
// handler may change the hint.
using TKyColorHintTextEvent =
    std::function<void(TComponent* Sender, TColor AColor, int X, int Y, std::wstring& HintStr)>;
// Chooses a colour in place of the system's colour dialog (false: cancelled).
using TColorChooser = std::function<bool(HWND Owner, TColor& Color)>;

class TKyColorButton : public TCustomControl {
public:
    explicit TKyColorButton(TComponent* owner);
    ~TKyColorButton() override;

    // The chosen colour; writing a different one repaints and raises OnColorChange.
    void SetColor(TColor color) override;
    // The colour of the palette's other-colour cell.
    TColor OtherColor = clBtnFace;
    std::wstring OtherBtnCaption = L"&Other";
    // The 20 preset colours (4 columns of 5) and the 16 custom colours (8 × 2).
    TColorArrayClass& PaletteColors() { return palette_; }
    TColorArrayClass& CustomColors() { return custom_; }
    // 1-based linear index of the first preset equal to Color, 0 when none.
    int SelectedIndex() const { return selected_; }
    // A click on the swatch steps through the presets and OtherColor.
    bool CycleColors = false;
    bool ShowColorHints = true;
    bool Flat = false;
    // HKEY_CURRENT_USER\<key>\Colors keeps the custom colours; empty: not kept.
    std::wstring CustomColorsKey;
    // "<form>.<button>", the value the custom colours are stored under.
    std::wstring RegistryValueName() const;
    void StoreCustomColors();
    void ReadCustomColors();

    // Opens the palette, or (CycleColors, on the swatch) takes the next preset.
    // x: where the click was (-1: the keyboard, never the swatch).
    void Click(int x = -1);
    // The palette while it is open.
    TKyColorButtonPalette* Palette() const { return paletteWindow_; }
    TColorChooser Chooser;

    TNotifyEvent OnColorChange;
    TKyColorHintTextEvent OnGetColorHintText;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    friend class TKyColorButtonPalette;
    void SelectIndex(int index);
    void OpenPalette();
    void PaletteChose(TColor color, bool other);
    void PaletteClosed(bool byEscape);
    TColorArrayClass palette_ = DefaultPaletteColors();
    TColorArrayClass custom_ = DefaultCustomColors();
    int selected_ = 0;
    bool pressed_ = false;
    bool swallowNextClick_ = false;
    bool customColorsRead_ = false;
    std::wstring valueName_;  // RegistryValueName when the window was made
    TKyColorButtonPalette* paletteWindow_ = nullptr;
    TKyColorButtonPalette* closedPalette_ = nullptr;  // hidden, freed at the next opening
    std::vector<HWND> madeNormal_;                    // top-most windows while the palette is open
};

class TKyColorButtonPalette : public TCustomControl {
public:
    explicit TKyColorButtonPalette(TKyColorButton& button);
    ~TKyColorButtonPalette() override;

    TPaletteCell Highlighted() const { return highlighted_; }
    // Chooses a cell (presets, or the other-colour cell) and closes.
    void Choose(TPaletteCell cell);
    // Closes without a choice.
    void Close(bool byEscape);
    // The "Other" button: the colour dialog with the custom colours.
    void ChooseOther();
    // The hint shown now over a cell (empty: none).
    const std::wstring& HintText() const { return hintText_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint(HDC dc) override;

private:
    TColor CellColor(TPaletteCell cell) const;
    RECT CellRect(TPaletteCell cell) const;
    RECT OtherButtonRect() const;
    void Highlight(TPaletteCell cell);
    void UpdateHint(TPaletteCell cell);
    TKyColorButton& button_;
    TPaletteCell highlighted_;
    TColor otherColor_;
    bool dialogOpen_ = false;
    bool closing_ = false;
    bool buttonDown_ = false;
    std::wstring hintText_;
    std::unique_ptr<THintWindow> hint_;
};

}  // namespace qrv

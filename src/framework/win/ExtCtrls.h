#pragma once
// Panels and the status bar.

#include "framework/Alignment.h"
#include "framework/win/Controls.h"

#include <string>
#include <vector>

namespace qrv {

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

// A plain container with an optional bevel and a centred caption.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    RECT ClientRect() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;

private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
};

struct TStatusPanel {
    std::wstring Text;
    int Width = 50;
    TAlignment Alignment = TAlignment::taLeftJustify;
};

// The status bar common control; bottom-aligned, in panels or one simple text.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    TStatusPanel& Panels(int index) { return panels_.at(index); }
    TStatusPanel& AddPanel(int width, const std::wstring& text = L"");
    void SetPanelText(int index, const std::wstring& text);
    // Sends the panels' widths and texts to the control after changes.
    void UpdatePanels();

    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool simple);
    const std::wstring& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::wstring& text);
    // The text the control shows now in a panel (read back from the control).
    std::wstring DisplayedText(int index);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    // A new font brings the height that fits it.
    void FontChanged() override;

private:
    void FitHeightToFont();
    std::vector<TStatusPanel> panels_;
    bool simplePanel_ = false;
    std::wstring simpleText_;
};

}  // namespace qrv

#pragma once
// The track bar over the common control, and the speed button: a toolbar
// button that stands on a form, painted with the visual style's button (or
// toolbar button, when flat) while styles are on, else with a raised look.

#include "framework/win/Controls.h"
#include "widgets/win/KyToolbarCtls.h"

namespace qrv {

class TXPTrackBar : public TWinControl {
public:
    explicit TXPTrackBar(TComponent* owner);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    // A tick every Frequency positions.
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    // Read from the control while it exists (the user moves the thumb).
    int Position();
    void SetPosition(int value);
    // With the selection-range style; changing it re-creates the window.
    bool ShowSelRange() const { return showSelRange_; }
    void SetShowSelRange(bool show);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;

private:
    void SendRange();
    int min_ = 0;
    int max_ = 10;
    int frequency_ = 1;
    int position_ = 0;
    bool showSelRange_ = false;
};

class TXPSpeedButton : public TKyToolbarButton {
public:
    explicit TXPSpeedButton(TComponent* owner);

    // Whether the button paints with the visual style: styles are on for
    // the application and for its window (SetWindowTheme(h, L" ", L" ") turns
    // them off for one window).
    bool Themed();
    // Which way the last paint went.
    bool LastPaintThemed() const { return lastPaintThemed_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc, const RECT& client) override;
    void WndProc(TMessage& message) override;

private:
    bool lastPaintThemed_ = false;
};

}  // namespace qrv

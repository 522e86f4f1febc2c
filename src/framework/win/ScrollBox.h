#pragma once
// A container that scrolls its children when they reach beyond its client area.

#include "framework/win/Controls.h"

namespace qrv {

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner);

    // How far the content is scrolled, in pixels.
    int HorzPosition() const { return scrollX_; }
    int VertPosition() const { return scrollY_; }
    // Scrolls the content to a position (clamped to the range).
    void ScrollTo(int x, int y);
    // Recomputes the scroll ranges from the children; call after moving them.
    void UpdateScrollBars();
    // Lays out the children, then fits the scroll ranges to them.
    void Realign() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    // The size of the content: the children's extent at scroll position 0.
    SIZE ContentSize();
    int NewPosition(int bar, WPARAM request, int current);

    int scrollX_ = 0;
    int scrollY_ = 0;
};

}  // namespace qrv

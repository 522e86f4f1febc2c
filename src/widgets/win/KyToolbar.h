#pragma once
// Toolbars: tool windows that line up their controls (buttons, separators,
// other controls) in insertion order, and the separator between groups.

#include "widgets/ToolbarLayout.h"
#include "widgets/win/KyDock.h"

#include <memory>

namespace qrv {

class TKyCustomToolbar : public TKyCustomToolWindow {
public:
    explicit TKyCustomToolbar(TComponent* owner);

    // The wrap width of the floating toolbar in client pixels (0: no wrapping).
    int FloatingRightX() const { return floatingRightX_; }
    void SetFloatingRightX(int width);

    int GetRowThickness(TDockOrientation orientation) override;

protected:
    void CreateParams(TCreateParams& params) override;
    SIZE LayoutControls(bool apply, TDockOrientation orientation, int crossSize) override;
    // Resizing snaps to the sizes where the lines change.
    void ResizeStart(int band) override;
    void ResizeChange(int band, RECT& rect) override;
    void ResizeEnd(bool accepted) override;

private:
    std::vector<TToolbarItem> Items() const;
    int floatingRightX_ = 0;
    std::unique_ptr<TToolbarResizeSnap> snap_;  // while a resize runs
    int pendingRightX_ = 0;
};

class TKyToolbar : public TKyCustomToolbar {
public:
    using TKyCustomToolbar::TKyCustomToolbar;
};

// The gap between two groups of a toolbar's controls, with an etched line.
class TKyToolbarSep : public TCustomControl {
public:
    explicit TKyToolbarSep(TComponent* owner);

    // Its length in a horizontal and in a vertical line (at least 1).
    int SizeHorz() const { return sizeHorz_; }
    void SetSizeHorz(int size);
    int SizeVert() const { return sizeVert_; }
    void SetSizeVert(int size);
    // A blank separator draws no line.
    bool Blank() const { return blank_; }
    void SetBlank(bool blank);

    // Only a toolbar takes a separator.
    void SetParent(TWinControl* parent) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;
    // A press on the separator is the toolbar's.
    void WndProc(TMessage& message) override;

private:
    int sizeHorz_ = 6;
    int sizeVert_ = 6;
    bool blank_ = false;
};

}  // namespace qrv

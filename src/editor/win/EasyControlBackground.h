#pragma once
// TEasyControlBackground: the picture or gradient behind an editor's text.
// It keeps a working bitmap of the editor's client size, rebuilt whenever a
// setting or the picture changes, from which the painter copies each row
// in transparent mode.

#include "framework/Colors.h"
#include "framework/win/Bitmap.h"

#include <windows.h>

#include <functional>

namespace qrv {

enum class TEasyBackgroundOption { bgNone, bgStretch, bgCenter, bgTile, bgHorzGradient, bgVertGradient };

class TEasyControlBackground {
public:
    TEasyControlBackground();
    virtual ~TEasyControlBackground() = default;
    TEasyControlBackground(const TEasyControlBackground&) = delete;
    TEasyControlBackground& operator=(const TEasyControlBackground&) = delete;

    TBitmap& Bitmap() { return bitmap_; }
    TEasyBackgroundOption Option() const { return option_; }
    void SetOption(TEasyBackgroundOption option);
    TColor GradientStartColor() const { return startColor_; }
    void SetGradientStartColor(TColor color);
    TColor GradientEndColor() const { return endColor_; }
    void SetGradientEndColor(TColor color);
    // All four settings, with one rebuild.
    void Assign(const TEasyControlBackground& other);

    // The editor's client size and brush colour (the surround of a centred picture).
    void SetClientSize(int width, int height);
    void SetBrushColor(TColor color);

    // Changes inside an update bracket rebuild once, at its end.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    // A gradient over a non-empty client area, or a picture mode with a picture.
    bool Active() const;
    // Copies the rectangle of the working bitmap to the same place on the DC.
    void PaintTo(HDC dc, const RECT& rect) const;
    const TBitmap& Working() const { return working_; }

    // After each rebuild: the editor repaints.
    std::function<void()> OnInvalidate;

private:
    void Changed();
    void Rebuild();

    TBitmap bitmap_;
    TBitmap working_;
    TEasyBackgroundOption option_ = TEasyBackgroundOption::bgNone;
    TColor startColor_ = clBlue;
    TColor endColor_ = clBlack;
    TColor brushColor_ = clWindow;
    int width_ = 0;
    int height_ = 0;
    int updateCount_ = 0;
    bool pending_ = false;
};

}  // namespace qrv

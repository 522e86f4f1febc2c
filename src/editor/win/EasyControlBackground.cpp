#include "editor/win/EasyControlBackground.h"

#include "editor/win/EasyPainterWin.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

namespace qrv {

TEasyControlBackground::TEasyControlBackground()
{
    bitmap_.OnChange = [this] { Changed(); };
}

void TEasyControlBackground::SetOption(TEasyBackgroundOption option)
{
    if (option_ == option)
        return;
    option_ = option;
    Changed();
}

void TEasyControlBackground::SetGradientStartColor(TColor color)
{
    if (startColor_ == color)
        return;
    startColor_ = color;
    Changed();
}

void TEasyControlBackground::SetGradientEndColor(TColor color)
{
    if (endColor_ == color)
        return;
    endColor_ = color;
    Changed();
}

void TEasyControlBackground::Assign(const TEasyControlBackground& other)
{
    if (&other == this)
        return;
    BeginUpdate();
    try {
        bitmap_.Assign(&other.bitmap_);
        SetOption(other.option_);
        SetGradientStartColor(other.startColor_);
        SetGradientEndColor(other.endColor_);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TEasyControlBackground::SetClientSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    Changed();
}

void TEasyControlBackground::SetBrushColor(TColor color)
{
    if (brushColor_ == color)
        return;
    brushColor_ = color;
    Changed();
}

void TEasyControlBackground::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && pending_)
        Changed();
}

bool TEasyControlBackground::Active() const
{
    switch (option_) {
    case TEasyBackgroundOption::bgNone:
        return false;
    case TEasyBackgroundOption::bgHorzGradient:
    case TEasyBackgroundOption::bgVertGradient:
        return width_ > 0 && height_ > 0;
    default:
        return !bitmap_.Empty();
    }
}

void TEasyControlBackground::Changed()
{
    if (updateCount_ > 0) {
        pending_ = true;
        return;
    }
    pending_ = false;
    Rebuild();
    if (OnInvalidate)
        OnInvalidate();
}

void TEasyControlBackground::Rebuild()
{
    if (!Active() || width_ <= 0 || height_ <= 0) {
        working_.SetHandle(nullptr);
        return;
    }
    working_.SetSize(width_, height_, brushColor_);
    const TOwnDC dc(CreateCompatibleDC(nullptr));
    const TSelectObject target(dc.Get(), working_.Handle());
    const RECT client{0, 0, width_, height_};
    if (option_ == TEasyBackgroundOption::bgHorzGradient || option_ == TEasyBackgroundOption::bgVertGradient) {
        FillGradient(dc.Get(), client, startColor_, endColor_, option_ == TEasyBackgroundOption::bgHorzGradient);
        return;
    }
    const TOwnDC source(CreateCompatibleDC(nullptr));
    const TSelectObject picture(source.Get(), bitmap_.Handle());
    const int w = bitmap_.Width();
    const int h = bitmap_.Height();
    if (w <= 0 || h <= 0)
        return;
    switch (option_) {
    case TEasyBackgroundOption::bgStretch:
        SetStretchBltMode(dc.Get(), COLORONCOLOR);
        StretchBlt(dc.Get(), 0, 0, width_, height_, source.Get(), 0, 0, w, h, SRCCOPY);
        break;
    case TEasyBackgroundOption::bgCenter:
        BitBlt(dc.Get(), (width_ - w) / 2, (height_ - h) / 2, w, h, source.Get(), 0, 0, SRCCOPY);
        break;
    case TEasyBackgroundOption::bgTile:
        for (int y = 0; y < height_; y += h)
            for (int x = 0; x < width_; x += w)
                BitBlt(dc.Get(), x, y, w, h, source.Get(), 0, 0, SRCCOPY);
        break;
    default:
        break;
    }
}

void TEasyControlBackground::PaintTo(HDC dc, const RECT& rect) const
{
    if (working_.Empty())
        return;
    const TOwnDC source(CreateCompatibleDC(nullptr));
    const TSelectObject select(source.Get(), working_.Handle());
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.Get(), rect.left, rect.top,
           SRCCOPY);
}

}  // namespace qrv

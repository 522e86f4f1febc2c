#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

namespace qrv {

COLORREF ColorToRGB(TColor color)
{
    if (IsSystemColor(color))
        return GetSysColor(SystemColorIndex(color));
    return static_cast<COLORREF>(color);
}

namespace {
int ScreenPixelsPerInch()
{
    const TWindowDC dc(nullptr);
    return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}
}  // namespace

TFont::TFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        name_ = metrics.lfMessageFont.lfFaceName;
        height_ = metrics.lfMessageFont.lfHeight;
    } else {
        name_ = L"Tahoma";
    }
}

void TFont::Assign(const TFont& other)
{
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    charset_ = other.charset_;
    pitch_ = other.pitch_;
    Changed();
}

void TFont::SetName(const std::wstring& name)
{
    if (name != name_) {
        name_ = name;
        Changed();
    }
}

void TFont::SetHeight(int height)
{
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

int TFont::Size() const
{
    return -MulDiv(height_, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetStyle(unsigned style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TFont::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TFont::SetCharset(uint8_t charset)
{
    if (charset != charset_) {
        charset_ = charset;
        Changed();
    }
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch != pitch_) {
        pitch_ = pitch;
        Changed();
    }
}

HFONT TFont::Handle() const
{
    if (!handle_) {
        LOGFONTW lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        lf.lfCharSet = charset_;
        lf.lfQuality = DEFAULT_QUALITY;
        if (pitch_ == TFontPitch::fpFixed)
            lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        else if (pitch_ == TFontPitch::fpVariable)
            lf.lfPitchAndFamily = VARIABLE_PITCH;
        lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.Reset(CreateFontIndirectW(&lf));
    }
    return static_cast<HFONT>(handle_.Get());
}

void TFont::Changed()
{
    handle_.Reset();
    if (OnChange)
        OnChange();
}

void TPen::Changed()
{
    handle_.Reset();
    if (OnChange)
        OnChange();
}

void TPen::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TPen::SetWidth(int width)
{
    if (width != width_) {
        width_ = width;
        Changed();
    }
}

void TPen::SetStyle(int style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TPen::Assign(const TPen& other)
{
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    Changed();
}

HPEN TPen::Handle() const
{
    if (!handle_)
        handle_.Reset(CreatePen(style_, width_, ColorToRGB(color_)));
    return static_cast<HPEN>(handle_.Get());
}

void TBrush::Changed()
{
    handle_.Reset();
    if (OnChange)
        OnChange();
}

void TBrush::SetColor(TColor color)
{
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TBrush::SetStyle(int style)
{
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TBrush::Assign(const TBrush& other)
{
    color_ = other.color_;
    style_ = other.style_;
    Changed();
}

HBRUSH TBrush::Handle() const
{
    if (!handle_) {
        if (style_ == BS_NULL)
            handle_.Reset(GetStockObject(NULL_BRUSH));
        else
            handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    }
    return static_cast<HBRUSH>(handle_.Get());
}

}  // namespace qrv

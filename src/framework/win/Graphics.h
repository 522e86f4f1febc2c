#pragma once
// Colours and fonts of controls.

#include "framework/Colors.h"
#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

// The RGB value of a colour, system colours resolved.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// The pitch asked of the font mapper: it decides which face stands in when
// the named one is missing.
enum class TFontPitch { fpDefault, fpFixed, fpVariable };

// A logical font; the GDI handle is made on demand and remade after a change.
class TFont {
public:
    TFont();  // the system's message font
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;
    void Assign(const TFont& other);

    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name);
    // Height in pixels (negative: character height, as in LOGFONT).
    int Height() const { return height_; }
    void SetHeight(int height);
    // Size in points at the screen's resolution.
    int Size() const;
    void SetSize(int points);
    unsigned Style() const { return style_; }
    void SetStyle(unsigned style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // The character set asked for; DEFAULT_CHARSET takes the face's own.
    uint8_t Charset() const { return charset_; }
    void SetCharset(uint8_t charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);

    HFONT Handle() const;
    std::function<void()> OnChange;

private:
    void Changed();
    std::wstring name_;
    int height_ = -12;
    unsigned style_ = 0;
    TFontPitch pitch_ = TFontPitch::fpDefault;
    TColor color_ = clWindowText;
    uint8_t charset_ = DEFAULT_CHARSET;
    mutable TGdiObject handle_;  // made on first use, dropped on every change
};

// A logical pen (style: the system's PS_ values); the handle is made on
// demand and remade after a change.
class TPen {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    int Style() const { return style_; }
    void SetStyle(int style);
    void Assign(const TPen& other);

    HPEN Handle() const;
    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clBlack;
    int width_ = 1;
    int style_ = PS_SOLID;
    mutable TGdiObject handle_;
};

// A logical brush (style: BS_SOLID or BS_NULL); the handle is made on demand.
class TBrush {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Style() const { return style_; }
    void SetStyle(int style);
    void Assign(const TBrush& other);

    HBRUSH Handle() const;
    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clWhite;
    int style_ = BS_SOLID;
    mutable TGdiObject handle_;
};

}  // namespace qrv

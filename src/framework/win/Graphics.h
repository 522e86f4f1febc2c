#pragma once
// Colours and fonts of controls.

#include "framework/win/WinApi.h"

#include <functional>
#include <string>

namespace qrv {

// An RGB value, or a system colour: 0x80000000 | COLOR_xxx index.
using TColor = int32_t;
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | unsigned(index)); }
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);

COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A logical font; the GDI handle is made on demand and remade after a change.
class TFont {
public:
    TFont();  // the system's message font
    ~TFont();
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

    HFONT Handle() const;
    std::function<void()> OnChange;

private:
    void Changed();
    std::wstring name_;
    int height_ = -12;
    unsigned style_ = 0;
    TColor color_ = clWindowText;
    mutable HFONT handle_ = nullptr;
};

}  // namespace qrv

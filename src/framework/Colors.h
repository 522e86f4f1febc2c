#pragma once
// Colour values as stored in settings: an RGB value (0x00BBGGRR), or a system
// colour, 0xFF000000 or-ed with the system colour index. Portable.

#include <cstdint>

namespace qrv {

using TColor = int32_t;
constexpr TColor SystemColor(int index)
{
    return static_cast<TColor>(0xFF000000u | unsigned(index));
}
constexpr bool IsSystemColor(TColor color)
{
    return (static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u;
}
constexpr int SystemColorIndex(TColor color)
{
    return static_cast<int>(color & 0xFF);
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours by their index (the values of the COLOR_xxx constants).
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

}  // namespace qrv

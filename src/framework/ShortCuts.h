#pragma once
// Keyboard shortcuts: a virtual-key code with modifier bits, and their German
// display texts ("Umsch+Strg+F5"). Portable.

#include <cstdint>
#include <string>

namespace qrv {

using TShortCut = uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

constexpr TShortCut ShortCut(uint16_t key, TShortCut modifiers)
{
    return TShortCut((key & 0xFF) | modifiers);
}
constexpr uint16_t ShortCutKey(TShortCut shortCut)
{
    return shortCut & 0xFF;
}

// The German text of a shortcut; modifiers come as "Umsch+", "Strg+", "Alt+".
std::wstring ShortCutToText(TShortCut shortCut);

// True when Character is the caption's accelerator: the character after a
// single "&" ("&&" stands for the ampersand itself), compared without case.
bool IsAccel(wchar_t character, const std::wstring& caption);

}  // namespace qrv

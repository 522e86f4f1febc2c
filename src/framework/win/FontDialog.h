#pragma once
// The system's font dialog over a font: it starts with the font's face, size,
// style and character set and, on OK, puts the chosen ones into it.

#include "framework/win/Graphics.h"

namespace qrv {

// FixedPitchOnly offers only fixed-pitch faces. False when the user cancelled.
bool ChooseFontFor(HWND owner, TFont& font, bool fixedPitchOnly);

}  // namespace qrv

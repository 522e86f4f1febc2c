#pragma once
// Character attributes taken from a framework font.

#include "editor/EasyEditorAttributes.h"
#include "framework/win/Graphics.h"

namespace qrv {

// Colour, name, character set, style, size, pitch and the normal vertical
// position, inside one update bracket of the attributes.
void AssignFont(TCustomEasyEditorAttributes& attributes, const TFont& font);

}  // namespace qrv

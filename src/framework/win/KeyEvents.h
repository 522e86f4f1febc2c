#pragma once
// The key events of controls and forms.

#include "framework/Component.h"
#include "framework/ShortCuts.h"

#include <cstdint>
#include <functional>

namespace qrv {

// A key pressed in a control; setting Key to 0 swallows it. Shift holds the
// modifier bits of ShortCuts.h (scShift, scCtrl, scAlt).
using TKeyEvent = std::function<void(TComponent* Sender, uint16_t& Key, TShortCut Shift)>;
// A character typed in a control; setting Key to 0 drops it.
using TKeyPressEvent = std::function<void(TComponent* Sender, wchar_t& Key)>;

}  // namespace qrv

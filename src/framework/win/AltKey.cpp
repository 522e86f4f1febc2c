#include "framework/win/AltKey.h"

namespace qrv {

void AltKeyCombinationTaken(HWND window, WPARAM key)
{
    // The combined key's release as the default procedure would have seen
    // it: it ends the "Alt alone" state and starts nothing itself.
    constexpr LPARAM kReleasedWithAlt = static_cast<LPARAM>(0xE0000001u);  // released, was down, Alt held
    if (window)
        DefWindowProcW(window, WM_SYSKEYUP, key, kReleasedWithAlt);
}

}  // namespace qrv

#pragma once
// Keys as the window's thread sees them: posted to a window and handled by
// the message loop, the modifiers in the thread's key state. No key goes
// through the system's input, so other programs' windows never get it.

#include "win/MessagePump.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>

namespace qrv::test {

inline void HoldModifiers(std::initializer_list<WORD> modifiers, bool held)
{
    BYTE state[256]{};
    GetKeyboardState(state);
    for (WORD modifier : modifiers)
        state[modifier] = held ? 0x80 : 0;
    SetKeyboardState(state);
}

// A key going down (or up) with the given modifiers held; Alt makes it a
// system key, as the keyboard would.
inline void PostKey(HWND window, WORD key, std::initializer_list<WORD> modifiers = {}, bool up = false)
{
    using namespace std::chrono_literals;
    HoldModifiers(modifiers, true);
    const bool alt = std::find(modifiers.begin(), modifiers.end(), WORD{VK_MENU}) != modifiers.end();
    const UINT message = up ? (alt ? WM_SYSKEYUP : WM_KEYUP) : (alt ? WM_SYSKEYDOWN : WM_KEYDOWN);
    const LPARAM data = (up ? 0xC0000001 : 1) | (alt ? 0x20000000 : 0);
    PostMessageW(window, message, key, data);
    PumpUntilIdle([] { return true; }, 2s);
    HoldModifiers(modifiers, false);
}

// Down and up again.
inline void PressKey(HWND window, WORD key, std::initializer_list<WORD> modifiers = {})
{
    PostKey(window, key, modifiers);
    PostKey(window, key, {}, true);
}

}  // namespace qrv::test

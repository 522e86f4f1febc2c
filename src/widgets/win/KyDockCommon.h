#pragma once
// The clients of the tool-window hook events: the tool windows and buttons of
// the user-interface thread register a callback for the host events they must
// hear of (application activation, position changes and destruction of
// windows, mouse movement). Registration is counted per callback.
//
// No system hook is installed yet: the only listeners would be floating tool
// windows, which the library does not create so far; the buttons track the
// mouse through their own windows.

#include "framework/win/WinApi.h"

namespace qrv {

// Code 0 application activation, 1 window position changed (lParam: the
// WINDOWPOS), 2 window destroyed, 3 mouse moved.
using TToolWindowHookProc = void (*)(int Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

enum TToolWindowHookEvents : unsigned {
    hpSendActivateApp = 1,
    hpSendWindowPosChanged = 2,
    hpPreDestroy = 4,
    hpGetMessage = 8,
};

// An existing entry for the callback is counted up; else a new one is added.
void RegisterToolWindowHookClient(TToolWindowHookProc proc, unsigned events);
// Counts the entry down and removes it at zero; unknown callbacks are ignored.
void UnregisterToolWindowHookClient(TToolWindowHookProc proc);

// The registered callbacks, for the host that takes over the events itself.
int ToolWindowHookClientCount();
// The first registered callback, or nullptr.
TToolWindowHookProc FirstToolWindowHookClient();
// How often a callback is registered now (0: not at all).
int ToolWindowHookClientRefCount(TToolWindowHookProc proc);

}  // namespace qrv

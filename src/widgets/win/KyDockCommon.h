#pragma once
// The tool-window hooks: one set of thread hooks of the user-interface
// thread for all tool windows and toolbar buttons, installed while a
// registered client needs them, fanning the events out to the clients
// (application activation, position changes, focus changes and destruction
// of windows, retrieved mouse moves).

#include "framework/win/WinApi.h"
#include "widgets/ToolWindowHookClients.h"

namespace qrv {

// Code 0 application activation (wParam: active), 1 window position changed
// (lParam: the WINDOWPOS), 2 window destroyed (wParam and lParam 0), 3 mouse
// moved (the message's wParam and lParam), 4 a window is about to get the
// focus (Wnd; lParam: the window losing it).
using TToolWindowHookProc = void (*)(int Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

// An existing entry for the callback is counted up, else a new one is added;
// unless designTime, every hook the events need is used once more and
// installed when it is not yet.
void RegisterToolWindowHookClient(TToolWindowHookProc proc, unsigned events, bool designTime = false);
// Counts the entry down and removes it at zero; one use of each hook of its
// events is released, and a hook no longer used is removed. Unknown
// callbacks are ignored.
void UnregisterToolWindowHookClient(TToolWindowHookProc proc);

// The use counting of the hooks themselves (kinds: bits 1 << TToolWindowHookKind).
void InstallToolWindowHooks(unsigned kinds);
// force removes the hooks whatever their counts, and forgets every client.
void RemoveToolWindowHooks(unsigned kinds, bool force);

// The registered callbacks, for the host that takes over the events itself.
int ToolWindowHookClientCount();
// The first registered callback, or nullptr.
TToolWindowHookProc FirstToolWindowHookClient();
// How often a callback is registered now (0: not at all).
int ToolWindowHookClientRefCount(TToolWindowHookProc proc);
// Unregisters the first client until none is left, which removes every hook:
// a host that forwards its own events to the tool windows calls it once.
void UnregisterAllToolWindowHookClients();
// Whether the hook of that kind is installed now.
bool ToolWindowHookInstalled(TToolWindowHookKind kind);

// Whether a window of this thread is active.
bool IsAnyWindowActive();

// Clips a window DC (GetWindowDC) to the update region of WM_NCPAINT (in
// screen coordinates), moved to the window's coordinates; the window's
// rectangle when the region cannot be used. The region 1 (everything) and
// none leave the DC as it is. The caller's region is not changed.
void SelectNCUpdateRgn(HWND wnd, HDC dc, HRGN rgn);

}  // namespace qrv

#include "widgets/win/KyDockCommon.h"

#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"

#include <array>

namespace qrv {

namespace {

struct THookState {
    TToolWindowHookClientList<TToolWindowHookProc> Clients;
    TToolWindowHookUseCounts Uses;
    std::array<HHOOK, kToolWindowHookKinds> Hooks{};
};

// The user-interface thread's hooks and clients.
THookState& State()
{
    static THookState state;
    return state;
}

void Deliver(unsigned event, int code, HWND wnd, WPARAM wParam, LPARAM lParam)
{
    State().Clients.Dispatch(
        event, [&](TToolWindowHookProc proc) { proc(code, wnd, wParam, lParam); },
        [] { TraceIgnoredException(L"a tool-window hook client"); });
}

// Each procedure hands the event to its clients and always passes it on.
LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_ACTIVATEAPP)
            Deliver(hpSendActivateApp, 0, message->hwnd, message->wParam, message->lParam);
        else if (message->message == WM_WINDOWPOSCHANGED)
            Deliver(hpSendWindowPosChanged, 1, message->hwnd, message->wParam, message->lParam);
    }
    return CallNextHookEx(State().Hooks[hkCallWndProc], code, wParam, lParam);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_DESTROYWND)
        Deliver(hpPreDestroy, 2, reinterpret_cast<HWND>(wParam), 0, 0);
    else if (code == HCBT_SETFOCUS)
        Deliver(hpSetFocus, 4, reinterpret_cast<HWND>(wParam), 0, lParam);
    return CallNextHookEx(State().Hooks[hkCbt], code, wParam, lParam);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (message->message == WM_MOUSEMOVE)
            Deliver(hpGetMessage, 3, message->hwnd, message->wParam, message->lParam);
    }
    return CallNextHookEx(State().Hooks[hkGetMessage], code, wParam, lParam);
}

void Hook(int kind)
{
    HHOOK& hook = State().Hooks[kind];
    if (hook)
        return;
    static constexpr int kIds[kToolWindowHookKinds] = {WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};
    static constexpr HOOKPROC kProcs[kToolWindowHookKinds] = {CallWndProcHook, CbtHook, GetMessageHook};
    hook = SetWindowsHookExW(kIds[kind], kProcs[kind], nullptr, GetCurrentThreadId());
    if (!hook)
        TraceIgnoredFailure(L"installing a tool-window hook", GetLastError());
}

void Unhook(int kind)
{
    HHOOK& hook = State().Hooks[kind];
    if (!hook)
        return;
    if (!UnhookWindowsHookEx(hook))
        TraceIgnoredFailure(L"removing a tool-window hook", GetLastError());
    hook = nullptr;
}

}  // namespace

void InstallToolWindowHooks(unsigned kinds)
{
    const unsigned fresh = State().Uses.Use(kinds);
    for (int kind = 0; kind < kToolWindowHookKinds; ++kind)
        if (fresh & (1u << kind))
            Hook(kind);
}

void RemoveToolWindowHooks(unsigned kinds, bool force)
{
    THookState& state = State();
    if (force) {
        for (int kind = 0; kind < kToolWindowHookKinds; ++kind)
            if (kinds & (1u << kind))
                Unhook(kind);
        state.Uses.Clear();
        state.Clients.Clear();
        return;
    }
    const unsigned gone = state.Uses.Release(kinds);
    for (int kind = 0; kind < kToolWindowHookKinds; ++kind)
        if (gone & (1u << kind))
            Unhook(kind);
}

void RegisterToolWindowHookClient(TToolWindowHookProc proc, unsigned events, bool designTime)
{
    if (!proc)
        return;
    const unsigned entryEvents = State().Clients.Register(proc, events);
    if (!designTime)
        InstallToolWindowHooks(ToolWindowHookKinds(entryEvents));
}

void UnregisterToolWindowHookClient(TToolWindowHookProc proc)
{
    const unsigned events = State().Clients.Unregister(proc);
    if (events)
        RemoveToolWindowHooks(ToolWindowHookKinds(events), false);
}

int ToolWindowHookClientCount()
{
    return State().Clients.Count();
}

TToolWindowHookProc FirstToolWindowHookClient()
{
    return State().Clients.First();
}

int ToolWindowHookClientRefCount(TToolWindowHookProc proc)
{
    return State().Clients.RefCount(proc);
}

void UnregisterAllToolWindowHookClients()
{
    while (TToolWindowHookProc first = FirstToolWindowHookClient())
        UnregisterToolWindowHookClient(first);
}

bool ToolWindowHookInstalled(TToolWindowHookKind kind)
{
    return State().Hooks.at(kind) != nullptr;
}

bool IsAnyWindowActive()
{
    return GetActiveWindow() != nullptr;
}

void SelectNCUpdateRgn(HWND wnd, HDC dc, HRGN rgn)
{
    if (rgn == nullptr || rgn == reinterpret_cast<HRGN>(1))
        return;
    RECT window;
    if (!GetWindowRect(wnd, &window)) {
        TraceIgnoredFailure(L"the window rectangle for a non-client update region", GetLastError());
        return;
    }
    // A copy: the system's region belongs to the message.
    const TGdiObject copy(CreateRectRgn(0, 0, 0, 0));
    const auto clip = static_cast<HRGN>(copy.Get());
    if (clip && CombineRgn(clip, rgn, nullptr, RGN_COPY) != ERROR) {
        OffsetRgn(clip, -window.left, -window.top);
        if (SelectClipRgn(dc, clip) != ERROR)
            return;
    }
    // Not a region we can use: the whole window.
    IntersectClipRect(dc, 0, 0, window.right - window.left, window.bottom - window.top);
}

}  // namespace qrv

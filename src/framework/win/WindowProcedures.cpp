#include "framework/win/WindowProcedures.h"

#include "framework/win/Controls.h"

#include <mutex>
#include <set>
#include <shared_mutex>
#include <unordered_map>

namespace qrv {
namespace {

// Which control owns which window, and the procedure a subclassed common
// control had before. Kept in the process rather than in window properties:
// under Wine every property lookup is a round trip to the server, and this
// lookup runs for every message.
struct TWindowEntry {
    TWinControl* Control = nullptr;
    WNDPROC Original = nullptr;  // nullptr for the framework's own classes
};

class TWindowRegistry {
public:
    void Add(HWND window, TWinControl* control, WNDPROC original)
    {
        std::unique_lock lock(mutex_);
        entries_[window] = TWindowEntry{control, original};
    }
    void Remove(HWND window)
    {
        std::unique_lock lock(mutex_);
        entries_.erase(window);
    }
    TWindowEntry Find(HWND window) const
    {
        std::shared_lock lock(mutex_);
        const auto it = entries_.find(window);
        return it == entries_.end() ? TWindowEntry{} : it->second;
    }

private:
    mutable std::shared_mutex mutex_;
    std::unordered_map<HWND, TWindowEntry> entries_;
};

TWindowRegistry& Registry()
{
    static TWindowRegistry registry;
    return registry;
}

TWindowExceptionHandler g_exceptionHandler = nullptr;

LRESULT Dispatch(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        return control->Perform(msg, wParam, lParam);
    } catch (...) {
        HandleWindowException(std::current_exception());
        return 0;
    }
}

LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* control = static_cast<TWinControl*>(create->lpCreateParams);
        Registry().Add(window, control, nullptr);
        WindowProcedures::Attach(control, window);
    }
    TWinControl* control = Registry().Find(window).Control;
    if (!control)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        const LRESULT result = Dispatch(control, msg, wParam, lParam);
        Registry().Remove(window);
        WindowProcedures::Attach(control, nullptr);
        return result;
    }
    return Dispatch(control, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const TWindowEntry entry = Registry().Find(window);
    if (!entry.Control)
        return entry.Original ? CallWindowProcW(entry.Original, window, msg, wParam, lParam)
                              : DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SubclassWndProc))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.Original));
        Registry().Remove(window);
        WindowProcedures::Attach(entry.Control, nullptr);
        return CallWindowProcW(entry.Original, window, msg, wParam, lParam);
    }
    return Dispatch(entry.Control, msg, wParam, lParam);
}

}  // namespace

void WindowProcedures::Attach(TWinControl* control, HWND window)
{
    control->handle_ = window;
}

void WindowProcedures::RegisterClass(const std::wstring& className, UINT classStyle)
{
    static std::mutex mutex;
    static std::set<std::wstring> registered;
    std::lock_guard lock(mutex);
    if (registered.count(className))
        return;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = StdWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    if (!wc.hIcon)
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        Win32Check(FALSE, L"Fensterklasse kann nicht registriert werden");
    registered.insert(className);
}

void WindowProcedures::Subclass(HWND window, TWinControl* control)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    Registry().Add(window, control, original);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassWndProc));
}

void WindowProcedures::Detach(HWND window, bool subclassed)
{
    if (subclassed) {
        const WNDPROC original = Registry().Find(window).Original;
        // Unhook only when nobody subclassed the window after us.
        if (original && GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SubclassWndProc))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    Registry().Remove(window);
}

TWinControl* WindowProcedures::ControlOf(HWND window)
{
    return window ? Registry().Find(window).Control : nullptr;
}

LRESULT WindowProcedures::CallOriginal(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC original = Registry().Find(window).Original;
    return original ? CallWindowProcW(original, window, msg, wParam, lParam)
                    : DefWindowProcW(window, msg, wParam, lParam);
}

void SetWindowExceptionHandler(TWindowExceptionHandler handler)
{
    g_exceptionHandler = handler;
}

void HandleWindowException(std::exception_ptr error)
{
    if (g_exceptionHandler)
        g_exceptionHandler(error);
}

}  // namespace qrv

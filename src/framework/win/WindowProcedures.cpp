#include "framework/win/WindowProcedures.h"

#include "framework/win/Controls.h"

#include <mutex>
#include <set>

namespace qrv {
namespace {

constexpr UINT_PTR kSubclassId = 0x51525600;  // "QRV"
const wchar_t* const kControlProperty = L"QuorvanControl";
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
        SetPropW(window, kControlProperty, control);
        WindowProcedures::Attach(control, window);
    }
    auto* control = static_cast<TWinControl*>(GetPropW(window, kControlProperty));
    if (!control)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        const LRESULT result = Dispatch(control, msg, wParam, lParam);
        RemovePropW(window, kControlProperty);
        WindowProcedures::Attach(control, nullptr);
        return result;
    }
    return Dispatch(control, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR /*id*/, DWORD_PTR data)
{
    auto* control = reinterpret_cast<TWinControl*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassWndProc, kSubclassId);
        RemovePropW(window, kControlProperty);
        WindowProcedures::Attach(control, nullptr);
        return DefSubclassProc(window, msg, wParam, lParam);
    }
    return Dispatch(control, msg, wParam, lParam);
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
    SetPropW(window, kControlProperty, control);
    SetWindowSubclass(window, SubclassWndProc, kSubclassId, reinterpret_cast<DWORD_PTR>(control));
}

void WindowProcedures::Detach(HWND window, bool subclassed)
{
    if (subclassed)
        RemoveWindowSubclass(window, SubclassWndProc, kSubclassId);
    RemovePropW(window, kControlProperty);
}

TWinControl* WindowProcedures::ControlOf(HWND window)
{
    return window ? static_cast<TWinControl*>(GetPropW(window, kControlProperty)) : nullptr;
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

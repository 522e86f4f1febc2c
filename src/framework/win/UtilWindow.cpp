#include "framework/win/UtilWindow.h"

#include "framework/win/WindowProcedures.h"

namespace qrv {

namespace {
const wchar_t* const kClassName = L"TQRVUtilWindow";
}

TUtilWindow::TUtilWindow(THandler handler) : handler_(std::move(handler))
{
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    handle_ =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    Win32Check(handle_ != nullptr, L"Hilfsfenster kann nicht erstellt werden");
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilWindow::~TUtilWindow()
{
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilWindow::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TUtilWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->handler_)
        return DefWindowProcW(window, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        if (!self->handler_(message))
            return DefWindowProcW(window, msg, wParam, lParam);
    } catch (...) {
        HandleWindowException(std::current_exception());
    }
    return message.Result;
}

}  // namespace qrv

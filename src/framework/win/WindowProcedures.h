#pragma once
// The window procedures behind TWinControl: one for the framework's own window
// classes and one subclass procedure for common controls. Both route every
// message to the control's virtual WndProc and catch exceptions there, since
// an exception must not cross a system callback.

#include "framework/win/WinApi.h"

#include <exception>
#include <string>

namespace qrv {

class TWinControl;

struct WindowProcedures {
    static void RegisterClass(const std::wstring& className, UINT classStyle);
    static void Subclass(HWND window, TWinControl* control);
    static void Detach(HWND window, bool subclassed);
    static TWinControl* ControlOf(HWND window);
    // The default handling of a subclassed common control: its own procedure.
    static LRESULT CallOriginal(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static void Attach(TWinControl* control, HWND window);
};

// Receives the exceptions that leave a window procedure (the application sets it).
using TWindowExceptionHandler = void (*)(std::exception_ptr);
void SetWindowExceptionHandler(TWindowExceptionHandler handler);
void HandleWindowException(std::exception_ptr error);

}  // namespace qrv

#pragma once
// A hidden message-only window whose messages go to a handler function; the
// home of timers and of calls handed to the user-interface thread.

#include "framework/win/Controls.h"

#include <functional>

namespace qrv {

class TUtilWindow {
public:
    // Returns false for messages it leaves to the default window procedure.
    using THandler = std::function<bool(TMessage&)>;
    explicit TUtilWindow(THandler handler);
    ~TUtilWindow();
    TUtilWindow(const TUtilWindow&) = delete;
    TUtilWindow& operator=(const TUtilWindow&) = delete;
    HWND Handle() const { return handle_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    THandler handler_;
    HWND handle_ = nullptr;
};

}  // namespace qrv

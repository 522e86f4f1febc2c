#pragma once
// Running a script on a modal form of the test's own thread once its modal
// loop shows it: a thread timer finds the form by its window class.

#include "framework/win/Controls.h"

#include <functional>
#include <utility>

namespace qrv::test {

template <class Form>
class DuringModalForm {
public:
    DuringModalForm(const wchar_t* WindowClass, std::function<void(Form&)> Script)
    {
        windowClass_ = WindowClass;
        script_ = std::move(Script);
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~DuringModalForm()
    {
        KillTimer(nullptr, timer_);
        script_ = nullptr;
    }
    DuringModalForm(const DuringModalForm&) = delete;
    DuringModalForm& operator=(const DuringModalForm&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD)
    {
        HWND window = FindWindowW(windowClass_, nullptr);
        auto* form = window && IsWindowVisible(window) ? dynamic_cast<Form*>(TWinControl::FromHandle(window)) : nullptr;
        if (!form || !script_)
            return;
        KillTimer(nullptr, Id);
        auto script = std::move(script_);
        script_ = nullptr;
        script(*form);
    }
    static inline const wchar_t* windowClass_ = nullptr;
    static inline std::function<void(Form&)> script_;
    UINT_PTR timer_ = 0;
};

}  // namespace qrv::test

#pragma once
// Answering a modal question box from a second thread while the test's
// thread waits inside it.

#include "win/WindowSearch.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace qrv::test {

// Answers the first question box of this process (the shell's or the
// program's own) by pressing the button with one of the given texts (the
// system's language decides), as a user would.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::vector<std::wstring> buttons) : buttons_(std::move(buttons))
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~DialogAnswerer()
    {
        stop_ = true;
        // The search asks this thread's windows for their texts: their
        // messages are handled meanwhile (nothing posted is taken), so that
        // a search under way when no box came does not wait forever.
        while (!finished_) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        thread_.join();
    }
    bool Answered() const { return answered_; }
    // The texts of the answered box's controls (its message among them),
    // each followed by a line feed; empty until it was answered.
    std::wstring Texts() const { return answered_ ? texts_ : std::wstring(); }

private:
    void Run()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!stop_ && !answered_ && std::chrono::steady_clock::now() < end) {
            EnumWindows(
                [](HWND window, LPARAM self) -> BOOL {
                    auto* me = reinterpret_cast<DialogAnswerer*>(self);
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) {
                        return TRUE;
                    }
                    for (const std::wstring& text : me->buttons_) {
                        if (HWND button = FindChildByText(window, text)) {
                            me->texts_ = ChildTexts(window);
                            PostMessageW(button, BM_CLICK, 0, 0);
                            me->answered_ = true;
                            return FALSE;
                        }
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        finished_ = true;
    }

    std::vector<std::wstring> buttons_;
    std::wstring texts_;  // written before answered_ is set
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace qrv::test

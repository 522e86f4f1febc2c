#pragma once
// For a background queue (panels/BackgroundQueue.h) whose worker asks the
// shell for a window: the worker's set-up (COM of its own, apartment-
// threaded as the shell wants it, and a priority below the window's, so
// that the worker never slows what the user does), and the window the
// answers are announced to.

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <functional>
#include <memory>

namespace qrv {

// The window a worker posts Message to when answers wait: the control's
// window of the moment, or none while it has none (a control's window can
// be made again).
class TAnswerWindow {
public:
    explicit TAnswerWindow(UINT Message) : message_(Message) {}

    // The queue's announcement, called on the worker.
    std::function<void()> Announcement() const
    {
        return [window = window_, message = message_] {
            if (const HWND target = window->load())
                PostMessageW(target, message, 0, 0);
        };
    }
    // The control's new window, or none; a new one is told at once of the
    // answers that came while there was none.
    void Set(HWND Window)
    {
        window_->store(Window);
        if (Window)
            PostMessageW(Window, message_, 0, 0);
    }

private:
    std::shared_ptr<std::atomic<HWND>> window_ = std::make_shared<std::atomic<HWND>>(nullptr);
    UINT message_;
};

template <class Queue>
void PrepareShellWorker(Queue& queue, int Priority)
{
    auto comStarted = std::make_shared<bool>(false);
    queue.OnWorkerStart = [comStarted, Priority] {
        SetThreadPriority(GetCurrentThread(), Priority);
        *comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    };
    queue.OnWorkerEnd = [comStarted] {
        if (*comStarted)
            CoUninitialize();
    };
}

}  // namespace qrv

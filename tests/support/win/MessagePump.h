#pragma once
// Waiting in Windows tests without blocking the user-interface thread: the
// messages (timers, Synchronize calls) keep being handled meanwhile.

#include "framework/win/Forms.h"

#include <chrono>
#include <functional>

namespace qrv::test {

// Handles messages until the condition holds or the time is up; the result
// is the condition's last value. The condition is not asked once more after
// it held: a counting condition (PumpUntilIdle) would start over on a message
// that came in meanwhile and report false.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Handles messages until the thread's queue holds no posted or sent message
// and Quiet holds, at two checks in a row (a message handled may post the
// next); false when that did not come within the time.
inline bool PumpUntilIdle(const std::function<bool()>& quiet, std::chrono::milliseconds limit)
{
    int calmChecks = 0;
    return PumpUntil(
        [&] {
            const bool calm = HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0 && quiet();
            calmChecks = calm ? calmChecks + 1 : 0;
            return calmChecks >= 2;
        },
        limit);
}

// Makes Window the foreground window and handles messages until it is, and
// the queue is calm. Under Xvfb without a window manager a window of another
// test process that activates takes the X focus, and Wine then hands the
// foreground to the desktop: the window asks for it again while it waits.
inline bool PumpUntilForeground(HWND window, std::chrono::milliseconds limit)
{
    return PumpUntilIdle(
        [window] {
            if (GetForegroundWindow() == window && GetActiveWindow() == window)
                return true;
            SetForegroundWindow(window);
            return false;
        },
        limit);
}

// Handles messages for the whole time.
inline void PumpFor(std::chrono::milliseconds time)
{
    PumpUntil([] { return false; }, time);
}

}  // namespace qrv::test

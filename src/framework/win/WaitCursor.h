#pragma once
// The hourglass for the life of a scope; the cursor shown before comes back
// on every way out.

#include <windows.h>

namespace qrv {

class TWaitCursor {
public:
    TWaitCursor() : TWaitCursor(true) {}
    // With Show false the guard does nothing, for callers that show the
    // hourglass only in some cases.
    explicit TWaitCursor(bool Show)
        : shown_(Show), previous_(Show ? SetCursor(LoadCursorW(nullptr, IDC_WAIT)) : nullptr)
    {}
    ~TWaitCursor()
    {
        if (shown_)
            SetCursor(previous_);
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    bool shown_;
    HCURSOR previous_;
};

}  // namespace qrv

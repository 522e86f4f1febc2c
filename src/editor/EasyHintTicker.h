#pragma once
// The timing of the editor's hint: when it appears after the pause, how long
// it stays, and when it goes because the mouse left it. The window, cursor,
// pauses and timer come through an interface, so the ticks can be driven by
// a fake clock and cursor. Portable.

#include <cstdint>

namespace qrv {

struct TEasyHintPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TEasyHintRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// What the ticks act on.
class TEasyHintHost {
public:
    virtual ~TEasyHintHost() = default;
    virtual TEasyHintPoint CursorPos() = 0;
    // The application's pauses in milliseconds.
    virtual uint32_t HintPause() = 0;
    virtual uint32_t HintShortPause() = 0;
    virtual uint32_t HintHidePause() = 0;
    virtual bool WindowVisible() = 0;
    // Shows the window at the rectangle; hides it.
    virtual void ActivateWindow(const TEasyHintRect& rect) = 0;
    virtual void HideWindow() = 0;
    virtual void StopTimer() = 0;
};

class TEasyHintTicker {
public:
    enum TState : uint8_t { hsShown = 0, hsHiding = 1, hsWaiting = 2 };

    explicit TEasyHintTicker(TEasyHintHost& host) : host_(host) {}

    bool AutoHide = true;
    bool Immediate = true;
    // The timer's interval in milliseconds.
    uint32_t Interval = 50;
    // Show after the short pause, as when a hint is already up.
    bool ShortPause = false;
    // Leaving the hint rectangle (extended upwards by its height) counts as
    // leaving the hint; without it the hint stays until hidden.
    bool TrackArea = true;

    // How far below its rectangle the hint shows.
    int32_t VerticalOffset = 0;

    // Waits for the pause and shows the hint at rect moved down by the
    // vertical offset.
    void Start(const TEasyHintRect& rect);
    // One timer tick.
    void Tick();
    // Forget the ticks counted (after the window was hidden).
    void ResetCounter() { counter_ = 0; }

    bool InHintArea(const TEasyHintRect& rect, TEasyHintPoint point) const;

    TState State() const { return state_; }
    const TEasyHintRect& HintRect() const { return rect_; }

private:
    bool Inside();
    uint64_t Elapsed() const { return uint64_t{Interval} * counter_; }

    TEasyHintHost& host_;
    TEasyHintRect rect_;
    uint32_t counter_ = 0;
    TState state_ = hsHiding;
};

}  // namespace qrv

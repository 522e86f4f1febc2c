#pragma once
// The run of a GIF painter: the frames in turn on a running schedule (each
// frame due at the previous one's due time plus its wait), the loop count,
// the restart and the five painting events. The waiting, drawing and the
// events are the host's, so that a thread (or the caller, synchronously)
// drives it and a test drives it on a fake clock. Portable.

#include "imaging/GifDocument.h"

#include <cstddef>
#include <cstdint>

namespace qrv {

// How a GIF picture is painted, as bits of its PaintOptions.
enum TGIFPaintOption : uint16_t {
    // Paint on a thread of its own (drawing on the UI thread).
    goAsync = 1 << 0,
    // Draw through the frames' masks: the canvas shows where nothing is.
    goTransparent = 1 << 1,
    // Show the frames in turn.
    goAnimate = 1 << 2,
    // Repeat the animation as its loop block says...
    goLoop = 1 << 3,
    // ... or for good, whatever it says.
    goLoopForever = 1 << 4,
    // Stop when the target device context is gone.
    goCheckCanvas = 1 << 5,
    // Paint on the target canvas rather than on the picture's bitmap.
    goDirect = 1 << 6,
    // Clear to the backdrop when a pass starts again.
    goClearOnLoop = 1 << 7,
    // Repeat the picture over the rectangle.
    goTile = 1 << 8,
    // Dither the screen to the 216-colour web palette...
    goDither = 1 << 9,
    // ... only on a display of at most 8 bits per pixel.
    goAutoDither = 1 << 10,
};

constexpr uint16_t kDefaultGIFPaintOptions = goAsync | goTransparent | goAnimate | goLoop | goDither | goAutoDither;

enum class TGIFPaintEvent { StartPaint, Paint, AfterPaint, Loop, EndPaint };

// A delay (hundredths of a second) as the painter waits it: 0 counts as 10,
// 1 and 2 as 3; a synchronous painter waits no more than 1000.
int GIFPaintDelay(int delay, bool async);
// Milliseconds of a delay already counted as above at a pace (percent of the
// recorded speed, above 0).
int64_t GIFPaintWait(int delay, int pace);

class TGIFPaintHost {
public:
    virtual ~TGIFPaintHost() = default;
    // Milliseconds of a steady clock.
    virtual uint64_t Now() = 0;
    // Waits the milliseconds (-1: until woken); true when woken before the
    // time was up (Stop, or a synchronous painter's quit message).
    virtual bool Wait(int64_t milliseconds) = 0;
    // Gives up the processor for a moment (a frame without a wait).
    virtual void GiveWay() {}
    // Stop was asked for, or the canvas is gone.
    virtual bool Ending() = 0;
    // Draws the frame of the document's index.
    virtual void PaintFrame(size_t frame) = 0;
    virtual void Fire(TGIFPaintEvent event) = 0;
};

class TGIFPaintLoop {
public:
    // options: TGIFPaintOption bits; pace as the picture's AnimationPace
    // (0 holds each frame until stopped, below 0 no waits when asynchronous).
    TGIFPaintLoop(const TGIFDocument& document, uint16_t options, int pace, TGIFPaintHost& host);

    // Plays until the last pass is over or the host ends it; a restart asked
    // for meanwhile starts again from the first frame. Once the host ends
    // the play (after a wait, an event or a paint) the document is not
    // touched again, so that what ran meanwhile may have freed it.
    void Run();
    // The frame being painted, -1 when not painting. A handler of the
    // events may set it: after AfterPaint the painter goes on from there.
    int ActiveFrame() const { return active_; }
    void SetActiveFrame(int frame) { active_ = frame; }
    // Starts the play again from the first frame (cuts the wait short only
    // through the host's wake-up).
    void Restart() { restart_ = true; }
    // A frame has been painted in this run.
    bool Started() const { return started_; }
    bool Async() const { return (options_ & goAsync) != 0; }

private:
    // Waits for the frame due next; false when the painter ends meanwhile.
    void WaitForFrame(int delay);
    bool Stopping() const { return restart_ || host_.Ending(); }

    const TGIFDocument& document_;
    uint16_t options_;
    int pace_;
    TGIFPaintHost& host_;
    int active_ = -1;
    bool started_ = false;
    bool restart_ = true;
    uint64_t due_ = 0;
};

}  // namespace qrv

#include "imaging/GifPaintLoop.h"

#include <algorithm>

namespace qrv {

namespace {

// What a synchronous painter waits at most for one frame, in hundredths.
constexpr int kSyncDelayCap = 1000;

}  // namespace

int GIFPaintDelay(int delay, bool async)
{
    if (delay == 0)
        return 10;
    delay = std::max(delay, 3);
    return async ? delay : std::min(delay, kSyncDelayCap);
}

int64_t GIFPaintWait(int delay, int pace)
{
    return static_cast<int64_t>(delay) * 10 * 100 / std::max(pace, 1);
}

TGIFPaintLoop::TGIFPaintLoop(const TGIFDocument& document, uint16_t options, int pace, TGIFPaintHost& host)
    : document_(document), options_(options), pace_(pace), host_(host)
{}

void TGIFPaintLoop::WaitForFrame(int delay)
{
    if (delay < 1) {
        host_.GiveWay();
        due_ = host_.Now();
        return;
    }
    int64_t wait;
    if (pace_ >= 1)
        wait = GIFPaintWait(delay, pace_);
    else if (Async())
        wait = pace_ == 0 ? -1 : 0;
    else
        wait = GIFPaintWait(kSyncDelayCap, 100);
    if (wait < 0) {
        // Held until stopped.
        host_.Wait(-1);
        due_ = host_.Now();
        return;
    }
    due_ += static_cast<uint64_t>(wait);
    const uint64_t now = host_.Now();
    // More than a frame behind (the machine slept, or a handler took its
    // time): go on from now rather than racing through the frames missed.
    if (due_ + static_cast<uint64_t>(wait) < now)
        due_ = now;
    const int64_t left = due_ > now ? static_cast<int64_t>(due_ - now) : 0;
    if (left > 0 || !Async()) {
        // A synchronous painter waits at least a moment, so that its caller's
        // messages are served between frames.
        if (host_.Wait(std::max<int64_t>(left, Async() ? 0 : 1)))
            due_ = host_.Now();
    }
}

void TGIFPaintLoop::Run()
{
    const size_t count = document_.Frames.size();
    const bool animate = options_ & goAnimate;
    const bool loop = options_ & goLoop;
    const bool forever = options_ & goLoopForever;
    while (restart_ && !host_.Ending()) {
        restart_ = false;
        host_.Fire(TGIFPaintEvent::StartPaint);
        active_ = 0;
        started_ = false;
        // -1: endless.
        int loopsLeft = 1;
        int loopStart = 0;
        bool loopSeen = false;
        int delay = Async() ? 0 : 1;
        due_ = host_.Now();
        while ((loopsLeft != 0 || forever) && !Stopping()) {
            active_ = loopStart;
            if (started_)
                host_.Fire(TGIFPaintEvent::Loop);
            while (active_ >= 0 && static_cast<size_t>(active_) < count && !Stopping()) {
                const TGIFFrame& frame = *document_.Frames[static_cast<size_t>(active_)];
                if (frame.Empty())
                    break;
                // What the run needs of the frame is read before the wait
                // and the events: what they run may free the document, and
                // then the host ends the play and the frame is not touched
                // again.
                // The loop block counts once per run: a pass that starts at
                // its frame again must not set the count anew.
                const auto* block = loopSeen ? nullptr : frame.FindExtension<TGIFAppExtNSLoop>();
                const int loopCount = block ? block->LoopCount : 0;
                const TGIFGraphicControlExtension* control = frame.GraphicControl();
                const int frameDelay = GIFPaintDelay(control ? control->Delay : 0, Async());
                WaitForFrame(delay);
                if (Stopping())
                    break;
                host_.Fire(TGIFPaintEvent::Paint);
                if (block) {
                    loopSeen = true;
                    loopsLeft = loopCount;
                    if ((loopCount == 0 || forever) && Async())
                        loopsLeft = -1;
                    loopStart = active_;
                }
                host_.PaintFrame(static_cast<size_t>(active_));
                started_ = true;
                delay = frameDelay;
                const int painted = active_;
                host_.Fire(TGIFPaintEvent::AfterPaint);
                if (active_ == painted)
                    ++active_;
                if (!animate)
                    break;
            }
            if (loopsLeft > 0)
                --loopsLeft;
            if (!(animate && loop))
                break;
        }
        active_ = -1;
        host_.Fire(TGIFPaintEvent::EndPaint);
    }
}

}  // namespace qrv

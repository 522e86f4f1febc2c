#pragma once
// Playing a GIF animation: when each frame is due (TGIFPlaySchedule, on an
// injected clock) and what the logical screen shows once a frame is drawn
// with the disposal methods of the frames before it (TGIFComposer, on a
// 32-bit pixel buffer the caller owns, so that the buffer may be a bitmap
// the system draws). Portable.

#include "imaging/GifDocument.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace qrv {

// The wait of a frame in milliseconds at a pace in percent of the recorded
// speed: a delay (hundredths of a second) of 0 counts as 10 and 1 or 2 as 3;
// delay × 10 ms × 100 / pace. Pace 0 holds the frame for good (-1); a
// negative pace shows the frames without a wait (0).
int64_t GIFFrameWait(int delay, int pace);

// The frames' due times on a running schedule: each frame is due at the
// previous frame's due time plus its wait, so that late ticks of a timer do
// not add up. The loop block's count sets the passes (0: endless); without
// one the frames play once.
class TGIFPlaySchedule {
public:
    using TClock = std::function<uint64_t()>;
    // loopCount: -1 without a loop block.
    TGIFPlaySchedule(std::vector<int> delays, int loopCount, int pace, TClock clock);

    // Frame 0 shown from now.
    void Start();
    // Moves on by the frames whose time the clock has reached; returns how
    // many were passed (each one must be composed in turn).
    int Update();
    int Frame() const { return frame_; }
    int FrameCount() const { return static_cast<int>(delays_.size()); }
    // Completed passes through the frames.
    int Pass() const { return pass_; }
    // True once the last pass has ended: the last frame stays.
    bool Finished() const { return finished_; }
    // Milliseconds from now until the next frame is due (at least 1); -1
    // when it never is (one frame, pace 0, or finished).
    int64_t MillisecondsToNextFrame() const;
    // The time the current frame is due to end.
    uint64_t DueTime() const { return due_; }

private:
    bool Holding() const;

    std::vector<int> delays_;
    int loopCount_;
    int pace_;
    TClock clock_;
    int frame_ = 0;
    int pass_ = 0;
    bool finished_ = false;
    uint64_t due_ = 0;
};

// What the logical screen shows, frame after frame. Pixels are 0xAARRGGBB
// words (alpha 0 where nothing is drawn: the backdrop when it is
// transparent), rows top-down at stride words each.
class TGIFComposer {
public:
    // backdrop: 0xAARRGGBB of the cleared screen (alpha 0 for a transparent
    // backdrop). The buffer must hold screen height × stride words.
    TGIFComposer(const TGIFDocument& document, uint32_t backdrop, uint32_t* pixels, size_t stride);

    // The screen cleared to the backdrop, no frame drawn.
    void Reset();
    // Draws frame index (the next one after the last drawn, or 0 after a
    // Reset restarts the pass), first applying the previous frame's
    // disposal: 2 clears its area to the backdrop, 3 restores what was under
    // it. Disposal methods 4 to 7 are undefined and treated as 1. An empty
    // frame is not played: nothing happens.
    void Draw(size_t index);
    int Drawn() const { return drawn_; }

private:
    void DisposePrevious();
    void DrawFrame(const TGIFFrame& frame);
    // The part of a frame's rectangle on the screen.
    struct TArea {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
    };
    TArea AreaOf(const TGIFFrame& frame) const;

    const TGIFDocument& document_;
    uint32_t backdrop_;
    uint32_t* pixels_;
    size_t stride_;
    int width_;
    int height_;
    int drawn_ = -1;
    // What disposal 3 restores: the area under the last drawn frame.
    std::vector<uint32_t> saved_;
    TArea savedArea_;
};

// Every frame with pixels composed in turn on a transparent backdrop (one
// screen of 0xAARRGGBB words per frame played).
std::vector<std::vector<uint32_t>> CoalesceGIF(const TGIFDocument& document);

}  // namespace qrv

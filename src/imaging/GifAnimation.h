#pragma once
// Playing a GIF animation: a frame's wait, and what the logical screen shows
// once a frame is drawn with the disposal methods of the frames before it
// (TGIFComposer, on a 32-bit pixel buffer the caller owns). Portable.

#include "imaging/GifDocument.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrv {

// The wait of a frame in milliseconds at a pace in percent of the recorded
// speed: a delay (hundredths of a second) of 0 counts as 10 and 1 or 2 as 3;
// delay × 10 ms × 100 / pace. Pace 0 holds the frame for good (-1); a
// negative pace shows the frames without a wait (0).
int64_t GIFFrameWait(int delay, int pace);

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
    // A pass that starts again (a frame at or before the last one drawn)
    // starts on the cleared screen; else on what the last frame's disposal
    // left.
    bool ClearOnPassStart = true;

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

#pragma once
// Shrinking a GIF picture without changing what plays: colour tables
// ordered and cut, frames' pixels that repeat what is already on the screen
// made transparent, transparent borders cropped, frames that show nothing
// dropped (their time given to the frame before), and extensions that
// change nothing removed. Portable.

#include "imaging/GifDocument.h"

#include <cstdint>
#include <vector>

namespace qrv {

enum TGIFOptimizeStep : unsigned {
    ooCrop = 1,
    ooMerge = 2,
    ooCleanup = 4,
    ooColorMap = 8,
    // Reducing colours changes nothing in a picture that already has tables.
    ooReduceColors = 16,
};
constexpr unsigned kAllGIFOptimizeSteps = ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors;

void OptimizeGIF(TGIFDocument& document, unsigned steps);

// Frame operations of the optimiser, on their own.
// Removes the borders of a transparent frame that hold only its transparent
// index (the frame moves by what was removed); a frame transparent
// everywhere is emptied. False when there was nothing to crop.
bool CropGIFFrame(TGIFFrame& frame);
// Makes the pixels of frame that repeat the opaque pixels of previous (over
// their intersection, with the same colour) transparent; nothing when
// previous is disposed (2 or 3), either is empty, or frame has no index to
// spare for transparency.
void MergeGIFFrame(TGIFFrame& frame, const TGIFFrame& previous);

// What plays: each composed screen (as CoalesceGIF) with how long it shows
// in milliseconds at pace 100; consecutive equal screens joined (-1 when a
// single screen is left: it stays for good).
struct TGIFShownScreen {
    std::vector<uint32_t> Pixels;
    int64_t Milliseconds = 0;
    bool operator==(const TGIFShownScreen&) const = default;
};
std::vector<TGIFShownScreen> GIFTimeline(const TGIFDocument& document);

}  // namespace qrv

#pragma once
// The editor control's scrolling arithmetic: where a scroll code moves the
// first visible row or column, how wheel movement adds up to steps, and
// which first row keeps the caret row in view. Positions are rows or
// columns, or pixels where the view scrolls by pixels (the page layout);
// the window code turns rows into pixels. Portable.

#include <cstdint>

namespace qrv {

// The scroll-bar codes (the values of the system's SB_ codes).
enum TEasyScrollCode : int {
    scLineUp = 0,
    scLineDown = 1,
    scPageUp = 2,
    scPageDown = 3,
    scThumbPosition = 4,
    scThumbTrack = 5,
    scTop = 6,
    scBottom = 7,
    scEndScroll = 8,
};

struct TEasyScrollState {
    int Position = 0;  // the first visible row or column (or pixel)
    int Last = 0;      // the largest first row or column
    int Page = 1;      // rows or columns that fit
    int Line = 1;      // what one line up or down moves by
};

// The first row or column after the code; thumb is the bar's 32-bit track
// position. Thumb tracking moves only when tracking is on; the end of
// scrolling and unknown codes do not move. The result lies in 0 .. Last.
int ScrollTarget(const TEasyScrollState& state, int code, int thumb, bool thumbTracking);

// The system's wheel setting "scroll a page" (SPI_GETWHEELSCROLLLINES).
constexpr unsigned kEasyWheelPageScroll = 0xFFFFFFFFu;

// Wheel movement adds up in a 16-bit accumulator; each whole notch (120) is
// a step. The result is the number of rows to move the first row by
// (positive: towards the end), and the accumulator keeps the remainder.
// Lines per notch 0 counts as 1; kEasyWheelPageScroll moves a page a notch.
int64_t WheelRows(int16_t& accumulator, int delta, unsigned linesPerNotch, int page);

// The first row that shows the caret row: unchanged when it is visible,
// else the caret row at the top (above) or at the last fully visible row
// (below). Visible rows below 1 count as 1.
int KeepRowVisible(int top, int caretRow, int visibleRows);
// The first row that centres the caret row when it is not visible.
int CenterRow(int top, int caretRow, int visibleRows);

// The same for a view scrolled by pixels: the first pixel that shows the
// span [spanTop, spanBottom) of a view that is height pixels high.
int KeepSpanVisible(int top, int spanTop, int spanBottom, int height);
int CenterSpan(int top, int spanTop, int spanBottom, int height);

// Adds to a position in 64 bits and limits the sum to 0 .. last.
int ClampedAdd(int position, int64_t delta, int last);

}  // namespace qrv

#include "editor/EasyEditScroll.h"

#include <algorithm>

namespace qrv {

namespace {
constexpr int kWheelNotch = 120;
}

int ClampedAdd(int position, int64_t delta, int last)
{
    last = std::max(last, 0);
    return static_cast<int>(std::clamp<int64_t>(int64_t(position) + delta, 0, last));
}

int ScrollTarget(const TEasyScrollState& state, int code, int thumb, bool thumbTracking)
{
    const int page = std::max(state.Page, 1);
    switch (code) {
    case scLineUp:
        return ClampedAdd(state.Position, -int64_t(std::max(state.Line, 1)), state.Last);
    case scLineDown:
        return ClampedAdd(state.Position, std::max(state.Line, 1), state.Last);
    case scPageUp:
        return ClampedAdd(state.Position, -page, state.Last);
    case scPageDown:
        return ClampedAdd(state.Position, page, state.Last);
    case scThumbTrack:
        if (!thumbTracking)
            return ClampedAdd(state.Position, 0, state.Last);
        [[fallthrough]];
    case scThumbPosition:
        return ClampedAdd(thumb, 0, state.Last);
    case scTop:
        return 0;
    case scBottom:
        return std::max(state.Last, 0);
    default:
        return ClampedAdd(state.Position, 0, state.Last);
    }
}

int64_t WheelRows(int16_t& accumulator, int delta, unsigned linesPerNotch, int page)
{
    // The accumulator is 16 bits wide: a huge delta must not wrap it.
    const int sum = std::clamp(int(accumulator) + delta, -32768, 32767);
    const int steps = sum / kWheelNotch;
    accumulator = static_cast<int16_t>(sum - steps * kWheelNotch);
    if (steps == 0)
        return 0;
    int64_t perStep;
    if (linesPerNotch == kEasyWheelPageScroll)
        perStep = std::max(page, 1);
    else
        perStep = std::clamp<int64_t>(linesPerNotch, 1, 1 << 20);
    // Wheel forward (positive) scrolls towards the top.
    return -int64_t(steps) * perStep;
}

int KeepRowVisible(int top, int caretRow, int visibleRows)
{
    visibleRows = std::max(visibleRows, 1);
    if (caretRow < top)
        return std::max(caretRow, 0);
    if (int64_t(caretRow) > int64_t(top) + visibleRows - 1)
        return static_cast<int>(std::max<int64_t>(int64_t(caretRow) - visibleRows + 1, 0));
    return top;
}

int CenterRow(int top, int caretRow, int visibleRows)
{
    visibleRows = std::max(visibleRows, 1);
    if (caretRow >= top && int64_t(caretRow) < int64_t(top) + visibleRows)
        return top;
    return std::max(caretRow - (visibleRows - 1) / 2, 0);
}

int KeepSpanVisible(int top, int spanTop, int spanBottom, int height)
{
    height = std::max(height, 1);
    if (spanTop < top)
        return std::max(spanTop, 0);
    // A span taller than the view shows its top.
    if (int64_t(spanBottom) > int64_t(top) + height)
        return static_cast<int>(std::clamp<int64_t>(int64_t(spanBottom) - height, 0, std::max(spanTop, 0)));
    return top;
}

int CenterSpan(int top, int spanTop, int spanBottom, int height)
{
    height = std::max(height, 1);
    if (spanTop >= top && int64_t(spanBottom) <= int64_t(top) + height)
        return top;
    const int64_t middle = (int64_t(spanTop) + spanBottom) / 2;
    return static_cast<int>(std::clamp<int64_t>(middle - height / 2, 0, std::max(spanTop, 0)));
}

}  // namespace qrv

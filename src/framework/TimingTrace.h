#pragma once
// The program's own timing trace: with the environment variable QRV_TIMING
// set, the steps of the start-up, each folder load and archive opening, the
// tree's reading, the sorts, the first paints and every message whose
// handling holds the message loop for long are written as
//   "timing   123.456 ms  <step>"
// in milliseconds since the first traced step: QRV_TIMING=1 writes them to
// the debug output (TraceLine), any other value names a file the lines are
// appended to in UTF-8 (under Wine, Z:\tmp\timing.txt is the Linux file
// /tmp/timing.txt). Without the variable every call returns at once, so the
// calls stay in the code.

#include <chrono>
#include <string>
#include <string_view>

namespace qrv {

// True when QRV_TIMING is set (read once).
bool TimingTraceEnabled() noexcept;

// One timestamped line.
void TraceTiming(std::wstring_view step) noexcept;

// Traces "<step> ..." when made and "<step>: <duration> ms" when it goes;
// Note() adds a detail (an item count) to the closing line.
class TTimingScope {
public:
    explicit TTimingScope(std::wstring_view step) noexcept;
    ~TTimingScope();
    TTimingScope(const TTimingScope&) = delete;
    TTimingScope& operator=(const TTimingScope&) = delete;

    void Note(std::wstring_view detail) noexcept;

private:
    bool enabled_;
    std::wstring step_;
    std::chrono::steady_clock::time_point start_;
};

// The line TraceTiming writes, for a step at the given time since the first
// one (shared with the tests, which read lines back).
std::wstring FormatTimingLine(std::chrono::steady_clock::duration sinceStart, std::wstring_view step);

}  // namespace qrv

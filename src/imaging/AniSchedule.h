#pragma once
// Which frame of an animated cursor shows when: each step lasts its rate in
// jiffies of 1/60 s (the step's entry of the rate list, else the header's
// display rate; a rate of 0 counts as 1, one above a day as a day), measured on an injected clock so
// that the timing does not drift with the timer's ticks. Portable.

#include "imaging/AniCursorFile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace qrv {

class TAniSchedule {
public:
    // Milliseconds of a monotonic clock.
    using TClock = std::function<uint64_t()>;

    TAniSchedule(const TAniCursorFile& file, TClock clock);

    // Restarts at step 0 (frame of step 0) from now.
    void Start() { StartAt(0); }
    // Restarts at the beginning of that step (below StepCount) from now.
    void StartAt(size_t step);
    // Moves to the step the clock has reached; true when the frame changed.
    bool Update();

    size_t Step() const { return step_; }
    size_t Frame() const { return FrameOfStep(step_); }
    size_t StepCount() const { return stepCount_; }
    // Milliseconds from the clock's now to the next step (at least 1).
    uint64_t MillisecondsToNextStep() const;
    // The jiffies step lasts.
    uint32_t StepRate(size_t step) const;

    // The frame a step shows.
    size_t FrameOfStep(size_t step) const;

private:
    // Time since the start in 1/60000 s, so that jiffies (x 1000) and
    // milliseconds (x 60) compare exactly.
    uint64_t Elapsed() const;

    TClock clock_;
    // The file's lists (bounded by its size); a header's step count is
    // never allocated, steps without lists are computed.
    std::vector<uint32_t> rates_;
    std::vector<uint32_t> sequence_;
    uint32_t headerRate_ = 0;
    size_t stepCount_ = 0;
    size_t frameCount_ = 0;
    uint64_t cycleJiffies_ = 0;
    uint64_t start_ = 0;
    // Where the clock's start lies in the cycle, in 1/60000 s.
    uint64_t startOffset_ = 0;
    size_t step_ = 0;
    // Jiffies from the start to the end of the current step.
    uint64_t stepEnd_ = 0;
};

}  // namespace qrv

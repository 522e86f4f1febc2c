#include "imaging/AniSchedule.h"

#include <algorithm>

namespace qrv {

namespace {

// A day of jiffies: keeps the step arithmetic in 64 bits for any rate.
constexpr uint32_t kMaxRate = 24 * 60 * 60 * 60;

}  // namespace

TAniSchedule::TAniSchedule(const TAniCursorFile& file, TClock clock)
    : clock_(std::move(clock)), rates_(file.Rates()), sequence_(file.Sequence()),
      headerRate_(file.Header().DisplayRate), stepCount_(file.StepCount()), frameCount_(file.Frames().size())
{
    if (rates_.empty()) {
        cycleJiffies_ = static_cast<uint64_t>(StepRate(0)) * stepCount_;
    } else {
        for (size_t step = 0; step < stepCount_; ++step)
            cycleJiffies_ += StepRate(step);
    }
    Start();
}

uint32_t TAniSchedule::StepRate(size_t step) const
{
    const uint32_t rate = rates_.empty() ? headerRate_ : rates_[step];
    return std::clamp<uint32_t>(rate, 1, kMaxRate);
}

size_t TAniSchedule::FrameOfStep(size_t step) const
{
    // Without a sequence the frames play in order; an index beyond the frames shows frame 0.
    if (sequence_.empty())
        return step % frameCount_;
    return sequence_[step] < frameCount_ ? sequence_[step] : 0;
}

uint64_t TAniSchedule::Elapsed() const
{
    const uint64_t now = clock_();
    return (now > start_ ? (now - start_) * 60 : 0) + startOffset_;
}

void TAniSchedule::StartAt(size_t step)
{
    step = step < stepCount_ ? step : 0;
    // The jiffies before the step: a sum over the rate list, which the file bounds.
    uint64_t before = 0;
    if (rates_.empty()) {
        before = static_cast<uint64_t>(StepRate(0)) * step;
    } else {
        for (size_t i = 0; i < step; ++i)
            before += StepRate(i);
    }
    start_ = clock_();
    startOffset_ = before * 1000;
    step_ = step;
    stepEnd_ = before + StepRate(step);
}

bool TAniSchedule::Update()
{
    const size_t before = Frame();
    const uint64_t elapsed = Elapsed();
    if (elapsed >= (stepEnd_ + cycleJiffies_) * 1000) {
        // Whole cycles passed (a sleeping machine, a stopped timer): skip them.
        const uint64_t cycles = (elapsed / 1000 - stepEnd_) / cycleJiffies_;
        stepEnd_ += cycles * cycleJiffies_;
    }
    while (stepEnd_ * 1000 <= elapsed) {
        step_ = (step_ + 1) % stepCount_;
        stepEnd_ += StepRate(step_);
    }
    return Frame() != before;
}

uint64_t TAniSchedule::MillisecondsToNextStep() const
{
    const uint64_t elapsed = Elapsed();
    const uint64_t end = stepEnd_ * 1000;
    if (end <= elapsed)
        return 1;
    return std::max<uint64_t>((end - elapsed + 59) / 60, 1);
}

}  // namespace qrv

#include "imaging/AniSchedule.h"

#include <algorithm>

namespace qrv {

TAniSchedule::TAniSchedule(const TAniCursorFile& file, TClock clock) : clock_(std::move(clock))
{
    const size_t steps = file.StepCount();
    const size_t frameCount = file.Frames().size();
    for (size_t step = 0; step < steps; ++step) {
        const uint32_t rate = file.Rates().empty() ? file.Header().DisplayRate : file.Rates()[step];
        rates_.push_back(std::max<uint32_t>(rate, 1));
        // Without a sequence the frames play in order; an index beyond the frames shows frame 0.
        const size_t frame = file.Sequence().empty() ? step % frameCount : file.Sequence()[step];
        frames_.push_back(frame < frameCount ? frame : 0);
        cycleJiffies_ += rates_.back();
    }
    Start();
}

size_t TAniSchedule::FrameOfStep(size_t step) const
{
    return frames_[step];
}

uint64_t TAniSchedule::Elapsed() const
{
    const uint64_t now = clock_();
    return now > start_ ? (now - start_) * 60 : 0;
}

void TAniSchedule::Start()
{
    start_ = clock_();
    step_ = 0;
    stepEnd_ = rates_[0];
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
        step_ = (step_ + 1) % rates_.size();
        stepEnd_ += rates_[step_];
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

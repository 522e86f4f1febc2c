// Animated cursors from outside: parsing must end with the cursor or the
// format error; every frame's ranges must lie in the file, and the schedule
// must play the steps without leaving its frames.
#include "imaging/AniCursorFile.h"
#include "imaging/AniSchedule.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    try {
        const qrv::TAniCursorFile file(std::move(bytes));
        const size_t fileSize = file.Bytes().size();
        for (const qrv::TAniFrame& frame : file.Frames()) {
            if (frame.Icon.Offset > fileSize || frame.Icon.Size > fileSize - frame.Icon.Offset ||
                frame.Image.Offset < frame.Icon.Offset ||
                frame.Image.Offset + frame.Image.Size > frame.Icon.Offset + frame.Icon.Size || frame.Width == 0 ||
                frame.Width > 256 || frame.Height == 0 || frame.Height > 256)
                std::abort();
        }
        uint64_t now = 0;
        qrv::TAniSchedule schedule(file, [&now] { return now; });
        const auto play = [&] {
            for (int i = 0; i < 64; ++i) {
                now += 7 + static_cast<uint64_t>(i) * 997;
                schedule.Update();
                if (schedule.Frame() >= file.Frames().size() || schedule.Step() >= schedule.StepCount() ||
                    schedule.MillisecondsToNextStep() == 0)
                    std::abort();
            }
        };
        play();
        // Again from a step in the middle of the cycle.
        const size_t step = fileSize % schedule.StepCount();
        schedule.StartAt(step);
        if (schedule.Step() != step)
            std::abort();
        play();
    } catch (const qrv::EAniFormat&) {}
    return 0;
}

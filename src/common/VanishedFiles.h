#pragma once
// The loop that watches paths for a while and reports those that have
// disappeared, round by round. Portable: the file system, the clock, the
// pause between rounds and the report are handed in.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qrv {

constexpr unsigned kVanishedFileRoundMs = 500;
// What the views wait after a drag or a shell command for files to vanish.
constexpr int kVanishedFileTimeOutSeconds = 10;

struct TVanishedFileHooks {
    std::function<bool(const std::wstring& Path)> Exists;
    // The current time in 100-ns units.
    std::function<uint64_t()> Now;
    // Waits one round; false when the poller is told to stop.
    std::function<bool()> WaitRound;
    // The paths found missing in one round; may be empty (nobody listens).
    std::function<void(const std::vector<std::wstring>& Deleted)> Report;
};

// The time a poller started at Now with that time-out ends.
constexpr uint64_t VanishedFileEndTime(uint64_t Now, int TimeOutSeconds)
{
    return Now + static_cast<uint64_t>(TimeOutSeconds) * 10'000'000ull;
}

// Each round waits, then moves the missing paths of Pending to one report.
// Ends when told to stop, when nothing is pending or at EndTime.
void PollVanishedFiles(std::vector<std::wstring> Pending, uint64_t EndTime, const TVanishedFileHooks& Hooks);

}  // namespace qrv

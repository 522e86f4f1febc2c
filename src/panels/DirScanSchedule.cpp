#include "panels/DirScanSchedule.h"

#include <algorithm>

namespace qrv {

bool TDirScanSchedule::Known(uint64_t Serial) const
{
    return std::ranges::find(running_, Serial) != running_.end() ||
           std::ranges::any_of(waiting_, [Serial](const TDirScanJob& job) { return job.Serial == Serial; });
}

std::vector<TDirScanJob> TDirScanSchedule::StartWaiting()
{
    std::vector<TDirScanJob> start;
    while (running_.size() < maxRunning_ && !waiting_.empty()) {
        running_.push_back(waiting_.front().Serial);
        start.push_back(std::move(waiting_.front()));
        waiting_.pop_front();
    }
    return start;
}

std::vector<TDirScanJob> TDirScanSchedule::Add(std::vector<TDirScanJob> Jobs)
{
    for (TDirScanJob& job : Jobs)
        if (!Known(job.Serial))
            waiting_.push_back(std::move(job));
    return StartWaiting();
}

std::optional<TDirScanJob> TDirScanSchedule::Ended(uint64_t Serial)
{
    const auto found = std::ranges::find(running_, Serial);
    if (found == running_.end())
        return std::nullopt;
    running_.erase(found);
    std::vector<TDirScanJob> next = StartWaiting();
    if (next.empty())
        return std::nullopt;
    return std::move(next.front());
}

void TDirScanSchedule::Clear()
{
    waiting_.clear();
    running_.clear();
}

}  // namespace qrv

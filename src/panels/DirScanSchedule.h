#pragma once
// The folder-size scans of a directory list: which folders wait, which are
// being summed, and which scan to start when one ends, so that no more than
// a set number run at once. The list starts the scans the schedule hands
// out and reports each end back. Portable.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qrv {

// One folder to sum: the record's serial (the answer finds its record by
// it) and the folder's full path.
struct TDirScanJob {
    uint64_t Serial = 0;
    std::wstring Path;
};

class TDirScanSchedule {
public:
    explicit TDirScanSchedule(unsigned MaxRunning = 3) : maxRunning_(MaxRunning) {}

    unsigned MaxRunning() const { return maxRunning_; }
    // At least one runs.
    void SetMaxRunning(unsigned Value) { maxRunning_ = Value == 0 ? 1 : Value; }

    // Queues the jobs whose serials are neither waiting nor running and
    // returns those to start now, from the head of the queue.
    std::vector<TDirScanJob> Add(std::vector<TDirScanJob> Jobs);
    // The scan of Serial ended (with a result or not): the job to start in
    // its place, when one waits. An unknown serial (a scan of before Clear)
    // starts nothing.
    std::optional<TDirScanJob> Ended(uint64_t Serial);
    // Forgets every waiting and running job; the list stops the scans.
    void Clear();

    size_t RunningCount() const { return running_.size(); }
    size_t WaitingCount() const { return waiting_.size(); }
    bool Idle() const { return running_.empty() && waiting_.empty(); }

private:
    bool Known(uint64_t Serial) const;
    std::vector<TDirScanJob> StartWaiting();

    unsigned maxRunning_;
    std::deque<TDirScanJob> waiting_;
    std::vector<uint64_t> running_;
};

}  // namespace qrv

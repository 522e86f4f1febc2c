#pragma once
// TSubDirScanner: the thread that sums one folder's size for a directory
// list. The list and each scanner share a ticket: the list revokes it when
// it stops its scans or goes, and a scanner whose ticket is revoked stops at
// its next entry and never reports. The answer reaches the list on its own
// thread through Synchronize; the list may hand the scanner the next folder
// to sum there, and the same thread goes on with it: a thread's start costs
// more than a small folder's sum (under Wine, on a busy machine).

#include "framework/win/Threads.h"
#include "panels/DirScanSchedule.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qrv {

class TSubDirScanTicket;

// The next folder a delivering scanner is to sum, with its own ticket.
struct TSubDirScanNext {
    TDirScanJob Job;
    std::shared_ptr<TSubDirScanTicket> Ticket;
};

class TSubDirScanTicket {
public:
    // Serial, and the sum when the whole walk succeeded; Next may be given
    // the scanner's next folder.
    using TDeliver =
        std::function<void(uint64_t Serial, std::optional<uint64_t> Total, std::optional<TSubDirScanNext>& Next)>;
    explicit TSubDirScanTicket(TDeliver Deliver) : deliver_(std::move(Deliver)) {}

    void Revoke() { revoked_ = true; }
    bool Revoked() const { return revoked_; }
    // On the list's thread: hands the answer over unless revoked meanwhile.
    void Deliver(uint64_t Serial, std::optional<uint64_t> Total, std::optional<TSubDirScanNext>& Next)
    {
        if (!revoked_ && deliver_)
            deliver_(Serial, Total, Next);
    }

private:
    TDeliver deliver_;
    std::atomic<bool> revoked_{false};
};

class TSubDirScanner : public TThread {
public:
    // Starts at once, below normal priority, and frees itself when done.
    static void Start(const TDirScanJob& Job, std::shared_ptr<TSubDirScanTicket> Ticket);
    // Scanners that have not ended yet, over the whole process.
    static int RunningCount() { return running_; }

protected:
    void Execute() override;

private:
    TSubDirScanner(TDirScanJob Job, std::shared_ptr<TSubDirScanTicket> Ticket);
    ~TSubDirScanner() override;

    TDirScanJob job_;
    std::shared_ptr<TSubDirScanTicket> ticket_;
    static std::atomic<int> running_;
};

}  // namespace qrv

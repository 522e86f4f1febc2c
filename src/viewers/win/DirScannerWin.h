#pragma once
// TDirScanner: the thread that counts the files, folders and bytes below a
// folder for the directory panel. The panel and its scanner share a ticket: the panel revokes it when
// it moves on or goes, and a scanner whose ticket is revoked stops at its
// next entry and never reports.

#include "framework/win/Threads.h"
#include "common/DirScanner.h"
#include "panels/win/DirScanSourceWin.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace qrv {

// Shared by a panel and the scanner it started. Revoke, Deliver and the
// callback run on the user-interface thread; Revoked is read by the scanner.
class TDirScanTicket {
public:
    using TDeliver = std::function<void(const TDirTotals& Totals)>;
    explicit TDirScanTicket(TDeliver deliver) : deliver_(std::move(deliver)) {}

    void Revoke() { revoked_ = true; }
    bool Revoked() const { return revoked_; }
    // Hands the totals to the panel unless the ticket was revoked meanwhile.
    void Deliver(const TDirTotals& Totals)
    {
        if (!revoked_ && deliver_)
            deliver_(Totals);
    }
    // Set by the scanner when it has ended (with or without a result).
    bool Finished() const { return finished_; }
    void SetFinished() { finished_ = true; }

private:
    TDeliver deliver_;
    std::atomic<bool> revoked_{false};
    std::atomic<bool> finished_{false};
};

// Counts below Path at the lowest priority and frees itself when it ends;
// the result goes through Synchronize to the ticket.
class TDirScanner : public TThread {
public:
    // Starts at once.
    static void StartScan(const std::wstring& Path, std::shared_ptr<TDirScanTicket> Ticket);
    // Scanners that have not ended yet, over the whole process.
    static int RunningCount() { return running_; }

protected:
    void Execute() override;

private:
    TDirScanner(const std::wstring& Path, std::shared_ptr<TDirScanTicket> Ticket);
    ~TDirScanner() override;

    std::wstring path_;
    std::shared_ptr<TDirScanTicket> ticket_;
    static std::atomic<int> running_;
};

}  // namespace qrv

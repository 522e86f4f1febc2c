#include "panels/win/SubDirScanner.h"

#include "common/DirScanner.h"
#include "framework/IgnoredError.h"
#include "panels/win/DirScanSourceWin.h"
#include "panels/win/KyDriveInfo.h"

namespace qrv {

std::atomic<int> TSubDirScanner::running_{0};

void TSubDirScanner::Start(const TDirScanJob& Job, std::shared_ptr<TSubDirScanTicket> Ticket)
{
    auto* scanner = new TSubDirScanner(Job, std::move(Ticket));
    scanner->FreeOnTerminate = true;
    scanner->SetPriority(TThreadPriority::tpLower);
    scanner->TThread::Start();
}

TSubDirScanner::TSubDirScanner(TDirScanJob Job, std::shared_ptr<TSubDirScanTicket> Ticket)
    : TThread(true), job_(std::move(Job)), ticket_(std::move(Ticket))
{
    ++running_;
}

TSubDirScanner::~TSubDirScanner()
{
    --running_;
}

void TSubDirScanner::Execute()
{
    TQuietDriveErrors quiet;
    TWinDirScanSource source;
    for (;;) {
        // A subfolder that cannot be opened counts as empty; a listing broken
        // off midway leaves the size unknown. Junctions are not followed.
        const auto totals = ScanDirTree(job_.Path, source, [this] { return Terminated() || ticket_->Revoked(); });
        if (ticket_->Revoked())
            return;
        std::optional<uint64_t> total;
        if (totals)
            total = totals->Size;
        // Once the application stops taking synchronous calls, Synchronize
        // runs the call here: the answer is dropped then, the list belongs to
        // the other thread.
        std::optional<TSubDirScanNext> next;
        try {
            Synchronize([this, total, &next] {
                if (IsMainThread())
                    ticket_->Deliver(job_.Serial, total, next);
            });
        } catch (...) {
            // A handler of the answer failed on the list's thread; a folder
            // handed over before that is still summed, or it would wait for
            // ever.
            TraceIgnoredException(L"delivering a folder size");
        }
        if (!next)
            return;
        job_ = std::move(next->Job);
        ticket_ = std::move(next->Ticket);
    }
}

}  // namespace qrv

#include "viewers/win/DirScannerWin.h"

#include "panels/win/KyDriveInfo.h"

#include <algorithm>
#include <thread>

namespace qrv {

namespace {

// The most threads one count lists folders on.
constexpr unsigned kCountThreads = 3;

}  // namespace

std::atomic<int> TDirScanner::running_{0};

void TDirScanner::StartScan(const std::wstring& Path, std::shared_ptr<TDirScanTicket> Ticket)
{
    auto* scanner = new TDirScanner(Path, std::move(Ticket));
    scanner->FreeOnTerminate = true;
    // At the threads' usual priority, as its helpers: on a busy machine the
    // lowest one left the count waiting behind everything else (1.3-1.4x a
    // plain walk of the tree); it still lets others go first once per
    // folder.
    scanner->SetPriority(TThreadPriority::tpNormal);
    scanner->Start();
}

TDirScanner::TDirScanner(const std::wstring& Path, std::shared_ptr<TDirScanTicket> Ticket)
    : TThread(true), path_(Path), ticket_(std::move(Ticket))
{
    ++running_;
}

TDirScanner::~TDirScanner()
{
    ticket_->SetFinished();
    --running_;
}

void TDirScanner::Execute()
{
    // An empty drive or a lost network share fails quietly instead of asking.
    TQuietDriveErrors quiet;
    TWinDirScanSource source;
    // Folders are listed by a few threads at once: each waits on the file
    // system much of its time, and a tree of many folders is counted in
    // less than one walk through it takes.
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, kCountThreads);
    const auto totals = ScanDirTreeInParallel(
        path_, source, [this] { return Terminated() || ticket_->Revoked(); }, threads);
    if (!totals || ticket_->Revoked())
        return;
    // The ticket tests the revocation again on the user-interface thread,
    // where the panel revokes it. Once the application has stopped taking
    // synchronous calls, Synchronize would run the call here: then the
    // result is dropped, for the panel belongs to the other thread.
    const TDirTotals result = *totals;
    Synchronize([this, result] {
        if (IsMainThread())
            ticket_->Deliver(result);
    });
}

}  // namespace qrv

// TDirView: the folder-size scans run on threads of their own, each with a
// ticket that the list revokes when it stops them; an answer comes back on
// the list's thread and goes to the core, which finds the item by serial.
// A scan the core starts while an answer is delivered goes to the thread
// that delivered it.

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "panels/win/DirView.h"
#include "panels/win/SubDirScanner.h"

namespace qrv {

void TDirView::RunDirScan(const TDirScanJob& Job)
{
    auto ticket = std::make_shared<TSubDirScanTicket>(
        [this](uint64_t Serial, std::optional<uint64_t> Total, std::optional<TSubDirScanNext>& Next) {
            scanTickets_.erase(Serial);
            scanHandOver_ = &Next;
            const ScopeExit handedOver([this] { scanHandOver_ = nullptr; });
            DirScanEnded(Serial, Total);
        });
    scanTickets_[Job.Serial] = ticket;
    if (scanHandOver_) {
        *scanHandOver_ = TSubDirScanNext{Job, std::move(ticket)};
        scanHandOver_ = nullptr;
        return;
    }
    try {
        TSubDirScanner::Start(Job, std::move(ticket));
    } catch (const std::exception&) {
        // No thread to be had: the folder's size stays unknown.
        TraceIgnoredException(L"starting a folder-size scan");
        scanTickets_.erase(Job.Serial);
        DirScanEnded(Job.Serial, std::nullopt);
    }
}

void TDirView::EndDirScans()
{
    for (auto& [serial, ticket] : scanTickets_)
        ticket->Revoke();
    scanTickets_.clear();
}

bool TDirView::SortedBySize() const
{
    return SortColumn() == 1;
}

void TDirView::RelayoutTiles()
{
    // The control lays tiles out again when the view is changed back to them.
    SetViewStyleEx(TViewStyleEx::vsxIcon);
    SetViewStyleEx(TViewStyleEx::vsxTile);
}

void TDirView::RedrawItem(int Index)
{
    if (HandleAllocated())
        SendMessageW(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(Index), Index);
}

}  // namespace qrv

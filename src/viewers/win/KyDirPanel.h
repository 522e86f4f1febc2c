#pragma once
// TKyDirPanel: the display pane's summary of a folder: its large shell icon
// and name, its creation time, and the number of files and folders and the
// total size of everything below it, counted by a TDirScanner in the
// background ("?" until the count has ended).

#include "viewers/win/DirScannerWin.h"
#include "viewers/win/KyInfoPanel.h"

#include <memory>
#include <string>

namespace qrv {

class TKyDirPanel : public TKyInfoPanel {
public:
    explicit TKyDirPanel(TComponent* owner);
    // Stops the running count; the scanner ends on its own.
    ~TKyDirPanel() override;

    // Shows the summary of a folder; "" empties the panel. The same path
    // again (compared exactly) changes nothing and keeps the count running.
    void ShowDirectory(const std::wstring& path);
    const std::wstring& Path() const { return path_; }
    // A count was started for the path shown and has not ended yet.
    bool Scanning() const { return ticket_ && !ticket_->Finished(); }

private:
    void ShowTotals(const TDirTotals& totals);
    void StopScan();

    std::wstring path_;
    std::shared_ptr<TDirScanTicket> ticket_;
};

// The folder's creation time in local time as "10.12.2026, 14:03:05" (the
// user's short date and long time formats), or the panel's note that it
// cannot be found. A drive or share root is asked by its attributes, for a
// search cannot find a root.
std::wstring FolderCreationText(const std::wstring& path);

}  // namespace qrv

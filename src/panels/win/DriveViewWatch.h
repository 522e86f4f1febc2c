#pragma once
// What the folder tree keeps for change watching: per drive its folder
// monitor and debounce timer, the validation guard, the background prober
// with the nodes it still owes an answer, and the shell notification.

#include "panels/ChangeDebounce.h"
#include "panels/SubDirProber.h"
#include "panels/win/DebounceTimer.h"
#include "panels/win/DiscMon.h"
#include "panels/win/DriveView.h"

#include <array>
#include <memory>
#include <unordered_map>

namespace qrv {

struct TDriveView::TWatchState {
    struct TDriveWatch {
        std::unique_ptr<TDiscMonitor> Monitor;
        std::unique_ptr<TWindowDebounceTimer> Timer;
        std::unique_ptr<TTreeChangeDebounce> Debounce;
    };
    ~TWatchState();

    std::array<TDriveWatch, kLastDrive - kFirstDrive + 1> Drives;
    TDriveWatch& Drive(wchar_t Letter) { return Drives.at(static_cast<size_t>(Letter - kFirstDrive)); }
    bool Validating = false;
    // The prober; nodes waiting for it, by node and by the id it knows them by.
    std::unique_ptr<TSubDirProber> Prober;
    std::unordered_map<TTreeNode*, uint64_t> ProbeIds;
    std::unordered_map<uint64_t, TTreeNode*> ProbeNodes;
    uint64_t LastProbeId = 0;
    unsigned long ShellNotifyId = 0;
};

}  // namespace qrv

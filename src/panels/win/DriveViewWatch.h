#pragma once
// What the folder tree keeps for change watching: per drive its folder
// monitor and debounce timer, the validation guard, the background prober
// with the nodes it still owes an answer, and the shell notification.

#include "panels/ChangeDebounce.h"
#include "panels/SubDirProber.h"
#include "panels/win/DebounceTimer.h"
#include "panels/win/DiscMon.h"
#include "panels/win/DriveView.h"
#include "panels/win/PendingNodes.h"
#include "panels/win/ShellWorker.h"

#include <array>
#include <memory>

namespace qrv {

// Posted to the tree by its prober when answers wait.
constexpr UINT kProbeResultsMessage = WM_APP + 0x122;

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
    // The prober, where it announces its answers, and the nodes waiting for it.
    TAnswerWindow ProbeWindow{kProbeResultsMessage};
    std::unique_ptr<TSubDirProber> Prober;
    TPendingNodes Probes;
    unsigned long ShellNotifyId = 0;
};

}  // namespace qrv

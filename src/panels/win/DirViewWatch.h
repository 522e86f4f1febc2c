#pragma once
// What a directory list keeps for watching its folder: the folder monitor
// (made on first need) and the debounce timer with its machine.

#include "panels/BackgroundQueue.h"
#include "panels/ChangeDebounce.h"
#include "panels/FileRec.h"
#include "panels/win/DebounceTimer.h"
#include "panels/win/DirView.h"
#include "panels/win/DiscMon.h"
#include "panels/win/ShellWorker.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

// A re-read's search, done by the worker, and what it found.
struct TRelistRequest {
    uint64_t Id = 0;
    std::wstring Path;
};
struct TRelistAnswer {
    uint64_t Id = 0;
    std::vector<TSearchRec> Entries;
    uint32_t Error = 0;
};

// Posted to a list by its re-read worker when the folder has been searched,
// and by the list to itself for the next slice of the comparison.
constexpr UINT kRelistedMessage = WM_APP + 0x133;
constexpr UINT kReloadSliceMessage = WM_APP + 0x134;

struct TDirView::TWatchState {
    explicit TWatchState(TDirView& View);
    std::unique_ptr<TDiscMonitor> Monitor;
    TWindowDebounceTimer Timer;
    TListChangeDebounce Debounce;
    // The re-read after a change: searched on the worker, compared and
    // applied on the window's thread in slices, between which the window
    // takes input.
    TAnswerWindow RelistWindow{kRelistedMessage};
    TBackgroundQueue<TRelistRequest, TRelistAnswer, &TRelistRequest::Id> Relister;
    uint64_t AwaitedId = 0;  // the search whose answer counts; 0: none
    std::wstring AwaitedPath;
    // A change came while a re-read searched or was applied: the folder is
    // searched again when it is done, instead of ending it unfinished
    // (changes arriving faster than a large folder is compared would never
    // let one finish).
    bool AgainAfterSlices = false;
    uint64_t LastId = 0;
};

}  // namespace qrv

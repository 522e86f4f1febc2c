#pragma once
// What a directory list keeps for watching its folder: the folder monitor
// (made on first need) and the debounce timer with its machine.

#include "panels/ChangeDebounce.h"
#include "panels/win/DebounceTimer.h"
#include "panels/win/DirView.h"
#include "panels/win/DiscMon.h"

#include <memory>

namespace qrv {

struct TDirView::TWatchState {
    explicit TWatchState(TDirView& View)
        : Timer([&View] { View.ChangeTimerTick(); }), Debounce(Timer, DebounceClockNow)
    {
    }
    std::unique_ptr<TDiscMonitor> Monitor;
    TWindowDebounceTimer Timer;
    TListChangeDebounce Debounce;
};

}  // namespace qrv

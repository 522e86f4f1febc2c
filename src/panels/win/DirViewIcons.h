#pragma once
// What a directory list keeps for its icon thread: the worker's queue, the
// records asked for and the generation of the items the answers belong to.

#include "panels/BackgroundQueue.h"
#include "panels/win/DirView.h"
#include "panels/win/ShellWorker.h"

#include <cstdint>
#include <string>
#include <unordered_set>

namespace qrv {

struct TIconRequest {
    uint64_t Id = 0;
    uint64_t Generation = 0;
    int Index = 0;
    const TFileRec* Rec = nullptr;  // only compared, never read, on the worker
    TIconQuery Query;
};

struct TIconAnswer {
    uint64_t Generation = 0;
    int Index = 0;
    const TFileRec* Rec = nullptr;
    std::wstring Path;
    TItemShellInfo Info;
};

struct TDirView::TIconState {
    explicit TIconState(TDirShellInfo& Shell);

    // Where the answers are announced: the list's window.
    TAnswerWindow Window{kIconsReadyMessage};
    TBackgroundQueue<TIconRequest, TIconAnswer, &TIconRequest::Id> Queue;
    // The records asked for in this generation, until their answers come.
    std::unordered_set<const TFileRec*> Asked;
    uint64_t Generation = 1;
    uint64_t LastId = 0;
};

}  // namespace qrv

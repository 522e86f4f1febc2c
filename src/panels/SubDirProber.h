#pragma once
// The folder tree's subfolder prober: a worker thread that finds out, for
// queued nodes, whether their folders have subfolders, so that drawing a
// large tree never touches the disk on the user-interface thread. The
// worker sees only copies (the node's id, its path and item identifier
// list), never a node: the tree applies the results on its own thread, and
// only to nodes that still exist. Portable; the tree's side is in
// panels/win/DriveViewWatch.cpp.

#include "common/PIDL.h"
#include "panels/BackgroundQueue.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

struct TProbeRequest {
    uint64_t NodeId = 0;
    std::wstring Path;
    TPidlBytes Pidl;
    bool HideHiddenDirs = false;
    // A shell folder: Pidl is its absolute list, asked through the shell.
    bool ShellFolder = false;
};

struct TProbeResult {
    uint64_t NodeId = 0;
    bool HasSubDirs = true;
};

// Answers on its worker, one request at a time, oldest first (the queue's
// calls are in panels/BackgroundQueue.h).
class TSubDirProber : public TBackgroundQueue<TProbeRequest, TProbeResult, &TProbeRequest::NodeId> {
public:
    // Runs on the worker: whether the request's folder has a subfolder. An
    // exception counts as "has subfolders".
    using TProbe = std::function<bool(const TProbeRequest& Request)>;

    TSubDirProber(TProbe Probe, TResultsReady ResultsReady);
};

}  // namespace qrv

#pragma once
// The folder tree's subfolder prober: a worker thread that finds out, for
// queued nodes, whether their folders have subfolders, so that drawing a
// large tree never touches the disk on the user-interface thread. The
// worker sees only copies (the node's id, its path and item identifier
// list), never a node: the tree applies the results on its own thread, and
// only to nodes that still exist. Queueing wakes the worker through a
// condition, so a node queued just as the worker found the queue empty is
// still probed. Portable; the tree's side is in panels/win/DriveViewWatch.cpp.

#include "common/PIDL.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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

class TSubDirProber {
public:
    // Runs on the worker: whether the request's folder has a subfolder. An
    // exception counts as "has subfolders".
    using TProbe = std::function<bool(const TProbeRequest& Request)>;
    // Runs on the worker when results wait where none waited before; the
    // tree then takes them on its own thread.
    using TResultsReady = std::function<void()>;

    TSubDirProber(TProbe Probe, TResultsReady ResultsReady);
    // Ends the worker after the probe it runs and waits for it.
    ~TSubDirProber();
    TSubDirProber(const TSubDirProber&) = delete;
    TSubDirProber& operator=(const TSubDirProber&) = delete;

    // Runs once on the worker before its first probe (the tree lowers the
    // thread's priority there). Set before the first Queue.
    std::function<void()> OnWorkerStart;
    // Runs on the worker as it ends, after its last probe (the tree
    // releases the thread's COM there).
    std::function<void()> OnWorkerEnd;

    // Queues a request unless its node is queued already (false then);
    // starts the worker on first need and wakes it.
    [[nodiscard]] bool Queue(TProbeRequest Request);
    // The node went: out of the queue. A probe of it already running still
    // reports, and the tree ignores that result.
    void Forget(uint64_t NodeId);
    // The results so far, oldest first; they are handed out once.
    std::vector<TProbeResult> TakeResults();
    size_t QueuedCount() const;
    // Ends the worker (as the destructor does); later requests are ignored.
    void Stop();

private:
    void Run();

    TProbe probe_;
    TResultsReady resultsReady_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<TProbeRequest> queue_;
    std::vector<TProbeResult> results_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace qrv

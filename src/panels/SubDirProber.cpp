#include "panels/SubDirProber.h"
#include "framework/IgnoredError.h"

#include <algorithm>
#include <utility>

namespace qrv {

TSubDirProber::TSubDirProber(TProbe Probe, TResultsReady ResultsReady)
    : probe_(std::move(Probe)), resultsReady_(std::move(ResultsReady))
{}

TSubDirProber::~TSubDirProber()
{
    Stop();
}

bool TSubDirProber::Queue(TProbeRequest Request)
{
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return false;
        const auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const TProbeRequest& waiting) {
            return waiting.NodeId == Request.NodeId;
        });
        if (queued != queue_.end())
            return false;
        queue_.push_back(std::move(Request));
        if (!worker_.joinable())
            worker_ = std::thread([this] { Run(); });
    }
    wake_.notify_one();
    return true;
}

void TSubDirProber::Forget(uint64_t NodeId)
{
    std::lock_guard lock(mutex_);
    std::erase_if(queue_, [&](const TProbeRequest& waiting) { return waiting.NodeId == NodeId; });
}

std::vector<TProbeResult> TSubDirProber::TakeResults()
{
    std::lock_guard lock(mutex_);
    return std::exchange(results_, {});
}

size_t TSubDirProber::QueuedCount() const
{
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void TSubDirProber::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_one();
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id())
        worker_.join();
}

void TSubDirProber::Run()
{
    if (OnWorkerStart)
        OnWorkerStart();
    struct TEnd {
        const std::function<void()>& End;
        ~TEnd()
        {
            if (End)
                End();
        }
    } end{OnWorkerEnd};
    for (;;) {
        TProbeRequest request;
        {
            std::unique_lock lock(mutex_);
            // The predicate is checked under the lock, so a request queued
            // after the last look is never slept over.
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        TProbeResult result{request.NodeId, true};
        try {
            result.HasSubDirs = probe_(request);
        } catch (...) {
            TraceIgnoredException(L"probing a folder for subfolders");
            result.HasSubDirs = true;
        }
        bool first = false;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            first = results_.empty();
            results_.push_back(result);
        }
        if (first && resultsReady_)
            resultsReady_();
    }
}

}  // namespace qrv

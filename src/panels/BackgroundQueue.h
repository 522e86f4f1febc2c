#pragma once
// A worker thread that answers queued requests one at a time, for questions
// that must not hold the user-interface thread (whether a folder has
// subfolders, which icon the shell gives a file). The worker sees only the
// request, a copy, never the caller's objects: the caller takes the results
// on its own thread and applies them only to what still exists. Queueing
// wakes the worker through a condition, so a request queued just as the
// worker found the queue empty is still answered. Portable.

#include "framework/IgnoredError.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace qrv {

// Which queued request the worker takes next.
enum class TQueueOrder {
    OldestFirst,
    // The last one queued: what was asked for last is what is shown now.
    NewestFirst,
};

// TRequest carries its id in the member Id names; a request is queued once.
template <class TRequest, class TResult, uint64_t TRequest::*Id>
class TBackgroundQueue {
public:
    // Runs on the worker.
    using TWork = std::function<TResult(const TRequest& Request)>;
    // Runs on the worker when Work throws: the answer then.
    using TFallback = std::function<TResult(const TRequest& Request)>;
    // Runs on the worker when results wait where none waited before; the
    // caller then takes them on its own thread.
    using TResultsReady = std::function<void()>;

    // Failure names what the worker does, for the trace of a failed Work.
    TBackgroundQueue(TWork Work, TFallback Fallback, TResultsReady ResultsReady, std::wstring Failure,
                     TQueueOrder Order = TQueueOrder::OldestFirst)
        : work_(std::move(Work)), fallback_(std::move(Fallback)), resultsReady_(std::move(ResultsReady)),
          failure_(std::move(Failure)), order_(Order)
    {}
    // Ends the worker after the request it answers and waits for it.
    ~TBackgroundQueue() { Stop(); }
    TBackgroundQueue(const TBackgroundQueue&) = delete;
    TBackgroundQueue& operator=(const TBackgroundQueue&) = delete;

    // Runs once on the worker before its first request (lowering the
    // thread's priority, starting COM). Set before the first Queue.
    std::function<void()> OnWorkerStart;
    // Runs on the worker as it ends, after its last request.
    std::function<void()> OnWorkerEnd;

    // Queues a request unless one with its id is queued already (false
    // then); starts the worker on first need and wakes it.
    [[nodiscard]] bool Queue(TRequest Request)
    {
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return false;
            const auto queued = std::find_if(queue_.begin(), queue_.end(),
                                             [&](const TRequest& waiting) { return waiting.*Id == Request.*Id; });
            if (queued != queue_.end())
                return false;
            queue_.push_back(std::move(Request));
            if (!worker_.joinable())
                worker_ = std::thread([this] { Run(); });
        }
        wake_.notify_one();
        return true;
    }
    // Out of the queue. A request already being answered still reports.
    void Forget(uint64_t RequestId)
    {
        std::lock_guard lock(mutex_);
        std::erase_if(queue_, [&](const TRequest& waiting) { return waiting.*Id == RequestId; });
    }
    // Every queued request dropped; the worker stays for later ones.
    void Clear()
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    // The results so far, oldest first; they are handed out once.
    std::vector<TResult> TakeResults()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(results_, {});
    }
    size_t QueuedCount() const
    {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }
    // Ends the worker (as the destructor does); later requests are refused.
    void Stop()
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

private:
    void Run()
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
            TRequest request;
            {
                std::unique_lock lock(mutex_);
                // The predicate is checked under the lock, so a request
                // queued after the last look is never slept over.
                wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
                if (stopping_)
                    return;
                if (order_ == TQueueOrder::NewestFirst) {
                    request = std::move(queue_.back());
                    queue_.pop_back();
                } else {
                    request = std::move(queue_.front());
                    queue_.pop_front();
                }
            }
            TResult result = Answer(request);
            bool first = false;
            {
                std::lock_guard lock(mutex_);
                if (stopping_)
                    return;
                first = results_.empty();
                results_.push_back(std::move(result));
            }
            if (first && resultsReady_)
                resultsReady_();
        }
    }

    TResult Answer(const TRequest& Request)
    {
        try {
            return work_(Request);
        } catch (...) {
            TraceIgnoredException(failure_);
            return fallback_(Request);
        }
    }

    TWork work_;
    TFallback fallback_;
    TResultsReady resultsReady_;
    std::wstring failure_;
    TQueueOrder order_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<TRequest> queue_;
    std::vector<TResult> results_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace qrv

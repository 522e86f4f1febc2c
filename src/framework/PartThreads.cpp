#include "framework/PartThreads.h"

#include "framework/IgnoredError.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace qrv {

namespace {

class TPartThreads {
public:
    // Never destroyed: its threads wait for jobs until the process ends.
    static TPartThreads& Instance()
    {
        static TPartThreads* threads = new TPartThreads();
        return *threads;
    }

    void Start()
    {
        std::call_once(started_, [this] {
            for (size_t i = 1; i < PartThreadCount(); ++i) {
                try {
                    std::thread(&TPartThreads::Serve, this).detach();
                } catch (const std::system_error&) {
                    TraceIgnoredException(L"starting a thread for sorting");
                    break;  // the threads there are share the parts
                }
            }
        });
    }

    void Run(size_t Parts, const std::function<void(size_t)>& Work)
    {
        Start();
        std::lock_guard turn(jobTurn_);
        {
            std::lock_guard lock(mutex_);
            work_ = &Work;
            parts_ = Parts;
            next_ = done_ = 0;
            failures_.assign(Parts, nullptr);
        }
        wake_.notify_all();
        TakeParts();
        std::exception_ptr failure;
        {
            std::unique_lock lock(mutex_);
            finished_.wait(lock, [this] { return done_ == parts_; });
            work_ = nullptr;
            for (const std::exception_ptr& f : failures_)
                if (f && !failure)
                    failure = f;
        }
        if (failure)
            std::rethrow_exception(failure);
    }

private:
    TPartThreads() = default;

    void Serve()
    {
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return work_ && next_ < parts_; });
            }
            TakeParts();
        }
    }

    // Parts of the job under way until none is left.
    void TakeParts()
    {
        for (;;) {
            size_t part = 0;
            const std::function<void(size_t)>* work = nullptr;
            {
                std::lock_guard lock(mutex_);
                if (!work_ || next_ >= parts_)
                    return;
                part = next_++;
                work = work_;
            }
            std::exception_ptr failure;
            try {
                (*work)(part);
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard lock(mutex_);
            failures_[part] = failure;
            if (++done_ == parts_)
                finished_.notify_all();
        }
    }

    std::once_flag started_;
    std::mutex jobTurn_;  // one job at a time
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const std::function<void(size_t)>* work_ = nullptr;
    size_t parts_ = 0;
    size_t next_ = 0;
    size_t done_ = 0;
    std::vector<std::exception_ptr> failures_;
};

}  // namespace

size_t PartThreadCount()
{
    return std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
}

void StartPartThreads()
{
    TPartThreads::Instance().Start();
}

void RunParts(size_t Parts, const std::function<void(size_t Part)>& Work)
{
    if (Parts <= 1) {
        if (Parts == 1)
            Work(0);
        return;
    }
    TPartThreads::Instance().Run(Parts, Work);
}

}  // namespace qrv

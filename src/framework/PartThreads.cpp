#include "framework/PartThreads.h"

#include "framework/IgnoredError.h"

#include <algorithm>
#include <atomic>
#include <chrono>
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

    // Makes the first kept thread, which makes the others: the caller waits
    // for one thread's making, not for all of them.
    void Start()
    {
        std::call_once(started_, [this] {
            if (PartThreadCount() < 2)
                return;
            try {
                std::thread([this] {
                    for (size_t i = 2; i < PartThreadCount(); ++i) {
                        try {
                            std::thread(&TPartThreads::Serve, this).detach();
                        } catch (const std::system_error&) {
                            TraceIgnoredException(L"starting a thread for work in parts");
                            break;  // the threads there are share the parts
                        }
                    }
                    Serve();
                }).detach();
            } catch (const std::system_error&) {
                TraceIgnoredException(L"starting a thread for work in parts");
            }
        });
    }

    void Warm(std::chrono::milliseconds time)
    {
        Start();
        KeepWarm(time);
        WakeSleepers();
    }

    void Run(size_t Parts, const std::function<void(size_t)>& Work)
    {
        Start();
        std::lock_guard turn(jobTurn_);
        TJob job(Work, Parts);
        job_.store(&job);
        generation_.fetch_add(1);
        WakeSleepers();
        TakeParts(job);
        // No thread joins the job any more; work in parts comes in runs (a
        // listing, then its sort), so the threads stay awake a moment.
        job_.store(nullptr);
        KeepWarm(kLinger);
        // The last parts run on other threads and mostly end at once: a
        // short wait awake, then asleep.
        const auto finished = [&job, this] {
            return job.Done.load(std::memory_order_acquire) == job.Parts && joined_.load() == 0;
        };
        for (const auto until = TClock::now() + kAwakeWait; !finished() && TClock::now() < until;)
            std::this_thread::yield();
        if (!finished()) {
            std::unique_lock lock(mutex_);
            finished_.wait(lock, finished);
        }
        for (const std::exception_ptr& failure : job.Failures)
            if (failure)
                std::rethrow_exception(failure);
    }

private:
    // How long the threads stay awake after a job, waiting for the next,
    // and how long the caller waits awake for the others' parts.
    static constexpr std::chrono::milliseconds kLinger{10};
    static constexpr std::chrono::milliseconds kAwakeWait{2};
    using TClock = std::chrono::steady_clock;

    // One job: its parts are taken and counted without a lock.
    struct TJob {
        TJob(const std::function<void(size_t)>& work, size_t parts) : Work(work), Parts(parts), Failures(parts) {}
        const std::function<void(size_t)>& Work;
        const size_t Parts;
        std::atomic<size_t> Next{0};
        std::atomic<size_t> Done{0};
        std::vector<std::exception_ptr> Failures;  // one per part, each written by the thread running it
    };

    TPartThreads() = default;

    void KeepWarm(std::chrono::milliseconds time)
    {
        const TClock::rep until = (TClock::now() + time).time_since_epoch().count();
        TClock::rep now = warmUntil_.load(std::memory_order_relaxed);
        while (until > now && !warmUntil_.compare_exchange_weak(now, until, std::memory_order_relaxed)) {}
    }

    bool IsWarm() const
    {
        return TClock::now().time_since_epoch().count() < warmUntil_.load(std::memory_order_relaxed);
    }

    // After a change the sleeping threads wait for: passing through the
    // lock they wait under, so that none misses it between its look and
    // its sleep.
    void WakeSleepers()
    {
        {
            std::lock_guard lock(mutex_);
        }
        wake_.notify_all();
    }

    // A thread put to sleep takes a while to run again (a millisecond and
    // more on a virtual machine whose idle processors halt): while warm, the
    // threads wait for the next job awake instead of asleep. A thread joins
    // a job without a lock: it counts itself in before it looks for the
    // job, and the job's caller, once it has taken the job away, waits
    // until no thread is counted.
    void Serve()
    {
        // (A thread made while a job is under way joins it too.)
        uint64_t seen = 0;
        for (;;) {
            while (generation_.load() == seen && IsWarm())
                std::this_thread::yield();
            if (generation_.load() == seen) {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return generation_.load() != seen || IsWarm(); });
                continue;
            }
            seen = generation_.load();
            joined_.fetch_add(1);
            if (TJob* job = job_.load())
                TakeParts(*job);
            if (joined_.fetch_sub(1) == 1) {
                std::lock_guard lock(mutex_);
                finished_.notify_all();
            }
        }
    }

    // Parts of the job until none is left.
    void TakeParts(TJob& job)
    {
        for (;;) {
            const size_t part = job.Next.fetch_add(1, std::memory_order_relaxed);
            if (part >= job.Parts)
                return;
            try {
                job.Work(part);
            } catch (...) {
                job.Failures[part] = std::current_exception();
            }
            if (job.Done.fetch_add(1, std::memory_order_acq_rel) + 1 == job.Parts) {
                std::lock_guard lock(mutex_);
                finished_.notify_all();
            }
        }
    }

    std::once_flag started_;
    std::mutex jobTurn_;  // one job at a time
    std::mutex mutex_;    // for sleeping only
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::atomic<TJob*> job_{nullptr};        // the job threads may join
    std::atomic<int> joined_{0};             // threads that have joined it, or are looking
    std::atomic<uint64_t> generation_{0};    // counts the jobs posted
    std::atomic<TClock::rep> warmUntil_{0};  // until when the threads wait awake
};

}  // namespace

size_t PartThreadCount()
{
    return std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
}

size_t PartCountFor(size_t Count, size_t MinPerPart)
{
    return std::clamp<size_t>(Count / std::max<size_t>(MinPerPart, 1), 1, std::max<size_t>(PartThreadCount(), 2));
}

void StartPartThreads()
{
    TPartThreads::Instance().Start();
}

void WarmPartThreads(std::chrono::milliseconds Time)
{
    if (PartThreadCount() > 1)
        TPartThreads::Instance().Warm(Time);
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

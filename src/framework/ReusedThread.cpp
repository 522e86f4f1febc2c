#include "framework/ReusedThread.h"

#include "framework/IgnoredError.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace qrv {

struct TReusedThread::TJob {
    std::function<void()> Work;
    std::mutex Mutex;
    std::condition_variable Ended;
    bool Done = false;

    void Run() noexcept
    {
        try {
            Work();
        } catch (...) {
            TraceIgnoredException(L"work on a reused thread");
        }
        Work = nullptr;
        std::lock_guard lock(Mutex);
        Done = true;
        Ended.notify_all();
    }
};

namespace {

// The kept threads waiting for work. Never destroyed: its threads wait
// until the process ends.
class TThreadKeeper {
public:
    static TThreadKeeper& Instance()
    {
        static TThreadKeeper* keeper = new TThreadKeeper();
        return *keeper;
    }

    void Start(const std::shared_ptr<TReusedThread::TJob>& Job)
    {
        {
            std::lock_guard lock(mutex_);
            if (idle_ > 0) {
                --idle_;
                waiting_.push_back(Job);
                wake_.notify_one();
                return;
            }
        }
        try {
            std::thread([this, Job] { Serve(Job); }).detach();
        } catch (const std::system_error&) {
            TraceIgnoredException(L"starting a thread");
            Job->Run();  // no thread to be had: the work is done here
        }
    }

private:
    TThreadKeeper() = default;

    // Runs its first job, then the jobs handed to it while it waits.
    void Serve(std::shared_ptr<TReusedThread::TJob> Job)
    {
        for (;;) {
            Job->Run();
            Job.reset();
            std::unique_lock lock(mutex_);
            if (idle_ >= kKept)
                return;  // enough wait already
            ++idle_;
            wake_.wait(lock, [this] { return !waiting_.empty(); });
            Job = std::move(waiting_.back());
            waiting_.pop_back();
        }
    }

    static constexpr int kKept = 4;
    std::mutex mutex_;
    std::condition_variable wake_;
    int idle_ = 0;  // threads waiting for work, less the jobs handed to them not yet taken
    std::vector<std::shared_ptr<TReusedThread::TJob>> waiting_;
};

}  // namespace

TReusedThread::TReusedThread(std::function<void()> Work) : job_(std::make_shared<TJob>())
{
    job_->Work = std::move(Work);
    TThreadKeeper::Instance().Start(job_);
}

TReusedThread::~TReusedThread()
{
    Join();
}

void TReusedThread::Join()
{
    std::unique_lock lock(job_->Mutex);
    job_->Ended.wait(lock, [this] { return job_->Done; });
}

}  // namespace qrv

#pragma once
// Work handed to a thread kept for such work: the threads are made once and
// then reused, where making one costs (under Wine) a few milliseconds, as
// long as reading a small folder or sorting it. A thread that finishes its
// work waits for the next; when every kept thread is busy, another is made.
// Portable.

#include <functional>
#include <memory>

namespace qrv {

class TReusedThread {
public:
    // Starts Work on a kept thread. Work must not throw: what it throws is
    // traced and dropped.
    explicit TReusedThread(std::function<void()> Work);
    // Waits for the work to end.
    ~TReusedThread();
    TReusedThread(const TReusedThread&) = delete;
    TReusedThread& operator=(const TReusedThread&) = delete;

    // Waits for the work to end (at once when it has).
    void Join();

    struct TJob;

private:
    std::shared_ptr<TJob> job_;
};

}  // namespace qrv

#pragma once
// TThread: a worker thread with Terminate, WaitFor and Synchronize (a call run
// on the user-interface thread while the worker waits).

#include "framework/win/Handles.h"
#include "framework/win/WinApi.h"

#include <atomic>
#include <functional>

namespace qrv {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest };

class TThread {
public:
    // A suspended thread starts with Start().
    explicit TThread(bool createSuspended);
    // Terminates and waits for the thread, unless it frees itself.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    // Sets Terminated, then calls TerminatedSet so a thread that sleeps on
    // its own events can wake up.
    void Terminate()
    {
        terminated_ = true;
        TerminatedSet();
    }
    bool Terminated() const { return terminated_; }
    // Waits for the end of Execute and returns ReturnValue. On the UI thread
    // it keeps handling Synchronize calls, so a worker never deadlocks on it.
    int WaitFor();
    bool Finished() const { return finished_; }

    void SetPriority(TThreadPriority priority);
    DWORD ThreadID() const { return threadId_; }
    HANDLE Handle() const { return handle_.Get(); }

    // When true the thread deletes itself after OnTerminate ran.
    bool FreeOnTerminate = false;
    // Runs on the UI thread when Execute has ended.
    std::function<void(TThread* Sender)> OnTerminate;

    // Runs method on the UI thread and returns when it is done; runs it at
    // once when called on the UI thread. Exceptions are handed to the caller.
    static void Synchronize(const std::function<void()>& method);
    static bool IsMainThread();

protected:
    virtual void Execute() = 0;
    // Called by Terminate (on the terminating thread); wakes a waiting Execute.
    virtual void TerminatedSet() {}
    int ReturnValue = 0;

private:
    static unsigned __stdcall ThreadProc(void* self);
    TKernelHandle handle_;
    DWORD threadId_ = 0;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool started_ = false;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
};

// Called by the application object on the UI thread.
void StartThreadSynchronization();
void StopThreadSynchronization();

}  // namespace qrv

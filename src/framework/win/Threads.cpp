#include "framework/win/Threads.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"
#include "framework/win/Controls.h"
#include "framework/win/UtilWindow.h"

#include <exception>
#include <memory>
#include <process.h>

namespace qrv {

namespace {

struct SyncRequest {
    const std::function<void()>* method;
    std::exception_ptr error;
};

DWORD g_mainThreadId = 0;
std::unique_ptr<TUtilWindow> g_syncWindow;

bool HandleSyncMessage(TMessage& message)
{
    if (message.Msg != WM_QRV_SYNCHRONIZE)
        return false;
    auto* request = reinterpret_cast<SyncRequest*>(message.LParam);
    try {
        (*request->method)();
    } catch (...) {
        request->error = std::current_exception();
    }
    return true;
}

int PriorityValue(TThreadPriority priority)
{
    switch (priority) {
    case TThreadPriority::tpIdle:
        return THREAD_PRIORITY_IDLE;
    case TThreadPriority::tpLowest:
        return THREAD_PRIORITY_LOWEST;
    case TThreadPriority::tpLower:
        return THREAD_PRIORITY_BELOW_NORMAL;
    case TThreadPriority::tpHigher:
        return THREAD_PRIORITY_ABOVE_NORMAL;
    case TThreadPriority::tpHighest:
        return THREAD_PRIORITY_HIGHEST;
    default:
        return THREAD_PRIORITY_NORMAL;
    }
}

}  // namespace

void StartThreadSynchronization()
{
    g_mainThreadId = GetCurrentThreadId();
    g_syncWindow = std::make_unique<TUtilWindow>(HandleSyncMessage);
}

void StopThreadSynchronization()
{
    g_syncWindow.reset();
}

bool TThread::IsMainThread()
{
    return g_mainThreadId == 0 || GetCurrentThreadId() == g_mainThreadId;
}

void TThread::Synchronize(const std::function<void()>& method)
{
    if (IsMainThread() || !g_syncWindow) {
        method();
        return;
    }
    SyncRequest request{&method, nullptr};
    // SendMessage blocks until the UI thread has run the request.
    SendMessageW(g_syncWindow->Handle(), WM_QRV_SYNCHRONIZE, 0, reinterpret_cast<LPARAM>(&request));
    if (request.error)
        std::rethrow_exception(request.error);
}

TThread::TThread(bool createSuspended)
{
    const uintptr_t handle =
        _beginthreadex(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, reinterpret_cast<unsigned*>(&threadId_));
    if (!handle)
        throw EOSError(L"Thread kann nicht erstellt werden", GetLastError());
    handle_.Reset(reinterpret_cast<HANDLE>(handle));
    if (!createSuspended)
        Start();
}

TThread::~TThread()
{
    if (started_ && !finished_ && GetCurrentThreadId() != threadId_) {
        Terminate();
        WaitFor();
    } else if (!started_) {
        // Never started: let the thread run to its end without calling Execute.
        terminated_ = true;
        ResumeThread(handle_.Get());
        WaitForSingleObject(handle_.Get(), INFINITE);
    }
}

void TThread::Start()
{
    if (started_)
        return;
    started_ = true;
    SetThreadPriority(handle_.Get(), PriorityValue(priority_));
    ResumeThread(handle_.Get());
}

void TThread::SetPriority(TThreadPriority priority)
{
    priority_ = priority;
    SetThreadPriority(handle_.Get(), PriorityValue(priority));
}

int TThread::WaitFor()
{
    if (GetCurrentThreadId() == threadId_)
        throw EInvalidOperation(L"Ein Thread kann nicht auf sich selbst warten");
    if (IsMainThread()) {
        // Keep answering Synchronize calls of this and other workers.
        const HANDLE waited = handle_.Get();
        for (;;) {
            const DWORD result = MsgWaitForMultipleObjects(1, &waited, FALSE, INFINITE, QS_SENDMESSAGE);
            if (result == WAIT_OBJECT_0)
                break;
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    } else {
        WaitForSingleObject(handle_.Get(), INFINITE);
    }
    return ReturnValue;
}

unsigned __stdcall TThread::ThreadProc(void* parameter)
{
    auto* self = static_cast<TThread*>(parameter);
    if (!self->started_)
        return 0;  // destroyed before it was started
    try {
        self->Execute();
    } catch (...) {
        TraceIgnoredException(L"an exception leaving a thread's Execute");
        // An exception leaving Execute ends the thread; nothing else can take it.
    }
    const bool freeOnTerminate = self->FreeOnTerminate;
    if (self->OnTerminate) {
        try {
            Synchronize([self] { self->OnTerminate(self); });
        } catch (...) {
            TraceIgnoredException(L"a thread's OnTerminate handler");
        }
    }
    const int result = self->ReturnValue;
    self->finished_ = true;
    if (freeOnTerminate)
        delete self;  // a self-freeing thread ends its own life here
    return static_cast<unsigned>(result);
}

}  // namespace qrv

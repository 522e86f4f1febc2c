#include "panels/win/DiscMon.h"

#include "common/win/BaseUtilsWin.h"
#include "framework/SysUtils.h"
#include "framework/win/WindowProcedures.h"

namespace qrv {

TFolderChangeSource::TFolderChangeSource()
{
    stopEvent_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    restartEvent_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!stopEvent_ || !restartEvent_) {
        const DWORD error = GetLastError();
        throw EOSError(L"Ereignis kann nicht erstellt werden: " + SysErrorMessage(error), error);
    }
}

TFolderChangeSource::~TFolderChangeSource()
{
    Close();
}

bool TFolderChangeSource::Open(const TDiscMonitorSettings& settings)
{
    Close();
    if (settings.Directory.empty())
        return false;  // no folder to watch
    directory_ = settings.Directory;
    change_.Reset(FindFirstChangeNotificationW(directory_.c_str(), settings.SubTree, settings.Filter));
    return change_.Valid();
}

void TFolderChangeSource::Close()
{
    change_.Reset();
}

bool TFolderChangeSource::Next()
{
    // A deleted folder may leave the handle armed and signalled for ever;
    // the watch only goes on while the folder is there.
    return FindNextChangeNotification(change_.Get()) && FolderThere();
}

bool TFolderChangeSource::FolderThere() const
{
    return DirExists(directory_);
}

TChangeSource::TWaitResult TFolderChangeSource::Wait(bool withChange)
{
    const HANDLE handles[] = {stopEvent_.Get(), restartEvent_.Get(), change_.Get()};
    const bool watching = withChange && change_.Valid();
    // A watch is not told of every way its folder can go (moved away, or
    // removed by the system only once the last handle closes, as Wine does),
    // so while watching the folder is looked at now and then.
    const DWORD timeout = watching ? kFolderCheckInterval : INFINITE;
    for (;;) {
        switch (WaitForMultipleObjects(watching ? 3 : 2, handles, FALSE, timeout)) {
        case WAIT_OBJECT_0:
            return wrStop;
        case WAIT_OBJECT_0 + 1:
            return wrRestart;
        case WAIT_OBJECT_0 + 2:
            return wrChange;
        case WAIT_TIMEOUT:
            if (!FolderThere())
                return wrGone;
            break;
        default:
            // The wait itself failed: with a watch open the watch is at
            // fault; the events alone failing leaves nothing to wait for.
            return watching ? wrGone : wrStop;
        }
    }
}

void TFolderChangeSource::SignalRestart()
{
    SetEvent(restartEvent_.Get());
}

void TFolderChangeSource::SignalStop()
{
    SetEvent(stopEvent_.Get());
}

TDiscMonitorThread::TDiscMonitorThread() : TThread(true) {}

TDiscMonitorThread::~TDiscMonitorThread()
{
    Terminate();
    if (GetCurrentThreadId() == ThreadID())
        return;  // freeing itself at its end
    Start();     // a worker never started runs to its end at once
    WaitFor();   // answers pending reports, which are no longer current
}

void TDiscMonitorThread::Execute()
{
    core_.Run([this](TDiscMonitorCore::TReport report, uint64_t generation) {
        Synchronize([&] { Dispatch(report, generation); });
    });
}

void TDiscMonitorThread::Dispatch(TDiscMonitorCore::TReport report, uint64_t generation)
{
    // Runs on the UI thread: a report made before the monitor was paused,
    // changed or destroyed is dropped here.
    if (!core_.IsCurrent(generation))
        return;
    const auto& handler = report == TDiscMonitorCore::rpChange ? OnChange : OnInvalid;
    if (!handler)
        return;
    inCallback_ = true;
    try {
        handler();
    } catch (...) {
        // The handler's failure is the application's to show; the watch goes on.
        HandleWindowException(std::current_exception());
    }
    inCallback_ = false;
}

TDiscMonitor::TDiscMonitor(TComponent* AOwner) : TComponent(AOwner), thread_(std::make_unique<TDiscMonitorThread>())
{
    thread_->OnChange = [this] { DoChange(); };
    thread_->OnInvalid = [this] { DoInvalid(); };
}

TDiscMonitor::~TDiscMonitor()
{
    thread_->Terminate();
    if (thread_->InCallback()) {
        // Freed inside its own event: the worker waits for this call to
        // return, so it cannot be joined here. Stopped, it reports nothing
        // more, ends on its own and frees itself.
        thread_->FreeOnTerminate = true;
        (void)thread_.release();
    }
}

void TDiscMonitor::SetActive(bool Value)
{
    if (Value)
        thread_->Start();  // the first activation starts the worker
    thread_->Core().SetActive(Value);
}

void TDiscMonitor::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TDiscMonitor::DoInvalid()
{
    if (OnInvalid)
        OnInvalid(this);
}

}  // namespace qrv

#pragma once
// TDiscMonitor: watches one folder (optionally with its subtree) on a worker
// thread and raises OnChange on the user-interface thread for every change
// the system reports, or OnInvalid once when the folder cannot be watched.
// It carries no word of what changed; callers debounce and re-read.

#include "framework/Component.h"
#include "framework/win/Handles.h"
#include "framework/win/Threads.h"
#include "framework/win/WinApi.h"
#include "panels/DiscMon.h"

#include <functional>
#include <memory>

namespace qrv {

// The system side of the watch: a folder change notification handle and the
// two events the worker waits on besides it.
class TFolderChangeSource : public TChangeSource {
public:
    TFolderChangeSource();
    ~TFolderChangeSource() override;
    TFolderChangeSource(const TFolderChangeSource&) = delete;
    TFolderChangeSource& operator=(const TFolderChangeSource&) = delete;

    bool Open(const TDiscMonitorSettings& settings) override;
    void Close() override;
    bool Next() override;
    TWaitResult Wait(bool withChange) override;
    void SignalRestart() override;
    void SignalStop() override;

    // How often an open watch looks whether its folder is still there (ms).
    static constexpr DWORD kFolderCheckInterval = 1000;

private:
    bool FolderThere() const;

    TKernelHandle stopEvent_;     // manual reset: once stopped, always stopped
    TKernelHandle restartEvent_;  // auto reset: one restart per signal
    TChangeNotificationHandle change_;
    std::wstring directory_;
};

// The worker. It lives as long as its monitor, unless the monitor is freed
// inside one of its own events: then it ends on its own and frees itself.
class TDiscMonitorThread : public TThread {
public:
    TDiscMonitorThread();
    // Stops the worker and waits for it; reports still pending are dropped.
    ~TDiscMonitorThread() override;

    TDiscMonitorCore& Core() { return core_; }
    const TDiscMonitorCore& Core() const { return core_; }
    // True on the user-interface thread while OnChange or OnInvalid runs.
    bool InCallback() const { return inCallback_; }

    std::function<void()> OnChange;
    std::function<void()> OnInvalid;

protected:
    void Execute() override;
    void TerminatedSet() override { core_.Stop(); }

private:
    void Dispatch(TDiscMonitorCore::TReport report, uint64_t generation);

    TFolderChangeSource source_;
    TDiscMonitorCore core_{source_};
    bool inCallback_ = false;
};

class TDiscMonitor : public TComponent {
public:
    // Inactive, Filters moFilename, SubTree true.
    explicit TDiscMonitor(TComponent* AOwner);
    ~TDiscMonitor() override;

    TDiscMonitorDirStr Directory() const { return thread_->Core().Settings().Directory; }
    void SetDirectory(const TDiscMonitorDirStr& Value) { thread_->Core().SetDirectory(Value); }
    TMonitorFilters Filters() const { return thread_->Core().Settings().Filter; }
    void SetFilters(TMonitorFilters Value) { thread_->Core().SetFilter(Value); }
    bool SubTree() const { return thread_->Core().Settings().SubTree; }
    void SetSubTree(bool Value) { thread_->Core().SetSubTree(Value); }
    bool Active() const { return thread_->Core().Active(); }
    // True starts watching with the settings as they are now; false closes
    // the watch, so changes made meanwhile are never reported.
    void SetActive(bool Value);
    void Start() { SetActive(true); }
    void Stop() { SetActive(false); }
    // Where the worker is: paused, watching, invalid or stopped.
    TDiscMonitorState State() const { return thread_->Core().State(); }

    // Kept for the designer; no effect at run time.
    bool ShowDesignMsg = false;
    TNotifyEvent OnChange;
    TNotifyEvent OnInvalid;

protected:
    virtual void DoChange();
    virtual void DoInvalid();

private:
    std::unique_ptr<TDiscMonitorThread> thread_;
};

}  // namespace qrv

// TDirView: watching the folder for changes made by others and re-reading
// it in place once they have settled.

#include "panels/win/DirViewWatch.h"

#include "framework/win/Forms.h"
#include "panels/WatchedDrives.h"

namespace qrv {

TDirView::TWatchState& TDirView::Watch()
{
    if (!watch_)
        watch_ = std::make_unique<TWatchState>(*this);
    return *watch_;
}

void TDirView::SetWatchForChanges(bool Value)
{
    watchForChanges_ = Value;
    if (Value)
        StartWatchThread();
    else
        StopWatchThread();
}

void TDirView::SetChangeInterval(unsigned Value)
{
    if (Value == 0)
        return;
    changeInterval_ = Value;
    if (watch_)
        watch_->Debounce.SetInterval(Value);
}

void TDirView::SetNoCheckDrives(const std::wstring& Value)
{
    noCheckDrives_ = ListNoCheckDrives(Value);
    if (!Path().empty() && !DriveWatchable(noCheckDrives_, Path()[0]))
        StopWatchThread();
}

void TDirView::StartWatchThread()
{
    if (Path().empty() || !watchForChanges_ || !Loaded() || IsVirtual() || !DriveWatchable(noCheckDrives_, Path()[0]))
        return;
    TWatchState& watch = Watch();
    const std::wstring path = GetPath();
    if (!watch.Monitor) {
        watch.Monitor = std::make_unique<TDiscMonitor>(nullptr);
        watch.Monitor->SetSubTree(false);
        watch.Monitor->SetFilters(moFilename | moDirName | moAttributes | moLastWrite);
        watch.Monitor->SetDirectory(path);
        watch.Monitor->OnChange = [this](TComponent*) { FolderChanged(); };
        watch.Monitor->OnInvalid = [this](TComponent*) { FolderInvalid(); };
        watch.Monitor->SetActive(true);
    } else if (watch.Monitor->Directory() != path || !watch.Monitor->Active()) {
        watch.Monitor->SetDirectory(path);
        watch.Monitor->SetActive(true);
    }
}

void TDirView::StopWatchThread()
{
    if (watch_ && watch_->Monitor)
        watch_->Monitor->SetActive(false);
}

bool TDirView::WatchThreadActive() const
{
    return watchForChanges_ && watch_ && watch_->Monitor && watch_->Monitor->Active();
}

TDiscMonitor* TDirView::DiscMonitor() const { return watch_ ? watch_->Monitor.get() : nullptr; }

bool TDirView::ChangePending() const { return watch_ && watch_->Debounce.Pending(); }

void TDirView::WatchFolder()
{
    // The watch stays on while the list reads: a change made meanwhile keeps
    // its re-read pending, and the re-read runs once the load is over.
    if (watch_ && watch_->Monitor) {
        const std::wstring watched = watch_->Monitor->Directory();
        if (watched != GetPath())
            watch_->Debounce.Cancel();  // the old folder's changes are moot
    }
    if (Loaded())
        StartWatchThread();
    else
        StopWatchThread();
}

void TDirView::FolderChanged()
{
    Watch().Debounce.Change(changeInterval_);
}

void TDirView::ChangeTimerTick()
{
    const bool editing = HandleAllocated() && SendMessageW(Handle(), LVM_GETEDITCONTROL, 0, 0) != 0;
    const bool blocked = Loading() || !LoadEnabled() || editing;
    if (!Watch().Debounce.Tick(blocked, changeInterval_))
        return;
    if (OnChangeDetected)
        OnChangeDetected(this);
    ReloadDirectory();
}

void TDirView::FolderInvalid()
{
    StopWatchThread();
    if (OnChangeInvalid)
        OnChangeInvalid(this);
    // The watched folder went away: show what is left of the path at once
    // instead of the old entries.
    if (!Loading() && LoadEnabled())
        CheckPathExists();
}

void TDirView::FlushPendingReload()
{
    Application->ProcessMessages();
    const bool pending = ChangePending();
    if (watch_)
        watch_->Debounce.Cancel();
    SetLoadEnabled(true);
    if (pending)
        ReloadDirectory();
}

}  // namespace qrv

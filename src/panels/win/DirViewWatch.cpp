// TDirView: watching the folder for changes made by others and re-reading
// it in place once they have settled.

#include "panels/win/DirViewWatch.h"

#include "framework/IgnoredError.h"
#include "framework/TimingTrace.h"
#include "framework/win/Forms.h"
#include "panels/WatchedDrives.h"

#include <chrono>

namespace qrv {

namespace {

// The window's thread compares entries for up to this long before it looks
// at its input again.
constexpr auto kSliceTime = std::chrono::milliseconds(8);
// Entries compared between looks at the clock.
constexpr size_t kSliceEntries = 512;

}  // namespace

TDirView::TWatchState::TWatchState(TDirView& View)
    : Timer([&View] { View.ChangeTimerTick(); }), Debounce(Timer, DebounceClockNow),
      Relister(
          [fs = &View.fs_](const TRelistRequest& Request) {
              TRelistAnswer answer{Request.Id, {}, 0};
              answer.Error = fs->ListFolder(Request.Path, [&](TSearchRec& Entry) {
                  answer.Entries.push_back(Entry);
                  return true;
              });
              return answer;
          },
          [](const TRelistRequest& Request) {
              return TRelistAnswer{Request.Id, {}, ERROR_READ_FAULT};
          },
          RelistWindow.Announcement(), L"searching a list's folder again")
{}

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

TDiscMonitor* TDirView::DiscMonitor() const
{
    return watch_ ? watch_->Monitor.get() : nullptr;
}

bool TDirView::ChangePending() const
{
    return watch_ && watch_->Debounce.Pending();
}

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
    if (!RelistBeside())
        ReloadDirectory();
}

bool TDirView::RelistBeside()
{
    if (!HandleAllocated() || !Loaded() || Loading() || IsVirtual() || FullPathItems() || Path().empty())
        return false;
    TWatchState& watch = Watch();
    // A search or a comparison under way may have passed the change: the
    // folder is searched again once it is applied. A search of the folder
    // the list left is given up (its answer no longer counts), and the
    // list's folder is searched now: waiting for it would drop the change.
    if ((watch.AwaitedId != 0 && watch.AwaitedPath == Path()) || SlicedReloadPending()) {
        watch.AgainAfterSlices = true;
        return true;
    }
    watch.AgainAfterSlices = false;
    watch.RelistWindow.Set(Handle());
    const uint64_t id = ++watch.LastId;
    if (!watch.Relister.Queue(TRelistRequest{id, Path()}))
        return false;
    watch.AwaitedId = id;
    watch.AwaitedPath = Path();
    if (TimingTraceEnabled())
        TraceTiming(L"list re-read queued " + GetPath());
    return true;
}

void TDirView::TakeRelisted()
{
    if (!watch_)
        return;
    TWatchState& watch = *watch_;
    for (TRelistAnswer& answer : watch.Relister.TakeResults()) {
        if (answer.Id != watch.AwaitedId)
            continue;  // for a re-read given up since
        watch.AwaitedId = 0;
        if (watch.AwaitedPath != Path() || !Loaded() || Loading()) {
            watch.AgainAfterSlices = false;
            continue;  // the list went to another folder meanwhile
        }
        if (TimingTraceEnabled())
            TraceTiming(L"list re-read searched " + GetPath() + L" (" + std::to_wstring(answer.Entries.size()) +
                        L" entries)");
        try {
            if (!BeginSlicedReload(std::move(answer.Entries), answer.Error)) {
                // Read here and now, with every change so far.
                watch.AgainAfterSlices = false;
                ReloadDirectory();
                continue;
            }
        } catch (const std::exception&) {
            TraceIgnoredException(L"starting a list's re-read");
            continue;
        }
        ReloadSlice();
    }
}

void TDirView::ReloadSlice()
{
    if (!SlicedReloadPending()) {
        // Ended unfinished meanwhile: a change that waited for it is read now.
        if (watch_ && watch_->AgainAfterSlices && !RelistBeside())
            ReloadDirectory();
        return;
    }
    // Input waiting goes first: the next slice comes by the timer message,
    // which the queue hands out after input. While a name is edited the
    // items stay as they are (the editor would close).
    if (SendMessageW(Handle(), LVM_GETEDITCONTROL, 0, 0) != 0) {
        SetTimer(Handle(), kReloadSliceMessage, 100, nullptr);
        return;
    }
    if (HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
        SetTimer(Handle(), kReloadSliceMessage, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    const auto until = std::chrono::steady_clock::now() + kSliceTime;
    bool more = true;
    try {
        while (more && std::chrono::steady_clock::now() < until)
            more = SlicedReloadStep(kSliceEntries);
    } catch (const std::exception&) {
        TraceIgnoredException(L"re-reading a list in slices");
        CancelSlicedReload();
        ReloadDirectory();
        return;
    }
    if (more) {
        PostMessageW(Handle(), kReloadSliceMessage, 0, 0);
        return;
    }
    if (TimingTraceEnabled())
        TraceTiming(L"list re-read applied " + GetPath());
    if (watch_ && watch_->AgainAfterSlices && !RelistBeside())
        ReloadDirectory();
}

bool TDirView::RelistMessage(TMessage& message)
{
    if (message.Msg == kRelistedMessage) {
        TakeRelisted();
    } else if (message.Msg == kReloadSliceMessage ||
               (message.Msg == WM_TIMER && message.WParam == kReloadSliceMessage)) {
        if (message.Msg == WM_TIMER)
            KillTimer(Handle(), kReloadSliceMessage);
        ReloadSlice();
    } else {
        return false;
    }
    message.Result = 0;
    return true;
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

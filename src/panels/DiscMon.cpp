#include "panels/DiscMon.h"
#include "framework/IgnoredError.h"

namespace qrv {

TDiscMonitorSettings TDiscMonitorCore::Settings() const
{
    std::lock_guard lock(mutex_);
    return settings_;
}

bool TDiscMonitorCore::SetDirectory(const TDiscMonitorDirStr& directory)
{
    std::lock_guard lock(mutex_);
    if (settings_.Directory == directory)
        return false;
    settings_.Directory = directory;
    Changed();
    return true;
}

bool TDiscMonitorCore::SetFilter(TMonitorFilters filter)
{
    std::lock_guard lock(mutex_);
    if (settings_.Filter == filter)
        return false;
    settings_.Filter = filter;
    Changed();
    return true;
}

bool TDiscMonitorCore::SetSubTree(bool subTree)
{
    std::lock_guard lock(mutex_);
    if (settings_.SubTree == subTree)
        return false;
    settings_.SubTree = subTree;
    Changed();
    return true;
}

bool TDiscMonitorCore::Active() const
{
    std::lock_guard lock(mutex_);
    return active_;
}

bool TDiscMonitorCore::SetActive(bool active)
{
    std::lock_guard lock(mutex_);
    if (active_ == active)
        return false;
    active_ = active;
    ++generation_;
    // Wakes the worker either way: to open the watch, or to close it and pause.
    restartPending_ = true;
    source_.SignalRestart();
    return true;
}

void TDiscMonitorCore::Changed()
{
    ++generation_;
    // While inactive the values are only stored; the next start reads them.
    if (active_) {
        restartPending_ = true;
        source_.SignalRestart();
    }
}

void TDiscMonitorCore::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        ++generation_;
    }
    source_.SignalStop();
}

bool TDiscMonitorCore::IsCurrent(uint64_t generation) const
{
    std::lock_guard lock(mutex_);
    return active_ && !stopped_ && generation_ == generation;
}

TDiscMonitorState TDiscMonitorCore::State() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

void TDiscMonitorCore::SetState(TDiscMonitorState state)
{
    std::lock_guard lock(mutex_);
    state_ = state;
}

TChangeSource::TWaitResult TDiscMonitorCore::WaitForNews(bool withChange)
{
    for (;;) {
        const TChangeSource::TWaitResult result = source_.Wait(withChange);
        if (result != TChangeSource::wrRestart)
            return result;
        std::lock_guard lock(mutex_);
        if (restartPending_)
            return result;
    }
}

void TDiscMonitorCore::Run(const TDeliver& deliver)
{
    // Reports the directory as unusable once, then waits for new settings.
    const auto invalid = [&](uint64_t generation) {
        SetState(TDiscMonitorState::dmsInvalid);
        try {
            deliver(rpInvalid, generation);
        } catch (...) {
            TraceIgnoredException(L"reporting an unusable watched folder");
            // Nothing more to tell; the state says it all.
        }
        return WaitForNews(false) != TChangeSource::wrStop;
    };

    for (;;) {
        TDiscMonitorSettings settings;
        uint64_t generation;
        bool active;
        {
            std::lock_guard lock(mutex_);
            if (stopped_)
                break;
            settings = settings_;
            generation = generation_;
            active = active_;
            restartPending_ = false;
        }
        if (!active) {
            SetState(TDiscMonitorState::dmsPaused);
            if (WaitForNews(false) == TChangeSource::wrStop)
                break;
            continue;
        }
        if (!source_.Open(settings)) {
            if (!invalid(generation))
                break;
            continue;
        }
        SetState(TDiscMonitorState::dmsWatching);
        TChangeSource::TWaitResult result = TChangeSource::wrRestart;
        bool failed = false;
        while (!failed && (result = WaitForNews(true)) == TChangeSource::wrChange) {
            try {
                deliver(rpChange, generation);
                failed = !source_.Next();
            } catch (...) {
                TraceIgnoredException(L"reporting a change of a watched folder");
                failed = true;
            }
        }
        failed = failed || result == TChangeSource::wrGone;
        // A failed watch is closed before anything else: a handle left
        // signalled would report the same change again and again.
        source_.Close();
        if (failed) {
            if (!invalid(generation))
                break;
        } else if (result == TChangeSource::wrStop) {
            break;
        }
    }
    SetState(TDiscMonitorState::dmsStopped);
}

}  // namespace qrv

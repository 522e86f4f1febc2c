#pragma once
// The folder change monitor's worker logic, independent of the system: the
// settings it watches with, the states it passes through (paused, watching,
// invalid, stopped) and the loop of the worker thread over a change source.
// The user-interface thread changes the settings; the worker reads copies of
// them under the lock whenever it (re)opens a watch. Portable; the Win32
// component is in panels/win/DiscMon.h.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace qrv {

// Kinds of change reported; the values are the system's notification bits.
enum TMonitorFilter : uint32_t {
    moFilename = 0x1,
    moDirName = 0x2,
    moAttributes = 0x4,
    moSize = 0x8,
    moLastWrite = 0x10,
    moSecurity = 0x100,
};
// A set of TMonitorFilter values or-ed together.
using TMonitorFilters = uint32_t;
using TDiscMonitorDirStr = std::wstring;

struct TDiscMonitorSettings {
    TDiscMonitorDirStr Directory;
    TMonitorFilters Filter = moFilename;
    bool SubTree = true;
};

enum class TDiscMonitorState { dmsPaused, dmsWatching, dmsInvalid, dmsStopped };

// One system watch plus the worker's two wake-up signals. Open, Close, Next
// and Wait are called by the worker only; SignalRestart and SignalStop come
// from the user-interface thread.
class TChangeSource {
public:
    // wrGone: the watched folder is no longer there, though the watch may
    // never say so (moved away, or removed while the system keeps it).
    enum TWaitResult { wrStop, wrRestart, wrChange, wrGone };
    virtual ~TChangeSource() = default;
    // Starts a watch; false when the directory cannot be watched.
    [[nodiscard]] virtual bool Open(const TDiscMonitorSettings& settings) = 0;
    virtual void Close() = 0;
    // Re-arms the open watch after a change; false when it cannot go on.
    virtual bool Next() = 0;
    // Waits without limit for stop, a restart or (when withChange) a change
    // of the open watch or its folder gone; stop wins over the others.
    virtual TWaitResult Wait(bool withChange) = 0;
    // Restart is consumed by the Wait that returns it; stop stays set.
    virtual void SignalRestart() = 0;
    virtual void SignalStop() = 0;
};

class TDiscMonitorCore {
public:
    enum TReport { rpChange, rpInvalid };
    // Hands a report to the user-interface thread; the receiver asks
    // IsCurrent(generation) there before passing it on.
    using TDeliver = std::function<void(TReport report, uint64_t generation)>;

    explicit TDiscMonitorCore(TChangeSource& source) : source_(source) {}

    // User-interface side. Each setter returns whether the value changed; a
    // change while active makes the worker reopen the watch with it.
    TDiscMonitorSettings Settings() const;
    bool SetDirectory(const TDiscMonitorDirStr& directory);
    bool SetFilter(TMonitorFilters filter);
    bool SetSubTree(bool subTree);
    bool Active() const;
    bool SetActive(bool active);
    // Ends the worker's Run; no report is current afterwards.
    void Stop();
    // True while a report of that generation is still news: active, not
    // stopped, and no setting changed since the worker made it.
    bool IsCurrent(uint64_t generation) const;
    TDiscMonitorState State() const;

    // Worker side: runs until Stop. Paused while inactive (no watch open, so
    // changes meanwhile are never reported); an unusable directory or a watch
    // that fails is reported once and waits for new settings or the stop.
    void Run(const TDeliver& deliver);

private:
    // Takes effect with the lock held: a new generation and a restart.
    void Changed();
    void SetState(TDiscMonitorState state);
    // Waits for stop or for a restart with news in it (a signal whose news
    // the worker already read is passed over); withChange also returns
    // changes of the open watch.
    TChangeSource::TWaitResult WaitForNews(bool withChange);

    TChangeSource& source_;
    mutable std::mutex mutex_;
    TDiscMonitorSettings settings_;
    bool active_ = false;
    bool stopped_ = false;
    bool restartPending_ = false;  // a change the worker has not read yet
    uint64_t generation_ = 0;
    TDiscMonitorState state_ = TDiscMonitorState::dmsPaused;
};

}  // namespace qrv

#pragma once
// Collapsing bursts of folder change notifications into one re-read. The
// folder tree keeps one TTreeChangeDebounce per watched drive, a directory
// list one TListChangeDebounce. Both run over a timer that keeps ticking
// every period until stopped (so a tick that has to be skipped comes again)
// and a clock; both give up postponing once a burst has lasted
// kMaxChangeDelay, so a steady stream of changes cannot hold the re-read
// off for ever. Portable; the window timer behind it is panels/win/
// DebounceTimer.h.

#include <cstdint>
#include <functional>

namespace qrv {

// The interval used when none is set.
constexpr unsigned kDefaultChangeInterval = 1000;
// The least interval once changes keep coming.
constexpr unsigned kBusyChangeInterval = 2000;
// The longest a burst may postpone its re-read (at least the interval).
constexpr unsigned kMaxChangeDelay = 10000;

class TDebounceTimer {
public:
    virtual ~TDebounceTimer() = default;
    // (Re)starts the period; the timer ticks every Interval until stopped.
    virtual void Start(unsigned Interval) = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
};

// Milliseconds of a monotonic clock.
using TDebounceClock = std::function<uint64_t()>;

// What both machines share: the timer, the burst's deadline and the period
// the timer runs with.
class TChangeDebounceBase {
public:
    TChangeDebounceBase(TDebounceTimer& Timer, TDebounceClock Clock) : timer_(Timer), clock_(std::move(Clock)) {}
    // A change is waiting for its re-read.
    bool Pending() const { return timer_.Active(); }
    // The period the timer was last started with.
    unsigned Period() const { return period_; }
    // Forgets the burst (a re-read that covers it runs anyway).
    void Cancel() { timer_.Stop(); }

protected:
    // A change arrived: start (Fresh: a new burst) or restart the timer with
    // Wanted, but never beyond the burst's deadline.
    void Restart(unsigned Wanted, unsigned Interval, bool Fresh);
    // A tick that must be skipped: the timer goes on with at least Interval,
    // so the next try is no busy loop.
    void Skip(unsigned Interval);

    TDebounceTimer& timer_;

private:
    TDebounceClock clock_;
    uint64_t deadline_ = 0;
    unsigned period_ = 0;
};

// The tree's machine for one drive: the first change starts Interval, every
// further one before the tick restarts max(Interval, 2000).
class TTreeChangeDebounce : public TChangeDebounceBase {
public:
    using TChangeDebounceBase::TChangeDebounceBase;
    void Change(unsigned Interval);
    // A tick of the timer: true when the drive is to be validated now (the
    // timer is stopped then). A stale tick gives false; so does a tick
    // while Busy (a validation runs), which comes again after Interval.
    bool Tick(bool Busy, unsigned Interval);
};

// The list's machine: Interval for the first four changes of a burst, from
// the fifth on max(Interval, 2000).
class TListChangeDebounce : public TChangeDebounceBase {
public:
    using TChangeDebounceBase::TChangeDebounceBase;
    void Change(unsigned Interval);
    // A tick: true when the list is to be re-read now (the timer is stopped
    // then). While Blocked (loading, a name being edited) false, and the
    // tick comes again after Interval.
    bool Tick(bool Blocked, unsigned Interval);
    // A new interval restarts a running timer with it.
    void SetInterval(unsigned Interval);
    // Changes of the burst after its first.
    unsigned ChangeCount() const { return changeCount_; }

private:
    unsigned changeCount_ = 0;
};

}  // namespace qrv

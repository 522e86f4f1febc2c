#include "common/win/SimpleTimer.h"

#include "framework/IgnoredError.h"
#include "framework/win/UtilWindow.h"

#include <map>

namespace qrv {

// The hidden window of all timers and the table from timer number to live
// timer. Ticks name a number, never an address, so a tick still queued for a
// destroyed timer cannot reach another object.
class TSimpleTimerHandler {
public:
    TSimpleTimerHandler()
        : window_([this](TMessage& message) {
              if (message.Msg != WM_TIMER)
                  return false;
              Dispatch(message.WParam);
              return true;
          })
    {}

    HWND Handle() const { return window_.Handle(); }
    // True while a callback runs; the window is not destroyed then.
    bool Dispatching() const { return dispatching_ > 0; }

    UINT_PTR Add(TSimpleTimer* timer)
    {
        const UINT_PTR id = ++lastId_;
        timers_[id] = timer;
        return id;
    }
    // True when the table is empty afterwards.
    bool Remove(UINT_PTR id)
    {
        timers_.erase(id);
        return timers_.empty();
    }

private:
    void Dispatch(UINT_PTR id)
    {
        const auto found = timers_.find(id);
        if (found == timers_.end() || !found->second->Active())
            return;
        ++dispatching_;
        found->second->Fire();
        --dispatching_;
    }

    TUtilWindow window_;
    std::map<UINT_PTR, TSimpleTimer*> timers_;
    UINT_PTR lastId_ = 0;
    int dispatching_ = 0;
};

namespace {

// Lives from the first timer made to the last one destroyed (or, when that
// happened inside a callback, to the next such destruction or program end).
std::unique_ptr<TSimpleTimerHandler> g_handler;

TSimpleTimerHandler& Handler()
{
    if (!g_handler)
        g_handler = std::make_unique<TSimpleTimerHandler>();
    return *g_handler;
}

}  // namespace

TSimpleTimer::TSimpleTimer(void* UserData, TSimpleTimerProc Proc)
    : userData_(UserData), timerId_(Handler().Add(this)), proc_(std::move(Proc))
{}

TSimpleTimer::TSimpleTimer(void* UserData, TSimpleTimerProcEx ProcEx)
    : userData_(UserData), timerId_(Handler().Add(this)), procEx_(std::move(ProcEx))
{}

std::unique_ptr<TSimpleTimer> TSimpleTimer::Create(void* UserData, TSimpleTimerProc Proc)
{
    return std::make_unique<TSimpleTimer>(UserData, std::move(Proc));
}

std::unique_ptr<TSimpleTimer> TSimpleTimer::CreateEx(void* UserData, TSimpleTimerProcEx ProcEx)
{
    return std::make_unique<TSimpleTimer>(UserData, std::move(ProcEx));
}

TSimpleTimer::~TSimpleTimer()
{
    if (!g_handler)
        return;  // a timer outliving program end: its window is gone already
    Stop();
    if (g_handler->Remove(timerId_) && !g_handler->Dispatching())
        g_handler.reset();
}

HWND TSimpleTimer::Handle() const
{
    return g_handler->Handle();
}

bool TSimpleTimer::Start(unsigned Interval)
{
    Stop();
    interval_ = Interval;
    active_ = SetTimer(Handle(), timerId_, Interval, nullptr) != 0;
    return active_;
}

bool TSimpleTimer::Stop()
{
    if (!active_)
        return true;
    active_ = false;
    return KillTimer(Handle(), timerId_) != FALSE;
}

void TSimpleTimer::Fire()
{
    // A failing callback must neither reach the message loop nor stop the
    // timer, so its exception ends here. The callback may destroy the timer,
    // so it runs from a copy and nothing of the timer is touched afterwards.
    try {
        if (proc_) {
            const TSimpleTimerProc proc = proc_;
            proc(userData_);
        } else if (procEx_) {
            const TSimpleTimerProcEx procEx = procEx_;
            procEx(userData_, this);
        }
    } catch (...) {
        TraceIgnoredException(L"a timer's handler");
    }
}

}  // namespace qrv

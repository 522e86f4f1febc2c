#pragma once
// Runs a step when a scope is left, also when an exception leaves it: the
// one guard for "undo this on every way out" (flags, counters, brackets).

#include <utility>

namespace qrv {

template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit()
    {
        if (armed_)
            f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    // The step is not run after all (the work it would undo was kept).
    void Release() { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

// Opens an update bracket on construction and closes it on every way out:
// TUpdateLock lock(tree, &TDriveView::LockUpdate, &TDriveView::UnlockUpdate).
template <class T>
class TUpdateLock {
public:
    using Step = void (T::*)();
    TUpdateLock(T& target, Step begin, Step end) : target_(target), end_(end) { (target_.*begin)(); }
    ~TUpdateLock() { (target_.*end_)(); }
    TUpdateLock(const TUpdateLock&) = delete;
    TUpdateLock& operator=(const TUpdateLock&) = delete;

private:
    T& target_;
    Step end_;
};

}  // namespace qrv

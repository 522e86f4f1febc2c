#pragma once
// The size warning of a streamed file load: after 2 s the user is asked
// whether to go on, once more than 512 KB are read; a Yes ends the asking for
// this load, a No stops it. The clock is injected so the decision can be
// driven without waiting. Portable.

#include <cstdint>
#include <functional>
#include <string>

namespace qrv {

enum class TLoadWarningStep { lwGoOn, lwAsk, lwStop };

class TLoadWarning {
public:
    // Milliseconds from any fixed start.
    using TClock = std::function<uint64_t()>;

    static constexpr uint64_t Interval = 2000;
    // Up to this many bytes read the load is never questioned.
    static constexpr uint64_t QuietBytes = 0x7FFFF;

    explicit TLoadWarning(TClock clock) : clock_(std::move(clock)) {}

    // A load begins: the warning is active with its first deadline.
    void Start();
    // The load is over (or no warning is wanted).
    void Cancel() { active_ = false; }
    bool Active() const { return active_; }
    bool Stopped() const { return stopped_; }

    // Before each block, with the bytes read so far: go on, or ask first.
    TLoadWarningStep Check(uint64_t position);
    // The user's answer to the question: Yes goes on and asks no more.
    TLoadWarningStep Answer(bool goOn);

    // "Es wurden bereits 2,0 MB an Daten ..." for this many bytes read.
    static std::u16string Question(uint64_t position);

private:
    TClock clock_;
    bool active_ = false;
    bool stopped_ = false;
    uint64_t deadline_ = 0;
};

}  // namespace qrv

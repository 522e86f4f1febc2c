#include "framework/TimingTrace.h"

#include "framework/IgnoredError.h"
#include "framework/SysUtils.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qrv {

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The time of the first traced step: all lines count from it.
Clock::time_point Origin()
{
    static const Clock::time_point origin = Clock::now();
    return origin;
}

// QRV_TIMING: unset, empty or "0" is off (""), "1" the debug output, else a file.
const std::string& TimingSetting()
{
    static const std::string value = [] {
        const char* v = std::getenv("QRV_TIMING");
        return std::string(v != nullptr && std::string_view(v) != "0" ? v : "");
    }();
    return value;
}

// The trace file, opened once for appending; null for the debug output.
std::FILE* TimingFile()
{
    static std::FILE* file = [] {
        const std::string& value = TimingSetting();
        return !value.empty() && value != "1" ? std::fopen(value.c_str(), "a") : nullptr;
    }();
    return file;
}

void WriteTimingLine(const std::wstring& line)
{
    if (std::FILE* file = TimingFile()) {
        std::fprintf(file, "%s\n", WideToUtf8(line).c_str());
        std::fflush(file);
    } else {
        TraceLine(line);
    }
}

}  // namespace

bool TimingTraceEnabled() noexcept
{
    return !TimingSetting().empty();
}

std::wstring FormatTimingLine(Clock::duration sinceStart, std::wstring_view step)
{
    wchar_t stamp[32];
    std::swprintf(stamp, 32, L"timing %9.3f ms  ", Milliseconds(sinceStart));
    std::wstring line = stamp;
    line.append(step);
    return line;
}

void TraceTiming(std::wstring_view step) noexcept
{
    if (!TimingTraceEnabled())
        return;
    try {
        const Clock::time_point origin = Origin();
        WriteTimingLine(FormatTimingLine(Clock::now() - origin, step));
    } catch (...) {
        // No memory for the line: the trace is only a diagnosis.
    }
}

TTimingScope::TTimingScope(std::wstring_view step) noexcept : enabled_(TimingTraceEnabled())
{
    if (!enabled_)
        return;
    try {
        step_ = step;
        TraceTiming(step_ + L" ...");
    } catch (...) {
        enabled_ = false;
    }
    start_ = Clock::now();
}

void TTimingScope::Note(std::wstring_view detail) noexcept
{
    if (!enabled_)
        return;
    try {
        step_ += L" (";
        step_.append(detail);
        step_ += L")";
    } catch (...) {
        // the line goes without the detail
    }
}

TTimingScope::~TTimingScope()
{
    if (!enabled_)
        return;
    try {
        wchar_t took[32];
        std::swprintf(took, 32, L": %.3f ms", Milliseconds(Clock::now() - start_));
        TraceTiming(step_ + took);
    } catch (...) {
        // as in TraceTiming
    }
}

}  // namespace qrv

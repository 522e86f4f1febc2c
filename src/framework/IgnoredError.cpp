#include "framework/IgnoredError.h"

#include "framework/SysUtils.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace qrv {

namespace {

std::wstring MessageOfCurrentException()
{
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        const std::string text = e.what();
        return std::wstring(text.begin(), text.end());
    } catch (...) {
        return L"(unbekannte Ausnahme)";
    }
}

}  // namespace

void TraceIgnoredException(std::wstring_view what) noexcept
{
    try {
        std::wstring line = L"ignored: ";
        line.append(what);
        if (std::current_exception()) {
            line += L": ";
            line += MessageOfCurrentException();
        }
        TraceLine(line);
    } catch (...) {
        // Tracing itself ran out of memory: there is nothing left to report to.
    }
}

void TraceIgnoredFailure(std::wstring_view what, unsigned long errorCode) noexcept
{
    try {
        std::wstring line = L"ignored: ";
        line.append(what);
        if (errorCode != 0)
            line += L": error " + std::to_wstring(errorCode);
        TraceLine(line);
    } catch (...) {
        // As above: no memory to say so.
    }
}

#ifndef _WIN32
// The host build's sink; the Windows build's is in win/DebugOutput.cpp.
void TraceLine(std::wstring_view text) noexcept
{
    static const bool enabled = std::getenv("QRV_TRACE") != nullptr;
    if (!enabled)
        return;
    std::fprintf(stderr, "%ls\n", std::wstring(text).c_str());
}
#endif

}  // namespace qrv

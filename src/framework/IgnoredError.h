#pragma once
// The one way to let an error pass: a caller that deliberately goes on after
// a failure names what failed, and the name and the error's text go to the
// debug output (OutputDebugStringW on Windows, shown by Wine's debug channel
// "+debugstr"; standard error in the host build when QRV_TRACE is set).

#include <string_view>

namespace qrv {

// Inside a catch block: traces "ignored: <what>: <message of the exception
// being handled>".
void TraceIgnoredException(std::wstring_view what) noexcept;

// A failure that is not an exception (a false result, an error code).
void TraceIgnoredFailure(std::wstring_view what, unsigned long errorCode = 0) noexcept;

// One line to the debug output.
void TraceLine(std::wstring_view text) noexcept;

}  // namespace qrv

#pragma once
// The German texts of the error codes ShellExecute returns. Portable.

#include <cstdint>
#include <string>

namespace qrv {

// The text of a ShellExecute result; empty for a code the table lacks.
std::wstring ShellExecuteErrorText(intptr_t Code);

}  // namespace qrv

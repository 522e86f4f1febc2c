#include "framework/IgnoredError.h"
#include "framework/win/WinApi.h"

#include <string>

namespace qrv {

void TraceLine(std::wstring_view text) noexcept
{
    try {
        std::wstring line(text);
        line += L"\n";
        OutputDebugStringW(line.c_str());
    } catch (...) {
        OutputDebugStringW(L"ignored: a trace line (no memory)\n");
    }
}

}  // namespace qrv

// The directory search's text as a user types it, against a folder name:
// the pattern holds no star, is at most 255 characters, and its match
// agrees with what the pattern says (empty matches all, contains mode finds
// it inside, otherwise the name starts with it).
#include "dialogs/DirSearchRules.h"
#include "framework/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // UTF-16: up to the first 0x0000 unit the search text, after it the name.
    std::wstring text;
    std::wstring name;
    std::wstring* target = &text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0 && target == &text) {
            target = &name;
            continue;
        }
        target->push_back(unit);
    }
    const qrv::TDirSearchPattern pattern = qrv::MakeDirSearchPattern(text);
    if (pattern.Text.find(L'*') != std::wstring::npos || pattern.Text.size() > qrv::kDirSearchMaxText)
        std::abort();
    const bool matches = qrv::DirNameMatches(pattern, name);
    const std::wstring upper = qrv::UpperCase(name);
    if (pattern.Text.empty() && !matches)
        std::abort();
    if (matches && !pattern.Text.empty() && upper.find(pattern.Text) == std::wstring::npos)
        std::abort();
    if (matches && !pattern.Contains && upper.rfind(pattern.Text, 0) != 0)
        std::abort();
    // The walk over a one-node tree agrees with the match.
    qrv::TDirSearchRun run(pattern, nullptr, nullptr);
    if (run.Visit(&name, name) != matches)
        std::abort();
    return 0;
}

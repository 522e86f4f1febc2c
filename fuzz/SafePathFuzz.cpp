// Entry names from archives: whatever the name, a path the check lets
// through lies inside the target folder and every level of it is one a
// file may be created under.
#include "common/SafeExtractPath.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses with or without paths; the rest is UTF-16.
    if (size < 1)
        return 0;
    const bool usePaths = data[0] & 1;
    std::wstring name;
    for (size_t i = 1; i + 1 < size; i += 2)
        name.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    const std::wstring target = L"target";
    const auto result = qrv::SafeExtractPath(target, name, usePaths);
    if (!result)
        return 0;
    const std::wstring prefix = qrv::AddPathSeparator(target);
    if (result->compare(0, prefix.size(), prefix) != 0)
        std::abort();
    const std::wstring rest = result->substr(prefix.size());
    size_t levels = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = rest.find(prefix.back(), start);
        const std::wstring level = rest.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!qrv::IsSafeNameLevel(level))
            std::abort();
        ++levels;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    if (!usePaths && levels != 1)
        std::abort();
    return 0;
}

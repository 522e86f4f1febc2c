// Names other programs give dropped files: every planned name is one level
// a file may be created under in the target folder, and no two names of a
// drop are the same ignoring case.
#include "common/SafeExtractPath.h"
#include "framework/SysUtils.h"
#include "panels/DropRules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // UTF-16 names, separated by the character 0xFFFF.
    std::vector<std::wstring> names(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const auto c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c == 0xFFFF)
            names.emplace_back();
        else
            names.back().push_back(c);
    }
    if (names.size() > 200)
        return 0;
    const std::vector<std::wstring> planned = qrv::PlanDropNames(names);
    if (planned.size() != names.size())
        std::abort();
    std::set<std::wstring> seen;
    for (const std::wstring& name : planned) {
        if (!qrv::IsSafeNameLevel(name) || name.find_first_of(L"\\/:") != std::wstring::npos)
            std::abort();
        if (!seen.insert(qrv::UpperCase(name)).second)
            std::abort();
    }
    return 0;
}

// Mask matching against glibc's fnmatch on the same names and masks.

#include "common/MaskSearch.h"
#include "framework/StringList.h"
#include "framework/SysUtils.h"

#include <benchmark/benchmark.h>
#include <fnmatch.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

// File names as a folder of documents and pictures holds them.
const std::vector<std::string>& Names()
{
    static const std::vector<std::string> names = [] {
        const char* stems[] = {"img_", "IMG_", "readme", "Brief an Oma ", "report-2024-", "data", "photo_a_", "setup"};
        const char* exts[] = {".jpg", ".txt", ".doc", ".exe", ".JPG", ".tar.gz", "", ".docx"};
        std::vector<std::string> result;
        for (int i = 0; i < 2000; ++i)
            result.push_back(stems[i % 8] + std::to_string(i % 97) + exts[(i / 8) % 8]);
        return result;
    }();
    return names;
}

const std::vector<std::string> kMasks = {"*.txt", "*_??.jpg", "read?e.*", "*a*b*c*", "*.*", "photo_*_?.jpg", "*"};

std::vector<std::wstring> Wide(const std::vector<std::string>& texts)
{
    std::vector<std::wstring> result;
    for (const std::string& text : texts)
        result.push_back(Utf8ToWide(text));
    return result;
}

int CountOurs(const std::vector<std::wstring>& names, const std::vector<std::wstring>& masks)
{
    int matched = 0;
    for (const std::wstring& mask : masks)
        for (const std::wstring& name : names)
            matched += MatchMask(name, mask);
    return matched;
}

int CountFnmatch(const std::vector<std::string>& names, const std::vector<std::string>& masks, int flags)
{
    int matched = 0;
    for (const std::string& mask : masks)
        for (const std::string& name : names)
            matched += fnmatch(mask.c_str(), name.c_str(), flags) == 0;
    return matched;
}

void MatchMaskBench(benchmark::State& state)
{
    const std::vector<std::wstring> names = Wide(Names());
    const std::vector<std::wstring> masks = Wide(kMasks);
    if (CountOurs(names, masks) != CountFnmatch(Names(), kMasks, 0))
        state.SkipWithError("the two matchers disagree");
    for (auto _ : state)
        benchmark::DoNotOptimize(CountOurs(names, masks));
    state.SetItemsProcessed(state.iterations() * int64_t(names.size() * masks.size()));
}

void MatchMaskFnmatch(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CountFnmatch(Names(), kMasks, 0));
    state.SetItemsProcessed(state.iterations() * int64_t(Names().size() * kMasks.size()));
}

// A filter as the user types it: case-insensitive, several masks.
const char* const kFilter = "*.TXT;*.doc;*_??.jpg;read?e.*";

void MatchesMaskListBench(benchmark::State& state)
{
    TStringList list;
    ParseMaskList(Utf8ToWide(kFilter), list);
    const std::vector<std::wstring> names = Wide(Names());
    for (auto _ : state) {
        int matched = 0;
        for (const std::wstring& name : names)
            matched += MatchesMaskList(name, &list);
        benchmark::DoNotOptimize(matched);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(names.size()));
}

void MatchesMaskListFnmatch(benchmark::State& state)
{
    const std::vector<std::string> masks = {"*.txt", "*.doc", "*_??.jpg", "read?e.*"};
    for (auto _ : state) {
        int matched = 0;
        for (const std::string& name : Names())
            for (const std::string& mask : masks)
                if (fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
                    ++matched;
                    break;
                }
        benchmark::DoNotOptimize(matched);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(Names().size()));
}

}  // namespace

BENCHMARK(MatchMaskBench)->Name("MaskSearch/MatchMask")->Unit(benchmark::kMicrosecond);
BENCHMARK(MatchMaskFnmatch)->Name("MaskSearch/MatchMask/ref:fnmatch")->Unit(benchmark::kMicrosecond);
BENCHMARK(MatchesMaskListBench)->Name("MaskSearch/MatchesMaskList")->Unit(benchmark::kMicrosecond);
BENCHMARK(MatchesMaskListFnmatch)
    ->Name("MaskSearch/MatchesMaskList/ref:fnmatch FNM_CASEFOLD")
    ->Unit(benchmark::kMicrosecond);

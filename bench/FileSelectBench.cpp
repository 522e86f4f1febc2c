// Selecting "*.txt;*.doc" in a list of 100,000 records, beside a bare loop of
// MatchesMaskList over the same names in the same run: the difference is the
// cost of the filter's other tests and of the list's selection bookkeeping.

#include "../tests/panels/FakeDirSystem.h"
#include "common/MaskSearch.h"
#include "panels/DirViewCore.h"
#include "panels/FileSelect.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace qrv;
using qrv::test::FakeDirSystem;

namespace {

constexpr int kItems = 100000;
const std::wstring kMasks = L"*.txt;*.doc";

class BenchView : public TDirViewCore {
public:
    explicit BenchView(FakeDirSystem& sys) : TDirViewCore(nullptr, sys, sys, DirViewTextsFor(kLangGerman)) {}

protected:
    std::wstring LoadMask() const override { return L"*.*"; }
};

void FillFolder(FakeDirSystem& sys)
{
    const wchar_t* exts[] = {L".txt", L".jpg", L".doc", L".exe", L".pdf"};
    sys.AddFolder(L"C:\\Gross");
    for (int i = 0; i < kItems; ++i)
        sys.AddFile(L"C:\\Gross", L"Datei_" + std::to_wstring(i) + exts[i % 5], static_cast<uint64_t>(i) * 37);
}

uint32_t LocalDosTime(uint64_t FileTime)
{
    return static_cast<uint32_t>(FileTime - 132000000000000000ull);
}

void BM_SelectFiles(benchmark::State& state)
{
    FakeDirSystem sys;
    FillFolder(sys);
    BenchView view(sys);
    view.SetPath(L"C:\\Gross");
    TFileSelectFilter filter;
    filter.Masks = kMasks;
    bool select = true;
    for (auto _ : state) {
        const int matched = SelectFiles(view, filter, select, false, LocalDosTime);
        if (matched != kItems / 5 * 2)
            throw std::runtime_error("wrong selection");
        select = !select;
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

// The reference: the mask test alone over the same names.
void BM_MaskLoop(benchmark::State& state)
{
    FakeDirSystem sys;
    FillFolder(sys);
    BenchView view(sys);
    view.SetPath(L"C:\\Gross");
    std::vector<std::wstring> names;
    for (int i = 0; i < view.ItemCount(); ++i)
        names.push_back(view.GetItemData(i)->FileName);
    TStringList masks;
    ParseMaskList(kMasks, masks);
    for (auto _ : state) {
        int matched = 0;
        for (const std::wstring& name : names)
            matched += MatchesMaskList(name, &masks) ? 1 : 0;
        // ".." matches "*.*"-like masks only; here none: the counts agree.
        if (matched != kItems / 5 * 2)
            throw std::runtime_error("wrong count");
        benchmark::DoNotOptimize(matched);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

BENCHMARK(BM_SelectFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MaskLoop)->Name("BM_SelectFiles/ref:MatchesMaskList loop")->Unit(benchmark::kMillisecond);

}  // namespace

// TListExt's sort and bisection against std::sort and std::lower_bound on a
// plain vector of the same one million records.

#include "common/ListExt.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

using namespace qrv;

namespace {

constexpr int kRecords = 1'000'000;
constexpr int kLookups = 10'000;

// Shaped like an icon cache entry: a key, an extension and an index.
struct Record {
    uint32_t Key;
    wchar_t Ext[8];
    int32_t IconIndex;
};

int CompareRecords(const Record& a, const Record& b)
{
    return a.Key < b.Key ? -1 : a.Key > b.Key ? 1 : 0;
}

std::vector<uint32_t> ShuffledKeys()
{
    std::vector<uint32_t> keys(kRecords);
    std::iota(keys.begin(), keys.end(), 0u);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(42));
    for (uint32_t& key : keys)
        key *= 3;  // gaps, so that some lookups miss
    return keys;
}

std::vector<uint32_t> LookupKeys()
{
    std::mt19937 random(7);
    std::uniform_int_distribution<uint32_t> pick(0, kRecords * 3);
    std::vector<uint32_t> keys(kLookups);
    for (uint32_t& key : keys)
        key = pick(random);
    return keys;
}

void FillList(TListExt<Record>& list)
{
    for (uint32_t key : ShuffledKeys())
        list.Add(std::make_unique<Record>(Record{key, L".txt", 0}));
}

std::vector<Record> FillVector()
{
    std::vector<Record> records;
    records.reserve(kRecords);
    for (uint32_t key : ShuffledKeys())
        records.push_back(Record{key, L".txt", 0});
    return records;
}

void ListExtSort(benchmark::State& state)
{
    TListExt<Record> list;
    FillList(list);
    std::mt19937 random(1);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = list.Count() - 1; i > 0; --i)
            list.Exchange(i, std::uniform_int_distribution<int>(0, i)(random));
        state.ResumeTiming();
        list.Sort(CompareRecords);
    }
}

void VectorSort(benchmark::State& state)
{
    std::vector<Record> records = FillVector();
    std::mt19937 random(1);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(records.begin(), records.end(), random);
        state.ResumeTiming();
        std::sort(records.begin(), records.end(),
                  [](const Record& a, const Record& b) { return CompareRecords(a, b) < 0; });
    }
}

void ListExtFindSorted(benchmark::State& state)
{
    TListExt<Record> list;
    FillList(list);
    list.Sort(CompareRecords);
    const std::vector<uint32_t> keys = LookupKeys();
    for (auto _ : state) {
        int found = 0;
        for (uint32_t key : keys)
            found += list.FindSorted(Record{key, {}, 0}, CompareRecords) >= 0;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

void VectorLowerBound(benchmark::State& state)
{
    std::vector<Record> records = FillVector();
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.Key < b.Key; });
    const std::vector<uint32_t> keys = LookupKeys();
    for (auto _ : state) {
        int found = 0;
        for (uint32_t key : keys) {
            const auto at = std::lower_bound(records.begin(), records.end(), key,
                                             [](const Record& r, uint32_t k) { return r.Key < k; });
            found += at != records.end() && at->Key == key;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kLookups);
}

}  // namespace

BENCHMARK(ListExtSort)->Name("ListExt/Sort 1M")->Unit(benchmark::kMillisecond);
BENCHMARK(VectorSort)->Name("ListExt/Sort 1M/ref:std::sort")->Unit(benchmark::kMillisecond);
BENCHMARK(ListExtFindSorted)->Name("ListExt/FindSorted 1M")->Unit(benchmark::kMicrosecond);
BENCHMARK(VectorLowerBound)->Name("ListExt/FindSorted 1M/ref:std::lower_bound")->Unit(benchmark::kMicrosecond);

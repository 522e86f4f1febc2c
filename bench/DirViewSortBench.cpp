// Re-sorting a folder of 100,000 items by name, size, type and date, beside
// std::sort of the same precomputed keys in the same run: the difference is
// the cost of the list's comparisons (direction, "..", folders, tie-breaks).

#include "panels/DirViewSort.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace qrv;

namespace {

constexpr int kItems = 100000;

std::vector<std::unique_ptr<TFileRec>> MakeFolder()
{
    const wchar_t* exts[] = {L"TXT", L"JPG", L"DOC", L"EXE", L"PDF", L"ZIP", L"MP3", L""};
    const wchar_t* types[] = {L"Textdokument", L"JPEG-Bild",  L"Word-Dokument", L"Anwendung",
                              L"PDF-Dokument", L"ZIP-Archiv", L"MP3-Audio",     L"Datei"};
    std::mt19937 random(42);
    std::vector<std::unique_ptr<TFileRec>> items;
    auto parent = std::make_unique<TFileRec>();
    parent->FileName = parent->DisplayName = L"..";
    parent->IsParentDir = parent->IsDirectory = true;
    items.push_back(std::move(parent));
    for (int i = 1; i < kItems; ++i) {
        auto rec = std::make_unique<TFileRec>();
        const int kind = static_cast<int>(random() % 8);
        rec->IsDirectory = i % 20 == 0;
        rec->FileName = (i % 3 ? L"Datei_" : L"datei_") + std::to_wstring(random() % 50000);
        if (!rec->IsDirectory && exts[kind][0])
            rec->FileName += std::wstring(L".") + exts[kind];
        rec->DisplayName = rec->FileName;
        rec->Ext = rec->IsDirectory ? L"" : exts[kind];
        rec->TypeName = rec->IsDirectory ? L"Dateiordner" : types[kind];
        rec->Size = rec->IsDirectory ? kUnknownDirSize : random() % 10000000;
        rec->LastWrite = 132000000000000000ull + (random() % 1000) * 10000000ull;
        items.push_back(std::move(rec));
    }
    std::shuffle(items.begin(), items.end(), random);
    return items;
}

void BM_DirViewSort(benchmark::State& state, TDirSortKind kind)
{
    const TDirSortOptions options{kind, true, false, false};
    const TFoldCollator collator;
    auto items = MakeFolder();
    bool ascending = true;
    for (auto _ : state) {
        // Each round reverses the direction, as a second click on the column does.
        TDirSortOptions round = options;
        round.Ascending = ascending = !ascending;
        SortFileRecs(items, round, collator);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

// The reference: the same keys made the same way, then std::sort on the key alone.
void BM_StdSortOfKeys(benchmark::State& state, TDirSortKind kind)
{
    const TFoldCollator collator;
    const auto items = MakeFolder();
    std::vector<const TFileRec*> recs;
    for (const auto& rec : items)
        recs.push_back(rec.get());
    bool ascending = true;
    for (auto _ : state) {
        TDirSortKeys keys(recs, kind, collator);
        std::vector<TDirSortEntry>& entries = keys.Entries();
        ascending = !ascending;
        const auto less = [kind](const TDirSortEntry& a, const TDirSortEntry& b) {
            switch (kind) {
            case TDirSortKind::dskSize:
                return a.Rec->Size < b.Rec->Size;
            case TDirSortKind::dskDate:
                return a.Rec->LastWrite < b.Rec->LastWrite;
            case TDirSortKind::dskType:
                return a.TypeKey < b.TypeKey;
            default:
                return a.NameKey < b.NameKey;
            }
        };
        if (ascending)
            std::sort(entries.begin(), entries.end(), less);
        else
            std::sort(entries.begin(), entries.end(), [&less](const auto& a, const auto& b) { return less(b, a); });
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void Register()
{
    const std::pair<TDirSortKind, const char*> kinds[] = {{TDirSortKind::dskName, "name"},
                                                          {TDirSortKind::dskSize, "size"},
                                                          {TDirSortKind::dskType, "type"},
                                                          {TDirSortKind::dskDate, "date"}};
    for (const auto& [kind, name] : kinds) {
        const std::string ours = std::string("DirViewSort/100k by ") + name;
        benchmark::RegisterBenchmark(ours.c_str(), BM_DirViewSort, kind)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((ours + "/ref:std::sort of the keys").c_str(), BM_StdSortOfKeys, kind)
            ->Unit(benchmark::kMillisecond);
    }
}

const bool registered = (Register(), true);

}  // namespace

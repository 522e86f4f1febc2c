// Opening a zip archive of 100,000 entries (made by "zip -r") in the archive
// list until OnDirUpdate, sorted by name, and closing it; beside a bare read
// of the same archive's central directory (ReadFile plus a walk over the
// entry headers), in rounds taking turns; the first opening in the process
// is shown apart. The sorts by type and by path are timed too. Two
// archives: the 100,000 plain names of qrvbench-100k, and realistic mixed
// names (27 % with umlauts, CJK characters or long names) made by "zip -r"
// on Linux.
//   qrv_bench_arclist_win.exe [archive...]
// (default T:\qrvbench-100k.zip and T:\qrvbench-mixed.zip, made by scripts/bench-fixtures)

#include "BenchWindow.h"
#include "archives/win/KyZipLV.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "framework/PartThreads.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "panels/win/LocaleCollator.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using qrv::bench::TBenchApplication;
using qrv::bench::TBenchWindow;

namespace {

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

size_t PeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// The reference: the end record found in the last 64 KB, the central
// directory read in one call and its headers walked; the number of entries.
int BareCentralDirectoryRead(const std::wstring& name)
{
    TFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return -1;
    const size_t tailSize = static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, 65536 + 22));
    std::vector<uint8_t> tail(tailSize);
    LARGE_INTEGER at{};
    at.QuadPart = size.QuadPart - static_cast<LONGLONG>(tailSize);
    DWORD read = 0;
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.Get(), tail.data(), static_cast<DWORD>(tailSize), &read, nullptr) || read != tailSize)
        return -1;
    size_t end = tailSize - 22 + 1;
    while (end-- > 0)
        if (Le32(&tail[end]) == 0x06054B50)
            break;
    if (end == size_t(-1))
        return -1;
    const uint32_t dirSize = Le32(&tail[end + 12]);
    at.QuadPart = Le32(&tail[end + 16]);
    std::vector<uint8_t> dir(dirSize);
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.Get(), dir.data(), dirSize, &read, nullptr) || read != dirSize)
        return -1;
    int entries = 0;
    for (size_t p = 0; p + 46 <= dir.size() && Le32(&dir[p]) == 0x02014B50; ++entries)
        p += 46 + size_t(Le16(&dir[p + 28])) + Le16(&dir[p + 30]) + Le16(&dir[p + 32]);
    return entries;
}

}  // namespace

namespace {

// Times one archive in the list; false when it was not listed.
bool BenchArchive(TKyZipLV* list, const std::wstring& archive)
{
    if (GetFileAttributesW(archive.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("%ls is missing: scripts/bench-fixtures makes it\n", archive.c_str());
        return false;
    }
    BareCentralDirectoryRead(archive);  // warm the caches for both
    // Rounds of the reference and the opening in turn, so that a busy moment
    // of the machine weighs on both alike. The first opening of the first
    // archive is the first in the process: its threads are still asleep,
    // nothing of the archive is in memory yet.
    constexpr int kRounds = 7;
    std::vector<double> bares, opens, calls;
    size_t memoryGrowth = 0;
    int entries = 0, rows = 0;
    bool updated = true;
    for (int round = 0; round < kRounds; ++round) {
        const auto bareStart = std::chrono::steady_clock::now();
        entries = BareCentralDirectoryRead(archive);
        bares.push_back(Milliseconds(std::chrono::steady_clock::now() - bareStart));

        const size_t memoryBefore = PeakMemory();
        bool roundUpdated = false;
        std::chrono::steady_clock::time_point updatedAt;
        list->OnDirUpdate = [&](TComponent*) {
            roundUpdated = true;
            updatedAt = std::chrono::steady_clock::now();
        };
        const auto openStart = std::chrono::steady_clock::now();
        list->OpenArchive(archive);
        calls.push_back(Milliseconds(std::chrono::steady_clock::now() - openStart));
        opens.push_back(Milliseconds(updatedAt - openStart));
        updated = updated && roundUpdated;
        rows = list->Items().Count();
        if (round == 0) {
            const size_t memoryAfter = PeakMemory();
            memoryGrowth = memoryAfter > memoryBefore ? memoryAfter - memoryBefore : 0;
        }
        list->OnDirUpdate = nullptr;
        list->OpenArchive(L"");
    }

    // The zip component's own listing, and the sorts of an open list.
    double listing = 0;
    {
        TKyZipper zipper(nullptr);
        zipper.Unattended = true;
        const auto listStart = std::chrono::steady_clock::now();
        zipper.SetZipFileName(archive);
        listing = Milliseconds(std::chrono::steady_clock::now() - listStart);
    }
    list->OpenArchive(archive);
    const auto typeStart = std::chrono::steady_clock::now();
    list->SetSortColumn(zcType);
    const double byType = Milliseconds(std::chrono::steady_clock::now() - typeStart);
    const auto pathStart = std::chrono::steady_clock::now();
    list->SetSortColumn(zcPath);
    const double byPath = Milliseconds(std::chrono::steady_clock::now() - pathStart);
    const auto nameStart = std::chrono::steady_clock::now();
    list->SetSortColumn(zcName);
    const double byName = Milliseconds(std::chrono::steady_clock::now() - nameStart);
    // The names whose sort key still asks the locale, one call each.
    const TLocaleCollator collator;
    size_t byLocale = 0;
    const size_t rowsBeforeClose = list->Items().Items().size();
    for (const TZipItem& item : list->Items().Items())
        byLocale += collator.KeyedByTable(item.Name()) ? 0 : 1;
    // Every name's key on this thread: what the keys alone cost a sort.
    const auto keysStart = std::chrono::steady_clock::now();
    std::string keys;
    for (const TZipItem& item : list->Items().Items())
        collator.AppendSortKey(item.Name(), keys);
    const double keysTime = Milliseconds(std::chrono::steady_clock::now() - keysStart);
    const auto closeStart = std::chrono::steady_clock::now();
    list->OpenArchive(L"");
    const double close = Milliseconds(std::chrono::steady_clock::now() - closeStart);

    // What the open's memory alone costs here: writing as many bytes of
    // fresh memory once (each new page is a fault under Wine).
    const auto touchStart = std::chrono::steady_clock::now();
    {
        std::unique_ptr<char[]> fresh(new char[memoryGrowth + 1]);
        std::memset(fresh.get(), 1, memoryGrowth + 1);
        volatile char sink = fresh[memoryGrowth / 2];
        (void)sink;
    }
    const double touch = Milliseconds(std::chrono::steady_clock::now() - touchStart);

    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const std::vector<double> laterOpens(opens.begin() + 1, opens.end());
    const std::vector<double> laterBares(bares.begin() + 1, bares.end());
    std::printf("archive: %ls, %d central headers, %d rows, OnDirUpdate: %s\n", archive.c_str(), entries, rows,
                updated ? "yes" : "NO");
    std::printf("%-36s %8.1f ms   reference (bare central directory read) %6.1f ms   ratio %.2f\n",
                "first open to OnDirUpdate, by name", opens[0], bares[0], opens[0] / bares[0]);
    std::printf("%-36s %8.1f ms   reference (bare central directory read) %6.1f ms   ratio %.2f   (median of %d)\n",
                "open to OnDirUpdate, by name", median(laterOpens), median(laterBares),
                median(laterOpens) / median(laterBares), kRounds - 1);
    std::printf("%-36s %8.1f ms   (the zip libraries loaded after OnDirUpdate)\n", "whole open call",
                median(std::vector<double>(calls.begin() + 1, calls.end())));
    std::printf("%-36s %8.1f ms\n", "the zip component's listing alone", listing);
    std::printf("%-36s %8.1f ms\n", "sort by type", byType);
    std::printf("%-36s %8.1f ms\n", "sort by path", byPath);
    std::printf("%-36s %8.1f ms\n", "sort by name again", byName);
    std::printf("%-36s %8.1f ms\n", "close", close);
    std::printf("%-36s %8zu of %zu\n", "names keyed by the locale's call", byLocale, rowsBeforeClose);
    std::printf("%-36s %8.1f ms\n", "every name's key, one thread", keysTime);
    std::printf("%-36s %8.1f MB   first write of as much fresh memory %6.1f ms\n", "peak memory growth (first open)",
                memoryGrowth / (1024.0 * 1024.0), touch);
    std::vector<double> ratios;
    for (size_t i = 1; i < opens.size(); ++i)
        ratios.push_back(opens[i] / bares[i]);
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-36s %.2f / %.2f / %.2f   (min/median/max of the rounds; goal <= 3)\n", "  ratio per round",
                ratios.front(), median(ratios), ratios.back());
    return updated;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> archives(argv + 1, argv + argc);
    if (archives.empty())
        archives = {L"T:\\qrvbench-100k.zip", L"T:\\qrvbench-mixed.zip"};
    TBenchApplication application;

    TBenchWindow<TKyZipLV> window;
    auto* list = window.Control;
    list->SetDLLDirectory(ExtractFilePath(argv[0]));

    // Made once per process, and by the program before any archive opens:
    // the locale's sort table (by the file lists' first sort) and the
    // threads for work in parts (once the window is up).
    if (!TLocaleCollator().CompactBytes())
        std::printf("(this locale has no compact sort keys)\n");
    StartPartThreads();

    bool all = true;
    for (const std::wstring& archive : archives)
        all = BenchArchive(list, archive) && all;
    return all ? 0 : 1;
}

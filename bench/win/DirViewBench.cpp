// Listing a folder of 100,000 files in a file list, beside a bare
// FindFirstFileW/FindNextFileW loop over the same folder; then leaving it
// for its parent folder. Best of three.
//   qrv_bench_win.exe [folder]     (default T:\qrvbench-100k, made by scripts/bench-fixtures)

#include "BenchFolders.h"
#include "BenchWindow.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kFiles = 100000;

size_t PeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakPagefileUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring folder = argc > 1 ? argv[1] : L"T:\\qrvbench-100k";
    const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\') + 1);
    TBenchApplication application;
    if (!HasFileFolder(folder, kFiles))
        return 1;

    TBenchWindow<TDirView> window;
    auto* list = window.Control;
    list->SetPath(parent);

    BareLoop(folder);  // warm the file system's caches for both
    // Best of three each; the bare loop, the load and the leaving take
    // turns, so that a busy moment of the machine weighs on all alike.
    int entries = 0;
    double bare = 1e30;
    double load = 1e30;
    double leave = 1e30;
    bool loaded = true;
    size_t memoryBefore = 0;
    size_t memoryAfter = 0;
    for (int round = 0; round < 3; ++round) {
        const auto bareStart = std::chrono::steady_clock::now();
        entries = BareLoop(folder);
        bare = std::min(bare, Milliseconds(std::chrono::steady_clock::now() - bareStart));

        if (round == 0)
            memoryBefore = PeakMemory();
        bool loadedNow = false;
        list->OnLoaded = [&](TComponent*) { loadedNow = true; };
        const auto loadStart = std::chrono::steady_clock::now();
        list->SetPath(folder);
        load = std::min(load, Milliseconds(std::chrono::steady_clock::now() - loadStart));
        loaded = loaded && loadedNow;
        if (round == 0)
            memoryAfter = PeakMemory();

        const auto leaveStart = std::chrono::steady_clock::now();
        list->SetPath(parent);
        leave = std::min(leave, Milliseconds(std::chrono::steady_clock::now() - leaveStart));
    }

    std::printf("folder: %ls, %d entries, list loaded: %s (best of three)\n", folder.c_str(), entries,
                loaded ? "yes" : "NO");
    std::printf("%-32s %10.1f ms   reference (bare FindFirstFileW loop) %10.1f ms   ratio %.2f\n",
                "DirView load to OnLoaded", load, bare, bare > 0 ? load / bare : 0.0);
    std::printf("%-32s %10.1f ms   (goal <= 10 ms)\n", "DirView leaving the folder", leave);
    std::printf("%-32s %10.1f MB\n", "peak memory growth",
                (memoryAfter > memoryBefore ? memoryAfter - memoryBefore : 0) / (1024.0 * 1024.0));
    return loaded ? 0 : 1;
}

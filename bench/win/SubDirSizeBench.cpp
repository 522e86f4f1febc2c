// A file list's folder sizes: 10 folders holding 50 folders of 100 files
// each (50,000 files of 0 to 3,000 bytes, made by scripts/bench-fixtures),
// from the load to the last size shown, beside a bare recursive
// FindFirstFileW walk summing the same tree in the same run, and beside
// "du -sb --apparent-size", which scripts/bench times on the Linux side
// just before (QRV_BENCH_DU: "<seconds> <bytes of folder 0> ... <bytes of
// folder 9>"). The sizes are checked first: each is du's less 4,096 bytes
// for every folder du counted (the folder and its 50).
//   qrv_bench_subdirsize_win.exe [folder]   (default T:\qrvbench-dirsize)

#include "BenchFolders.h"
#include "BenchWindow.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubFolders = 50;
constexpr int kRounds = 11;
constexpr uint64_t kFolderEntryBytes = 4096;
using Clock = std::chrono::steady_clock;

uint64_t BareWalk(const std::wstring& Folder)
{
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((Folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    uint64_t total = 0;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            total += BareWalk(Folder + L"\\" + data.cFileName);
        else
            total += uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return total;
}

bool AllSized(const TDirView& View)
{
    for (int i = 0; i < View.ItemCount(); ++i) {
        const TFileRec* item = View.GetItemData(i);
        if (item->IsDirectory && !item->IsParentDir && !item->SubDirSizeDone)
            return false;
    }
    return true;
}

// The processor time the process has used so far, all threads, in ms.
double ProcessCpuMilliseconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>(uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring tree = argc > 1 ? argv[1] : L"T:\\qrvbench-dirsize";
    TBenchApplication application;

    // du's figures from the Linux side.
    double duSeconds = 0;
    std::vector<uint64_t> duBytes;
    if (const char* du = std::getenv("QRV_BENCH_DU")) {
        std::istringstream in(du);
        in >> duSeconds;
        for (uint64_t bytes = 0; in >> bytes;)
            duBytes.push_back(bytes);
    }
    if (duBytes.size() != kTopFolders) {
        std::printf("subdirsize: QRV_BENCH_DU holds no sizes of the %d folders (scripts/bench sets it)\n", kTopFolders);
        return 1;
    }

    TBenchWindow<TDirView> window(600, 400);
    auto* view = window.Control;
    view->SetShowSubDirSize(true);
    view->SetAutoStartThreads(true);

    BareWalk(tree);  // warms the caches for both
    std::vector<double> bare;
    std::vector<double> list;
    std::vector<double> ratios;
    std::vector<double> bareCpu;
    std::vector<double> listCpu;
    bool checked = false;
    for (int round = 0; round < kRounds; ++round) {
        const double walkCpuStart = ProcessCpuMilliseconds();
        const auto walkStart = Clock::now();
        const uint64_t walked = BareWalk(tree);
        bare.push_back(Milliseconds(Clock::now() - walkStart));
        bareCpu.push_back(ProcessCpuMilliseconds() - walkCpuStart);

        // From a folder without subfolders, so that no other scan runs.
        view->SetPath(tree + L"\\d0\\s0");
        const double listCpuStart = ProcessCpuMilliseconds();
        const auto start = Clock::now();
        view->SetPath(tree);
        // Asked again after every turn of the messages: the last size
        // arrives inside one, and the wait would only add its timeout.
        for (;;) {
            application.ProcessMessages();
            if (AllSized(*view))
                break;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        list.push_back(Milliseconds(Clock::now() - start));
        listCpu.push_back(ProcessCpuMilliseconds() - listCpuStart);
        ratios.push_back(list.back() / bare.back());
        // The list's icons come after the sizes: fetched before the next
        // walk, so that they do not slow it.
        while (view->IconsPending() > 0) {
            application.ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        if (checked)
            continue;
        // The sizes against du's, and the total against the walk.
        uint64_t total = 0;
        for (int i = 0; i < kTopFolders; ++i) {
            wchar_t name[8];
            swprintf(name, 8, L"d%d", i);
            const TFileRec* item = view->FindFileItem(name);
            const uint64_t expected = duBytes[static_cast<size_t>(i)] - kFolderEntryBytes * (kSubFolders + 1);
            if (!item || item->Size != expected) {
                std::printf("subdirsize: folder %ls holds %llu bytes, du less its folders says %llu\n", name,
                            item ? static_cast<unsigned long long>(item->Size) : 0ull,
                            static_cast<unsigned long long>(expected));
                return 1;
            }
            total += item->Size;
        }
        if (total != walked) {
            std::printf("subdirsize: the list sums %llu bytes, the walk %llu\n", static_cast<unsigned long long>(total),
                        static_cast<unsigned long long>(walked));
            return 1;
        }
        checked = true;
        std::printf("tree: %ls, %d x %d folders of files, %llu bytes; each folder's size is du's less its folders\n",
                    tree.c_str(), kTopFolders, kSubFolders, static_cast<unsigned long long>(total));
    }
    std::printf("%d rounds, the walk and the list taking turns; median (least/median/most)\n", kRounds);
    std::printf("%-40s %s ms   reference (bare recursive FindFirstFileW walk) %s ms\n",
                "list: load to the last folder size", Spread(list).c_str(), Spread(bare).c_str());
    std::printf("%-40s %s   (goal <= 1.2)\n", "  list / walk, round by round", Spread(ratios, 2).c_str());
    std::printf("%-40s %s ms   reference %s ms\n", "  processor time, all threads", Spread(listCpu).c_str(),
                Spread(bareCpu).c_str());
    std::printf("%-44s %8.1f ms (Linux side, once)\n", "du -sb --apparent-size of the same tree", duSeconds * 1000);
    return 0;
}

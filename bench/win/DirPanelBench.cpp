// The directory panel's count of a tree of 50,000 files in 500 folders, from
// ShowDirectory to the totals on the panel, beside a bare recursive
// FindFirstFileW/FindNextFileW walk of the same tree in the same run; and
// how long an old count runs on after ShowDirectory has moved away.
//   qrv_bench_dirpanel_win.exe [folder]   (default T:\qrvbench-dirpanel, made when missing)

#include "BenchFolders.h"
#include "BenchWindow.h"
#include "framework/win/Forms.h"
#include "viewers/win/KyDirPanel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kFolders = 500;
constexpr int kFilesEach = 100;
constexpr int kRounds = 9;
using Clock = std::chrono::steady_clock;

std::wstring SubFolder(const std::wstring& tree, int i)
{
    wchar_t name[16];
    swprintf(name, 16, L"\\d%03d", i);
    return tree + name;
}

// Files and folders below Folder, recursively, "." and ".." left out.
void BareWalk(const std::wstring& folder, uint64_t& files, uint64_t& folders)
{
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++folders;
            BareWalk(folder + L"\\" + data.cFileName, files, folders);
        } else {
            ++files;
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

// Handles messages until Done holds. The result arrives by a sent message,
// which ends the wait at once; the timeout only bounds conditions that come
// without one. A short timeout would take the Wine server's time from the
// scanner being measured.
void PumpUntil(const std::function<bool()>& done)
{
    while (!done()) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The fastest round: the one least disturbed by the rest of the machine.
double Fastest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring tree = argc > 1 ? argv[1] : L"T:\\qrvbench-dirpanel";
    TBenchApplication application;
    for (int i = 0; i < kFolders; ++i)
        if (!HasFileFolder(SubFolder(tree, i), kFilesEach))
            return 1;

    TBenchWindow<TKyDirPanel> window(600, 300);
    auto* panel = window.Control;

    uint64_t files = 0;
    uint64_t folders = 0;
    BareWalk(tree, files, folders);  // warms the caches for both
    std::vector<double> bare;
    std::vector<double> scanner;
    std::vector<double> core;
    std::wstring counted;
    for (int round = 0; round < kRounds; ++round) {
        files = folders = 0;
        const auto walkStart = Clock::now();
        BareWalk(tree, files, folders);
        bare.push_back(Milliseconds(Clock::now() - walkStart));

        // The count itself on this thread: what the thread and its yields add.
        TWinDirScanSource source;
        const auto coreStart = Clock::now();
        if (!ScanDirTree(tree, source, [] { return false; }))
            std::printf("the count failed\n");
        core.push_back(Milliseconds(Clock::now() - coreStart));

        panel->ShowDirectory(L"");
        const auto scanStart = Clock::now();
        panel->ShowDirectory(tree);
        PumpUntil([&] { return panel->ValueLabel(3).Caption() != L"?"; });
        scanner.push_back(Milliseconds(Clock::now() - scanStart));
        counted = panel->ValueLabel(3).Caption() + L" Dateien, " + panel->ValueLabel(4).Caption() + L" Ordner";
        PumpUntil([&] { return !panel->Scanning(); });
    }

    // Moving away in the middle of a count: the old scanner's run-on.
    std::vector<double> runOn;
    for (int round = 0; round < kRounds; ++round) {
        panel->ShowDirectory(L"");
        const int before = TDirScanner::RunningCount();
        panel->ShowDirectory(tree);
        Sleep(static_cast<DWORD>(Median(scanner) / 3));
        const bool stillRunning = TDirScanner::RunningCount() > before;
        const auto leave = Clock::now();
        panel->ShowDirectory(L"");
        PumpUntil([&] { return TDirScanner::RunningCount() == before; });
        if (stillRunning)
            runOn.push_back(Milliseconds(Clock::now() - leave));
    }

    std::printf("tree: %ls, %llu files in %llu folders; panel shows %ls\n", tree.c_str(),
                static_cast<unsigned long long>(files), static_cast<unsigned long long>(folders), counted.c_str());
    std::printf("%d rounds, each line: fastest / median; reference: a bare recursive FindFirstFileW walk\n", kRounds);
    const auto line = [&](const char* what, const std::vector<double>& times) {
        std::printf("%-40s %8.1f / %8.1f ms   reference %8.1f / %8.1f ms   ratio %.2f / %.2f\n", what, Fastest(times),
                    Median(times), Fastest(bare), Median(bare), Fastest(times) / Fastest(bare),
                    Median(times) / Median(bare));
    };
    line("DirPanel count to its result (<= 1.10)", scanner);
    line("the count alone, on the calling thread", core);
    if (runOn.empty())
        std::printf("%-40s every count ended before the panel moved away\n", "old scanner's run-on");
    else
        std::printf("%-40s %10.2f ms (median of %zu)\n", "old scanner's run-on after moving away", Median(runOn),
                    runOn.size());
    return 0;
}

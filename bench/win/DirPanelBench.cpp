// The directory panel's count of a tree of 50,000 files in 500 folders, from
// ShowDirectory to the totals on the panel, beside a bare recursive
// FindFirstFileW/FindNextFileW walk of the same tree in the same run; and
// how long an old count runs on after ShowDirectory has moved away.
//   qrv_bench_dirpanel_win.exe [folder]   (default T:\qrvbench-dirpanel, made when missing)

#include "BenchFolders.h"
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
constexpr int kRounds = 5;
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

void PumpUntil(const std::function<bool()>& done)
{
    while (!done()) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring tree = argc > 1 ? argv[1] : L"T:\\qrvbench-dirpanel";
    OleInitialize(nullptr);
    TApplication application;
    application.Initialize();
    CreateDirectoryW(tree.c_str(), nullptr);
    for (int i = 0; i < kFolders; ++i)
        MakeFileFolder(SubFolder(tree, i), kFilesEach);

    TForm form(nullptr);
    form.SetBounds(0, 0, 600, 300);
    auto* panel = new TKyDirPanel(&form);
    panel->SetAlign(TAlign::alClient);
    panel->SetParent(&form);
    form.HandleNeeded();

    uint64_t files = 0;
    uint64_t folders = 0;
    BareWalk(tree, files, folders);  // warms the caches for both
    std::vector<double> bare;
    std::vector<double> scanner;
    std::wstring counted;
    for (int round = 0; round < kRounds; ++round) {
        files = folders = 0;
        const auto walkStart = Clock::now();
        BareWalk(tree, files, folders);
        bare.push_back(Milliseconds(Clock::now() - walkStart));

        panel->ShowDirectory(L"");
        const auto scanStart = Clock::now();
        panel->ShowDirectory(tree);
        PumpUntil([&] { return !panel->Scanning(); });
        scanner.push_back(Milliseconds(Clock::now() - scanStart));
        counted = panel->ValueLabel(3).Caption() + L" Dateien, " + panel->ValueLabel(4).Caption() + L" Ordner";
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

    const double scan = Median(scanner);
    const double walk = Median(bare);
    std::printf("tree: %ls, %llu files in %llu folders; panel shows %ls\n", tree.c_str(),
                static_cast<unsigned long long>(files), static_cast<unsigned long long>(folders), counted.c_str());
    std::printf("%-40s %10.1f ms   reference (bare recursive FindFirstFileW walk) %10.1f ms   ratio %.2f (goal <= 1.10)\n",
                "DirPanel count to its result (median)", scan, walk, walk > 0 ? scan / walk : 0.0);
    if (runOn.empty())
        std::printf("%-40s every count ended before the panel moved away\n", "old scanner's run-on");
    else
        std::printf("%-40s %10.2f ms (median of %zu)\n", "old scanner's run-on after moving away", Median(runOn),
                    runOn.size());
    return 0;
}

// The start-up as a user sees it: the real program is launched on a folder of
// 100,000 files and timed until one of its file lists holds every item,
// beside a launch on a folder of one file and beside a bare
// FindFirstFileW/FindNextFileW loop over the big folder. The same for a
// drive whose root holds the 100,000 files (a drive of its own, M:), and a
// launch in a one-file folder whose parent holds 100,000 files. Eight
// rounds, the bare loops and the launches taking turns; min/median/max.
// Meanwhile a message is sent to the program's windows again and again:
// the longest wait for an answer before the large folder's list is complete
// is the window's responsiveness during the load. The launch is followed
// further until that list has been painted (what the user sees), with the
// longest answer up to then.
//   qrv_bench_startup_win.exe [Quorvan32.exe] [big folder] [one-file folder] [empty ini] [drive root]
//                             [one-file folder in a large parent]
// (defaults: the exe beside this one, T:\qrvbench-100k, T:\qrvbench-1file,
// T:\qrvbench-empty.ini, M:\, T:\qrvbench-parent100k\onefile, made by
// scripts/bench-fixtures and scripts/bench)

#include "BenchFolders.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace qrv::bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 100000;
constexpr auto kGiveUp = std::chrono::seconds(60);

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

struct WindowsOfProcess {
    DWORD processId;
    std::vector<HWND> topLevel;
};

// The visible-or-not top-level windows the process owns.
std::vector<HWND> TopLevelWindows(DWORD processId)
{
    WindowsOfProcess search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<WindowsOfProcess*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId)
                s->topLevel.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.topLevel;
}

// The list view controls below the window, at any depth.
std::vector<HWND> ListViews(HWND parent)
{
    std::vector<HWND> lists;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            wchar_t name[64];
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, WC_LISTVIEWW) == 0)
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&lists));
    return lists;
}

struct Answer {
    double waited = 0;  // ms: the slowest answer to a message sent to the window
    double asked = 0;   // ms after the launch when that message was sent

    void Take(const Answer& other)
    {
        if (other.waited > waited)
            *this = other;
    }
};

struct Launch {
    bool complete = false;
    bool painted = false;
    double toFullList = 0;  // ms from CreateProcess to a list holding every item
    double toPainted = 0;   // ms from CreateProcess until that list has been painted
    Answer untilFull;       // the slowest answer until the list was complete
    Answer untilPainted;    // ... until it was painted
    double peakMiB = 0;     // the program's peak memory (page file use) when it was ended
};

// A visible list with nothing left to paint.
bool Painted(HWND list)
{
    return IsWindowVisible(list) && !GetUpdateRect(list, nullptr, FALSE);
}

// Starts the program on the folder and waits until a list of its main
// window holds at least `items` items and has been painted; the process is
// ended then (so that it leaves the settings file as it was).
Launch LaunchUntilListed(const std::wstring& exe, const std::wstring& ini, const std::wstring& folder, int items)
{
    Launch result;
    std::wstring commandLine = L"\"" + exe + L"\" /I=" + ini + L" " + folder;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    const Clock::time_point start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start %ls: error %lu\n", exe.c_str(), GetLastError());
        return result;
    }
    while (!result.painted && Clock::now() - start < kGiveUp &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        const std::vector<HWND> windows = TopLevelWindows(process.dwProcessId);
        for (HWND window : windows) {
            // A sent message is answered only when the window's thread looks
            // at its messages: the time it takes is how long a user waits.
            const Clock::time_point asked = Clock::now();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
            const Answer seen{Milliseconds(Clock::now() - asked), Milliseconds(asked - start)};
            if (!result.complete)
                result.untilFull.Take(seen);
            result.untilPainted.Take(seen);
        }
        for (HWND window : windows)
            for (HWND list : ListViews(window)) {
                // Exactly the folder's items (and the parent folder's entry
                // where it is shown): another list holding as many is not it.
                const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
                if (count != items && count != items + 1)
                    continue;
                if (!result.complete) {
                    result.toFullList = Milliseconds(Clock::now() - start);
                    result.complete = true;
                }
                if (Painted(list)) {
                    result.toPainted = Milliseconds(Clock::now() - start);
                    result.painted = true;
                }
            }
        Sleep(1);
    }
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters))
        result.peakMiB = static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

// Every launch of one kind: its figures, and whether any failed.
struct Launches {
    std::wstring folder;
    std::vector<double> toFullList, untilFull, toPainted, untilPainted, peakMiB;
    bool failed = false;

    void Take(const Launch& launch)
    {
        if (!launch.complete || !launch.painted) {
            failed = true;
            return;
        }
        std::printf("  %ls: full list %.1f ms, painted %.1f ms, longest answer %.1f ms until full (asked at %.1f ms), "
                    "%.1f ms until painted\n",
                    folder.c_str(), launch.toFullList, launch.toPainted, launch.untilFull.waited,
                    launch.untilFull.asked, launch.untilPainted.waited);
        toFullList.push_back(launch.toFullList);
        untilFull.push_back(launch.untilFull.waited);
        toPainted.push_back(launch.toPainted);
        untilPainted.push_back(launch.untilPainted.waited);
        peakMiB.push_back(launch.peakMiB);
    }
};

// "median (min/median/max)".
// Per round: (full list - one-file launch) / bare loop.
std::vector<double> Ratios(const Launches& full, const Launches& oneFile, const std::vector<double>& bare)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < full.toFullList.size() && i < oneFile.toFullList.size() && i < bare.size(); ++i)
        ratios.push_back((full.toFullList[i] - oneFile.toFullList[i]) / bare[i]);
    return ratios;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring exe = argc > 1 ? argv[1] : ExeFolder() + L"Quorvan32.exe";
    const std::wstring big = argc > 2 ? argv[2] : L"T:\\qrvbench-100k";
    const std::wstring small = argc > 3 ? argv[3] : L"T:\\qrvbench-1file";
    const std::wstring ini = argc > 4 ? argv[4] : L"T:\\qrvbench-empty.ini";
    const std::wstring root = argc > 5 ? argv[5] : L"M:\\";
    const std::wstring inLargeParent = argc > 6 ? argv[6] : L"T:\\qrvbench-parent100k\\onefile";
    // The root's path without its backslash, for the fixture check and the loop.
    const std::wstring rootFolder = root.substr(0, 2);
    if (!HasFileFolder(big, kFiles) || !HasFileFolder(small, 1) || !HasFileFolder(rootFolder, kFiles) ||
        !HasFileFolder(inLargeParent, 1))
        return 1;

    // Every file of the folder is an item ("." and ".." are not; a drive's
    // root has neither).
    const int files = BareLoop(big) - 2;  // also warms the caches for what follows
    const int rootFiles = BareLoop(rootFolder);

    constexpr int kRounds = 8;
    std::vector<double> bare, bareRoot;
    Launches smallLaunches{small}, bigLaunches{big}, rootLaunches{root}, parentLaunches{inLargeParent};
    for (int round = 0; round < kRounds; ++round) {
        std::printf("round %d\n", round + 1);
        Clock::time_point start = Clock::now();
        BareLoop(big);
        bare.push_back(Milliseconds(Clock::now() - start));
        start = Clock::now();
        BareLoop(rootFolder);
        bareRoot.push_back(Milliseconds(Clock::now() - start));
        smallLaunches.Take(LaunchUntilListed(exe, ini, small, 1));
        bigLaunches.Take(LaunchUntilListed(exe, ini, big, files));
        rootLaunches.Take(LaunchUntilListed(exe, ini, root, rootFiles));
        parentLaunches.Take(LaunchUntilListed(exe, ini, inLargeParent, 1));
        if (smallLaunches.failed || bigLaunches.failed || rootLaunches.failed || parentLaunches.failed) {
            std::printf("a launch did not list and paint its folder within %lld s\n",
                        static_cast<long long>(kGiveUp.count()));
            return 1;
        }
    }
    std::printf("start-up, %d rounds, median (min/median/max):\n", kRounds);
    std::printf("%-52s %s ms\n", "launch on a one-file folder: full list", Spread(smallLaunches.toFullList).c_str());
    std::printf("%-52s %s ms   reference (bare FindFirstFileW loop) %s ms\n",
                "launch on a 100,000-file subfolder: full list", Spread(bigLaunches.toFullList).c_str(),
                Spread(bare).c_str());
    std::printf("%-52s %s   (goal <= 1.30)\n", "  (full list - one-file launch) / bare loop",
                Spread(Ratios(bigLaunches, smallLaunches, bare), 2).c_str());
    std::printf("%-52s %s ms   (goal <= 100 ms)\n", "  longest answer until the full list",
                Spread(bigLaunches.untilFull).c_str());
    std::printf("%-52s %s ms; longest answer until then %s ms\n", "  full list painted",
                Spread(bigLaunches.toPainted).c_str(), Spread(bigLaunches.untilPainted).c_str());
    std::printf("%-52s %s ms   reference (bare FindFirstFileW loop) %s ms\n",
                "launch on a drive root of 100,000 files: full list", Spread(rootLaunches.toFullList).c_str(),
                Spread(bareRoot).c_str());
    std::printf("%-52s %s   (goal <= 1.30)\n", "  (full list - one-file launch) / bare loop",
                Spread(Ratios(rootLaunches, smallLaunches, bareRoot), 2).c_str());
    std::printf("%-52s %s ms   (goal <= 100 ms)\n", "  longest answer until the full list",
                Spread(rootLaunches.untilFull).c_str());
    std::printf("%-52s %s ms; longest answer until then %s ms\n", "  full list painted",
                Spread(rootLaunches.toPainted).c_str(), Spread(rootLaunches.untilPainted).c_str());
    std::printf("%-52s %s ms   reference (one-file folder, small parent) %s ms   (goal <= 100 ms)\n",
                "launch in a one-file folder, parent of 100,000 files: longest answer until painted",
                Spread(parentLaunches.untilPainted).c_str(), Spread(smallLaunches.untilPainted).c_str());
    std::printf("%-52s %s ms   reference (one-file folder, small parent) %s ms\n", "  full list painted",
                Spread(parentLaunches.toPainted).c_str(), Spread(smallLaunches.toPainted).c_str());
    std::printf("%-52s %s MiB   reference (100,000-file subfolder) %s MiB; one-file folder %s MiB\n",
                "peak memory, drive root of 100,000 files", Spread(rootLaunches.peakMiB).c_str(),
                Spread(bigLaunches.peakMiB).c_str(), Spread(smallLaunches.peakMiB).c_str());
    return 0;
}

// A file list watching a folder of 100,000 files while another thread
// copies 1,000 files into it: the time from the last copy to the list
// showing them all, less the change interval, and how long the user-
// interface thread spent re-reading meanwhile; beside a bare
// FindFirstFileW/FindNextFileW loop over the folder (the least one
// re-read costs).
//   qrv_bench_watch_win.exe [folder]   (default T:\qrvbench-100k, made by scripts/bench-fixtures)

#include "BenchFolders.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kFiles = 100000;
constexpr int kCopies = 1000;
constexpr unsigned kInterval = 1000;
using Clock = std::chrono::steady_clock;

void WriteFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    static const char bytes[512] = {};
    DWORD written = 0;
    ::WriteFile(file, bytes, sizeof bytes, &written, nullptr);
    CloseHandle(file);
}

std::wstring CopyName(const std::wstring& folder, int i)
{
    wchar_t name[32];
    swprintf(name, 32, L"\\copy%04d.tmp", i);
    return folder + name;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring folder = argc > 1 ? argv[1] : L"T:\\qrvbench-100k";
    OleInitialize(nullptr);
    TApplication application;
    application.Initialize();
    if (!HasFileFolder(folder, kFiles))
        return 1;
    for (int i = 0; i < kCopies; ++i)
        DeleteFileW(CopyName(folder, i).c_str());

    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 600);
    auto* list = new TDirView(&form);
    list->SetAlign(TAlign::alClient);
    list->SetParent(&form);
    form.HandleNeeded();
    list->SetNoCheckDrives(L"Z");
    list->SetChangeInterval(kInterval);
    list->SetPath(folder);
    list->SetWatchForChanges(true);
    const int before = list->ItemCount();

    BareLoop(folder);
    const auto bareStart = Clock::now();
    BareLoop(folder);
    const double bare = Milliseconds(Clock::now() - bareStart);

    // The user-interface thread's time in re-reads: from the change event to
    // the end of the re-read it announces.
    double busy = 0;
    int rereads = 0;
    Clock::time_point rereadStart;
    Clock::time_point allShown;
    list->OnChangeDetected = [&](TComponent*) {
        ++rereads;
        rereadStart = Clock::now();
    };
    list->OnDirUpdated = [&](TComponent*) {
        if (rereadStart != Clock::time_point())
            busy += Milliseconds(Clock::now() - rereadStart);
        rereadStart = {};
        if (list->ItemCount() >= before + kCopies && allShown == Clock::time_point())
            allShown = Clock::now();
    };

    std::atomic<bool> copied{false};
    Clock::time_point lastCopy;
    std::thread copier([&] {
        for (int i = 0; i < kCopies; ++i)
            WriteFile(CopyName(folder, i));
        lastCopy = Clock::now();
        copied = true;
    });
    const auto deadline = Clock::now() + std::chrono::minutes(5);
    while ((!copied || allShown == Clock::time_point()) && Clock::now() < deadline) {
        Application->ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    copier.join();
    const bool shown = allShown != Clock::time_point();
    const double latency = shown ? Milliseconds(allShown - lastCopy) - kInterval : 0;

    std::printf("folder: %ls, %d entries before, %d copies, all shown: %s\n", folder.c_str(), before, kCopies,
                shown ? "yes" : "NO");
    std::printf("%-40s %10.1f ms\n", "last copy to all shown, less interval", latency);
    std::printf("%-40s %10.1f ms in %d re-reads   reference (one bare FindFirstFileW loop) %10.1f ms\n",
                "user-interface thread re-reading", busy, rereads, bare);
    list->SetWatchForChanges(false);
    for (int i = 0; i < kCopies; ++i)
        DeleteFileW(CopyName(folder, i).c_str());
    return shown ? 0 : 1;
}

// The start and the exit of the real program on a settings file of 100,000
// sections (3.1 MB, as a user's file grown by other tools may be) and on
// 5 MB of random bytes beside the same on an empty settings file, in this
// run and taking turns: the start is
// timed from CreateProcess until the main window is visible and answers a
// sent message, the exit from WM_CLOSE until the process has ended (the
// settings are written then). Each launch gets a fresh copy of its file.
// The minimum, median and maximum of the rounds are printed.
//   qrv_bench_inifile_win.exe [Quorvan32.exe or ""] [rounds]
// (defaults: the exe beside this one, 7 rounds; the files are made in
// T:\qrvbench-inifile)

#include "BenchFolders.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace qrv::bench;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSections = 100000;
constexpr auto kGiveUp = std::chrono::seconds(300);

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool WriteBytes(const std::wstring& file, const std::string& bytes)
{
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(h);
    return ok;
}

// 100,000 sections of two keys each, about 31 bytes a section.
std::string ManySections()
{
    std::string text;
    text.reserve(static_cast<size_t>(kSections) * 40);
    char line[64];
    for (int i = 0; i < kSections; ++i) {
        std::snprintf(line, sizeof line, "[Section%06d]\r\nA=%d\r\nB=x\r\n", i, i);
        text += line;
    }
    return text;
}

// 5 MB of random bytes (a damaged or foreign file given as settings).
std::string RandomBytes()
{
    std::string bytes(5u << 20, '\0');
    uint32_t state = 2463534242u;
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state);
    }
    return bytes;
}

HWND VisibleMainWindow(DWORD processId)
{
    struct Search {
        DWORD id;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[32];
            if (owner == s->id && IsWindowVisible(window) && GetClassNameW(window, name, 32) &&
                lstrcmpW(name, L"TQRVMain") == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Launch {
    bool ok = false;
    double start = 0;  // ms: CreateProcess to a visible main window that answers
    double exit = 0;   // ms: WM_CLOSE to the end of the process
};

Launch StartAndClose(const std::wstring& exe, const std::wstring& ini, const std::wstring& folder)
{
    Launch result;
    std::wstring commandLine = L"\"" + exe + L"\" \"/I=" + ini + L"\" \"" + folder + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    const Clock::time_point launched = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start %ls: error %lu\n", exe.c_str(), GetLastError());
        return result;
    }
    HWND main = nullptr;
    while (!main && Clock::now() - launched < kGiveUp && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        if (HWND window = VisibleMainWindow(process.dwProcessId)) {
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer))
                main = window;
        }
    }
    if (main) {
        result.start = Milliseconds(Clock::now() - launched);
        const Clock::time_point closing = Clock::now();
        PostMessageW(main, WM_CLOSE, 0, 0);
        const DWORD waited = WaitForSingleObject(process.hProcess, 300000);
        result.exit = Milliseconds(Clock::now() - closing);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        result.ok = waited == WAIT_OBJECT_0 && code == 0;
        if (!result.ok)
            std::printf("  %ls: no clean exit (wait %lu, exit code %lu)\n", ini.c_str(), waited, code);
    } else {
        std::printf("  %ls: no main window\n", ini.c_str());
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

struct Series {
    std::vector<double> start, exit, total;

    void Take(const Launch& launch)
    {
        start.push_back(launch.start);
        exit.push_back(launch.exit);
        total.push_back(launch.start + launch.exit);
    }
};

void PrintRow(const char* what, const std::vector<double>& values)
{
    std::printf("    %-22s min %9.1f   median %9.1f   max %9.1f ms\n", what,
                *std::min_element(values.begin(), values.end()), Median(values),
                *std::max_element(values.begin(), values.end()));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring exe = argc > 1 && *argv[1] ? argv[1] : ExeFolder() + L"Quorvan32.exe";
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 7;
    const std::wstring folder = L"T:\\qrvbench-inifile";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring startFolder = folder + L"\\start";
    CreateDirectoryW(startFolder.c_str(), nullptr);
    const std::string many = ManySections();
    const std::wstring manyIni = folder + L"\\many.ini";
    const std::wstring emptyIni = folder + L"\\empty.ini";
    const std::string random = RandomBytes();
    const std::wstring randomIni = folder + L"\\random.ini";

    Series manySeries, randomSeries, emptySeries;
    for (int round = 0; round < rounds; ++round) {
        // A fresh copy each time: the program writes its settings into it.
        if (!WriteBytes(emptyIni, "") || !WriteBytes(manyIni, many) || !WriteBytes(randomIni, random)) {
            std::printf("cannot write the settings files in %ls\n", folder.c_str());
            return 1;
        }
        const Launch empty = StartAndClose(exe, emptyIni, startFolder);
        const Launch full = StartAndClose(exe, manyIni, startFolder);
        const Launch noise = StartAndClose(exe, randomIni, startFolder);
        if (!empty.ok || !full.ok || !noise.ok)
            return 1;
        emptySeries.Take(empty);
        manySeries.Take(full);
        randomSeries.Take(noise);
        std::printf("  round %d: empty start %.1f exit %.1f ms; 100,000 sections start %.1f exit %.1f ms; random "
                    "bytes start %.1f exit %.1f ms\n",
                    round + 1, empty.start, empty.exit, full.start, full.exit, noise.start, noise.exit);
    }
    std::printf("start and exit on a settings file of %d sections (%zu bytes), %d rounds:\n", kSections, many.size(),
                rounds);
    std::printf("  100,000 sections\n");
    PrintRow("start", manySeries.start);
    PrintRow("exit", manySeries.exit);
    PrintRow("start and exit", manySeries.total);
    std::printf("  5 MB of random bytes\n");
    PrintRow("start", randomSeries.start);
    PrintRow("exit", randomSeries.exit);
    PrintRow("start and exit", randomSeries.total);
    std::printf("  reference: an empty settings file\n");
    PrintRow("start", emptySeries.start);
    PrintRow("exit", emptySeries.exit);
    PrintRow("start and exit", emptySeries.total);
    std::printf("  ratio of the medians: start %.2f, exit %.2f, start and exit %.2f (goal <= 2.00)\n",
                Median(manySeries.start) / Median(emptySeries.start),
                Median(manySeries.exit) / Median(emptySeries.exit),
                Median(manySeries.total) / Median(emptySeries.total));
    std::printf("  random bytes: ratio of the medians of start and exit %.2f\n",
                Median(randomSeries.total) / Median(emptySeries.total));
    return 0;
}

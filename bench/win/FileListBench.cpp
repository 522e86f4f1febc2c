// Writing the file list of a folder of 100,000 files with all columns, as
// "Dateiliste erstellen" does once the user pressed OK, beside a bare
// FindFirstFileW/FindNextFileW loop writing one name line per file in
// 64 KB writes. Seven rounds, taking turns. Goal: at most twice the loop.
//   qrv_bench_filelist_win.exe [folder]   (default T:\qrvbench-100k)

#include "BenchFolders.h"
#include "BenchWindow.h"
#include "dialogs/win/QuorListFiles.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "panels/win/DirView.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kFiles = 100000;
constexpr size_t kChunk = 64 * 1024;
constexpr int kRounds = 7;

// The reference: the folder's names, one line each, written in 64 KB pieces.
size_t BareNameFile(const std::wstring& Folder, const std::wstring& Target)
{
    const TFileHandle file(
        CreateFileW(Target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string buffer;
    size_t written = 0;
    const auto flush = [&] {
        DWORD done = 0;
        WriteFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &done, nullptr);
        written += done;
        buffer.clear();
    };
    WIN32_FIND_DATAW found;
    const TFindHandle search(FindFirstFileW((Folder + L"\\*").c_str(), &found));
    if (!search)
        return 0;
    do {
        buffer += WideToUtf8(found.cFileName);
        buffer += "\r\n";
        if (buffer.size() >= kChunk)
            flush();
    } while (FindNextFileW(search.Get(), &found));
    flush();
    return written;
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
    list->SetPath(folder);

    TFileListJob job;
    job.Source = list;
    job.FileName = parent + L"qrvbench-filelist.txt";
    job.Choices.Show = false;  // nothing opens the file afterwards
    const std::wstring bareTarget = parent + L"qrvbench-names.txt";
    TFileListOutput output;
    output.Ask = [](const std::wstring&, TMsgDlgType, TMsgDlgButtons) { return mrYes; };

    BareLoop(folder);  // warm the file system's caches
    std::vector<double> bare;
    std::vector<double> written;
    std::vector<double> ratios;
    bool ok = true;
    size_t bareBytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        bare.push_back(TimeOf([&] { bareBytes = BareNameFile(folder, bareTarget); }));
        std::wstring fullName;
        written.push_back(TimeOf([&] { ok = WriteFileList(job, output, fullName) && ok; }));
        ratios.push_back(written.back() / bare.back());
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool found = GetFileAttributesExW(job.FileName.c_str(), GetFileExInfoStandard, &data);
    const double listSize = found ? static_cast<double>(data.nFileSizeLow) / (1024 * 1024) : 0;
    DeleteFileW(job.FileName.c_str());
    DeleteFileW(bareTarget.c_str());

    std::printf("folder: %ls, %d items listed, file list %.1f MB, names %.1f MB\n", folder.c_str(), list->ItemCount(),
                listSize, static_cast<double>(bareBytes) / (1024 * 1024));
    std::printf("%d rounds, taking turns; median (least/median/most)\n", kRounds);
    std::printf("%-32s %s ms   reference (bare loop writing names) %s ms\n", "file list, all columns",
                Spread(written).c_str(), Spread(bare).c_str());
    std::printf("%-32s %s   (goal <= 2)\n", "  list / loop, round by round", Spread(ratios, 2).c_str());
    return ok ? 0 : 1;
}

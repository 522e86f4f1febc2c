// Extracting a whole zip archive of 10,000 files (made by "zip -r") through
// the archive list (every entry selected, ExtractSelected with the stored
// folders), beside the zip component driven as "qrvarc extract zip" drives
// it, in rounds taking turns, each into a new folder.
//   qrv_bench_arcextract_win.exe [archive] [target folder]
// (default T:\qrvbench-extract-10k.zip into T:\qrvbench-extract-target,
// made and emptied by scripts/bench)

#include "archives/ZipCommands.h"
#include "BenchWindow.h"
#include "archives/win/KyZipLV.h"
#include "archives/win/KyZipper.h"
#include "common/BaseUtils.h"
#include "framework/win/Forms.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring archive = argc > 1 ? argv[1] : L"T:\\qrvbench-extract-10k.zip";
    const std::wstring target = AddBackslash(argc > 2 ? argv[2] : L"T:\\qrvbench-extract-target");
    if (GetFileAttributesW(archive.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("%ls is missing: scripts/bench-fixtures makes it\n", archive.c_str());
        return 1;
    }
    TBenchApplication application;
    TBenchWindow<TKyZipLV> window;
    auto* list = window.Control;
    const std::wstring folder = ExtractFilePath(argv[0]);
    list->SetDLLDirectory(folder);
    list->Zipper().AskUser = nullptr;
    list->OpenArchive(archive);
    const int entries = list->Items().Count();

    TKyZipper reference(nullptr);
    reference.SetDLLDirectory(folder);
    reference.Unattended = true;
    reference.SetZipFileName(archive);
    CreateDirectoryW(RemoveBackslash(target).c_str(), nullptr);

    constexpr int kRounds = 5;
    std::vector<double> views, references;
    int viewFiles = 0, referenceFiles = 0;
    bool allOk = true;
    for (int round = 0; round < kRounds; ++round) {
        const std::wstring into = target + L"ref" + std::to_wstring(round) + L"\\";
        auto start = std::chrono::steady_clock::now();
        reference.ExtrBaseDir = into;
        reference.ExtrOptions = ExtrOverWrite | ExtrForceDirs | ExtrDirNames;
        reference.FSpecArgs = {L"*.*"};
        reference.Extract();
        references.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        referenceFiles = reference.SuccessCnt();

        start = std::chrono::steady_clock::now();
        list->SelectAll();
        allOk = list->ExtractSelected(target + L"view" + std::to_wstring(round), true, false) && allOk;
        views.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        viewFiles = list->Zipper().SuccessCnt();
    }
    std::printf("archive: %ls, %d entries listed; files: list %d, component %d%s\n", archive.c_str(), entries,
                viewFiles, referenceFiles, allOk ? "" : " (the list reported a failure)");
    std::printf(
        "%-36s %8.1f ms   reference (qrvarc extract zip) %8.1f ms   ratio %.2f   (median of %d; target <= 1.2)\n",
        "whole archive through ExtractSelected", Median(views), Median(references), Median(views) / Median(references),
        kRounds);
    return allOk ? 0 : 1;
}

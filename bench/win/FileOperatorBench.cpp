// Copying a folder of 10,000 small files and one file of 1 GiB with the file
// operator, beside a bare FindFirstFileW/CopyFileW loop and a bare call of the
// shell's file operation on the same data; warm (the fixtures are fresh in
// the page cache), the three alternating.
//   qrv_bench_fileop_win.exe [drive folder]   (default T:\, fixtures made by scripts/bench-fixtures)

#include "BenchFolders.h"
#include "common/win/ShellFileOperator.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"

#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

using namespace qrv;
using namespace qrv::bench;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Copies every file of Source into the new folder Target.
bool BareCopyLoop(const std::wstring& source, const std::wstring& target)
{
    if (!CreateDirectoryW(target.c_str(), nullptr))
        return false;
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileW((source + L"\\*").c_str(), &data));
    if (!find)
        return false;
    bool ok = true;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::wstring name = data.cFileName;
        ok = CopyFileW((source + L"\\" + name).c_str(), (target + L"\\" + name).c_str(), TRUE) && ok;
    } while (FindNextFileW(find.Get(), &data));
    return ok;
}

bool BareShellCopy(const std::wstring& source, const std::wstring& targetParent)
{
    const std::wstring from = source + L'\0';
    const std::wstring to = targetParent + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

bool OperatorCopy(const std::wstring& source, const std::wstring& targetParent)
{
    auto op = NewShellFileOperator(nullptr);
    op->Operation = TFileOperation::foCopy;
    op->Flags = foAllowUndo | foNoConfirmation | foSilent | foNoConfirmMkDir;
    op->SourceFiles.Add(source);
    op->DestFiles.Add(targetParent);
    return op->Execute();
}

double Time(const std::function<bool()>& run, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = run() && ok;
    return Milliseconds(std::chrono::steady_clock::now() - start);
}

// Each copy goes into a folder of its own below the target folder, which
// scripts/bench removes on the Linux side afterwards: under Wine every file
// created or deleted in a folder scans the folder, so deleting 10,000 copies
// between the runs would take longer than the copies themselves.
void Measure(const std::wstring& drive, const std::wstring& fixture, int rounds)
{
    const std::wstring source = drive + fixture;
    const std::wstring parent = drive + L"qrvbench-copy-target";
    CreateDirectoryW(parent.c_str(), nullptr);
    int run = 0;
    // A fresh, empty folder to copy into.
    auto freshFolder = [&] {
        std::wstring folder;
        do {
            folder = parent + L"\\" + fixture + L"-" + std::to_wstring(run++);
        } while (!CreateDirectoryW(folder.c_str(), nullptr));
        return folder;
    };
    bool ok = true;
    double loop = 0, shell = 0, oper = 0;
    const std::function<bool(const std::wstring&)> methods[] = {
        [&](const std::wstring& into) { return BareCopyLoop(source, into + L"\\" + fixture); },
        [&](const std::wstring& into) { return OperatorCopy(source, into); },
        [&](const std::wstring& into) { return BareShellCopy(source, into); },
    };
    double* sums[] = {&loop, &oper, &shell};
    for (int round = 0; round < rounds; ++round) {
        // The order alternates, so that no method always runs first.
        for (int step = 0; step < 3; ++step) {
            const int method = round % 2 == 0 ? step : 2 - step;
            const std::wstring into = freshFolder();
            const double ms = Time([&] { return methods[method](into); }, ok);
            *sums[method] += ms;
            std::printf("  %ls round %d: %s %.0f ms\n", fixture.c_str(), round + 1,
                        method == 0   ? "bare CopyFileW loop"
                        : method == 1 ? "TFileOperator"
                                      : "bare SHFileOperationW",
                        ms);
        }
    }
    loop /= rounds;
    shell /= rounds;
    oper /= rounds;
    std::printf("%ls: TFileOperator %.0f ms, bare CopyFileW loop %.0f ms (%.2fx), bare SHFileOperationW %.0f ms "
                "(%.2fx)%s\n",
                fixture.c_str(), oper, loop, oper / loop, shell, oper / shell, ok ? "" : " [a copy failed]");
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring drive = argc > 1 ? argv[1] : L"T:\\";
    TApplication application;
    application.Initialize();
    if (!Exists(drive + L"qrvbench-copy10k\\f009999.txt") || !Exists(drive + L"qrvbench-1g\\big.bin")) {
        std::printf("fixtures missing: run scripts/bench-fixtures\n");
        return 1;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // each result shows as soon as it is measured
    Measure(drive, L"qrvbench-copy10k", 2);
    Measure(drive, L"qrvbench-1g", 2);
    std::printf("copies left in %lsqrvbench-copy-target (scripts/bench removes them)\n", drive.c_str());
    return 0;
}

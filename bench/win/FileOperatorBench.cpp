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
#include <vector>

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

// Deletes the files of Folder and below, and the folders.
void RemoveCopies(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveCopies(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find.Get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

double Time(const std::function<bool()>& run, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = run() && ok;
    return Milliseconds(std::chrono::steady_clock::now() - start);
}

// Each copy goes into a folder of its own below the target folder. A copy of
// the large file is deleted after it is timed, so that the system never has
// to write gigabytes of earlier copies back while a later one runs (deleted,
// their pages are simply dropped). The copies of the small files stay for
// scripts/bench to remove on the Linux side: under Wine every file created or
// deleted in a folder scans the folder, so deleting 10,000 copies between the
// runs would take longer than the copies themselves.
// In round r the methods run in the order r, r+1, r+2 (mod 3): over three
// rounds each takes each place once, so none always follows the same one.
void Measure(const std::wstring& drive, const std::wstring& fixture, int rounds, bool deleteCopies)
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
    const char* const names[] = {"bare CopyFileW loop", "TFileOperator", "bare SHFileOperationW"};
    const std::function<bool(const std::wstring&)> methods[] = {
        [&](const std::wstring& into) { return BareCopyLoop(source, into + L"\\" + fixture); },
        [&](const std::wstring& into) { return OperatorCopy(source, into); },
        [&](const std::wstring& into) { return BareShellCopy(source, into); },
    };
    std::vector<double> times[3];
    for (int round = 0; round < rounds; ++round) {
        for (int step = 0; step < 3; ++step) {
            const int method = (round + step) % 3;
            const std::wstring into = freshFolder();
            const double ms = Time([&] { return methods[method](into); }, ok);
            times[method].push_back(ms);
            std::printf("  %ls round %d: %s %.0f ms\n", fixture.c_str(), round + 1, names[method], ms);
            if (deleteCopies) {
                RemoveCopies(into);
            }
        }
    }
    const double loop = Median(times[0]);
    const double oper = Median(times[1]);
    const double shell = Median(times[2]);
    std::printf("%ls (medians of %d): TFileOperator %.0f ms, bare CopyFileW loop %.0f ms (%.2fx), "
                "bare SHFileOperationW %.0f ms (%.2fx the loop; TFileOperator %.2fx the shell call)%s\n",
                fixture.c_str(), rounds, oper, loop, oper / loop, shell, shell / loop, oper / shell,
                ok ? "" : " [a copy failed]");
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
    Measure(drive, L"qrvbench-copy10k", 3, false);
    Measure(drive, L"qrvbench-1g", 6, true);
    std::printf("copies left in %lsqrvbench-copy-target (scripts/bench removes them)\n", drive.c_str());
    return 0;
}

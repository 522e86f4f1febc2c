// The byte comparison of two files of 1 GiB (equal; the last byte differing)
// and the directory comparison of two folders of 10,000 files (name, size
// and content; 1 % differing; the contents on the program's workers), each
// beside a bare Win32 loop on one thread on the same warm files: ReadFile in
// pieces and memcmp, FindFirstFileW over both folders.
//   qrv_bench_compare_win.exe [drive folder]   (default T:\, fixtures made by scripts/bench-fixtures)

#include "BenchFolders.h"
#include "framework/win/Handles.h"
#include "mainwindow/DirCompare.h"
#include "mainwindow/FileCompare.h"
#include "mainwindow/win/CompareCommands.h"
#include "mainwindow/win/WinCompareFile.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr DWORD kPiece = 1 << 18;

// 0 equal, 1 different, 2 trouble.
int BareCompare(const std::wstring& a, const std::wstring& b)
{
    TFileHandle fa(CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    TFileHandle fb(CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!fa || !fb)
        return 2;
    static const auto bufferA = std::make_unique<char[]>(kPiece);
    static const auto bufferB = std::make_unique<char[]>(kPiece);
    for (;;) {
        DWORD ra = 0, rb = 0;
        if (!ReadFile(fa.Get(), bufferA.get(), kPiece, &ra, nullptr) ||
            !ReadFile(fb.Get(), bufferB.get(), kPiece, &rb, nullptr))
            return 2;
        if (ra != rb || std::memcmp(bufferA.get(), bufferB.get(), ra) != 0)
            return 1;
        if (ra == 0)
            return 0;
    }
}

std::map<std::wstring, uint64_t> BareList(const std::wstring& folder)
{
    std::map<std::wstring, uint64_t> files;
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[data.cFileName] = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } while (FindNextFileW(find.Get(), &data));
    return files;
}

int BareDirCompare(const std::wstring& a, const std::wstring& b)
{
    const auto left = BareList(a);
    const auto right = BareList(b);
    int different = 0;
    for (const auto& [name, size] : left) {
        const auto partner = right.find(name);
        if (partner == right.end())
            continue;
        if (partner->second != size || BareCompare(a + L"\\" + name, b + L"\\" + name) != 0)
            ++different;
    }
    return different;
}

TFileCompareHost WinHost()
{
    TFileCompareHost host;
    host.Open = TWinCompareFile::Open;
    return host;
}

// As the program compares: the contents on its workers.
int OurDirCompare(const std::wstring& a, const std::wstring& b)
{
    TDirCompareHost host;
    host.ListFolder = ListFolderRecords;
    host.CompareOnWorker = CompareFilesOnWorker;
    host.Workers = DirCompareWorkerCount();
    TDirCompareInput input;
    input.Options.Select = TCompareSelect::Different;
    input.Options.ByContent = true;
    input.Active = ListFolderRecords(a);
    for (size_t i = 0; i < input.Active.size(); ++i)
        input.Active[i].Item = i;
    input.CompareDir = b;
    return static_cast<int>(RunDirCompare(std::move(input), host).ActiveItems.size());
}

void Line(const char* what, double ours, double bare)
{
    std::printf("%-44s %9.1f ms   bare Win32 loop %9.1f ms   %.2fx\n", what, ours, bare, ours / bare);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring drive = argc > 1 ? argv[1] : L"T:\\";
    const std::wstring root = drive + L"qrvbench-compare";
    if (GetFileAttributesW((root + L"\\B\\f9999.dat").c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("fixtures missing: run scripts/bench-fixtures\n");
        return 1;
    }
    const std::wstring a = root + L"\\a.bin", b = root + L"\\b.bin", c = root + L"\\c.bin";
    const TFileCompareHost host = WinHost();
    // Warm: each read once.
    BareCompare(a, b);
    BareCompare(a, c);
    BareDirCompare(root + L"\\A", root + L"\\B");
    bool right = true;
    const double oursEqual = BestOf(3, [&] { right &= CompareFileContents(a, b, host) == crEqual; });
    const double bareEqual = BestOf(3, [&] { right &= BareCompare(a, b) == 0; });
    const double oursLast = BestOf(3, [&] { right &= CompareFileContents(a, c, host) == crDifferent; });
    const double bareLast = BestOf(3, [&] { right &= BareCompare(a, c) == 1; });
    const double oursDir = BestOf(3, [&] { right &= OurDirCompare(root + L"\\A", root + L"\\B") == 100; });
    const double bareDir = BestOf(3, [&] { right &= BareDirCompare(root + L"\\A", root + L"\\B") == 100; });
    if (!right) {
        std::printf("comparison results are wrong\n");
        return 1;
    }
    Line("CompareFileContents, 1 GiB equal", oursEqual, bareEqual);
    Line("CompareFileContents, 1 GiB last byte differs", oursLast, bareLast);
    Line("directory comparison, 10,000 files", oursDir, bareDir);
    return 0;
}

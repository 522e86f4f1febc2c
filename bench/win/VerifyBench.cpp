// The verification with its Win32 reader (no form) over 1 GiB on the test
// drive: 8 files of 100 MiB, and the whole tree with 2,000 files of 100 KiB
// in 20 folders besides. Beside each: a bare FindFirstFileW / CreateFileW /
// ReadFile loop of the same block size, and cat on the Linux side over the
// same warm files (scripts/bench measures it in the same run and hands it
// over in QRV_BENCH_CAT_VERIFY_LARGE and QRV_BENCH_CAT_VERIFY_ALL).
//   qrv_bench_verify_win.exe [drive folder]   (default T:\, fixtures made by scripts/bench-fixtures)

#include "BenchFolders.h"
#include "framework/win/Handles.h"
#include "mainwindow/FileVerify.h"
#include "mainwindow/win/WinVerifyFiles.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace qrv;
using namespace qrv::bench;

namespace {

// Files read and bytes, of the bare loop.
struct BareCounts {
    unsigned files = 0;
    uint64_t bytes = 0;
};

void BareRead(const std::wstring& folder, BareCounts& counts)
{
    static const auto buffer = std::make_unique<char[]>(kVerifyBlock);
    WIN32_FIND_DATAW data;
    TFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            BareRead(path, counts);
            continue;
        }
        TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file)
            continue;
        DWORD read = 0;
        while (ReadFile(file.Get(), buffer.get(), static_cast<DWORD>(kVerifyBlock), &read, nullptr) && read > 0)
            counts.bytes += read;
        ++counts.files;
    } while (FindNextFileW(find.Get(), &data));
}

unsigned OurVerify(TVerifyFiles& files, const std::wstring& folder)
{
    TVerifyUi ui;  // no form: nothing to show, nobody cancels
    const TVerifyCounts counts = RunVerification(files, {{folder, true, false, 0}}, kVerifyBlock, ui);
    return counts.Faulty == 0 ? counts.Readable : 0;
}

double EnvMilliseconds(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atof(value) : 0.0;
}

void Line(const char* what, double ours, double bare, double cat)
{
    std::printf("%-36s %8.1f ms   bare Win32 loop %8.1f ms (%.2fx)", what, ours, bare, ours / bare);
    if (cat > 0)
        std::printf("   cat %8.1f ms (%.2fx)", cat, ours / cat);
    std::printf("\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring drive = argc > 1 ? argv[1] : L"T:\\";
    const std::wstring root = drive + L"qrvbench-verify";
    if (GetFileAttributesW((root + L"\\small\\d19\\f099.bin").c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("fixtures missing: run scripts/bench-fixtures\n");
        return 1;
    }
    TWinVerifyFiles files;
    // Warm: everything read once.
    BareCounts warm;
    BareRead(root, warm);
    bool right = true;
    const double oursLarge = BestOf(3, [&] { right &= OurVerify(files, root + L"\\large") == 8; });
    const double bareLarge = BestOf(3, [&] {
        BareCounts counts;
        BareRead(root + L"\\large", counts);
        right &= counts.files == 8;
    });
    const double oursAll = BestOf(3, [&] { right &= OurVerify(files, root) == 2008; });
    const double bareAll = BestOf(3, [&] {
        BareCounts counts;
        BareRead(root, counts);
        right &= counts.files == 2008;
    });
    if (!right) {
        std::printf("verification results are wrong\n");
        return 1;
    }
    Line("verify, 8 x 100 MiB", oursLarge, bareLarge, EnvMilliseconds("QRV_BENCH_CAT_VERIFY_LARGE"));
    Line("verify, whole tree (1 GiB, 2,008 files)", oursAll, bareAll, EnvMilliseconds("QRV_BENCH_CAT_VERIFY_ALL"));
    return 0;
}

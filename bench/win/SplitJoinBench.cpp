// Splitting a file of 1 GiB into parts of 100 MB and joining them again with
// the program's engine on its Win32 files, each beside a bare
// ReadFile/WriteFile copy of the same bytes, on the test drive, warm; ours and
// the bare copy alternate, the best of four rounds counts.
//   qrv_bench_splitjoin_win.exe [drive folder]   (default T:\)

#include "BenchFolders.h"
#include "framework/win/AnsiEncoding.h"
#include "framework/win/Handles.h"
#include "mainwindow/win/WinSplitFiles.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr uint64_t kSize = uint64_t{1} << 30;
constexpr uint64_t kPartSize = 104'857'600;

bool MakeOriginal(const std::wstring& path)
{
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    std::mt19937_64 random(9);
    std::vector<uint64_t> block(1 << 20);
    for (uint64_t written = 0; written < kSize; written += block.size() * 8) {
        for (uint64_t& v : block)
            v = random();
        DWORD done = 0;
        if (!WriteFile(file.Get(), block.data(), static_cast<DWORD>(block.size() * 8), &done, nullptr))
            return false;
    }
    return true;
}

// The bytes of Source into a new Target in blocks of the engine's size.
bool BareCopy(const std::wstring& source, const std::wstring& target)
{
    TFileHandle in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    TFileHandle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!in || !out)
        return false;
    std::vector<uint8_t> buffer(0x7FFFFF);
    for (;;) {
        DWORD got = 0, put = 0;
        if (!ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return false;
        if (got == 0)
            return true;
        if (!WriteFile(out.Get(), buffer.data(), got, &put, nullptr) || put != got)
            return false;
    }
}

bool SameBytes(const std::wstring& a, const std::wstring& b)
{
    TFileHandle x(CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    TFileHandle y(CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!x || !y)
        return false;
    std::vector<char> p(1 << 20), q(1 << 20);
    for (;;) {
        DWORD m = 0, n = 0;
        if (!ReadFile(x.Get(), p.data(), static_cast<DWORD>(p.size()), &m, nullptr) ||
            !ReadFile(y.Get(), q.data(), static_cast<DWORD>(q.size()), &n, nullptr) || m != n ||
            std::memcmp(p.data(), q.data(), m) != 0)
            return false;
        if (m == 0)
            return true;
    }
}

void RemoveParts(const std::wstring& folder)
{
    for (uint32_t n = 1; n <= 20; ++n)
        DeleteFileW(SplitPartName(folder + L"original.bin", n).c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring root = std::wstring(argc > 1 ? argv[1] : L"T:\\") + L"qrvbench-split\\";
    const std::wstring parts = root + L"parts\\", joined = root + L"joined\\";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(parts.c_str(), nullptr);
    CreateDirectoryW(joined.c_str(), nullptr);
    const std::wstring original = root + L"original.bin", copy = root + L"copy.bin";
    if (!MakeOriginal(original)) {
        std::printf("the original could not be made\n");
        return 1;
    }
    TWinSplitFiles files;
    std::wstring error;
    TSplitJoinUi ui;
    ui.Ask = [&error](const std::wstring& text, TSplitBoxKind, uint8_t) {
        error = text;
        return sbCancel;
    };
    ui.Label = [](const std::wstring&) {};
    ui.Step = [] {};
    ui.Stopped = [] { return false; };
    TSplitJoin engine(files, ui, SystemAnsiEncoding());
    bool right = BareCopy(original, copy);  // warm
    double split = 1e30, join = 1e30, bare = 1e30;
    for (int round = 0; round < 4 && right; ++round) {
        RemoveParts(parts);
        DeleteFileW((joined + L"original.bin").c_str());
        DeleteFileW(copy.c_str());
        // Which goes first changes each round: the one after pays for the
        // other's writes still in the cache.
        const auto ours = [&] {
            split = std::min(split, TimeOf([&] { right &= engine.SplitFileParts(original, kPartSize, parts); }));
        };
        const auto theirs = [&] { bare = std::min(bare, TimeOf([&] { right &= BareCopy(original, copy); })); };
        if (round % 2) {
            theirs();
            ours();
        } else {
            ours();
            theirs();
        }
        join = std::min(join, TimeOf([&] {
                            right &= engine.RunJoin(engine.PlanJoin({SplitPartName(parts + L"original.bin", 1)}, parts),
                                                    joined);
                        }));
        if (round == 0)
            right &= SameBytes(original, joined + L"original.bin") && SameBytes(original, copy);
    }
    RemoveParts(parts);
    DeleteFileW((joined + L"original.bin").c_str());
    DeleteFileW(copy.c_str());
    DeleteFileW(original.c_str());
    for (const std::wstring& folder : {parts, joined, root})
        RemoveDirectoryW(folder.c_str());
    if (!right || !error.empty()) {
        std::printf("split or join went wrong: %ls\n", error.c_str());
        return 1;
    }
    std::printf("%-44s %9.1f ms   bare ReadFile/WriteFile copy %9.1f ms   %.2fx\n", "split 1 GiB into 100 MB parts",
                split, bare, split / bare);
    std::printf("%-44s %9.1f ms   bare ReadFile/WriteFile copy %9.1f ms   %.2fx\n", "join 11 parts of 1 GiB", join,
                bare, join / bare);
    return 0;
}

// Measuring the file sizes of every folder of a drive's read tree
// (ScanDriveDirSizes, captions with sizes shown) over 20,000 folders,
// beside a bare FindFirstFileW/FindNextFileW walk summing the files of the
// same folders, the two taking turns.
//   qrv_bench_dirsizes_win.exe [folder]
// (default T:\qrvbench-20k-dirs, made by scripts/bench-fixtures: 200 folders
// of 100 empty subfolders and 5 files each)

#include "BenchFolders.h"
#include "BenchWindow.h"
#include "framework/win/Forms.h"
#include "panels/win/DriveView.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kTopFolders = 200;
constexpr int kSubFolders = 100;
constexpr int kRounds = 5;

int64_t BareFolderSum(const std::vector<std::wstring>& folders)
{
    int64_t total = 0;
    for (const std::wstring& folder : folders) {
        WIN32_FIND_DATAW found{};
        const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                total += static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return total;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring folder = argc > 1 ? argv[1] : L"T:\\qrvbench-20k-dirs";
    TBenchApplication application;
    const std::wstring last = folder + L"\\d199\\s99";
    if (GetFileAttributesW(last.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("no fixture %ls (scripts/bench-fixtures makes it)\n", last.c_str());
        return 1;
    }

    TBenchWindow<TDriveView> window(400, 600);
    auto* tree = window.Control;
    TTreeNode* node = tree->NodeForPath(folder);
    if (!node) {
        std::printf("no node for %ls\n", folder.c_str());
        return 1;
    }
    // The fixture's two levels read, as a user opening them would have them.
    tree->ExpandLevel(node, node->Level() + 1);
    TTreeNode* root = tree->RootNode(node);
    std::vector<std::wstring> folders;
    const std::function<void(TTreeNode*)> collect = [&](TTreeNode* at) {
        folders.push_back(tree->GetDirPath(at));
        for (int i = 0; i < at->Count(); ++i)
            collect(at->Item(i));
    };
    collect(root);
    if (folders.size() < static_cast<size_t>(kTopFolders * (kSubFolders + 1))) {
        std::printf("only %zu folders read\n", folders.size());
        return 1;
    }
    tree->SetShowDirSize(true);

    // The two take turns, so that a busy moment of the machine falls on
    // both alike; the best round of each counts.
    int64_t bareTotal = 0;
    double bare = 1e30;
    double scan = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        bare = std::min(bare, TimeOf([&] { bareTotal = BareFolderSum(folders); }));
        scan = std::min(scan, TimeOf([&] { tree->ScanDriveDirSizes(tree->GetDrive(node)); }));
    }
    int64_t treeTotal = 0;
    for (const std::wstring& path : folders)
        if (TTreeNode* at = tree->NodeForPath(path))
            treeTotal += tree->GetDirSize(at);
    std::printf("folder sizes of %zu folders (best of %d rounds, taking turns)\n", folders.size(), kRounds);
    std::printf("  ScanDriveDirSizes, captions renewed  %8.1f ms\n", scan);
    std::printf("  bare FindFirstFileW walk (reference) %8.1f ms   ratio %.2f (goal <= 1.2)\n", bare, scan / bare);
    std::printf("  bytes summed: tree %lld, walk %lld%s\n", static_cast<long long>(treeTotal),
                static_cast<long long>(bareTotal), treeTotal == bareTotal ? "" : "  MISMATCH");
    return treeTotal == bareTotal ? 0 : 1;
}

// Dropped contents (1,000 streams of 4 KiB, one of 256 MiB) written as files
// by a file list, beside reading the same streams from the same data object
// with a bare CreateFileW/WriteFile loop, in the same run. Medians of three,
// the two sides alternating. Then 10,000 of a list's 100,000 files dragged
// away (gone from the folder when the list hears of it) until the list has
// dropped them (its change watching reads the folder again later, as after
// any change from outside), beside a bare FindFirstFileW loop over the folder
// (the least a re-read costs) and beside the list reading the folder again,
// three rounds on three copies of the folder.
//   qrv_bench_drops_win.exe [drive]   (default T:\; the copies
//   qrvbench-moveout-0..2 made by scripts/bench-fixtures)

#include "../../tests/common/win/DropDataFake.h"
#include "BenchFolders.h"
#include "BenchWindow.h"
#include "common/FileDescriptorBlock.h"
#include "common/win/KyClipBoardFormats.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "panels/win/DirView.h"
#include "panels/win/PaneDragDrop.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct TContentsData : test::TDropDataFake {
    TContentsData(int count, size_t size)
    {
        ContentsFormat = CFFileContents;
        std::vector<TFileDescriptorEntry> entries(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            entries[static_cast<size_t>(i)].Name = L"s" + std::to_wstring(10000 + i) + L".bin";
            Add(CFFileContents, std::string(size, static_cast<char>('a' + i % 26)), TYMED_ISTREAM, i);
        }
        AddBlock(CFFileGroupDescriptorW, BuildFileGroupDescriptor(entries, true, nullptr));
    }
    std::wstring Name(int i) const { return L"s" + std::to_wstring(10000 + i) + L".bin"; }
};

// The bare side: each stream fetched from the data object, read and written
// with CreateFileW/WriteFile.
bool BareStreams(TContentsData& data, int count, const std::wstring& folder)
{
    std::vector<char> buffer(1 << 20);
    for (int i = 0; i < count; ++i) {
        FORMATETC format{static_cast<CLIPFORMAT>(CFFileContents), nullptr, DVASPECT_CONTENT, i, TYMED_ISTREAM};
        STGMEDIUM medium{};
        if (data.GetData(&format, &medium) != S_OK)
            return false;
        const LARGE_INTEGER start{};
        medium.pstm->Seek(start, STREAM_SEEK_SET, nullptr);
        TFileHandle file(CreateFileW((folder + L"\\" + data.Name(i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        bool ok = file.Valid();
        ULONG read = 0;
        while (ok && SUCCEEDED(medium.pstm->Read(buffer.data(), static_cast<ULONG>(buffer.size()), &read)) &&
               read > 0) {
            DWORD written = 0;
            ok = WriteFile(file.Get(), buffer.data(), read, &written, nullptr) && written == read;
        }
        ReleaseStgMedium(&medium);
        if (!ok)
            return false;
    }
    return true;
}

// The list's side: the data object dropped on the list's background, until
// its last file is there.
bool DropStreams(TDirView& list, TContentsData& data, int count, const std::wstring& folder)
{
    RECT client{};
    GetClientRect(list.Handle(), &client);
    POINT at{client.right / 2, client.bottom - 10};
    ClientToScreen(list.Handle(), &at);
    IDropTarget* target = list.DragDrop().Component().DropTarget();
    DWORD effect = DROPEFFECT_COPY;
    const POINTL point{at.x, at.y};
    target->DragEnter(&data, MK_LBUTTON, point, &effect);
    effect = DROPEFFECT_COPY;
    target->DragOver(MK_LBUTTON, point, &effect);
    effect = DROPEFFECT_COPY;
    target->Drop(&data, 0, point, &effect);
    const std::wstring last = folder + L"\\" + data.Name(count - 1);
    const auto give_up = std::chrono::steady_clock::now() + 120s;
    while (!Exists(last) && std::chrono::steady_clock::now() < give_up) {
        Pump();
        Sleep(0);
    }
    return Exists(last);
}

void MeasureStreams(TDirView& list, const std::wstring& drive, int count, size_t size, const char* what)
{
    TContentsData data(count, size);
    std::vector<double> ours;
    std::vector<double> bare;
    bool ok = true;
    for (int round = 0; round < 3; ++round) {
        for (int side = 0; side < 2; ++side) {
            const bool ourSide = (round + side) % 2 == 0;
            const std::wstring folder = drive + L"qrvbench-drops-" + std::to_wstring(round) + (ourSide ? L"l" : L"b");
            CreateDirectoryW(folder.c_str(), nullptr);
            if (ourSide) {
                list.SetPath(folder);
                ours.push_back(TimeOf([&] { ok = DropStreams(list, data, count, folder) && ok; }));
            } else {
                bare.push_back(TimeOf([&] { ok = BareStreams(data, count, folder) && ok; }));
            }
            for (int i = 0; i < count; ++i)
                DeleteFileW((folder + L"\\" + data.Name(i)).c_str());
            list.SetPath(drive);
            RemoveDirectoryW(folder.c_str());
        }
    }
    const double a = Median(ours);
    const double b = Median(bare);
    std::printf("%-36s %10.1f ms   reference (bare CreateFileW/WriteFile loop) %10.1f ms   ratio %.2f%s\n", what, a, b,
                b > 0 ? a / b : 0.0, ok ? "" : "  [a drop failed]");
}

constexpr int kMoveOutFiles = 100000;
constexpr int kMovedOut = 10000;

// The files of a move-out copy that leave it: every tenth one.
std::vector<std::wstring> MovedOutNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    wchar_t name[32];
    for (int i = 5; i < kMoveOutFiles; i += kMoveOutFiles / kMovedOut) {
        swprintf(name, 32, L"\\f%06d.txt", i);
        names.push_back(folder + name);
    }
    return names;
}

void MeasureMoveOut(TDirView& list, const std::wstring& drive)
{
    std::vector<double> ours;
    std::vector<double> bare;
    std::vector<double> reread;
    bool ok = true;
    for (int round = 0; round < 3; ++round) {
        const std::wstring folder = drive + L"qrvbench-moveout-" + std::to_wstring(round);
        const std::vector<std::wstring> names = MovedOutNames(folder);
        if (!HasFileFolder(folder, kMoveOutFiles) ||
            GetFileAttributesW(names.front().c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::printf("%ls is not complete: scripts/bench-fixtures makes it again\n", folder.c_str());
            return;
        }
        list.SetPath(folder);
        while (!list.Loaded())
            Pump();
        const int before = list.ItemCount();
        // What the drag's target does: the files leave the folder.
        for (const std::wstring& name : names)
            ok = DeleteFileW(name.c_str()) && ok;
        // Reading the folder of the files that are left.
        bare.push_back(TimeOf([&] { BareLoop(folder); }));
        ours.push_back(TimeOf([&] { list.WatchVanishedFiles(names); }));
        ok = ok && list.ItemCount() == before - kMovedOut;
        // What the list would do without the names: read its folder again.
        reread.push_back(TimeOf([&] {
            list.ReloadDirectory();
            while (!list.Loaded())
                Pump();
        }));
        list.SetPath(drive);
    }
    const double a = Median(ours);
    const double b = Median(bare);
    std::printf("%-36s %10.1f ms   reference (bare FindFirstFileW loop) %10.1f ms   ratio %.2f%s\n",
                "10,000 of 100,000 files moved out", a, b, b > 0 ? a / b : 0.0, ok ? "" : "  [not all dropped]");
    const double c = Median(reread);
    std::printf("%-36s %10.1f ms   reference (the list reading its folder again) %10.1f ms   ratio %.2f\n", "", a, c,
                c > 0 ? a / c : 0.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring drive = argc > 1 ? argv[1] : L"T:\\";
    TBenchApplication application;
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    TBenchWindow<TDirView> window;
    auto* list = window.Control;
    window.Form.Show();
    list->SetPath(drive);
    list->DragDrop().SetAcceptFileContents(true);

    std::printf("dropped contents (medians of three)\n");
    MeasureStreams(*list, drive, 1000, 4096, "1,000 dropped streams of 4 KiB");
    MeasureStreams(*list, drive, 1, 256u << 20, "one dropped stream of 256 MiB");
    std::printf("files dragged away from a list (medians of three)\n");
    MeasureMoveOut(*list, drive);
    return 0;
}

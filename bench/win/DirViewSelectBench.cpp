// Selection by filter in a file list of 100,000 files: the masks decide
// from the list's records and the control takes the states, until the
// control's selected count agrees. Set beside its parts done bare: the mask
// test over the same names, plus a plain LVM_SETITEMSTATE loop over the
// same indexes in a bare owner-data list control. The selections of both
// are compared first. Best of three.
//   qrv_bench_select_win.exe [folder]     (default T:\qrvbench-100k, made by scripts/bench-fixtures)

#include "BenchFolders.h"
#include "BenchWindow.h"
#include "common/MaskSearch.h"
#include "framework/StringList.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"
#include "panels/win/DirViewSelect.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace qrv;
using namespace qrv::bench;

namespace {

constexpr int kFiles = 100000;
// One name in ten: "f000005.txt", "f000015.txt", ...
constexpr const wchar_t* kMasks = L"*5.txt";

int SelectedCount(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

void SetState(HWND list, int index, bool selected)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring folder = argc > 1 ? argv[1] : L"T:\\qrvbench-100k";
    TBenchApplication application;
    if (!HasFileFolder(folder, kFiles))
        return 1;

    TForm form(nullptr);
    form.SetBounds(0, 0, 800, 600);
    auto* list = new TDirView(&form);
    list->SetBounds(0, 0, 800, 300);
    list->SetParent(&form);
    list->SetWatchForChanges(false);
    form.HandleNeeded();
    list->SetPath(folder);
    const int count = list->ItemCount();

    // The bare control: an owner-data report list of as many rows.
    const HWND bare = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 300,
                                      800, 300, form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bare, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);

    TFileSelectFilter filter;
    filter.Masks = kMasks;
    TStringList masks;
    ParseMaskList(kMasks, masks);

    std::vector<int> bareIndexes;
    double select = 1e30;
    double maskLoop = 1e30;
    double stateLoop = 1e30;
    int listSelected = 0;
    int bareSelected = 0;
    for (int round = 0; round < 3; ++round) {
        list->SelectMatching([](const TFileRec&) { return true; }, false);
        select = std::min(select, TimeOf([&] {
                              SelectFilesInList(*list, filter, true);
                              listSelected = SelectedCount(list->Handle());
                          }));

        SetState(bare, -1, false);
        maskLoop = std::min(maskLoop, TimeOf([&] {
                                bareIndexes.clear();
                                for (int i = 0; i < count; ++i) {
                                    const TFileRec* item = list->GetItemData(i);
                                    if (!item->IsDirectory && MatchesMaskList(item->FileName, &masks))
                                        bareIndexes.push_back(i);
                                }
                            }));
        stateLoop = std::min(stateLoop, TimeOf([&] {
                                 for (const int index : bareIndexes)
                                     SetState(bare, index, true);
                                 bareSelected = SelectedCount(bare);
                             }));
    }

    // The results first: the same rows, as many as the names say.
    bool same = listSelected == bareSelected && listSelected == static_cast<int>(bareIndexes.size());
    for (const int index : bareIndexes)
        same = same && list->GetItemData(index)->Selected;
    const double reference = maskLoop + stateLoop;
    std::printf("folder: %ls, %d items, %d selected by \"%ls\", results agree: %s (best of three)\n", folder.c_str(),
                count, listSelected, kMasks, same ? "yes" : "NO");
    std::printf("%-32s %10.1f ms   reference (mask loop %.1f + LVM_SETITEMSTATE loop %.1f) %10.1f ms   ratio %.2f "
                "(goal <= 1.3)\n",
                "DirView select by filter", select, maskLoop, stateLoop, reference,
                reference > 0 ? select / reference : 0.0);
    DestroyWindow(bare);
    return same ? 0 : 1;
}

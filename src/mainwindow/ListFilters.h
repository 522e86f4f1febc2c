#pragma once
// The filters of the file lists as the main window handles them: the record
// of a list for the filter dialog and the list settings it gives back, the
// stored state of each list (taken at exit, applied at start), the test for
// an unfiltered view (the filter box's colour), and the contents of the
// filter box and of the filter button's menu. Portable.

#include "dialogs/SelFileFields.h"
#include "panels/DirFilter.h"
#include "panels/FileSelect.h"
#include "settings/Quorvan32Globals.h"
#include "settings/StoredSettings.h"

#include <string>
#include <vector>

namespace qrv {

// What a file list's filter consists of: its mask, its load filter and the
// days-back value the dialog keeps for it.
struct TListFilter {
    std::wstring Mask = L"*.*";
    TLoadFilter Load;
    int DaysBack = -1;
};

// The dialog's record for a list; the hidden choice counts only while hidden
// files are shown.
TFileSelectFilter SelectFilterOfList(const TListFilter& List, bool ShowHiddenDirs);
// The list's filter after the dialog confirmed Filter.
TListFilter ListFilterOf(const TFileSelectFilter& Filter, int DaysBack);

// The [CurrentFilter] state of a list, and back.
TListFilterState CaptureListFilter(const TListFilter& List);
TListFilter ApplyListFilterState(const TListFilterState& State);

// A list shows every file: mask "*.*", no attribute choice (hidden only
// while hidden files are shown), the full size and date windows.
bool IsUnfiltered(const TListFilter& List, bool ShowHiddenDirs);

// The filter box's items: the masks of the named filters, then the typed
// masks of the history.
std::vector<std::wstring> FilterBoxItems(const std::vector<TFilterRec>& Filters,
                                         const std::vector<std::wstring>& History);

// One item of the filter button's menu: a named filter, checked when it is
// the active list's mask.
struct TFilterMenuItem {
    std::wstring Caption;
    int Tag = 0;
    bool Checked = false;
};
std::vector<TFilterMenuItem> FilterMenuItems(const std::vector<TFilterRec>& Filters, const std::wstring& ActiveMask);

// The context of the select-files dialog for the main window: names resolve
// through the named filters, masks take the list's normalisation.
TSelFileContext SelFileContextFor(const std::vector<TFilterRec>& Filters, TCompressionBits Compression,
                                  bool ShowHiddenDirs, int DaysBack, const TPickerDate& Today);

}  // namespace qrv

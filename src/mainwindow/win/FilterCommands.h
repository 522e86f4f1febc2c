#pragma once
// TFilterCommands: the file lists' filters and selection by filter. "Ei&nige
// auswählen ..." and "Einige a&bwählen ..." select or deselect by a filter;
// "Datei&filter ..." (F8) and "&Archivfilter..." restrict what the file
// list or the archive list shows; "Standardfilter bearbeiten..." edits the
// named filters. It owns the filter box's contents and colour, the filter
// button's menu, each file window's days-back value, and takes the lists'
// filters to and from the stored [CurrentFilter] state. It reaches the
// window through TFilterCommandsHost.

#include "dialogs/SelFileFields.h"
#include "framework/StringList.h"
#include "mainwindow/ListFilters.h"
#include "mainwindow/win/MainPanes.h"
#include "framework/win/StdCtrls.h"
#include "settings/StoredSettings.h"

#include <array>
#include <string>
#include <vector>

namespace qrv {

class TDirView;
class TKyZipLV;
class TSelFileDialog;
struct TOptions;

class TFilterCommandsHost {
public:
    virtual ~TFilterCommandsHost() = default;
    virtual TOptions& FilterOptions() = 0;
    // The typed masks, newest first (stored with the settings).
    virtual TStringList& MaskHistory() = 0;
    virtual bool ArchiveListFocused() = 0;
    // The folder tree's folder, whose drive decides the compression boxes.
    virtual std::wstring TreeFolder() = 0;
    virtual TCompressionBits CompressionBitsOf(const std::wstring& Folder) = 0;
    virtual TPickerDate Today() = 0;
    // Shows the filter dialog modally; true when OK passed its checks.
    virtual bool RunFilterDialog(TSelFileDialog& Dialog) = 0;
    // The options dialog on its named-filter page alone.
    virtual void EditNamedFilters() = 0;
    // A list's filter or mask changed: the window title follows.
    virtual void FilterApplied() = 0;
    // The selection of a list was changed by a filter.
    virtual void SelectionChanged() = 0;
    virtual void FocusList(TDirView* List) = 0;
};

// The filter box: Enter and Esc (the box's OnEnterKey and OnEscapeKey)
// apply the typed masks, a choice from the list applies the chosen ones.
class TFilterComboBox : public TComboBox {
public:
    using TComboBox::TComboBox;
    // The list closed on a choice (not cancelled).
    TNotifyEvent OnChosen;

protected:
    void WndProc(TMessage& Message) override;
};

class TFilterCommands {
public:
    // Box: the filter box on the toolbar (may be nullptr).
    TFilterCommands(const TMainPanes& Panes, TFilterCommandsHost& Host, TComboBox* Box);

    // Strg+E (Select true) and Strg+B (Select false).
    void SelectSeveralExecute(bool Select);
    // F8: the active file list's filter, or the archive list's while it has the focus.
    void EditFilterExecute();
    void FilterZipLVExecute();
    void EditStdFilterExecute();

    // Runs the filter dialog over Filter; true on OK. DaysBack is the
    // focused file window's days-back value, updated on OK.
    bool EditFilterDialog(const std::wstring& Caption, TFileSelectFilter& Filter, int HelpContext, bool ShowAttributes,
                          int& DaysBack);

    // The filter of a file list as the dialog and the stored state see it.
    TListFilter ListFilterOfList(TDirView& List);
    // Sets a list's mask and load filter and reads its folder again.
    void ApplyFilterToList(TDirView& List, const TListFilter& Filter);

    // The filter box: the named filters' masks and the typed ones, the
    // active list's mask as text, yellow while that list is filtered.
    void RebuildFilterBox();
    void UpdateFilterBoxColor();
    // The typed or chosen masks become the active list's (and with
    // "both windows" the other's).
    void ApplyTypedMask(const std::wstring& Text);
    // The box's list closed on the choice Text, or the box lost the focus
    // with Text in it.
    void FilterBoxChosen(const std::wstring& Text);

    // The filter button's menu: the named filters, the active mask checked.
    std::vector<TFilterMenuItem> FilterMenu();
    void FilterMenuClick(int Tag);

    // [CurrentFilter]: applied at start (with the option to restore it),
    // taken from the lists at exit.
    void ApplyStoredFilters(const TListFilterState& First, const TListFilterState& Second);
    void CaptureFilters(TListFilterState& First, TListFilterState& Second);

    int DaysBack(int Window) const { return daysBack_.at(static_cast<size_t>(Window)); }

private:
    int WindowOf(TDirView* List);
    // The days-back value of the file window that has the focus.
    int& FocusedDaysBack();
    bool SameFilters(TDirView& A, TDirView& B);
    void RememberManualMask(const std::wstring& Masks);

    const TMainPanes& panes_;
    TFilterCommandsHost& host_;
    TComboBox* box_;
    std::array<int, 2> daysBack_{-1, -1};
    int archiveDaysBack_ = -1;
};

// What the drive of Folder says of the compressed and encrypted bits, in
// any letter case of the path.
TCompressionBits QueryCompressionBits(const std::wstring& Folder);

}  // namespace qrv

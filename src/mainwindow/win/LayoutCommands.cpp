#include "mainwindow/win/LayoutCommands.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KySplit.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

namespace qrv {

namespace {

void EnsureFocusedVisible(TDirView* List)
{
    if (!List || !List->HandleAllocated())
        return;
    if (const TFileRec* item = List->ItemFocused(); item)
        if (const int index = List->IndexOf(item); index >= 0)
            ListView_EnsureVisible(List->Handle(), index, FALSE);
}

// The text of an unfocused history box is not left selected (a box that
// changes size selects its text).
void ClearBoxSelection(TComboBox* Box)
{
    const HWND focus = GetFocus();
    if (Box && Box->HandleAllocated() && focus != Box->Handle() && !IsChild(Box->Handle(), focus))
        SendMessageW(Box->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
}

}  // namespace

TLayoutCommands::TLayoutCommands(const TLayoutControls& Controls, const TMainPanes& Panes,
                                 TMainWindowServices& Services, TLayoutHost& Host, TOptions& Options)
    : controls_(Controls), panes_(Panes), services_(Services), host_(Host), options_(Options)
{
    if (controls_.FileSplitter)
        controls_.FileSplitter->OnPosChanged = [this](TComponent*) { FileSplitterMoved(); };
    ConnectSynchronisation();
}

void TLayoutCommands::ConnectSynchronisation()
{
    for (TDirView* list : {panes_.LV1, panes_.LV2}) {
        if (!list)
            continue;
        // After the list's own handling (the click has sorted it, the drag
        // has moved the column).
        list->OnColumnClick = [this, list, before = std::move(list->OnColumnClick)](TComponent* Sender, int Column) {
            if (before)
                before(Sender, Column);
            if (!options_.SyncDisplay)
                return;
            if (list->HandleAllocated())
                list->SetFocus();
            SyncSortOrder(list);
        };
        list->OnHeaderEndTrack = [this, list, before = std::move(list->OnHeaderEndTrack)](TComponent* Sender) {
            if (before)
                before(Sender);
            if (options_.SyncDisplay)
                SyncColumnWidths(list);
        };
        list->OnHeaderEndDrag = [this, list, before = std::move(list->OnHeaderEndDrag)](TComponent* Sender) {
            if (before)
                before(Sender);
            if (!options_.SyncDisplay)
                return;
            if (list->HandleAllocated())
                list->SetFocus();
            host_.PostColumnLayout(list, list == panes_.LV1 ? panes_.LV2 : panes_.LV1);
        };
    }
}

void TLayoutCommands::SyncSortOrder(TDirView* Source)
{
    TDirView* target = Source == panes_.LV1 ? panes_.LV2 : panes_.LV1;
    if (!Source || !target || target->Loading())
        return;
    if (target->SortColumn() != Source->SortColumn())
        target->SetSortColumn(Source->SortColumn());
    if (target->SortAscending() != Source->SortAscending())
        target->SetSortAscending(Source->SortAscending());
}

void TLayoutCommands::SyncColumnWidths(TDirView* Source)
{
    TDirView* target = Source == panes_.LV1 ? panes_.LV2 : panes_.LV1;
    if (!Source || !target || Source->ViewStyleEx() != TViewStyleEx::vsxReport)
        return;
    const int count = std::min(Source->ColumnCount(), target->ColumnCount());
    for (int column = 0; column < count; ++column)
        if (target->ColumnWidth(column) != Source->ColumnWidth(column))
            target->SetColumnWidth(column, Source->ColumnWidth(column));
    target->UpdateSortMarks();
}

void TLayoutCommands::SetStoredSplits(int Stacked, int SideBySide)
{
    splits_.FirstListHeight = Stacked;
    splits_.FirstListWidth = SideBySide;
}

int TLayoutCommands::StoredSplit(int LayoutCode) const
{
    if (LayoutCode == Layout() && SecondWindowShown() && panes_.FilePanel1)
        return LayoutCode == kLayoutStacked ? panes_.FilePanel1->Height() : panes_.FilePanel1->Width();
    return SplitOf(splits_, LayoutCode);
}

int TLayoutCommands::Layout() const
{
    return options_.DividerStyle == kLayoutStacked ? kLayoutStacked : kLayoutSideBySide;
}

bool TLayoutCommands::SecondWindowShown() const
{
    return panes_.FilePanel2 && panes_.FilePanel2->Visible();
}

TFileWindowLayout TLayoutCommands::Measure() const
{
    TFileWindowRequest request;
    request.Layout = Layout();
    request.Sizes = splits_;
    request.Sizes.TreeWidth = panes_.PanelLeft ? panes_.PanelLeft->Width() : 0;
    request.Sizes.DisplayHeight = panes_.PanelBottom ? panes_.PanelBottom->Height() : 0;
    request.ClientWidth = host_.ClientRoomWidth();
    request.ClientHeight = host_.ClientRoomHeight();
    request.TreeShown = panes_.PanelLeft && panes_.PanelLeft->Visible();
    request.DisplayShown = panes_.PanelBottom && panes_.PanelBottom->Visible();
    request.SecondShown = SecondWindowShown();
    request.WindowShown = host_.WindowShown();
    request.SplitterSize = controls_.TreeSplitter ? controls_.TreeSplitter->Width() : 3;
    request.TreeMinHeight = kMinPaneRoom;
    return qrv::ArrangeFileWindows(request);
}

void TLayoutCommands::ArrangeFileWindows(int Code)
{
    options_.DividerStyle = Code == kLayoutStacked ? kLayoutStacked : kLayoutSideBySide;
    TPanel* first = panes_.FilePanel1;
    TPanel* second = panes_.FilePanel2;
    TKySplitter* splitter = controls_.FileSplitter;
    if (!first || !second || !splitter)
        return;
    const TFileWindowLayout layout = Measure();
    const bool stacked = Layout() == kLayoutStacked;
    // Taken out of the alignment together, so that they line up again in
    // the order they were made: first window, splitter, second window.
    second->SetAlign(TAlign::alNone);
    splitter->SetAlign(TAlign::alNone);
    first->SetAlign(TAlign::alNone);
    if (SecondWindowShown()) {
        const int split = SplitOf(layout.Sizes, Layout());
        SetSplit(splits_, Layout(), split);
        const int thickness = stacked ? layout.Splitter.Height : layout.Splitter.Width;
        if (stacked) {
            first->SetBounds(0, 0, layout.AreaWidth, split);
            first->SetAlign(TAlign::alTop);
            splitter->SetAlign(TAlign::alTop);
            splitter->SetBounds(0, split, layout.AreaWidth, thickness);
        } else {
            first->SetBounds(0, 0, split, layout.AreaHeight);
            first->SetAlign(TAlign::alLeft);
            splitter->SetAlign(TAlign::alLeft);
            splitter->SetBounds(split, 0, thickness, layout.AreaHeight);
        }
        splitter->SetControlFirst(first);
        second->SetAlign(TAlign::alClient);
    } else {
        first->SetAlign(TAlign::alClient);
    }
    if (controls_.MainPanel)
        controls_.MainPanel->Realign();
    ClearBoxSelection(panes_.DirHist1);
    ClearBoxSelection(panes_.DirHist2);
}

void TLayoutCommands::CheckPaneSizes()
{
    // Minimised (or not shown yet) there is no room to fit the panes to.
    if (!host_.WindowShown() || host_.ClientRoomWidth() <= 0 || host_.ClientRoomHeight() <= 0 ||
        (controls_.MainPanel && (controls_.MainPanel->Width() <= 0 || controls_.MainPanel->Height() <= 0)))
        return;
    // The first window's size as it stands (a drag, its kept share on a
    // resize) is the split checked.
    if (SecondWindowShown() && panes_.FilePanel1 &&
        panes_.FilePanel1->Align() == (Layout() == kLayoutStacked ? TAlign::alTop : TAlign::alLeft))
        SetSplit(splits_, Layout(), StoredSplit(Layout()));
    const TFileWindowLayout layout = Measure();
    if (panes_.PanelLeft && panes_.PanelLeft->Visible() && panes_.PanelLeft->Width() != layout.Sizes.TreeWidth)
        panes_.PanelLeft->SetWidth(layout.Sizes.TreeWidth);
    if (panes_.PanelBottom && panes_.PanelBottom->Visible() &&
        panes_.PanelBottom->Height() > layout.Sizes.DisplayHeight)
        panes_.PanelBottom->SetHeight(layout.Sizes.DisplayHeight);
    if (!SecondWindowShown() || !panes_.FilePanel1)
        return;
    const int split = SplitOf(layout.Sizes, Layout());
    SetSplit(splits_, Layout(), split);
    if (Layout() == kLayoutStacked) {
        if (panes_.FilePanel1->Height() != split)
            panes_.FilePanel1->SetHeight(split);
    } else if (panes_.FilePanel1->Width() != split) {
        panes_.FilePanel1->SetWidth(split);
    }
}

void TLayoutCommands::SetSecondFileWindow(bool Show)
{
    TDirView* first = panes_.LV1;
    TDirView* second = panes_.LV2;
    if (!first || !second || !panes_.FilePanel2 || !controls_.FileSplitter)
        return;
    options_.SecondFileWin = Show;
    const HWND focused = GetFocus();
    const bool shown = host_.WindowShown();
    if (Show) {
        panes_.FilePanel2->SetVisible(true);
        controls_.FileSplitter->SetVisible(true);
        if (shown) {
            // Both layouts start again from half of the area.
            const TFileWindowLayout area = Measure();
            SetStoredSplits(area.AreaHeight / 2, area.AreaWidth / 2);
        }
        ArrangeFileWindows(Layout());
        CheckPaneSizes();
        if (shown) {
            const bool hadPath = !second->Path().empty();
            second->SetLoadEnabled(false);
            {
                // Loading comes back however the folder's setting ends.
                const ScopeExit enableLoading([second] { second->SetLoadEnabled(true); });
                if (!hadPath) {
                    second->SetMask(first->Mask());
                    second->Filter = first->Filter;
                    second->SetPath(options_.StartDir2.empty() ? first->GetPath() : options_.StartDir2);
                }
            }
            if (hadPath)
                second->ReloadDirectory();
            second->SetWatchForChanges(true);
            second->UpdateSortMarks();
            EnsureFocusedVisible(panes_.ActiveList);
        }
    } else {
        if (second->HandleAllocated() && focused == second->Handle()) {
            first->SetFocus();
            host_.MakeActiveList(first);
            host_.ShowFocusedFile();
        } else if (shown) {
            host_.MakeActiveList(first);
            services_.RefreshStatusBar();
        }
        controls_.FileSplitter->SetVisible(false);
        panes_.FilePanel2->SetVisible(false);
        ArrangeFileWindows(Layout());
        if (shown) {
            second->SetWatchForChanges(false);
            if (!second->Path().empty())
                options_.StartDir2 = second->GetPath();
            second->SetPath(L"");
        }
    }
    host_.LayOutDriveToolbars();
    // The focus goes back where it was when that control is still shown,
    // else to the active list.
    if (shown && focused && GetFocus() != focused) {
        const bool usable = IsWindowVisible(focused) && IsWindowEnabled(focused);
        wchar_t className[32] = {};
        GetClassNameW(focused, className, 32);
        if (usable && lstrcmpiW(className, L"ComboBox") != 0 && lstrcmpiW(className, L"Edit") != 0)
            SetFocus(focused);
        else if (panes_.ActiveList && panes_.ActiveList->HandleAllocated() &&
                 IsWindowVisible(panes_.ActiveList->Handle()))
            panes_.ActiveList->SetFocus();
    }
    host_.ColorPanes();
    // At start the window's first pass comes once the lists have loaded.
    if (shown)
        services_.UpdateActionStates();
}

void TLayoutCommands::ApplyOptions()
{
    // Only a change of the second window shows or hides it; else the
    // layout code and the sizes are applied again, keeping the split.
    if (options_.SecondFileWin != SecondWindowShown() || !host_.WindowShown()) {
        SetSecondFileWindow(options_.SecondFileWin);
        return;
    }
    ArrangeFileWindows(Layout());
    CheckPaneSizes();
    host_.ColorPanes();
}

void TLayoutCommands::SecondFileWinExecute()
{
    if (changing_)
        return;
    const bool show = !options_.SecondFileWin;
    if (!show && SecondWindowShown() && panes_.ActiveList == panes_.LV2) {
        // The folder the user works in stays: it moves to the first window.
        SwapWindowsExecute();
        host_.MakeActiveList(panes_.LV1);
        if (panes_.LV1 && panes_.LV1->HandleAllocated())
            panes_.LV1->SetFocus();
    }
    changing_ = true;
    const ScopeExit done([this] { changing_ = false; });
    SetSecondFileWindow(show);
}

bool TLayoutCommands::CanSwap() const
{
    return !changing_ && SecondWindowShown() && panes_.LV1 && panes_.LV2 && !panes_.LV1->Loading() &&
           !panes_.LV2->Loading();
}

TWindowViewState TLayoutCommands::ReadViewState(const TDirView& List)
{
    TWindowViewState state;
    state.Path = List.GetPath();
    state.Mask = List.Mask();
    state.Filter = List.Filter;
    state.SortColumn = List.SortColumn();
    state.SortAscending = List.SortAscending();
    state.ViewStyle = static_cast<int>(List.ViewStyleEx());
    state.ParentItem = List.HasParentItem();
    for (int i = 0; i < List.ItemCount(); ++i) {
        const TFileRec* item = List.GetItemData(i);
        if (item && item->Selected)
            state.SelectedNames.push_back(List.ItemFileName(item));
    }
    if (const TFileRec* focused = List.ItemFocused(); focused) {
        state.FocusedName = List.ItemFileName(focused);
        state.FocusedIndex = List.IndexOf(focused);
    }
    return state;
}

void TLayoutCommands::ApplyViewFields(TDirView& List, const TWindowViewState& State)
{
    List.SetMask(State.Mask);
    List.Filter = State.Filter;
    List.SetSortColumn(State.SortColumn);
    List.SetSortAscending(State.SortAscending);
    List.SetViewStyleEx(static_cast<TViewStyleEx>(State.ViewStyle));
    List.SetPath(State.Path);
    // The filter changed even where the folder did not: read it afresh.
    List.LoadFromDisk(State.Path);
}

void TLayoutCommands::RestoreSelection(TDirView& List, const TWindowViewState& State)
{
    std::vector<std::wstring> names;
    names.reserve(static_cast<size_t>(List.ItemCount()));
    for (int i = 0; i < List.ItemCount(); ++i)
        names.push_back(List.ItemFileName(List.GetItemData(i)));
    List.ReplaceSelection(ItemsToSelect(names, State.SelectedNames));
    const int focus = ItemToFocus(names, State.FocusedName, State.FocusedIndex);
    if (focus >= 0) {
        List.SetItemFocused(List.GetItemData(focus));
        if (List.HandleAllocated())
            ListView_EnsureVisible(List.Handle(), focus, FALSE);
    }
}

void TLayoutCommands::ExchangeStates(bool Swap)
{
    TDirView* active = panes_.ActiveList == panes_.LV2 ? panes_.LV2 : panes_.LV1;
    TDirView* other = active == panes_.LV1 ? panes_.LV2 : panes_.LV1;
    changing_ = true;
    host_.PauseStatusPass();
    const bool frozen = host_.DisplayFrozen();
    host_.SetDisplayFrozen(true);
    // Whatever fails on the way, the lists load again, the display follows
    // as before and the status pass runs.
    const ScopeExit restore([&] {
        for (TDirView* list : {active, other})
            list->SetLoadEnabled(true);
        host_.SetDisplayFrozen(frozen);
        host_.ResumeStatusPass(200);
        changing_ = false;
    });
    TWindowViewState activeState = ReadViewState(*active);
    TWindowViewState otherState = ReadViewState(*other);
    if (Swap)
        SwapViewStates(activeState, otherState);
    else
        EqualizeViewState(activeState, otherState);
    for (TDirView* list :
         Swap ? std::initializer_list<TDirView*>{active, other} : std::initializer_list<TDirView*>{other})
        list->SetLoadEnabled(false);
    if (Swap)
        ApplyViewFields(*active, activeState);
    ApplyViewFields(*other, otherState);
    for (TDirView* list : {active, other})
        list->SetLoadEnabled(true);
    if (Swap)
        RestoreSelection(*active, activeState);
    RestoreSelection(*other, otherState);
    if (Swap && panes_.TreeView1 && panes_.TreeView1->DirView() == active) {
        // The tree shows the active list's new folder without loading it again.
        panes_.TreeView1->SetDirView(nullptr);
        const ScopeExit relink([&] { panes_.TreeView1->SetDirView(active); });
        try {
            panes_.TreeView1->SetDirectory(active->GetPath());
        } catch (const std::exception&) {
            TraceIgnoredException(L"selecting the swapped folder in the tree");
            // the tree stays on its folder; it still loads the active list
        }
    }
    if (!active->ItemFocused())
        host_.ClearDisplay();
    host_.ColorPanes();
    services_.RefreshStatusBar();
}

void TLayoutCommands::SwapWindowsExecute()
{
    if (!CanSwap())
        return;
    ExchangeStates(true);
}

void TLayoutCommands::EqualizeWindowsExecute()
{
    if (changing_ || !SecondWindowShown() || !panes_.LV1 || !panes_.LV2)
        return;
    ExchangeStates(false);
}

void TLayoutCommands::ApplyLayoutChange(const TViewChange& Change)
{
    options_.ShowDirWin = Change.Layout.ShowDirWin;
    options_.SecondFileWin = Change.Layout.SecondFileWin;
    options_.DividerStyle = Change.Layout.DividerStyle;
    options_.FileDisplayPos = static_cast<uint8_t>(Change.Layout.FileDisplayPos);
    host_.ApplyAllOptions();
    if (Change.Half == THalfSize::None || !SecondWindowShown() || !panes_.FilePanel1)
        return;
    const TFileWindowLayout area = Measure();
    const TFirstWindowSize size = HalvedFirstWindow(
        Change.Half, {panes_.FilePanel1->Width(), panes_.FilePanel1->Height()}, area.AreaWidth, area.AreaHeight);
    SetSplit(splits_, Layout(), Layout() == kLayoutStacked ? size.Height : size.Width);
    ArrangeFileWindows(Layout());
}

void TLayoutCommands::ApplyPreset(TPresetView Preset)
{
    const TViewLayout current{options_.ShowDirWin, options_.SecondFileWin, options_.DividerStyle,
                              options_.FileDisplayPos};
    ApplyLayoutChange(PresetView(Preset, current));
}

void TLayoutCommands::ShowViewManExecute()
{
    TViewLayout layout{options_.ShowDirWin, options_.SecondFileWin, options_.DividerStyle, options_.FileDisplayPos};
    if (!host_.RunViewManager(layout))
        return;
    ApplyLayoutChange({layout, ViewManHalf(ViewManIndex(layout))});
}

void TLayoutCommands::FileSplitterMoved()
{
    if (!panes_.FilePanel1)
        return;
    SetSplit(splits_, Layout(), Layout() == kLayoutStacked ? panes_.FilePanel1->Height() : panes_.FilePanel1->Width());
    EnsureFocusedVisible(panes_.ActiveList);
}

void TLayoutCommands::AreaResized()
{
    if (changing_ || services_.Terminating())
        return;
    CheckPaneSizes();
}

}  // namespace qrv

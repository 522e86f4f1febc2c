// TQRVMain: the services every part of the window uses: the message box,
// the file comparison, the column layout shared by the lists, the title and
// the status bar. They call nothing of the start-up or the dispatch files.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "framework/IgnoredError.h"
#include "framework/win/Handles.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/LayoutRules.h"
#include "mainwindow/WindowTitle.h"
#include "settings/OptionSettings.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyShell.h"

#include <array>

namespace qrv {

int TQRVMain::ShowMessageBox(const std::wstring& Text, TMsgDlgType Type, int HelpContext, TMsgDlgButtons Buttons)
{
    // The click that closes the box must not start a marquee in the list
    // below it.
    TWinControl* focused = TWinControl::FromHandle(GetFocus());
    if (focused && (focused == LV1 || focused == LV2 || focused == ZipLV))
        if (auto* list = dynamic_cast<TKyListView*>(focused))
            list->SuppressMarquee = true;
    return MessageDlg(Text, Type, Buttons, HelpContext);
}

TDirView* TQRVMain::ListOf(TListId Id) const
{
    switch (Id) {
    case liList1:
        return LV1;
    case liList2:
        return LV2;
    default:
        return nullptr;
    }
}

void TQRVMain::PostColumnLayout(TListId Source, TListId Target)
{
    if (HandleAllocated())
        PostMessageW(Handle(), WM_QRV_SYNCCOLUMNS, Source, Target);
}

void TQRVMain::SyncColumnLayout(TListId Source, TListId Target)
{
    try {
        std::array<int, ZipColumnCount> zipOrder{};
        if (TDirView* source = ListOf(Source)) {
            const std::vector<int> order = source->GetColumnOrder();
            TDirView* target = ListOf(Target);
            if (target && target != source)
                target->SetColumnOrderAndRepaint(order);
            if (ZipLV && order.size() == zipOrder.size()) {
                std::copy(order.begin(), order.end(), zipOrder.begin());
                ZipLV->SetColumnOrder(zipOrder);
            }
        } else if (Source == liArchive && ZipLV && ZipLV->GetColumnOrder(zipOrder)) {
            const std::vector<int> order(zipOrder.begin(), zipOrder.end());
            for (TDirView* list : {LV1, LV2})
                if (list && list->ColumnCount() == static_cast<int>(order.size()))
                    list->SetColumnOrderAndRepaint(order);
            ZipLV->SetColumnOrder(zipOrder);
        }
    } catch (const std::exception&) {
        TraceIgnoredException(L"copying a column order");
        // a list that is being rebuilt keeps its order
    }
}

void TQRVMain::UpdateWindowTitle()
{
    std::optional<std::wstring> folder;
    if (TreeView1) {
        try {
            if (TTreeNode* node = TreeView1->Selected())
                folder = node->Parent() ? TreeView1->GetDisplayDirPath(node) : TreeView1->GetDirPathName(node);
        } catch (const std::exception&) {
            TraceIgnoredException(L"reading the tree's folder for the title");
            folder.reset();
        }
    }
    const std::wstring title = BuildWindowTitle(folder, ActiveList ? ActiveList->Mask() : L"*.*", TitleBase);
    SetCaption(title);
    if (Application)
        Application->SetTitle(title);
    if (TrayIcon1)
        TrayIcon1->SetHint(Application ? Application->Title() : title);
}

void TQRVMain::ActivateFileList(TDirView* List)
{
    if (!List)
        return;
    MakeActiveList(List);
    if (List->HandleAllocated())
        List->SetFocus();
}

void TQRVMain::MakeActiveList(TDirView* List)
{
    ActiveList = List;
    ActiveHistory = List == LV1 ? DirHist1 : DirHist2;
    // The tree follows the active list: it shows the list's folder, and the
    // folders chosen in it, on the drive buttons and by drive keys load this
    // list from now on.
    if (TreeView1 && TreeView1->DirView() != List) {
        // Unlinked while it selects, so that the selection loads no list.
        TreeView1->SetDirView(nullptr);
        try {
            if (!List->GetPath().empty())
                TreeView1->SetDirectory(List->GetPath());
        } catch (const std::exception&) {
            TraceIgnoredException(L"selecting the active list's folder in the tree");
            // the tree stays on its folder; it still loads the active list
        }
        TreeView1->SetDirView(List);
    }
    for (TDirView* list : {LV1, LV2})
        ColorPane(list);
    UpdateWindowTitle();
    // The filter box shows the active list's mask and filter state.
    if (filterCommands_)
        filterCommands_->RebuildFilterBox();
}

void TQRVMain::ColorPane(TDirView* List)
{
    if (!List)
        return;
    const TColor color = PaneColor(Options, List == ActiveList);
    List->SetColor(color);
    if (TComboBox* history = List == LV1 ? DirHist1 : List == LV2 ? DirHist2 : nullptr) {
        // The history boxes mark the active window; alone, the first one
        // marks whether its list holds the focus.
        TPaneColorRule rule;
        rule.UseColor = Options.UseColor;
        rule.TwoWindows = FilePanel2 && FilePanel2->Visible();
        rule.FirstActive = ActiveList != LV2;
        rule.ListFocused = LV1 && LV1->HandleAllocated() && GetFocus() == LV1->Handle();
        rule.Color = Options.Color;
        rule.ActiveColor = Options.ActiveColor;
        rule.WindowColor = kDefaultActiveColor;
        const TPaneColors colors = HistoryBoxColors(rule);
        history->SetColor(List == LV1 ? colors.First : colors.Second);
        if (history->HandleAllocated())
            InvalidateRect(history->Handle(), nullptr, TRUE);
    }
}

const TOptions& TQRVMain::FileOptions()
{
    return qrv::Options;
}

// ---- Targets of the posted messages and the timers ------------------------------

void TQRVMain::OleDisplayTimerTimer() {}

void TQRVMain::UpdateTimerTimer()
{
    if (actionUpdater_)
        actionUpdater_->UpdateTimerTimer();
}

void TQRVMain::UpdateSelectionStatus()
{
    if (statusArea_ && !Terminating())
        statusArea_->UpdateSelectionStatus();
}

void TQRVMain::RefreshStatusBar()
{
    UpdateStatusBar(false);
    UpdateSelectionStatus();
}

}  // namespace qrv

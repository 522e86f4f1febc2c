// TQRVMain::ApplyOptions: the settings record pushed into the tree, the
// lists, the drive buttons, the editors and the window's own controls. The
// values come from settings/OptionSettings.h; here they are only handed
// over. Every step runs on its own, so one control's failure leaves the
// others configured.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/win/KyZipLV.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/ActnList.h"
#include "framework/win/ScrollBox.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/FilterString.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/NamedFilters.h"
#include "settings/OptionSettings.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "widgets/win/KySplit.h"
#include "widgets/win/KyToolbar.h"

#include <algorithm>

namespace qrv {

namespace {

TOptionFacts SystemOptionFacts()
{
    TOptionFacts facts;
    facts.NTPlatform = true;  // the NT family; Windows 9x is not supported
    facts.DisplayColorCount = DisplayColorCount;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&version))
        facts.WindowsXPOrLater =
            version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion > 0);
#pragma GCC diagnostic pop
    return facts;
}

// The colour a list draws special items in: the chosen one, else its font's.
uint32_t ListTextColor(TDirView& list, const TTextColor& color)
{
    return ColorToRGB(color.value_or(list.Font().Color()));
}

void ApplyHotTrack(TDirView& list, const TListSettings& settings)
{
    list.SetExtendedStyles(LVS_EX_TRACKSELECT, settings.HotTrack);
    list.SetExtendedStyles(LVS_EX_ONECLICKACTIVATE, settings.HotTrackHand);
    list.SetExtendedStyles(LVS_EX_UNDERLINEHOT, settings.HotTrackUnderline);
}

}  // namespace

void TQRVMain::ApplyOptions()
{
    FailedOptionSteps.clear();
    auto step = [this](int number, auto&& body) {
        try {
            body();
        } catch (const std::exception&) {
            FailedOptionSteps.push_back(number);
        }
    };
    const TOptionFacts facts = SystemOptionFacts();
    const TTreeSettings tree = TreeSettingsFor(Options, facts);
    const TListSettings listSettings = ListSettingsFor(Options, facts);
    const TWindowSettings window = WindowSettingsFor(Options);
    auto forLists = [this](auto&& body) {
        for (TDirView* list : {LV1, LV2})
            if (list)
                body(*list);
    };

    // 1. The active pane's colour; the stored choice stays as it is.
    step(1, [&] { ActivePaneColor = window.ActiveColor; });
    // 2. Fonts.
    step(2, [&] { ApplyMainFont(); });
    // 3. Toolbar button sizes.
    step(3, [&] {
        auto* exitButton = dynamic_cast<TControl*>(FindComponent(L"btnExit"));
        if (exitButton && exitButton->Width() != Options.TBButtonSize)
            ResizeToolbarButtons(Options.TBButtonSize);
    });
    // 4. The tree.
    step(4, [&] {
        if (!TreeView1)
            return;
        TreeView1->SetChangeInterval(static_cast<unsigned>(std::max(tree.ChangeInterval, 0)));
        TreeView1->SetFileNameDisplay(tree.FileNameDisplay);
        TreeView1->SetShowMessageBox(tree.ShowMessageBox);
        TreeView1->SetAutoExpandDir(tree.AutoExpandDir);
        TreeView1->SetHideHiddenDirs(tree.HideHiddenDirs);
        TreeView1->DDExpandDelay = static_cast<uint32_t>(std::max(tree.DDExpandDelay, 0));
        TreeView1->DragDrop().DDLinkOnExeDrag = tree.DDLinkOnExeDrag;
        TreeView1->DragDrop().UseDragImages = tree.UseDragImages;
    });
    // 5. The network neighbourhood is not offered; the drive buttons follow.
    step(5, [&] {
        DriveInfo().SetValid(kNetworkDrive, false);
        driveBar_->RebuildDriveButtons();
    });
    // 6. The folder monitor action.
    step(6, [&] { UpdateFSMonitorAction(window.FSMonitorEnabled); });
    // 7. Both lists.
    step(7, [&] {
        forLists([&](TDirView& list) {
            list.SetSortByExtension(listSettings.SortByExtension);
            list.DragDrop().DDLinkOnExeDrag = listSettings.DDLinkOnExeDrag;
            list.DragDrop().UseDragImages = listSettings.UseDragImages;
            list.SingleClickToExec = listSettings.SingleClickToExec;
            list.SortAfterUpdate = listSettings.SortAfterUpdate;
            list.SetFileNameDisplay(listSettings.FileNameDisplay);
            list.SetGridLines(listSettings.GridLines);
            list.SetDirsOnTop(listSettings.DirsOnTop);
            list.SetShowSubDirSize(listSettings.ShowSubDirSize);
            list.SetShowExtension(listSettings.ShowExtension);
            list.SetSortDirTime(listSettings.SortDirTime);
            list.SetShowInfoTips(listSettings.ShowInfoTips);
            list.SelDir = listSettings.SelDir;
            list.Filter.SelHidden = listSettings.SelHidden;
            list.SetHideHiddenDirs(listSettings.HideHiddenDirs);
        });
    });
    // 8. The parent-folder arrow.
    step(8, [&] { forLists([&](TDirView& list) { list.ShowParentArrow = listSettings.ShowParentArrow; }); });
    // 9. The gap in the attribute column.
    step(9, [&] { forLists([&](TDirView& list) { list.SetAttrSpace(listSettings.AttrSpace); }); });
    // 10. Abbreviated sizes; the status bar follows a change made after start.
    step(10, [&] {
        if (Shown && LV1 && LV1->AbbreviatedSize() != Options.AbbreviatedSize)
            Options.SBAbbreviated = Options.AbbreviatedSize;
        forLists([&](TDirView& list) {
            list.SetAbbreviatedSize(listSettings.AbbreviatedSize);
            list.EnableInfoTips();
        });
    });
    // 11. Thumbnails.
    step(11, [&] { ApplyThumbnails(); });
    // 12. Colours of compressed and hidden items.
    step(12, [&] {
        if (TreeView1) {
            TreeView1->SetCompressedColor(tree.CompressedColor.value_or(TreeView1->Font().Color()));
            TreeView1->SetHiddenColor(tree.HiddenColor.value_or(TreeView1->Font().Color()));
        }
        forLists([&](TDirView& list) {
            list.SetCompressedColor(ListTextColor(list, listSettings.CompressedColor));
            list.SetHiddenColor(ListTextColor(list, listSettings.HiddenColor));
        });
    });
    // 13. Hot tracking.
    step(13, [&] { forLists([&](TDirView& list) { ApplyHotTrack(list, listSettings); }); });
    // 14. The folder-size view action and its button.
    step(14, [&] { UpdateDirSizeView(window.ViewDirSizeChecked); });
    // 15. Volume names in the tree.
    step(15, [&] {
        if (TreeView1)
            TreeView1->SetVolDisplayStyle(tree.VolDisplayStyle);
        if (driveBar_ && driveBar_->DriveBox)
            driveBar_->DriveBox->SetDisplayStyle(tree.VolDisplayStyle);
    });
    // 16. The command-line box as a drop target.
    step(16, [&] {
        if (Shown)
            UpdateCommandLineDropTarget();
    });
    // 17. Per list: columns, rows, folders, the icon thread, dates.
    step(17, [&] {
        forLists([&](TDirView& list) {
            list.SetShowColumnIcon(listSettings.ShowColumnIcon);
            list.SetChangeInterval(static_cast<unsigned>(std::max(listSettings.ChangeInterval, 0)));
            list.SetRowSelect(listSettings.RowSelect);
            list.SetShowDirectories(listSettings.ShowDirectories);
            list.SetUseIconUpdateThread(listSettings.IconThread);
            list.SetDateTimeDisplay(listSettings.DateTimeDisplay);
            RefreshListColors(&list);
        });
    });
    // 18. The forced display mode.
    step(18, [&] { UpdateDisplayModeButtons(window.HexButtonDown, window.TextButtonDown); });
    // 19. The tree pane and the second file window.
    step(19, [&] {
        if (PanelLeft)
            PanelLeft->SetVisible(window.ShowTree);
        if (Splitter1)
            Splitter1->SetVisible(window.ShowTree);
        ShowSecondFileWin(window.SecondFileWin);
        UpdateDosCloseAction(window.DosCloseChecked);
    });
    // 20. Function keys and the Programme menu.
    step(20, [&] {
        userCommands_->ApplyFunctionKeys();
        UpdateViewStyleActions();
        userCommands_->RebuildProgramsMenu();
    });
    // 21. Dialog filters, picture background, editors, filter box, drive toolbars.
    step(21, [&] { BuildFilterString(); });
    step(21, [&] {
        if (ScrollBox1)
            ScrollBox1->SetColor(window.PictureBackground);
    });
    step(21, [&] { ApplyEditorTabs(window.EditorsWantTabs); });
    step(21, [&] { RebuildFilterBox(); });
    step(21, [&] { driveBar_->DockDriveToolbars(); });
}

void TQRVMain::BuildFilterString()
{
    OpenDialogFilter = qrv::BuildFilterString(Options.FilterList);
}

void TQRVMain::AddNamedFilter(const std::wstring& Name, const std::wstring& Masks)
{
    qrv::AddNamedFilter(Options.FilterList, Name, Masks);
    FilterListChanged = true;
}

void TQRVMain::ApplyEditorTabs(bool WantTabs)
{
    if (HexEditor1)
        HexEditor1->SetWantTabs(WantTabs);
    if (EasyEdit)
        EasyEdit->SetWantTabs(WantTabs);
}

// ---- Steps whose controls come later -----------------------------------------------
// Fonts, toolbar button sizes, function-key labels, the second window's
// layout, thumbnails, the filter box, the actions and buttons of the view
// commands, the active pane's colours and the command line's drag and
// drop each fill their step here.

void TQRVMain::ApplyMainFont()
{
    const TFontSetting& list = Options.ListFont;
    const TFontSetting& text = Options.TextFont;
    TFont& form = Font();
    if (form.Name() != list.Name || form.Size() != list.Size || form.Style() != list.Style ||
        form.Charset() != list.Charset) {
        form.SetName(list.Name);
        form.SetSize(list.Size);
        form.SetStyle(list.Style);
        form.SetCharset(list.Charset);
        // The panes that show the window's font take it in one change each;
        // the status bar's height follows its font.
        for (TControl* pane : std::initializer_list<TControl*>{TreeView1, LV1, LV2, DirHist1, DirHist2, ZipLV,
                                                               DOSCmdBox, FilterBox, StatusBar})
            if (pane)
                pane->Font().Assign(form);
        // The path boxes and the status bar stand as high as the drive box.
        if (TKyDriveComboBox* box = driveBar_ ? driveBar_->DriveBox : nullptr) {
            box->Font().Assign(form);
            for (TComboBox* history : {DirHist1, DirHist2})
                if (history && history->HandleAllocated())
                    SetComboEditHeight(*history, box->EditHeight());
            if (StatusBar)
                StatusBar->SetHeight(box->Height());
        }
        if (statusArea_)
            statusArea_->FitPanels();
    }
    // The file windows' buttons stand as high as the history box, at least 21 pixels.
    if (navigation_ && DirHist1)
        navigation_->Commands().SetButtonHeight(std::max(DirHist1->Height(), 21));
    // The viewers show text in the text font; the editor in fixed pitch.
    if (TextView && TextView->HandleAllocated()) {
        TKyTextAttributes& attributes = TextView->DefAttributes();
        attributes.SetName(text.Name);
        attributes.SetSize(text.Size);
        attributes.SetCharset(text.Charset);
    }
    for (TControl* viewer : std::initializer_list<TControl*>{HexEditor1, EasyEdit}) {
        if (!viewer)
            continue;
        viewer->Font().SetName(text.Name);
        viewer->Font().SetSize(text.Size);
        viewer->Font().SetCharset(text.Charset);
    }
    if (EasyEdit)
        EasyEdit->Font().SetPitch(TFontPitch::fpFixed);
}
void TQRVMain::ResizeToolbarButtons(int Size)
{
    if (toolbars_)
        toolbars_->ResizeAllToolbarButtons(Size);
}
void TQRVMain::RebuildFilterBox()
{
    if (filterCommands_)
        filterCommands_->RebuildFilterBox();
}
void TQRVMain::ShowSecondFileWin(bool Show)
{
    Options.SecondFileWin = Show;
    if (layout_)
        layout_->Commands().ApplyOptions();
}
void TQRVMain::ApplyThumbnails()
{
    const TListSettings settings = ListSettingsFor(Options, SystemOptionFacts());
    for (TDirView* list : {LV1, LV2}) {
        if (!list)
            continue;
        // Loading paused: a new size re-reads nothing meanwhile.
        const bool loading = list->LoadEnabled();
        list->SetLoadEnabled(false);
        list->SetThumbSize(settings.ThumbWidth, settings.ThumbHeight);
        list->SetThumbFrameSize(settings.ThumbFrame);
        if (settings.ThumbSpacing) {
            list->SetThumbSpaceWidth(*settings.ThumbSpacing);
            list->SetThumbSpaceHeight(*settings.ThumbSpacing);
        }
        if (loading && formCreated_)
            list->SetLoadEnabled(true);
    }
}
void TQRVMain::UpdateFSMonitorAction(bool /*Enabled*/) {}
void TQRVMain::UpdateDirSizeView(bool Checked)
{
    if (listWork_)
        listWork_->UpdateDirSizeView(Checked);
}
void TQRVMain::UpdateCommandLineDropTarget()
{
    if (DOSCmdBox)
        DOSCmdBox->SetAcceptFiles(ToolbarCMDLine && ToolbarCMDLine->Visible());
}
void TQRVMain::RefreshListColors(TDirView* List)
{
    ColorPane(List);
}
void TQRVMain::UpdateDisplayModeButtons(bool HexDown, bool TextDown)
{
    if (fileDisplay_)
        fileDisplay_->SetForcedMode(HexDown ? fdHex : TextDown ? fdText : fdAutomatic);
}
void TQRVMain::UpdateDosCloseAction(bool Checked)
{
    if (TAction* action = commandMenus_ ? commandMenus_->Action(TActionId::DOSClose) : nullptr)
        action->SetChecked(Checked);
}

}  // namespace qrv

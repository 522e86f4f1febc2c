// The main window's side of the status bar, the action states and the
// support routines: the figures TStatusArea and TActionUpdater read, the
// events that start their timers, the save question, the options exchange
// and the first file window's share of the main panel.

#include "mainwindow/win/RudirezOziMain.h"

#include "archives/ZipItems.h"
#include "archives/win/KyZipLV.h"
#include "common/FileOperator.h"
#include "common/win/BaseUtilsWin.h"
#include "common/win/SimpleTimer.h"
#include "editor/win/EasyEditor.h"
#include "framework/IgnoredError.h"
#include "framework/win/ActnList.h"
#include "framework/win/Image.h"
#include "framework/win/ScrollBox.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/DroppedNames.h"
#include "mainwindow/PaneResize.h"
#include "mainwindow/win/TextSaving.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "viewers/win/FileView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"
#include "viewers/win/KyLinkPanel.h"
#include "viewers/win/KyOleCtnrs.h"
#include "widgets/win/KySplit.h"
#include "widgets/win/KyToolbar.h"

#include <commctrl.h>

#include <utility>

namespace qrv {

namespace {

// Chains a handler after the one a control already has.
void Chain(TNotifyEvent& Event, TNotifyEvent Next)
{
    Event = [previous = std::move(Event), next = std::move(Next)](TComponent* Sender) {
        if (previous)
            previous(Sender);
        next(Sender);
    };
}

bool HasFocus(TWinControl* Control)
{
    if (!Control || !Control->HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    return focus == Control->Handle() || IsChild(Control->Handle(), focus);
}

constexpr UINT kStatusDelay = 100;  // ms: one refresh for a burst of selection changes
constexpr UINT kActionDelay = 200;

}  // namespace

void TQRVMain::ConnectStatusArea()
{
    statusArea_ = std::make_unique<TStatusArea>(static_cast<TStatusAreaHost&>(*this), *StatusBar, *this);
    actionUpdater_ = std::make_unique<TActionUpdater>(static_cast<TActionUpdaterHost&>(*this), *this);

    for (TDirView* list : {LV1, LV2}) {
        // Only the active list's changes reach the status bar.
        auto ifActive = [this](TComponent* Sender) {
            if (Sender == ActiveList) {
                StartStatusTimer();
                StartActionTimer();
            }
        };
        list->OnSelectItemNew = [ifActive](TComponent* Sender, TFileRec&, bool) { ifActive(Sender); };
        Chain(list->OnChangeDetected, ifActive);
        Chain(list->OnDirUpdated, ifActive);
        list->OnFileSizeChanged = [ifActive](TComponent* Sender, TFileRec&) { ifActive(Sender); };
        Chain(list->OnLoaded, [this](TComponent* Sender) {
            if (Sender != ActiveList)
                return;
            UpdateSelectionStatus();
            UpdateStatusBar(true);
            StartActionTimer();
        });
        Chain(list->OnEnter, [this](TComponent*) { FocusChanged(); });
    }
    for (TWinControl* control : std::initializer_list<TWinControl*>{TreeView1, ZipLV, TextView, EasyEdit, HexEditor1,
                                                                    DOSCmdBox, DirHist1, DirHist2}) {
        if (!control)
            continue;
        Chain(control->OnEnter, [this](TComponent*) { FocusChanged(); });
        Chain(control->OnExit, [this](TComponent*) { StartActionTimer(); });
    }
    // The tree's node decides many states.
    TreeView1->OnChange = [this, previous = std::move(TreeView1->OnChange)](TComponent* Sender, TTreeNode* Node) {
        if (previous)
            previous(Sender, Node);
        StartActionTimer();
    };
    // The archive list's selection counts while it has the focus.
    ZipLV->OnChange = [this, previous = std::move(ZipLV->OnChange)](TComponent* Sender, int Item) {
        if (previous)
            previous(Sender, Item);
        if (HasFocus(ZipLV)) {
            StartStatusTimer();
            StartActionTimer();
        }
    };
    // The caret's line and column follow the caret, in the rich-text view
    // and in the editor; the text commands follow the selection.
    Chain(TextView->OnSelectionChange, [this](TComponent*) {
        if (HasFocus(TextView)) {
            UpdateStatusBar(false);
            StartActionTimer();
        }
    });
    Chain(EasyEdit->OnSelectionChanged, [this](TComponent*) {
        if (HasFocus(EasyEdit)) {
            UpdateStatusBar(false);
            StartActionTimer();
        }
    });
    // The hex view's offset follows its caret, by key and by click.
    HexEditor1->OnSelectCell = [this, previous = std::move(HexEditor1->OnSelectCell)](TComponent* Sender, int Col,
                                                                                      int64_t Row, bool& CanSelect) {
        if (previous)
            previous(Sender, Col, Row, CanSelect);
        if (HasFocus(HexEditor1)) {
            UpdateStatusBar(false);
            StartActionTimer();
        }
    };
    // What the user was looking at stays in view when the display pane's
    // splitter moves.
    Chain(Splitter3->OnPosChanged, [this](TComponent*) { BottomSplitterMoved(); });
    // The first file window keeps its share whenever the main panel changes
    // size: with the window, or when a splitter moves the panel's edge.
    MainPanel->OnResize = [this](TComponent*) {
        KeepFirstWindowShare();
        if (layout_)
            layout_->Commands().AreaResized();
    };

    // Files dropped on the command box become its arguments.
    DOSCmdBox->OnDropFiles = [this](TComponent*, const std::vector<std::wstring>& Names) { DOSCmdBoxDropFiles(Names); };
    DOSCmdBox->SetAcceptFiles(true);

    catalogue_.Register(TActionId::OptionsDlg, [this] { OptionsDlgExecute(); });
    OptionsDlg = commandMenus_->Action(TActionId::OptionsDlg);
    OptionsDlg->OnUpdate = [this](TComponent*) { OptionsDlg->SetEnabled(OptionsDialog != nullptr); };
}

void TQRVMain::StartStatusTimer()
{
    if (statusTimer_)
        statusTimer_->Start(kStatusDelay);
}

void TQRVMain::StartActionTimer()
{
    if (actionTimer_)
        actionTimer_->Start(kActionDelay);
}

void TQRVMain::FocusChanged()
{
    UpdateStatusBar(false);
    // The archive list's figures while it has the focus, the list's else.
    UpdateSelectionStatus();
    StartActionTimer();
}

// ---- Status bar -------------------------------------------------------------------

TPanel0Input TQRVMain::StatusPanel0Input(bool RefreshDrive)
{
    TPanel0Input in;
    if ((TextView && TextView->Visible() && HasFocus(TextView))) {
        in.Focus = TStatusFocus::Text;
        const POINT caret = TextView->CaretPos();
        in.CaretLine = static_cast<uint32_t>(caret.y) + 1;
        in.CaretColumn = static_cast<uint32_t>(caret.x) + 1;
    } else if (EasyEdit && EasyEdit->Visible() && HasFocus(EasyEdit)) {
        in.Focus = TStatusFocus::Text;
        // Rows and columns as shown: with word wrap a row counts as a line.
        const POINT caret = EasyEdit->GetCaretDisplayPos();
        in.CaretLine = static_cast<uint32_t>(caret.y) + 1;
        in.CaretColumn = static_cast<uint32_t>(caret.x) + 1;
    } else if (HexEditor1 && HexEditor1->Visible() && HasFocus(HexEditor1)) {
        in.Focus = TStatusFocus::HexView;
        in.HexViewVisible = true;
        in.HexOffset = static_cast<uint64_t>(std::max<int64_t>(HexEditor1->GetCaretOffset(), 0));
    }
    if (in.Focus != TStatusFocus::Other)
        return in;
    // The drive box's drive; without the box, the active list's.
    const std::wstring path = ActiveList ? ActiveList->Path() : std::wstring();
    const wchar_t boxDrive = driveBar_ ? driveBar_->DriveBoxDrive() : L'\0';
    const wchar_t letter = boxDrive                              ? boxDrive
                           : path.size() >= 2 && path[1] == L':' ? static_cast<wchar_t>(towupper(path[0]))
                                                                 : L'\0';
    if (letter < L'A' || letter > L'Z') {
        in.DriveBoxOnNetwork = true;
        in.ListShowsNetwork = ActiveList && ActiveList->IsVirtual();
        in.NetworkName = DriveInfo().GetDisplayName(L'\\');
        return in;
    }
    TDriveInfoRec rec;
    DriveInfo().GetData(letter, rec);
    if (RefreshDrive || (rec.Size < 0 && rec.FreeSpace < 0)) {
        if (!DriveInfo().ReadDriveStatus(letter, dsSize))
            TraceIgnoredFailure(L"status bar: reading the drive's space", 0);
        DriveInfo().GetData(letter, rec);
    }
    in.Drive.Letter = letter;
    in.Drive.Ready = rec.DriveReady;
    in.Drive.Total = rec.Size;
    in.Drive.Free = rec.FreeSpace;
    return in;
}

TSelectionStatusInput TQRVMain::SelectionStatusInput()
{
    TSelectionStatusInput in;
    in.Abbreviated = Options.SBAbbreviated;
    if (!ActiveList)
        return in;
    // A shell folder without a file-system path counts its items only.
    in.ShellFolder = ActiveList->IsVirtual();
    in.ShellItemCount = static_cast<uint32_t>(std::max(ActiveList->ItemCount(), 0));
    if (ZipLV && ZipLV->Visible() && HasFocus(ZipLV)) {
        const TZipItems& entries = ZipLV->Items();
        in.ArchiveFocused = true;
        in.Archive.Count = static_cast<uint32_t>(std::max(entries.Count(), 0));
        in.Archive.Selected = static_cast<uint32_t>(std::max(entries.SelCount(), 0));
        in.Archive.TotalSize = static_cast<int64_t>(entries.TotalSize());
        in.Archive.SelectedSize = static_cast<int64_t>(entries.SelSize());
        return in;
    }
    in.ListLoading = ActiveList->Loading();
    in.List.Count = static_cast<uint32_t>(std::max(ActiveList->EntryCount(), 0));
    in.List.Selected = static_cast<uint32_t>(std::max(ActiveList->SelCount(), 0));
    in.List.TotalSize = static_cast<int64_t>(ActiveList->TotalSize());
    in.List.SelectedSize = static_cast<int64_t>(ActiveList->SelectedSize());
    return in;
}

std::optional<uint32_t> TQRVMain::ShownTextLineCount()
{
    if (TextView && TextView->Visible())
        return static_cast<uint32_t>(std::max(TextView->Lines().Count(), 0));
    if (EasyEdit && EasyEdit->Visible())
        return static_cast<uint32_t>(std::max(EasyEdit->Lines().Count(), 0));
    return std::nullopt;
}

std::optional<std::pair<uint32_t, uint32_t>> TQRVMain::ShownPictureSize()
{
    if (!Image1)
        return std::nullopt;
    const SIZE size = Image1->PictureSize();
    if (size.cx <= 0 || size.cy <= 0)
        return std::nullopt;
    return std::pair<uint32_t, uint32_t>(static_cast<uint32_t>(size.cx), static_cast<uint32_t>(size.cy));
}

std::wstring TQRVMain::ThousandSeparator()
{
    return LocaleThousandSeparator();
}

void TQRVMain::UpdateStatusBar(bool RefreshDrive)
{
    if (statusArea_ && !Terminating())
        statusArea_->UpdateStatusBar(RefreshDrive);
}

void TQRVMain::ShowLineCount()
{
    if (statusArea_)
        statusArea_->UpdateLineCount();
}

void TQRVMain::ShowStatusNote(const std::wstring& Text)
{
    if (statusArea_)
        statusArea_->ShowNote(Text);
}

void TQRVMain::ShowPictureSize()
{
    if (statusArea_)
        statusArea_->UpdatePictureSize();
}

// ---- Action states --------------------------------------------------------------

bool TQRVMain::ActionUpdateAllowed()
{
    return !Terminating() && !(Application && Application->Terminated()) && formCreated_;
}

TActionInput TQRVMain::ActionInput()
{
    TActionInput in;
    // Each group of facts on its own: one that cannot be read leaves its
    // defaults and the others are still read.
    auto group = [](const wchar_t* what, auto read) {
        try {
            read();
        } catch (const std::exception&) {
            TraceIgnoredException(what);
        }
    };
    const HWND focus = GetFocus();
    auto focused = [focus](TWinControl* control) {
        return control && control->HandleAllocated() && focus &&
               (focus == control->Handle() || IsChild(control->Handle(), focus));
    };
    if (focused(TreeView1))
        in.Focus = TActionFocus::Tree;
    else if (focused(ActiveList))
        in.Focus = TActionFocus::List;
    else if (focused(ZipLV))
        in.Focus = TActionFocus::ArchiveList;
    else if (focused(TextView))
        in.Focus = TActionFocus::TextView;
    else if (focused(EasyEdit))
        in.Focus = TActionFocus::Editor;
    else if (focused(HexEditor1))
        in.Focus = TActionFocus::HexView;
    else if (focused(DOSCmdBox))
        in.Focus = TActionFocus::CommandBox;
    else if (focused(ActiveHistory))
        in.Focus = TActionFocus::HistoryBox;

    group(L"action states: the tree", [&] {
        TTreeNode* node = TreeView1 ? TreeView1->Selected() : nullptr;
        in.Node = node != nullptr;
        in.Root = !node || node->Level() == 0;
        in.Drive = node && ActiveList && ActiveList->DriveType() != 0;
        if (node) {
            in.NodeIsFileSystemFolder = !TreeView1->GetDirPathName(node).empty();
            // A folder the tree has not read yet counts by its button: the
            // control asked whether it has subfolders when it drew it (a
            // node not drawn yet may have some).
            in.NodeHasChildren = node->Count() > 0 || node->HasChildren() != TNodeButton::None;
            in.NodeExpanded = node->Expanded();
        }
        in.Place = node && (!in.DriveBoxOnNetwork || in.NodeIsFileSystemFolder);
        in.TreeVisible = TreeView1 && TreeView1->Visible();
        in.BookmarkCount = StdDirList.Count();
    });
    group(L"action states: the active list", [&] {
        if (!ActiveList)
            return;
        in.FullPath = ActiveList->FullPathItems();
        in.Virtual = ActiveList->IsVirtual();
        in.Parent = ActiveList->HasParentItem();
        in.ListCount = ActiveList->EntryCount();
        in.ListSelected = ActiveList->SelCount();
        in.ListLoadedFolder = ActiveList->Loaded();
        const TFileRec* first = nullptr;
        // Only when something is selected: a look at every record of a
        // folder of 100,000 files holds the window.
        for (int i = 0; in.ListSelected > 0 && i < ActiveList->ItemCount() && !first; ++i)
            if (const TFileRec* rec = ActiveList->GetItemData(i); rec && rec->Selected)
                first = rec;
        in.Item = first != nullptr;
        in.FirstSelectedIsParent = first && first->IsParentDir;
        in.FirstSelectedIsFile = first && !first->IsDirectory && !first->IsParentDir;
        in.FirstSelectedIsSplitPart = in.FirstSelectedIsFile && first->Ext == L"SPLIT";
        in.ListItems = ActiveList->ItemCount();
        in.ListNoFolderContents = !ActiveList->Loaded();
    });
    group(L"action states: the archive list", [&] {
        if (!ZipLV || !ZipLV->HandleAllocated())
            return;
        in.ArchiveOpen = !ZipLV->GetArchiveName().empty();
        in.ArchiveCount = ZipLV->Items().Count();
        in.ArchiveSelected = ZipLV->Items().SelCount();
    });
    group(L"action states: the viewers", [&] {
        if (TextView) {
            in.TextViewVisible = TextView->Visible();
            in.TextViewEnabled = TextView->Enabled();
            in.TextViewModified = TextView->Modified();
            in.TextViewReadOnly = TextView->ReadOnly();
            if (TextView->HandleAllocated()) {
                in.TextViewHasSelection = TextView->SelLength() > 0;
                in.TextViewCanUndo = TextView->CanUndo() && !TextView->FileName().empty();
            }
        }
        if (EasyEdit) {
            in.EditorVisible = EasyEdit->Visible();
            in.EditorModified = EasyEdit->GetModified();
            in.EditorReadOnly = EasyEdit->GetReadOnly();
            in.EditorWordWrap = EasyEdit->WordWrap();
            if (EasyEdit->HandleAllocated()) {
                in.EditorHasSelection = EasyEdit->GetSelLength() > 0;
                in.EditorCanUndo = EasyEdit->CanUndo();
            }
        }
        if (HexEditor1) {
            in.HexViewVisible = HexEditor1->Visible();
            in.HexViewModified = HexEditor1->Modified();
            in.HexViewOnly = HexEditor1->ReadOnlyView();
            in.HexViewHasSelection = HexEditor1->GetSelCount() > 0;
        }
        in.PictureVisible = ScrollBox1 && ScrollBox1->Visible();
        in.ForcedDisplayMode = fileDisplay_ ? fileDisplay_->ForcedMode() : Options.FileDisplay;
    });
    group(L"action states: the command line", [&] {
        in.CommandToolbarShown = ToolbarCMDLine && ToolbarCMDLine->Visible();
        in.CommandBoxEnabled = DOSCmdBox && DOSCmdBox->Enabled();
        in.CommandBoxHasText = DOSCmdBox && DOSCmdBox->HandleAllocated() && !DOSCmdBox->Text().empty();
        in.HistoryBoxHasText = ActiveHistory && ActiveHistory->HandleAllocated() && !ActiveHistory->Text().empty();
        if (navigation_) {
            in.HistoryIndex = navigation_->Commands().HistoryIndex();
            in.HistoryCount = navigation_->Commands().HistoryCount();
        }
        if (TComboBox* box = FocusedLineBox()) {
            DWORD start = 0, end = 0;
            SendMessageW(box->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            in.ComboHasSelection = end > start;
        }
    });
    // Asked without opening the clipboard, which would block other programs.
    in.ClipboardHasText = IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT);
    in.ClipboardHasFiles = IsClipboardFormatAvailable(CF_HDROP);
    in.SecondWindowShown = FilePanel2 && FilePanel2->Visible();
    group(L"action states: the last file operation", [&] {
        const TFileOperator* last = fileCommands_ ? fileCommands_->LastFileOperator() : nullptr;
        if (!last)
            return;
        in.LastOperationCanUndo = last->UndoAvailable();
        switch (last->LastRun().Operation) {
        case TFileOperation::foCopy:
            in.LastOperation = TUndoKind::Copy;
            break;
        case TFileOperation::foMove:
            in.LastOperation = TUndoKind::Move;
            break;
        case TFileOperation::foRename:
            in.LastOperation = TUndoKind::Rename;
            break;
        default:
            in.LastOperation = TUndoKind::Other;
            break;
        }
    });
    return in;
}

// ---- The save question ----------------------------------------------------------

bool TQRVMain::QuerySaveModifiedText()
{
    return saveQuestion_.Query();
}

std::optional<std::wstring> TQRVMain::ModifiedTextName()
{
    if (TextView && TextView->Visible() && TextView->Modified() && !TextView->FileName().empty())
        return TextView->FileName();
    if (EasyEdit && EasyEdit->Visible() && EasyEdit->GetModified() && fileDisplay_ &&
        !fileDisplay_->ViewedFile().empty())
        return fileDisplay_->ViewedFile();
    return std::nullopt;
}

TSaveAnswer TQRVMain::AskSave(const std::wstring& Question)
{
    switch (ShowMessageBox(Question, TMsgDlgType::mtConfirmation, 190, mbYes | mbNo | mbCancel)) {
    case mrYes:
        return TSaveAnswer::Yes;
    case mrNo:
        return TSaveAnswer::No;
    default:
        return TSaveAnswer::Cancel;
    }
}

bool TQRVMain::SaveText(const std::wstring& FileName)
{
    // Only the changed text of that name is saved, and only under it.
    const std::optional<std::wstring> changed = ModifiedTextName();
    if (FileName.empty() || changed != FileName)
        return false;
    const bool textView = TextView && TextView->Visible() && TextView->Modified() && TextView->FileName() == FileName;
    const std::wstring& name = FileName;
    const TTextWriter writer = [this, textView](const std::wstring& target) {
        if (textView)
            TextView->SaveToFile(target);
        else
            // The lines in the format they were loaded in; the document's own
            // save would take the temporary file's name as its file name.
            EasyEdit->Lines().SaveToFile(target);
    };
    const bool saved = qrv::SaveText(name, Options.BAKFiles, writer, [this](const std::wstring& message) {
        ShowMessageBox(message, TMsgDlgType::mtError, 190, mbOK | mbHelp);
    });
    if (saved)
        DiscardModified();
    return saved;
}

void TQRVMain::PostHeldDisplayRequest()
{
    PostDisplayRequest();
}

void TQRVMain::DiscardModified()
{
    if (TextView)
        TextView->SetModified(false);
    if (EasyEdit)
        EasyEdit->SetModified(false);
}

// ---- Options exchange -------------------------------------------------------------

void TQRVMain::OptionsDlgExecute()
{
    if (!OptionsDialog || !QuerySaveModifiedText())
        return;
    // The first list's thumbnails as they are now, so that an OK keeps them.
    if (LV1) {
        Options.PixelX = LV1->ThumbWidth();
        Options.PixelY = LV1->ThumbHeight();
        Options.DistX = LV1->ThumbSpaceWidth();
    }
    const TOptionsExchangeResult result = ExchangeOptions(Options, LastOptionsPage, *OptionsDialog);
    if (!result.Changed)
        return;
    ApplyOptions();
    if (result.ShowExtensionChanged)
        for (TDirView* list : {LV1, LV2})
            if (list && list->Visible())
                list->Reload(true);
    FKeysChanged = FKeysChanged || result.FKeysChanged;
    FilterListChanged = FilterListChanged || result.FilterListChanged;
    if (result.UseRegistryChanged) {
        // The other store has none of the sections yet.
        FKeysChanged = true;
        FilterListChanged = true;
        BookmarksChanged = true;
    }
    if (result.SyncDisplaySwitchedOn)
        SyncColumnLayout(liList1, liList2);
    if (result.FileDisplayChanged && fileDisplay_ && fileDisplay_->ViewFile()) {
        if (fileDisplay_->ClearDisplay())
            fileDisplay_->RequestDisplay();
    }
    // A failed save was shown in its box; the options stay in effect and
    // are saved again at exit.
    if (!SaveSettings())
        TraceIgnoredFailure(L"saving the settings after the options");
}

// ---- Dropped names ----------------------------------------------------------------

void TQRVMain::DOSCmdBoxDropFiles(const std::vector<std::wstring>& Names)
{
    if (DOSCmdBox && !Names.empty())
        DOSCmdBox->SetText(AppendDroppedNames(DOSCmdBox->Text(), Names));
}

// ---- The display pane's place ----------------------------------------------------

void TQRVMain::PlaceDisplayPane(bool Visible)
{
    // In place of the second file window when the options ask for it and
    // that window is offered; else below the file windows.
    const bool inSecondWindow =
        Options.FileDisplayPos == 1 && Options.SecondFileWin && FilePanel2 && FilePanel2->Visible();
    TWinControl* parent = inSecondWindow ? static_cast<TWinControl*>(FilePanel2) : PanelBottom;
    for (TWinControl* viewer :
         std::initializer_list<TWinControl*>{TextView, ScrollBox1, HexEditor1, ErrorPanel, DirPanel, LinkPanel,
                                             EasyEdit, WebPanel, MediaPanel, OLEPanel, ZipLV})
        if (viewer && viewer->Parent() != parent)
            viewer->SetParent(parent);
    if (Visible && inSecondWindow) {
        PanelBottom->SetVisible(false);
        Splitter3->SetVisible(false);
        // The second window's list gives its place to the viewers.
        if (ActiveList == LV2 && LV1)
            ActivateFileList(LV1);
        DirHist2->SetVisible(false);
        LV2->SetVisible(false);
        FilePanel2->SetVisible(true);
    } else {
        if (inSecondWindow || !Visible) {
            DirHist2->SetVisible(true);
            LV2->SetVisible(true);
        }
        if (!Visible && ErrorPanel)
            ErrorPanel->SetVisible(false);
        PanelBottom->SetVisible(Visible && !inSecondWindow);
        Splitter3->SetVisible(Visible && !inSecondWindow);
    }
}

void TQRVMain::HideFeaturesNotOffered()
{
    TActionUpdater::HideComponents(*this, FeaturesNotOffered());
}

// ---- The first file window's share ---------------------------------------------

void TQRVMain::KeepFirstWindowShare()
{
    if (!MainPanel || !FilePanel1 || Terminating())
        return;
    const int width = MainPanel->Width();
    const int height = MainPanel->Height();
    // A minimised or hidden panel has no share to give: the sizes stay, and
    // so does the size they are a share of.
    if (width <= 0 || height <= 0)
        return;
    const int oldWidth = std::exchange(mainPanelWidth_, width);
    const int oldHeight = std::exchange(mainPanelHeight_, height);
    // Before the first show the panes get their stored sizes as they are.
    if (!firstShowDone_ || !FilePanel2 || !FilePanel2->Visible())
        return;
    // Side by side the first window keeps its share of the width, stacked
    // its share of the height.
    if (FilePanel1->Align() == TAlign::alLeft && width != oldWidth)
        FilePanel1->SetWidth(ScaleFirstWindow(FilePanel1->Width(), oldWidth, width));
    else if (FilePanel1->Align() == TAlign::alTop && height != oldHeight)
        FilePanel1->SetHeight(ScaleFirstWindowHeight(FilePanel1->Height(), oldHeight, height));
}

void TQRVMain::BottomSplitterMoved()
{
    if (ActiveList && ActiveList->HandleAllocated()) {
        const TFileRec* item = ActiveList->ItemFocused();
        const int focused = item ? ActiveList->IndexOf(item) : -1;
        if (focused >= 0)
            ListView_EnsureVisible(ActiveList->Handle(), focused, FALSE);
    }
    // With the display in the second window's place the tree is not the
    // pane the splitter moved.
    const bool displayInSecondWindow = TextView && FilePanel2 && TextView->Parent() == FilePanel2;
    if (!displayInSecondWindow && TreeView1 && TreeView1->HandleAllocated())
        if (TTreeNode* node = TreeView1->Selected(); node && node->ItemId())
            TreeView_EnsureVisible(TreeView1->Handle(), node->ItemId());
    // The lists' headers changed size with them: the next pass repaints
    // their sort marks.
    headerRefreshNeeded_ = true;
    StartActionTimer();
}

void TQRVMain::RefreshHeadersWhenAsked()
{
    if (!std::exchange(headerRefreshNeeded_, false))
        return;
    for (TDirView* list : {LV1, LV2}) {
        // The second list only while it is shown.
        const bool shown = list && list->Visible() && (list != LV2 || (FilePanel2 && FilePanel2->Visible()));
        if (!shown || !list->HandleAllocated())
            continue;
        list->UpdateSortMarks();
        list->InvalidateHeader();
    }
}

void TQRVMain::PlaceProgressForm(TForm& Progress)
{
    if (!MainPanel || !MainPanel->HandleAllocated())
        return;
    RECT panel{};
    if (!GetWindowRect(MainPanel->Handle(), &panel)) {
        TraceIgnoredFailure(L"progress form: the main panel's place", GetLastError());
        return;
    }
    // Placed where it is put, not where the system would put it.
    Progress.SetPosition(TPosition::poDesigned);
    Progress.SetBounds(panel.left + 20, panel.top + 50, Progress.Width(), Progress.Height());
}

void TQRVMain::FormResize()
{
    if (statusArea_)
        statusArea_->FitPanels();
    if (Terminating() || !firstShowDone_)
        return;
    // A combo box that changes size selects all of its edit text; the path
    // boxes the user is not typing in drop that selection again.
    for (TComboBox* box : {DirHist1, DirHist2})
        if (box && box->HandleAllocated() && !HasFocus(box))
            SendMessageW(box->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
}

}  // namespace qrv

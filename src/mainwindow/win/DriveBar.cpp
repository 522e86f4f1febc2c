#include "mainwindow/win/DriveBar.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Menus.h"
#include "framework/win/WaitCursor.h"
#include "mainwindow/DriveSlots.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"
#include "panels/win/ShellDialogs.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <optional>

namespace qrv {

namespace {

// Runs one step of a refresh; its failure is the step's own and leaves
// the other steps to run.
template <class Step>
void RunStep(const wchar_t* what, Step step)
{
    try {
        step();
    } catch (const std::exception&) {
        TraceIgnoredException(what);
    }
}

TDriveSlotFacts DriveTableFacts()
{
    TDriveSlotFacts facts;
    facts.IsValid = [](wchar_t drive) { return DriveInfo().IsValid(drive); };
    facts.DriveType = [](wchar_t drive) {
        TDriveInfoRec rec;
        DriveInfo().GetData(drive, rec);
        return rec.DriveType;
    };
    facts.LongPrettyName = [](wchar_t drive) { return DriveInfo().GetLongPrettyName(drive); };
    facts.DisplayName = [](wchar_t drive) { return DriveInfo().GetDisplayName(drive); };
    facts.ImageIndex = [](wchar_t drive) {
        TDriveInfoRec rec;
        DriveInfo().GetData(drive, rec);
        return rec.ImageIndex < 1 ? DriveInfo().GetImageIndex(drive) : rec.ImageIndex;
    };
    return facts;
}

void ApplySlot(TKyToolbarButton* button, const TDriveSlot& slot, TImageList* images)
{
    if (!button)
        return;
    button->SetCaption(slot.Caption);
    button->Tag = slot.Tag;
    button->SetHint(slot.Hint);
    if (slot.Visible) {
        button->SetImages(images);
        button->SetImageIndex(slot.ImageIndex);
    }
    button->SetVisible(slot.Visible);
    button->SetEnabled(slot.Visible);
}

}  // namespace

TDriveBar::TDriveBar(TComponent* Owner, const TMainPanes& Panes, TMainWindowServices& Services, TDriveBarHost& Host,
                     TKyToolbar* ToolbarDrives, TMenuItem* DriveMenu)
    : ToolbarDrives(ToolbarDrives), owner_(Owner), panes_(Panes), services_(Services), host_(Host),
      driveMenu_(DriveMenu)
{}

void TDriveBar::CreateDriveMenuItems()
{
    if (!driveMenu_)
        return;
    for (int n = 1; n <= 27; ++n) {
        auto* item = new TMenuItem(owner_);
        item->SetCaption(IntToStr(n));
        item->Tag = n;
        item->SetEnabled(false);
        item->OnClick = [this](TComponent* sender) { DriveMenuItemClick(sender); };
        driveMenu_->Add(item);
        DriveMenuItems.push_back(item);
    }
}

bool TDriveBar::IsDriveButton(const TWinControl* Control) const
{
    const auto* button = dynamic_cast<const TKyToolbarButton*>(Control);
    return button && button->Tag != 0 && ToolbarDrives &&
           (button->Parent() == ToolbarDrives || (ToolbarDrives2 && button->Parent() == ToolbarDrives2));
}

TKyToolbarButton* TDriveBar::MakeDriveButton(TKyToolbar* Toolbar, std::vector<TKyToolbarButton*>& Buttons, int Slot,
                                             const wchar_t* NamePrefix)
{
    // Copies of the first button of the toolbar: same size and spacing.
    auto* button = new TKyToolbarButton(owner_);
    button->SetName(NamePrefix + IntToStr(Slot));
    if (!Buttons.empty()) {
        button->SetBounds(0, 0, Buttons.front()->Width(), Buttons.front()->Height());
        button->SetSpacing(Buttons.front()->Spacing());
    } else {
        button->SetBounds(0, 0, 40, Options.TBButtonSize);
        button->SetSpacing(2);
    }
    button->SetDisplayMode(TButtonDisplayMode::dmBoth);
    button->OnClick = [this](TComponent* sender) { btnDriveClick(sender); };
    button->SetParent(Toolbar);
    Buttons.push_back(button);
    return button;
}

void TDriveBar::RebuildDriveButtons()
{
    if (!ToolbarDrives)
        return;
    const TDriveSlots slots = BuildDriveSlots(DriveTableFacts());
    TDriveView* tree = panes_.TreeView1;
    TImageList* images = tree ? tree->Images() : nullptr;
    TUpdateLock<TKyToolbar> lock(*ToolbarDrives, &TKyToolbar::BeginUpdate, &TKyToolbar::EndUpdate);
    std::optional<TUpdateLock<TKyToolbar>> lock2;
    if (ToolbarDrives2)
        lock2.emplace(*ToolbarDrives2, &TKyToolbar::BeginUpdate, &TKyToolbar::EndUpdate);
    for (int i = 0; i < kDriveSlotCount; ++i) {
        const TDriveSlot& slot = slots[static_cast<size_t>(i)];
        // Buttons are made for the slots that show a drive; the others
        // stay unmade until a drive needs them.
        if (slot.Visible && i >= static_cast<int>(DriveButtons.size()))
            MakeDriveButton(ToolbarDrives, DriveButtons, i + 1, L"btnDrive");
        if (ToolbarDrives2 && slot.Visible && i >= static_cast<int>(DriveButtons2.size()))
            MakeDriveButton(ToolbarDrives2, DriveButtons2, i + 1, L"btnDrive2_");
        if (i < static_cast<int>(DriveButtons.size()))
            ApplySlot(DriveButtons[static_cast<size_t>(i)], slot, images);
        if (i < static_cast<int>(DriveButtons2.size()))
            ApplySlot(DriveButtons2[static_cast<size_t>(i)], slot, images);
        if (i < static_cast<int>(DriveMenuItems.size())) {
            TMenuItem* item = DriveMenuItems[static_cast<size_t>(i)];
            if (!slot.MenuCaption.empty())
                item->SetCaption(slot.MenuCaption);
            item->SetHint(slot.Hint);
            item->SetShortCut(slot.MenuShortCut);
            item->SetEnabled(slot.MenuEnabled);
            item->SetVisible(true);
        }
    }
}

void TDriveBar::RefreshDriveList(bool Forced)
{
    const TWaitCursor hourglass;
    TDriveView* tree = panes_.TreeView1;
    std::wstring directory;
    RunStep(L"reading the tree's folder before a drive refresh", [&] {
        if (tree)
            directory = tree->GetDirectory();
    });
    RunStep(L"refreshing the tree's drives", [&] {
        if (tree)
            tree->RefreshRootNodes(Forced, Forced ? 23 : 29);
    });
    RunStep(L"refilling the drive overview", [&] { RefillDriveOverview(); });
    RunStep(L"refilling the drive box", [&] { RefillDriveBox(); });
    RunStep(L"rebuilding the drive buttons", [&] { RebuildDriveButtons(); });
    RunStep(L"selecting the drive of a vanished folder", [&] {
        // The selected drive went: select the root of the drive it was on.
        if (tree && !tree->Selected() && !directory.empty())
            tree->SetCurrentDrive(UpCaseDrive(directory[0]));
    });
    TDirView* active = panes_.ActiveList;
    RunStep(L"reloading the active list on a CD drive", [&] { ReloadCDList(active); });
    RunStep(L"reloading the other list on a CD drive", [&] {
        TPanel* panel2 = panes_.FileListPanel(1);
        if (Options.SecondFileWin && panel2 && panel2->Visible())
            ReloadCDList(active == panes_.FileList(0) ? panes_.FileList(1) : panes_.FileList(0));
    });
    RunStep(L"refreshing the status bar after a drive refresh", [&] { services_.RefreshStatusBar(); });
}

void TDriveBar::ReloadCDList(TDirView* List)
{
    // A list on a CD drive follows the medium: read again when one is in,
    // else emptied, its path the drive's root.
    if (!List || List->Path().size() < 2 || List->Path()[1] != L':')
        return;
    const wchar_t drive = UpCaseDrive(List->Path()[0]);
    if (drive < L'A' || drive > L'Z')
        return;
    TDriveInfoRec rec;
    DriveInfo().GetData(drive, rec);
    if (rec.DriveType != kDriveTypeCDRom)
        return;
    if (DriveInfo().IsDriveAccessible(drive)) {
        List->Reload(true);
    } else {
        List->ClearItems();
        List->SetPathOnly(std::wstring(1, drive) + L":\\");
    }
}

void TDriveBar::RefillDriveOverview()
{
    if (OnRefillDriveOverview)
        OnRefillDriveOverview();
}

void TDriveBar::CreateDriveBox()
{
    TPanel* panel = panes_.PanelLeft;
    if (DriveBox || !panel)
        return;
    DriveBox = new TKyDriveComboBox(owner_);
    DriveBox->SetName(L"DriveBox");
    DriveBox->SetAlign(TAlign::alTop);
    DriveBox->SetParent(panel);
    DriveBox->SetDriveView(panes_.TreeView1);
    // Enter chose the drive; the user goes on in the tree.
    DriveBox->AddMessageListener([this](TMessage& message) {
        if (message.Msg == WM_KEYDOWN && message.WParam == VK_RETURN && !DriveBox->DroppedDown())
            if (TDriveView* tree = panes_.TreeView1; tree && tree->Visible())
                tree->SetFocus();
        return false;
    });
    // The status bar names the box's drive, also after Escape put it back.
    DriveBox->OnChange = [this](TComponent*) { services_.RefreshStatusBar(); };
    DriveBox->OnCloseUp = [this](TComponent*, bool) { services_.RefreshStatusBar(); };
}

wchar_t TDriveBar::DriveBoxDrive() const
{
    return DriveBox ? DriveBox->Drive() : L'\0';
}

void TDriveBar::RefillDriveBox()
{
    if (!DriveBox)
        return;
    DriveBox->FillDriveItems();
    // The tree's drive may have gone with the device: the box shows where
    // the tree stands.
    if (TDriveView* tree = panes_.TreeView1)
        if (const wchar_t drive = tree->GetCurrentDrive())
            DriveBox->SetDrive(drive);
}

void TDriveBar::StopDriveMonitor(wchar_t /*Drive*/)
{
    // The tree's per-drive folder monitors are stopped here once the tree
    // watches its drives.
}

void TDriveBar::UpdateDriveIcon(wchar_t Drive, int /*ImageIndex*/)
{
    RunStep(L"refilling the drive box for a new drive icon", [&] { RefillDriveBox(); });
    RunStep(L"rebuilding the drive buttons for a new drive icon", [&] { RebuildDriveButtons(); });
    RunStep(L"redrawing a drive root for a new drive icon", [&] {
        TDriveView* tree = panes_.TreeView1;
        if (!tree)
            return;
        TTreeNode* root = tree->DriveRootNode(UpCaseDrive(Drive));
        // A root without an icon of its own reads the table's new one when
        // it is drawn again.
        if (!root || !tree->NodeData(root).IconEmpty)
            return;
        root->SetText(root->Text());
        if (tree->HandleAllocated())
            InvalidateRect(tree->Handle(), nullptr, FALSE);
    });
}

void TDriveBar::ChangeDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    TDriveView* tree = panes_.TreeView1;
    if (tree && DriveInfo().IsValid(drive))
        tree->SetCurrentDrive(drive);
}

void TDriveBar::btnDriveClick(TComponent* Sender)
{
    auto* button = dynamic_cast<TKyToolbarButton*>(Sender);
    if (!button || button->Tag == 0)
        return;
    if (Options.TwoTBDrives && Options.SecondFileWin) {
        if (TDirView* list = panes_.FileList(button->Parent() == ToolbarDrives ? 0 : 1))
            host_.ActivateFileList(list);
    }
    ChangeDrive(static_cast<wchar_t>(button->Tag));
}

void TDriveBar::btnDriveMouseUp(TComponent* Sender, int X, int Y)
{
    // The shell's menu of the drive's root; a drive is neither cut, copied
    // nor renamed here, so the verbs returned for that are dropped.
    auto* button = dynamic_cast<TKyToolbarButton*>(Sender);
    if (!button || button->Tag == 0 || button->Tag == L'\\' || !button->HandleAllocated())
        return;
    POINT at{X, Y};
    if (X == -1 && Y == -1) {
        at = POINT{0, button->Height()};
        ClientToScreen(button->Handle(), &at);
    }
    std::wstring verb;
    ShowShellContextMenuForPath(button->Handle(), at, std::wstring(1, static_cast<wchar_t>(button->Tag)) + L":\\",
                                false, verb, false);
}

void TDriveBar::DriveMenuItemClick(TComponent* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item && !item->Caption().empty())
        ChangeDrive(item->Caption()[0]);
}

TKyDock* TDriveBar::FileWindowDock(int Index)
{
    if (Index != 0 && Index != 1)
        return nullptr;
    TKyDock*& dock = Index == 0 ? Dock976 : Dock977;
    TPanel* panel = panes_.FileListPanel(Index);
    if (dock || !panel)
        return dock;
    dock = new TKyDock(owner_);
    dock->SetName(Index == 0 ? L"Dock976" : L"Dock977");
    dock->SetAlign(TAlign::alTop);
    dock->SetPosition(TDockPosition::dpTop);
    dock->SetParent(panel);
    return dock;
}

void TDriveBar::DockDriveToolbars()
{
    if (!ToolbarDrives)
        return;
    if (!Options.TwoTBDrives) {
        if (ToolbarDrives2)
            ToolbarDrives2->SetVisible(false);
        ToolbarDrives->SetDragHandleStyle(TDragHandleStyle::dhSingle);
        ToolbarDrives->SetBorderStyle(TToolWindowBorderStyle::bsSingle);
        ToolbarDrives->SetFullSize(false);
        if (rememberedDriveDock_) {
            ToolbarDrives->SetDockedTo(rememberedDriveDock_);
            ToolbarDrives->SetDockRow(rememberedDriveRow_);
            ToolbarDrives->SetDockPos(rememberedDrivePos_);
            rememberedDriveDock_ = nullptr;
        }
        for (TKyDock* dock : {Dock976, Dock977})
            if (dock)
                dock->SetBoundLines(0);
        return;
    }

    // One drive toolbar above each list.
    FileWindowDock(0);
    FileWindowDock(1);
    if (!Dock976 || !Dock977)
        return;
    if (!ToolbarDrives2) {
        ToolbarDrives2 = new TKyToolbar(owner_);
        ToolbarDrives2->SetName(L"ToolbarDrives2");
        ToolbarDrives2->SetCaption(L"Laufwerke 2");
        ToolbarDrives2->SetDockedTo(Dock977);
        RebuildDriveButtons();
    }
    if (!rememberedDriveDock_ && ToolbarDrives->DockedTo() != Dock976) {
        rememberedDriveDock_ = ToolbarDrives->DockedTo();
        rememberedDriveRow_ = ToolbarDrives->DockRow();
        rememberedDrivePos_ = ToolbarDrives->DockPos();
    }
    ToolbarDrives2->SetVisible(ToolbarDrives->Visible());
    for (auto [toolbar, dock] : {std::pair{ToolbarDrives, Dock976}, std::pair{ToolbarDrives2, Dock977}}) {
        toolbar->SetDockedTo(dock);
        toolbar->SetBorderStyle(TToolWindowBorderStyle::bsNone);
        toolbar->SetFullSize(true);
        toolbar->SetDragHandleStyle(TDragHandleStyle::dhNone);
        dock->SetBoundLines(blTop | blLeft | blRight);
    }
}

}  // namespace qrv

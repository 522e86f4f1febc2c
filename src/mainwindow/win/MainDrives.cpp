// TQRVMain: the drives. The drive list follows device changes; each valid
// drive has a button on the drive toolbar(s) and an item in the drive menu,
// filled from the drive table by BuildDriveSlots.

#include "mainwindow/win/RudirezOziMain.h"

#include "framework/SysUtils.h"
#include "mainwindow/DriveSlots.h"
#include "mainwindow/Quorvan32Globals.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

namespace qrv {

namespace {

// Shows the hourglass for the life of the block, then the arrow again.
class THourglass {
public:
    THourglass() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
    ~THourglass() { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;
};

// Runs one step; its failure is the step's own.
template <class Step>
void Swallowing(Step step)
{
    try {
        step();
    } catch (const std::exception&) {
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

TKyToolbarButton* TQRVMain::MakeDriveButton(TKyToolbar* Toolbar, std::vector<TKyToolbarButton*>& Buttons, int Slot,
                                            const wchar_t* NamePrefix)
{
    // Copies of the first button of the toolbar: same size and spacing.
    auto* button = new TKyToolbarButton(this);
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

void TQRVMain::RebuildDriveButtons()
{
    if (!ToolbarDrives)
        return;
    const TDriveSlots slots = BuildDriveSlots(DriveTableFacts());
    TImageList* images = TreeView1 ? TreeView1->Images() : nullptr;
    ToolbarDrives->BeginUpdate();
    if (ToolbarDrives2)
        ToolbarDrives2->BeginUpdate();
    try {
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
    } catch (...) {
        ToolbarDrives->EndUpdate();
        if (ToolbarDrives2)
            ToolbarDrives2->EndUpdate();
        throw;
    }
    ToolbarDrives->EndUpdate();
    if (ToolbarDrives2)
        ToolbarDrives2->EndUpdate();
}

void TQRVMain::RefreshDriveList(bool Forced)
{
    THourglass hourglass;
    std::wstring directory;
    Swallowing([&] {
        if (TreeView1)
            directory = TreeView1->GetDirectory();
    });
    Swallowing([&] {
        if (TreeView1)
            TreeView1->RefreshRootNodes(Forced, Forced ? 23 : 29);
    });
    Swallowing([&] { RefillDriveOverview(); });
    Swallowing([&] { RefillDriveBox(); });
    Swallowing([&] { RebuildDriveButtons(); });
    Swallowing([&] {
        // The selected drive went: select the root of the drive it was on.
        if (TreeView1 && !TreeView1->Selected() && !directory.empty())
            TreeView1->SetCurrentDrive(UpCaseDrive(directory[0]));
    });
    Swallowing([&] { ReloadCDList(ActiveList); });
    Swallowing([&] {
        if (Options.SecondFileWin && FilePanel2 && FilePanel2->Visible())
            ReloadCDList(ActiveList == LV1 ? LV2 : LV1);
    });
    Swallowing([&] { RefreshStatusBar(); });
}

void TQRVMain::ReloadCDList(TDirView* List)
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

void TQRVMain::RefillDriveOverview()
{
    // The drive overview form refills itself here once it exists.
}

void TQRVMain::RefillDriveBox()
{
    // The drive box of the toolbar refills itself here once it exists.
}

void TQRVMain::StopDriveMonitor(wchar_t /*Drive*/)
{
    // The tree's per-drive folder monitors are stopped here once the tree
    // watches its drives.
}

void TQRVMain::UpdateDriveIcon(wchar_t Drive, int /*ImageIndex*/)
{
    Swallowing([&] { RefillDriveBox(); });
    Swallowing([&] { RebuildDriveButtons(); });
    Swallowing([&] {
        if (!TreeView1)
            return;
        TTreeNode* root = TreeView1->DriveRootNode(UpCaseDrive(Drive));
        // A root without an icon of its own reads the table's new one when
        // it is drawn again.
        if (!root || !TreeView1->NodeData(root).IconEmpty)
            return;
        root->SetText(root->Text());
        if (TreeView1->HandleAllocated())
            InvalidateRect(TreeView1->Handle(), nullptr, FALSE);
    });
}

void TQRVMain::ChangeDrive(wchar_t Drive)
{
    const wchar_t drive = UpCaseDrive(Drive);
    if (TreeView1 && DriveInfo().IsValid(drive))
        TreeView1->SetCurrentDrive(drive);
}

void TQRVMain::btnDriveClick(TComponent* Sender)
{
    auto* button = dynamic_cast<TKyToolbarButton*>(Sender);
    if (!button || button->Tag == 0)
        return;
    if (Options.TwoTBDrives && Options.SecondFileWin) {
        TDirView* list = button->Parent() == ToolbarDrives ? LV1 : LV2;
        if (list) {
            ActiveList = list;
            ActiveHistory = list == LV1 ? DirHist1 : DirHist2;
            if (list->HandleAllocated())
                list->SetFocus();
        }
    }
    ChangeDrive(static_cast<wchar_t>(button->Tag));
}

void TQRVMain::btnDriveMouseUp(TComponent* /*Sender*/, int /*X*/, int /*Y*/)
{
    // The shell context menu of the drive root opens here once the shell
    // menus are built.
}

void TQRVMain::DriveMenuItemClick(TComponent* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item && !item->Caption().empty())
        ChangeDrive(item->Caption()[0]);
}

void TQRVMain::DockDriveToolbars()
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

    // One drive toolbar above each list, made on first use.
    auto makeDock = [this](TKyDock*& dock, TPanel* panel, const wchar_t* name) {
        if (dock || !panel)
            return;
        dock = new TKyDock(this);
        dock->SetName(name);
        dock->SetAlign(TAlign::alTop);
        dock->SetPosition(TDockPosition::dpTop);
        dock->SetParent(panel);
    };
    makeDock(Dock976, FilePanel1, L"Dock976");
    makeDock(Dock977, FilePanel2, L"Dock977");
    if (!ToolbarDrives2) {
        ToolbarDrives2 = new TKyToolbar(this);
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

// The drive bar on its own: a form with a drive toolbar, two panels and a
// menu, and a fake of the window it serves.

#include "mainwindow/win/DriveBar.h"

#include "FakeMainWindowServices.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qrv;

namespace {

class FakeDriveBarHost : public TDriveBarHost, public FakeMainWindowServices {
public:
    FakeDriveBarHost()
    {
        // Stand-ins for the lists, never read: clicks only hand them back.
        panes.LV1 = reinterpret_cast<TDirView*>(0x1000);
        panes.LV2 = reinterpret_cast<TDirView*>(0x2000);
    }
    void ActivateFileList(TDirView* List) override { activated.push_back(List); }

    TDirView*& List(int Index) { return Index == 0 ? panes.LV1 : panes.LV2; }
    TPanel*& Panel(int Index) { return Index == 0 ? panes.FilePanel1 : panes.FilePanel2; }

    TMainPanes panes;
    // The tree and its panel, for the tests of the drive box.
    TDriveView*& tree = panes.TreeView1;
    TPanel*& treePanel = panes.PanelLeft;
    std::vector<TDirView*> activated;
};

class DriveBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedOptions = Options;
        // The drive table as the tree fills it when it lists the drives.
        ASSERT_TRUE(DriveInfo().RefreshAll());
        form.SetBounds(0, 0, 700, 500);
        form.HandleNeeded();
        topDock = new TKyDock(&form);
        topDock->SetAlign(TAlign::alTop);
        topDock->SetParent(&form);
        toolbar = new TKyToolbar(&form);
        toolbar->SetName(L"ToolbarDrives");
        toolbar->SetDockedTo(topDock);
        for (int i = 0; i < 2; ++i) {
            host.Panel(i) = new TPanel(&form);
            host.Panel(i)->SetAlign(i == 0 ? TAlign::alTop : TAlign::alClient);
            host.Panel(i)->SetHeight(150);
            host.Panel(i)->SetParent(&form);
        }
        menu = new TMainMenu(&form);
        driveMenu = new TMenuItem(&form);
        menu->Items()->Add(driveMenu);
        bar = std::make_unique<TDriveBar>(&form, host.panes, host, host, toolbar, driveMenu);
    }
    void TearDown() override { Options = savedOptions; }

    static std::wstring ValidDrives()
    {
        std::wstring valid;
        for (wchar_t drive = L'A'; drive <= L'Z'; ++drive)
            if (DriveInfo().IsValid(drive))
                valid += drive;
        return valid;
    }

    TOptions savedOptions;
    TForm form{nullptr};
    TKyDock* topDock = nullptr;
    TKyToolbar* toolbar = nullptr;
    TMainMenu* menu = nullptr;
    TMenuItem* driveMenu = nullptr;
    FakeDriveBarHost host;
    std::unique_ptr<TDriveBar> bar;
};

}  // namespace

TEST_F(DriveBarTest, MenuItemsAndButtonsFollowTheDriveTable)
{
    bar->CreateDriveMenuItems();
    ASSERT_EQ(driveMenu->Count(), 27);
    ASSERT_EQ(bar->DriveMenuItems.size(), 27u);
    for (TMenuItem* item : bar->DriveMenuItems)
        EXPECT_FALSE(item->Enabled()) << "disabled until a drive fills it";

    bar->RebuildDriveButtons();
    const std::wstring valid = ValidDrives();
    ASSERT_FALSE(valid.empty());
    ASSERT_GE(bar->DriveButtons.size(), valid.size());
    for (size_t i = 0; i < valid.size(); ++i) {
        EXPECT_EQ(bar->DriveButtons[i]->Parent(), static_cast<TWinControl*>(toolbar));
        EXPECT_EQ(bar->DriveButtons[i]->Tag, static_cast<intptr_t>(valid[i]));
        EXPECT_TRUE(bar->IsDriveButton(bar->DriveButtons[i]));
        EXPECT_TRUE(bar->DriveMenuItems[i]->Enabled());
    }
    EXPECT_FALSE(bar->IsDriveButton(toolbar));
    EXPECT_FALSE(bar->IsDriveButton(nullptr));
}

TEST_F(DriveBarTest, ARefreshReachesTheWindowOnlyThroughItsHost)
{
    // No lists: the refresh would read their folders.
    host.List(0) = host.List(1) = nullptr;
    bar->RefreshDriveList(false);
    EXPECT_EQ(host.statusRefreshes, 1);
    EXPECT_FALSE(bar->DriveButtons.empty()) << "the buttons were built";
}

TEST_F(DriveBarTest, TwoDriveToolbarsSitAboveTheListsAndActivateTheirList)
{
    Options.TwoTBDrives = true;
    Options.SecondFileWin = true;
    bar->DockDriveToolbars();
    ASSERT_NE(bar->Dock976, nullptr);
    ASSERT_NE(bar->Dock977, nullptr);
    ASSERT_NE(bar->ToolbarDrives2, nullptr);
    EXPECT_EQ(bar->Dock976->Parent(), static_cast<TWinControl*>(host.Panel(0)));
    EXPECT_EQ(bar->Dock977->Parent(), static_cast<TWinControl*>(host.Panel(1)));
    EXPECT_EQ(toolbar->DockedTo(), bar->Dock976);
    EXPECT_EQ(bar->ToolbarDrives2->DockedTo(), bar->Dock977);
    ASSERT_FALSE(bar->DriveButtons2.empty());
    EXPECT_TRUE(bar->IsDriveButton(bar->DriveButtons2[0]));

    // A button of the second toolbar makes the second list the active one.
    bar->btnDriveClick(bar->DriveButtons2[0]);
    bar->btnDriveClick(bar->DriveButtons[0]);
    ASSERT_EQ(host.activated.size(), 2u);
    EXPECT_EQ(host.activated[0], host.List(1));
    EXPECT_EQ(host.activated[1], host.List(0));

    // Back to one toolbar: it returns to where it was.
    Options.TwoTBDrives = false;
    bar->DockDriveToolbars();
    EXPECT_EQ(toolbar->DockedTo(), topDock);
    EXPECT_FALSE(bar->ToolbarDrives2->Visible());
}

TEST_F(DriveBarTest, TheDriveBoxStandsAboveTheTreeAndFollowsIt)
{
    bar->CreateDriveBox();
    EXPECT_EQ(bar->DriveBox, nullptr) << "no box without the tree's panel";
    EXPECT_EQ(bar->DriveBoxDrive(), L'\0');
    host.treePanel = new TPanel(&form);
    host.treePanel->SetAlign(TAlign::alLeft);
    host.treePanel->SetWidth(200);
    host.treePanel->SetParent(&form);
    host.tree = new TDriveView(&form);
    host.tree->SetAlign(TAlign::alClient);
    host.tree->SetParent(host.treePanel);
    bar->CreateDriveBox();
    TKyDriveComboBox* box = bar->DriveBox;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Parent(), host.treePanel);
    EXPECT_EQ(box->DriveView(), host.tree);
    EXPECT_EQ(host.tree->DriveComboBox(), box);
    form.Show();
    Application->ProcessMessages();
    EXPECT_LE(box->Top() + box->Height(), host.tree->Top()) << "above the tree";

    // A device change refills the box; it shows the tree's drive. (No
    // lists: the refresh would read their folders.)
    host.List(0) = host.List(1) = nullptr;
    host.tree->SetCurrentDrive(L'T');
    bar->RefreshDriveList(false);
    EXPECT_EQ(bar->DriveBoxDrive(), L'T');
    std::wstring letters;
    for (int i = 0; i < box->Items().Count(); ++i)
        letters += box->Items().Get(i)[0];
    EXPECT_EQ(letters, ValidDrives());
    // A choice in the box switches the tree and refreshes the status bar.
    const int before = host.statusRefreshes;
    box->SetItemIndex(box->IndexOfDrive(L'C'));
    box->Change();
    EXPECT_EQ(host.tree->GetCurrentDrive(), L'C');
    EXPECT_GT(host.statusRefreshes, before);
    delete host.tree;
    host.tree = nullptr;
    EXPECT_EQ(box->DriveView(), nullptr) << "a freed tree is forgotten";
}

// The drive box on a form with a folder tree, the way the main window and
// the dialogs link them.

#include "TestDir.h"
#include "win/WineDrive.h"

#include "framework/win/Forms.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace qrv;

namespace {

class DriveComboTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DriveInfo().RefreshAll());
        form.SetBounds(0, 0, 400, 500);
        tree = new TDriveView(&form);
        tree->SetBounds(0, 40, 400, 400);
        tree->SetParent(&form);
        box = new TKyDriveComboBox(&form);
        box->SetBounds(0, 0, 200, 24);
        box->SetParent(&form);
        box->SetDriveView(tree);
        form.HandleNeeded();
        form.Show();
        Application->ProcessMessages();
    }

    // The letters of the box's items.
    std::wstring Letters()
    {
        std::wstring letters;
        for (int i = 0; i < box->Items().Count(); ++i)
            letters += box->Items().Get(i).substr(0, 1);
        return letters;
    }
    static std::wstring ValidOfTypes(TDriveTypes types)
    {
        std::wstring letters;
        for (wchar_t drive = L'A'; drive <= L'Z'; ++drive) {
            TDriveInfoRec rec;
            DriveInfo().GetData(drive, rec);
            if (rec.Valid && DriveTypeListed(rec.DriveType, types))
                letters += drive;
        }
        return letters;
    }
    wchar_t Shown() { return box->ItemIndex() >= 0 ? box->Items().Get(box->ItemIndex())[0] : L'\0'; }
    void Choose(wchar_t drive)
    {
        box->SetItemIndex(box->IndexOfDrive(drive));
        box->Change();
    }
    void Key(WORD key) { SendMessageW(box->Handle(), WM_KEYDOWN, key, 1); }

    TForm form{nullptr};
    TDriveView* tree = nullptr;
    TKyDriveComboBox* box = nullptr;
};

// Mounting a drive changes what every process sees: these run alone.
class DriveComboMountTest : public DriveComboTest {};

}  // namespace

TEST_F(DriveComboTest, ListsTheConfiguredDrivesOfItsTypes)
{
    const std::wstring all = ValidOfTypes(kDefaultDriveTypes);
    ASSERT_NE(all.find(L'T'), std::wstring::npos) << "the test drive";
    EXPECT_EQ(Letters(), all);
    for (int i = 0; i < box->Items().Count(); ++i) {
        const wchar_t drive = box->Items().Get(i)[0];
        EXPECT_EQ(box->Items().Get(i).substr(1), DriveInfo().GetPrettyName(drive)) << "the text after the letter";
    }
    box->SetDisplayStyle(TVolumeDisplayStyle::doDisplayName);
    EXPECT_EQ(box->Items().Get(box->IndexOfDrive(L'T')).substr(1), DriveInfo().GetDisplayName(L'T'));
    EXPECT_EQ(Shown(), box->Drive()) << "the item of the drive shown is selected";
}

TEST_F(DriveComboTest, ChoosingADriveSwitchesTheTreeAndTheTreeMovesTheBox)
{
    Choose(L'C');
    EXPECT_EQ(tree->GetCurrentDrive(), L'C');
    EXPECT_EQ(box->Drive(), L'C');
    EXPECT_EQ(box->PreviousDrive(), L'C');
    tree->SetCurrentDrive(L'T');
    EXPECT_EQ(box->Drive(), L'T') << "a drive change in the tree moves the box";
    EXPECT_EQ(Shown(), L'T');
    // Enter in the closed box shows its drive in the tree again.
    tree->SetCurrentDrive(L'C');
    box->SetItemIndex(box->IndexOfDrive(L'T'));
    Key(VK_RETURN);
    EXPECT_EQ(tree->GetCurrentDrive(), L'C') << "selecting an item without a choice changes nothing";
    box->SetDrive(L'T');
    Key(VK_RETURN);
    EXPECT_EQ(tree->GetCurrentDrive(), L'T');
}

TEST_F(DriveComboTest, DownOpensBrowsingAndEscapeReturns)
{
    tree->SetCurrentDrive(L'C');
    ASSERT_EQ(box->Drive(), L'C');
    Key(VK_DOWN);
    ASSERT_TRUE(box->DroppedDown()) << "Down opens the closed box";
    EXPECT_EQ(Shown(), L'C') << "opening chose nothing";
    EXPECT_EQ(box->DroppedWidth(), box->GetMaxItemWidth() + 8);
    // The list is never narrower than the box.
    EXPECT_EQ(SendMessageW(box->Handle(), CB_GETDROPPEDWIDTH, 0, 0), std::max(box->DroppedWidth(), box->Width()));
    // Browsing the open list.
    Key(VK_DOWN);
    Application->ProcessMessages();
    EXPECT_NE(box->Drive(), L'C') << "the next drive is shown";
    EXPECT_EQ(box->PreviousDrive(), L'C');
    EXPECT_EQ(tree->GetCurrentDrive(), L'C') << "browsing does not switch the tree";
    Key(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->Drive(), L'C') << "Escape returns to the drive shown before";
    EXPECT_EQ(Shown(), L'C');
    EXPECT_EQ(tree->GetCurrentDrive(), L'C');

    box->DropDownFixedWidth = 300;
    Key(VK_DOWN);
    EXPECT_EQ(SendMessageW(box->Handle(), CB_GETDROPPEDWIDTH, 0, 0), 300);
    Key(VK_ESCAPE);
}

TEST_F(DriveComboMountTest, FixedOnlyRefusesOtherDrivesAndAnUnreadableOneShowsWhereTheTreeEnded)
{
    test::TestDir dir;
    // A CD drive whose folder is missing: the drive has no medium.
    test::WineDrive cd(dir.File(L"fehlt"), DRIVE_CDROM);
    const wchar_t letter = cd.Letter();
    if (!letter)
        GTEST_SKIP() << "no Wine mount manager to configure a drive";
    ASSERT_TRUE(DriveInfo().RefreshAll());
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    box->FillDriveItems();
    ASSERT_GE(box->IndexOfDrive(letter), 0) << "a CD drive is listed by default";

    tree->SetCurrentDrive(L'T');
    Choose(letter);
    EXPECT_EQ(box->Drive(), tree->GetCurrentDrive()) << "the box shows where the tree ended";
    EXPECT_EQ(Shown(), tree->GetCurrentDrive());

    tree->SetCurrentDrive(L'T');
    box->SetDriveTypes(DriveTypeBit(TDriveType::dtFixed));
    EXPECT_EQ(Letters(), ValidOfTypes(DriveTypeBit(TDriveType::dtFixed)));
    EXPECT_EQ(box->IndexOfDrive(letter), -1);
    box->SetDrive(letter);
    EXPECT_EQ(box->Drive(), L'T') << "a drive of another type is refused";
    EXPECT_EQ(box->PreviousDrive(), L'T') << "and is not what Escape returns to";
    box->SetDriveTypes(kDefaultDriveTypes);
    tree->SetCurrentDrive(L'T');
}

TEST_F(DriveComboTest, AClickInTheOpenListSwitchesTheTree)
{
    tree->SetCurrentDrive(L'T');
    box->SetDroppedDown(true);
    ASSERT_TRUE(box->DroppedDown());
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(box->Handle(), &info));
    RECT item{};
    const int index = box->IndexOfDrive(L'C');
    ASSERT_NE(SendMessageW(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    // The list reports a click's choice only after it closed.
    const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    SendMessageW(info.hwndList, WM_MOUSEMOVE, 0, at);
    SendMessageW(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(info.hwndList, WM_LBUTTONUP, 0, at);
    Application->ProcessMessages();
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->Drive(), L'C');
    EXPECT_EQ(Shown(), L'C');
    EXPECT_EQ(tree->GetCurrentDrive(), L'C');
}

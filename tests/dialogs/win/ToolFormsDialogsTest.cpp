// The drive overview on the system's drives (the test drive T: with the
// serial number Wine reports for it) and on given facts, and the text
// properties form filled from a record and read back.

#include "dialogs/win/DriveOverView.h"
#include "dialogs/win/TextPropertiesForm.h"
#include "framework/win/Buttons.h"
#include "framework/win/ComCtrls.h"
#include "framework/win/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qrv;

namespace {

std::wstring CellText(TListView& list, int item, int column)
{
    wchar_t text[256] = L"";
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = text;
    request.cchTextMax = 256;
    SendMessageW(list.Handle(), LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
    return text;
}

TEST(DriveOverViewTest, ListsTheTestDriveWithItsSerial)
{
    // ctest: takes the focus. The form is shown and activated.
    DWORD serial = 0;
    ASSERT_TRUE(GetVolumeInformationW(L"T:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
    TFormDriveOverView form(nullptr);
    form.Show();
    const auto& rows = form.Rows();
    ASSERT_GE(rows.size(), 2u);
    int shown = -1;
    for (size_t i = 0; i + 1 < rows.size(); ++i)
        if (rows[i].Cells[0].find(L"T:") != std::wstring::npos)
            shown = static_cast<int>(i);
    ASSERT_GE(shown, 0) << "T: is not listed";
    EXPECT_EQ(rows[shown].Cells[2], SerialText(serial));
    // The list shows what the rows hold, the totals last.
    TListView& list = *form.DriveList;
    ASSERT_EQ(list.ItemCount(), static_cast<int>(rows.size()));
    EXPECT_EQ(CellText(list, shown, 2), SerialText(serial));
    EXPECT_EQ(CellText(list, list.ItemCount() - 1, 0), L"Gesamt:");
    // The columns fill the list's width.
    RECT client{};
    GetClientRect(list.Handle(), &client);
    int widths = 0;
    for (int i = 0; i < list.ColumnCount(); ++i)
        widths += list.ColumnWidth(i);
    EXPECT_NEAR(widths, client.right - client.left, list.ColumnCount());
    form.Hide();
}

TEST(DriveOverViewTest, RemovableChoiceAndRefillFollowTheFacts)
{
    TFormDriveOverView form(nullptr);
    std::vector<bool> asked;
    form.FactsSource = [&](bool removable) {
        asked.push_back(removable);
        std::vector<TDriveFacts> drives = {{L'C', 3, true, L"C:", L"NTFS", 0x1234, 1000, 250, -1}};
        if (removable)
            drives.push_back({L'A', 2, true, L"A:", L"FAT", 0x9, 100, 100, -1});
        return drives;
    };
    form.Show();
    EXPECT_EQ(form.Rows().size(), 2u);
    form.chkRemovable->SetChecked(true);
    form.chkRemovable->OnClick(form.chkRemovable);
    EXPECT_EQ(form.Rows().size(), 3u);
    form.btnRefresh->Click();
    EXPECT_EQ(asked, (std::vector<bool>{false, true, true}));
    // Nothing stays selected.
    TListView& list = *form.DriveList;
    list.SetSelected(0, true);
    EXPECT_EQ(list.SelCount(), 0);
    form.Hide();
}

TEST(TextPropertiesFormTest, ShowsTheRecordAndReadsTheControls)
{
    // ctest: takes the focus. The form is shown and activated.
    TTextPropertiesValues values;
    values.KeyMapping = 2;
    values.TabStops = L"4,8";
    values.WantTabs = true;
    values.BAKFiles = false;
    values.Switches = {{L"Eins", true}, {L"Zwei", false}};
    TTextPropertiesForm form(nullptr, values);
    form.Show();
    EXPECT_FALSE(form.chkSyntaxHighlight->Visible());
    EXPECT_FALSE(form.chkHighlightBrackets->Visible());
    ASSERT_EQ(form.chkSwitches.size(), 2u);
    EXPECT_EQ(form.chkSwitches[0]->Caption(), L"Eins");
    // Untouched, the controls give the record back.
    const TTextPropertiesValues same = form.Values();
    EXPECT_EQ(same.KeyMapping, 2);
    EXPECT_EQ(same.TabStops, L"4,8");
    EXPECT_TRUE(same.WantTabs);
    EXPECT_FALSE(same.BAKFiles);
    EXPECT_TRUE(same.Switches[0].Checked);
    EXPECT_FALSE(same.Switches[1].Checked);
    form.cbKeyMapping->SetItemIndex(0);
    form.edTabStops->SetText(L"3");
    form.chkWantTabs->SetChecked(false);
    form.chkBAKFiles->SetChecked(true);
    form.chkSwitches[1]->SetChecked(true);
    const TTextPropertiesValues changed = form.Values();
    EXPECT_EQ(changed.KeyMapping, 0);
    EXPECT_EQ(changed.TabStops, L"3");
    EXPECT_FALSE(changed.WantTabs);
    EXPECT_TRUE(changed.BAKFiles);
    EXPECT_TRUE(changed.Switches[1].Checked);
    // "&OK" closes only when the window accepts what the controls hold.
    std::vector<std::wstring> offered;
    bool accept = false;
    form.CanAccept = [&](const TTextPropertiesValues& shown) {
        offered.push_back(shown.TabStops);
        return accept;
    };
    form.btnOk->Click();
    EXPECT_NE(form.ModalResult(), mrOk);
    accept = true;
    form.btnOk->Click();
    EXPECT_EQ(form.ModalResult(), mrOk);
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"3", L"3"}));
    form.Hide();
}

}  // namespace

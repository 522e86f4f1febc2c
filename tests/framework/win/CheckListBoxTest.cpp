// The check list box: a click on an item's box and the space bar toggle
// its check and tell OnClickCheck; a click beside the box, a disabled item
// and SetChecked do not tell it.

#include "framework/win/CheckListBox.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(CheckListBox, ClicksOnTheBoxAndSpaceToggleEnabledItems)
{
    TForm form(nullptr);
    auto* list = new TCheckListBox(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 200, 100);
    list->SetItemHeight(18);
    for (const wchar_t* caption : {L"Datei", L"Ansicht", L"Netz"})
        list->Items().Add(caption);
    list->SetChecked(2, true);
    list->SetItemEnabled(1, false);
    int told = 0;
    list->OnClickCheck = [&](TComponent*) { ++told; };
    form.HandleNeeded();
    const HWND window = list->Handle();
    EXPECT_FALSE(list->Checked(0));
    EXPECT_TRUE(list->Checked(2));
    EXPECT_EQ(told, 0);

    const auto click = [&](int Item, int X) {
        const RECT rect = list->ItemRect(Item);
        const LPARAM at = MAKELPARAM(X, (rect.top + rect.bottom) / 2);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
    };
    click(0, 5);
    EXPECT_TRUE(list->Checked(0));
    EXPECT_EQ(told, 1);
    // On the caption the click only selects.
    click(0, 120);
    EXPECT_TRUE(list->Checked(0));
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(told, 1);
    click(1, 5);
    EXPECT_FALSE(list->Checked(1));
    EXPECT_EQ(told, 1);

    list->SetItemIndex(2);
    SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(list->Checked(2));
    EXPECT_EQ(told, 2);
    EXPECT_THROW(list->SetChecked(3, true), EListError);
    EXPECT_FALSE(list->Checked(7));
}

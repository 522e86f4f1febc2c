// Actions: linked menu items and controls follow the action, execution only
// while enabled, and a shortcut goes to the action before the focused control.

#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"

#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

TEST(ActnList, LinkedItemsAndControlsFollowTheAction)
{
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form, list);
    auto* item = new TMenuItem(&form);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    action->SetCaption(L"Datei a&nzeigen");
    action->SetShortCut(VK_F11);
    action->Link(item);
    action->Link(button);
    EXPECT_EQ(item->Caption(), L"Datei a&nzeigen");
    EXPECT_EQ(item->ShortCut(), VK_F11);

    int runs = 0;
    action->OnExecute = [&](TComponent* sender) {
        EXPECT_EQ(sender, action);
        ++runs;
        action->SetChecked(!action->Checked());
    };
    item->Click();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(item->Checked());
    button->OnClick(button);
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(item->Checked());

    action->SetEnabled(false);
    action->SetHint(L"Hinweis");
    EXPECT_FALSE(item->Enabled());
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(button->Hint(), L"Hinweis");
    EXPECT_FALSE(action->Execute());
    item->Click();
    EXPECT_EQ(runs, 2);

    action->OnUpdate = [](TComponent* sender) { static_cast<TAction*>(sender)->SetEnabled(true); };
    list->UpdateActions();
    EXPECT_TRUE(item->Enabled());
    EXPECT_TRUE(list->IsShortCut(VK_F11));
    EXPECT_EQ(runs, 3);
    action->SetVisible(false);
    EXPECT_FALSE(item->Visible());
    EXPECT_FALSE(list->IsShortCut(VK_F11));
}

TEST(ActnList, AnEnabledActionTakesItsShortcutBeforeTheFocusedControl)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form, list);
    action->SetShortCut(ShortCut('T', scCtrl));
    int runs = 0;
    action->OnExecute = [&](TComponent*) { ++runs; };
    form.Show();
    edit->SetFocus();

    auto pressCtrlT = [&] {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        PostMessageW(edit->Handle(), WM_KEYDOWN, 'T', 1);
        test::PumpFor(std::chrono::milliseconds(100));
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    };
    pressCtrlT();
    EXPECT_EQ(runs, 1);
    // Disabled, the key goes on to the control.
    action->SetEnabled(false);
    pressCtrlT();
    EXPECT_EQ(runs, 1);
    // An action whose list is gone stays usable on its own.
    delete list;
    action->SetEnabled(true);
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(runs, 2);
}

TEST(ActnList, TheFormPreviewsKeysAfterTheShortcutsAndBeforeTheControl)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form, list);
    action->SetShortCut(ShortCut('T', scCtrl));
    std::vector<std::wstring> seen;
    action->OnExecute = [&](TComponent*) { seen.push_back(L"action"); };
    form.KeyPreview = true;
    form.OnKeyDown = [&](TComponent*, uint16_t& Key, TShortCut Shift) {
        seen.push_back(L"down " + std::to_wstring(Key) + ((Shift & scCtrl) ? L" ctrl" : L""));
        if (Key == 'Q')
            Key = 0;
    };
    form.OnKeyUp = [&](TComponent*, uint16_t& Key, TShortCut) { seen.push_back(L"up " + std::to_wstring(Key)); };
    form.OnKeyPress = [&](TComponent*, wchar_t& Key) {
        if (Key == L'x')
            Key = 0;
    };
    form.Show();
    edit->SetFocus();
    auto post = [&](UINT message, WPARAM key, bool ctrl) {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(edit->Handle(), message, key, message == WM_KEYUP ? 0xC0000001 : 1);
        test::PumpFor(std::chrono::milliseconds(50));
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    };
    // The enabled action's shortcut goes first: the form does not see it.
    post(WM_KEYDOWN, 'T', true);
    // The form sees the others, with their modifiers, and may swallow them.
    post(WM_KEYDOWN, 'Q', true);
    post(WM_KEYUP, 'Q', false);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"action", L"down 81 ctrl", L"up 81"}));
    // The control gets the characters the form lets through.
    post(WM_CHAR, L'x', false);
    post(WM_CHAR, L'y', false);
    EXPECT_EQ(edit->Text(), L"y");
    // Without the preview the form sees nothing.
    form.KeyPreview = false;
    seen.clear();
    post(WM_KEYUP, 'Q', false);
    post(WM_CHAR, L'x', false);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(edit->Text(), L"yx");
}

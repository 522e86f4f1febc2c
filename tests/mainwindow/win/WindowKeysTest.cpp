// The window's keys over a fake window: what a decision of the key table
// does (commands, user commands, focus moves, beeps, the toolbar's set) and
// what TWindowKeys keeps between keys (the swallowed character, the control
// Strg+Tab left).

#include "mainwindow/win/WindowKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

class FakeKeysHost : public TWindowKeysHost {
public:
    TMainKeyState state;
    int stateAsked = 0;
    std::vector<std::wstring> done;
    std::vector<int> sets;
    HWND focused = reinterpret_cast<HWND>(0x100);
    bool canFocus = true;
    bool hasHandler = true;

    TMainKeyState KeyState() override
    {
        ++stateAsked;
        return state;
    }
    // A pass due: the states it brings.
    bool passDue = false;
    TMainKeyState afterPass;
    int passes = 0;
    bool RefreshStates() override
    {
        if (!passDue)
            return false;
        passDue = false;
        ++passes;
        state = afterPass;
        return true;
    }
    TKeyFocus FocusKind() override { return state.Focus; }
    bool NameEditing() override { return state.NameEditing; }
    bool RunCommand(TActionId Id) override
    {
        done.push_back(L"command " + std::wstring(ActionRow(Id).Name));
        return hasHandler;
    }
    void RunUserCommand(int Key, int Set) override
    {
        done.push_back(L"user " + std::to_wstring(Set) + L" " + std::to_wstring(Key));
    }
    void ShowFunctionKeySet(int Set) override { sets.push_back(Set); }
    void DropDownHistory() override { done.push_back(L"history"); }
    void DropDownDriveBox() override { done.push_back(L"drives"); }
    HWND FocusedWindow() override { return focused; }
    void FocusCommandBox() override
    {
        done.push_back(L"to box");
        focused = reinterpret_cast<HWND>(0x200);
    }
    bool FocusWindow(HWND Window) override
    {
        if (!canFocus)
            return false;
        done.push_back(L"back " + std::to_wstring(reinterpret_cast<uintptr_t>(Window)));
        focused = Window;
        return true;
    }
    void FocusActiveList() override { done.push_back(L"list"); }
    void Beep() override { done.push_back(L"beep"); }
};

class WindowKeysTest : public testing::Test {
protected:
    void SetUp() override
    {
        host.state.Focus = TKeyFocus::List1;
        host.state.CommandLineShown = true;
        host.state.DeleteEnabled = true;
        host.state.DeletePhysicalEnabled = true;
    }
    // Key down; true when the key was taken.
    bool Down(uint16_t Key, TShortCut Shift = scNone)
    {
        uint16_t key = Key;
        keys.KeyDown(key, Shift);
        return key == 0;
    }
    // A character; true when it reaches the control.
    bool Char(wchar_t Character)
    {
        wchar_t c = Character;
        keys.KeyPress(c);
        return c != 0;
    }

    FakeKeysHost host;
    TWindowKeys keys{host};
};

}  // namespace

TEST_F(WindowKeysTest, ShiftCountsForThePressedDeleteOnly)
{
    // Shift went down in the list and came up elsewhere, unseen.
    EXPECT_FALSE(Down(vkey::kShift, scShift));
    EXPECT_EQ(host.stateAsked, 0) << "a modifier alone needs no state";
    EXPECT_TRUE(Down(vkey::kDelete));
    EXPECT_TRUE(Down(vkey::kDelete, scShift));
    EXPECT_EQ(host.done, (std::vector<std::wstring>{L"command DeleteObject", L"command DeleteObjectPhysical"}));
}

TEST_F(WindowKeysTest, ATakenKeysCharacterIsDroppedAndTheNextOnePasses)
{
    host.state.ListSelection = true;
    EXPECT_TRUE(Down(vkey::kMultiply));
    EXPECT_FALSE(Char(L'*'));
    EXPECT_TRUE(Char(L'*'));
    EXPECT_FALSE(Down('Q'));
    EXPECT_TRUE(Char(L'q'));
    // The characters of Strg+C, Strg+V, Strg+X stay out of the list, not
    // out of its name editor.
    EXPECT_FALSE(Char(22));
    host.state.NameEditing = true;
    EXPECT_TRUE(Char(22));
}

TEST_F(WindowKeysTest, StrgTabGoesToTheCommandBoxAndBackToTheControlItLeft)
{
    host.focused = reinterpret_cast<HWND>(0x123);
    EXPECT_TRUE(Down(vkey::kTab, scCtrl));
    EXPECT_EQ(keys.BeforeCommandBox(), reinterpret_cast<HWND>(0x123));
    host.state.Focus = TKeyFocus::CommandBox;
    EXPECT_TRUE(Down(vkey::kTab, scCtrl));
    EXPECT_EQ(host.done, (std::vector<std::wstring>{L"to box", L"back 291"}));
    // Without a control to go back to (or one that went): the active list.
    host.done.clear();
    EXPECT_TRUE(Down(vkey::kTab, scCtrl));
    host.state.Focus = TKeyFocus::Tree;
    EXPECT_TRUE(Down(vkey::kTab, scCtrl));
    host.state.Focus = TKeyFocus::CommandBox;
    host.canFocus = false;
    EXPECT_TRUE(Down(vkey::kTab, scCtrl));
    EXPECT_EQ(host.done, (std::vector<std::wstring>{L"list", L"to box", L"list"}));
}

TEST_F(WindowKeysTest, RefusalsAndMissingCommandsBeepUserCommandsRunAndTheSetFollowsCtrl)
{
    host.state.CanGoBack = false;
    EXPECT_TRUE(Down(vkey::kLeft, scAlt));
    host.hasHandler = false;
    host.state.CanGoBack = true;
    EXPECT_TRUE(Down(vkey::kLeft, scAlt));
    EXPECT_TRUE(Down(vkey::kF1 + 6, scCtrl));
    host.state.HistoryBoxShown = true;
    EXPECT_TRUE(Down(vkey::kF4));
    EXPECT_EQ(host.done, (std::vector<std::wstring>{L"beep", L"command GoPrev", L"beep", L"user 1 7", L"history"}));
    // Ctrl down and up again.
    host.sets.clear();
    Down(vkey::kControl, scCtrl);
    uint16_t key = vkey::kControl;
    keys.KeyUp(key, scNone);
    EXPECT_EQ(key, vkey::kControl) << "a key going up goes on";
    EXPECT_EQ(host.sets, (std::vector<int>{kCtrlCommandSet, kShiftCommandSet}));
}

TEST_F(WindowKeysTest, AKeyTakenRightAfterAClickFindsTheCommandsStatesCurrent)
{
    // The selection just changed: the pass that enables the delete is due.
    host.state.DeletePhysicalEnabled = false;
    host.afterPass = host.state;
    host.afterPass.DeletePhysicalEnabled = true;
    host.passDue = true;
    // Typing asks for no pass.
    EXPECT_FALSE(Down('Q'));
    EXPECT_EQ(host.passes, 0);
    EXPECT_TRUE(Down(vkey::kDelete));
    EXPECT_EQ(host.passes, 1);
    EXPECT_EQ(host.done, std::vector<std::wstring>{L"command DeleteObject"}) << "no beep";
    // In the tree a delete that seems disabled asks too.
    host.done.clear();
    host.state.Focus = TKeyFocus::Tree;
    host.state.DeleteEnabled = false;
    host.afterPass = host.state;
    host.afterPass.DeleteEnabled = true;
    host.passDue = true;
    EXPECT_TRUE(Down(vkey::kDelete));
    EXPECT_EQ(host.done, std::vector<std::wstring>{L"command DeleteObject"});
}

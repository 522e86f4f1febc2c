// The main menu and the popups of the real main window: built from the
// action catalogue, every built command with its caption and key, and a
// menu item runs what its key runs.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "framework/win/ActnList.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// The text the menu bar shows for a command id, found in the menu's handle.
std::wstring ShownText(HMENU Menu, UINT Command)
{
    wchar_t text[256] = {};
    if (GetMenuStringW(Menu, Command, text, 256, MF_BYCOMMAND) > 0)
        return text;
    // Deeper in a submenu.
    for (int i = 0; i < GetMenuItemCount(Menu); ++i)
        if (HMENU sub = GetSubMenu(Menu, i))
            if (std::wstring found = ShownText(sub, Command); !found.empty())
                return found;
    return {};
}

// Presses a key with Ctrl held through the message loop, as a user would.
void PressWithCtrl(HWND Target, WORD Key, const std::function<bool()>& Done)
{
    BYTE state[256];
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(state, state + 256, saved);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    PostMessageW(Target, WM_KEYDOWN, Key, 1);
    test::PumpUntil(Done, 5s);
    SetKeyboardState(saved);
}

class MainMenu : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
    }
    void TearDown() override
    {
        main.reset();
        FinalizeGlobals();
    }
    void Choose(TActionId Id)
    {
        TMenuItem* item = main->CommandMenus().MainMenuItem(Id);
        ASSERT_NE(item, nullptr);
        SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    }

    std::unique_ptr<TQRVMain> main;
};

}  // namespace

TEST_F(MainMenu, EveryBuiltCommandIsInTheMenuWithItsCaptionAndKey)
{
    EXPECT_TRUE(main->Catalogue().MissingHandlers().empty()) << "a command without a handler";
    const HMENU bar = GetMenu(main->Handle());
    ASSERT_NE(bar, nullptr);
    for (const TActionRow& row : ActionRows()) {
        // The undo item's caption carries what it will undo.
        if (!NeedsHandler(row) || !row.Offered || row.Menu == TMenuId::None || row.Id == TActionId::FileUndo)
            continue;
        TMenuItem* item = main->CommandMenus().MainMenuItem(row.Id);
        ASSERT_NE(item, nullptr) << testing::PrintToString(std::wstring(row.Name));
        std::wstring expected = MenuCaption(row);
        if (row.Scope == TKeyScope::Window && row.Key != scNone)
            expected += L"\t" + ShortCutToText(row.Key);
        EXPECT_EQ(ShownText(bar, item->Command()), expected) << testing::PrintToString(std::wstring(row.Name));
    }
    // Spot checks of what the user reads.
    EXPECT_EQ(ShownText(bar, main->CommandMenus().MainMenuItem(TActionId::DispHex)->Command()),
              L"&Hexadezimale Anzeige\tStrg+H");
    EXPECT_EQ(ShownText(bar, main->CommandMenus().MainMenuItem(TActionId::ClipBoardCopy)->Command()),
              L"&Kopieren\tStrg+C");
    // A command the program does not offer has no item; the menus the user
    // sees begin with "&Datei".
    EXPECT_EQ(main->CommandMenus().MainMenuItem(TActionId::IconThumb), nullptr);
    wchar_t first[64] = {};
    GetMenuStringW(bar, 0, first, 64, MF_BYPOSITION);
    EXPECT_STREQ(first, L"&Datei");
}

TEST_F(MainMenu, AMenuItemRunsWhatItsShortcutRuns)
{
    test::TestDir dir;
    dir.Write(L"a.txt", "a");
    dir.Write(L"b.txt", "b");
    Options.SelDirs = false;
    main->LV1->SetPath(dir.Path());
    main->LV1->SetFocus();
    ASSERT_EQ(main->ActiveList, main->LV1);

    // A window key: Strg+H and "Hexadezimale Anzeige" force the hex display.
    Choose(TActionId::DispHex);
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), fdHex);
    EXPECT_TRUE(main->DispHex->Checked());
    Choose(TActionId::DispAuto);
    ASSERT_EQ(main->FileDisplay()->ForcedMode(), fdAutomatic);
    PressWithCtrl(main->LV1->Handle(), 'H', [&] { return main->FileDisplay()->ForcedMode() == fdHex; });
    EXPECT_EQ(main->FileDisplay()->ForcedMode(), fdHex);
    EXPECT_TRUE(main->DispHex->Checked());

    // A key the list takes itself: Strg+A and "Alles auswählen" select its files.
    Choose(TActionId::SelectAll);
    EXPECT_EQ(main->LV1->SelCount(), 2);
    main->LV1->SelectRange(-1, -1, false);
    ASSERT_EQ(main->LV1->SelCount(), 0);
    PressWithCtrl(main->LV1->Handle(), 'A', [&] { return main->LV1->SelCount() == 2; });
    EXPECT_EQ(main->LV1->SelCount(), 2);
}

TEST_F(MainMenu, PopupsHoldTheCatalogueCommandsOfTheirPane)
{
    ASSERT_EQ(main->LV1->PopupMenu(), main->ListPopup);
    ASSERT_EQ(main->TreeView1->PopupMenu(), main->TreePopup);
    auto captions = [](TMenuItem& Root) {
        std::wstring all;
        for (int i = 0; i < Root.Count(); ++i)
            all += Root.Items(i)->Caption() + L"|";
        return all;
    };
    const std::wstring list = captions(*main->ListPopup->Items());
    EXPECT_NE(list.find(L"&Neu|"), std::wstring::npos) << testing::PrintToString(list);
    EXPECT_NE(list.find(L"&Kopieren\tStrg+C|"), std::wstring::npos) << testing::PrintToString(list);
    EXPECT_EQ(list.find(L"&Erweitern"), std::wstring::npos) << "a tree command in the list's popup";
    const std::wstring tree = captions(*main->TreePopup->Items());
    EXPECT_NE(tree.find(L"&Erweitern\t+|"), std::wstring::npos) << testing::PrintToString(tree);
    EXPECT_EQ(tree.find(L"A&lles auswählen"), std::wstring::npos) << "a list command in the tree's popup";
    // The popup's "&Neu" follows the new-folder command as the main menu's does.
    auto* popupNew = dynamic_cast<TMenuItem*>(main->FindComponent(L"mnuPopupNew"));
    ASSERT_NE(popupNew, nullptr);
    EXPECT_EQ(popupNew->Count(), 3);
    // An item of the popup runs the command's action.
    const int before = main->LV1->SelCount();
    test::TestDir dir;
    dir.Write(L"x.txt", "x");
    main->LV1->SetPath(dir.Path());
    main->LV1->SetFocus();
    TMenuItem* selectAll = nullptr;
    for (int i = 0; i < main->ListPopup->Items()->Count(); ++i)
        if (main->ListPopup->Items()->Items(i)->Caption().starts_with(L"A&lles auswählen"))
            selectAll = main->ListPopup->Items()->Items(i);
    ASSERT_NE(selectAll, nullptr);
    ASSERT_TRUE(main->ListPopup->DispatchCommand(selectAll->Command()));
    EXPECT_EQ(main->LV1->SelCount(), 1) << "was " << before;
}

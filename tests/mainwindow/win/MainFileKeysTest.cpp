// The window's keys in the real main window, through its message loop: a key
// pressed in a pane reaches its command, a name editor keeps its keys, Shift
// held on one key never makes a later delete one for good, holding Ctrl
// relabels the function-key toolbar, the number pad selects, F3 falls back to
// the folder search.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "common/win/SimpleTimer.h"
#include "dialogs/win/QuorFindDialog.h"
#include "framework/win/ActnList.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "mainwindow/win/ToolFormsLink.h"
#include "mainwindow/win/UserCommandRunner.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"
#include "win/PostedKeys.h"
#include "win/WineTrash.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

using test::PostKey;
using test::PressKey;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HWND VisibleWindowOfClass(const wchar_t* className)
{
    HWND window = FindWindowW(className, nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

class MainFileKeys : public testing::Test {
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
    void ShowAndSelect(const std::wstring& folder, const std::wstring& name)
    {
        main->LV1->SetPath(folder);
        main->LV1->SetFocus();
        ASSERT_EQ(main->ActiveList, main->LV1);
        main->LV1->SelectRange(-1, -1, false);
        ASSERT_NE(main->LV1->FindFileItem(name), nullptr);
        main->LV1->SetItemSelected(*main->LV1->FindFileItem(name), true);
    }

    std::unique_ptr<TQRVMain> main;
};

}  // namespace

TEST_F(MainFileKeys, EntfInAListPutsTheSelectedFileIntoTheTrash)
{
    const std::wstring trash = test::WineTrashFiles();
    if (trash.empty())
        GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    test::TestDir dir;
    const std::wstring name = L"entf-" + std::to_wstring(GetTickCount64()) + L".txt";
    dir.Write(name, "weg");
    Options.ConfirmLogicalDel = false;  // neither the program nor the shell asks
    ShowAndSelect(dir.Path(), name);

    PressKey(main->LV1->Handle(), VK_DELETE);
    EXPECT_FALSE(Exists(dir.File(name)));
    EXPECT_EQ(main->LV1->FindFileItem(name), nullptr);
    const std::wstring trashed = trash + L"\\" + name;
    EXPECT_TRUE(Exists(trashed)) << "not in the trash";
    DeleteFileW(trashed.c_str());
}

TEST_F(MainFileKeys, TheNameEditorKeepsEntfAndInsert)
{
    test::TestDir dir;
    dir.Write(L"bleibt.txt", "da");
    Options.ConfirmLogicalDel = false;
    ShowAndSelect(dir.Path(), L"bleibt.txt");
    main->LV1->EditItemName(*main->LV1->FindFileItem(L"bleibt.txt"));
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(main->LV1->Handle(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    // The editor's own keys, and the list's while its editor is open.
    for (const HWND target : {edit, main->LV1->Handle()}) {
        PressKey(target, VK_DELETE);
        PressKey(target, VK_INSERT);
    }
    SendMessageW(main->LV1->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(Exists(dir.File(L"bleibt.txt")));
    EXPECT_FALSE(Exists(dir.File(L"Neues Verzeichnis")));
}

TEST_F(MainFileKeys, ViewStyleActionsCheckTheActiveListsStyle)
{
    test::TestDir dir;
    main->LV1->SetPath(dir.Path());
    main->LV1->SetFocus();
    ASSERT_EQ(main->ActiveList, main->LV1);
    const wchar_t* const names[] = {L"LargeIcons", L"SmallIcons", L"IconListe",
                                    L"IconReport", L"IconThumb",  L"IconTile"};
    auto checked = [&] {
        std::wstring marks;
        for (const wchar_t* name : names)
            marks += dynamic_cast<TAction*>(main->FindComponent(name))->Checked() ? L'x' : L'-';
        return marks;
    };
    Options.SyncDisplay = false;
    dynamic_cast<TAction*>(main->FindComponent(L"SmallIcons"))->Execute();
    EXPECT_EQ(main->LV1->ViewStyleEx(), TViewStyleEx::vsxSmallIcon);
    EXPECT_NE(main->LV2->ViewStyleEx(), TViewStyleEx::vsxSmallIcon) << "not synchronised";
    EXPECT_EQ(checked(), L"-x----");
    Options.SyncDisplay = true;
    main->SetViewStyle(2);
    EXPECT_EQ(main->LV2->ViewStyleEx(), TViewStyleEx::vsxList);
    EXPECT_EQ(checked(), L"--x---");
}

TEST_F(MainFileKeys, StrgASelectsEveryFileOfTheListAndF5ReadsWhatCameMeanwhile)
{
    test::TestDir dir;
    dir.Write(L"a.txt", "a");
    dir.Write(L"b.txt", "b");
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"Ordner").c_str(), nullptr));
    Options.SelDirs = false;
    main->TreeView1->SetDirectory(dir.Path());
    ShowAndSelect(dir.Path(), L"a.txt");
    main->LV1->SetWatchForChanges(false);  // only the refresh can show the new file

    PressKey(main->LV1->Handle(), 'A', {VK_CONTROL});
    EXPECT_EQ(main->LV1->SelCount(), 2);
    EXPECT_FALSE(main->LV1->FindFileItem(L"Ordner")->Selected) << "folders only with SelDirs";

    dir.Write(L"neu.txt", "n");
    ASSERT_EQ(main->LV1->FindFileItem(L"neu.txt"), nullptr);
    // F5 through the message loop: the refresh action's key.
    PostMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_F5, 1);
    EXPECT_TRUE(test::PumpUntil([&] { return main->LV1->FindFileItem(L"neu.txt") != nullptr; }, 5s));
    EXPECT_EQ(main->LV1->SelCount(), 2) << "the selection survives the re-read";
}

TEST_F(MainFileKeys, AfterShiftTabOutOfTheListLoeschenFromTheMenuGoesToTheTrash)
{
    const std::wstring trash = test::WineTrashFiles();
    if (trash.empty())
        GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    test::TestDir dir;
    const std::wstring name = L"umsch-tab-" + std::to_wstring(GetTickCount64()) + L".txt";
    dir.Write(name, "in den Papierkorb");
    Options.ConfirmLogicalDel = false;
    ShowAndSelect(dir.Path(), name);
    // Shift goes down in the list and Shift+Tab leaves it; Shift comes up
    // in the history box.
    PostKey(main->LV1->Handle(), VK_SHIFT, {VK_SHIFT});
    PostKey(main->LV1->Handle(), VK_TAB, {VK_SHIFT});
    main->DirHist1->SetFocus();
    PostKey(main->DirHist1->Handle(), VK_SHIFT, {}, true);
    main->LV1->SetFocus();
    ASSERT_EQ(main->LV1->SelCount(), 1);
    main->UpdateTimerTimer();

    TMenuItem* item = main->CommandMenus().MainMenuItem(TActionId::DeleteObject);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Caption().substr(0, 8), L"&Löschen");
    item->Click();
    test::PumpUntilIdle([] { return true; }, 2s);
    EXPECT_FALSE(Exists(dir.File(name)));
    const std::wstring trashed = trash + L"\\" + name;
    EXPECT_TRUE(Exists(trashed)) << "deleted for good instead of into the trash";
    DeleteFileW(trashed.c_str());
}

TEST_F(MainFileKeys, HoldingCtrlShowsTheCtrlSetOnTheFunctionKeyBar)
{
    Options.UseProgIcons = false;
    Options.FKeys[0][1] = {L"Eins", L"cmd.exe", L"", -1};
    Options.FKeys[1][1] = {L"Zwei", L"cmd.exe", L"", -1};
    main->ToolBarFKeys->SetVisible(true);
    main->UserCommands().UpdateFunctionKeyMenus();
    main->UserCommands().ShowFunctionKeyLabels(0, true);
    main->LV1->SetFocus();
    ASSERT_GE(main->FKeyButtons.size(), 2u);
    TKyToolbarButton* f2 = main->FKeyButtons[1];
    EXPECT_EQ(f2->Caption(), L"F2 Eins");

    PostKey(main->LV1->Handle(), VK_CONTROL, {VK_CONTROL});
    EXPECT_EQ(main->FKeyLabel->Caption(), L"Strg      ");
    EXPECT_EQ(f2->Caption(), L"F2 Zwei");
    // Another key while Ctrl is held keeps the Ctrl set.
    PostKey(main->LV1->Handle(), VK_SHIFT, {VK_CONTROL, VK_SHIFT});
    PostKey(main->LV1->Handle(), VK_SHIFT, {VK_CONTROL}, true);
    EXPECT_EQ(f2->Caption(), L"F2 Zwei");
    PostKey(main->LV1->Handle(), VK_CONTROL, {}, true);
    EXPECT_EQ(main->FKeyLabel->Caption(), L"Umsch");
    EXPECT_EQ(f2->Caption(), L"F2 Eins");
}

TEST_F(MainFileKeys, TheNumberPadSelectsInTheList)
{
    test::TestDir dir;
    dir.Write(L"a.txt", "a");
    dir.Write(L"b.txt", "b");
    dir.Write(L"c.doc", "c");
    Options.SelDirs = false;
    Options.SelBothFileWin = false;
    ShowAndSelect(dir.Path(), L"a.txt");
    main->LV1->SetItemFocused(main->LV1->FindFileItem(L"a.txt"));
    auto selected = [&] {
        std::wstring names;
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.doc"})
            names += main->LV1->FindFileItem(name)->Selected ? name[0] : L'-';
        return names;
    };
    PressKey(main->LV1->Handle(), VK_MULTIPLY);
    EXPECT_EQ(selected(), L"-bc");
    {
        // "*.txt" after the focused file: the list's selection is replaced.
        test::DialogAnswerer ok({L"&OK"});
        PostKey(main->LV1->Handle(), VK_ADD);
        ASSERT_TRUE(test::PumpUntil([&] { return ok.Answered(); }, 10s));
        test::PumpUntilIdle([] { return true; }, 2s);
        EXPECT_NE(ok.Texts().find(L"*.txt"), std::wstring::npos) << ok.Texts();
    }
    EXPECT_EQ(selected(), L"ab-");
    {
        test::DialogAnswerer ok({L"&OK"});
        PostKey(main->LV1->Handle(), VK_SUBTRACT);
        ASSERT_TRUE(test::PumpUntil([&] { return ok.Answered(); }, 10s));
        test::PumpUntilIdle([] { return true; }, 2s);
    }
    EXPECT_EQ(selected(), L"---");
}

TEST_F(MainFileKeys, F3SearchesFilesOrWithoutThatTheFolders)
{
    test::TestDir dir;
    dir.Write(L"a.txt", "a");
    main->TreeView1->SetDirectory(dir.Path());
    ShowAndSelect(dir.Path(), L"a.txt");
    test::PumpUntilIdle([] { return true; }, 2s);
    main->UpdateTimerTimer();
    TAction* findFile = main->CommandMenus().Action(TActionId::FindDatei);
    ASSERT_TRUE(findFile->Enabled());
    {
        // The file search is the shell's; Wine has none and says so.
        test::DialogAnswerer ok({L"OK"});
        PostKey(main->LV1->Handle(), VK_F3);
        ASSERT_TRUE(test::PumpUntil([&] { return ok.Answered(); }, 10s));
        test::PumpUntilIdle([] { return true; }, 2s);
        EXPECT_NE(ok.Texts().find(L"Shell-Kommando \"find\""), std::wstring::npos) << ok.Texts();
    }
    ASSERT_EQ(VisibleWindowOfClass(L"TQuorFindDialog"), nullptr);

    // Without the file search F3 opens the folder search.
    main->ActionTimer()->Stop();
    findFile->SetEnabled(false);
    PressKey(main->LV1->Handle(), VK_F3);
    ASSERT_TRUE(test::PumpUntil([] { return VisibleWindowOfClass(L"TQuorFindDialog") != nullptr; }, 5s));
    TQuorFindDialog* dialog = main->ToolForms().DirSearch().Dialog();
    ASSERT_NE(dialog, nullptr);
    PressKey(dialog->SearchStr->Handle(), VK_ESCAPE);
    EXPECT_TRUE(test::PumpUntil([] { return VisibleWindowOfClass(L"TQuorFindDialog") == nullptr; }, 5s));
}

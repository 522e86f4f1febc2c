// The file commands' keys in the real main window: a key pressed in a pane
// reaches the command.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "win/MessagePump.h"
#include "win/WineTrash.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

    SendMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_DELETE, 0);
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
        SendMessageW(target, WM_KEYDOWN, VK_DELETE, 0);
        SendMessageW(target, WM_KEYDOWN, VK_INSERT, 0);
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

    BYTE state[256];
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(state, state + 256, saved);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    SendMessageW(main->LV1->Handle(), WM_KEYDOWN, 'A', 1);
    SetKeyboardState(saved);
    EXPECT_EQ(main->LV1->SelCount(), 2);
    EXPECT_FALSE(main->LV1->FindFileItem(L"Ordner")->Selected) << "folders only with SelDirs";

    dir.Write(L"neu.txt", "n");
    ASSERT_EQ(main->LV1->FindFileItem(L"neu.txt"), nullptr);
    // F5 through the message loop: the refresh action's key.
    PostMessageW(main->LV1->Handle(), WM_KEYDOWN, VK_F5, 1);
    EXPECT_TRUE(test::PumpUntil([&] { return main->LV1->FindFileItem(L"neu.txt") != nullptr; }, 5s));
    EXPECT_EQ(main->LV1->SelCount(), 2) << "the selection survives the re-read";
}

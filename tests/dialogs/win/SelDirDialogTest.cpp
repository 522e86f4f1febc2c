// The select-directory dialog on its own, shown without a modal loop so
// the test drives it as the user's keys would.

#include "TestDir.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"
#include "win/WineTrash.h"

#include "common/win/BaseUtilsWin.h"
#include "dialogs/SelOptRules.h"
#include "dialogs/win/KySelDir.h"
#include "framework/win/Buttons.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyComboBox.h"
#include "panels/win/KyDriveInfo.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class SelDirDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DriveInfo().RefreshAll());
        dialog = std::make_unique<TSelDirDialog>(nullptr);
        dialog->HandleNeeded();
        dialog->SetDirectory(dir.Path());
        dialog->Show();
        // The tests begin on the active dialog, once its posted work is done.
        ASSERT_TRUE(test::PumpUntilForeground(dialog->Handle(), 10s));
        ASSERT_EQ(dialog->Directory(), dir.Path());
    }
    void TearDown() override { dialog.reset(); }

    // A key as the user presses it in the focused window.
    void Press(HWND window, WORD key)
    {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        test::PumpUntilIdle([] { return true; }, 2s);
    }
    HWND NameEditor()
    {
        return reinterpret_cast<HWND>(SendMessageW(dialog->DriveView->Handle(), TVM_GETEDITCONTROL, 0, 0));
    }

    test::TestDir dir;
    std::unique_ptr<TSelDirDialog> dialog;
};

}  // namespace

TEST_F(SelDirDialogTest, NewFoldersEachEndedByEnterKeepTheDialogOpen)
{
    for (const wchar_t* expected : {L"Neues Verzeichnis", L"Neues Verzeichnis (1)", L"Neues Verzeichnis (2)"}) {
        dialog->SetDirectory(dir.Path());
        ASSERT_EQ(dialog->Directory(), dir.Path());
        dialog->NewDir();
        const HWND editor = NameEditor();
        ASSERT_NE(editor, nullptr) << "the new folder's name is open for editing";
        EXPECT_TRUE(DirExists(dir.File(expected))) << expected;
        EXPECT_EQ(dialog->Directory(), dir.File(expected));
        Press(editor, VK_RETURN);
        EXPECT_FALSE(dialog->DriveView->IsEditing());
        EXPECT_EQ(dialog->ModalResult(), mrNone) << "Enter in the editor only ends the edit";
    }
    EXPECT_EQ(dialog->cbDir->Text(), dir.File(L"Neues Verzeichnis (2)"));
}

TEST_F(SelDirDialogTest, EnterWhileRenamingCommitsAndASecondEnterSelects)
{
    CreateDirectoryW(dir.File(L"alt").c_str(), nullptr);
    dialog->SetDirectory(dir.File(L"alt"));
    ASSERT_EQ(dialog->Directory(), dir.File(L"alt"));
    Press(dialog->DriveView->Handle(), VK_F2);
    const HWND editor = NameEditor();
    ASSERT_NE(editor, nullptr);
    SetWindowTextW(editor, L"neu");
    Press(editor, VK_RETURN);
    EXPECT_TRUE(DirExists(dir.File(L"neu")));
    EXPECT_FALSE(DirExists(dir.File(L"alt")));
    EXPECT_EQ(dialog->ModalResult(), mrNone);
    test::PumpUntil([&] { return dialog->cbDir->Text() == dir.File(L"neu"); }, 2s);
    EXPECT_EQ(dialog->cbDir->Text(), dir.File(L"neu")) << "the path box names the renamed folder";
    Press(dialog->DriveView->Handle(), VK_RETURN);
    EXPECT_EQ(dialog->ModalResult(), mrOk);
    EXPECT_EQ(dialog->Directory(), dir.File(L"neu"));
}

TEST_F(SelDirDialogTest, ADriveKeyWithTheNameOpenKeepsTheNameAndSwitches)
{
    CreateDirectoryW(dir.File(L"vorher").c_str(), nullptr);
    dialog->SetDirectory(dir.File(L"vorher"));
    Press(dialog->DriveView->Handle(), VK_F2);
    const HWND editor = NameEditor();
    ASSERT_NE(editor, nullptr);
    SetWindowTextW(editor, L"nachher");
    dialog->DriveKey(L'C');
    EXPECT_FALSE(dialog->DriveView->IsEditing()) << "no editor left over another node";
    EXPECT_EQ(NameEditor(), nullptr);
    EXPECT_TRUE(DirExists(dir.File(L"nachher")));
    EXPECT_EQ(dialog->DriveView->GetCurrentDrive(), L'C');
    EXPECT_EQ(dialog->ModalResult(), mrNone);
}

TEST_F(SelDirDialogTest, DeleteKeySendsTheFolderToTheTrash)
{
    const std::wstring trash = test::WineTrashFiles();
    if (trash.empty())
        GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    const std::wstring name = L"weg-" + std::to_wstring(GetTickCount64());
    CreateDirectoryW(dir.File(name).c_str(), nullptr);
    dialog->SetDirectory(dir.File(name));
    ASSERT_EQ(dialog->Directory(), dir.File(name));
    dialog->DriveView->ConfirmDelete = false;
    Press(dialog->DriveView->Handle(), VK_DELETE);
    EXPECT_FALSE(DirExists(dir.File(name)));
    const std::wstring trashed = trash + L"\\" + name;
    EXPECT_TRUE(DirExists(trashed)) << "not in the trash";
    RemoveDirectoryW(trashed.c_str());
    EXPECT_EQ(dialog->DriveView->NodeForPath(dir.File(name)), nullptr);
}

TEST_F(SelDirDialogTest, JumpsAndThePathBox)
{
    // "&Desktop": the profile's desktop folder.
    const std::wstring desktop = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(desktop.empty());
    dialog->Jump(TSelDirJump::Desktop);
    EXPECT_TRUE(SameFolderPath(dialog->Directory(), desktop)) << dialog->Directory();

    // A folder of the history that is gone: "Ja" makes the whole path.
    const std::wstring missing = dir.File(L"neu\\tief");
    dialog->cbDir->Items().Insert(0, missing);
    dialog->cbDir->SetItemIndex(0);
    {
        test::DialogAnswerer yes({L"&Ja", L"Ja"});
        dialog->PathBoxChosen();
        ASSERT_TRUE(yes.Answered());
        EXPECT_NE(yes.Texts().find(L"Das Verzeichnis \"tief\" ist nicht vorhanden."), std::wstring::npos)
            << yes.Texts();
    }
    EXPECT_TRUE(DirExists(missing));
    EXPECT_EQ(dialog->Directory(), missing);

    // Typed, with Enter: a relative path is taken from the current folder.
    CreateDirectoryW(dir.File(L"rel").c_str(), nullptr);
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(dir.Path().c_str());
    dialog->cbDir->SetText(L"rel");
    dialog->PathBoxEnter();
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(dialog->Directory(), dir.File(L"rel"));
}

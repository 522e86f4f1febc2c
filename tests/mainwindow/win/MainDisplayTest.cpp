// The main window's file display: focus changes in a real file list reach
// the viewers through the posted display request; F11 turns it off.

#include "SettingsGuards.h"

#include "editor/win/EasyEditor.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "viewers/win/HexEditor.h"
#include "viewers/win/KyDirPanel.h"

#include "TestDir.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class MainDisplay : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};

    void SetUp() override { ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free")); }

    // Focuses the named item of the list as a click would.
    static void FocusItem(TDirView& list, const std::wstring& name)
    {
        const TFileRec* rec = list.FindFileItem(name);
        ASSERT_NE(rec, nullptr) << WideToUtf8(name);
        ListView_SetItemState(list.Handle(), list.IndexOf(rec), LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    }
};

}  // namespace

TEST_F(MainDisplay, FocusChangesShowTheFileAndF11TurnsTheDisplayOff)
{
    test::TestDir dir;
    const std::wstring text = dir.Write(L"notiz.txt", "Hallo\r\n");
    const std::wstring binary = dir.Write(L"daten.bin1", std::string("\0\1\2\3", 4));
    InitializeGlobals();
    {
        std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        TDirView& list = *main->LV1;
        ASSERT_EQ(main->ActiveList, &list);
        list.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"notiz.txt"); }, 10s));
        FocusItem(list, L"notiz.txt");
        if (!main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        ASSERT_TRUE(main->ViewFile->Checked());
        EXPECT_TRUE(main->PanelBottom->Visible());
        EXPECT_TRUE(test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == text; }, 5s));
        EXPECT_TRUE(main->EasyEdit->Visible());

        FocusItem(list, L"daten.bin1");
        EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->FileName() == binary; }, 5s));
        EXPECT_TRUE(main->HexEditor1->Visible());
        EXPECT_FALSE(main->EasyEdit->Visible());
        EXPECT_EQ(main->FileDisplay()->ViewedFile(), binary);

        // The other list gets the focus: it becomes the active one and the
        // display shows its focused item.
        TDirView& other = *main->LV2;
        other.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !other.Loading() && other.FindFileItem(L"notiz.txt"); }, 10s));
        FocusItem(other, L"notiz.txt");
        other.SetFocus();
        EXPECT_TRUE(test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == text; }, 5s));
        EXPECT_EQ(main->ActiveList, &other);
        list.SetFocus();
        EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->FileName() == binary; }, 5s));
        EXPECT_EQ(main->ActiveList, &list);

        // Forced text shows the same file in the editor, read-only.
        main->DispText->Execute();
        EXPECT_TRUE(main->DispText->Checked());
        EXPECT_TRUE(test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == binary; }, 5s));
        EXPECT_TRUE(main->EasyEdit->GetReadOnly());
        main->DispAuto->Execute();
        EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->FileName() == binary; }, 5s));

        // Turning the display off while a viewer has the focus gives it back
        // to the active list.
        main->HexEditor1->SetFocus();
        main->ViewFile->Execute();
        EXPECT_EQ(GetFocus(), list.Handle());
        EXPECT_FALSE(main->ViewFile->Checked());
        EXPECT_FALSE(main->PanelBottom->Visible());
        EXPECT_EQ(main->FileDisplay()->ViewedFile(), L"");
        EXPECT_FALSE(main->FreezeDisplay->Enabled());
        main->Close();
    }
    FinalizeGlobals();
}

TEST_F(MainDisplay, CaretMovesInAShownTextLeaveItAsItWas)
{
    test::TestDir dir;
    // Lines ending in blanks, as a trim on leaving a line would cut them.
    const std::string content = "eins  \r\nzwei  \r\ndrei \t\r\nvier  \r\nfuenf  \r\n";
    const std::wstring text = dir.Write(L"leer.txt", content);
    dir.Write(L"notiz.txt", "Hallo\r\n");
    InitializeGlobals();
    {
        std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        TDirView& list = *main->LV1;
        list.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"leer.txt"); }, 10s));
        FocusItem(list, L"leer.txt");
        if (!main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        TEasyEdit& editor = *main->EasyEdit;
        ASSERT_TRUE(test::PumpUntil([&] { return editor.GetEditSource()->FileName() == text; }, 5s));
        ASSERT_FALSE(editor.GetReadOnly()) << "a text in a writable file can be changed";

        // A click into the text, then Down three times.
        editor.SetFocus();
        SendMessageW(editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
        SendMessageW(editor.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
        for (int i = 0; i < 3; ++i)
            SendMessageW(editor.Handle(), WM_KEYDOWN, VK_DOWN, 1);
        test::PumpFor(100ms);
        EXPECT_GE(editor.GetEditSource()->CaretY(), 3) << "the caret went down";
        ASSERT_FALSE(editor.GetModified()) << "a caret move is no change";

        // Leaving the text: another file is shown, the file is as it was.
        list.SetFocus();
        FocusItem(list, L"notiz.txt");
        EXPECT_TRUE(test::PumpUntil([&] { return editor.GetEditSource()->FileName() == dir.File(L"notiz.txt"); }, 5s));
        EXPECT_EQ(dir.Read(L"leer.txt"), content);
        EXPECT_EQ(GetFileAttributesW(dir.File(L"leer.bak").c_str()), INVALID_FILE_ATTRIBUTES) << "no backup made";
        main->Close();
    }
    FinalizeGlobals();
}

TEST_F(MainDisplay, AShownTextTakesTypingUndoesItAndIsSaved)
{
    test::TestDir dir;
    const std::wstring text = dir.Write(L"brief.txt", "eins\r\n");
    dir.Write(L"zweite.txt", "zwei\r\n");
    const std::wstring program = dir.Write(L"prog.exe", std::string("MZ\x90\0\x03\0\0\0text\r\n", 14));
    InitializeGlobals();
    {
        std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        TDirView& list = *main->LV1;
        list.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"brief.txt"); }, 10s));
        FocusItem(list, L"brief.txt");
        if (!main->FileDisplay()->ViewFile())
            main->ViewFile->Execute();
        TEasyEdit& editor = *main->EasyEdit;
        ASSERT_TRUE(test::PumpUntil([&] { return editor.GetEditSource()->FileName() == text; }, 5s));

        editor.SetFocus();
        SendMessageW(editor.Handle(), WM_CHAR, L'X', 1);
        EXPECT_EQ(editor.Lines()[0], u"Xeins");
        EXPECT_TRUE(editor.GetModified());
        main->ActionUpdater()->UpdateTimerTimer();
        auto* undo = dynamic_cast<TAction*>(main->FindComponent(L"FileUndo"));
        ASSERT_NE(undo, nullptr);
        EXPECT_EQ(undo->Hint(), L"Rückgängig Textänderung (Strg+Z)");
        undo->Execute();
        EXPECT_EQ(editor.Lines()[0], u"eins") << "Strg+Z undid the typing";

        // Typed again and saved when another file is shown.
        SendMessageW(editor.Handle(), WM_CHAR, L'Y', 1);
        {
            test::DialogAnswerer yes({L"&Ja"});
            list.SetFocus();
            FocusItem(list, L"zweite.txt");
            EXPECT_TRUE(test::PumpUntil([&] { return yes.Answered(); }, 10s));
        }
        EXPECT_TRUE(test::PumpUntil([&] { return dir.Read(L"brief.txt") == "Yeins\r\n"; }, 5s))
            << dir.Read(L"brief.txt");

        // A program forced into the editor refuses typing.
        main->FileDisplay()->SetForcedMode(fdText);
        FocusItem(list, L"prog.exe");
        ASSERT_TRUE(test::PumpUntil([&] { return editor.GetEditSource()->FileName() == program; }, 5s));
        EXPECT_TRUE(editor.GetReadOnly());
        editor.SetFocus();
        SendMessageW(editor.Handle(), WM_CHAR, L'Z', 1);
        EXPECT_FALSE(editor.GetModified());
        main->FileDisplay()->SetForcedMode(fdAutomatic);
        main->Close();
    }
    FinalizeGlobals();
}

TEST_F(MainDisplay, TheDisplayPaneStandsOnlyWhileTheDisplayIsOn)
{
    test::TestDir dir;
    dir.Write(L"notiz.txt", "Hallo\r\n");
    InitializeGlobals();
    {
        std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        ASSERT_FALSE(main->FileDisplay()->ViewFile()) << "the display is off by default";
        EXPECT_FALSE(main->PanelBottom->Visible()) << "no empty band below the lists";
        EXPECT_FALSE(IsWindowVisible(main->PanelBottom->Handle()));
        // The file windows reach down to the status bar.
        RECT lists{}, status{};
        GetWindowRect(main->MainPanel->Handle(), &lists);
        GetWindowRect(main->StatusBar->Handle(), &status);
        EXPECT_LE(status.top - lists.bottom, 8) << "gap " << status.top - lists.bottom;

        // The first F11 on a focused file shows the pane with the file.
        TDirView& list = *main->LV1;
        list.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"notiz.txt"); }, 10s));
        FocusItem(list, L"notiz.txt");
        main->ViewFile->Execute();
        EXPECT_TRUE(main->FileDisplay()->ViewFile());
        EXPECT_TRUE(main->PanelBottom->Visible());
        EXPECT_TRUE(
            test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == dir.File(L"notiz.txt"); }, 5s));
        main->ViewFile->Execute();
        EXPECT_FALSE(main->PanelBottom->Visible());
        main->Close();
    }
    FinalizeGlobals();
}

TEST_F(MainDisplay, TheDisplayFollowsTheListIntoAnotherFolderAndOffAVanishedOne)
{
    test::TestDir dir;
    const std::wstring first = dir.File(L"erster");
    const std::wstring second = dir.File(L"zweiter");
    ASSERT_TRUE(CreateDirectoryW(first.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(second.c_str(), nullptr));
    const std::wstring shown = dir.Write(L"erster\\notiz.txt", "Hallo\r\n");
    dir.Write(L"zweiter\\andere.txt", "Anders\r\n");
    const std::wstring sub = dir.File(L"zweiter\\Unterordner");
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    InitializeGlobals();
    {
        std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        TDirView& list = *main->LV1;
        TFileDisplay& display = *main->FileDisplay();
        list.SetPath(first);
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"notiz.txt"); }, 10s));
        FocusItem(list, L"notiz.txt");
        if (!display.ViewFile())
            main->ViewFile->Execute();
        ASSERT_TRUE(test::PumpUntil([&] { return display.ViewedFile() == shown; }, 5s));

        // Another folder comes into the list (as from the tree): the display
        // shows what is focused there, or nothing, never the old file.
        const auto focusedPath = [&] {
            const TFileRec* item = list.ItemFocused();
            return item ? list.ItemFullFileName(item) : std::wstring();
        };
        list.SetPath(second);
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"andere.txt"); }, 10s));
        EXPECT_TRUE(test::PumpUntil([&] { return display.ViewedFile() != shown; }, 5s))
            << "still shows " << WideToUtf8(display.ViewedFile());
        EXPECT_EQ(display.ViewedFile(), focusedPath());

        // A shown folder deleted from outside: its panel goes with it.
        FocusItem(list, L"Unterordner");
        const std::wstring folderShown = focusedPath();
        ASSERT_NE(folderShown.find(L"Unterordner"), std::wstring::npos);
        ASSERT_TRUE(test::PumpUntil([&] { return display.ViewedFile() == folderShown; }, 5s));
        EXPECT_TRUE(main->DirPanel->Visible());
        ASSERT_TRUE(RemoveDirectoryW(sub.c_str()));
        list.ReloadDirectory();  // what the folder watch does after the change
        EXPECT_TRUE(test::PumpUntil([&] { return display.ViewedFile() != folderShown; }, 5s))
            << "still shows " << WideToUtf8(display.ViewedFile());
        EXPECT_EQ(display.ViewedFile(), focusedPath());
        main->Close();
    }
    FinalizeGlobals();
}

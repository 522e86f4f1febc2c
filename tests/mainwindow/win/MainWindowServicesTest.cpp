// The main window's small services in the real window: "als Text" with its
// confirmation switched off shows the text in panel 1 for two seconds; the
// 21st error of a test hook asks whether to quit and "Nein" keeps running;
// an access-denied folder without "Zugriffsfehler melden" gives no box but
// the status text; a posted tray callback restores the window.

#include "SettingsGuards.h"

#include "common/win/SimpleTimer.h"
#include "dialogs/win/DSAMsgDlg.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/ErrorReports.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "mainwindow/win/TrayCommands.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyShell.h"

#include "TestDir.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class MainWindowServices : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        Settle();
    }
    void TearDown() override
    {
        if (main) {
            main->Close();
            main.reset();
        }
        FinalizeGlobals();
    }
    void Settle()
    {
        ASSERT_TRUE(test::PumpUntilIdle(
            [&] {
                return !main->StatusTimer()->Active() && !main->ActionTimer()->Active() &&
                       !main->OleDisplayTimer()->Active();
            },
            10s));
    }
    void Open(const std::wstring& item)
    {
        TDirView& list = *main->ActiveList;
        main->TreeView1->SetDirectory(dir.Path());
        if (!SameText(list.Path(), dir.Path()))
            list.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(item); }, 10s));
    }
    std::wstring Panel(int index) { return main->StatusBar->DisplayedText(index); }
};

}  // namespace

TEST_F(MainWindowServices, CopyAsTextWithoutItsBoxShowsInPanel1ForTwoSeconds)
{
    // ctest: takes the focus (the list is focused); the Clipboard is written.
    dir.Write(L"brief.txt", "x");
    Open(L"brief.txt");
    Settle();
    TDirView& list = *main->ActiveList;
    list.SetFocus();
    list.SetItemSelected(*list.FindFileItem(L"brief.txt"), true);
    DSAIdentsSetState(DSARegKey, L"copy as text", false);
    const std::wstring before = Panel(1);
    ASSERT_TRUE(main->Catalogue().Execute(TActionId::CopyFileNames));
    EXPECT_EQ(Panel(1), L"\"brief.txt\" wurde als Text in die Zwischenablage gestellt.");
    Sleep(1000);
    test::PumpUntil([] { return false; }, 200ms);
    EXPECT_EQ(Panel(1), L"\"brief.txt\" wurde als Text in die Zwischenablage gestellt.") << "still there after 1 s";
    EXPECT_TRUE(test::PumpUntil(
        [&] { return Panel(1) != L"\"brief.txt\" wurde als Text in die Zwischenablage gestellt."; }, 3s));
    EXPECT_EQ(Panel(1), before) << "the list's count again";
}

TEST_F(MainWindowServices, TheTwentyFirstErrorAsksAndNoKeepsRunning)
{
    // The standard box of each error is counted here instead of shown.
    int shown = 0;
    main->ErrorReports()->ShowException = [&](const std::exception&) { ++shown; };
    for (int i = 0; i < 20; ++i)
        Application->HandleException(std::make_exception_ptr(Exception(L"Testfehler")));
    EXPECT_EQ(shown, 20);
    EXPECT_EQ(main->ErrorReports()->Counter().Count(), 20u);
    test::DialogAnswerer no({L"&Nein", L"Nein", L"&No"});
    Application->HandleException(std::make_exception_ptr(Exception(L"Testfehler")));
    ASSERT_TRUE(no.Answered());
    EXPECT_NE(no.Texts().find(L"Es sind bisher 21 Fehler aufgetreten. Soll das Programm jetzt beendet werden?"),
              std::wstring::npos)
        << WideToUtf8(no.Texts());
    test::PumpUntil([] { return false; }, 200ms);
    EXPECT_TRUE(IsWindowVisible(main->Handle())) << "still running";
    EXPECT_FALSE(main->ShuttingDown);
}

TEST_F(MainWindowServices, AccessDeniedWithoutItsOptionGivesTheStatusTextOnly)
{
    Options.ConfirmAuthority = false;
    Open(L"..");
    TDirView& list = *main->ActiveList;
    // No box: the window's policy says so, and the list's error event
    // returns at once (a box would hold it).
    EXPECT_FALSE(main->ErrorReports()->FolderError(dir.Path(), ERROR_ACCESS_DENIED));
    list.OnError(&list, dir.Path(), ERROR_ACCESS_DENIED);
    EXPECT_NE(Panel(0).find(L"\"" + dir.Path() + L"\": "), std::wstring::npos) << WideToUtf8(Panel(0));
}

TEST_F(MainWindowServices, APostedTrayCallbackRestoresTheWindow)
{
    // ctest: takes the focus (the window comes to the front)
    TKyTrayIcon& icon = *main->TrayIcon1;
    main->Tray()->Minimize();
    EXPECT_TRUE(icon.Active());
    EXPECT_FALSE(IsWindowVisible(main->Handle()));
    PostMessageW(icon.WindowHandle(), TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
    PostMessageW(icon.WindowHandle(), TKyTrayIcon::WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(main->Handle()) != FALSE; }, 5s));
    EXPECT_FALSE(icon.Active());
}

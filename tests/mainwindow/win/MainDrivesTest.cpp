// The main window's drive buttons, drive menu, title, device changes and
// the options applied at start, on a window created in this process.

#include "SettingsGuards.h"
#include "TestDir.h"
#include "win/MessagePump.h"

#include "common/BaseUtils.h"
#include "common/win/SimpleTimer.h"
#include "framework/SysUtils.h"
#include "framework/win/Registry.h"
#include "mainwindow/FileCompare.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/KyDriveInfo.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyShell.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <atomic>
#include <memory>
#include <thread>

using namespace qrv;

namespace {

// A main window that read the given program-folder settings file; the
// file and the settings key are put back afterwards.
class MainWindowWith {
public:
    explicit MainWindowWith(const std::string& ini) : programIni_(ini)
    {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(L"\\Software\\Quorvan Free", true));
        registry.WriteBool(L"ShowLogo", false);
        InitializeGlobals();
        main_.reset(new TQRVMain(nullptr));
        main_->Show();
        Application->ProcessMessages();
    }
    ~MainWindowWith() { Close(); }
    // Closes the window, which saves the settings file.
    void Close()
    {
        if (!main_)
            return;
        main_.reset();
        FinalizeGlobals();
    }
    TQRVMain& operator*() const { return *main_; }
    TQRVMain* operator->() const { return main_.get(); }

private:
    test::RegistryKeyBackup backup_{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni_;
    std::unique_ptr<TQRVMain> main_;
};

std::wstring DriveSuffix(wchar_t drive)
{
    return std::wstring(L" (Umsch+Strg+") + drive + L")";
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST(MainDrives, EveryValidDriveHasAButtonAndAnEnabledMenuItem)
{
    MainWindowWith main("");
    std::wstring valid;
    for (wchar_t drive = L'A'; drive <= L'Z'; ++drive)
        if (DriveInfo().IsValid(drive))
            valid += drive;
    ASSERT_NE(valid.find(L'C'), std::wstring::npos) << "Wine always has C:";
    EXPECT_FALSE(DriveInfo().IsValid(L'\\')) << "the options hide the network neighbourhood";

    ASSERT_GE(main->DriveBar()->DriveButtons.size(), valid.size());
    ASSERT_EQ(main->DriveBar()->DriveMenuItems.size(), 27u);
    for (size_t i = 0; i < valid.size(); ++i) {
        SCOPED_TRACE(std::wstring(1, valid[i]));
        TKyToolbarButton* button = main->DriveBar()->DriveButtons[i];
        EXPECT_EQ(button->Parent(), static_cast<TWinControl*>(main->ToolbarDrives));
        EXPECT_EQ(button->Caption(), std::wstring(1, valid[i]));
        EXPECT_EQ(button->Tag, static_cast<intptr_t>(valid[i]));
        EXPECT_TRUE(button->Visible());
        EXPECT_TRUE(button->Enabled());
        EXPECT_TRUE(EndsWith(button->Hint(), DriveSuffix(valid[i]))) << button->Hint();
        EXPECT_EQ(button->Hint(), DriveInfo().GetLongPrettyName(valid[i]) + DriveSuffix(valid[i]));
        ASSERT_TRUE(button->HandleAllocated());
        EXPECT_TRUE(IsWindowVisible(button->Handle()));

        TMenuItem* item = main->DriveBar()->DriveMenuItems[i];
        EXPECT_TRUE(item->Enabled());
        EXPECT_EQ(item->Caption(), std::wstring(1, valid[i]));
        EXPECT_EQ(item->ShortCut(), ShortCut(static_cast<uint16_t>(valid[i]), scShift | scCtrl));
        EXPECT_EQ(item->Hint(), button->Hint());
    }
    for (size_t i = valid.size(); i < main->DriveBar()->DriveButtons.size(); ++i)
        EXPECT_FALSE(main->DriveBar()->DriveButtons[i]->Visible()) << i;
    for (size_t i = valid.size(); i < main->DriveBar()->DriveMenuItems.size(); ++i) {
        EXPECT_FALSE(main->DriveBar()->DriveMenuItems[i]->Enabled()) << i;
        EXPECT_EQ(main->DriveBar()->DriveMenuItems[i]->ShortCut(), scNone) << i;
    }
}

TEST(MainDrives, TheDriveMenuItemAndButtonSwitchTheTree)
{
    test::TestDir dir;  // lives on the test drive
    const wchar_t testDrive = UpCaseDrive(dir.Path()[0]);
    MainWindowWith main("");
    ASSERT_TRUE(DriveInfo().IsValid(testDrive));

    TMenuItem* item = nullptr;
    for (TMenuItem* candidate : main->DriveBar()->DriveMenuItems)
        if (candidate->Enabled() && candidate->Caption() == std::wstring(1, testDrive))
            item = candidate;
    ASSERT_NE(item, nullptr);
    item->Click();
    EXPECT_EQ(main->TreeView1->GetCurrentDrive(), testDrive);

    // Back to C: through its button.
    for (TKyToolbarButton* button : main->DriveBar()->DriveButtons)
        if (button->Tag == L'C')
            button->Click();
    EXPECT_EQ(main->TreeView1->GetCurrentDrive(), L'C');
}

TEST(MainDrives, TitleNamesTheFolderTheTreeShows)
{
    MainWindowWith main("");
    TTreeNode* node = main->TreeView1->Selected();
    ASSERT_NE(node, nullptr);
    const std::wstring folder = main->TreeView1->GetDirPathName(node);
    ASSERT_EQ(node->Parent(), nullptr) << "the start folder is the first fixed drive's root";
    EXPECT_EQ(main->LV1->GetPath(), folder) << "the list shows the tree's folder";
    const std::wstring expected = folder + L" - Quorvan Free";
    EXPECT_EQ(WindowText(main->Handle()), expected);
    EXPECT_EQ(Application->Title(), expected);
    EXPECT_EQ(main->TrayIcon1->Hint(), expected);

    main->LV1->SetMask(L"*.txt");
    main->UpdateWindowTitle();
    EXPECT_EQ(WindowText(main->Handle()), folder + L"  (*.txt) - Quorvan Free");
}

TEST(MainDrives, WindowSectionReachesTheListsAndTheTreePane)
{
    struct Case {
        const char* ini;
        bool grid;
        bool rowSelect;
        bool tree;
    } cases[] = {
        {"[Window]\r\nGrid=1\r\nRowSelect=1\r\nShowDirWin=0\r\n", true, true, false},
        {"[Window]\r\nGrid=0\r\nRowSelect=0\r\nShowDirWin=1\r\n", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        MainWindowWith main(c.ini);
        EXPECT_TRUE(main->FailedOptionSteps.empty());
        for (TDirView* list : {main->LV1, main->LV2}) {
            ASSERT_TRUE(list->HandleAllocated());
            const DWORD styles = static_cast<DWORD>(SendMessageW(list->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
            EXPECT_EQ((styles & LVS_EX_GRIDLINES) != 0, c.grid);
            EXPECT_EQ((styles & LVS_EX_FULLROWSELECT) != 0, c.rowSelect);
        }
        EXPECT_EQ(IsWindowVisible(main->TreeView1->Handle()) != FALSE, c.tree);
        EXPECT_EQ(main->PanelLeft->Visible(), c.tree);
    }
}

TEST(MainDrives, ActiveColourFallsBackWithoutUseColorAndTheChoiceIsSaved)
{
    MainWindowWith main("[Window]\r\nUseColor=0\r\nActiveColor=255\r\n");
    EXPECT_FALSE(Options.UseColor);
    EXPECT_EQ(main->ActivePaneColor, static_cast<TColor>(0xFF000005));
    EXPECT_EQ(Options.ActiveColor, 255) << "the chosen colour is not overwritten";
    main.Close();
    const std::optional<std::string> saved = test::ProgramFolderIni::Read();
    ASSERT_TRUE(saved.has_value());
    EXPECT_NE(saved->find("ActiveColor=255"), std::string::npos) << "and is saved again";
}

TEST(MainDrives, DeviceChangeMessagesAreHandledWithAndWithoutData)
{
    MainWindowWith main("");
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 0x14;  // C: and E:

    main->DrivesChanged = false;
    EXPECT_EQ(SendMessageW(main->Handle(), WM_DEVICECHANGE, 0x0017, 0), TRUE);
    EXPECT_TRUE(main->DrivesChanged);
    main->DrivesChanged = false;
    EXPECT_EQ(SendMessageW(main->Handle(), WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&volume)),
              TRUE);
    EXPECT_TRUE(main->DrivesChanged);

    main->DrivesChanged = false;
    ASSERT_FALSE(main->DriveTimer()->Active());
    const size_t buttons = main->DriveBar()->DriveButtons.size();
    EXPECT_EQ(SendMessageW(main->Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume)),
              TRUE);
    EXPECT_TRUE(main->DrivesChanged);
    EXPECT_TRUE(main->DriveTimer()->Active()) << "a second refresh follows";
    EXPECT_EQ(main->DriveTimer()->Interval(), 1000u);
    EXPECT_EQ(main->DriveBar()->DriveButtons.size(), buttons);
    EXPECT_TRUE(main->DriveBar()->DriveMenuItems[0]->Enabled()) << "the buttons were rebuilt";

    // The timer's refresh stops the timer again.
    const DWORD until = GetTickCount() + 5000;
    while (main->DriveTimer()->Active() && GetTickCount() < until) {
        Application->ProcessMessages();
        Sleep(20);
    }
    EXPECT_FALSE(main->DriveTimer()->Active());
    EXPECT_NE(main->TreeView1->Selected(), nullptr);
}

TEST(MainDrives, ColumnOrderIsCopiedThroughThePostedMessage)
{
    MainWindowWith main("");
    ASSERT_EQ(main->LV1->ColumnCount(), 5);
    const std::vector<int> order{1, 0, 2, 4, 3};
    main->LV1->SetColumnOrderAndRepaint(order);
    main->PostColumnLayout(liList1, liList2);
    EXPECT_NE(main->LV2->GetColumnOrder(), order) << "not before the message";
    Application->ProcessMessages();
    EXPECT_EQ(main->LV2->GetColumnOrder(), order);
}

TEST(MainDrives, CompareFileContentsOnDisk)
{
    test::TestDir dir;
    const std::wstring a = dir.Write(L"a.bin", std::string(5000, 'x'));
    const std::wstring b = dir.Write(L"b.bin", std::string(4999, 'x') + "y");
    const std::wstring c = dir.Write(L"c.bin", std::string(5000, 'x'));
    MainWindowWith main("");
    EXPECT_EQ(main->Compare().CompareFileContents(a, a), crEqual);
    EXPECT_EQ(main->Compare().CompareFileContents(a, c), crEqual);
    EXPECT_EQ(main->Compare().CompareFileContents(a, b), crDifferent);
    EXPECT_EQ(main->Compare().CompareFileContents(dir.File(L"none"), a), crOpenFailedA);
    EXPECT_EQ(main->Compare().CompareFileContents(a, dir.File(L"none")), crOpenFailedB);
}

TEST(MainDrives, ACloseDuringAComparisonStopsItAndClosesAfterwards)
{
    test::TestDir dir;
    const std::wstring a = dir.Write(L"a.bin", std::string(5000, 'x'));
    const std::wstring b = dir.Write(L"b.bin", std::string(5000, 'x'));
    MainWindowWith main("");
    const HWND window = main->Handle();
    ASSERT_TRUE(IsWindowVisible(window));

    // The close arrives while the comparison handles messages between blocks.
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(main->Compare().CompareFileContents(a, b), crAborted);
    EXPECT_TRUE(IsWindowVisible(window)) << "the window stays until the comparison has returned";
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(window); }, std::chrono::seconds(10)))
        << "the held-back close follows";
    EXPECT_EQ(main->Compare().CompareFileContents(a, b), crEqual) << "the next comparison is not aborted";
}

TEST(MainDrives, MessageBoxKeepsTheClosingClickFromStartingAMarquee)
{
    MainWindowWith main("");
    main->LV1->SetFocus();
    ASSERT_EQ(GetFocus(), main->LV1->Handle());
    main->LV1->SuppressMarquee = false;

    // Closes the box from outside once it shows.
    const DWORD uiThread = GetCurrentThreadId();
    const HWND mainWindow = main->Handle();
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        struct Search {
            HWND main;
            std::atomic<bool>* closed;
        } search{mainWindow, &closed};
        for (int tries = 0; tries < 500 && !closed; ++tries) {
            Sleep(10);
            EnumThreadWindows(
                uiThread,
                [](HWND window, LPARAM data) -> BOOL {
                    auto* search = reinterpret_cast<Search*>(data);
                    if (window == search->main || !IsWindowVisible(window) || !IsWindowEnabled(window))
                        return TRUE;
                    PostMessageW(window, WM_CLOSE, 0, 0);
                    *search->closed = true;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&search));
        }
    });
    const int result = main->ShowMessageBox(L"Test", TMsgDlgType::mtInformation, 0, mbOK);
    closer.join();
    EXPECT_TRUE(closed);
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(main->LV1->SuppressMarquee);
}

TEST(MainDrives, TheTreeAndTheDriveKeysMoveTheListThatHadTheFocus)
{
    test::TestDir dir;
    for (const wchar_t* folder : {L"eins", L"zwei", L"drei"})
        ASSERT_TRUE(CreateDirectoryW(dir.File(folder).c_str(), nullptr));
    MainWindowWith main("");
    TDirView& first = *main->LV1;
    TDirView& second = *main->LV2;
    TDriveView& tree = *main->TreeView1;
    const auto loaded = [](TDirView& list, const std::wstring& path) {
        return test::PumpUntil([&] { return !list.Loading() && SameText(list.GetPath(), path); },
                               std::chrono::seconds(10));
    };
    // A click on a tree folder: the control's own selection change.
    const auto clickTreeFolder = [&](const std::wstring& path) {
        TTreeNode* node = tree.NodeForPath(path);
        ASSERT_NE(node, nullptr) << WideToUtf8(path);
        SendMessageW(tree.Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node->ItemId()));
    };
    const std::wstring eins = RemoveBackslashes(dir.File(L"eins"));
    const std::wstring zwei = RemoveBackslashes(dir.File(L"zwei"));
    const std::wstring drei = RemoveBackslashes(dir.File(L"drei"));
    first.SetPath(eins);
    second.SetPath(zwei);
    ASSERT_TRUE(loaded(first, eins));
    ASSERT_TRUE(loaded(second, zwei));
    ASSERT_TRUE(IsWindowVisible(second.Handle())) << "the second file window is shown by default";

    // The second list has the focus: the tree shows its folder, and a folder
    // chosen in the tree is loaded into it, the first list stays.
    second.SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(main->ActiveList, &second);
    ASSERT_NE(tree.Selected(), nullptr);
    EXPECT_TRUE(SameText(RemoveBackslashes(tree.GetDirPathName(tree.Selected())), zwei));
    clickTreeFolder(drei);
    EXPECT_TRUE(loaded(second, drei));
    EXPECT_TRUE(SameText(first.GetPath(), eins)) << WideToUtf8(first.GetPath());
    EXPECT_NE(WindowText(main->Handle()).find(L"drei"), std::wstring::npos)
        << "the title names the active list's folder";

    // The drive keys work on it too.
    TMenuItem* driveC = nullptr;
    for (TMenuItem* item : main->DriveBar()->DriveMenuItems)
        if (item->Enabled() && item->Caption() == L"C")
            driveC = item;
    ASSERT_NE(driveC, nullptr);
    driveC->Click();
    EXPECT_TRUE(test::PumpUntil([&] { return !second.Loading() && UpCaseDrive(second.GetPath()[0]) == L'C'; },
                                std::chrono::seconds(10)));
    EXPECT_TRUE(SameText(first.GetPath(), eins)) << WideToUtf8(first.GetPath());

    // Back in the first list: the tree follows it without loading either list.
    const std::wstring secondPath = second.GetPath();
    first.SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(main->ActiveList, &first);
    ASSERT_NE(tree.Selected(), nullptr);
    EXPECT_TRUE(SameText(RemoveBackslashes(tree.GetDirPathName(tree.Selected())), eins));
    EXPECT_TRUE(SameText(first.GetPath(), eins));
    EXPECT_EQ(second.GetPath(), secondPath);
    clickTreeFolder(zwei);
    EXPECT_TRUE(loaded(first, zwei));
    EXPECT_EQ(second.GetPath(), secondPath);
}

TEST(MainDrives, ARestartOpensTheFoldersTheListsShowedAtExit)
{
    test::TestDir dir;
    for (const wchar_t* folder : {L"start", L"eins", L"zwei"})
        ASSERT_TRUE(CreateDirectoryW(dir.File(folder).c_str(), nullptr));
    const std::wstring start = RemoveBackslashes(dir.File(L"start"));
    const std::wstring eins = RemoveBackslashes(dir.File(L"eins"));
    const std::wstring zwei = RemoveBackslashes(dir.File(L"zwei"));
    const auto shows = [](TDirView& list, const std::wstring& path) {
        return test::PumpUntil([&] { return !list.Loading() && SameText(list.GetPath(), path); },
                               std::chrono::seconds(10));
    };
    std::string saved;
    {
        // Started on one folder, the user goes to others, then closes.
        MainWindowWith main("[Window]\r\nStartDir=" + WideToUtf8(start) + "\r\n");
        ASSERT_TRUE(shows(*main->LV1, start)) << WideToUtf8(main->LV1->GetPath());
        main->LV1->SetPath(eins);
        main->LV2->SetPath(zwei);
        ASSERT_TRUE(shows(*main->LV1, eins));
        ASSERT_TRUE(shows(*main->LV2, zwei));
        main.Close();
        saved = test::ProgramFolderIni::Read().value_or("");
    }
    EXPECT_NE(saved.find("StartDir=" + WideToUtf8(eins) + "\r\n"), std::string::npos) << saved;
    // The next start, without a folder named: the folders left.
    MainWindowWith main(saved);
    EXPECT_TRUE(shows(*main->LV1, eins)) << WideToUtf8(main->LV1->GetPath());
    EXPECT_TRUE(shows(*main->LV2, zwei)) << WideToUtf8(main->LV2->GetPath());
}

// The main window and the logo form, created in this process.

#include "SettingsGuards.h"

#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/QuorSplash.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/SentMessageWait.h"
#include "settings/Quorvan32Globals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

using namespace qrv;

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Removes "ShowLogo" for the test (a missing value means: show the logo).
class WithoutShowLogoValue {
public:
    WithoutShowLogoValue()
    {
        TRegistry registry;
        if (registry.OpenKey(L"\\Software\\Quorvan Free", false))
            registry.DeleteValue(L"ShowLogo");
    }
};

// A window of this thread that counts the messages other threads send to it,
// by the phase the test is in when each is answered.
class SentMessageCounter {
public:
    SentMessageCounter()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QrvSentMessageCounter";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~SentMessageCounter() { DestroyWindow(window_); }
    HWND Window() const { return window_; }

    int Phase = 0;
    int Answered[3] = {};

private:
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_APP) {
            if (auto* self = reinterpret_cast<SentMessageCounter*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
                ++self->Answered[self->Phase];
            return 1;
        }
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    HWND window_ = nullptr;
};

// Waits (up to a second) until another thread has sent this thread a message.
void WaitForASentMessage()
{
    for (int i = 0; i < 1000 && !(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE); ++i)
        Sleep(1);
}

// The window reads the program folder's settings file at start and saves it
// and the settings key when it goes: both are put back afterwards.
class MainForm : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};

    void SetUp() override { ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free")); }
};

}  // namespace

TEST_F(MainForm, LogoShowsTheVersionAndGoesAtTheFirstShow)
{
    InitializeGlobals();
    WithoutShowLogoValue noValue;
    TQuorSplash* logo = ShowStartupLogo();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(ClassOf(logo->Handle()), L"TQuorSplash");
    EXPECT_EQ(GetWindowLongW(logo->Handle(), GWL_STYLE) & WS_CAPTION, 0) << "borderless";
    EXPECT_TRUE(IsWindowVisible(logo->Handle()));
    wchar_t version[64];
    GetWindowTextW(logo->lblVersion()->Handle(), version, 64);
    EXPECT_STREQ(version, L"Version 3.2");

    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    EXPECT_EQ(StartupLogo(), logo) << "still there while the window is built";
    main->Show();
    EXPECT_EQ(StartupLogo(), nullptr);
    EXPECT_EQ(FindWindowW(L"TQuorSplash", nullptr), nullptr);
    main.reset();
    FinalizeGlobals();
}

TEST_F(MainForm, EveryPaneIsARealControl)
{
    InitializeGlobals();
    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    main->Show();
    struct Pane {
        TWinControl* control;
        const wchar_t* windowClass;
    } panes[] = {
        {main->TreeView1, WC_TREEVIEWW},
        {main->LV1, WC_LISTVIEWW},
        {main->LV2, WC_LISTVIEWW},
        {main->StatusBar, STATUSCLASSNAMEW},
    };
    for (const Pane& pane : panes) {
        ASSERT_NE(pane.control, nullptr);
        ASSERT_TRUE(pane.control->HandleAllocated());
        EXPECT_EQ(ClassOf(pane.control->Handle()), pane.windowClass);
        EXPECT_TRUE(IsWindowVisible(pane.control->Handle())) << pane.control->Name().c_str();
        EXPECT_GT(pane.control->Width(), 0);
        EXPECT_GT(pane.control->Height(), 0);
    }
    // The tree at the left, the lists to its right down to the status bar;
    // the display pane stands below them only while the display is on.
    RECT tree, list1, list2, status;
    GetWindowRect(main->TreeView1->Handle(), &tree);
    GetWindowRect(main->LV1->Handle(), &list1);
    GetWindowRect(main->LV2->Handle(), &list2);
    GetWindowRect(main->StatusBar->Handle(), &status);
    EXPECT_LE(tree.right, list1.left);
    EXPECT_LE(list1.bottom, list2.top);
    EXPECT_LE(list2.bottom, status.top);
    EXPECT_EQ(main->StatusBar->Top() + main->StatusBar->Height(), main->ClientHeight()) << "status bar at the bottom";
    EXPECT_FALSE(main->PanelBottom->Visible());
    EXPECT_EQ(main->ActiveList, main->LV1);
    EXPECT_EQ(main->DriveBar()->DriveMenuItems.size(), 27u);
    EXPECT_EQ(main->FKeyButtons.size(), 12u);
    EXPECT_FALSE(main->SelectionListFile.empty());
    main.reset();
    FinalizeGlobals();
}

TEST_F(MainForm, ShutdownRunsOnce)
{
    InitializeGlobals();
    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    main->Show();
    const std::wstring listFile = main->SelectionListFile;
    EXPECT_NE(GetFileAttributesW(listFile.c_str()), INVALID_FILE_ATTRIBUTES);
    main->ShutdownMainWindow();
    EXPECT_TRUE(main->ShuttingDown);
    main->ShutdownMainWindow();  // a second call returns at once
    main.reset();
    EXPECT_EQ(GetFileAttributesW(listFile.c_str()), INVALID_FILE_ATTRIBUTES) << "its own list file is deleted";
    FinalizeGlobals();
}

// Another thread keeps sending messages to this thread while the main window
// is built and shown: they are answered between the steps, not only when the
// whole start-up is done.
TEST_F(MainForm, MessagesSentDuringTheStartUpAreAnsweredMeanwhile)
{
    InitializeGlobals();
    SentMessageCounter counter;
    std::atomic<bool> stop{false};
    std::atomic<bool> senderDone{false};
    std::thread sender([&] {
        while (!stop)
            SendMessageTimeoutW(counter.Window(), WM_APP, 0, 0, SMTO_NORMAL, 5000, nullptr);
        senderDone = true;
    });
    WaitForASentMessage();
    counter.Phase = 1;
    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    counter.Phase = 0;
    WaitForASentMessage();
    counter.Phase = 2;
    main->Show();
    counter.Phase = 0;
    stop = true;
    while (!senderDone) {
        AnswerSentMessages();
        Sleep(1);
    }
    sender.join();
    EXPECT_GT(counter.Answered[1], 0) << "while the window was built";
    EXPECT_GT(counter.Answered[2], 0) << "while its windows were made and it was first shown";
    main.reset();
    FinalizeGlobals();
}

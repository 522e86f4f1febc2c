// The main window and the logo form, created in this process.

#include "SettingsGuards.h"

#include "framework/SysUtils.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/QuorSplash.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "panels/win/SentMessageWait.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <thread>
#include <vector>

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
    // Every text on one line, whole, inside the logo, and none over another:
    // the height a text needs in its label's width and font is one line's.
    RECT logoRect{};
    GetClientRect(logo->Handle(), &logoRect);
    std::vector<RECT> texts;
    for (HWND label = GetWindow(logo->Handle(), GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
        wchar_t text[128] = L"";
        if (GetWindowTextW(label, text, 128) == 0)
            continue;
        RECT shown{};
        GetWindowRect(label, &shown);
        MapWindowPoints(nullptr, logo->Handle(), reinterpret_cast<POINT*>(&shown), 2);
        const HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        RECT needed{0, 0, shown.right - shown.left, 0};
        DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK);
        RECT line{0, 0, 0, 0};
        DrawTextW(dc, text, -1, &line, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        SCOPED_TRACE(WideToUtf8(text));
        EXPECT_EQ(needed.bottom, line.bottom) << "wraps in its label";
        EXPECT_GE(shown.bottom - shown.top, line.bottom) << "cut at the bottom";
        EXPECT_GE(shown.left, logoRect.left);
        EXPECT_LE(shown.right, logoRect.right);
        EXPECT_LE(shown.bottom, logoRect.bottom);
        for (const RECT& other : texts) {
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &shown, &other)) << "over another text";
        }
        texts.push_back(shown);
    }
    EXPECT_GE(texts.size(), 2u) << "the title and the version";

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

TEST_F(MainForm, FunctionKeyLabelsFitTheirButtons)
{
    InitializeGlobals();
    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    main->Show();
    ASSERT_EQ(main->FKeyButtons.size(), 12u);
    int previousRight = INT_MIN;
    for (TKyToolbarButton* button : main->FKeyButtons) {
        SCOPED_TRACE(WideToUtf8(button->Caption()));
        ASSERT_TRUE(button->HandleAllocated());
        const HDC dc = GetDC(button->Handle());
        const HGDIOBJ old = SelectObject(dc, button->Font().Handle());
        RECT label{0, 0, 0, 0};
        DrawTextW(dc, button->Caption().c_str(), -1, &label, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(button->Handle(), dc);
        RECT shown{};
        GetWindowRect(button->Handle(), &shown);
        // The label with at least two pixels of room on each side.
        EXPECT_GE(shown.right - shown.left, label.right + 4);
        EXPECT_GE(shown.left, previousRight) << "buttons side by side, none over another";
        previousRight = shown.right;
    }
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

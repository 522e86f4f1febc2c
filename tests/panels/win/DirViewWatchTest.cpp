#include "panels/win/DirView.h"
#include "panels/win/DiscMon.h"

#include "TestDir.h"
#include "framework/ScopeExit.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// A list on a form showing a fresh folder of the test drive.
class DirViewWatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        path = dir.Path();
        dir.Write(L"first.txt", "1");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        list = new TDirView(form.get());
        list->SetParent(form.get());
        list->SetBounds(0, 0, 500, 400);
        list->SetNoCheckDrives(L"Z");
        list->OnChangeDetected = [this](TComponent*) { ++rereads; };
        form->HandleNeeded();
        list->SetPath(path);
        ASSERT_TRUE(list->Loaded());
    }
    void TearDown() override { form.reset(); }

    // Switches watching on and waits until the watch is open: what changes
    // before that is not reported.
    void WatchOn()
    {
        list->SetWatchForChanges(true);
        WaitWatching();
    }
    void WaitWatching()
    {
        ASSERT_TRUE(list->WatchThreadActive());
        ASSERT_TRUE(test::PumpUntil(
            [&] {
                return list->DiscMonitor()->State() == TDiscMonitorState::dmsWatching &&
                       list->DiscMonitor()->Directory() == list->GetPath();
            },
            20s));
    }
    bool Shows(const std::wstring& name) { return list->FindFileItem(name) != nullptr; }

    test::TestDir dir;
    std::wstring path;
    std::unique_ptr<TForm> form;
    TDirView* list = nullptr;
    int rereads = 0;
};

TEST_F(DirViewWatchTest, FilesCreatedOutsideAppearAfterOneReread)
{
    WatchOn();
    for (const wchar_t* name : {L"one.txt", L"two.txt", L"three.txt"})
        dir.Write(name, "x");
    ASSERT_TRUE(test::PumpUntil([&] { return Shows(L"one.txt") && Shows(L"two.txt") && Shows(L"three.txt"); }, 20s));
    EXPECT_EQ(rereads, 1);
    EXPECT_FALSE(list->ChangePending());
}

TEST_F(DirViewWatchTest, ADriveInNoCheckDrivesIsNotWatched)
{
    list->SetNoCheckDrives(std::wstring(1, path[0]));
    EXPECT_EQ(list->NoCheckDrives(), std::wstring(L"\\") + static_cast<wchar_t>(towupper(path[0])));
    list->SetWatchForChanges(true);
    EXPECT_FALSE(list->WatchThreadActive());
    // A second list on the same folder does watch: once it has seen the
    // file, a watching list would have seen it too.
    auto* witness = new TDirView(form.get());
    witness->SetParent(form.get());
    witness->SetNoCheckDrives(L"Z");
    witness->SetChangeInterval(50);
    witness->SetPath(path);
    witness->SetWatchForChanges(true);
    ASSERT_TRUE(
        test::PumpUntil([&] { return witness->DiscMonitor()->State() == TDiscMonitorState::dmsWatching; }, 20s));
    dir.Write(L"unseen.txt", "x");
    ASSERT_TRUE(test::PumpUntil([&] { return witness->FindFileItem(L"unseen.txt") != nullptr; }, 20s));
    EXPECT_FALSE(Shows(L"unseen.txt"));
    list->RefreshDirectory();
    EXPECT_TRUE(Shows(L"unseen.txt"));
    EXPECT_EQ(rereads, 0);
}

TEST_F(DirViewWatchTest, NoRereadWhileANameIsEditedAndOneAfterwards)
{
    // ctest: runs alone (the name editor closes when any other program's
    // window takes the focus, which the focus lock cannot keep from windows
    // that are merely shown)
    list->SetChangeInterval(50);
    WatchOn();
    form->Show();
    SetFocus(list->Handle());
    const int first = list->IndexOf(list->FindFileItem(L"first.txt"));
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(list->Handle(), LVM_EDITLABELW, first, 0));
    ASSERT_NE(edit, nullptr) << "the list does not edit names in place";
    dir.Write(L"during.txt", "x");
    ASSERT_TRUE(test::PumpUntil([&] { return list->ChangePending(); }, 20s));
    test::PumpFor(250ms);  // five ticks of the timer
    EXPECT_EQ(rereads, 0);
    EXPECT_FALSE(Shows(L"during.txt"));
    ASSERT_NE(SendMessageW(list->Handle(), LVM_GETEDITCONTROL, 0, 0), 0);
    SendMessageW(list->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return Shows(L"during.txt"); }, 20s));
    EXPECT_EQ(rereads, 1);
}

TEST_F(DirViewWatchTest, AChangeMadeWhileTheListReadsIsNotLost)
{
    WatchOn();
    // Another program writes a file while the list reads its folder: the
    // read may or may not see it, the watch must.
    bool written = false;
    list->OnAddFile = [&](TComponent*, TSearchRec&, bool&) {
        if (!written) {
            written = true;
            dir.Write(L"meanwhile.txt", "x");
        }
    };
    list->Reload(false);
    list->OnAddFile = nullptr;
    ASSERT_TRUE(written);
    EXPECT_TRUE(list->WatchThreadActive());
    EXPECT_TRUE(test::PumpUntil([&] { return Shows(L"meanwhile.txt"); }, 20s));
}

TEST_F(DirViewWatchTest, ALongReadAnswersMessagesSentToTheWindow)
{
    for (int i = 0; i < 300; ++i)
        dir.Write(L"f" + std::to_wstring(i) + L".txt", "");
    const HWND window = list->Handle();
    std::atomic<bool> answered{false};
    TKernelHandle reading(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Another program asks the window something while the list reads.
    std::thread asker([&] {
        WaitForSingleObject(reading.Get(), INFINITE);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result))
            answered = true;
    });
    bool answeredDuringTheRead = false;
    list->OnAddFile = [&](TComponent*, TSearchRec&, bool&) {
        SetEvent(reading.Get());
        if (!answered)
            Sleep(1);  // a slow drive
        answeredDuringTheRead = answered;
    };
    list->Reload(false);
    list->OnAddFile = nullptr;
    asker.join();
    EXPECT_TRUE(answeredDuringTheRead) << "the window answered only after the read";
    EXPECT_TRUE(Shows(L"f299.txt"));
}

// Orders without regard to case, like the default, but its first key runs
// Meanwhile first: a sort that takes as long as Meanwhile does.
class TStallingCollator : public TSortCollator {
public:
    explicit TStallingCollator(std::function<void()> Meanwhile) : meanwhile_(std::move(Meanwhile)) {}
    std::string SortKey(std::wstring_view Text) const override
    {
        std::call_once(once_, meanwhile_);
        return fold_.SortKey(Text);
    }

private:
    std::function<void()> meanwhile_;
    mutable std::once_flag once_;
    TFoldCollator fold_;
};

// Waits at most 10 s for Flag.
void WaitFor(const std::atomic<bool>& Flag)
{
    for (int i = 0; i < 1000 && !Flag; ++i)
        Sleep(10);
}

TEST_F(DirViewWatchTest, ALongSortAnswersMessagesSentToTheWindow)
{
    for (int i = 0; i < 300; ++i)
        dir.Write(L"f" + std::to_wstring(i) + L".txt", "");
    list->Reload(false);
    const HWND window = list->Handle();
    std::atomic<bool> answered{false};
    TKernelHandle sorting(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread asker([&] {
        WaitForSingleObject(sorting.Get(), 20000);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result))
            answered = true;
    });
    std::atomic<bool> answeredDuringTheSort{false};
    list->SetCollator(std::make_shared<TStallingCollator>([&] {
        SetEvent(sorting.Get());
        WaitFor(answered);
        answeredDuringTheSort = answered.load();
    }));
    list->SetSortAscending(false);
    asker.join();
    EXPECT_TRUE(answeredDuringTheSort) << "the window answered only after the sort";
    // The sort's result is still applied: names descending, case ignored.
    std::vector<std::wstring> names;
    for (int i = 0; i < list->ItemCount(); ++i)
        if (!list->GetItemData(i)->IsParentDir)
            names.push_back(list->GetItemData(i)->FileName);
    ASSERT_EQ(names.size(), 301u);
    for (size_t i = 1; i < names.size(); ++i)
        EXPECT_GT(_wcsicmp(names[i - 1].c_str(), names[i].c_str()), 0) << i;
}

// A window of the test's thread that runs OnMessage for what is sent to it.
std::function<void()> OnMessage;

LRESULT CALLBACK RunOnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP && OnMessage) {
        OnMessage();
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(DirViewWatchTest, AFolderOpenedDuringASortIsReadAfterIt)
{
    for (int i = 0; i < 50; ++i)
        dir.Write(L"f" + std::to_wstring(i) + L".txt", "");
    ASSERT_TRUE(CreateDirectoryW((path + L"\\other").c_str(), nullptr));
    dir.Write(L"other\\inside.txt", "");
    list->Reload(false);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RunOnMessage;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QrvSortTestReceiver";
    RegisterClassW(&windowClass);
    const HWND receiver = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          windowClass.hInstance, nullptr);
    ASSERT_TRUE(receiver);
    ScopeExit destroy([&] {
        DestroyWindow(receiver);
        OnMessage = nullptr;
    });
    // Another program makes this thread open a folder while the list sorts:
    // the records being sorted must not go, the folder is read afterwards.
    std::atomic<bool> opened{false};
    OnMessage = [&] {
        list->SetPath(path + L"\\other");
        opened = true;
    };
    TKernelHandle sorting(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread asker([&] {
        WaitForSingleObject(sorting.Get(), 20000);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(receiver, WM_APP, 0, 0, SMTO_NORMAL, 10000, &result);
    });
    std::atomic<bool> openedDuringTheSort{false};
    list->SetCollator(std::make_shared<TStallingCollator>([&] {
        SetEvent(sorting.Get());
        WaitFor(opened);
        openedDuringTheSort = opened.load();
    }));
    list->SetSortAscending(false);
    asker.join();
    ASSERT_TRUE(openedDuringTheSort);
    // Right after the sort the list still holds the sorted old folder.
    EXPECT_TRUE(Shows(L"f49.txt"));
    EXPECT_TRUE(test::PumpUntil([&] { return Shows(L"inside.txt"); }, 20s));
    EXPECT_EQ(list->GetPath(), path + L"\\other");
    EXPECT_FALSE(Shows(L"f49.txt"));
}

TEST_F(DirViewWatchTest, TheWatchFollowsTheListToAnotherFolder)
{
    ASSERT_TRUE(CreateDirectoryW((path + L"\\sub").c_str(), nullptr));
    WatchOn();
    list->SetPath(path + L"\\sub");
    WaitWatching();
    dir.Write(L"sub\\inside.txt", "x");
    EXPECT_TRUE(test::PumpUntil([&] { return Shows(L"inside.txt"); }, 20s));
}

}  // namespace

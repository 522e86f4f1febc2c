#include "panels/win/DirView.h"
#include "panels/win/DiscMon.h"

#include "TestDir.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

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
    ASSERT_TRUE(test::PumpUntil([&] { return witness->DiscMonitor()->State() == TDiscMonitorState::dmsWatching; }, 20s));
    dir.Write(L"unseen.txt", "x");
    ASSERT_TRUE(test::PumpUntil([&] { return witness->FindFileItem(L"unseen.txt") != nullptr; }, 20s));
    EXPECT_FALSE(Shows(L"unseen.txt"));
    list->RefreshDirectory();
    EXPECT_TRUE(Shows(L"unseen.txt"));
    EXPECT_EQ(rereads, 0);
}

TEST_F(DirViewWatchTest, NoRereadWhileANameIsEditedAndOneAfterwards)
{
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

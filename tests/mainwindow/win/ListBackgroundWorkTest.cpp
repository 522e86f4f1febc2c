// The main window's part in the lists' folder sizes, with two real lists
// and a fake of the window: the command, the idle start of deferred scans
// and the pause around a rename.

#include "mainwindow/win/ListBackgroundWork.h"

#include "framework/win/Forms.h"
#include "panels/win/DirView.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class FakeWorkHost : public TListBackgroundWorkHost {
public:
    TDirView* FirstList() override { return first; }
    TDirView* SecondShownList() override { return secondShown ? second : nullptr; }
    TDirView* SecondList() override { return second; }
    bool& StoredDirSize() override { return stored; }

    TDirView* first = nullptr;
    TDirView* second = nullptr;
    bool secondShown = true;
    bool stored = false;
};

class ListBackgroundWorkTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : {L"eins", L"zwei"}) {
            ASSERT_TRUE(CreateDirectoryW(dir.File(name).c_str(), nullptr));
            ASSERT_TRUE(CreateDirectoryW((dir.File(name) + L"\\innen").c_str(), nullptr));
        }
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 400);
        for (TDirView** list : {&host.first, &host.second}) {
            *list = new TDirView(form.get());
            (*list)->SetParent(form.get());
        }
        form->HandleNeeded();
    }
    void TearDown() override { form.reset(); }
    static bool AllSized(const TDirView& List)
    {
        for (int i = 0; i < List.ItemCount(); ++i) {
            const TFileRec* item = List.GetItemData(i);
            if (item->IsDirectory && !item->IsParentDir && !item->SubDirSizeDone)
                return false;
        }
        return List.ItemCount() > 0;
    }

    qrv::test::TestDir dir;
    std::unique_ptr<TForm> form;
    FakeWorkHost host;
    TListBackgroundWork work{host};
};

TEST_F(ListBackgroundWorkTest, TheCommandSetsBothListsAndIdleStartsOnlyTheShownOnes)
{
    host.first->SetPath(dir.Path());
    host.second->SetPath(dir.Path());
    host.secondShown = false;
    work.ViewDirSizeExecute();
    EXPECT_TRUE(host.stored);
    EXPECT_TRUE(work.DirSizesShown());
    for (TDirView* list : {host.first, host.second}) {
        EXPECT_TRUE(list->ShowSubDirSize());
        EXPECT_TRUE(list->ScanPending());
    }
    work.StartPendingListThreads();
    ASSERT_TRUE(test::PumpUntil([&] { return AllSized(*host.first); }, 10s));
    EXPECT_TRUE(host.second->ScanPending()) << "a hidden list waits";
    EXPECT_FALSE(AllSized(*host.second));
    host.secondShown = true;
    work.StartPendingListThreads();
    ASSERT_TRUE(test::PumpUntil([&] { return AllSized(*host.second); }, 10s));
    EXPECT_FALSE(host.first->AutoStartThreads());
    work.ViewDirSizeExecute();
    EXPECT_FALSE(host.stored);
    EXPECT_FALSE(host.first->ShowSubDirSize());
}

TEST_F(ListBackgroundWorkTest, ARenamePausesTheScansOfItsDriveAndResumesThem)
{
    work.UpdateDirSizeView(true);
    for (TDirView* list : {host.first, host.second}) {
        list->SetShowSubDirSize(true);
        list->SetPath(dir.Path());
        EXPECT_TRUE(list->ScanPending());
    }
    // Both on the test drive: both pause.
    work.PauseDirSizeScan(host.first);
    EXPECT_FALSE(host.first->ScanPending());
    EXPECT_FALSE(host.second->ScanPending());
    work.ResumeDirSizeScan(host.first);
    EXPECT_TRUE(host.first->ScanPending());
    EXPECT_TRUE(host.second->ScanPending());
    // The other list on another drive goes on.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_NE(towupper(windows[0]), towupper(dir.Path()[0]));
    host.second->SetPath(windows);
    ASSERT_TRUE(host.second->ScanPending());
    work.PauseDirSizeScan(host.first);
    EXPECT_FALSE(host.first->ScanPending());
    EXPECT_TRUE(host.second->ScanPending());
    // Without folder sizes shown nothing pauses.
    work.UpdateDirSizeView(false);
    work.ResumeDirSizeScan(host.first);
    EXPECT_FALSE(host.first->ScanPending());
}

}  // namespace

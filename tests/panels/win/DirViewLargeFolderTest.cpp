// A file list on a folder of 100,000 files (made on the Linux side by
// scripts/test-fixtures) re-reading after a change: the search runs on a
// worker and the comparison in slices, between which a key press acts; the
// selection, the focus and the scroll position stay.

#include "panels/win/DirView.h"
#include "panels/win/DiscMon.h"

#include "framework/win/Forms.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

constexpr int kFiles = 100000;
// Each file made through Wine in a folder of 100,000 takes a search of it.
constexpr int kNewFiles = 10;

// Handles the thread's messages one at a time, as the program's message
// loop does, until Done holds after one of them.
template <class Done>
bool PumpEachUntil(Done&& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    return done();
}

class DirViewLargeFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* testDir = std::getenv("QRV_TEST_DIR");
        if (!testDir || !*testDir)
            GTEST_SKIP() << "QRV_TEST_DIR names no test drive";
        folder = std::wstring(1, static_cast<wchar_t>(testDir[0])) + L":\\qrvtest-large\\list";
        if (GetFileAttributesW((folder + L"\\f099999.txt").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "the large folder is missing (scripts/test-fixtures makes it)";
        RemoveNewFiles();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        list = new TDirView(form.get());
        list->SetParent(form.get());
        list->SetBounds(0, 0, 500, 400);
        list->SetNoCheckDrives(L"Z");
        list->SetChangeInterval(50);
        form->HandleNeeded();
        form->Show();
        list->SetPath(folder);
        ASSERT_TRUE(list->Loaded());
        ASSERT_EQ(list->ItemCount(), kFiles + 1) << "the files and \"..\"";
        list->SetWatchForChanges(true);
        ASSERT_TRUE(test::PumpUntil(
            [&] { return list->DiscMonitor() && list->DiscMonitor()->State() == TDiscMonitorState::dmsWatching; },
            20s));
    }
    void TearDown() override
    {
        form.reset();
        RemoveNewFiles();
    }

    std::wstring NewFile(int i) const { return folder + L"\\zz-new" + std::to_wstring(i) + L".txt"; }
    void RemoveNewFiles() const
    {
        for (int i = 0; i < kNewFiles; ++i)
            DeleteFileW(NewFile(i).c_str());
    }
    int Focused() const { return static_cast<int>(SendMessageW(list->Handle(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED)); }
    std::vector<std::wstring> SelectedNames() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < list->ItemCount(); ++i)
            if (list->GetItemData(i)->Selected)
                names.push_back(list->GetItemData(i)->FileName);
        return names;
    }
    int Top() const { return static_cast<int>(SendMessageW(list->Handle(), LVM_GETTOPINDEX, 0, 0)); }

    std::wstring folder;
    std::unique_ptr<TForm> form;
    TDirView* list = nullptr;
};

TEST_F(DirViewLargeFolderTest, AKeyActsDuringAReReadThatKeepsSelectionFocusAndScroll)
{
    // ctest: takes the focus (the form is shown and activated)
    // Somewhere in the middle: a selection, the focus, the view scrolled there.
    TFileRec* selected = list->FindFileItem(L"f050000.txt");
    ASSERT_NE(selected, nullptr);
    // Through the control, as the user's clicks and keys do.
    list->TCustomListView::SetSelected(list->IndexOf(selected), true);
    const int focusedBefore = list->IndexOf(list->FindFileItem(L"f050010.txt"));
    list->TCustomListView::SetItemFocused(focusedBefore);
    ASSERT_EQ(Focused(), focusedBefore);
    SendMessageW(list->Handle(), LVM_ENSUREVISIBLE, focusedBefore, FALSE);
    const int topBefore = Top();
    ASSERT_GT(topBefore, 40000);

    for (int i = 0; i < kNewFiles; ++i) {
        HANDLE file = CreateFileW(NewFile(i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    // The worker has searched the folder; the comparison goes in slices.
    ASSERT_TRUE(PumpEachUntil([&] { return list->SlicedReloadPending(); }, 60s));
    PostMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 0x01500001);
    PostMessageW(list->Handle(), WM_KEYUP, VK_DOWN, 0xC1500001);
    ASSERT_TRUE(PumpEachUntil([&] { return Focused() != focusedBefore; }, 60s));
    EXPECT_TRUE(list->SlicedReloadPending()) << "the key waited for the whole re-read";
    EXPECT_EQ(Focused(), focusedBefore + 1);
    // What the user has now (the arrow key selected what it focused) is what
    // the re-read keeps.
    const std::vector<std::wstring> selection = SelectedNames();
    const int top = Top();

    ASSERT_TRUE(test::PumpUntil([&] { return list->ItemCount() == kFiles + 1 + kNewFiles; }, 60s));
    EXPECT_FALSE(list->SlicedReloadPending());
    EXPECT_EQ(list->ItemFocused(), list->FindFileItem(L"f050011.txt")) << "the focus moved by the key stays";
    EXPECT_EQ(Focused(), focusedBefore + 1) << "the new files sort after it";
    EXPECT_EQ(SelectedNames(), selection);
    EXPECT_FALSE(selection.empty());
    EXPECT_EQ(list->FindFileItem(L"f050000.txt"), selected) << "the same record";
    EXPECT_EQ(Top(), top) << "the view stays where it was";
    EXPECT_NE(list->FindFileItem(L"zz-new0.txt"), nullptr);
}

}  // namespace

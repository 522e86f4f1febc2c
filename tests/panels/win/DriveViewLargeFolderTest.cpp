// The folder tree on a folder of 100,000 files (made on the Linux side by
// scripts/test-fixtures): its subfolders are searched on a worker while the
// window keeps answering, and finding a path below it does not wait for the
// whole folder.

#include "panels/win/DriveView.h"

#include "TreeAndListForm.h"
#include "framework/win/Forms.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class DriveViewLargeFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* testDir = std::getenv("QRV_TEST_DIR");
        if (!testDir || !*testDir)
            GTEST_SKIP() << "QRV_TEST_DIR names no test drive";
        big = std::wstring(1, static_cast<wchar_t>(testDir[0])) + L":\\qrvtest-large\\big";
        if (GetFileAttributesW((big + L"\\f099999.txt").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "the large folder is missing (scripts/test-fixtures makes it)";
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        // The list stays away from the large folder: only the tree reads it.
        tree->SetDirView(nullptr);
        tree->SetReadInBackground(true);
        form->HandleNeeded();
    }
    void TearDown() override { form.reset(); }

    std::vector<std::wstring> ChildNames(TTreeNode* node)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < node->Count(); ++i)
            names.push_back(tree->GetDirName(node->Item(i)));
        return names;
    }

    bool ControlShowsButton(TTreeNode* node)
    {
        TVITEMW item{};
        item.mask = TVIF_CHILDREN;
        item.hItem = node->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.cChildren != 0;
    }

    std::wstring big;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
};

TEST_F(DriveViewLargeFolderTest, ExpandingItAnswersSentMessagesWhileTheWorkerReads)
{
    TTreeNode* node = tree->NodeForPath(big);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Count(), 0) << "found without reading it";
    node->Expand();
    // The search of 100,000 entries takes far longer than the tree waits.
    ASSERT_TRUE(tree->SubDirReadPending(node));
    EXPECT_FALSE(node->Expanded());
    EXPECT_TRUE(ControlShowsButton(node)) << "a folder being read keeps its button";

    // Another thread sends the tree a message: it is answered while the
    // folder is still being read.
    std::atomic<bool> answered = false;
    const HWND window = tree->Handle();
    std::thread sender([&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        answered = true;
    });
    const bool inTime = test::PumpUntil([&] { return answered.load(); }, 60s);
    const bool stillReading = tree->SubDirReadPending(node);
    sender.join();
    ASSERT_TRUE(inTime);
    EXPECT_TRUE(stillReading) << "the answer waited for the whole folder";

    ASSERT_TRUE(test::PumpUntil([&] { return tree->ReadsPending() == 0; }, 60s));
    EXPECT_TRUE(node->Expanded()) << "the node asked to open opens with its folders";
    EXPECT_EQ(ChildNames(node), (std::vector<std::wstring>{L"sub a", L"Sub B", L"sub c"}));
    EXPECT_TRUE(tree->NodeData(node).AllScanned);
    EXPECT_TRUE(ControlShowsButton(node));
}

TEST_F(DriveViewLargeFolderTest, APathBelowItIsFoundBeforeTheFolderIsReadAndKeepsItsNode)
{
    TTreeNode* sub = tree->NodeForPath(big + L"\\SUB B");
    ASSERT_NE(sub, nullptr);
    TTreeNode* node = sub->Parent();
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(tree->SubDirReadPending(node));
    EXPECT_EQ(ChildNames(node), std::vector<std::wstring>{L"SUB B"}) << "only the folder asked for, so far";
    tree->SelectNode(sub);

    ASSERT_TRUE(test::PumpUntil([&] { return tree->ReadsPending() == 0; }, 60s));
    EXPECT_EQ(ChildNames(node), (std::vector<std::wstring>{L"sub a", L"Sub B", L"sub c"}));
    EXPECT_EQ(node->Item(1), sub) << "the node found first stays";
    EXPECT_EQ(tree->GetDirPath(sub), big + L"\\Sub B") << "with the disk's spelling";
    EXPECT_EQ(tree->Selected(), sub);
    // A name that is no folder there is not made up.
    EXPECT_EQ(tree->NodeForPath(big + L"\\f000001.txt"), nullptr);
    EXPECT_EQ(tree->NodeForPath(big + L"\\nothing"), nullptr);
}

TEST_F(DriveViewLargeFolderTest, AnAnswerForANodeThatWentIsDropped)
{
    TTreeNode* node = tree->NodeForPath(big);
    ASSERT_NE(node, nullptr);
    TTreeNode* parent = node->Parent();
    // Finding the node may still be reading its parents (slowly under
    // load): those reads belong to nodes that stay, so they finish first.
    ASSERT_TRUE(test::PumpUntil([&] { return tree->ReadsPending() == 0; }, 60s));
    node->Expand();
    ASSERT_TRUE(tree->SubDirReadPending(node));
    // The parent is emptied while the worker reads: the node goes.
    tree->ClearNodeChildren(parent);
    EXPECT_EQ(tree->ReadsPending(), 0u);
    test::PumpFor(1500ms);
    EXPECT_EQ(parent->Count(), 0);
    // Read again, the folder comes back whole.
    TTreeNode* again = tree->NodeForPath(big);
    ASSERT_NE(again, nullptr);
    again->Expand();
    ASSERT_TRUE(test::PumpUntil([&] { return tree->ReadsPending() == 0; }, 60s));
    EXPECT_EQ(ChildNames(again), (std::vector<std::wstring>{L"sub a", L"Sub B", L"sub c"}));
}

}  // namespace

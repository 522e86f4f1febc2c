#include "panels/win/DriveView.h"

#include "TestDir.h"
#include "TreeAndListForm.h"
#include "framework/win/Forms.h"
#include "panels/win/DirView.h"
#include "panels/win/DiscMon.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// A tree and its list on a form, watching the test drive only: Z: (the
// Linux root under Wine) is excluded before watching is switched on.
class DriveViewWatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = dir.Path();
        ASSERT_GE(root.size(), 3u);
        drive = root[0];
        for (const wchar_t* sub : {L"\\a", L"\\a\\b", L"\\a\\Alpha", L"\\a\\gone"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));

        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        tree->SetNoCheckDrives(L"Z");
        tree->SetChangeInterval(200);
        tree->OnChangeDetected = [this](TComponent*, wchar_t) { ++validations; };
        form->HandleNeeded();
    }
    void TearDown() override { form.reset(); }

    // Selects and expands a folder of the fixture, reading it (Wine reports
    // changes below a watched root only in folders it has opened).
    TTreeNode* Open(const std::wstring& sub)
    {
        tree->SetDirectory(root + sub);
        TTreeNode* node = tree->NodeForPath(root + sub);
        EXPECT_NE(node, nullptr);
        if (node)
            node->Expand();
        return node;
    }
    // Switches watching on and waits until the drive's monitor watches;
    // then reads the drive's read folders again, top down, so that Wine,
    // which reports changes below a recursive watch only in folders opened
    // while it runs (below a folder it watches already), reports those.
    void WatchAndRead()
    {
        tree->SetWatchDirectory(true);
        TDiscMonitor* monitor = tree->DriveMonitor(drive);
        ASSERT_NE(monitor, nullptr);
        ASSERT_TRUE(test::PumpUntil([&] { return monitor->State() == TDiscMonitorState::dmsWatching; }, 20s));
        tree->ValidateDirectory(tree->DriveRootNode(drive));
    }
    TTreeNode* Child(TTreeNode* node, const std::wstring& name)
    {
        for (int i = 0; i < node->Count(); ++i)
            if (tree->NodeData(node->Item(i)).DirName == name)
                return node->Item(i);
        return nullptr;
    }

    test::TestDir dir;
    std::wstring root;
    wchar_t drive = 0;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
    int validations = 0;
};

TEST_F(DriveViewWatchTest, AFolderMadeOutsideInAnExpandedFolderAppears)
{
    TTreeNode* a = Open(L"\\a");
    ASSERT_NE(a, nullptr);
    WatchAndRead();
    ASSERT_TRUE(tree->WatchThreadActiveDrive(drive));
    EXPECT_FALSE(tree->WatchThreadActiveDrive(L'Z'));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\a\\new").c_str(), nullptr));
    EXPECT_TRUE(test::PumpUntil([&] { return Child(a, L"new") != nullptr; }, 20s));
    EXPECT_GE(validations, 1);
    // Children stay in order after the addition.
    ASSERT_EQ(a->Count(), 4);
    EXPECT_EQ(tree->NodeData(a->Item(3)).DirName, L"new");
}

TEST_F(DriveViewWatchTest, RemovingTheSelectedFolderSelectsItsParentAndTheListFollows)
{
    TTreeNode* a = Open(L"\\a");
    ASSERT_NE(a, nullptr);
    TTreeNode* gone = Child(a, L"gone");
    ASSERT_NE(gone, nullptr);
    tree->SelectNode(gone);
    ASSERT_EQ(list->GetPath(), root + L"\\a\\gone");
    WatchAndRead();
    ASSERT_TRUE(RemoveDirectoryW((root + L"\\a\\gone").c_str()));
    ASSERT_TRUE(test::PumpUntil([&] { return Child(a, L"gone") == nullptr; }, 20s));
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(list->GetPath(), root + L"\\a");
}

TEST_F(DriveViewWatchTest, AFolderRenamedOnlyInItsCaseTakesTheNewSpelling)
{
    TTreeNode* a = Open(L"\\a");
    ASSERT_NE(a, nullptr);
    TTreeNode* alpha = Child(a, L"Alpha");
    ASSERT_NE(alpha, nullptr);
    WatchAndRead();
    // Wine takes a rename that changes only the case for a rename onto the
    // same file and leaves the name; by way of another name it goes through.
    // Nothing is handled in between, so the tree sees only the new spelling.
    ASSERT_TRUE(MoveFileW((root + L"\\a\\Alpha").c_str(), (root + L"\\a\\Alpha.tmp").c_str()));
    ASSERT_TRUE(MoveFileW((root + L"\\a\\Alpha.tmp").c_str(), (root + L"\\a\\alpha").c_str()));
    ASSERT_TRUE(test::PumpUntil([&] { return alpha->Text() == L"alpha"; }, 20s));
    // The same node, renamed: nothing was deleted or added.
    EXPECT_EQ(Child(a, L"alpha"), alpha);
    EXPECT_EQ(a->Count(), 3);
}

TEST_F(DriveViewWatchTest, ADriveInNoCheckDrivesIsNotWatchedUntilValidatedByHand)
{
    tree->SetNoCheckDrives(std::wstring(L"z") + drive);
    TTreeNode* a = Open(L"\\a");
    ASSERT_NE(a, nullptr);
    tree->SetWatchDirectory(true);
    EXPECT_FALSE(tree->WatchThreadActiveDrive(drive));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\a\\unseen").c_str(), nullptr));
    test::PumpFor(1500ms);
    EXPECT_EQ(Child(a, L"unseen"), nullptr);
    EXPECT_EQ(validations, 0);
    tree->ValidateDirectory(a);
    EXPECT_NE(Child(a, L"unseen"), nullptr);
}

TEST_F(DriveViewWatchTest, AValidationStartedInsideAValidationDoesNothing)
{
    TTreeNode* a = Open(L"\\a");
    ASSERT_NE(a, nullptr);
    int depth = 0;
    int deepest = 0;
    tree->OnScanDir = [&](TComponent*, TTreeNode* node, bool&) {
        ++depth;
        deepest = std::max(deepest, depth);
        tree->ValidateDirectory(node);
        --depth;
    };
    ASSERT_TRUE(CreateDirectoryW((root + L"\\a\\b\\inner").c_str(), nullptr));
    tree->ValidateDirectory(tree->DriveRootNode(drive));
    EXPECT_EQ(deepest, 1);
    tree->OnScanDir = nullptr;
}

TEST_F(DriveViewWatchTest, HidingHiddenFoldersValidatesTheSelectedDrive)
{
    ASSERT_TRUE(CreateDirectoryW((root + L"\\a\\secret").c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW((root + L"\\a\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN));
    TTreeNode* a = Open(L"\\a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(Child(a, L"secret"), nullptr) << "shown by default";
    // No monitor runs: the option itself brings the tree in line.
    ASSERT_FALSE(tree->WatchThreadActiveDrive(drive));
    tree->SetHideHiddenDirs(true);
    EXPECT_EQ(Child(a, L"secret"), nullptr);
    EXPECT_NE(Child(a, L"Alpha"), nullptr);
    EXPECT_TRUE(a->Expanded());
    tree->SetHideHiddenDirs(false);
    TTreeNode* back = Child(a, L"secret");
    ASSERT_NE(back, nullptr);
    // In its place among the others again.
    for (int i = 0; i + 1 < a->Count(); ++i)
        EXPECT_LT(_wcsicmp(tree->NodeData(a->Item(i)).DirName.c_str(), tree->NodeData(a->Item(i + 1)).DirName.c_str()),
                  0);
}

TEST_F(DriveViewWatchTest, ExpandingAnUnreadDriveStartsItsMonitor)
{
    TTreeNode* root = tree->DriveRootNode(drive);
    ASSERT_NE(root, nullptr);
    tree->SetWatchDirectory(true);
    ASSERT_EQ(tree->DriveMonitor(drive), nullptr) << "the drive was not read yet";
    root->Expand();
    ASSERT_GT(root->Count(), 0);
    ASSERT_NE(tree->DriveMonitor(drive), nullptr);
    EXPECT_TRUE(tree->NodeWatchActive(root));
    // Never without WatchDirectory.
    tree->SetWatchDirectory(false);
    ASSERT_EQ(tree->DriveMonitor(drive), nullptr);
    root->Collapse();
    tree->ClearNodeChildren(root);  // the drive counts as unread again
    root->Expand();
    ASSERT_GT(root->Count(), 0);
    EXPECT_EQ(tree->DriveMonitor(drive), nullptr);
}

// Mounting a drive changes what every process sees: these tests run alone.
class DriveViewWatchMountTest : public DriveViewWatchTest {};

TEST_F(DriveViewWatchMountTest, LeavingARemovableDriveFreesItsMonitor)
{
    test::WineDrive removable(root + L"\\a", DRIVE_REMOVABLE);
    const wchar_t letter = removable.Letter();
    if (!letter)
        GTEST_SKIP() << "no Wine mount manager to configure a drive";
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    ASSERT_NE(tree->DriveRootNode(letter), nullptr);
    tree->SetWatchDirectory(true);
    TTreeNode* onRemovable = tree->NodeForPath(std::wstring(1, letter) + L":\\b");
    TTreeNode* onFixed = tree->NodeForPath(root + L"\\a");
    ASSERT_TRUE(onRemovable && onFixed);

    tree->SelectNode(onFixed);
    ASSERT_NE(tree->DriveMonitor(drive), nullptr);
    tree->SelectNode(onRemovable);
    ASSERT_NE(tree->DriveMonitor(letter), nullptr);
    EXPECT_NE(tree->DriveMonitor(drive), nullptr) << "a fixed drive keeps its monitor";
    tree->SelectNode(onFixed);
    EXPECT_EQ(tree->DriveMonitor(letter), nullptr) << "the removable drive's medium may go now";
    EXPECT_NE(tree->DriveMonitor(drive), nullptr);
}

TEST_F(DriveViewWatchTest, TheProberProbesFiveHundredFoldersOffTheUserInterfaceThread)
{
    ASSERT_TRUE(CreateDirectoryW((root + L"\\many").c_str(), nullptr));
    for (int i = 0; i < 500; ++i) {
        const std::wstring folder = root + L"\\many\\f" + std::to_wstring(1000 + i);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        if (i % 2 == 0) {
            ASSERT_TRUE(CreateDirectoryW((folder + L"\\x").c_str(), nullptr));
        }
    }
    tree->SetSubDirScanDelayed(true);
    TTreeNode* many = Open(L"\\many");
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->Count(), 500);
    // Ask for every button, as drawing a long tree would; no answer is
    // found out on this thread, every node waits for the prober.
    for (int i = 0; i < many->Count(); ++i) {
        TVITEMW item{};
        item.mask = TVIF_CHILDREN;
        item.hItem = many->Item(i)->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_NE(item.cChildren, 0) << i;
        EXPECT_FALSE(tree->NodeData(many->Item(i)).Scanned) << i;
    }
    EXPECT_GE(tree->ProbesPending(), 500u);  // and perhaps the parent
    // Delete every third node while the prober runs.
    for (int i = many->Count() - 1; i >= 0; i -= 3) {
        tree->Items().Delete(many->Item(i));
        Application->ProcessMessages();
    }
    ASSERT_TRUE(test::PumpUntil([&] { return tree->ProbesPending() == 0; }, 60s)) << tree->ProbesPending();
    ASSERT_EQ(many->Count(), 333);
    for (int i = 0; i < many->Count(); ++i) {
        TTreeNode* node = many->Item(i);
        const TNodeData& data = tree->NodeData(node);
        const int number = std::stoi(data.DirName.substr(1)) - 1000;
        EXPECT_TRUE(data.Scanned) << i;
        EXPECT_EQ((data.ShellAttr & kShellAttrHasSubFolder) != 0, number % 2 == 0) << number;
        EXPECT_EQ(node->HasChildren() == TNodeButton::None, number % 2 != 0) << number;
    }
}

}  // namespace

#include "panels/win/DriveView.h"

#include "TestDir.h"
#include "TreeAndListForm.h"
#include "framework/SysUtils.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"
#include "panels/win/DirView.h"
#include "panels/win/KyDriveInfo.h"
#include "win/MessagePump.h"
#include "win/WineDrive.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qrv;

namespace {

// A folder tree on the test drive, a tree and a list on a form. Only the
// test drive is ever read: every path the tests look up lies on it.
class DriveViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = dir.Path();
        ASSERT_GE(root.size(), 3u);
        ASSERT_EQ(root.substr(1, 2), L":\\");
        drive = root[0];
        for (const wchar_t* sub : {L"\\a", L"\\a\\b", L"\\a\\b\\leaf", L"\\a\\Long Folder Name", L"\\a\\System",
                                   L"\\a\\system2", L"\\a\\Zeta", L"\\a\\alpha"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
        dir.Write(L"a\\b\\leaf\\file.txt", "only a file");

        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        form->HandleNeeded();
    }
    void TearDown() override { form.reset(); }

    // Whether the control shows an expand button; asks the tree when the
    // node's button is still to be found out.
    bool ControlShowsButton(TTreeNode* node)
    {
        TVITEMW item{};
        item.mask = TVIF_CHILDREN;
        item.hItem = node->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.cChildren != 0;
    }

    test::TestDir dir;
    std::wstring root;
    wchar_t drive = 0;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
};

TEST_F(DriveViewTest, RootsAreTheValidDrivesInLetterOrder)
{
    ASSERT_GT(tree->Items().RootCount(), 0);
    std::wstring letters;
    for (int i = 0; i < tree->Items().RootCount(); ++i)
        letters += tree->GetDrive(tree->Items().Root(i));
    EXPECT_TRUE(std::is_sorted(letters.begin(), letters.end())) << std::string(letters.begin(), letters.end());
    EXPECT_NE(letters.find(drive), std::wstring::npos) << std::string(letters.begin(), letters.end());
    TTreeNode* testRoot = tree->DriveRootNode(drive);
    ASSERT_NE(testRoot, nullptr);
    EXPECT_EQ(tree->GetDirPathName(testRoot), std::wstring(1, drive) + L":\\");
    EXPECT_EQ(testRoot->Text(), tree->GetDriveText(drive));
}

// Mounting a drive changes what every process sees: these tests run alone.
class DriveViewMountTest : public DriveViewTest {};

TEST_F(DriveViewMountTest, ADriveAddedAtRunTimeAppearsInLetterOrderAndGoesAgain)
{
    wchar_t added = 0;
    {
        test::WineDrive extra(root + L"\\a", DRIVE_FIXED);
        added = extra.Letter();
        if (!added)
            GTEST_SKIP() << "no Wine mount manager to configure a drive";
        ASSERT_EQ(tree->DriveRootNode(added), nullptr);
        tree->RefreshRootNodes(false, dsDisplayName | 8);
        TTreeNode* node = tree->DriveRootNode(added);
        ASSERT_NE(node, nullptr);
        int index = -1;
        std::wstring letters;
        for (int i = 0; i < tree->Items().RootCount(); ++i) {
            letters += tree->GetDrive(tree->Items().Root(i));
            if (tree->Items().Root(i) == node)
                index = i;
        }
        EXPECT_TRUE(std::is_sorted(letters.begin(), letters.end())) << std::string(letters.begin(), letters.end());
        EXPECT_EQ(letters[static_cast<size_t>(index)], added);
        // Its folders are those of the folder behind it.
        EXPECT_NE(tree->NodeForPath(std::wstring(1, added) + L":\\b\\leaf"), nullptr);
        tree->SelectNode(node);
    }
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    EXPECT_EQ(tree->DriveRootNode(added), nullptr);
    EXPECT_NE(tree->Selected(), nullptr) << "the selection moved to another drive first";
}

TEST_F(DriveViewTest, NodeForPathByLongAndShortNamesInAnyCase)
{
    TTreeNode* system = tree->NodeForPath(root + L"\\A\\SYSTEM");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(tree->GetDirPath(system), root + L"\\a\\System");
    EXPECT_EQ(tree->NodeForPath(root + L"\\a\\system"), system);

    std::wstring lowerRoot = root;
    lowerRoot[0] = static_cast<wchar_t>(towlower(lowerRoot[0]));
    EXPECT_EQ(tree->NodeForPath(lowerRoot + L"\\a\\System"), system);

    wchar_t shortPath[MAX_PATH] = L"";
    ASSERT_GT(GetShortPathNameW((root + L"\\a\\Long Folder Name").c_str(), shortPath, MAX_PATH), 0u);
    const std::wstring shortName = std::wstring(shortPath).substr(std::wstring(shortPath).rfind(L'\\') + 1);
    ASSERT_NE(shortName, L"Long Folder Name");
    TTreeNode* longNode = tree->NodeForPath(root + L"\\a\\Long Folder Name");
    ASSERT_NE(longNode, nullptr);
    EXPECT_EQ(tree->NodeForPath(root + L"\\a\\" + shortName), longNode);

    EXPECT_EQ(tree->NodeForPath(root + L"\\a\\missing"), nullptr);
    EXPECT_EQ(tree->NodeForPath(L"1:\\x"), nullptr);
    EXPECT_EQ(tree->NodeForPath(L""), nullptr);
}

TEST_F(DriveViewTest, ChildrenAreReadOnExpandAndSortedIgnoringCase)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    a->Expand();
    EXPECT_TRUE(a->Expanded());
    ASSERT_EQ(a->Count(), 6);
    std::wstring order;
    for (int i = 0; i < a->Count(); ++i)
        order += a->Item(i)->Text() + L"|";
    EXPECT_EQ(order, L"alpha|b|Long Folder Name|System|system2|Zeta|");
    // The control shows the same order.
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(a->ItemId())));
    for (int i = 0; i < a->Count(); ++i) {
        EXPECT_EQ(item, a->Item(i)->ItemId()) << i;
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
}

// A folder's own icons come from the worker: drawn first with the plain
// folder's, the node takes the shell's icons of its path when they come.
TEST_F(DriveViewTest, NodesShowTheSystemIcons)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(tree->Images(), nullptr);
    const auto shellIcon = [](const std::wstring& path, UINT flags) {
        SHFILEINFOW info{};
        SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | flags);
        return info.iIcon;
    };
    const int folderIcon = shellIcon(L"folder", SHGFI_USEFILEATTRIBUTES);
    const int openFolderIcon = shellIcon(L"folder", SHGFI_USEFILEATTRIBUTES | SHGFI_OPENICON);
    ASSERT_GT(folderIcon, 0);
    const auto imageOf = [&](TTreeNode* node) {
        TVITEMW item{};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = node->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return std::make_pair(item.iImage, item.iSelectedImage);
    };
    EXPECT_EQ(imageOf(a), std::make_pair(folderIcon, openFolderIcon)) << "the plain folder's until the worker answers";
    EXPECT_TRUE(tree->NodeData(a).IconEmpty);
    EXPECT_GE(tree->ImagesPending(), 1u);

    ASSERT_TRUE(test::PumpUntil([&] { return !tree->NodeData(a).IconEmpty; }, std::chrono::seconds(10)));
    EXPECT_EQ(imageOf(a), std::make_pair(shellIcon(root + L"\\a", 0), shellIcon(root + L"\\a", SHGFI_OPENICON)));
    EXPECT_GT(imageOf(a).second, 0);
    const int driveIcon = imageOf(tree->DriveRootNode(drive)).first;
    EXPECT_EQ(driveIcon, DriveInfo().GetImageIndex(drive));
    EXPECT_NE(driveIcon, folderIcon);
    // A node that goes while its icons are asked for waits no longer.
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    imageOf(b);
    ASSERT_TRUE(tree->NodeData(b).IconEmpty);
    const size_t pending = tree->ImagesPending();
    ASSERT_GE(pending, 1u);
    tree->Items().Delete(b);
    EXPECT_EQ(tree->ImagesPending(), pending - 1);
    test::PumpFor(std::chrono::milliseconds(200));
}

// The tree's window made again while a folder's icons were asked for: the
// answer reaches the new window.
TEST_F(DriveViewTest, FolderIconsStillComeAfterTheWindowIsMadeAgain)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    const auto askImage = [&] {
        TVITEMW item{};
        item.mask = TVIF_IMAGE;
        item.hItem = a->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    };
    askImage();
    ASSERT_EQ(tree->ImagesPending(), 1u);
    tree->RecreateWnd();
    askImage();
    EXPECT_TRUE(test::PumpUntil([&] { return !tree->NodeData(a).IconEmpty; }, std::chrono::seconds(10)));
}

TEST_F(DriveViewTest, AFolderWithoutSubfoldersLosesItsButtonAfterTheProbe)
{
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    b->Expand();
    TTreeNode* leaf = tree->NodeForPath(root + L"\\a\\b\\leaf");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->HasChildren(), TNodeButton::Ask);
    EXPECT_FALSE(ControlShowsButton(leaf));
    EXPECT_EQ(leaf->HasChildren(), TNodeButton::None);
    EXPECT_TRUE(tree->NodeData(leaf).Scanned);

    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    TTreeNode* bAgain = tree->NodeForPath(root + L"\\a\\b");
    EXPECT_EQ(bAgain, b);
    EXPECT_TRUE(ControlShowsButton(b));
}

// The start folder as the user typed it: the list reads it, and the tree's
// selection of the same folder neither reads it again nor searches it for
// subfolders; its button comes from the list's items.
TEST_F(DriveViewTest, TheFolderTheListShowsIsNotReadAgainInAnotherSpelling)
{
    const std::wstring onDisk = root + L"\\a\\b";
    const std::wstring typed = UpperCase(onDisk);
    ASSERT_NE(typed, onDisk);
    int loads = 0;
    list->OnStartLoading = [&](TComponent*) { ++loads; };
    list->SetPath(typed);
    ASSERT_EQ(loads, 1);
    ASSERT_EQ(list->ItemCount(), 2) << "\"..\" and leaf";

    tree->SetDirectory(typed);
    TTreeNode* b = tree->NodeForPath(onDisk);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_EQ(loads, 1) << "read once";
    EXPECT_EQ(list->GetPath(), onDisk) << "in the spelling on disk";
    EXPECT_EQ(list->ItemCount(), 2);
    EXPECT_TRUE(ControlShowsButton(b));

    // A folder of files only: no button, as the search would find.
    TTreeNode* leaf = tree->NodeForPath(onDisk + L"\\leaf");
    ASSERT_NE(leaf, nullptr);
    tree->SelectNode(leaf);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(list->GetPath(), onDisk + L"\\leaf");
    EXPECT_FALSE(ControlShowsButton(leaf));
    EXPECT_TRUE(tree->NodeData(leaf).Scanned);
}

TEST_F(DriveViewTest, SetDirectoryToAMissingFolderSelectsTheNearestParentAndTheListFollows)
{
    tree->SetDirectory(root + L"\\a\\b\\missing");
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_EQ(tree->GetDirectory(), root + L"\\a\\b");
    EXPECT_EQ(list->GetPath(), root + L"\\a\\b");
    EXPECT_EQ(tree->DefaultDir(drive), root + L"\\a\\b\\");
    EXPECT_EQ(tree->GetCurrentDrive(), drive);

    // Selecting another folder in the tree lists it.
    TTreeNode* leaf = tree->NodeForPath(root + L"\\a\\b\\leaf");
    ASSERT_NE(leaf, nullptr);
    tree->SelectNode(leaf);
    EXPECT_EQ(list->GetPath(), root + L"\\a\\b\\leaf");
}

TEST_F(DriveViewTest, DelayedSelectionChangesLetTheLastOneWin)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    TTreeNode* leaf = tree->NodeForPath(root + L"\\a\\b\\leaf");
    ASSERT_TRUE(a && b && leaf);
    tree->SelectNode(a);
    ASSERT_EQ(list->GetPath(), root + L"\\a");
    tree->SetChangeDelay(50);
    // As the user would: through the control, not SelectNode.
    for (TTreeNode* node : {b, leaf})
        SendMessageW(tree->Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node->ItemId()));
    EXPECT_EQ(list->GetPath(), root + L"\\a") << "nothing happens before the delay";
    EXPECT_TRUE(test::PumpUntil([&] { return list->GetPath() == root + L"\\a\\b\\leaf"; }, std::chrono::seconds(5)));
    EXPECT_EQ(tree->LastPath(), root + L"\\a\\b\\leaf");
    // A node deleted while its change waits is forgotten; the node the
    // control selects instead takes effect.
    tree->SelectNode(a);
    ASSERT_EQ(list->GetPath(), root + L"\\a");
    SendMessageW(tree->Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(leaf->ItemId()));
    tree->ClearNodeChildren(b);
    EXPECT_EQ(tree->Selected(), b);
    test::PumpFor(std::chrono::milliseconds(150));
    EXPECT_EQ(list->GetPath(), root + L"\\a\\b");
}

TEST_F(DriveViewTest, AFullDriveScanReadsEverythingAndCannotBeEnteredAgain)
{
    tree->SetFullDriveScan(true);
    int started = 0, ended = 0, asked = 0;
    bool disabledDuringScan = false;
    tree->OnStartScan = [&](TComponent*) { ++started; };
    tree->OnEndScan = [&](TComponent*) { ++ended; };
    tree->OnScanDir = [&](TComponent*, TTreeNode*, bool&) {
        if (!tree->Scanning() || asked++ > 0)
            return;
        disabledDuringScan = !IsWindowEnabled(tree->Handle());
        // What a user's click could cause while messages are handled: none
        // of it may touch the nodes under the walk.
        TTreeNode* testRoot = tree->DriveRootNode(drive);
        tree->ClearNodeChildren(testRoot);
        tree->ScanDrive(drive);
        tree->RefreshRootNodes(false, dsDisplayName | 8);
        testRoot->Collapse();
    };
    TTreeNode* testRoot = tree->DriveRootNode(drive);
    ASSERT_NE(testRoot, nullptr);
    testRoot->Expand();
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ended, 1);
    EXPECT_GT(asked, 0);
    EXPECT_TRUE(disabledDuringScan);
    EXPECT_TRUE(IsWindowEnabled(tree->Handle()));
    EXPECT_TRUE(testRoot->Expanded());
    EXPECT_FALSE(tree->Scanning());

    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    TTreeNode* leaf = tree->NodeForPath(root + L"\\a\\b\\leaf");
    ASSERT_TRUE(a && leaf);
    EXPECT_TRUE(tree->NodeData(leaf).AllScanned);
    EXPECT_EQ(leaf->HasChildren(), TNodeButton::None);
    EXPECT_EQ(a->Count(), 6);
    EXPECT_EQ(a->Item(0)->Text(), L"alpha") << "sorted all the way down";
    EXPECT_EQ(started, 1) << "nothing scanned again on the way";
}

TEST_F(DriveViewTest, KeysToggleAndNeverExpandAWholeSubtree)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    tree->SelectNode(a);
    tree->Perform(WM_KEYDOWN, VK_MULTIPLY, 0);
    EXPECT_FALSE(a->Expanded()) << "\"*\" must not expand the subtree";
    tree->Perform(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(a->Expanded());
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    b->Expand();
    tree->Perform(WM_KEYDOWN, VK_DIVIDE, 0);
    EXPECT_FALSE(a->Expanded());
    EXPECT_FALSE(b->Expanded()) << "\"/\" collapses below the selection too";
    tree->Perform(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(a->Expanded());
}

// What the tree's window saw of a popup menu; the menu is closed as soon
// as it waits for input, so a test never blocks on it.
struct TMenuWatch {
    int Popups = 0;
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        auto* watch = reinterpret_cast<TMenuWatch*>(data);
        if (msg == WM_INITMENUPOPUP)
            ++watch->Popups;
        else if (msg == WM_ENTERIDLE && wParam == MSGF_MENU)
            EndMenu();
        return DefSubclassProc(window, msg, wParam, lParam);
    }
};

TEST_F(DriveViewTest, TheContextMenuKeyShowsThePopupMenuBelowTheSelectedNode)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    a->Expand();
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    tree->SelectNode(b);
    RECT text{};
    *reinterpret_cast<HTREEITEM*>(&text) = b->ItemId();
    ASSERT_TRUE(SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    POINT expected{text.left, text.top + 20};
    ClientToScreen(tree->Handle(), &expected);
    const POINT at = tree->ContextMenuPoint();
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);
    EXPECT_GT(text.left, 0) << "indented, not at the tree's edge";

    // The tree's own menu stands in for the shell's when that is off;
    // without a menu the keys do nothing.
    tree->UseSystemContextMenu = false;
    TMenuWatch watch;
    ASSERT_TRUE(SetWindowSubclass(tree->Handle(), TMenuWatch::Proc, 7, reinterpret_cast<DWORD_PTR>(&watch)));
    tree->Perform(WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(watch.Popups, 0);
    auto* menu = new TPopupMenu(form.get());
    auto* item = new TMenuItem(form.get());
    item->SetCaption(L"Neu");
    menu->Items()->Add(item);
    tree->SetPopupMenu(menu);
    SendMessageW(tree->Handle(), WM_KEYDOWN, VK_APPS, 0);
    EXPECT_EQ(watch.Popups, 1);
    // A keyboard request that comes as WM_CONTEXTMENU shows it as well.
    SendMessageW(tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), -1);
    EXPECT_EQ(watch.Popups, 2);
    RemoveWindowSubclass(tree->Handle(), TMenuWatch::Proc, 7);
    tree->SetPopupMenu(nullptr);
}

TEST_F(DriveViewTest, NodeOperationsWithoutNodeRaise)
{
    EXPECT_THROW(tree->GetDirPath(nullptr), ENodeNotAssigned);
    EXPECT_THROW(tree->NodeData(nullptr), ENodeNotAssigned);
    EXPECT_THROW(tree->SelectNode(nullptr), ENodeNotAssigned);
}

}  // namespace

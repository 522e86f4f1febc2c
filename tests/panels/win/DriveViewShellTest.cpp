// The folder tree with the shell: the network neighbourhood and UNC paths,
// shell attributes of disk folders, and the view state (selection, scroll,
// expansion, cloning, keys).

#include "panels/win/DriveView.h"

#include "TestDir.h"
#include "TreeAndListForm.h"
#include "framework/win/Forms.h"
#include "panels/VirtualNodes.h"
#include "panels/win/DirView.h"
#include "panels/win/KyDriveInfo.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace qrv;

namespace {

class DriveViewShellTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = dir.Path();
        ASSERT_GE(root.size(), 3u);
        drive = root[0];
        for (const wchar_t* sub : {L"\\a", L"\\a\\b", L"\\a\\b\\leaf", L"\\a\\hidden", L"\\c"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
        SetFileAttributesW((root + L"\\a\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
    }
    void TearDown() override { form.reset(); }

    test::TestDir dir;
    std::wstring root;
    wchar_t drive = 0;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
};

TEST_F(DriveViewShellTest, TheShellFoldersAreBoundWithTheWindow)
{
    EXPECT_EQ(tree->DesktopFolder(), nullptr);
    form->HandleNeeded();
    EXPECT_NE(tree->DesktopFolder(), nullptr);
    EXPECT_NE(tree->DrivesFolder(), nullptr);
}

TEST_F(DriveViewShellTest, TheNetworkRootComesLastOnlyWithShowNetwork)
{
    form->HandleNeeded();
    EXPECT_EQ(tree->DriveRootNode(kNetworkDrive), nullptr) << "off by default";
    tree->SetShowNetwork(true);
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    TTreeNode* network = tree->DriveRootNode(kNetworkDrive);
    if (!DriveInfo().IsValid(kNetworkDrive)) {
        EXPECT_EQ(network, nullptr);
        GTEST_SKIP() << "Wine reports no network neighbourhood";
    }
    ASSERT_NE(network, nullptr);
    EXPECT_EQ(tree->Items().Root(tree->Items().RootCount() - 1), network);
    EXPECT_EQ(tree->GetDirPath(network), L"\\");
    EXPECT_EQ(network->Text(), DriveInfo().GetDisplayName(kNetworkDrive));
    EXPECT_TRUE(tree->NodeData(network).IsVirtual);
    // Whatever Wine's network folder holds, reading it never raises.
    EXPECT_NO_THROW(network->Expand());
    EXPECT_TRUE(tree->NodeData(network).AllScanned);
    for (int i = 0; i < network->Count(); ++i) {
        TTreeNode* child = network->Item(i);
        const TNodeData& data = tree->NodeData(child);
        EXPECT_TRUE(data.IsVirtual);
        EXPECT_TRUE(VirtualNodeWanted(data));
        EXPECT_EQ(data.ShortName.substr(0, 2), L"\\\\");
    }
    EXPECT_NO_THROW(tree->ScanDrive(kNetworkDrive));
    // Selected, it is no folder of a disk: the list shows nothing rather
    // than the current drive's root.
    tree->SelectNode(network);
    EXPECT_EQ(tree->GetDirectory(), L"\\");
    EXPECT_EQ(list->ItemCount(), 0);
    // A server nobody has ends at the network root.
    EXPECT_EQ(tree->NodeForPath(L"\\\\nosuchserver\\share"), network);
    tree->SetShowNetwork(false);
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    EXPECT_EQ(tree->DriveRootNode(kNetworkDrive), nullptr);
}

// Wine's network neighbourhood holds nothing; the network root is pointed
// at a folder of the test drive instead, so the shell lists real items.
TEST_F(DriveViewShellTest, ShellFoldersAreReadThroughTheShell)
{
    ASSERT_TRUE(CreateDirectoryW((root + L"\\c\\Long Folder Name").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\c\\beta").c_str(), nullptr));
    dir.Write(L"c\\file.txt", "not a folder");
    form->HandleNeeded();
    tree->SetShowNetwork(true);
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    TTreeNode* network = tree->DriveRootNode(kNetworkDrive);
    if (!network)
        GTEST_SKIP() << "Wine reports no network neighbourhood";
    TPidlPtr pidl = PathToPidl(root + L"\\c");
    TShellFolderPtr folder;
    ASSERT_TRUE(pidl && BindToFolder(pidl.get(), folder));
    tree->NodeData(network).ShellFolder =
        std::shared_ptr<void>(folder.Detach(), [](void* f) { static_cast<IShellFolder*>(f)->Release(); });

    tree->ExpandVirtualNode(network, true);
    ASSERT_EQ(network->Count(), 2) << "folders only";
    TTreeNode* beta = network->Item(0);
    TTreeNode* longName = network->Item(1);
    EXPECT_EQ(beta->Text(), L"beta");
    const TNodeData& data = tree->NodeData(longName);
    EXPECT_TRUE(data.IsVirtual);
    EXPECT_EQ(data.DisplayName, L"Long Folder Name");
    EXPECT_TRUE(SameText(data.ParsingName, root + L"\\c\\Long Folder Name")) << std::wstring(data.ParsingName);
    EXPECT_EQ(data.DirName, L"Long Folder Name");
    // A folder of the file system that is no shortcut: marked real.
    EXPECT_FALSE(data.IsFileSystem());
    EXPECT_NE(data.ShellAttr & kShellAttrRealFolder, 0u);
    wchar_t shortPath[MAX_PATH] = L"";
    ASSERT_GT(GetShortPathNameW((root + L"\\c\\Long Folder Name").c_str(), shortPath, MAX_PATH), 0u);
    const std::wstring shortName = std::wstring(shortPath).substr(std::wstring(shortPath).rfind(L'\\') + 1);
    // The 8.3 name when the shell's find data has one (Wine's has none),
    // else the long name upper-cased; after the parent's.
    EXPECT_TRUE(data.ShortName == L"\\\\" + shortName || data.ShortName == L"\\\\LONG FOLDER NAME")
        << std::wstring(data.ShortName);
    EXPECT_EQ(tree->NodeData(beta).ShortName, L"\\\\BETA");
    EXPECT_FALSE(data.Pidl.empty());
    EXPECT_NE(data.ShellFolder, nullptr) << "bound when added";
    EXPECT_EQ(longName->HasChildren(), TNodeButton::Shown);

    // Known items are updated in place; without AddNew nothing new comes.
    ASSERT_TRUE(CreateDirectoryW((root + L"\\c\\gamma").c_str(), nullptr));
    tree->NodeData(beta).ParsingName = L"stale";
    tree->ExpandVirtualNode(network, false);
    ASSERT_EQ(network->Count(), 2);
    EXPECT_EQ(network->Item(0), beta);
    EXPECT_NE(tree->NodeData(beta).ParsingName, L"stale");
    tree->ExpandVirtualNode(network, true);
    ASSERT_EQ(network->Count(), 3);
    EXPECT_EQ(network->Item(0), beta) << "the known node stays";
    EXPECT_EQ(network->Item(1)->Text(), L"gamma");

    // A folder the shell cannot bind, so cannot list, loses its children.
    tree->NodeData(network).ShellFolder.reset();
    tree->NodeData(network).Pidl.clear();
    EXPECT_NO_THROW(tree->ExpandVirtualNode(network, true));
    EXPECT_EQ(network->Count(), 0);
    EXPECT_THROW(tree->ExpandVirtualNode(nullptr, true), ENodeNotAssigned);
}

// The network root, pointed (folder and item list) at a folder of the test
// drive; nil when Wine shows no network neighbourhood.
TTreeNode* NetworkAt(TDriveView* tree, const std::wstring& folderPath)
{
    tree->SetShowNetwork(true);
    tree->RefreshRootNodes(false, dsDisplayName | 8);
    TTreeNode* network = tree->DriveRootNode(kNetworkDrive);
    if (!network)
        return nullptr;
    TPidlPtr pidl = PathToPidl(folderPath);
    TShellFolderPtr folder;
    if (!pidl || !BindToFolder(pidl.get(), folder))
        return nullptr;
    TNodeData& data = tree->NodeData(network);
    data.Pidl = PidlBytes(pidl.get());
    data.ShellFolder =
        std::shared_ptr<void>(folder.Detach(), [](void* f) { static_cast<IShellFolder*>(f)->Release(); });
    return network;
}

TTreeNode* ChildNamed(TDriveView* tree, TTreeNode* node, const std::wstring& name)
{
    for (int i = 0; i < node->Count(); ++i)
        if (tree->NodeData(node->Item(i)).DisplayName == name)
            return node->Item(i);
    return nullptr;
}

TEST_F(DriveViewShellTest, ValidatingShellFoldersDropsVanishedOnesAndReadsNewOnes)
{
    for (const wchar_t* sub : {L"\\c\\keep", L"\\c\\keep\\inner", L"\\c\\gone", L"\\c\\later"})
        ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
    form->HandleNeeded();
    TTreeNode* network = NetworkAt(tree, root + L"\\c");
    if (!network)
        GTEST_SKIP() << "Wine reports no network neighbourhood";
    tree->ExpandVirtualNode(network, true);
    TTreeNode* keep = ChildNamed(tree, network, L"keep");
    TTreeNode* gone = ChildNamed(tree, network, L"gone");
    TTreeNode* later = ChildNamed(tree, network, L"later");
    ASSERT_TRUE(keep && gone && later);
    tree->ExpandVirtualNode(keep, true);
    ASSERT_EQ(keep->Count(), 1);

    // A start node that still exists is read again, new folders included.
    ASSERT_TRUE(CreateDirectoryW((root + L"\\c\\keep\\fresh").c_str(), nullptr));
    tree->ValidateDirectory(keep);
    EXPECT_NE(ChildNamed(tree, keep, L"fresh"), nullptr);

    // A vanished start node goes, and the selection inside it moves up.
    tree->SelectNode(gone);
    ASSERT_TRUE(RemoveDirectoryW((root + L"\\c\\gone").c_str()));
    tree->ValidateDirectory(gone);
    EXPECT_EQ(ChildNamed(tree, network, L"gone"), nullptr);
    EXPECT_EQ(tree->Selected(), network);

    // From the top: read children are read again, vanished ones go, new
    // ones come; unread ones are left as they are.
    ASSERT_TRUE(RemoveDirectoryW((root + L"\\c\\later").c_str()));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\c\\added").c_str(), nullptr));
    ASSERT_TRUE(RemoveDirectoryW((root + L"\\c\\keep\\inner").c_str()));
    tree->ValidateDirectory(network);
    EXPECT_EQ(ChildNamed(tree, network, L"later"), nullptr);
    EXPECT_NE(ChildNamed(tree, network, L"added"), nullptr);
    EXPECT_EQ(ChildNamed(tree, network, L"keep"), keep) << "the known node stays";
    EXPECT_EQ(ChildNamed(tree, keep, L"inner"), nullptr);
    EXPECT_NE(ChildNamed(tree, keep, L"fresh"), nullptr);
}

TEST_F(DriveViewShellTest, TheProberAnswersForShellFoldersOffTheUserInterfaceThread)
{
    for (const wchar_t* sub :
         {L"\\c\\full", L"\\c\\full\\inner", L"\\c\\empty", L"\\c\\secret", L"\\c\\secret\\hidden"})
        ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
    SetFileAttributesW((root + L"\\c\\secret\\hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    form->HandleNeeded();
    tree->SetSubDirScanDelayed(true);
    tree->SetHideHiddenDirs(true);
    TTreeNode* network = NetworkAt(tree, root + L"\\c");
    if (!network)
        GTEST_SKIP() << "Wine reports no network neighbourhood";
    tree->ExpandVirtualNode(network, true);
    TTreeNode* full = ChildNamed(tree, network, L"full");
    TTreeNode* empty = ChildNamed(tree, network, L"empty");
    TTreeNode* secret = ChildNamed(tree, network, L"secret");
    ASSERT_TRUE(full && empty && secret);
    // The control asks for the buttons, as when drawing: every node keeps
    // its button and waits for the prober.
    for (TTreeNode* node : {full, empty, secret}) {
        TVITEMW item{};
        item.mask = TVIF_CHILDREN;
        item.hItem = node->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_NE(item.cChildren, 0);
        EXPECT_FALSE(tree->NodeData(node).Scanned);
    }
    EXPECT_GE(tree->ProbesPending(), 3u);
    ASSERT_TRUE(test::PumpUntil([&] { return tree->ProbesPending() == 0; }, std::chrono::seconds(20)));
    EXPECT_TRUE(tree->NodeData(full).Scanned);
    EXPECT_NE(full->HasChildren(), TNodeButton::None);
    EXPECT_NE(tree->NodeData(full).ShellAttr & kShellAttrHasSubFolder, 0u);
    EXPECT_EQ(empty->HasChildren(), TNodeButton::None);
    EXPECT_EQ(secret->HasChildren(), TNodeButton::None) << "only a hidden folder inside";
}

TEST_F(DriveViewShellTest, DiskFoldersGetTheirShellAttributesWithTheirIcons)
{
    form->HandleNeeded();
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    TTreeNode* hidden = tree->NodeForPath(root + L"\\a\\hidden");
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_TRUE(hidden && b);
    // Asked of the worker when the control first asks for a node's images
    // to draw it; they come with the icons.
    a->Expand();
    for (TTreeNode* node : {hidden, b}) {
        TVITEMW item{};
        item.mask = TVIF_IMAGE;
        item.hItem = node->ItemId();
        SendMessageW(tree->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_TRUE(test::PumpUntil([&] { return tree->ImagesPending() == 0; }, std::chrono::seconds(10)));
    EXPECT_FALSE(tree->NodeData(hidden).IconEmpty);
    EXPECT_FALSE(tree->NodeData(b).IconEmpty);
    // The shell's hidden bit (SFGAO_HIDDEN), nothing outside the mask
    // (the subfolder bit is the probe's).
    EXPECT_NE(tree->NodeData(hidden).ShellAttr & SFGAO_HIDDEN, 0u);
    EXPECT_EQ(tree->NodeData(b).ShellAttr & SFGAO_HIDDEN, 0u);
    EXPECT_EQ(tree->NodeData(b).ShellAttr & ~kDiskAttrMask & ~kShellAttrHasSubFolder & ~kShellAttrFileSystem, 0u);
    // Nothing is shared here: no overlay.
    EXPECT_EQ(SendMessageW(tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(b->ItemId()), TVIS_OVERLAYMASK),
              0);
}

TEST_F(DriveViewShellTest, SelectingTheSelectedNodeRunsTheChangeOnce)
{
    form->HandleNeeded();
    int changes = 0;
    tree->OnChange = [&](TComponent*, TTreeNode*) { ++changes; };
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    tree->SelectNode(a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->GetPath(), root + L"\\a");
    // Selected already: the change still runs, once, and a change waiting
    // for its delay is taken over.
    tree->SetChangeDelay(10000);
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    SendMessageW(tree->Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b->ItemId()));
    EXPECT_EQ(list->GetPath(), root + L"\\a");
    changes = 0;
    tree->SelectNode(b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list->GetPath(), root + L"\\a\\b");
    test::PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(changes, 1);
}

// Enough folders for the tree to scroll.
class DriveViewScrollTest : public DriveViewShellTest {
protected:
    void SetUp() override
    {
        DriveViewShellTest::SetUp();
        for (int i = 0; i < 60; ++i)
            ASSERT_TRUE(CreateDirectoryW((root + L"\\c\\f" + std::to_wstring(100 + i)).c_str(), nullptr));
        form->HandleNeeded();
        c = tree->NodeForPath(root + L"\\c");
        ASSERT_NE(c, nullptr);
        c->Expand();
        ASSERT_EQ(c->Count(), 60);
    }
    HTREEITEM TopItem()
    {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    }
    RECT RectOf(TTreeNode* node)
    {
        RECT rect{};
        const HTREEITEM item = node->ItemId();
        std::memcpy(&rect, &item, sizeof item);  // the control reads the item there
        SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    TTreeNode* c = nullptr;
};

TEST_F(DriveViewScrollTest, SetDirectoryScrollsOnlyWithAutoScroll)
{
    tree->SetAutoScroll(false);
    const HTREEITEM top = TopItem();
    tree->SetDirectory(root + L"\\c\\f159");
    EXPECT_EQ(tree->GetDirectory(), root + L"\\c\\f159");
    EXPECT_EQ(TopItem(), top) << "the top item stays";
    tree->SetAutoScroll(true);
    tree->SetDirectory(root + L"\\c\\f150");
    RECT client{};
    GetClientRect(tree->Handle(), &client);
    const RECT shown = RectOf(c->Item(50));
    EXPECT_GE(shown.top, 0);
    EXPECT_LE(shown.bottom, client.bottom);
}

TEST_F(DriveViewScrollTest, CenterNodeBringsTheNodeIntoTheMiddleHalf)
{
    RECT client{};
    GetClientRect(tree->Handle(), &client);
    for (TTreeNode* node : {c->Item(59), c->Item(30), c->Item(5)}) {
        tree->CenterNode(node);
        const RECT rect = RectOf(node);
        const bool atEnd = SendMessageW(tree->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0) ==
                           reinterpret_cast<LPARAM>(tree->Items().Root(0)->ItemId());
        // Near the very top or bottom the view cannot move the node further.
        if (node != c->Item(59) && !atEnd) {
            EXPECT_GE(rect.top, client.bottom / 4) << node->Text();
            EXPECT_LE(rect.top, client.bottom * 3 / 4) << node->Text();
        } else {
            EXPECT_GE(rect.top, 0);
            EXPECT_LE(rect.bottom, client.bottom);
        }
    }
    EXPECT_THROW(tree->CenterNode(nullptr), ENodeNotAssigned);
}

TEST_F(DriveViewScrollTest, NodesStateIsSavedAndRestoredAndCollapsesToTheSelection)
{
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_TRUE(a && b);
    a->Expand();
    b->Expand();
    tree->SaveNodesState();
    EXPECT_TRUE(tree->NodeData(a).Expanded);
    EXPECT_TRUE(tree->NodeData(c).Expanded);
    EXPECT_FALSE(tree->NodeData(c->Item(0)).Expanded);
    a->Collapse(true);
    c->Collapse();
    tree->RestoreNodesState();
    EXPECT_TRUE(a->Expanded());
    EXPECT_TRUE(b->Expanded());
    EXPECT_TRUE(c->Expanded());

    tree->SelectNode(b);
    tree->CollapseToSelection();
    EXPECT_TRUE(a->Expanded()) << "above the selection";
    EXPECT_TRUE(b->Expanded()) << "the selection itself";
    EXPECT_FALSE(c->Expanded());
    EXPECT_TRUE(tree->DriveRootNode(drive)->Expanded());
}

TEST_F(DriveViewScrollTest, CloneTreeCopiesNodesStatesAndSelection)
{
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_NE(b, nullptr);
    tree->SelectNode(b);
    auto* copy = new TDriveView(form.get());
    copy->SetParent(form.get());
    copy->SetBounds(0, 0, 250, 400);
    copy->HandleNeeded();
    copy->CloneTree(tree);
    ASSERT_EQ(copy->Items().Count(), tree->Items().Count());
    TTreeNode* copied = copy->Selected();
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, b);
    EXPECT_EQ(copy->GetDirPath(copied), root + L"\\a\\b");
    EXPECT_EQ(copy->NodeForPath(root + L"\\a\\b"), copied) << "the drive roots point at the copies";
    EXPECT_TRUE(copied->Parent()->Expanded());
    EXPECT_EQ(copy->DefaultDir(drive), root + L"\\a\\b\\");
    // The copies are the copy's own: the source's go without harm.
    tree->ClearNodeChildren(tree->DriveRootNode(drive));
    EXPECT_EQ(copy->GetDirPath(copied), root + L"\\a\\b");
}

TEST_F(DriveViewShellTest, KeysOnTheNumberPadAndTheMainKeyboardDoTheSame)
{
    form->HandleNeeded();
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    TTreeNode* b = tree->NodeForPath(root + L"\\a\\b");
    ASSERT_TRUE(a && b);
    tree->SelectNode(a);
    a->Expand();
    b->Expand();
    // "/" typed on the main keyboard arrives as a character only.
    tree->Perform(WM_CHAR, L'/', 0);
    EXPECT_FALSE(a->Expanded());
    EXPECT_FALSE(b->Expanded());
    // On the number pad its key-down does it; the character is spent.
    a->Expand();
    tree->Perform(WM_KEYDOWN, VK_DIVIDE, 0);
    EXPECT_FALSE(a->Expanded());
    a->Expand();
    tree->Perform(WM_CHAR, L'/', 0);
    EXPECT_TRUE(a->Expanded()) << "the character after the key-down does nothing more";
    tree->Perform(WM_CHAR, L'*', 0);
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(b->Expanded()) << "\"*\" never expands a subtree";
}

TEST_F(DriveViewShellTest, LabelEditingRefusesTheCharactersNoNameMayHold)
{
    form->HandleNeeded();
    tree->SetReadOnly(false);
    TTreeNode* a = tree->NodeForPath(root + L"\\a");
    ASSERT_NE(a, nullptr);
    SetFocus(tree->Handle());
    const HWND edit =
        reinterpret_cast<HWND>(SendMessageW(tree->Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(a->ItemId())));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"");
    for (wchar_t ch : std::wstring(L"x\\/:*?\"<>|y"))
        SendMessageW(edit, WM_CHAR, ch, 0);
    wchar_t text[64] = L"";
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"xy");
    SendMessageW(tree->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
}

}  // namespace

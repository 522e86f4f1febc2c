#include "panels/win/DriveView.h"

#include "TestDir.h"
#include "TreeAndListForm.h"
#include "common/win/FileClipboard.h"
#include "panels/win/DirView.h"
#include "panels/win/ShellDialogs.h"
#include "win/MessagePump.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void PutTextOnClipboard(const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<closed>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// On the test drive: Daten\Projekt (with Alt\notiz.txt and Bilder) and
// Daten\Ziel, shown by a tree and its list.
class DriveViewMenus : public testing::Test {
protected:
    void SetUp() override
    {
        daten = dir.File(L"Daten");
        for (const wchar_t* sub : {L"", L"\\Projekt", L"\\Projekt\\Alt", L"\\Projekt\\Bilder", L"\\Ziel"})
            ASSERT_TRUE(CreateDirectoryW((daten + sub).c_str(), nullptr));
        dir.Write(L"Daten\\Projekt\\Alt\\notiz.txt", "Notiz");
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        list = made.List;
        form->Show();
        datenNode = tree->NodeForPath(daten);
        ASSERT_NE(datenNode, nullptr);
        datenNode->Expand();
        ASSERT_TRUE(EmptyFileClipboard(nullptr));
    }
    void TearDown() override
    {
        SetShellMenuTracker(nullptr);
        form.reset();
        (void)EmptyFileClipboard(nullptr);
    }
    TTreeNode* Node(const std::wstring& sub) { return tree->NodeForPath(daten + sub); }
    // The next shell menu chooses the item of Verb.
    void Choose(const std::wstring& verb)
    {
        SetShellMenuTracker([this, verb](HMENU menu, POINT, HWND, const std::function<std::wstring(UINT)>& verbOf) {
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                const UINT id = GetMenuItemID(menu, i);
                if (id != 0 && id != static_cast<UINT>(-1))
                    offered.push_back(verbOf(id));
                if (id != 0 && id != static_cast<UINT>(-1) && verbOf(id) == verb)
                    return id;
            }
            return 0u;
        });
    }

    test::TestDir dir;
    std::wstring daten;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TDirView* list = nullptr;
    TTreeNode* datenNode = nullptr;
    std::vector<std::wstring> offered;
};

}  // namespace

// The shell's cut item is the tree's cut; a paste into another folder
// moves the folder, empties the clipboard and takes the cut look away.
TEST_F(DriveViewMenus, CutFromTheShellMenuAndPasteMovesTheFolder)
{
    TTreeNode* projekt = Node(L"\\Projekt");
    ASSERT_NE(projekt, nullptr);
    Choose(L"cut");
    tree->DisplayContextMenu(projekt, POINT{20, 20});
    ASSERT_TRUE(ClipboardHasFiles()) << testing::PrintToString(offered);
    EXPECT_TRUE(projekt->Cut());
    EXPECT_TRUE(SamePath(tree->CutMark(), daten + L"\\Projekt"));

    tree->SelectNode(Node(L"\\Ziel"));
    ASSERT_TRUE(tree->CanPasteFromClipBoard());
    EXPECT_TRUE(tree->PasteFromClipBoard(L"", false));
    EXPECT_TRUE(Exists(daten + L"\\Ziel\\Projekt\\Alt\\notiz.txt"));
    EXPECT_FALSE(Exists(daten + L"\\Projekt"));
    EXPECT_FALSE(ClipboardHasFiles());
    EXPECT_TRUE(tree->CutMark().empty());
    EXPECT_EQ(Node(L"\\Projekt"), nullptr);
    TTreeNode* moved = Node(L"\\Ziel\\Projekt");
    ASSERT_NE(moved, nullptr);
    EXPECT_FALSE(moved->Cut());
}

// Copied through the shell menu's copy item and pasted twice into its own
// parent: two copies with copies' names, the original untouched.
TEST_F(DriveViewMenus, PastingACopyIntoItsParentNamesTheCopies)
{
    Choose(L"copy");
    tree->DisplayContextMenu(Node(L"\\Projekt"), POINT{20, 20});
    ASSERT_TRUE(ClipboardHasFiles());
    EXPECT_FALSE(Node(L"\\Projekt")->Cut());
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(tree->PasteFromClipBoard(daten, false)) << i;
    EXPECT_TRUE(Exists(daten + L"\\Projekt - Kopie\\Alt\\notiz.txt"));
    EXPECT_TRUE(Exists(daten + L"\\Projekt - Kopie (2)\\Alt\\notiz.txt"));
    EXPECT_TRUE(Exists(daten + L"\\Projekt\\Alt\\notiz.txt"));
    EXPECT_NE(Node(L"\\Projekt - Kopie (2)"), nullptr);
    EXPECT_TRUE(ClipboardHasFiles()) << "a copy stays on the clipboard";

    // Into itself or below: refused, nothing made.
    EXPECT_FALSE(tree->PasteFromClipBoard(daten + L"\\Projekt\\Alt", false));
    EXPECT_FALSE(tree->PasteFromClipBoard(daten + L"\\Projekt", false));
    EXPECT_FALSE(Exists(daten + L"\\Projekt\\Alt\\Projekt"));
    EXPECT_FALSE(Exists(daten + L"\\Projekt\\Projekt"));

    // Asked to rename on a collision, a paste onto a taken name gets a copy's name.
    EXPECT_TRUE(tree->PasteFromClipBoard(daten + L"\\Ziel", true));
    EXPECT_TRUE(tree->PasteFromClipBoard(daten + L"\\Ziel", true));
    EXPECT_TRUE(Exists(daten + L"\\Ziel\\Projekt\\Alt\\notiz.txt"));
    EXPECT_TRUE(Exists(daten + L"\\Ziel\\Projekt - Kopie\\Alt\\notiz.txt"));
}

// A duplicate is made beside the folder without the clipboard, its name
// editor open.
TEST_F(DriveViewMenus, DuplicateKeepsTheClipboardAndOpensTheEditor)
{
    PutTextOnClipboard(L"Merkzettel");
    TTreeNode* copy = tree->DuplicateDirectory(Node(L"\\Projekt"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(tree->GetDirName(copy), L"Projekt - Kopie");
    EXPECT_TRUE(Exists(daten + L"\\Projekt - Kopie\\Alt\\notiz.txt"));
    EXPECT_EQ(ClipboardText(), L"Merkzettel");
    EXPECT_TRUE(tree->IsEditing());
    SendMessageW(tree->Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
    EXPECT_EQ(tree->DuplicateDirectory(tree->RootNode(copy)), nullptr) << "a drive is not duplicated";
}

// The shell's rename item opens the tree's name editor; a case-only rename
// reaches the disk.
TEST_F(DriveViewMenus, RenameFromTheMenuAndACaseOnlyRename)
{
    ASSERT_TRUE(CreateDirectoryW((daten + L"\\Temp").c_str(), nullptr));
    tree->ValidateDirectory(datenNode);
    TTreeNode* temp = Node(L"\\Temp");
    ASSERT_NE(temp, nullptr);
    tree->SelectNode(temp);
    Choose(L"rename");
    tree->DisplayContextMenu(temp, POINT{20, 20});
    ASSERT_TRUE(tree->IsEditing()) << testing::PrintToString(offered);
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    SetWindowTextW(edit, L"temp");
    SendMessageW(tree->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW((daten + L"\\Temp").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_STREQ(found.cFileName, L"temp");
    TTreeNode* renamed = Node(L"\\temp");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(tree->GetDirName(renamed), L"temp");
    EXPECT_EQ(renamed->Text(), L"temp");
}

// Whole paths are made level by level; levels open and close.
TEST_F(DriveViewMenus, CreatePathAndExpandLevel)
{
    EXPECT_TRUE(tree->CreatePath(daten + L"\\Neu\\Tiefer\\Ganz"));
    EXPECT_TRUE(Exists(daten + L"\\Neu\\Tiefer\\Ganz"));
    ASSERT_NE(Node(L"\\Neu\\Tiefer\\Ganz"), nullptr);
    EXPECT_TRUE(tree->CreatePath(daten + L"\\Neu"));
    EXPECT_FALSE(tree->CreatePath(daten + L"\\Neu\\a?b"));
    dir.Write(L"Daten\\datei", "x");
    EXPECT_FALSE(tree->CreatePath(daten + L"\\datei\\unter"));

    TTreeNode* projekt = Node(L"\\Projekt");
    const int level = projekt->Level();
    tree->ExpandLevel(datenNode, level);
    EXPECT_TRUE(datenNode->Expanded());
    EXPECT_TRUE(projekt->Expanded());
    EXPECT_TRUE(Node(L"\\Neu")->Expanded());
    EXPECT_FALSE(Node(L"\\Neu\\Tiefer")->Expanded());
    tree->ExpandLevel(datenNode, level - 1);
    EXPECT_TRUE(datenNode->Expanded());
    EXPECT_FALSE(projekt->Expanded());
}

// Sizes of the files directly in a folder, in 64 bits: a sparse file of
// 5 GiB reads "= 5.120M"; 2,000 bytes "= 2K"; an empty folder "= 0K".
TEST_F(DriveViewMenus, FolderSizesInTheCaptions)
{
    dir.Write(L"Daten\\Projekt\\Bilder\\a.bin", std::string(2000, 'a'));
    {
        const HANDLE big = CreateFileW((daten + L"\\Ziel\\gross.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(big, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = 5LL * 1024 * 1024 * 1024;
        EXPECT_TRUE(SetFilePointerEx(big, size, nullptr, FILE_BEGIN));
        EXPECT_TRUE(SetEndOfFile(big));
        CloseHandle(big);
    }
    Node(L"\\Projekt")->Expand();
    EXPECT_EQ(tree->GetDirSize(Node(L"\\Ziel")), 5LL * 1024 * 1024 * 1024);
    tree->SetShowDirSize(true);
    wchar_t separator[8] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    EXPECT_EQ(Node(L"\\Ziel")->Text(), L"Ziel = 5" + std::wstring(separator) + L"120M");
    EXPECT_EQ(Node(L"\\Projekt\\Bilder")->Text(), L"Bilder = 2K");
    EXPECT_EQ(Node(L"\\Projekt\\Alt")->Text(), L"Alt = 1K");
    EXPECT_EQ(Node(L"\\Projekt")->Text(), L"Projekt = 0K");
    EXPECT_FALSE(tree->CanEdit(Node(L"\\Projekt"))) << "a caption with a size is no name";

    dir.Write(L"Daten\\Projekt\\neu.txt", std::string(4096, 'n'));
    tree->ScanDriveDirSizes(tree->GetDrive(datenNode));
    EXPECT_EQ(Node(L"\\Projekt")->Text(), L"Projekt = 4K");
    tree->SetShowDirSize(false);
    EXPECT_EQ(Node(L"\\Projekt")->Text(), L"Projekt");
}

// The context-menu message of a right click over a node and the keyboard's
// menu key show the shell's menu of that node; without the shell's menu
// nothing of the shell shows.
TEST_F(DriveViewMenus, RightClickAndMenuKeyShowTheShellMenu)
{
    TTreeNode* projekt = Node(L"\\Projekt");
    tree->SelectNode(projekt);
    RECT row{};
    *reinterpret_cast<HTREEITEM*>(&row) = projekt->ItemId();
    ASSERT_TRUE(SendMessageW(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
    POINT at{row.left + 2, row.top + 2};
    ClientToScreen(tree->Handle(), &at);
    Choose(L"copy");
    SendMessageW(tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), MAKELPARAM(at.x, at.y));
    EXPECT_FALSE(offered.empty());
    EXPECT_TRUE(ClipboardHasFiles());
    ASSERT_TRUE(EmptyFileClipboard(nullptr));

    offered.clear();
    SendMessageW(tree->Handle(), WM_KEYDOWN, VK_APPS, 0);
    EXPECT_FALSE(offered.empty());
    EXPECT_TRUE(ClipboardHasFiles());

    offered.clear();
    tree->UseSystemContextMenu = false;
    SendMessageW(tree->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()), MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(offered.empty());
}

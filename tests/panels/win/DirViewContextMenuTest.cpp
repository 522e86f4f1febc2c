#include "common/win/FileClipboard.h"
#include "panels/win/DirView.h"
#include "panels/win/ShellDialogs.h"

#include "TestDir.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A list of "Liste" (brief.txt, notiz.txt, Unterordner) whose next shell
// menu chooses a verb.
class DirViewContextMenu : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Liste");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unterordner").c_str(), nullptr));
        dir.Write(L"Liste\\brief.txt", "Text");
        dir.Write(L"Liste\\notiz.txt", "Notiz");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetBounds(0, 0, 500, 400);
        form->HandleNeeded();
        view->SetPath(folder);
        ASSERT_TRUE(EmptyFileClipboard(nullptr));
    }
    void TearDown() override
    {
        SetShellMenuTracker(nullptr);
        form.reset();
        (void)EmptyFileClipboard(nullptr);
    }
    void Choose(const std::wstring& verb)
    {
        tracked = 0;
        SetShellMenuTracker([this, verb](HMENU menu, POINT, HWND, const std::function<std::wstring(UINT)>& verbOf) {
            ++tracked;
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                const UINT id = GetMenuItemID(menu, i);
                if (id != 0 && id != static_cast<UINT>(-1) && verbOf(id) == verb)
                    return id;
            }
            return 0u;
        });
    }
    void Select(const std::wstring& name)
    {
        view->SelectRange(-1, -1, false);
        ASSERT_NE(view->FindFileItem(name), nullptr);
        view->SetItemSelected(*view->FindFileItem(name), true);
    }
    bool DrawnCut(const std::wstring& name)
    {
        const int index = view->IndexOf(view->FindFileItem(name));
        return (SendMessageW(view->Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_CUT) & LVIS_CUT) != 0;
    }

    test::TestDir dir;
    std::wstring folder;
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
    int tracked = 0;
};

}  // namespace

// The shell's cut item is the list's cut: the clipboard names the file and
// the item is drawn cut until the clipboard is emptied.
TEST_F(DirViewContextMenu, CutFromTheShellMenuDrawsTheItemCut)
{
    Select(L"brief.txt");
    Choose(L"cut");
    int shown = 0;
    view->OnDisplayContextMenu = [&](TComponent*) { ++shown; };
    view->DisplayContextMenu(POINT{30, 30});
    EXPECT_EQ(shown, 1);
    const auto files = ReadClipboardFiles(nullptr);
    ASSERT_TRUE(files.has_value());
    ASSERT_EQ(files->Names.size(), 1u);
    EXPECT_EQ(CompareStringOrdinal(files->Names[0].c_str(), -1, (folder + L"\\brief.txt").c_str(), -1, TRUE),
              CSTR_EQUAL);
    EXPECT_TRUE(view->IsCut(*view->FindFileItem(L"brief.txt")));
    EXPECT_TRUE(DrawnCut(L"brief.txt"));
    EXPECT_FALSE(DrawnCut(L"notiz.txt"));
    view->EmptyClipboard();
    EXPECT_FALSE(DrawnCut(L"brief.txt"));
    EXPECT_FALSE(ClipboardHasFiles());
}

// The shell's delete item is the list's delete, run once; without a
// selection the list's own popup shows instead of the shell's menu.
TEST_F(DirViewContextMenu, DeleteIsTheListsAndNoSelectionShowsNoShellMenu)
{
    view->ConfirmDelete = false;
    Select(L"notiz.txt");
    Choose(L"delete");
    view->DisplayContextMenu(POINT{30, 30});
    EXPECT_EQ(tracked, 1);
    EXPECT_FALSE(Exists(folder + L"\\notiz.txt"));
    EXPECT_EQ(view->FindFileItem(L"notiz.txt"), nullptr) << "the list took the item out itself";

    view->SelectRange(-1, -1, false);
    view->DisplayContextMenu(POINT{30, 30});
    EXPECT_EQ(tracked, 1);
    view->UseSystemContextMenu = false;
    Select(L"brief.txt");
    view->DisplayContextMenu(POINT{30, 30});
    EXPECT_EQ(tracked, 1);
}

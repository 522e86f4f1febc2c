#include "panels/win/DirView.h"

#include "TestDir.h"
#include "common/BaseUtils.h"
#include "framework/win/Forms.h"
#include "panels/win/DriveView.h"
#include "win/DialogAnswerer.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qrv;

namespace {

// A folder "Liste" with a subfolder and two files, a list on a form and,
// for the tests that want one, the folder tree linked to the list.
class DirViewActionsTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.File(L"Liste");
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Unterordner").c_str(), nullptr));
        dir.Write(L"Liste\\Unterordner\\innen.txt", "x");
        dir.Write(L"Liste\\brief.txt", "Text");
        // An extension nothing is registered for: the shell cannot open it.
        dir.Write(L"Liste\\daten.qrvnoassoc", "?");

        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 700, 400);
        view = new TDirView(form.get());
        view->SetParent(form.get());
        view->SetBounds(250, 0, 450, 400);
    }
    void TearDown() override { form.reset(); }

    void LinkTree()
    {
        tree = new TDriveView(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(0, 0, 250, 400);
        tree->SetDirView(view);
    }

    HWND List() const { return view->Handle(); }
    int IndexOf(const std::wstring& name) const { return view->IndexOf(view->FindFileItem(name)); }
    // Moves the control's focus (and with Select the selection) to the item.
    void Focus(int index, bool select = false)
    {
        LVITEMW lv{};
        lv.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&lv));
        lv.state = LVIS_FOCUSED | (select ? LVIS_SELECTED : 0);
        SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lv));
    }
    void PressEnter() { SendMessageW(List(), WM_KEYDOWN, VK_RETURN, 1); }
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < view->ItemCount(); ++i)
            names.push_back(view->GetItemData(i)->FileName);
        return names;
    }

    test::TestDir dir;
    std::wstring folder;
    std::unique_ptr<TForm> form;
    TDirView* view = nullptr;
    TDriveView* tree = nullptr;
};

}  // namespace

TEST_F(DirViewActionsTest, EnterOnAFolderOpensItAndTheTreeFollows)
{
    LinkTree();
    form->HandleNeeded();
    EXPECT_EQ(view->DriveView(), tree) << "the tree links the list back";
    tree->SetDirectory(folder);
    ASSERT_EQ(view->Path(), folder);

    // Nothing selected: Enter selects the focused folder and opens it.
    Focus(IndexOf(L"Unterordner"));
    ASSERT_EQ(view->SelCount(), 0);
    PressEnter();
    EXPECT_EQ(view->Path(), folder + L"\\Unterordner");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"..", L"innen.txt"}));
    EXPECT_EQ(tree->GetDirectory(), folder + L"\\Unterordner");

    // ".." goes up through the tree and focuses the folder left.
    Focus(0);
    PressEnter();
    EXPECT_EQ(view->Path(), folder);
    EXPECT_EQ(tree->GetDirectory(), folder);
    ASSERT_NE(view->ItemFocused(), nullptr);
    EXPECT_EQ(view->ItemFocused()->FileName, L"Unterordner");
}

TEST_F(DirViewActionsTest, WithoutATreeFoldersOpenAndDoubleClicksGoUp)
{
    form->HandleNeeded();
    view->SetPath(folder + L"\\Unterordner");
    ASSERT_TRUE(view->Loaded());
    ASSERT_TRUE(view->GetItemData(0)->IsParentDir);

    // A double click on ".." goes up and focuses the folder left.
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = List();
    click.hdr.idFrom = 0;
    click.hdr.code = NM_DBLCLK;
    click.iItem = 0;
    Focus(0);
    SendMessageW(List(), CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(view->Path(), folder);
    ASSERT_NE(view->ItemFocused(), nullptr);
    EXPECT_EQ(view->ItemFocused()->FileName, L"Unterordner");

    // With SingleClickToExec a double click does nothing, a click on the
    // selected item opens it.
    view->SingleClickToExec = true;
    const int sub = IndexOf(L"Unterordner");
    Focus(sub, true);
    click.iItem = sub;
    SendMessageW(List(), CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(view->Path(), folder);
    click.hdr.code = NM_CLICK;
    click.uKeyFlags = LVKF_CONTROL;
    SendMessageW(List(), CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(view->Path(), folder) << "not with Ctrl held";
    click.uKeyFlags = 0;
    SendMessageW(List(), CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(view->Path(), folder + L"\\Unterordner");
}

TEST_F(DirViewActionsTest, OnExecFileCanVetoAndTheShellReportsWhatItCannotOpen)
{
    form->HandleNeeded();
    view->SetPath(folder);
    std::vector<std::wstring> asked;
    bool allow = false;
    view->OnExecFile = [&](TComponent* sender, TFileRec& item, bool& allowExec) {
        EXPECT_EQ(sender, view);
        asked.push_back(item.FileName);
        allowExec = allow;
    };
    Focus(IndexOf(L"Unterordner"), true);
    PressEnter();
    EXPECT_EQ(view->Path(), folder) << "vetoed";
    Focus(IndexOf(L"brief.txt"), true);
    view->ExecuteItem();
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"Unterordner", L"brief.txt"}));

    // ".." is not a file to veto.
    Focus(0);
    PressEnter();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(view->Path(), RemoveBackslashes(dir.Path()));

    // A file type without an association: the shell opens nothing.
    view->SetPath(folder);
    const TFileRec* unknown = view->FindFileItem(L"daten.qrvnoassoc");
    ASSERT_NE(unknown, nullptr);
    EXPECT_FALSE(view->OpenItem(*unknown));
}

TEST_F(DirViewActionsTest, TheNameEditorRefusesCharactersNoFileNameHolds)
{
    form->HandleNeeded();
    view->SetPath(folder);
    SetFocus(List());

    const int index = IndexOf(L"brief.txt");
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(List(), LVM_EDITLABELW, static_cast<WPARAM>(index), 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"");
    for (const wchar_t ch : std::wstring(L"a*b\\/:?\"<>|c"))
        SendMessageW(edit, WM_CHAR, ch, 1);
    wchar_t text[64] = L"";
    GetWindowTextW(edit, text, 64);
    EXPECT_STREQ(text, L"abc");
    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(DirViewActionsTest, SwitchingMultiSelectKeepsColumnsAndItems)
{
    form->HandleNeeded();
    view->SetPath(folder);
    view->SetColWidth(2, 77);
    Focus(IndexOf(L"brief.txt"), true);
    LVITEMW select{};
    select.state = select.stateMask = LVIS_SELECTED;
    SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(IndexOf(L"Unterordner")),
                 reinterpret_cast<LPARAM>(&select));
    ASSERT_EQ(view->SelCount(), 2);
    const std::vector<std::wstring> before = Names();

    view->SetMultiSelect(false);
    EXPECT_FALSE(view->MultiSelect());
    EXPECT_NE(GetWindowLongPtrW(List(), GWL_STYLE) & LVS_SINGLESEL, 0);
    EXPECT_EQ(view->ColumnCount(), 5);
    EXPECT_EQ(view->ColumnWidth(2), 77);
    EXPECT_EQ(view->ColWidth(2), 77);
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(before.size()));
    EXPECT_EQ(view->SelCount(), 1) << "one selected item in the single mode";
    EXPECT_TRUE(view->FindFileItem(L"brief.txt")->Selected);

    view->SetMultiSelect(true);
    EXPECT_EQ(GetWindowLongPtrW(List(), GWL_STYLE) & LVS_SINGLESEL, 0);
    EXPECT_EQ(view->ColumnWidth(2), 77);
    EXPECT_EQ(Names(), before);
}

TEST_F(DirViewActionsTest, AMovingKeySelectsTheItemItLandsOnAloneAndAStillOneKeepsTheSelection)
{
    form->HandleNeeded();
    view->SetPath(folder);
    const auto select = [&](const std::wstring& name) {
        LVITEMW item{};
        item.state = item.stateMask = LVIS_SELECTED;
        SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(IndexOf(name)), reinterpret_cast<LPARAM>(&item));
    };
    const auto press = [&](WPARAM key) { SendMessageW(List(), WM_KEYDOWN, key, 1); };
    const auto shownSelected = [&] { return SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0); };
    Focus(IndexOf(L"brief.txt"), true);
    select(L"Unterordner");
    ASSERT_EQ(view->SelCount(), 2);

    press(VK_DOWN);
    EXPECT_EQ(view->ItemFocused(), view->FindFileItem(L"daten.qrvnoassoc"));
    EXPECT_EQ(view->SelCount(), 1) << "the old selection is cleared, in the records too";
    EXPECT_TRUE(view->FindFileItem(L"daten.qrvnoassoc")->Selected);
    EXPECT_FALSE(view->FindFileItem(L"brief.txt")->Selected);
    EXPECT_EQ(shownSelected(), 1);

    // The last item: Down moves nothing, and nothing is deselected.
    select(L"brief.txt");
    ASSERT_EQ(view->SelCount(), 2);
    press(VK_DOWN);
    press(VK_END);
    EXPECT_EQ(view->SelCount(), 2);
    EXPECT_EQ(shownSelected(), 2);

    // Home lands on "..", which is never selected.
    press(VK_HOME);
    EXPECT_TRUE(view->ItemFocused()->IsParentDir);
    EXPECT_EQ(view->SelCount(), 0);
    EXPECT_EQ(shownSelected(), 0);
}

TEST_F(DirViewActionsTest, TheTreeLinkGoesWithTheTree)
{
    // A tree of no owner, freed before the list: the list forgets it.
    auto own = std::make_unique<TDriveView>(nullptr);
    own->SetParent(form.get());
    own->SetDirView(view);
    form->HandleNeeded();
    ASSERT_EQ(view->DriveView(), own.get());
    own.reset();
    EXPECT_EQ(view->DriveView(), nullptr);
    view->SetPath(folder);
    Focus(IndexOf(L"Unterordner"), true);
    PressEnter();
    EXPECT_EQ(view->Path(), folder + L"\\Unterordner");
}

TEST_F(DirViewActionsTest, AltEnterLeavesTheAltKeyNoMenuKey)
{
    // Alt pressed, Enter taken for the properties, Alt released: the window
    // must not go into menu mode, where F3 and Strg+D would go unheard. The
    // Enter's release is not sent: while the shell's properties have the
    // keyboard it does not come to this window.
    static int menuKeys = 0;
    menuKeys = 0;
    const auto countMenuKey = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) -> LRESULT {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) {
            ++menuKeys;
            return 0;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    };
    form->HandleNeeded();
    ASSERT_TRUE(SetWindowSubclass(form->Handle(), countMenuKey, 1, 0));
    view->SetPath(dir.File(L"Liste\\Unterordner"));
    Focus(IndexOf(L"innen.txt"), true);
    SetFocus(List());
    constexpr LPARAM kAltDown = static_cast<LPARAM>(0x20000001);
    constexpr LPARAM kAltUp = static_cast<LPARAM>(0xE0000001u);
    const auto altAlone = [&] {
        SendMessageW(List(), WM_SYSKEYDOWN, VK_MENU, kAltDown);
        SendMessageW(List(), WM_SYSKEYUP, VK_MENU, kAltUp);
    };
    altAlone();
    ASSERT_EQ(menuKeys, 1) << "Alt alone asks for the menu bar";

    menuKeys = 0;
    SendMessageW(List(), WM_SYSKEYDOWN, VK_MENU, kAltDown);
    {
        // The shell's properties, where the system shows them, are closed.
        test::DialogAnswerer close({L"Abbrechen", L"Cancel", L"OK"});
        SendMessageW(List(), WM_SYSKEYDOWN, VK_RETURN, kAltDown);
    }
    SendMessageW(List(), WM_SYSKEYUP, VK_MENU, kAltUp);
    EXPECT_EQ(menuKeys, 0) << "Alt+Enter is no press of Alt alone";

    // The same from the tree.
    LinkTree();
    tree->SetDirectory(folder);
    SetFocus(tree->Handle());
    menuKeys = 0;
    SendMessageW(tree->Handle(), WM_SYSKEYDOWN, VK_MENU, kAltDown);
    {
        test::DialogAnswerer close({L"Abbrechen", L"Cancel", L"OK"});
        SendMessageW(tree->Handle(), WM_SYSKEYDOWN, VK_RETURN, kAltDown);
    }
    SendMessageW(tree->Handle(), WM_SYSKEYUP, VK_MENU, kAltUp);
    EXPECT_EQ(menuKeys, 0);
    RemoveWindowSubclass(form->Handle(), countMenuKey, 1);
}

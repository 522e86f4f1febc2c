// The navigation commands on a form with a real folder tree, two file lists
// with their history boxes and a command box, the window's side faked: back
// and forward through the history with the buttons' hints, a vanished
// folder dropped, typed paths (a file's path selects the file, a missing one
// is refused), "d:" and "CD .." in the command box, other lines handed to the
// interpreter, and the names inserted into the box.

#include "mainwindow/win/NavigationCommands.h"

#include "FakeMainWindowServices.h"
#include "TestDir.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Forms.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;

namespace {

class FakeNavigationHost : public FakeMainWindowServices, public TNavigationHost {
public:
    TMainPanes panes;
    std::wstring programFolder;
    std::vector<std::pair<std::wstring, bool>> interpreted;
    std::array<TKyDock*, 2> docks{};
    bool closeConsole = false;

    bool ShowHiddenDirs() override { return true; }
    std::wstring ProgramFolder() override { return programFolder; }
    bool DriveValid(wchar_t Drive) override { return GetDriveTypeW((std::wstring(1, Drive) + L":\\").c_str()) > 1; }
    void RunInInterpreter(const std::wstring& Line, bool CloseWindow) override
    {
        interpreted.emplace_back(Line, CloseWindow);
    }
    bool CloseConsoleWindow() override { return closeConsole; }
    void FocusList(TDirView* List) override
    {
        panes.ActiveList = List;
        panes.ActiveHistory = List == panes.LV2 ? panes.DirHist2 : panes.DirHist1;
        panes.TreeView1->SetDirView(List);
        List->SetFocus();
    }
    TKyDock* FileWindowDock(int Index) override { return docks[static_cast<size_t>(Index)]; }
};

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

class NavigationCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = dir.Path();
        for (const wchar_t* sub : {L"\\A", L"\\B", L"\\C", L"\\C\\Tief"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
        dir.Write(L"C\\a&b c.txt", "x");
        dir.Write(L"C\\zweite.txt", "y");
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 800, 500);
        tree = new TDriveView(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(0, 0, 250, 500);
        tree->SetAlign(TAlign::alLeft);
        for (int i = 0; i < 2; ++i) {
            auto* panel = new TPanel(form.get());
            panel->SetParent(form.get());
            panel->SetBounds(250 + 275 * i, 0, 275, 500);
            panel->SetAlign(TAlign::alLeft);
            auto* dock = new TKyDock(form.get());
            dock->SetAlign(TAlign::alTop);
            dock->SetPosition(TDockPosition::dpTop);
            dock->SetParent(panel);
            host.docks[static_cast<size_t>(i)] = dock;
            auto* box = new TComboBox(form.get());
            box->SetParent(panel);
            box->SetAlign(TAlign::alTop);
            box->SetDropDownCount(20);
            auto* list = new TDirView(form.get());
            list->SetParent(panel);
            list->SetAlign(TAlign::alClient);
            (i == 0 ? host.panes.DirHist1 : host.panes.DirHist2) = box;
            (i == 0 ? host.panes.LV1 : host.panes.LV2) = list;
        }
        commandBox = new TComboBox(form.get());
        commandBox->SetParent(form.get());
        commandBox->SetAlign(TAlign::alBottom);
        host.panes.TreeView1 = tree;
        host.panes.ActiveList = host.panes.LV1;
        host.panes.ActiveHistory = host.panes.DirHist1;
        tree->SetDirView(host.panes.LV1);
        host.window = form.get();
        host.programFolder = CurrentFolder();
        commands = std::make_unique<TNavigationCommands>(form.get(), host.panes, host, host, catalogue, commandBox);
        commands->Attach();
        form->Show();
    }
    void TearDown() override
    {
        commands.reset();
        form.reset();
        SetCurrentDirectoryW(host.programFolder.c_str());
    }

    void Open(const std::wstring& Sub)
    {
        TTreeNode* node = tree->NodeForPath(root + Sub);
        ASSERT_NE(node, nullptr) << testing::PrintToString(Sub);
        tree->SelectNode(node);
    }
    std::wstring ListPath() { return host.panes.ActiveList->GetPath(); }
    std::vector<std::wstring> BoxItems(TComboBox* Box)
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < Box->Items().Count(); ++i)
            items.push_back(Box->Items().Get(i));
        return items;
    }
    TKyToolbarButton* Button(const std::wstring& Name)
    {
        return dynamic_cast<TKyToolbarButton*>(form->FindComponent(Name));
    }
    std::wstring SelectedNames(TDirView* List)
    {
        std::wstring names;
        for (int i = 0; i < List->ItemCount(); ++i)
            if (const TFileRec* item = List->GetItemData(i); item && item->Selected)
                names += List->ItemFileName(item) + L";";
        return names;
    }

    test::TestDir dir;
    std::wstring root;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TComboBox* commandBox = nullptr;
    TActionCatalogue catalogue;
    FakeNavigationHost host;
    std::unique_ptr<TNavigationCommands> commands;
};

}  // namespace

TEST_F(NavigationCommandsTest, BackAndForwardWalkTheHistoryAndTheHintsNameTheEntries)
{
    for (const wchar_t* sub : {L"\\A", L"\\B", L"\\C"})
        Open(sub);
    TComboBox* box = host.panes.DirHist1;
    EXPECT_EQ(BoxItems(box), (std::vector<std::wstring>{root + L"\\C", root + L"\\B", root + L"\\A"}));
    EXPECT_EQ(box->Text(), root + L"\\C");
    EXPECT_EQ(commands->HistoryIndex(), 0);
    EXPECT_EQ(commands->HistoryCount(), 3);
    ASSERT_NE(Button(L"btnLV1Prev"), nullptr);
    EXPECT_EQ(Button(L"btnLV1Prev")->Hint(), L"Zurück zu \"" + root + L"\\B\" (Alt+Links)");
    EXPECT_EQ(Button(L"btnLV1Next")->Hint(), L"Weiter zum nächsten Verzeichnis (Alt+Rechts)");
    EXPECT_FALSE(Button(L"btnLV1Next")->Enabled());
    EXPECT_EQ(box->Parent(), commands->WindowToolbar(0)) << "the history box stands in the window's toolbar";

    ASSERT_TRUE(catalogue.Execute(TActionId::GoPrev));
    ASSERT_TRUE(catalogue.Execute(TActionId::GoPrev));
    EXPECT_EQ(ListPath(), root + L"\\A");
    EXPECT_EQ(box->Text(), root + L"\\A");
    EXPECT_EQ(commands->HistoryIndex(), 2);
    EXPECT_EQ(BoxItems(box).size(), 3u) << "going back adds nothing";
    EXPECT_FALSE(commands->GoBack()) << "nothing older";
    EXPECT_EQ(Button(L"btnLV1Prev")->Hint(), L"Zurück zum vorigen Verzeichnis (Alt+Links)");
    EXPECT_EQ(Button(L"btnLV1Next")->Hint(), L"Weiter zu \"" + root + L"\\B\" (Alt+Rechts)");
    EXPECT_EQ(commands->Hints().Forward, Button(L"btnLV1Next")->Hint());

    ASSERT_TRUE(catalogue.Execute(TActionId::GoNext));
    EXPECT_EQ(ListPath(), root + L"\\B");
    Open(L"\\C\\Tief");
    EXPECT_EQ(BoxItems(box),
              (std::vector<std::wstring>{root + L"\\C\\Tief", root + L"\\C", root + L"\\B", root + L"\\A"}));

    // The second window's buttons act on its own list.
    Button(L"btnLV2Up")->Click();
    EXPECT_EQ(host.panes.ActiveList, host.panes.LV2);
}

TEST_F(NavigationCommandsTest, AVanishedFolderIsDroppedAndTheNextOneOpened)
{
    for (const wchar_t* sub : {L"\\A", L"\\B", L"\\C"})
        Open(sub);
    ASSERT_TRUE(RemoveDirectoryW((root + L"\\B").c_str()));
    tree->ReadSubDirs(tree->NodeForPath(root));
    ASSERT_EQ(tree->NodeForPath(root + L"\\B"), nullptr);
    EXPECT_TRUE(commands->GoBack());
    EXPECT_EQ(ListPath(), root + L"\\A");
    EXPECT_EQ(BoxItems(host.panes.DirHist1), (std::vector<std::wstring>{root + L"\\C", root + L"\\A"}));
}

TEST_F(NavigationCommandsTest, UpAndRootMoveTheTree)
{
    Open(L"\\C\\Tief");
    commands->GoUp();
    EXPECT_EQ(ListPath(), root + L"\\C");
    commands->GoRoot();
    EXPECT_EQ(ListPath(), root.substr(0, 3));
}

TEST_F(NavigationCommandsTest, TypedPaths)
{
    Open(L"\\A");
    TComboBox* box = host.panes.DirHist1;
    box->SetText(root + L"\\C\\zweite.txt");
    commands->HistoryEnter(0);
    EXPECT_EQ(ListPath(), root + L"\\C");
    EXPECT_EQ(SelectedNames(host.panes.LV1), L"zweite.txt;");
    ASSERT_NE(host.panes.LV1->ItemFocused(), nullptr);
    EXPECT_EQ(host.panes.LV1->ItemFileName(host.panes.LV1->ItemFocused()), L"zweite.txt");
    EXPECT_EQ(BoxItems(box).front(), root + L"\\C") << "the typed path's folder is recorded";

    box->SetText(root + L"\\fehlt");
    commands->HistoryEnter(0);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0], L"Ausgewählter Pfad nicht vorhanden:\n" + root + L"\\fehlt");
    EXPECT_EQ(ListPath(), root + L"\\C") << "the list stays";
    EXPECT_EQ(box->Text(), root + L"\\C") << "the box shows the list's folder again";
    EXPECT_EQ(CurrentFolder(), host.programFolder);

    box->SetText(L"x:");
    EXPECT_FALSE(commands->NavigateToPath(L"x:")) << "two characters are refused";
    EXPECT_EQ(host.messageBoxes.size(), 1u);

    // Escape gives the typed text up; leaving the box with another folder in it opens it.
    box->SetText(L"getippt");
    commands->HistoryEscape(0);
    EXPECT_EQ(box->Text(), root + L"\\C");
    box->SetText(root + L"\\B");
    commands->HistoryExit(0);
    EXPECT_EQ(ListPath(), root + L"\\B");
}

TEST_F(NavigationCommandsTest, ChoosingAnEntryFromTheListOpensIt)
{
    for (const wchar_t* sub : {L"\\A", L"\\B", L"\\C"})
        Open(sub);
    TComboBox* box = host.panes.DirHist1;
    box->SetFocus();
    box->SetItemIndex(-1);
    SendMessageW(box->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(box->ItemIndex(), 0) << "the list's folder is the chosen entry when the list opens";
    // Closed without a choice: nothing opens.
    SendMessageW(box->Handle(), CB_SETCURSEL, 1, 0);
    SendMessageW(box->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ListPath(), root + L"\\C");
    SendMessageW(box->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(box->Handle(), CB_SETCURSEL, 2, 0);
    SendMessageW(box->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(SendMessageW(box->Handle(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(ListPath(), root + L"\\A");
    EXPECT_EQ(BoxItems(box).size(), 3u);
    EXPECT_EQ(commands->HistoryIndex(), 2);
}

TEST_F(NavigationCommandsTest, CommandBoxLines)
{
    Open(L"\\C\\Tief");
    commandBox->SetText(L"  cd ..");
    commands->RunCommandLine();
    EXPECT_EQ(ListPath(), root + L"\\C");
    EXPECT_EQ(CurrentFolder(), host.programFolder) << "the program folder is current again";
    EXPECT_EQ(BoxItems(commandBox).front(), L"CD ..");

    commandBox->SetText(L"CD gibtsnicht");
    commands->RunCommandLine();
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0], L"Ausgewählter Pfad nicht vorhanden:\ngibtsnicht");
    EXPECT_EQ(CurrentFolder(), host.programFolder);
    EXPECT_EQ(ListPath(), root + L"\\C");

    const std::wstring drive = root.substr(0, 1);
    commandBox->SetText(LowerCase(drive) + L":");
    commands->RunCommandLine();
    EXPECT_EQ(ListPath(), drive + L":\\");
    EXPECT_EQ(BoxItems(commandBox).front(), drive + L":");

    wchar_t missing = L'\0';
    for (wchar_t letter = L'Q'; letter >= L'B' && !missing; --letter)
        if (!host.DriveValid(letter))
            missing = letter;
    ASSERT_NE(missing, L'\0');
    commandBox->SetText(std::wstring(1, missing) + L":");
    commands->RunCommandLine();
    ASSERT_EQ(host.messageBoxes.size(), 2u);
    EXPECT_EQ(host.messageBoxes[1], L"Ausgewähltes Laufwerk nicht gültig:  " + std::wstring(1, missing) + L":");

    commandBox->SetText(L"CD");
    commands->RunCommandLine();
    commandBox->SetText(L" echo 100%");
    host.closeConsole = true;
    commands->RunCommandLine();
    EXPECT_EQ(host.interpreted, (std::vector<std::pair<std::wstring, bool>>{{L"CD", false}, {L"echo 100%", true}}));
}

TEST_F(NavigationCommandsTest, InsertedNamesAreQuoted)
{
    Open(L"\\C");
    TDirView* list = host.panes.LV1;
    ASSERT_NE(list->FindFileItem(L"a&b c.txt"), nullptr);
    commands->InsertIntoCommandBox(TCommandBoxName::FileName, false);
    EXPECT_EQ(commandBox->Text(), L"") << "nothing without a selection";
    list->SetItemSelected(*list->FindFileItem(L"a&b c.txt"), true);

    commands->InsertIntoCommandBox(TCommandBoxName::FileName, false);
    EXPECT_EQ(commandBox->Text(), L"\"a&b c.txt\"");
    commandBox->SetText(L"type");
    commands->InsertIntoCommandBox(TCommandBoxName::FullName, false);
    EXPECT_EQ(commandBox->Text(), L"type \"" + root + L"\\C\\a&b c.txt\"");
    commandBox->SetText(L"cd");
    commands->InsertIntoCommandBox(TCommandBoxName::Folder, false);
    EXPECT_EQ(commandBox->Text(), L"cd " + root + L"\\C");
    DWORD start = 0, end = 0;
    SendMessageW(commandBox->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, commandBox->Text().size()) << "the caret goes to the end";
    EXPECT_EQ(end, start);

    // Strg+Tab: into the box and back to the list.
    list->SetFocus();
    commands->ToggleCommandBoxFocus();
    EXPECT_TRUE(IsChild(commandBox->Handle(), GetFocus()) || GetFocus() == commandBox->Handle());
    commands->ToggleCommandBoxFocus();
    EXPECT_EQ(GetFocus(), list->Handle());
}

// The bookmark commands on a form with a real folder tree, the catalogue's
// menus and a bookmark toolbar, with the window's side faked: the menus'
// columns, the toolbar's buttons, a missing folder created on "Ja" and left
// for its parent on "Nein", adding (and adding twice), the editor rewriting
// the lists, and the jumps.

#include "mainwindow/win/BookmarkCommands.h"

#include "../../panels/win/TreeAndListForm.h"
#include "FakeMainWindowServices.h"
#include "TestDir.h"
#include "common/win/BaseUtilsWin.h"
#include "dialogs/win/AddFavoriteForm.h"
#include "dialogs/win/KySelDir.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Menus.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/win/CommandMenus.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/ImpStringGrid.h"
#include "widgets/win/KyDock.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

using namespace qrv;

namespace {

// The window's services and the bookmarks' own host in one fake.
class FakeBookmarkHost : public FakeMainWindowServices, public TBookmarkCommandsHost {
public:
    TMainPanes panes;
    TOptions options;
    int changes = 0;
    int saves = 0;
    std::vector<int> opened;
    // What the user does in the dialogs; empty: Cancel.
    std::function<void(TAddFavoriteForm&)> onAdd;
    std::function<void(TStdDirForm&)> onEdit;
    std::vector<std::wstring> proposed;  // folder and caption the add dialog showed

    const TOptions& BookmarkOptions() override { return options; }
    bool TreeOnNetwork() override { return false; }
    void MarkBookmarksChanged() override { ++changes; }
    void SaveAllSettings() override { ++saves; }
    bool RunAddBookmark(TAddFavoriteForm& Form) override
    {
        proposed = {Form.edDir->Text(), Form.edCaption->Text()};
        if (!onAdd)
            return false;
        Form.Show();
        onAdd(Form);
        Form.OkClicked();
        Form.SetVisible(false);
        return Form.Accepted();
    }
    bool RunBookmarkEditor(TStdDirForm& Form) override
    {
        if (!onEdit)
            return false;
        Form.Show();
        onEdit(Form);
        const bool confirmed = Form.Confirmed();
        Form.SetVisible(false);
        return confirmed;
    }
    bool RunFolderPicker(TSelDirDialog&) override { return false; }
    void OpenShellFolder(int Csidl) override { opened.push_back(Csidl); }
};

// A system whose special folders are the test's folders.
class FixedFolders : public TSpecialFolderSystem {
public:
    std::map<int, std::wstring> folders;
    TDriveView* tree = nullptr;
    std::wstring SpecialFolderPath(int Csidl) override { return folders.contains(Csidl) ? folders[Csidl] : L""; }
    bool RegistryString(bool, const std::wstring&, const std::wstring&, std::wstring&) override { return false; }
    bool DirectoryExists(const std::wstring& Path) override { return DirExists(Path); }
    bool PathHidden(const std::wstring&) override { return false; }
    uint32_t ShellVersion() override { return 6u << 16; }
    std::wstring TempDirectory() override { return L""; }
    bool TreeHasNode(const std::wstring& Path) override { return tree->NodeForPath(Path) != nullptr; }
};

class BookmarkCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedOptions = Options;
        root = dir.Path();
        for (const wchar_t* sub : {L"\\Daten", L"\\Daten\\Alt", L"\\Bilder"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
        TTreeAndListForm made;
        form = std::move(made.Form);
        tree = made.Tree;
        host.panes.TreeView1 = tree;
        host.window = form.get();
        actions = new TActionList(form.get());
        menus = std::make_unique<TCommandMenus>(*form, *actions, catalogue);
        mainMenu = new TMainMenu(form.get());
        menus->BuildMainMenu(*mainMenu);
        popup = menus->BuildPopup(ppList, L"LVPopup");
        auto* dock = new TKyDock(form.get());
        dock->SetAlign(TAlign::alTop);
        dock->SetParent(form.get());
        toolbar = new TKyToolbar(form.get());
        toolbar->SetDockedTo(dock);
        commands = std::make_unique<TBookmarkCommands>(form.get(), host.panes, host, host, catalogue, *menus);
        commands->Attach(menus->MainMenuItem(TMenuId::Bookmarks), popup, toolbar, menus->MainMenuItem(TMenuId::Jump));
        form->Show();
        StdDirList.Clear();
        StdDirCaptions.Clear();
    }
    void TearDown() override
    {
        commands.reset();
        menus.reset();
        form.reset();
        StdDirList.Clear();
        StdDirCaptions.Clear();
        Options = savedOptions;
    }

    void SetBookmarks(const std::vector<std::pair<std::wstring, std::wstring>>& Entries)
    {
        StdDirList.Clear();
        StdDirCaptions.Clear();
        for (const auto& [path, caption] : Entries) {
            StdDirList.Add(path);
            StdDirCaptions.Add(caption);
        }
        commands->RebuildFromLists();
    }
    std::wstring Selected() { return tree->Selected() ? tree->GetDirPathName(tree->Selected()) : L""; }

    TOptions savedOptions;
    test::TestDir dir;
    std::wstring root;
    std::unique_ptr<TForm> form;
    TDriveView* tree = nullptr;
    TActionCatalogue catalogue;
    TActionList* actions = nullptr;
    std::unique_ptr<TCommandMenus> menus;
    TMainMenu* mainMenu = nullptr;
    TPopupMenu* popup = nullptr;
    TKyToolbar* toolbar = nullptr;
    FakeBookmarkHost host;
    std::unique_ptr<TBookmarkCommands> commands;
};

}  // namespace

TEST_F(BookmarkCommandsTest, ThirtyBookmarksGiveTwoColumnsAndSixteenButtons)
{
    // ctest: takes the focus (the form gives it to its grid, its buttons to the form)
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    for (int i = 0; i < 30; ++i) {
        entries.emplace_back(root + L"\\Daten", L"Nr " + std::to_wstring(i));
        if (i == 1)
            entries.emplace_back(L"", L"-");
    }
    entries[0].second = L"";  // takes the folder's name
    SetBookmarks(entries);
    EXPECT_EQ(StdDirCaptions[0], L"Daten");

    TMenuItem* menu = commands->BookmarkMenu();
    ASSERT_EQ(commands->MenuItems().size(), entries.size());
    std::vector<int> breaks;
    for (TMenuItem* item : commands->MenuItems())
        if (item->BarBreak())
            breaks.push_back(static_cast<int>(item->Tag));
    EXPECT_EQ(breaks, std::vector<int>{25}) << "the 25th named bookmark, the separator not counted";
    EXPECT_EQ(commands->MenuItems()[0]->Caption(), L"&1  Daten");
    EXPECT_TRUE(commands->MenuItems()[2]->IsLine());
    // The bookmarks stand before the divider and the two fixed items.
    EXPECT_EQ(menu->Count(), static_cast<int>(entries.size()) + 3);
    EXPECT_TRUE(menu->Items(static_cast<int>(entries.size()))->IsLine());
    EXPECT_TRUE(menu->Items(static_cast<int>(entries.size()))->Visible());
    ASSERT_NE(commands->PopupBookmarkMenu(), nullptr);
    EXPECT_EQ(commands->PopupBookmarkMenu()->Count(), menu->Count());
    EXPECT_TRUE(commands->PopupBookmarkMenu()->Items(25)->BarBreak());
    // The popup's last entry is the bookmark submenu; its 26th item opens
    // the second column in the system's menu.
    HMENU popupHandle = popup->Handle();
    HMENU bookmarks = GetSubMenu(popupHandle, GetMenuItemCount(popupHandle) - 1);
    ASSERT_NE(bookmarks, nullptr);
    for (int i = 0; i < GetMenuItemCount(bookmarks); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ASSERT_TRUE(GetMenuItemInfoW(bookmarks, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ((info.fType & MFT_MENUBARBREAK) != 0, i == 25) << i;
    }

    ASSERT_EQ(commands->Buttons().size(), 16u);
    ASSERT_EQ(commands->Separators().size(), 15u);
    for (int i = 0; i < 16; ++i) {
        TKyToolbarButton* button = commands->Buttons()[static_cast<size_t>(i)];
        const int tag = i < 2 ? i : i + 1;  // the separator entry has no button
        EXPECT_TRUE(button->Visible()) << i;
        EXPECT_EQ(button->Tag, tag) << i;
        EXPECT_EQ(button->Caption(), StdDirCaptions[tag]) << i;
        EXPECT_EQ(button->Hint(), root + L"\\Daten") << i;
    }
    EXPECT_TRUE(commands->Separators()[1]->Visible()) << "the separator entry follows the second button";
    EXPECT_FALSE(commands->Separators()[0]->Visible());

    SetBookmarks({});
    EXPECT_TRUE(commands->MenuItems().empty());
    EXPECT_FALSE(menu->Items(0)->Visible()) << "no divider without bookmarks";
    for (TKyToolbarButton* button : commands->Buttons())
        EXPECT_FALSE(button->Visible());
}

TEST_F(BookmarkCommandsTest, AMissingFolderIsCreatedOrLeftForItsParent)
{
    const std::wstring missing = root + L"\\Daten\\Neu\\Tiefer";
    SetBookmarks({{missing, L"Neu"}, {root + L"\\Bilder", L"Bilder"}});

    host.messageAnswer = mrNo;
    commands->BookmarkMenuClick(0);
    EXPECT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_NE(host.messageBoxes.back().find(L"ist nicht vorhanden. Soll das Verzeichnis neu angelegt werden?"),
              std::wstring::npos);
    EXPECT_FALSE(DirExists(missing));
    EXPECT_TRUE(SameText(Selected(), root + L"\\Daten")) << Selected();

    host.messageAnswer = mrCancel;
    commands->BookmarkMenuClick(1);
    EXPECT_TRUE(SameText(Selected(), root + L"\\Bilder")) << Selected();
    commands->BookmarkMenuClick(0);
    EXPECT_TRUE(SameText(Selected(), root + L"\\Bilder")) << "Abbrechen leaves the tree";

    host.messageAnswer = mrYes;
    commands->BookmarkMenuClick(0);
    EXPECT_TRUE(DirExists(missing));
    EXPECT_TRUE(SameText(Selected(), missing)) << Selected();

    // The toolbar never offers to create.
    const size_t asked = host.messageBoxes.size();
    ASSERT_TRUE(RemoveDirectoryW(missing.c_str()));
    tree->SetDirectory(root + L"\\Bilder");
    tree->ValidateDirectory(tree->NodeForPath(root + L"\\Daten\\Neu"));
    commands->BookmarkButtonClick(0);
    ASSERT_EQ(host.messageBoxes.size(), asked + 1);
    EXPECT_EQ(host.messageBoxes.back(), L"Ausgewählter Pfad nicht vorhanden:\n" + missing);
    EXPECT_FALSE(DirExists(missing));
    commands->BookmarkButtonClick(1);
    EXPECT_TRUE(SameText(Selected(), root + L"\\Bilder"));
    commands->BookmarkButtonClick(-1);  // an unused button
    commands->BookmarkMenuClick(7);     // a tag out of range
    EXPECT_EQ(host.messageBoxes.size(), asked + 1);
}

TEST_F(BookmarkCommandsTest, AddingProposesTheNameAndRefusesADuplicate)
{
    SetBookmarks({});
    tree->SetDirectory(root + L"\\Daten\\Alt");
    ASSERT_TRUE(SameText(Selected(), root + L"\\Daten\\Alt"));
    host.onAdd = [](TAddFavoriteForm& Form) { Form.edCaption->SetText(L"Archiv"); };
    commands->StdDirAddExecute();
    ASSERT_EQ(host.proposed.size(), 2u);
    EXPECT_EQ(host.proposed[1], L"Alt");
    ASSERT_EQ(StdDirList.Count(), 1);
    EXPECT_TRUE(SameText(StdDirList[0], root + L"\\Daten\\Alt"));
    EXPECT_EQ(StdDirCaptions[0], L"Archiv");
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(commands->MenuItems().size(), 1u);
    EXPECT_EQ(commands->Buttons()[0]->Caption(), L"Archiv");

    commands->StdDirAddExecute();
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_NE(host.messageBoxes[0].find(L"ist in den Lesezeichen bereits vorhanden."), std::wstring::npos);
    EXPECT_EQ(StdDirList.Count(), 1);

    // A folder removed while the dialog is open is refused by its OK.
    tree->SetDirectory(root + L"\\Bilder");
    std::vector<std::wstring> refused;
    host.onAdd = [&](TAddFavoriteForm& Form) {
        Form.ReportError = [&](const std::wstring& Text) { refused.push_back(Text); };
        Form.edDir->SetText(L"");
        EXPECT_FALSE(Form.OkButton->Enabled()) << "no OK without a folder";
        Form.edDir->SetText(root + L"\\Weg");
        EXPECT_TRUE(Form.OkButton->Enabled());
    };
    commands->StdDirAddExecute();
    EXPECT_EQ(refused, std::vector<std::wstring>{kBookmarkDirMissingText});
    EXPECT_EQ(StdDirList.Count(), 1);
    EXPECT_EQ(host.changes, 1);
}

TEST_F(BookmarkCommandsTest, TheEditorRewritesListsMenusAndSettings)
{
    SetBookmarks({{root + L"\\Daten", L"Daten"}, {L"", L"-"}, {root + L"\\Bilder", L"Bilder"}});
    host.onEdit = [](TStdDirForm& Form) {
        TStdDirRows& rows = Form.RowModel();
        TStringGridCells& cells = Form.StdDirGrid->Cells();
        cells.SetCurrent(kStdDirCaptionCol, 3);
        cells.SetCell(kStdDirCaptionCol, 3, L"Fotos & Bilder");
        rows.EditEnded(kStdDirCaptionCol, 3);
        cells.SetCurrent(kStdDirCaptionCol, 1);
        Form.DeleteRow();
        Form.InsertRow(TStdDirInsert::New);  // an empty row: dropped
        Form.btnOK->Click();
    };
    commands->StdDirEditExecute();
    ASSERT_EQ(StdDirList.Count(), 2);
    EXPECT_EQ(StdDirCaptions[0], L"-");
    EXPECT_EQ(StdDirCaptions[1], L"Fotos && Bilder");
    EXPECT_EQ(StdDirList[1], root + L"\\Bilder");
    EXPECT_EQ(host.saves, 1);
    EXPECT_EQ(host.changes, 1);
    ASSERT_EQ(commands->MenuItems().size(), 2u);
    EXPECT_EQ(commands->MenuItems()[1]->Caption(), L"&1  Fotos && Bilder");

    host.onEdit = [](TStdDirForm& Form) { Form.DeleteRow(); };  // then Abbrechen
    commands->StdDirEditExecute();
    EXPECT_EQ(StdDirList.Count(), 2) << "a cancelled edit changes nothing";
    EXPECT_EQ(host.saves, 1);
}

TEST_F(BookmarkCommandsTest, JumpsSelectTheirFolderOrOpenTheShell)
{
    auto folders = std::make_unique<FixedFolders>();
    folders->tree = tree;
    folders->folders[csidl::kMyPictures] = root + L"\\Bilder";
    folders->folders[csidl::kPersonal] = root + L"\\Daten";
    commands->SetFolderSystem(std::move(folders));
    ASSERT_TRUE(catalogue.Execute(TActionId::GotoPersonalPictures));
    EXPECT_TRUE(SameText(Selected(), root + L"\\Bilder")) << Selected();
    ASSERT_TRUE(catalogue.Execute(TActionId::GotoPersonalFiles));
    EXPECT_TRUE(SameText(Selected(), root + L"\\Daten")) << Selected();
    ASSERT_TRUE(catalogue.Execute(TActionId::GotoPrinter));
    ASSERT_TRUE(catalogue.Execute(TActionId::GotoRecycleBin));
    EXPECT_EQ(host.opened, (std::vector<int>{csidl::kPrinters, csidl::kRecycleBin}));
    ASSERT_TRUE(catalogue.Execute(TActionId::GotoFonts));
    EXPECT_EQ(host.messageBoxes, std::vector<std::wstring>{L"Das Verzeichnis konnte nicht ermittelt werden."});

    // The first opening disables what the system lacks; later ones change nothing.
    commands->JumpMenuOpened();
    EXPECT_FALSE(menus->Action(TActionId::GotoFonts)->Enabled());
    EXPECT_TRUE(menus->Action(TActionId::GotoPersonalFiles)->Enabled());
    EXPECT_TRUE(menus->Action(TActionId::GotoPersonalPictures)->Enabled());
    EXPECT_FALSE(menus->Action(TActionId::GotoTempDir)->Enabled());
    EXPECT_TRUE(menus->Action(TActionId::GotoPrinter)->Enabled());
    menus->Action(TActionId::GotoFonts)->SetEnabled(true);
    commands->JumpMenuOpened();
    EXPECT_TRUE(menus->Action(TActionId::GotoFonts)->Enabled());
}

TEST(BookmarkSpecialFolders, WinesPicturesFolderIsReached)
{
    // The system's own answers: shell 6.0 takes folder 39.
    const std::wstring pictures = GetSpecialFolderPath(csidl::kMyPictures);
    ASSERT_FALSE(pictures.empty());
    TTreeAndListForm made;
    made.Form->Show();
    FakeBookmarkHost host;
    host.panes.TreeView1 = made.Tree;
    host.window = made.Form.get();
    TActionCatalogue catalogue;
    auto* actions = new TActionList(made.Form.get());
    TCommandMenus menus(*made.Form, *actions, catalogue);
    TBookmarkCommands commands(made.Form.get(), host.panes, host, host, catalogue, menus);
    commands.Goto(TGotoTarget::Pictures);
    ASSERT_NE(made.Tree->Selected(), nullptr) << (host.messageBoxes.empty() ? L"" : host.messageBoxes[0]);
    EXPECT_TRUE(SameText(made.Tree->GetDirPathName(made.Tree->Selected()), pictures));
}

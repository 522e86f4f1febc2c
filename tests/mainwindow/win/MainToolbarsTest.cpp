// The toolbars in the real main window: the index table, the show commands,
// the search button's hint, the customiser (its pages, Cancel, OK at 30
// pixels and the saved size), and the "Neu" menu of the shell's new-file
// types with types registered by the test.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "dialogs/win/TBCustomize.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/ActnList.h"
#include "framework/win/CheckListBox.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KySpin.h"
#include "widgets/win/KyToolbar.h"
#include "widgets/win/KyToolbarCtls.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// File types registered under HKLM\Software\Classes, seen through
// HKEY_CLASSES_ROOT, removed afterwards.
class RegisteredTypes {
public:
    ~RegisteredTypes()
    {
        for (const std::wstring& key : keys_)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str());
    }
    void Type(const std::wstring& Extension, const std::wstring& Name, const std::wstring& ValueName,
              const std::wstring& Value)
    {
        const std::wstring progId = Extension.substr(1) + L"_file";
        Set(Extension, L"", progId);
        Set(progId, L"", Name);
        Set(Extension + L"\\ShellNew", ValueName, Value);
    }

private:
    void Set(const std::wstring& Key, const std::wstring& Name, const std::wstring& Value)
    {
        if (Key.find(L'\\') == std::wstring::npos)
            keys_.push_back(Key);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + Key).c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, Name.empty() ? nullptr : Name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    std::vector<std::wstring> keys_;
};

std::string ReadBytes(const std::wstring& Path)
{
    HANDLE file = CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

class MainToolbars : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(100ms);
    }
    void TearDown() override
    {
        main.reset();
        FinalizeGlobals();
    }
    TKyToolbarButton* Button(const wchar_t* Name) { return dynamic_cast<TKyToolbarButton*>(main->FindComponent(Name)); }
    // Runs the customiser with Script playing the user; Script's answer is OK.
    void Customize(const std::function<bool(TTBCustomize&)>& Script)
    {
        main->Toolbars().RunCustomizer = [&](TTBCustomize& Dialog) {
            Dialog.Show();
            test::PumpFor(50ms);
            const bool ok = Script(Dialog);
            if (ok)
                Dialog.btnOKClick();
            Dialog.Hide();
            return ok;
        };
        ASSERT_TRUE(main->Catalogue().Execute(TActionId::CustomizeToolbars));
    }
    void Open(TDirView& List, const std::wstring& Folder)
    {
        List.SetPath(Folder);
        ASSERT_TRUE(test::PumpUntil([&] { return !List.Loading() && List.Loaded(); }, 10s));
    }
};

}  // namespace

TEST_F(MainToolbars, TheIndexTableNamesTheWindowsToolbars)
{
    const std::pair<int, const wchar_t*> cases[] = {
        {0, L"ToolbarDatei"},      {1, L"ToolbarDateianzeige"}, {2, L"ToolbarAuswahl"},  {3, L"ToolbarAnsicht"},
        {4, L"ToolbarBearbeiten"}, {5, L"ToolBarNetwork"},      {6, L"ToolbarCMDLine"},  {7, L"ToolbarDrives"},
        {8, L"ToolBarFKeys"},      {9, L"ToolbarBookmarks"},    {130, L"ToolbarAuswahl"}};
    for (const auto& [index, name] : cases) {
        TKyToolbar* toolbar = main->Toolbars().GetToolbarByIndex(index);
        ASSERT_NE(toolbar, nullptr) << index;
        EXPECT_EQ(toolbar->Name(), name) << index;
    }
    EXPECT_EQ(main->ToolbarCMDLine->Caption(), L"Kommandozeile");
    EXPECT_THROW(main->Toolbars().GetToolbarByIndex(10), EToolbarIndex);
    // The filter box stands on the selection's toolbar now.
    EXPECT_EQ(main->FilterBox->Name(), L"cbFilter");
    EXPECT_EQ(main->FilterBox->Parent(), main->ToolbarAuswahl);
    // The exit button shows its picture only, square.
    TKyToolbarButton* exit = Button(L"btnExit");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->DisplayMode(), TButtonDisplayMode::dmGlyphOnly);
    EXPECT_FALSE(exit->Glyph().Empty());
    EXPECT_EQ(exit->Width(), exit->Height());
}

TEST_F(MainToolbars, ShowCommandsToggleTheToolbarAndTheirChecks)
{
    TKyToolbar* display = main->ToolbarDateianzeige;
    TAction* show = main->CommandMenus().Action(TActionId::ShowToolbarDateianzeige);
    ASSERT_NE(show, nullptr);
    main->ActionList1->UpdateActions();
    EXPECT_TRUE(display->Visible());
    EXPECT_TRUE(show->Checked());
    show->Execute();
    EXPECT_FALSE(display->Visible());
    EXPECT_FALSE(show->Checked());
    show->Execute();
    EXPECT_TRUE(display->Visible());
    EXPECT_TRUE(show->Checked());
    // A toolbar shown beyond the dock's end takes the next row.
    TKyToolbar* network = main->ToolBarNetwork;
    show = main->CommandMenus().Action(TActionId::ShowToolBarNetwork);
    show->Execute();
    ASSERT_FALSE(network->Visible());
    const int row = network->DockRow();
    network->SetDockPos(main->Dock975->Width() + 40);
    show->Execute();
    EXPECT_TRUE(network->Visible());
    EXPECT_EQ(network->DockRow(), row + 1);
    // Within the dock it stays in its row.
    show->Execute();
    network->SetDockPos(0);
    show->Execute();
    EXPECT_EQ(network->DockRow(), row + 1);
}

TEST_F(MainToolbars, TheSearchButtonsHintFollowsTheFocus)
{
    TKyToolbarButton* search = Button(L"btnFindDatei");
    ASSERT_NE(search, nullptr);
    main->LV1->SetFocus();
    main->Toolbars().SearchButtonMouseEnter();
    EXPECT_EQ(search->Hint(), L"Datei suchen (F3)");
    main->EasyEdit->SetVisible(true);
    main->EasyEdit->SetFocus();
    test::PumpFor(50ms);
    main->Toolbars().SearchButtonMouseEnter();
    EXPECT_EQ(search->Hint(), L"Text suchen (F3)");
}

TEST_F(MainToolbars, TheCustomiserKeepsPagesAndCancelChangesNothing)
{
    TKyToolbarButton* exit = Button(L"btnExit");
    ASSERT_NE(exit, nullptr);
    bool shown = false;
    Customize([&](TTBCustomize& Dialog) {
        shown = true;
        // Ten toolbars; the function keys, bookmarks and drives come last.
        EXPECT_EQ(Dialog.CheckListBox->Items().Count(), 10);
        EXPECT_EQ(Dialog.CheckListBox->Items().Get(9), L"Laufwerke");
        EXPECT_EQ(Dialog.cbToolbar->Items().IndexOf(L"Archiv"), -1);
        EXPECT_EQ(Dialog.cbToolbar->ItemIndex(), 0);
        const int row = Dialog.LV->Items().IndexOf(L"Beenden");
        EXPECT_GE(row, 0);
        if (row < 0)
            return false;
        EXPECT_TRUE(Dialog.LV->Checked(row));
        EXPECT_GE(Dialog.LV->ItemImage(row), ciFirstGlyph);
        const int images = Dialog.Images->Count();
        Dialog.LV->SetChecked(row, false);
        Dialog.cbToolbar->SetItemIndex(2);
        Dialog.cbToolbarChange();
        EXPECT_GE(Dialog.LV->Items().IndexOf(L"Eingabefeld \"Dateifilter\""), 0);
        Dialog.cbToolbar->SetItemIndex(0);
        Dialog.cbToolbarChange();
        EXPECT_FALSE(Dialog.LV->Checked(row));
        // Going back adds no picture twice.
        Dialog.cbToolbar->SetItemIndex(2);
        Dialog.cbToolbarChange();
        Dialog.cbToolbar->SetItemIndex(0);
        Dialog.cbToolbarChange();
        const int afterSwitching = Dialog.Images->Count();
        EXPECT_LE(afterSwitching - images, static_cast<int>(Dialog.Model().Entries(2).size()));
        return false;  // Abbrechen
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(exit->Visible());
}

TEST_F(MainToolbars, OkAtThirtyResizesByTheRuleAndTheSizeIsSaved)
{
    // The command-line toolbar's button panel, as the command box puts it there.
    auto* panel = dynamic_cast<TPanel*>(main->FindComponent(L"DOSPanelButtons"));
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->Parent(), main->ToolbarCMDLine);
    main->Toolbars().CollectToolbarButtons();
    TKyToolbarButton* exit = Button(L"btnExit");
    TKyToolbarButton* filter = Button(L"btnFilter");
    TKyToolbarButton* hex = Button(L"btnHex");
    ASSERT_TRUE(exit && filter && hex);
    const int filterWidth = filter->Width();
    const int hexWidth = hex->Width();
    Customize([&](TTBCustomize& Dialog) {
        EXPECT_GE(Dialog.edSize->MinValue(), 22);
        Dialog.edSize->SetValue(30);
        Dialog.cbToolbar->SetItemIndex(6);
        Dialog.cbToolbarChange();
        EXPECT_EQ(Dialog.LV->Items().Count(), 1);
        if (Dialog.LV->Items().Count() == 1) {
            EXPECT_EQ(Dialog.LV->Items().Get(0), L"Schaltflächen");
            Dialog.LV->SetChecked(0, false);
        }
        // The network toolbar hidden.
        Dialog.CheckListBox->SetChecked(5, false);
        return true;
    });
    EXPECT_EQ(Options.TBButtonSize, 30);
    EXPECT_EQ(exit->Width(), 30);
    EXPECT_EQ(exit->Height(), 30);
    // The filter button shows its caption: it keeps its width.
    EXPECT_EQ(filter->Width(), filterWidth);
    EXPECT_EQ(filter->Height(), 30);
    EXPECT_EQ(hex->Width(), hexWidth);
    EXPECT_EQ(hex->Height(), 30);
    EXPECT_FALSE(panel->Visible());
    EXPECT_FALSE(main->ToolBarNetwork->Visible());
    EXPECT_TRUE(main->ToolbarDatei->Visible());
    ASSERT_TRUE(main->SaveSettings());
    const std::optional<std::string> saved = test::ProgramFolderIni::Read();
    ASSERT_TRUE(saved.has_value());
    EXPECT_NE(saved->find("TBButtonSize=30"), std::string::npos) << *saved;
    // Which controls each toolbar shows is kept too.
    EXPECT_NE(saved->find("ToolbarCMDLine=-\r\n"), std::string::npos) << *saved;
}

TEST(MainToolbarsStored, TheStoredChoiceOfButtonsIsAppliedAtStart)
{
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    // The exit button hidden; a text longer than its toolbar is passed over.
    test::ProgramFolderIni ini{
        std::string("[Toolbars]\r\nToolbarDatei=-\r\nToolbarAnsicht=XXXXXXXXXXXXXXXXXXXXXXXX\r\n")};
    InitializeGlobals();
    {
        TQRVMain main(nullptr);
        auto* exit = dynamic_cast<TKyToolbarButton*>(main.FindComponent(L"btnExit"));
        auto* newDir = dynamic_cast<TKyToolbarButton*>(main.FindComponent(L"btnNewDir"));
        ASSERT_TRUE(exit && newDir);
        EXPECT_FALSE(exit->Visible());
        EXPECT_TRUE(newDir->Visible());
        for (TControl* control : main.Toolbars().CustomizedControls(3))
            EXPECT_TRUE(control->Visible());
    }
    FinalizeGlobals();
}

TEST_F(MainToolbars, NewMenuMakesFilesOfTheRegisteredTypes)
{
    const std::wstring templates = dir.File(L"vorlagen");
    ASSERT_TRUE(CreateDirectoryW(templates.c_str(), nullptr));
    const std::string bytes("Vorlage\r\n\0Ende", 15);
    dir.Write(L"vorlagen\\qrvneu.tpl", bytes);
    const std::wstring work = dir.File(L"arbeit");
    ASSERT_TRUE(CreateDirectoryW(work.c_str(), nullptr));
    // A program with a blank in its folder that writes down its arguments.
    const std::wstring recorder = dir.File(L"rec dir");
    ASSERT_TRUE(CreateDirectoryW(recorder.c_str(), nullptr));
    dir.Write(L"rec dir\\record.cmd", "@echo [%~1][%~2]> \"%~dp0args.txt\"\r\n");
    RegisteredTypes types;
    types.Type(L".qrvneu", L"Qrv Neudokument", L"FileName", L"qrvneu.tpl");
    types.Type(L".qrvprg", L"Qrv Programmdokument", L"Command", recorder + L"\\record.cmd %1");
    main->NewFileMenu().CreateTypes() = [&] {
        return std::make_unique<TKyNewFileTypes>(main.get(), NewWinNewFileSystem(templates));
    };

    TMenuItem* menu = main->CommandMenus().MainMenuItem(TMenuId::FileNew);
    ASSERT_NE(menu, nullptr);
    const int builtIn = menu->Count();
    // The menu follows its command's state once the window's action pass ran.
    ASSERT_TRUE(test::PumpUntil([menu] { return menu->Enabled(); }, 2s));
    menu->Click();  // the menu opens
    const TKyNewFileTypes* listed = main->NewFileMenu().Types();
    ASSERT_NE(listed, nullptr);
    int document = -1, program = -1;
    for (int i = 0; i < listed->Count(); ++i) {
        if (listed->Item(i)->Extension == L".qrvneu")
            document = i;
        if (listed->Item(i)->Extension == L".qrvprg")
            program = i;
    }
    ASSERT_GE(document, 0);
    ASSERT_GE(program, 0);
    // A line, then one item per type with its icon.
    ASSERT_EQ(menu->Count(), builtIn + 1 + listed->Count());
    TMenuItem* documentItem = menu->Items(builtIn + 1 + document);
    EXPECT_EQ(documentItem->Caption(), L"Qrv Neudokument");
    EXPECT_NE(documentItem->Bitmap(), nullptr);
    // A second opening adds nothing.
    menu->Click();
    EXPECT_EQ(menu->Count(), builtIn + 1 + listed->Count());
    // The popup's "Neu" got the same items.
    auto* popupNew = dynamic_cast<TMenuItem*>(main->FindComponent(L"mnuPopupNew"));
    ASSERT_NE(popupNew, nullptr);
    EXPECT_EQ(popupNew->Items(popupNew->Count() - 1)->Caption(), menu->Items(menu->Count() - 1)->Caption());

    main->LV1->SetFocus();
    Open(*main->LV1, work);
    ASSERT_NE(main->TreeView1->Selected(), nullptr);
    documentItem->Click();
    test::PumpFor(100ms);
    documentItem->Click();
    test::PumpFor(100ms);
    EXPECT_EQ(ReadBytes(work + L"\\Neu Qrv Neudokument.qrvneu"), bytes);
    EXPECT_EQ(ReadBytes(work + L"\\Neu Qrv Neudokument(1).qrvneu"), bytes);
    EXPECT_NE(main->LV1->FindFileItem(L"Neu Qrv Neudokument(1).qrvneu"), nullptr);

    menu->Items(builtIn + 1 + program)->Click();
    const std::wstring record = recorder + L"\\args.txt";
    ASSERT_TRUE(test::PumpUntil([&] { return !ReadBytes(record).empty(); }, 20s));
    const std::string args = ReadBytes(record);
    EXPECT_EQ(args.substr(0, args.find_first_of("\r\n")),
              "[" + WideToUtf8(work) + "\\Neu Qrv Programmdokument.qrvprg][]");
}

// The bookmarks in the main window: 30 stored bookmarks fill two columns of
// "&Lesezeichen" and the toolbar carries their captions; Strg+L, an edit and
// OK write [StdDirs] at once and rebuild the menus.

#include "mainwindow/win/RudirezOziMain.h"

#include "TestDir.h"
#include "framework/win/Buttons.h"
#include "framework/win/Menus.h"
#include "framework/win/Registry.h"
#include "SettingsGuards.h"
#include "mainwindow/win/GlobalsInit.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/ImpStringGrid.h"
#include "widgets/win/KyToolbarCtls.h"
#include "win/DuringModalForm.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

std::string StoredBookmarks(const std::wstring& Folder)
{
    std::string text = "[StdDirs]\r\n";
    const std::string folder(Folder.begin(), Folder.end());  // the test folder's name is ASCII
    for (int i = 0; i < 30; ++i) {
        text += "StdDirs" + std::to_string(i) + "=" + folder + "\r\n";
        text += "StdDirCap" + std::to_string(i) + "=Ziel " + std::to_string(i) + "\r\n";
    }
    return text;
}

class MainBookmarks : public testing::Test {
protected:
    void SetUp() override
    {
        // A settings key of the user: no first-run greeting.
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        programIni.emplace(StoredBookmarks(dir.Path()));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
    }
    void TearDown() override
    {
        if (main) {
            main->Close();
            main.reset();
        }
        FinalizeGlobals();
    }

    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::TestDir dir;
    std::optional<test::ProgramFolderIni> programIni;
    std::unique_ptr<TQRVMain> main;
};

}  // namespace

TEST_F(MainBookmarks, StoredBookmarksFillTheMenusAndTheToolbar)
{
    const TBookmarkCommands& bookmarks = main->BookmarkCommands();
    ASSERT_EQ(bookmarks.MenuItems().size(), 30u);
    for (size_t i = 0; i < 30; ++i)
        EXPECT_EQ(bookmarks.MenuItems()[i]->BarBreak(), i == 24) << i;
    EXPECT_EQ(bookmarks.MenuItems()[0]->Caption(), L"&1  Ziel 0");
    ASSERT_EQ(bookmarks.Buttons().size(), 16u);
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(bookmarks.Buttons()[i]->Caption(), L"Ziel " + std::to_wstring(i));
        EXPECT_TRUE(bookmarks.Buttons()[i]->Visible());
    }
    EXPECT_NE(main->FindComponent(L"ToolbarBookmarks"), nullptr);
}

TEST_F(MainBookmarks, AnEditIsWrittenAtOnce)
{
    // ctest: takes the focus (the editor gives it to its grid)
    bool shown = false;
    {
        test::DuringModalForm<TStdDirForm> script(L"TStdDirForm", [&](TStdDirForm& form) {
            shown = true;
            form.StdDirGrid->Cells().SetCell(kStdDirCaptionCol, 2, L"Haus&Hof");
            form.RowModel().EditEnded(kStdDirCaptionCol, 2);
            form.StdDirGrid->SetCurrent(kStdDirCaptionCol, 1);
            form.DeleteRow();
            form.btnOK->Click();
        });
        ASSERT_TRUE(main->Catalogue().Execute(TActionId::StdDirEdit));
    }
    ASSERT_TRUE(shown);
    const std::optional<std::string> written = test::ProgramFolderIni::Read();
    ASSERT_TRUE(written.has_value());
    EXPECT_NE(written->find("StdDirCap0=Haus&&Hof"), std::string::npos) << *written;
    EXPECT_EQ(written->find("StdDirs29="), std::string::npos) << "the deleted row is gone";
    EXPECT_NE(written->find("StdDirs28="), std::string::npos);
    ASSERT_EQ(main->BookmarkCommands().MenuItems().size(), 29u);
    EXPECT_EQ(main->BookmarkCommands().MenuItems()[0]->Caption(), L"&1  Haus&&Hof");
    EXPECT_EQ(main->BookmarkCommands().Buttons()[0]->Caption(), L"Haus&&Hof");
}

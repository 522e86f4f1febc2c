// The sort commands of the active list and "Aufräumen" in the real main
// window.

#include "SettingsGuards.h"

#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class MainListViewCommands : public testing::Test {
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
        test::PumpFor(200ms);
    }
    void TearDown() override
    {
        main->Close();
        main.reset();
        FinalizeGlobals();
    }
    TAction& Action(const wchar_t* name)
    {
        auto* action = dynamic_cast<TAction*>(main->FindComponent(name));
        EXPECT_NE(action, nullptr) << WideToUtf8(name);
        return *action;
    }
    // The names of the active list in their shown order.
    std::vector<std::wstring> Shown()
    {
        std::vector<std::wstring> names;
        TDirView& list = *main->ActiveList;
        for (int i = 0; i < list.ItemCount(); ++i)
            if (const TFileRec* rec = list.GetItemData(i); rec && !rec->IsParentDir)
                names.push_back(ExtractFileName(list.ItemFullFileName(rec)));
        return names;
    }
};

}  // namespace

TEST_F(MainListViewCommands, SortColumnAndOrderOfTheActiveList)
{
    dir.Write(L"b.txt", "12345");
    dir.Write(L"a.txt", "1");
    dir.Write(L"c.txt", "123");
    TDirView& list = *main->ActiveList;
    list.SetPath(dir.Path());
    ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"c.txt"); }, 10s));
    ASSERT_EQ(Shown(), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}));

    Action(L"SortSize").Execute();
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"a.txt", L"c.txt", L"b.txt"}));
    Action(L"SortOrder").Execute();
    EXPECT_FALSE(list.SortAscending());
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"b.txt", L"c.txt", L"a.txt"}));

    main->ActionList1->UpdateActions();
    EXPECT_TRUE(Action(L"SortSize").Checked());
    EXPECT_FALSE(Action(L"SortName").Checked());
    EXPECT_FALSE(Action(L"SortOrder").Checked());
    Action(L"SortOrder").Execute();
    Action(L"SortName").Execute();
    main->ActionList1->UpdateActions();
    EXPECT_TRUE(Action(L"SortName").Checked());
    EXPECT_TRUE(Action(L"SortOrder").Checked());
}

TEST_F(MainListViewCommands, GoHomeFoldsTheTreeToItsSelection)
{
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"eins").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"eins\\tief").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"zwei").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.File(L"zwei\\tief").c_str(), nullptr));
    TDriveView& tree = *main->TreeView1;
    tree.SetDirectory(dir.File(L"zwei\\tief"));
    TTreeNode* zwei = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (zwei = tree.NodeForPath(dir.File(L"zwei"))) != nullptr; }, 10s));
    ASSERT_TRUE(test::PumpUntil([&] { return zwei->Expanded(); }, 10s));
    tree.SetDirectory(dir.File(L"eins\\tief"));
    TTreeNode* eins = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (eins = tree.NodeForPath(dir.File(L"eins\\tief"))) != nullptr; }, 10s));
    ASSERT_TRUE(test::PumpUntil([&] { return tree.Selected() == eins; }, 10s));
    ASSERT_TRUE(zwei->Expanded());

    Action(L"GoHome").Execute();

    EXPECT_FALSE(zwei->Expanded()) << "a folder beside the selection folds";
    EXPECT_EQ(tree.Selected(), eins);
}

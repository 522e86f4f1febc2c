// The main window and the logo form, created in this process.

#include "SettingsGuards.h"

#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/QuorSplash.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Removes "ShowLogo" for the test (a missing value means: show the logo).
class WithoutShowLogoValue {
public:
    WithoutShowLogoValue()
    {
        TRegistry registry;
        if (registry.OpenKey(L"\\Software\\Quorvan Free", false))
            registry.DeleteValue(L"ShowLogo");
    }
};

// The window reads the program folder's settings file at start and saves it
// and the settings key when it goes: both are put back afterwards.
class MainForm : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};

    void SetUp() override { ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free")); }
};

}  // namespace

TEST_F(MainForm, LogoShowsTheVersionAndGoesAtTheFirstShow)
{
    InitializeGlobals();
    WithoutShowLogoValue noValue;
    TQuorSplash* logo = ShowStartupLogo();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(ClassOf(logo->Handle()), L"TQuorSplash");
    EXPECT_EQ(GetWindowLongW(logo->Handle(), GWL_STYLE) & WS_CAPTION, 0) << "borderless";
    EXPECT_TRUE(IsWindowVisible(logo->Handle()));
    wchar_t version[64];
    GetWindowTextW(logo->lblVersion()->Handle(), version, 64);
    EXPECT_STREQ(version, L"Version 3.2");

    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    EXPECT_EQ(StartupLogo(), logo) << "still there while the window is built";
    main->Show();
    EXPECT_EQ(StartupLogo(), nullptr);
    EXPECT_EQ(FindWindowW(L"TQuorSplash", nullptr), nullptr);
    main.reset();
    FinalizeGlobals();
}

TEST_F(MainForm, EveryPaneIsARealControl)
{
    InitializeGlobals();
    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    main->Show();
    struct Pane {
        TWinControl* control;
        const wchar_t* windowClass;
    } panes[] = {
        {main->TreeView1, WC_TREEVIEWW},
        {main->LV1, WC_LISTVIEWW},
        {main->LV2, WC_LISTVIEWW},
        {main->StatusBar, STATUSCLASSNAMEW},
    };
    for (const Pane& pane : panes) {
        ASSERT_NE(pane.control, nullptr);
        ASSERT_TRUE(pane.control->HandleAllocated());
        EXPECT_EQ(ClassOf(pane.control->Handle()), pane.windowClass);
        EXPECT_TRUE(IsWindowVisible(pane.control->Handle())) << pane.control->Name().c_str();
        EXPECT_GT(pane.control->Width(), 0);
        EXPECT_GT(pane.control->Height(), 0);
    }
    // The tree at the left, the lists to its right, the display pane below.
    RECT tree, list1, list2, bottom;
    GetWindowRect(main->TreeView1->Handle(), &tree);
    GetWindowRect(main->LV1->Handle(), &list1);
    GetWindowRect(main->LV2->Handle(), &list2);
    GetWindowRect(main->PanelBottom->Handle(), &bottom);
    EXPECT_LE(tree.right, list1.left);
    EXPECT_LE(list1.bottom, list2.top);
    EXPECT_LE(list2.bottom, bottom.top);
    EXPECT_EQ(main->StatusBar->Top() + main->StatusBar->Height(), main->ClientHeight()) << "status bar at the bottom";
    EXPECT_LE(main->PanelBottom->Top() + main->PanelBottom->Height(), main->StatusBar->Top());
    EXPECT_EQ(main->ActiveList, main->LV1);
    EXPECT_EQ(main->DriveBar()->DriveMenuItems.size(), 27u);
    EXPECT_EQ(main->FKeyButtons.size(), 12u);
    EXPECT_FALSE(main->SelectionListFile.empty());
    main.reset();
    FinalizeGlobals();
}

TEST_F(MainForm, ShutdownRunsOnce)
{
    InitializeGlobals();
    std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
    main->Show();
    const std::wstring listFile = main->SelectionListFile;
    EXPECT_NE(GetFileAttributesW(listFile.c_str()), INVALID_FILE_ATTRIBUTES);
    main->ShutdownMainWindow();
    EXPECT_TRUE(main->ShuttingDown);
    main->ShutdownMainWindow();  // a second call returns at once
    main.reset();
    EXPECT_EQ(GetFileAttributesW(listFile.c_str()), INVALID_FILE_ATTRIBUTES) << "its own list file is deleted";
    FinalizeGlobals();
}

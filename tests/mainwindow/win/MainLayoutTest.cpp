// The file windows' layout in the real main window: hiding the active
// second window keeps its folder, a stored split that would hide a window
// comes back as half, swapping keeps the one selected file selected with
// extensions hidden and moves the active colour with the focus, the
// preset views change the layout, and the tree expands to a level.

#include "SettingsGuards.h"
#include "TestDir.h"
#include "win/DuringModalForm.h"
#include "win/MessagePump.h"

#include "dialogs/win/ViewManForm.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/Registry.h"
#include "framework/win/StdCtrls.h"
#include "mainwindow/FileWindowLayout.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "widgets/win/KySplit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class MainLayout : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::TestDir dir;
    std::wstring root = dir.Path();
    std::unique_ptr<test::ProgramFolderIni> ini;
    std::unique_ptr<TQRVMain> main;

    void SetUp() override
    {
        for (const wchar_t* sub : {L"\\Eins", L"\\Zwei", L"\\Zwei\\Tief", L"\\Zwei\\Tief\\Tiefer"})
            ASSERT_TRUE(CreateDirectoryW((root + sub).c_str(), nullptr));
        dir.Write(L"Eins\\a.txt", "t");
        dir.Write(L"Eins\\a.doc", "d");
        dir.Write(L"Eins\\b.txt", "b");
        dir.Write(L"Zwei\\z.txt", "z");
    }
    void TearDown() override
    {
        if (main) {
            main.reset();
            FinalizeGlobals();
        }
    }
    // The window started with the first list in Eins, the second in Zwei
    // and the INI's further lines.
    void Start(const std::string& Extra = "")
    {
        // The previous file is put back first, then this one is written.
        ini.reset();
        ini = std::make_unique<test::ProgramFolderIni>("[Window]\r\nStartDir=" + WideToUtf8(root + L"\\Eins") + "\r\n" +
                                                       Extra + "[List2]\r\nStartDir=" + WideToUtf8(root + L"\\Zwei") +
                                                       "\r\n");
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(L"\\Software\\Quorvan Free", true));
        registry.WriteBool(L"ShowLogo", false);
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
    }
    bool Run(TActionId Id)
    {
        const bool ran = main->Catalogue().Execute(Id);
        test::PumpFor(200ms);
        return ran;
    }
    void Focus(TDirView* List)
    {
        List->SetFocus();
        test::PumpFor(100ms);
    }
    std::vector<std::wstring> SelectedNames(TDirView* List)
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < List->ItemCount(); ++i)
            if (const TFileRec* item = List->GetItemData(i); item && item->Selected)
                names.push_back(List->ItemFileName(item));
        return names;
    }
    int MainPanelExtent(bool Stacked) { return Stacked ? main->MainPanel->Height() : main->MainPanel->Width(); }
};

}  // namespace

TEST_F(MainLayout, HidingTheActiveSecondWindowKeepsItsFolderInTheFirst)
{
    // ctest: takes the focus (the second list is focused)
    Start("SecondFileWin=1\r\n");
    ASSERT_TRUE(main->FilePanel2->Visible());
    ASSERT_TRUE(SameText(main->LV2->GetPath(), root + L"\\Zwei")) << main->LV2->GetPath();
    Focus(main->LV2);
    ASSERT_EQ(main->ActiveList, main->LV2);

    ASSERT_TRUE(Run(TActionId::SecondFileWin));
    EXPECT_FALSE(main->FilePanel2->Visible());
    EXPECT_FALSE(main->Splitter2->Visible());
    EXPECT_FALSE(Options.SecondFileWin);
    EXPECT_EQ(main->ActiveList, main->LV1);
    EXPECT_TRUE(SameText(main->LV1->GetPath(), root + L"\\Zwei")) << main->LV1->GetPath();
    EXPECT_EQ(main->FilePanel1->Align(), TAlign::alClient);
    // The first window's folder waits for the second window's return.
    EXPECT_TRUE(SameText(Options.StartDir2, root + L"\\Eins")) << Options.StartDir2;

    ASSERT_TRUE(Run(TActionId::SecondFileWin));
    EXPECT_TRUE(main->FilePanel2->Visible());
    EXPECT_TRUE(SameText(main->LV2->GetPath(), root + L"\\Eins")) << main->LV2->GetPath();
    // Shown again, the windows share the area half and half.
    EXPECT_NEAR(main->FilePanel1->Height(), MainPanelExtent(true) / 2, 3);
}

TEST_F(MainLayout, AStoredSplitOfThirtyPixelsComesBackAsHalf)
{
    Start("SecondFileWin=1\r\nDividerStyle=1\r\nSplitter2Y=30\r\n");
    ASSERT_TRUE(main->FilePanel2->Visible());
    EXPECT_EQ(main->FilePanel1->Align(), TAlign::alTop);
    EXPECT_NEAR(main->FilePanel1->Height(), MainPanelExtent(true) / 2, 3);
    EXPECT_GT(main->FilePanel2->Height(), kMinPaneRoom);
}

TEST_F(MainLayout, AUsableSideBySideSplitStays)
{
    Start("SecondFileWin=1\r\nDividerStyle=0\r\nSplitter2X=180\r\n");
    EXPECT_EQ(main->FilePanel1->Align(), TAlign::alLeft);
    EXPECT_EQ(main->Splitter2->Align(), TAlign::alLeft);
    EXPECT_EQ(main->FilePanel1->Width(), 180);
    EXPECT_EQ(main->Splitter2->Left(), 180);
    EXPECT_EQ(main->FilePanel2->Left(), 180 + main->Splitter2->Width());
}

TEST_F(MainLayout, SwappingWithExtensionsHiddenKeepsTheOneSelectedFile)
{
    // ctest: takes the focus (the first list is focused)
    Start("SecondFileWin=1\r\nShowExtension=0\r\nUseColor=1\r\nColor=1118481\r\nActiveColor=2236962\r\n");
    Focus(main->LV1);
    TFileRec* picked = main->LV1->FindFileItem(L"a.txt");
    ASSERT_NE(picked, nullptr);
    main->LV1->ReplaceSelection({static_cast<size_t>(main->LV1->IndexOf(picked))});
    ASSERT_EQ(SelectedNames(main->LV1), std::vector<std::wstring>{L"a.txt"});
    main->LV1->SetSortColumn(0);

    ASSERT_TRUE(Run(TActionId::SwapWindows));
    EXPECT_TRUE(SameText(main->LV1->GetPath(), root + L"\\Zwei")) << main->LV1->GetPath();
    EXPECT_TRUE(SameText(main->LV2->GetPath(), root + L"\\Eins")) << main->LV2->GetPath();
    EXPECT_EQ(SelectedNames(main->LV2), std::vector<std::wstring>{L"a.txt"}) << "not a.doc, which reads \"a\" too";
    EXPECT_TRUE(SelectedNames(main->LV1).empty());
    // The focus stayed in the first list: its box has the active colour.
    EXPECT_EQ(main->ActiveList, main->LV1);
    EXPECT_EQ(main->DirHist1->Color(), static_cast<TColor>(2236962));
    EXPECT_EQ(main->DirHist2->Color(), static_cast<TColor>(1118481));
    // The tree shows the active list's new folder.
    ASSERT_NE(main->TreeView1->Selected(), nullptr);
    EXPECT_TRUE(SameText(main->TreeView1->GetDirPathName(main->TreeView1->Selected()), root + L"\\Zwei"));

    // Focus in the second list: the colours follow.
    Focus(main->LV2);
    EXPECT_EQ(main->DirHist2->Color(), static_cast<TColor>(2236962));
    EXPECT_EQ(main->DirHist1->Color(), static_cast<TColor>(1118481));

    // Equalising gives the other (first) list the active one's folder and selection.
    ASSERT_TRUE(Run(TActionId::EqualizeWindows));
    EXPECT_TRUE(SameText(main->LV1->GetPath(), root + L"\\Eins")) << main->LV1->GetPath();
    EXPECT_EQ(SelectedNames(main->LV1), std::vector<std::wstring>{L"a.txt"});
}

TEST_F(MainLayout, PresetViewsSetTheLayout)
{
    Start("SecondFileWin=0\r\nShowDirWin=1\r\n");
    EXPECT_FALSE(main->FilePanel2->Visible());
    ASSERT_TRUE(Run(TActionId::ViewCommander));
    EXPECT_TRUE(main->FilePanel2->Visible());
    EXPECT_FALSE(main->PanelLeft->Visible());
    EXPECT_EQ(Options.DividerStyle, kLayoutSideBySide);
    EXPECT_EQ(main->FilePanel1->Align(), TAlign::alLeft);
    EXPECT_NEAR(main->FilePanel1->Width(), MainPanelExtent(false) / 2, 3);

    ASSERT_TRUE(Run(TActionId::ViewStandard));
    EXPECT_TRUE(main->PanelLeft->Visible());
    EXPECT_EQ(main->FilePanel1->Align(), TAlign::alTop);
    EXPECT_NEAR(main->FilePanel1->Height(), MainPanelExtent(true) / 2, 3);

    ASSERT_TRUE(Run(TActionId::ViewExplorer));
    EXPECT_FALSE(main->FilePanel2->Visible());
    EXPECT_TRUE(main->PanelLeft->Visible());
    EXPECT_EQ(Options.DividerStyle, kLayoutStacked) << "Explorer keeps the layout code";
}

TEST_F(MainLayout, SynchronisedListsFollowAColumnClickAndAHeaderDrag)
{
    // ctest: takes the focus (the clicked list is focused)
    Start("SecondFileWin=1\r\nSyncDisplay=1\r\n");
    ASSERT_TRUE(Options.SyncDisplay);
    TDirView* first = main->LV1;
    TDirView* second = main->LV2;
    ASSERT_EQ(second->SortColumn(), 0);
    // A click on the size column's header, as the list reports it to its window.
    NMLISTVIEW click{};
    click.hdr.hwndFrom = first->Handle();
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(first->Handle()));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 1;
    SendMessageW(GetParent(first->Handle()), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    test::PumpFor(200ms);
    EXPECT_EQ(first->SortColumn(), 1);
    EXPECT_EQ(second->SortColumn(), 1) << "the other list sorts alike";
    EXPECT_EQ(second->SortAscending(), first->SortAscending());
    EXPECT_EQ(main->ActiveList, first);

    // The first two columns swapped by a drag of the header.
    std::vector<int> order = first->GetColumnOrder();
    ASSERT_GE(order.size(), 2u);
    std::swap(order[0], order[1]);
    ASSERT_TRUE(ListView_SetColumnOrderArray(first->Handle(), static_cast<int>(order.size()), order.data()));
    NMHEADERW drag{};
    drag.hdr.hwndFrom = ListView_GetHeader(first->Handle());
    drag.hdr.code = HDN_ENDDRAG;
    drag.iItem = 0;
    SendMessageW(first->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag));
    test::PumpFor(300ms);
    EXPECT_EQ(second->GetColumnOrder(), order);
}

TEST_F(MainLayout, ControlTwoExpandsTheTreeTwoLevels)
{
    Start("SecondFileWin=0\r\n");
    TTreeNode* node = main->TreeView1->NodeForPath(root);
    ASSERT_NE(node, nullptr);
    main->TreeView1->SelectNode(node);
    test::PumpFor(200ms);
    ASSERT_TRUE(Run(TActionId::ExpandLevel2));
    TTreeNode* zwei = main->TreeView1->NodeForPath(root + L"\\Zwei");
    TTreeNode* tief = main->TreeView1->NodeForPath(root + L"\\Zwei\\Tief");
    ASSERT_NE(zwei, nullptr);
    ASSERT_NE(tief, nullptr);
    // The levels count from the drive (0): up to level 2 open, deeper ones shut.
    ASSERT_LE(node->Level(), 1) << "the test folder lies in a drive's root";
    EXPECT_TRUE(node->Expanded());
    EXPECT_EQ(zwei->Level(), node->Level() + 1);
    EXPECT_TRUE(zwei->Expanded());
    EXPECT_EQ(tief->Expanded(), tief->Level() <= 2) << "level " << tief->Level();
}

TEST_F(MainLayout, ViewManagerChoiceArrangesTheWindow)
{
    // ctest: takes the focus (the dialog is modal)
    Start("SecondFileWin=0\r\nShowDirWin=1\r\nDividerStyle=1\r\n");
    // The user picks "Zwei Dateifenster nebeneinander" and presses OK.
    bool seen = false;
    const test::DuringModalForm<TViewManForm> picking(L"TViewManForm", [&](TViewManForm& form) {
        seen = true;
        EXPECT_EQ(form.cbView->ItemIndex(), 0) << "the window's layout is Explorer";
        form.cbView->SetItemIndex(4);
        form.ViewChanged();
        form.OkButton->Click();
    });
    ASSERT_TRUE(Run(TActionId::ShowViewMan));
    EXPECT_TRUE(seen);
    EXPECT_TRUE(main->FilePanel2->Visible());
    EXPECT_EQ(Options.DividerStyle, kLayoutSideBySide);
    EXPECT_EQ(main->FilePanel1->Align(), TAlign::alLeft);
    EXPECT_NEAR(main->FilePanel1->Width(), MainPanelExtent(false) / 2, 3);
}

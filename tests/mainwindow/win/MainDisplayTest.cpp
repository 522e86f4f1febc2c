// The main window's file display: focus changes in a real file list reach
// the viewers through the posted display request; F11 turns it off.

#include "SettingsGuards.h"

#include "editor/win/EasyEditor.h"
#include "framework/SysUtils.h"
#include "framework/win/ActnList.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "panels/win/DirView.h"
#include "viewers/win/HexEditor.h"

#include "TestDir.h"
#include "win/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class MainDisplay : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};

    void SetUp() override { ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free")); }

    // Focuses the named item of the list as a click would.
    static void FocusItem(TDirView& list, const std::wstring& name)
    {
        const TFileRec* rec = list.FindFileItem(name);
        ASSERT_NE(rec, nullptr) << WideToUtf8(name);
        ListView_SetItemState(list.Handle(), list.IndexOf(rec), LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    }
};

}  // namespace

TEST_F(MainDisplay, FocusChangesShowTheFileAndF11TurnsTheDisplayOff)
{
    test::TestDir dir;
    const std::wstring text = dir.Write(L"notiz.txt", "Hallo\r\n");
    const std::wstring binary = dir.Write(L"daten.bin1", std::string("\0\1\2\3", 4));
    InitializeGlobals();
    {
        std::unique_ptr<TQRVMain> main(new TQRVMain(nullptr));
        main->Show();
        test::PumpFor(300ms);
        TDirView& list = *main->LV1;
        ASSERT_EQ(main->ActiveList, &list);
        list.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !list.Loading() && list.FindFileItem(L"notiz.txt"); }, 10s));
        FocusItem(list, L"notiz.txt");
        if (!main->FileDisplay()->ViewFile)
            main->ViewFile->Execute();
        ASSERT_TRUE(main->ViewFile->Checked());
        EXPECT_TRUE(main->PanelBottom->Visible());
        EXPECT_TRUE(test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == text; }, 5s));
        EXPECT_TRUE(main->EasyEdit->Visible());

        FocusItem(list, L"daten.bin1");
        EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->FileName() == binary; }, 5s));
        EXPECT_TRUE(main->HexEditor1->Visible());
        EXPECT_FALSE(main->EasyEdit->Visible());
        EXPECT_EQ(main->FileDisplay()->ViewedFile, binary);

        // The other list gets the focus: it becomes the active one and the
        // display shows its focused item.
        TDirView& other = *main->LV2;
        other.SetPath(dir.Path());
        ASSERT_TRUE(test::PumpUntil([&] { return !other.Loading() && other.FindFileItem(L"notiz.txt"); }, 10s));
        FocusItem(other, L"notiz.txt");
        other.SetFocus();
        EXPECT_TRUE(test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == text; }, 5s));
        EXPECT_EQ(main->ActiveList, &other);
        list.SetFocus();
        EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->FileName() == binary; }, 5s));
        EXPECT_EQ(main->ActiveList, &list);

        // Forced text shows the same file in the editor, read-only.
        main->DispText->Execute();
        EXPECT_TRUE(main->DispText->Checked());
        EXPECT_TRUE(test::PumpUntil([&] { return main->EasyEdit->GetEditSource()->FileName() == binary; }, 5s));
        EXPECT_TRUE(main->EasyEdit->GetReadOnly());
        main->DispAuto->Execute();
        EXPECT_TRUE(test::PumpUntil([&] { return main->HexEditor1->FileName() == binary; }, 5s));

        // Turning the display off while a viewer has the focus gives it back
        // to the active list.
        main->HexEditor1->SetFocus();
        main->ViewFile->Execute();
        EXPECT_EQ(GetFocus(), list.Handle());
        EXPECT_FALSE(main->ViewFile->Checked());
        EXPECT_FALSE(main->PanelBottom->Visible());
        EXPECT_EQ(main->FileDisplay()->ViewedFile, L"");
        EXPECT_FALSE(main->FreezeDisplay->Enabled());
        main->Close();
    }
    FinalizeGlobals();
}

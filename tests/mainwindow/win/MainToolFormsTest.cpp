// The directory search, the verification and the drive overview in the
// real main window: Shift+Ctrl+F3 opens "Suchen" and Esc closes it, Strg+P
// verifies the list's selection and tells the count, the overview opens
// from its command and closes with "&OK", and the text properties are kept
// in the settings.

#include "SettingsGuards.h"
#include "TestDir.h"

#include "dialogs/win/DriveOverView.h"
#include "dialogs/win/QuorFindDialog.h"
#include "editor/EasyEditorOptions.h"
#include "editor/win/EasyEditor.h"
#include "framework/win/Registry.h"
#include "mainwindow/win/GlobalsInit.h"
#include "mainwindow/win/RudirezOziMain.h"
#include "mainwindow/win/ToolFormsLink.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"
#include "settings/Quorvan32Globals.h"
#include "win/DialogAnswerer.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// A key pressed with the given modifiers held, as the window's thread sees
// it: posted to the window, the modifiers in the thread's key state. No key
// goes through the system's input, so other programs' windows never get it.
void PressKey(HWND window, WORD key, std::initializer_list<WORD> modifiers = {})
{
    BYTE state[256]{};
    GetKeyboardState(state);
    for (WORD modifier : modifiers)
        state[modifier] = 0x80;
    SetKeyboardState(state);
    PostMessageW(window, WM_KEYDOWN, key, 1);
    test::PumpUntilIdle([] { return true; }, 2s);
    for (WORD modifier : modifiers)
        state[modifier] = 0;
    SetKeyboardState(state);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    test::PumpUntilIdle([] { return true; }, 2s);
}

HWND VisibleWindowOfClass(const wchar_t* className)
{
    HWND window = FindWindowW(className, nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

class MainToolForms : public testing::Test {
protected:
    test::RegistryKeyBackup backup{L"Software\\Quorvan Free"};
    test::ProgramFolderIni programIni{std::string()};
    test::TestDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(TRegistry().CreateKey(L"\\Software\\Quorvan Free"));
        InitializeGlobals();
        main.reset(new TQRVMain(nullptr));
        main->Show();
        main->LV1->SetPath(dir.Path());
        main->TreeView1->SetDirectory(dir.Path());
        main->LV1->SetFocus();
    }
    void TearDown() override
    {
        main.reset();
        FinalizeGlobals();
    }
    std::unique_ptr<TQRVMain> main;
};

}  // namespace

TEST_F(MainToolForms, ShiftCtrlF3OpensTheSearchAndEscClosesIt)
{
    PressKey(main->LV1->Handle(), VK_F3, {VK_SHIFT, VK_CONTROL});
    ASSERT_TRUE(test::PumpUntil([] { return VisibleWindowOfClass(L"TQuorFindDialog") != nullptr; }, 5s));
    TQuorFindDialog* dialog = main->ToolForms().DirSearch().Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Caption(), L"Suchen");
    PressKey(dialog->SearchStr->Handle(), VK_ESCAPE);
    EXPECT_TRUE(test::PumpUntil([] { return VisibleWindowOfClass(L"TQuorFindDialog") == nullptr; }, 5s));
    EXPECT_EQ(main->TreeView1->GetDirPathName(main->TreeView1->Selected()), dir.Path());
}

TEST_F(MainToolForms, CtrlPVerifiesTheSelection)
{
    dir.Write(L"a.txt", "eins");
    dir.Write(L"b.txt", "zwei");
    main->LV1->Reload(true);
    main->LV1->SetFocus();
    main->LV1->SelectRange(-1, -1, false);
    for (const wchar_t* name : {L"a.txt", L"b.txt"}) {
        ASSERT_NE(main->LV1->FindFileItem(name), nullptr);
        main->LV1->SetItemSelected(*main->LV1->FindFileItem(name), true);
    }
    test::DialogAnswerer answer({L"OK"});
    PressKey(main->LV1->Handle(), 'P', {VK_CONTROL});
    ASSERT_TRUE(test::PumpUntil([&] { return answer.Answered(); }, 10s));
    test::PumpFor(200ms);
    EXPECT_NE(answer.Texts().find(L"2 Dateien fehlerfrei lesbar."), std::wstring::npos) << answer.Texts();
    EXPECT_EQ(main->ToolForms().FileVerify().LastCounts().Readable, 2u);
}

TEST_F(MainToolForms, DriveOverviewOpensFromItsCommand)
{
    test::DialogAnswerer answer({L"&OK", L"OK"});
    EXPECT_TRUE(main->Catalogue().Execute(TActionId::DriveOverview));
    EXPECT_TRUE(answer.Answered());
    EXPECT_NE(answer.Texts().find(L"Entnehmbare Medien anzeigen"), std::wstring::npos) << answer.Texts();
    EXPECT_EQ(main->ToolForms().DriveOverview(), nullptr);
}

// What "&Eigenschaften" of the text menu gives the editor is there again
// after a restart: its switches, key mapping, tab stops and the Tab key.
TEST_F(MainToolForms, TheTextPropertiesSurviveARestart)
{
    TEasyEdit& editor = *main->EasyEdit;
    const uint32_t options = (editor.Options() | eoKeepColumn | eoShowScrollHint) & ~(eoPaintMargin | eoEnableDragging);
    editor.SetOptions(options);
    editor.SetKeyMapping(TEasyKeyMapping::kmBrief);
    editor.GetEditSource()->SetTabStops(L"4 8 12");
    Options.WantTabs = true;
    ASSERT_TRUE(main->SaveSettings());
    main.reset();
    FinalizeGlobals();

    InitializeGlobals();
    main.reset(new TQRVMain(nullptr));
    main->Show();
    test::PumpFor(200ms);
    TEasyEdit& again = *main->EasyEdit;
    constexpr uint32_t offered = eoPaintMargin | eoPersistentBlocks | eoOverwriteBlocks | eoEnableDragging |
                                 eoSelectBeyondEol | eoKeepColumn | eoEnTabBlock | eoShowScrollHint |
                                 eoPaintFormattingMarks;
    EXPECT_EQ(again.Options() & offered, options & offered);
    EXPECT_EQ(again.KeyMapping(), TEasyKeyMapping::kmBrief);
    EXPECT_EQ(again.GetEditSource()->TabStops(), L"4 8 12");
    EXPECT_TRUE(Options.WantTabs);
    EXPECT_TRUE(again.WantTabs());
}

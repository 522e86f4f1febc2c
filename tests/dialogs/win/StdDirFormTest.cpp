// The bookmark editor on a real window, driven by the keys a user presses in
// its grid: Down on the last row adds a row with its editor open, Tab in the
// last cell moves to "&OK", Esc brings back the text an edit started with or
// the one Enter confirmed, a typed single ampersand is doubled, F4 opens the
// folder picker at the row's folder and takes its choice, and the buttons
// follow the current cell.

#include "dialogs/win/StdDirForm.h"

#include "TestDir.h"
#include "common/BaseUtils.h"
#include "dialogs/win/KySelDir.h"
#include "framework/SysUtils.h"
#include "framework/win/Buttons.h"
#include "framework/win/StdCtrls.h"
#include "panels/win/DriveView.h"
#include "widgets/win/ImpStringGrid.h"
#include "win/MessagePump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class FakeEditorHost : public TStdDirFormHost {
public:
    std::wstring pickerStart;  // the folder the picker showed
    std::wstring choice;       // what the user picks; empty: Cancel
    int pickerRuns = 0;
    TDriveView* MainTree() override { return nullptr; }
    TControl* PickerAnchor() override { return nullptr; }
    bool RunFolderPicker(TSelDirDialog& Picker) override
    {
        ++pickerRuns;
        pickerStart = Picker.Directory();
        if (choice.empty())
            return false;
        Picker.SetDirectory(choice);
        return true;
    }
};

bool SameFolder(const std::wstring& A, const std::wstring& B)
{
    return SameText(RemoveBackslash(A), RemoveBackslash(B));
}

void PostKey(HWND Window, WORD Key)
{
    PostMessageW(Window, WM_KEYDOWN, Key, 1);
    PostMessageW(Window, WM_KEYUP, Key, 0xC0000001);
    test::PumpFor(100ms);
}

void Type(TImpStringGrid& Grid, const std::wstring& Text)
{
    for (wchar_t c : Text)
        SendMessageW(Grid.InplaceEditor()->Handle(), WM_CHAR, c, 1);
}

class StdDirFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* sub : {L"\\Eins", L"\\Zwei"})
            ASSERT_TRUE(CreateDirectoryW((dir.Path() + sub).c_str(), nullptr));
        form = std::make_unique<TStdDirForm>(nullptr, host);
        form->SetBookmarks({dir.Path() + L"\\Eins", L"", dir.Path() + L"\\Zwei"}, {L"Eins", L"-", L"Zwei"});
        form->Show();
        // The tests begin on the active form, once its posted work is done.
        ASSERT_TRUE(test::PumpUntilForeground(form->Handle(), 10s));
        grid = form->StdDirGrid;
    }
    HWND Keys() { return grid->EditorMode() ? grid->InplaceEditor()->Handle() : grid->Handle(); }

    test::TestDir dir;
    FakeEditorHost host;
    std::unique_ptr<TStdDirForm> form;
    TImpStringGrid* grid = nullptr;
};

}  // namespace

TEST_F(StdDirFormTest, OpensOnTheListsWithTheGridFocused)
{
    // ctest: takes the focus (the form gives it to its grid, its buttons to the form)
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->Cells().Cell(kStdDirLabelCol, 3), L"Menü 3");
    EXPECT_EQ(grid->Cells().Cell(kStdDirPathCol, 3), dir.Path() + L"\\Zwei");
    EXPECT_EQ(GetFocus(), grid->Handle());
    wchar_t className[64] = {};
    GetClassNameW(form->Handle(), className, 64);
    EXPECT_STREQ(className, L"TStdDirForm") << "what outside probes look for";
    EXPECT_FALSE(form->Confirmed());
}

TEST_F(StdDirFormTest, DownOnTheLastRowAddsARowAndTabGoesToOk)
{
    grid->SetCurrent(kStdDirCaptionCol, 1);
    PostKey(Keys(), VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->RowCount(), 4) << "Down on another row only moves";
    grid->SetCurrent(kStdDirCaptionCol, 3);
    PostKey(Keys(), VK_DOWN);
    ASSERT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_TRUE(grid->EditorMode()) << "the new row's editor is open";
    EXPECT_EQ(grid->Cells().Cell(kStdDirPathCol, 4), L"");
    EXPECT_EQ(grid->Cells().Cell(kStdDirLabelCol, 4), L"Menü 4");
    Type(*grid, L"Neu");
    PostKey(Keys(), VK_TAB);
    EXPECT_EQ(grid->Col(), kStdDirPathCol);
    EXPECT_EQ(grid->Cells().Cell(kStdDirCaptionCol, 4), L"Neu");
    PostKey(Keys(), VK_TAB);
    EXPECT_EQ(GetFocus(), form->btnOK->Handle());
    EXPECT_EQ(grid->RowCount(), 5) << "Tab in the last cell adds no row";

    // A folder still being typed when OK is clicked counts.
    grid->SetCurrent(kStdDirPathCol, 4);
    grid->ShowEditor();
    Type(*grid, L"C:\\Neu");
    form->btnOK->Click();
    EXPECT_TRUE(form->Confirmed());
    EXPECT_EQ(form->Rows().back().Path, L"C:\\Neu");
}

TEST_F(StdDirFormTest, EscapeEnterAndAmpersands)
{
    grid->SetCurrent(kStdDirCaptionCol, 1);
    grid->ShowEditor();
    Type(*grid, L"weg");
    PostKey(Keys(), VK_ESCAPE);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells().Cell(kStdDirCaptionCol, 1), L"Eins");

    grid->ShowEditor();
    SetWindowTextW(grid->InplaceEditor()->Handle(), L"Haus&Hof");
    PostKey(Keys(), VK_RETURN);
    EXPECT_EQ(grid->Cells().Cell(kStdDirCaptionCol, 1), L"Haus&&Hof");
    EXPECT_FALSE(grid->EditorMode()) << "Enter ends the edit";
    grid->Cells().SetCell(kStdDirCaptionCol, 1, L"später geändert");
    PostKey(Keys(), VK_ESCAPE);
    EXPECT_EQ(grid->Cells().Cell(kStdDirCaptionCol, 1), L"Haus&&Hof") << "Enter made it the text Esc restores";
    EXPECT_EQ(form->ModalResult(), mrNone);
    PostKey(Keys(), VK_ESCAPE);
    EXPECT_EQ(form->ModalResult(), mrCancel) << "Esc with nothing to bring back closes the form";
    EXPECT_FALSE(form->Confirmed());
}

TEST_F(StdDirFormTest, ButtonsFollowTheCellAndF4PicksAFolder)
{
    grid->SetCurrent(kStdDirCaptionCol, 1);
    form->UpdateButtons();
    EXPECT_FALSE(form->btnSelect->Enabled()) << "only in the folder column";
    EXPECT_FALSE(form->btnUp->Enabled());
    EXPECT_TRUE(form->btnDown->Enabled());
    grid->SetCurrent(kStdDirPathCol, 3);
    form->UpdateButtons();
    EXPECT_TRUE(form->btnSelect->Enabled());
    EXPECT_FALSE(form->btnDown->Enabled());

    host.choice = dir.Path() + L"\\Eins";
    PostKey(Keys(), VK_F4);
    EXPECT_EQ(host.pickerRuns, 1);
    EXPECT_TRUE(SameFolder(host.pickerStart, dir.Path() + L"\\Zwei")) << host.pickerStart;
    EXPECT_TRUE(SameFolder(grid->Cells().Cell(kStdDirPathCol, 3), dir.Path() + L"\\Eins"));

    host.choice.clear();
    form->btnSelect->Click();
    EXPECT_EQ(host.pickerRuns, 2);
    EXPECT_TRUE(SameFolder(grid->Cells().Cell(kStdDirPathCol, 3), dir.Path() + L"\\Eins")) << "Cancel keeps it";

    form->btnInsertDivider->Click();
    EXPECT_EQ(grid->Cells().Cell(kStdDirCaptionCol, 3), L"-");
    EXPECT_FALSE(grid->EditorMode()) << "no editor for a separator";
    form->btnNew->Click();
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->RowCount(), 6);
}

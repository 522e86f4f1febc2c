// TActionUpdater: the computed states reach the actions, menu items and
// buttons of those names that exist, and only those.

#include "mainwindow/win/ActionUpdater.h"

#include "framework/win/ActnList.h"
#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Menus.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;

namespace {

class FakeActionHost : public TActionUpdaterHost {
public:
    bool allowed = true;
    TActionInput input;
    int reads = 0;
    bool ActionUpdateAllowed() override { return allowed; }
    TActionInput ActionInput() override
    {
        ++reads;
        return input;
    }
};

class ActionUpdaterTest : public testing::Test {
protected:
    void SetUp() override
    {
        list = new TActionList(form.get());
        physical = Make(L"DeleteObjectPhysical");
        recycle = Make(L"DeleteObject");
        hex = Make(L"DispHex");
        viewFile = Make(L"ViewFile");
        undo = Make(L"FileUndo");
        undo->SetShortCut(ShortCut('Z', scCtrl));
        auto* menu = new TMainMenu(form.get());
        menuNew = new TMenuItem(form.get());
        menuNew->SetName(L"mnuNew");
        menu->Items()->Add(menuNew);
        undoButton = new TButton(form.get());
        undoButton->SetName(L"btnUndo");
        undoButton->SetParent(form.get());
    }
    TAction* Make(const wchar_t* name)
    {
        auto* action = new TAction(form.get(), list);
        action->SetName(name);
        return action;
    }

    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TActionList* list = nullptr;
    TAction* physical = nullptr;
    TAction* recycle = nullptr;
    TAction* hex = nullptr;
    TAction* viewFile = nullptr;
    TAction* undo = nullptr;
    TMenuItem* menuNew = nullptr;
    TButton* undoButton = nullptr;
    FakeActionHost host;
    TActionUpdater updater{host, *form};
};

}  // namespace

TEST_F(ActionUpdaterTest, StatesGoToTheComponentsOfThoseNames)
{
    // The archive list focused with a selection: physical delete only.
    host.input.Node = true;
    host.input.Place = true;
    host.input.Focus = TActionFocus::ArchiveList;
    host.input.ArchiveOpen = true;
    host.input.ArchiveCount = 4;
    host.input.ArchiveSelected = 2;
    host.input.ForcedDisplayMode = 1;
    viewFile->SetChecked(true);
    updater.UpdateTimerTimer();
    EXPECT_TRUE(physical->Enabled());
    EXPECT_FALSE(recycle->Enabled());
    EXPECT_TRUE(hex->Checked());
    EXPECT_FALSE(menuNew->Enabled()) << "a menu item by its name";
    // An action the rules do not name keeps its state.
    EXPECT_TRUE(viewFile->Checked());
    EXPECT_TRUE(viewFile->Enabled());

    host.input.ForcedDisplayMode = 0;
    host.input.Focus = TActionFocus::List;
    host.input.Item = true;
    host.input.Drive = true;
    host.input.ListSelected = 1;
    host.input.ListCount = 1;
    updater.UpdateTimerTimer();
    EXPECT_FALSE(hex->Checked());
    EXPECT_TRUE(recycle->Enabled());
    EXPECT_TRUE(menuNew->Enabled());
}

TEST_F(ActionUpdaterTest, UndoCaptionAndHintsCarryTheWord)
{
    host.input.Focus = TActionFocus::List;
    host.input.LastOperation = TUndoKind::Move;
    host.input.LastOperationCanUndo = true;
    updater.UpdateTimerTimer();
    EXPECT_TRUE(undo->Enabled());
    EXPECT_EQ(undo->Caption(), L"R&ückgängig verschieben");
    EXPECT_EQ(undo->Hint(), L"Rückgängig verschieben (Strg+Z)");
    EXPECT_EQ(undoButton->Hint(), L"Rückgängig verschieben (Strg+Z)");

    // Nothing to undo after a delete to the recycle bin.
    host.input.LastOperation = TUndoKind::None;
    host.input.LastOperationCanUndo = false;
    updater.UpdateTimerTimer();
    EXPECT_FALSE(undo->Enabled());
    EXPECT_EQ(undo->Hint(), L"Rückgängig  (Strg+Z)");

    // Without the shortcut the caption carries the key's text itself.
    undo->SetShortCut(scNone);
    host.input.Focus = TActionFocus::Editor;
    host.input.EditorVisible = true;
    host.input.EditorCanUndo = true;
    updater.UpdateTimerTimer();
    EXPECT_EQ(undo->Caption(), L"R&ückgängig Textänderung\tStrg+Z");
}

TEST_F(ActionUpdaterTest, NoPassWhileNotAllowed)
{
    host.allowed = false;
    recycle->SetEnabled(true);
    updater.UpdateTimerTimer();
    EXPECT_EQ(host.reads, 0);
    EXPECT_TRUE(recycle->Enabled());
}

TEST_F(ActionUpdaterTest, FeaturesNotOfferedAreHiddenAndDisabled)
{
    TAction* shred = Make(L"ShredFile");
    auto* item = new TMenuItem(form.get());
    item->SetName(L"Archiv1");
    TActionUpdater::HideComponents(*form, FeaturesNotOffered());
    EXPECT_FALSE(shred->Visible());
    EXPECT_FALSE(shred->Enabled());
    EXPECT_FALSE(item->Visible());
    EXPECT_FALSE(item->Enabled());
    EXPECT_TRUE(physical->Visible());
    // The pass leaves them so.
    updater.UpdateTimerTimer();
    EXPECT_FALSE(shred->Enabled());
}

// The main window's key table: a row per key of the window, the tree and the
// lists, and the refusals that leave a key to the focused control.

#include "mainwindow/KeyTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

using namespace qrv;

namespace {

using A = TActionId;
using F = TKeyFocus;

// A first list focused with a selection, in a plain folder, every box shown
// and every command possible.
TMainKeyState Ready(uint16_t Key, uint8_t Modifiers)
{
    TMainKeyState state;
    state.Key = Key;
    state.Modifiers = Modifiers;
    state.Focus = F::List1;
    state.HistoryBoxShown = true;
    state.DriveBoxShown = true;
    state.CommandLineShown = true;
    state.ListSelection = true;
    state.TreeNodeBelowDrive = true;
    state.TextUndoEnabled = false;
    state.FileUndoEnabled = true;
    state.CanGoBack = true;
    state.CanGoForward = true;
    state.NewDirEnabled = true;
    state.NewFileEnabled = true;
    state.DeleteEnabled = true;
    state.DeletePhysicalEnabled = true;
    state.FindFileEnabled = true;
    return state;
}

struct TExpected {
    std::optional<TActionId> Command;
    TKeyMove Move = TKeyMove::None;
    int UserKey = 0;
    int UserSet = 0;
    bool Consume = false;
    bool SwallowChar = false;
    bool Beep = false;
};

TExpected Runs(TActionId Command, bool Swallow = false)
{
    return {Command, TKeyMove::None, 0, 0, true, Swallow, false};
}
TExpected Moves(TKeyMove Move)
{
    return {std::nullopt, Move, 0, 0, true, true, false};
}
TExpected RunsUser(int Key, int Set)
{
    return {std::nullopt, TKeyMove::None, Key, Set, true, true, false};
}
TExpected Beeps()
{
    return {std::nullopt, TKeyMove::None, 0, 0, true, true, true};
}
// Left to the focused control.
TExpected Passes()
{
    return {};
}

struct TRow {
    const char* Name;
    uint16_t Key;
    uint8_t Modifiers;
    std::function<void(TMainKeyState&)> Change;
    TExpected Expected;
};

void Same(const TRow& Row)
{
    TMainKeyState state = Ready(Row.Key, Row.Modifiers);
    if (Row.Change)
        Row.Change(state);
    const TMainKeyDecision got = DecideMainKey(state);
    SCOPED_TRACE(Row.Name);
    EXPECT_EQ(got.Command, Row.Expected.Command);
    EXPECT_EQ(got.Move, Row.Expected.Move);
    EXPECT_EQ(got.UserCommandKey, Row.Expected.UserKey);
    if (Row.Expected.UserKey != 0) {
        EXPECT_EQ(got.UserCommandSet, Row.Expected.UserSet);
    }
    EXPECT_EQ(got.Consume, Row.Expected.Consume);
    EXPECT_EQ(got.SwallowChar, Row.Expected.SwallowChar);
    EXPECT_EQ(got.Beep, Row.Expected.Beep);
}

auto Focus(F Where)
{
    return [Where](TMainKeyState& S) { S.Focus = Where; };
}

constexpr uint8_t kNone = kmNone;
constexpr uint8_t kShift = kmShift;
constexpr uint8_t kCtrl = kmCtrl;
constexpr uint8_t kAlt = kmAlt;
constexpr uint16_t kF10 = vkey::kF10;

}  // namespace

TEST(KeyTable, WindowKeysByExactModifiers)
{
    const TRow rows[] = {
        // The number pad's selection keys, in a list only.
        {"num * inverts", vkey::kMultiply, kNone, nullptr, Runs(A::SelectInvert, true)},
        {"num + selects by filter", vkey::kAdd, kNone, nullptr, Runs(A::SelectSeveral, true)},
        {"num - deselects by filter", vkey::kSubtract, kNone, nullptr, Runs(A::SelectUnselect, true)},
        {"num + in the tree expands there", vkey::kAdd, kNone, Focus(F::Tree), Passes()},
        {"num * in the second list", vkey::kMultiply, kNone, Focus(F::List2), Runs(A::SelectInvert, true)},
        {"num + in the name editor", vkey::kAdd, kNone, [](TMainKeyState& S) { S.NameEditing = true; }, Passes()},
        {"num + with Shift", vkey::kAdd, kShift, nullptr, Passes()},
        // F2 and F3 (their actions are no window shortcuts).
        {"F2 renames", vkey::kF2, kNone, nullptr, Runs(A::EditObject)},
        {"F2 in the tree", vkey::kF2, kNone, Focus(F::Tree), Runs(A::EditObject)},
        {"F2 in the command box", vkey::kF2, kNone, Focus(F::CommandBox), Passes()},
        {"F3 searches files", vkey::kF3, kNone, nullptr, Runs(A::FindDatei)},
        {"F3 without the file search: the folder search", vkey::kF3, kNone,
         [](TMainKeyState& S) { S.FindFileEnabled = false; }, Runs(A::FindDlg)},
        {"F3 in the tree", vkey::kF3, kNone, Focus(F::Tree), Runs(A::FindDatei)},
        {"F3 in the editor searches its text", vkey::kF3, kNone, Focus(F::Editor), Passes()},
        // F4 opens the history box from a list, the drive box from the tree.
        {"F4 in a list", vkey::kF4, kNone, nullptr, Moves(TKeyMove::DropDownHistory)},
        {"F4 in the tree", vkey::kF4, kNone, Focus(F::Tree), Moves(TKeyMove::DropDownDriveBox)},
        {"F4 in a list without the history box", vkey::kF4, kNone, [](TMainKeyState& S) { S.HistoryBoxShown = false; },
         Passes()},
        {"F4 in the tree without the drive box", vkey::kF4, kNone,
         [](TMainKeyState& S) {
             S.Focus = F::Tree;
             S.DriveBoxShown = false;
         },
         Passes()},
        {"F4 elsewhere", vkey::kF4, kNone, Focus(F::TextView), Passes()},
        // There is no help to show: F1 does nothing, not even beep.
        {"F1", vkey::kF1, kNone, nullptr, Passes()},
        {"F1 in the tree", vkey::kF1, kNone, Focus(F::Tree), Passes()},
        // The user commands on Shift+F1..F12 and Ctrl+F1..F12.
        {"Shift+F1 assigned", vkey::kF1, kShift, [](TMainKeyState& S) { S.ShiftCommands = 1; },
         RunsUser(1, kShiftCommandSet)},
        {"Shift+F12 assigned", vkey::kF12, kShift, [](TMainKeyState& S) { S.ShiftCommands = 0x800; },
         RunsUser(12, kShiftCommandSet)},
        {"Shift+F5 unassigned", vkey::kF1 + 4, kShift, [](TMainKeyState& S) { S.ShiftCommands = 0xFFF & ~0x10; },
         Passes()},
        {"Shift+F10 with a command runs it", kF10, kShift, [](TMainKeyState& S) { S.ShiftCommands = 1 << 9; },
         RunsUser(10, kShiftCommandSet)},
        {"Shift+F10 without one: the context menu", kF10, kShift, [](TMainKeyState& S) { S.ShiftCommands = 1; },
         Passes()},
        {"Shift+F10 in the tree without one", kF10, kShift, Focus(F::Tree), Passes()},
        {"Ctrl+F1", vkey::kF1, kCtrl, nullptr, RunsUser(1, kCtrlCommandSet)},
        {"Ctrl+F12 in the editor", vkey::kF12, kCtrl, Focus(F::Editor), RunsUser(12, kCtrlCommandSet)},
        {"Shift+Ctrl+F1 is no user command", vkey::kF1, kShift | kCtrl, nullptr, Passes()},
        // Alt: undo and the folder history.
        {"Alt+Back undoes the file operation", vkey::kBack, kAlt, nullptr, Runs(A::FileUndo, true)},
        {"Alt+Back undoes the text first", vkey::kBack, kAlt,
         [](TMainKeyState& S) {
             S.Focus = F::TextView;
             S.TextUndoEnabled = true;
         },
         Runs(A::TextUndo, true)},
        {"Alt+Back with nothing to undo", vkey::kBack, kAlt, [](TMainKeyState& S) { S.FileUndoEnabled = false; },
         Beeps()},
        {"Alt+Left goes back", vkey::kLeft, kAlt, nullptr, Runs(A::GoPrev)},
        {"Alt+Left at the oldest entry", vkey::kLeft, kAlt, [](TMainKeyState& S) { S.CanGoBack = false; }, Beeps()},
        {"Alt+Right goes forward", vkey::kRight, kAlt, nullptr, Runs(A::GoNext)},
        {"Alt+Right at the newest entry", vkey::kRight, kAlt, [](TMainKeyState& S) { S.CanGoForward = false; },
         Beeps()},
        {"Alt+Left in the command box", vkey::kLeft, kAlt, Focus(F::CommandBox), Runs(A::GoPrev)},
        {"Alt+Left in the editor", vkey::kLeft, kAlt, Focus(F::Editor), Passes()},
        {"Alt+Back in the editor", vkey::kBack, kAlt, Focus(F::Editor), Passes()},
        {"Alt+Right in the editor", vkey::kRight, kAlt, Focus(F::Editor), Passes()},
        {"Shift+Alt+Left", vkey::kLeft, kShift | kAlt, nullptr, Passes()},
        // Ctrl+Back goes to the drive's root.
        {"Ctrl+Back to the root", vkey::kBack, kCtrl, nullptr, Runs(A::DirRoot, true)},
        {"Ctrl+Back from the command box", vkey::kBack, kCtrl, Focus(F::CommandBox), Runs(A::DirRoot, true)},
        {"Ctrl+Back at a drive", vkey::kBack, kCtrl, [](TMainKeyState& S) { S.TreeNodeBelowDrive = false; }, Passes()},
        {"Ctrl+Back in the editor", vkey::kBack, kCtrl, Focus(F::Editor), Passes()},
        {"Ctrl+Back in the name editor", vkey::kBack, kCtrl, [](TMainKeyState& S) { S.NameEditing = true; }, Passes()},
        // Ctrl+Tab to the command box and back.
        {"Ctrl+Tab to the command box", vkey::kTab, kCtrl, nullptr, Moves(TKeyMove::ToCommandBox)},
        {"Ctrl+Tab from the tree", vkey::kTab, kCtrl, Focus(F::Tree), Moves(TKeyMove::ToCommandBox)},
        {"Ctrl+Tab back", vkey::kTab, kCtrl, Focus(F::CommandBox), Moves(TKeyMove::BackFromCommandBox)},
        {"Ctrl+Tab without the command line", vkey::kTab, kCtrl, [](TMainKeyState& S) { S.CommandLineShown = false; },
         Passes()},
        {"Ctrl+Tab in the editor", vkey::kTab, kCtrl, Focus(F::Editor), Passes()},
        // Ctrl+Enter and Shift+Ctrl+Enter put names into the command box.
        {"Ctrl+Enter inserts the name", vkey::kReturn, kCtrl, nullptr, Runs(A::CommandLineName, true)},
        {"Ctrl+Enter in the command box", vkey::kReturn, kCtrl, Focus(F::CommandBox), Runs(A::CommandLineName, true)},
        {"Ctrl+Enter without a selection", vkey::kReturn, kCtrl, [](TMainKeyState& S) { S.ListSelection = false; },
         Passes()},
        {"Ctrl+Enter without the command line", vkey::kReturn, kCtrl,
         [](TMainKeyState& S) { S.CommandLineShown = false; }, Passes()},
        {"Shift+Ctrl+Enter inserts path and name", vkey::kReturn, kShift | kCtrl, nullptr,
         Runs(A::CommandLineAllNames, true)},
        {"Shift+Ctrl+Enter without a selection", vkey::kReturn, kShift | kCtrl,
         [](TMainKeyState& S) { S.ListSelection = false; }, Passes()},
        // Ctrl+number pad 1..5 sort the active list.
        {"Ctrl+num 1 by name", vkey::kNumpad1, kCtrl, nullptr, Runs(A::SortName, true)},
        {"Ctrl+num 2 by size", vkey::kNumpad1 + 1, kCtrl, Focus(F::Tree), Runs(A::SortSize, true)},
        {"Ctrl+num 3 by type", vkey::kNumpad1 + 2, kCtrl, nullptr, Runs(A::SortType, true)},
        {"Ctrl+num 4 by date", vkey::kNumpad1 + 3, kCtrl, nullptr, Runs(A::SortDate, true)},
        {"Ctrl+num 5 by attributes", vkey::kNumpad5, kCtrl, nullptr, Runs(A::SortAttr, true)},
        {"Ctrl+num 6", vkey::kNumpad5 + 1, kCtrl, nullptr, Passes()},
    };
    for (const TRow& row : rows)
        Same(row);
}

TEST(KeyTable, ClipboardKeysStayWithTextAndNameEditors)
{
    const auto editing = [](TMainKeyState& S) { S.NameEditing = true; };
    const TRow rows[] = {
        {"Ctrl+C copies files", 'C', kCtrl, nullptr, Runs(A::ClipBoardCopy, true)},
        {"Ctrl+X cuts files", 'X', kCtrl, nullptr, Runs(A::ClipBoardCut, true)},
        {"Ctrl+V pastes files", 'V', kCtrl, nullptr, Runs(A::ClipBoardPaste, true)},
        {"Ctrl+C in the tree", 'C', kCtrl, Focus(F::Tree), Runs(A::ClipBoardCopy, true)},
        {"Ctrl+C in the name editor", 'C', kCtrl, editing, Passes()},
        {"Ctrl+X in the name editor", 'X', kCtrl, editing, Passes()},
        {"Ctrl+V in the name editor", 'V', kCtrl, editing, Passes()},
        {"Ctrl+C in the command box", 'C', kCtrl, Focus(F::CommandBox), Passes()},
        {"Ctrl+V in the command box", 'V', kCtrl, Focus(F::CommandBox), Passes()},
        {"Ctrl+V in the first history box", 'V', kCtrl, Focus(F::HistoryBox1), Passes()},
        {"Ctrl+V in the second history box", 'V', kCtrl, Focus(F::HistoryBox2), Passes()},
        {"Ctrl+C in the text view", 'C', kCtrl, Focus(F::TextView), Passes()},
        {"Ctrl+X in the editor", 'X', kCtrl, Focus(F::Editor), Passes()},
        {"Ctrl+C in the hex view", 'C', kCtrl, Focus(F::HexView), Passes()},
        {"Ctrl+C in a virtual folder", 'C', kCtrl, [](TMainKeyState& S) { S.VirtualFolder = true; }, Passes()},
        {"Ctrl+V in a virtual folder", 'V', kCtrl, [](TMainKeyState& S) { S.VirtualFolder = true; }, Passes()},
        {"Shift+Ctrl+C", 'C', kShift | kCtrl, nullptr, Passes()},
    };
    for (const TRow& row : rows)
        Same(row);
    // The characters of the clipboard keys the tree and the lists took.
    EXPECT_TRUE(DropMainChar(3, F::List1, false));
    EXPECT_TRUE(DropMainChar(22, F::Tree, false));
    EXPECT_TRUE(DropMainChar(24, F::List2, false));
    EXPECT_FALSE(DropMainChar(3, F::List1, true)) << "the name editor copies";
    EXPECT_FALSE(DropMainChar(22, F::CommandBox, false));
    EXPECT_FALSE(DropMainChar(L'c', F::List1, false));
}

TEST(KeyTable, TreeAndListKeys)
{
    const auto editing = [](TMainKeyState& S) { S.NameEditing = true; };
    const TRow rows[] = {
        {"Insert: new folder", vkey::kInsert, kNone, nullptr, Runs(A::NewDir)},
        {"Insert in the tree", vkey::kInsert, kNone, Focus(F::Tree), Runs(A::NewDir)},
        {"Insert without a place for it", vkey::kInsert, kNone, [](TMainKeyState& S) { S.NewDirEnabled = false; },
         Beeps()},
        {"Insert in a virtual folder", vkey::kInsert, kNone, [](TMainKeyState& S) { S.VirtualFolder = true; }, Beeps()},
        {"Ctrl+Insert: new file", vkey::kInsert, kCtrl, nullptr, Runs(A::NewFile)},
        {"Ctrl+Insert in the tree", vkey::kInsert, kCtrl, Focus(F::Tree), Runs(A::NewFile)},
        {"Ctrl+Insert without a file", vkey::kInsert, kCtrl, [](TMainKeyState& S) { S.NewFileEnabled = false; },
         Beeps()},
        {"Shift+Insert", vkey::kInsert, kShift, nullptr, Passes()},
        {"Insert in the name editor", vkey::kInsert, kNone, editing, Passes()},
        {"Insert in the command box", vkey::kInsert, kNone, Focus(F::CommandBox), Passes()},
        {"Delete to the recycle bin", vkey::kDelete, kNone, nullptr, Runs(A::DeleteObject)},
        {"Shift+Delete for good", vkey::kDelete, kShift, nullptr, Runs(A::DeleteObjectPhysical)},
        {"Delete in a search result (recycle bin off)", vkey::kDelete, kNone,
         [](TMainKeyState& S) { S.DeleteEnabled = false; }, Runs(A::DeleteObject)},
        {"Delete with nothing to delete", vkey::kDelete, kNone,
         [](TMainKeyState& S) {
             S.DeleteEnabled = false;
             S.DeletePhysicalEnabled = false;
         },
         Beeps()},
        {"Delete in the tree", vkey::kDelete, kNone, Focus(F::Tree), Runs(A::DeleteObject)},
        {"Shift+Delete in the tree", vkey::kDelete, kShift, Focus(F::Tree), Runs(A::DeleteObjectPhysical)},
        {"Delete at a drive in the tree", vkey::kDelete, kNone,
         [](TMainKeyState& S) {
             S.Focus = F::Tree;
             S.DeleteEnabled = false;
         },
         Passes()},
        {"Delete in the name editor", vkey::kDelete, kNone, editing, Passes()},
        {"Delete in the command box", vkey::kDelete, kNone, Focus(F::CommandBox), Passes()},
        {"Ctrl+Delete", vkey::kDelete, kCtrl, nullptr, Passes()},
        {"Back goes up", vkey::kBack, kNone, nullptr, Runs(A::DirUp, true)},
        {"Back in the name editor", vkey::kBack, kNone, editing, Passes()},
        {"Back in the command box", vkey::kBack, kNone, Focus(F::CommandBox), Passes()},
        {"Ctrl+Z undoes", 'Z', kCtrl, nullptr, Runs(A::FileUndo, true)},
        {"Ctrl+D starts the shell", 'D', kCtrl, Focus(F::Tree), Runs(A::DOS, true)},
        {"Ctrl+A selects all", 'A', kCtrl, nullptr, Runs(A::SelectAll, true)},
        {"Ctrl+A in the archive list", 'A', kCtrl, Focus(F::ArchiveList), Runs(A::SelectAll, true)},
        {"Ctrl+I inverts", 'I', kCtrl, nullptr, Runs(A::SelectInvert, true)},
        {"Ctrl+A in the editor", 'A', kCtrl, Focus(F::Editor), Passes()},
        {"Ctrl+Z in the name editor", 'Z', kCtrl, editing, Passes()},
    };
    for (const TRow& row : rows)
        Same(row);
}

TEST(KeyTable, TheFunctionKeyBarShowsTheCtrlSetWhileCtrlIsHeld)
{
    struct {
        uint16_t Key;
        uint8_t Modifiers;
        bool Up;
        int Set;
    } const rows[] = {
        {vkey::kControl, kCtrl, false, kCtrlCommandSet},
        {'Q', kShift | kCtrl, false, kCtrlCommandSet},
        {vkey::kShift, kShift, false, kShiftCommandSet},
        {vkey::kMenu, kAlt, false, kShiftCommandSet},
        {'Q', kNone, false, kShiftCommandSet},
        // Up: the Ctrl set while Ctrl is still held.
        {vkey::kShift, kCtrl, true, kCtrlCommandSet},
        {vkey::kControl, kNone, true, kShiftCommandSet},
    };
    for (const auto& row : rows) {
        TMainKeyState state = Ready(row.Key, row.Modifiers);
        state.KeyUp = row.Up;
        const TMainKeyDecision got = DecideMainKey(state);
        EXPECT_EQ(got.FunctionKeySet, row.Set) << row.Key << " " << int(row.Modifiers) << " " << row.Up;
        EXPECT_FALSE(got.Consume);
    }
    // A key going up starts nothing.
    TMainKeyState up = Ready(vkey::kDelete, kNone);
    up.KeyUp = true;
    EXPECT_FALSE(DecideMainKey(up).Command.has_value());
}

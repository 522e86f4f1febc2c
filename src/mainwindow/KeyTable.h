#pragma once
// The main window's own keys in one table: what a key pressed anywhere in
// the window does, given the exact modifiers, the focused control and the
// window's state. The enabled actions' shortcuts are taken before the table
// is asked; the table takes the keys that depend on the focus or the state
// (the number pad's selection keys, the history with Alt, the clipboard
// keys that a text control keeps, the function keys of the user commands,
// the keys of the folder tree and the file lists) and decides which set of
// captions the function-key toolbar shows. Portable.

#include "mainwindow/ActionCatalogue.h"

#include <cstdint>
#include <optional>

namespace qrv {

// Virtual keys the table names (the values are fixed by the keyboard interface).
namespace vkey {
constexpr uint16_t kBack = 0x08;
constexpr uint16_t kTab = 0x09;
constexpr uint16_t kReturn = 0x0D;
constexpr uint16_t kShift = 0x10;
constexpr uint16_t kControl = 0x11;
constexpr uint16_t kMenu = 0x12;
constexpr uint16_t kLeft = 0x25;
constexpr uint16_t kRight = 0x27;
constexpr uint16_t kInsert = 0x2D;
constexpr uint16_t kDelete = 0x2E;
constexpr uint16_t kNumpad1 = 0x61;
constexpr uint16_t kNumpad5 = 0x65;
constexpr uint16_t kMultiply = 0x6A;
constexpr uint16_t kAdd = 0x6B;
constexpr uint16_t kSubtract = 0x6D;
constexpr uint16_t kF1 = 0x70;
constexpr uint16_t kF2 = 0x71;
constexpr uint16_t kF3 = 0x72;
constexpr uint16_t kF4 = 0x73;
constexpr uint16_t kF10 = 0x79;
constexpr uint16_t kF12 = 0x7B;
}  // namespace vkey

// Modifier bits of a key.
enum TKeyModifier : uint8_t { kmNone = 0, kmShift = 1, kmCtrl = 2, kmAlt = 4 };

// The control that has the focus.
enum class TKeyFocus : uint8_t {
    List1,
    List2,
    Tree,
    ArchiveList,
    TextView,
    HexView,
    Editor,
    Picture,
    CommandBox,
    HistoryBox1,
    HistoryBox2,
    DriveBox,
    Other,
};

bool IsFileList(TKeyFocus Focus);
// The text view, the editor, the hex view, the command box and the history
// boxes keep the clipboard keys for their text.
bool IsTextControl(TKeyFocus Focus);

struct TMainKeyState {
    uint16_t Key = 0;
    uint8_t Modifiers = kmNone;  // exact: the bits of TKeyModifier held
    bool KeyUp = false;
    TKeyFocus Focus = TKeyFocus::Other;
    // The tree or one of the lists edits a name.
    bool NameEditing = false;
    // The active list shows a virtual shell folder.
    bool VirtualFolder = false;
    // The active list's history box, the drive box and the command-line
    // toolbar are shown.
    bool HistoryBoxShown = false;
    bool DriveBoxShown = false;
    bool CommandLineShown = false;
    // The active list has a selected item; the tree's selected node is
    // below the drive level.
    bool ListSelection = false;
    bool TreeNodeBelowDrive = false;
    // The undo commands' states, and the folder history's position: an
    // older entry to go back to, a newer one to go forward to.
    bool TextUndoEnabled = false;
    bool FileUndoEnabled = false;
    bool CanGoBack = false;
    bool CanGoForward = false;
    // The user commands assigned: bit n-1 for the key Fn, of the Shift set
    // and of the Ctrl set.
    uint16_t ShiftCommands = 0;
    uint16_t CtrlCommands = 0;
    // The enabled states of the commands the pane keys start.
    bool NewDirEnabled = false;
    bool NewFileEnabled = false;
    bool DeleteEnabled = false;          // to the recycle bin
    bool DeletePhysicalEnabled = false;  // for good
    bool FindFileEnabled = false;
};

// A move of the focus a key asks for.
enum class TKeyMove : uint8_t {
    None,
    DropDownHistory,     // the active list's history box, opened
    DropDownDriveBox,    // the drive box, opened
    ToCommandBox,        // remembering the control that had the focus
    BackFromCommandBox,  // to the remembered control, the active list without one
};

constexpr int kShiftCommandSet = 0;
constexpr int kCtrlCommandSet = 1;

struct TMainKeyDecision {
    std::optional<TActionId> Command;
    TKeyMove Move = TKeyMove::None;
    // A user command to run: key 1..12 of a set; 0 for none.
    int UserCommandKey = 0;
    int UserCommandSet = kShiftCommandSet;
    // The key goes no further; its character is dropped too.
    bool Consume = false;
    bool SwallowChar = false;
    // The default beep: the key was refused.
    bool Beep = false;
    // The set of captions the function-key toolbar shows now.
    int FunctionKeySet = kShiftCommandSet;
};

TMainKeyDecision DecideMainKey(const TMainKeyState& State);

// A character that reaches the window unswallowed: the characters of
// Strg+C, Strg+V and Strg+X are dropped in the tree and the lists (whose
// keys are file commands), but not in a name editor.
bool DropMainChar(wchar_t Char, TKeyFocus Focus, bool NameEditing);

}  // namespace qrv

#include "mainwindow/KeyTable.h"

namespace qrv {

namespace {

using A = TActionId;

bool IsTreeOrList(TKeyFocus Focus)
{
    return Focus == TKeyFocus::Tree || IsFileList(Focus);
}

TMainKeyDecision Run(TMainKeyDecision Decision, TActionId Command, bool SwallowChar = false)
{
    Decision.Command = Command;
    Decision.Consume = true;
    Decision.SwallowChar = SwallowChar;
    return Decision;
}

TMainKeyDecision Refuse(TMainKeyDecision Decision)
{
    Decision.Consume = true;
    Decision.SwallowChar = true;
    Decision.Beep = true;
    return Decision;
}

TMainKeyDecision Move(TMainKeyDecision Decision, TKeyMove Where)
{
    Decision.Move = Where;
    Decision.Consume = true;
    Decision.SwallowChar = true;
    return Decision;
}

TMainKeyDecision UserCommand(TMainKeyDecision Decision, int Key, int Set)
{
    Decision.UserCommandKey = Key;
    Decision.UserCommandSet = Set;
    Decision.Consume = true;
    Decision.SwallowChar = true;
    return Decision;
}

bool Assigned(uint16_t Commands, int Key)
{
    return (Commands >> (Key - 1) & 1U) != 0;
}

// Insert and Delete in the tree and the lists (a name editor keeps them).
std::optional<TMainKeyDecision> PaneKey(const TMainKeyState& S, const TMainKeyDecision& D)
{
    if (!IsTreeOrList(S.Focus) || S.NameEditing)
        return std::nullopt;
    const bool list = IsFileList(S.Focus);
    const bool shift = S.Modifiers == kmShift;
    const bool ctrl = S.Modifiers == kmCtrl;
    if (S.Key == vkey::kInsert && (S.Modifiers == kmNone || ctrl)) {
        if (list && S.VirtualFolder)
            return Refuse(D);
        const bool enabled = ctrl ? S.NewFileEnabled : S.NewDirEnabled;
        return enabled ? Run(D, ctrl ? A::NewFile : A::NewDir) : Refuse(D);
    }
    if (S.Key == vkey::kDelete && (S.Modifiers == kmNone || shift)) {
        // Shift asks for good only for this one key.
        const TActionId command = shift ? A::DeleteObjectPhysical : A::DeleteObject;
        if (list)
            return S.DeletePhysicalEnabled ? Run(D, command) : Refuse(D);
        if (S.DeleteEnabled)
            return Run(D, command);
        return std::nullopt;
    }
    return std::nullopt;
}

TMainKeyDecision PlainKey(const TMainKeyState& S, const TMainKeyDecision& D)
{
    const bool list = IsFileList(S.Focus) && !S.NameEditing;
    switch (S.Key) {
    case vkey::kMultiply:
        return list ? Run(D, A::SelectInvert, true) : D;
    case vkey::kAdd:
        return list ? Run(D, A::SelectSeveral, true) : D;
    case vkey::kSubtract:
        return list ? Run(D, A::SelectUnselect, true) : D;
    case vkey::kBack:
        return list ? Run(D, A::DirUp, true) : D;
    case vkey::kF2:
        // The command refuses on its own where nothing can be renamed.
        return IsTreeOrList(S.Focus) && !S.NameEditing ? Run(D, A::EditObject) : D;
    case vkey::kF3:
        // The text controls search their text; elsewhere the folder search
        // stands in while the file search is not possible.
        if (S.NameEditing || IsTextControl(S.Focus) || S.Focus == TKeyFocus::DriveBox)
            return D;
        return Run(D, S.FindFileEnabled ? A::FindDatei : A::FindDlg);
    case vkey::kF4:
        if (S.NameEditing)
            return D;
        if (IsFileList(S.Focus) && S.HistoryBoxShown)
            return Move(D, TKeyMove::DropDownHistory);
        if (S.Focus == TKeyFocus::Tree && S.DriveBoxShown)
            return Move(D, TKeyMove::DropDownDriveBox);
        return D;
    default:
        return D;
    }
}

TMainKeyDecision ShiftKey(const TMainKeyState& S, const TMainKeyDecision& D)
{
    if (S.Key >= vkey::kF1 && S.Key <= vkey::kF12) {
        const int key = S.Key - vkey::kF1 + 1;
        // Unassigned, Shift+F10 stays the focused control's context menu.
        return Assigned(S.ShiftCommands, key) ? UserCommand(D, key, kShiftCommandSet) : D;
    }
    return D;
}

TMainKeyDecision AltKey(const TMainKeyState& S, const TMainKeyDecision& D)
{
    // The editor keeps its Alt keys.
    if (S.Focus == TKeyFocus::Editor || S.NameEditing)
        return D;
    switch (S.Key) {
    case vkey::kBack:
        if (S.TextUndoEnabled)
            return Run(D, A::TextUndo, true);
        return S.FileUndoEnabled ? Run(D, A::FileUndo, true) : Refuse(D);
    case vkey::kLeft:
        return S.CanGoBack ? Run(D, A::GoPrev) : Refuse(D);
    case vkey::kRight:
        return S.CanGoForward ? Run(D, A::GoNext) : Refuse(D);
    default:
        return D;
    }
}

TMainKeyDecision CtrlKey(const TMainKeyState& S, const TMainKeyDecision& D)
{
    if (S.Key >= vkey::kF1 && S.Key <= vkey::kF12)
        return UserCommand(D, S.Key - vkey::kF1 + 1, kCtrlCommandSet);
    const bool text = IsTextControl(S.Focus);
    switch (S.Key) {
    case vkey::kBack:
        // The editor takes back a word.
        if (!S.TreeNodeBelowDrive || S.NameEditing || S.Focus == TKeyFocus::Editor)
            return D;
        return Run(D, A::DirRoot, true);
    case vkey::kTab:
        if (!S.CommandLineShown || S.Focus == TKeyFocus::TextView || S.Focus == TKeyFocus::Editor ||
            S.Focus == TKeyFocus::HexView || S.NameEditing)
            return D;
        return Move(D, S.Focus == TKeyFocus::CommandBox ? TKeyMove::BackFromCommandBox : TKeyMove::ToCommandBox);
    case vkey::kReturn:
        if (!S.ListSelection || !S.CommandLineShown || S.NameEditing || S.Focus == TKeyFocus::Editor)
            return D;
        return Run(D, A::CommandLineName, true);
    case 'C':
    case 'X':
        if (S.NameEditing || text || S.VirtualFolder)
            return D;
        return Run(D, S.Key == 'X' ? A::ClipBoardCut : A::ClipBoardCopy, true);
    case 'V':
        if (S.NameEditing || text || S.VirtualFolder)
            return D;
        return Run(D, A::ClipBoardPaste, true);
    default:
        break;
    }
    if (S.Key >= vkey::kNumpad1 && S.Key <= vkey::kNumpad5 && !S.NameEditing) {
        constexpr TActionId columns[] = {A::SortName, A::SortSize, A::SortType, A::SortDate, A::SortAttr};
        return Run(D, columns[S.Key - vkey::kNumpad1], true);
    }
    // The pane keys of the tree and the lists.
    const bool pane = IsTreeOrList(S.Focus) || S.Focus == TKeyFocus::ArchiveList;
    if (!pane || S.NameEditing)
        return D;
    switch (S.Key) {
    case 'Z':
        return S.Focus == TKeyFocus::ArchiveList ? D : Run(D, A::FileUndo, true);
    case 'D':
        return S.Focus == TKeyFocus::ArchiveList ? D : Run(D, A::DOS, true);
    case 'A':
        return Run(D, A::SelectAll, true);
    case 'I':
        return Run(D, A::SelectInvert, true);
    default:
        return D;
    }
}

TMainKeyDecision ShiftCtrlKey(const TMainKeyState& S, const TMainKeyDecision& D)
{
    if (S.Key == vkey::kReturn && S.ListSelection && S.CommandLineShown && !S.NameEditing &&
        S.Focus != TKeyFocus::Editor)
        return Run(D, A::CommandLineAllNames, true);
    return D;
}

}  // namespace

bool IsFileList(TKeyFocus Focus)
{
    return Focus == TKeyFocus::List1 || Focus == TKeyFocus::List2;
}

bool IsTextControl(TKeyFocus Focus)
{
    switch (Focus) {
    case TKeyFocus::TextView:
    case TKeyFocus::HexView:
    case TKeyFocus::Editor:
    case TKeyFocus::CommandBox:
    case TKeyFocus::HistoryBox1:
    case TKeyFocus::HistoryBox2:
        return true;
    default:
        return false;
    }
}

TMainKeyDecision DecideMainKey(const TMainKeyState& State)
{
    TMainKeyDecision decision;
    decision.FunctionKeySet = (State.Modifiers & kmCtrl) ? kCtrlCommandSet : kShiftCommandSet;
    if (State.KeyUp)
        return decision;
    if (const auto pane = PaneKey(State, decision))
        return *pane;
    switch (State.Modifiers) {
    case kmNone:
        return PlainKey(State, decision);
    case kmShift:
        return ShiftKey(State, decision);
    case kmAlt:
        return AltKey(State, decision);
    case kmCtrl:
        return CtrlKey(State, decision);
    case kmShift | kmCtrl:
        return ShiftCtrlKey(State, decision);
    default:
        return decision;
    }
}

bool DropMainChar(wchar_t Char, TKeyFocus Focus, bool NameEditing)
{
    const bool fileCommandChar = Char == 3 || Char == 22 || Char == 24;
    return fileCommandChar && IsTreeOrList(Focus) && !NameEditing;
}

}  // namespace qrv

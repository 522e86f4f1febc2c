#include "mainwindow/win/WindowKeys.h"

namespace qrv {

namespace {

bool IsModifierKey(uint16_t Key)
{
    return Key == vkey::kShift || Key == vkey::kControl || Key == vkey::kMenu;
}

}  // namespace

uint8_t KeyModifiers(TShortCut Shift)
{
    uint8_t modifiers = kmNone;
    if (Shift & scShift)
        modifiers |= kmShift;
    if (Shift & scCtrl)
        modifiers |= kmCtrl;
    if (Shift & scAlt)
        modifiers |= kmAlt;
    return modifiers;
}

void TWindowKeys::KeyDown(uint16_t& Key, TShortCut Shift)
{
    swallowChar_ = false;
    // A modifier alone changes nothing but the toolbar's set: the window's
    // state is not asked for it.
    const bool modifier = IsModifierKey(Key);
    auto decide = [&] {
        TMainKeyState state = modifier ? TMainKeyState{} : host_.KeyState();
        state.Key = Key;
        state.Modifiers = KeyModifiers(Shift);
        state.KeyUp = false;
        return DecideMainKey(state);
    };
    TMainKeyDecision decision = decide();
    // The commands' states are brought up to date only for a key the table
    // may take (typing goes on without an action pass per key); Delete in
    // the tree passes while its command seems disabled.
    if (!modifier && (decision.Consume || Key == vkey::kDelete) && host_.RefreshStates())
        decision = decide();
    host_.ShowFunctionKeySet(decision.FunctionKeySet);
    if (!decision.Consume)
        return;
    Key = 0;
    swallowChar_ = decision.SwallowChar;
    Carry(decision);
}

void TWindowKeys::KeyUp(uint16_t& Key, TShortCut Shift)
{
    TMainKeyState state;
    state.Key = Key;
    state.Modifiers = KeyModifiers(Shift);
    state.KeyUp = true;
    host_.ShowFunctionKeySet(DecideMainKey(state).FunctionKeySet);
}

void TWindowKeys::KeyPress(wchar_t& Char)
{
    if (swallowChar_) {
        swallowChar_ = false;
        Char = 0;
        return;
    }
    if (DropMainChar(Char, host_.FocusKind(), host_.NameEditing()))
        Char = 0;
}

void TWindowKeys::Carry(const TMainKeyDecision& Decision)
{
    if (Decision.Beep)
        host_.Beep();
    if (Decision.UserCommandKey != 0)
        host_.RunUserCommand(Decision.UserCommandKey, Decision.UserCommandSet);
    switch (Decision.Move) {
    case TKeyMove::DropDownHistory:
        host_.DropDownHistory();
        break;
    case TKeyMove::DropDownDriveBox:
        host_.DropDownDriveBox();
        break;
    case TKeyMove::ToCommandBox:
        beforeCommandBox_ = host_.FocusedWindow();
        host_.FocusCommandBox();
        break;
    case TKeyMove::BackFromCommandBox: {
        const HWND back = beforeCommandBox_;
        beforeCommandBox_ = nullptr;
        if (back == nullptr || !host_.FocusWindow(back))
            host_.FocusActiveList();
        break;
    }
    case TKeyMove::None:
        break;
    }
    // A command the window has not built (yet) is refused like one that
    // cannot run.
    if (Decision.Command && !host_.RunCommand(*Decision.Command))
        host_.Beep();
}

}  // namespace qrv

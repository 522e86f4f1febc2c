#pragma once
// TWindowKeys: the main window's keys. The form's key preview hands it every
// key of the window after the enabled actions' shortcuts and before the
// focused control; it asks the key table (mainwindow/KeyTable.h) and carries
// out the decision: a command of the catalogue, a user command, a move of
// the focus (F4, Strg+Tab), the refusal's beep, the function-key toolbar's
// set of captions, and the dropped characters of the keys it took. It reaches
// the window through TWindowKeysHost (answered by TWindowKeysLink).

#include "framework/ShortCuts.h"
#include "framework/win/WinApi.h"
#include "mainwindow/KeyTable.h"

#include <cstdint>

namespace qrv {

class TWindowKeysHost {
public:
    virtual ~TWindowKeysHost() = default;
    // The window's state for a key (all but the key and its modifiers).
    virtual TMainKeyState KeyState() = 0;
    // Brings the commands' enabled states up to date when a pass is due;
    // false when they were current.
    virtual bool RefreshStates() = 0;
    // The focused control and the window's state that a character needs.
    virtual TKeyFocus FocusKind() = 0;
    virtual bool NameEditing() = 0;
    // Runs a command of the catalogue; false when it has no handler.
    virtual bool RunCommand(TActionId Id) = 0;
    virtual void RunUserCommand(int Key, int Set) = 0;
    virtual void ShowFunctionKeySet(int Set) = 0;
    virtual void DropDownHistory() = 0;
    virtual void DropDownDriveBox() = 0;
    virtual HWND FocusedWindow() = 0;
    virtual void FocusCommandBox() = 0;
    // Focuses Window when it is still there and can take the focus; false
    // when it cannot.
    virtual bool FocusWindow(HWND Window) = 0;
    virtual void FocusActiveList() = 0;
    virtual void Beep() = 0;
};

class TWindowKeys {
public:
    explicit TWindowKeys(TWindowKeysHost& Host) : host_(Host) {}

    // The form's key events; Key or Char set to 0 when taken.
    void KeyDown(uint16_t& Key, TShortCut Shift);
    void KeyUp(uint16_t& Key, TShortCut Shift);
    void KeyPress(wchar_t& Char);

    // The control the focus left for the command box with Strg+Tab.
    HWND BeforeCommandBox() const { return beforeCommandBox_; }

private:
    void Carry(const TMainKeyDecision& Decision);

    TWindowKeysHost& host_;
    // A key taken whose character must not reach the control either.
    bool swallowChar_ = false;
    HWND beforeCommandBox_ = nullptr;
};

// The table's modifier bits of a shortcut's.
uint8_t KeyModifiers(TShortCut Shift);

}  // namespace qrv

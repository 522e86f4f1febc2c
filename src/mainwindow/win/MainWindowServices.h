#pragma once
// TMainWindowServices: what every command area may ask of the main window
// besides its panes (TMainPanes). An area's own questions go through a
// narrow host interface of its own, beside this one.

#include "framework/win/MessageDialog.h"

#include <string>

namespace qrv {

class TForm;

class TMainWindowServices {
public:
    virtual ~TMainWindowServices() = default;
    // The window's message box: the button pressed (mrOk ...).
    virtual int ShowMessageBox(const std::wstring& Text, TMsgDlgType Kind, int HelpContext, TMsgDlgButtons Buttons) = 0;
    // The status bar follows the focus, the lists and the display pane.
    virtual void RefreshStatusBar() = 0;
    // The enabled and checked states of the commands.
    virtual void UpdateActionStates() = 0;
    // True while the program shuts down.
    virtual bool Terminating() = 0;
    // Offers to save a changed text of the display pane; false when the
    // pending action must stop (Cancel, or the save failed).
    virtual bool QuerySaveModifiedText() = 0;
    // Puts a progress form where the window shows its long-running work
    // (near the main panel's top left corner); the form keeps its size.
    virtual void PlaceProgressForm(TForm& Progress) = 0;
    // The window a progress form or a dialog of an area belongs to; nullptr
    // without one.
    virtual TForm* Window() = 0;
};

}  // namespace qrv

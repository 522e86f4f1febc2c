#pragma once
// TWindowKeysLink: the main window's keys in the window. It switches on the
// form's key preview, hands the keys to TWindowKeys and answers what it asks:
// the focused pane, the lists' and the tree's state, the commands' enabled
// states (a due action pass is run for a key the table takes, so that a key
// right after a click finds them current), the catalogue's commands, the user commands and
// the boxes the focus moves to.

#include "mainwindow/win/MainPanes.h"
#include "mainwindow/win/WindowKeys.h"

#include <functional>

namespace qrv {

class TActionCatalogue;
class TCommandMenus;
class TComboBox;
class TForm;
class TUserCommands;
class TWinControl;
struct TOptions;

struct TWindowKeysParts {
    TForm* Form = nullptr;
    TComboBox* CommandBox = nullptr;
    TWinControl* DriveBox = nullptr;
    // Runs the action-state pass when one is due; false when none was.
    std::function<bool()> RunDueActionPass;
};

class TWindowKeysLink : private TWindowKeysHost {
public:
    TWindowKeysLink(const TMainPanes& Panes, const TActionCatalogue& Catalogue, const TCommandMenus& Menus,
                    TUserCommands& UserCommands, const TOptions& Options, TWindowKeysParts Parts);
    TWindowKeysLink(const TWindowKeysLink&) = delete;
    TWindowKeysLink& operator=(const TWindowKeysLink&) = delete;

    TWindowKeys& Keys() { return keys_; }

private:
    TMainKeyState KeyState() override;
    bool RefreshStates() override;
    TKeyFocus FocusKind() override;
    bool NameEditing() override;
    bool RunCommand(TActionId Id) override;
    void RunUserCommand(int Key, int Set) override;
    void ShowFunctionKeySet(int Set) override;
    void DropDownHistory() override;
    void DropDownDriveBox() override;
    HWND FocusedWindow() override;
    void FocusCommandBox() override;
    bool FocusWindow(HWND Window) override;
    void FocusActiveList() override;
    void Beep() override;

    bool Enabled(TActionId Id) const;

    const TMainPanes& panes_;
    const TActionCatalogue& catalogue_;
    const TCommandMenus& menus_;
    TUserCommands& userCommands_;
    const TOptions& options_;
    TWindowKeysParts parts_;
    TWindowKeys keys_{*this};
};

}  // namespace qrv

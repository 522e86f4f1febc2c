#pragma once
// TCommandMenus: the main window's actions, main menu and popups, built from
// the action catalogue. One action per built command, named as its row,
// with the row's caption and key; executing it runs the handler its area
// registered in the catalogue. The main menu and the popups of the lists and
// the tree hold items linked to those actions, so a menu item, a popup item
// and a key run the same code and show the same states.

#include "mainwindow/ActionCatalogue.h"

#include <array>

namespace qrv {

class TAction;
class TActionList;
class TComponent;
class TMainMenu;
class TMenuItem;
class TPopupMenu;

// One slot per menu id.
constexpr size_t kMenuSlots = kMenuCount;

class TCommandMenus {
public:
    // Makes the actions in List, owned by Owner; Catalogue outlives them.
    TCommandMenus(TComponent& Owner, TActionList& List, TActionCatalogue& Catalogue);

    // Nullptr for a planned command.
    TAction* Action(TActionId Id) const { return actions_[static_cast<size_t>(Id)]; }

    // Fills the menu bar: every menu of the catalogue with its built
    // commands; a menu with nothing in it stays hidden until it has.
    void BuildMainMenu(TMainMenu& Menu);
    // The main menu's submenu of that id (the drive menu is filled by the
    // drive bar), and the item of a command.
    TMenuItem* MainMenuItem(TMenuId Id) const { return menus_[static_cast<size_t>(Id)]; }
    TMenuItem* MainMenuItem(TActionId Id) const { return items_[static_cast<size_t>(Id)]; }

    // A popup of the commands that stand in Set, grouped by their menus.
    TPopupMenu* BuildPopup(TPopupSet Set, const wchar_t* Name);

private:
    TMenuItem* AddCommand(TMenuItem& Parent, const TActionRow& Row, const TActionRow*& Previous);

    TComponent& owner_;
    TActionCatalogue& catalogue_;
    std::array<TAction*, kActionCount> actions_{};
    std::array<TMenuItem*, kActionCount> items_{};
    std::array<TMenuItem*, kMenuSlots> menus_{};
};

}  // namespace qrv

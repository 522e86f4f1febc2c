#include "mainwindow/win/CommandMenus.h"

#include "framework/IgnoredError.h"
#include "framework/win/ActnList.h"
#include "framework/win/Menus.h"

#include <utility>

namespace qrv {

namespace {

TMenuItem* AddItem(TComponent& Owner, TMenuItem& Parent, const std::wstring& Caption)
{
    auto* item = new TMenuItem(&Owner);
    item->SetCaption(Caption);
    Parent.Add(item);
    return item;
}

bool HasVisibleItem(const TMenuItem& Menu)
{
    for (int i = 0; i < Menu.Count(); ++i)
        if (Menu.Items(i)->Visible() && !Menu.Items(i)->IsLine())
            return true;
    return false;
}

// Shown in the menus: built, offered and placed in a menu.
bool Shown(const TActionRow& Row)
{
    return NeedsHandler(Row) && Row.Offered && Row.Menu != TMenuId::None;
}

}  // namespace

TCommandMenus::TCommandMenus(TComponent& Owner, TActionList& List, TActionCatalogue& Catalogue)
    : owner_(Owner), catalogue_(Catalogue)
{
    for (const TActionRow& row : ActionRows()) {
        if (!NeedsHandler(row))
            continue;
        auto* action = new TAction(&Owner, &List);
        action->SetName(row.Name);
        action->SetCaption(MenuCaption(row));
        if (row.Scope == TKeyScope::Window)
            action->SetShortCut(row.Key);
        const TActionId id = row.Id;
        action->OnExecute = [this, id, &List](TComponent*) {
            if (!catalogue_.Execute(id))
                TraceIgnoredFailure(L"a command without a handler", static_cast<uint32_t>(id));
            // The checks and states that follow from what the command did.
            List.UpdateActions();
        };
        actions_[static_cast<size_t>(id)] = action;
    }
}

TMenuItem* TCommandMenus::AddCommand(TMenuItem& Parent, const TActionRow& Row, const TActionRow*& Previous)
{
    if (Previous && Previous->Group != Row.Group)
        AddItem(owner_, Parent, L"-");
    Previous = &Row;
    TMenuItem* item = AddItem(owner_, Parent, Row.Caption);
    Action(Row.Id)->Link(item);
    return item;
}

void TCommandMenus::BuildMainMenu(TMainMenu& Menu)
{
    for (const TMenuRow& row : MenuRows()) {
        TMenuItem* parent = row.Parent == TMenuId::None ? Menu.Items() : MainMenuItem(row.Parent);
        TMenuItem* item = AddItem(owner_, *parent, row.Caption);
        item->SetName(row.Name);
        // A menu id past kMenuCount is a fault of the table, found here.
        menus_.at(static_cast<size_t>(row.Id)) = item;
    }
    // Each menu's commands in the catalogue's order, after its submenus and
    // a line.
    std::array<const TActionRow*, kMenuSlots> previous{};
    std::array<bool, kMenuSlots> lineFirst{};
    for (const TMenuRow& row : MenuRows())
        if (row.Parent != TMenuId::None)
            lineFirst[static_cast<size_t>(row.Parent)] = true;
    for (const TActionRow& row : ActionRows()) {
        if (!Shown(row))
            continue;
        const auto slot = static_cast<size_t>(row.Menu);
        TMenuItem* menu = MainMenuItem(row.Menu);
        if (std::exchange(lineFirst[slot], false))
            AddItem(owner_, *menu, L"-");
        items_[static_cast<size_t>(row.Id)] = AddCommand(*menu, row, previous[slot]);
    }
    // The drive menu is filled by the drive bar; other empty menus wait for
    // their commands.
    for (const TMenuRow& row : MenuRows())
        if (row.Parent == TMenuId::None)
            MainMenuItem(row.Id)->SetVisible(HasVisibleItem(*MainMenuItem(row.Id)));
}

TPopupMenu* TCommandMenus::BuildPopup(TPopupSet Set, const wchar_t* Name)
{
    auto* popup = new TPopupMenu(&owner_);
    popup->SetName(Name);
    TMenuItem& root = *popup->Items();
    // The commands grouped by their top menu, with a line between groups;
    // a submenu with a popup name stays a submenu.
    std::array<TMenuItem*, kMenuSlots> submenus{};
    std::array<const TActionRow*, kMenuSlots> inSubmenu{};
    const TActionRow* previous = nullptr;
    TMenuId previousTop = TMenuId::None;
    for (const TActionRow& row : ActionRows()) {
        if (!Shown(row) || !(row.Popups & Set))
            continue;
        const TMenuRow& menu = MenuRow(row.Menu);
        const TMenuId top = menu.Parent == TMenuId::None ? menu.Id : menu.Parent;
        if (previous && top != previousTop) {
            AddItem(owner_, root, L"-");
            previous = nullptr;
        }
        previousTop = top;
        if (menu.Parent != TMenuId::None && menu.PopupName) {
            TMenuItem*& submenu = submenus[static_cast<size_t>(menu.Id)];
            if (!submenu) {
                if (previous)
                    AddItem(owner_, root, L"-");
                submenu = AddItem(owner_, root, menu.Caption);
                submenu->SetName(menu.PopupName);
                previous = nullptr;
            }
            AddCommand(*submenu, row, inSubmenu[static_cast<size_t>(menu.Id)]);
            continue;
        }
        AddCommand(root, row, previous);
    }
    return popup;
}

}  // namespace qrv

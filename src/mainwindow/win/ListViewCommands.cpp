#include "mainwindow/win/ListViewCommands.h"

#include "framework/win/ActnList.h"
#include "mainwindow/win/CommandMenus.h"
#include "panels/win/DirView.h"
#include "panels/win/DriveView.h"

#include <commctrl.h>

namespace qrv {

namespace {

void ShowFocusedItem(TCustomListView* List)
{
    if (!List || !List->Visible() || !List->HandleAllocated())
        return;
    if (const int focused = List->ItemFocused(); focused >= 0)
        ListView_EnsureVisible(List->Handle(), focused, FALSE);
}

}  // namespace

void TListViewCommands::Connect(TActionCatalogue& Catalogue, TCommandMenus& Menus)
{
    using A = TActionId;
    Catalogue.Register(A::SortOrder, [this] { ToggleSortOrder(); });
    if (TAction* order = Menus.Action(A::SortOrder))
        order->OnUpdate = [this, order](TComponent*) {
            TDirView* list = panes_.ActiveList;
            order->SetEnabled(list != nullptr);
            order->SetChecked(list && list->SortAscending());
        };
    const TActionId columns[] = {A::SortName, A::SortSize, A::SortType, A::SortDate, A::SortAttr};
    for (int column = 0; column < 5; ++column) {
        Catalogue.Register(columns[column], [this, column] { SortBy(column); });
        if (TAction* action = Menus.Action(columns[column]))
            action->OnUpdate = [this, action, column](TComponent*) {
                TDirView* list = panes_.ActiveList;
                action->SetEnabled(list != nullptr);
                action->SetChecked(list && list->SortColumn() == column);
            };
    }
    Catalogue.Register(A::GoHome, [this] { GoHome(); });
    if (TAction* home = Menus.Action(A::GoHome))
        home->SetHint(L"Ansicht aufräumen");
}

void TListViewCommands::ToggleSortOrder()
{
    if (TDirView* list = panes_.ActiveList)
        list->SetSortAscending(!list->SortAscending());
}

void TListViewCommands::SortBy(int Column)
{
    if (TDirView* list = panes_.ActiveList)
        list->SetSortColumn(Column);
}

void TListViewCommands::GoHome()
{
    if (TDriveView* tree = panes_.TreeView1; tree && tree->HandleAllocated()) {
        tree->CollapseToSelection();
        if (TTreeNode* node = tree->Selected(); node && node->ItemId())
            TreeView_EnsureVisible(tree->Handle(), node->ItemId());
    }
    ShowFocusedItem(panes_.ActiveList);
    ShowFocusedItem(panes_.OtherList());
    ShowFocusedItem(host_.ShownArchiveList());
}

}  // namespace qrv

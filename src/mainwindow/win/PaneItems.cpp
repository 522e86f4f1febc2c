#include "mainwindow/win/PaneItems.h"

#include "panels/win/DirView.h"

namespace qrv {

TCommandItem CommandItem(const TDirView& List, const TFileRec& Item)
{
    return {Item.FileName, List.ItemFullFileName(&Item), Item.IsDirectory || Item.IsParentDir};
}

std::vector<TCommandItem> SelectedItems(const TDirView* List)
{
    std::vector<TCommandItem> items;
    if (!List)
        return items;
    for (int i = 0; i < List->ItemCount(); ++i)
        if (const TFileRec* item = List->GetItemData(i); item && item->Selected && !item->IsParentDir)
            items.push_back(CommandItem(*List, *item));
    return items;
}

}  // namespace qrv

#pragma once
// The items of a file list as the commands that work on them see them:
// name, full path and whether it is a folder.

#include "mainwindow/CommandPlaceholders.h"

#include <vector>

namespace qrv {

class TDirView;
struct TFileRec;

TCommandItem CommandItem(const TDirView& List, const TFileRec& Item);
// The list's selected items in list order, the parent entry left out; none
// without a list.
std::vector<TCommandItem> SelectedItems(const TDirView* List);

}  // namespace qrv

#pragma once
// Selection by filter in a shown directory list: the records decide (no
// second search of the folder), the control takes the states at the end.

#include "panels/FileSelect.h"

namespace qrv {

class TDirView;

// Sets the selection of the matching items of List to Select; compressed
// and encrypted take part where the folder's drive is NTFS (any letter case
// of the path). Returns the number of items matched.
int SelectFilesInList(TDirView& List, const TFileSelectFilter& Filter, bool Select);

}  // namespace qrv

#pragma once
// The order of the archive list by a column: name (locale order, case
// ignored), size, type (type name then name, or the extension with
// SortByExtension), changed, and path (path first, then name). The keys
// are made once per item before the sort. Portable.

#include "archives/ZipItems.h"
#include "panels/DirViewSort.h"

namespace qrv {

// The type column sorts by type names: look them up first.
bool ZipSortNeedsTypeNames(int Column, bool SortByExtension);

// Orders Items by Column (0..4); false and no change for any other column.
// Equal keys keep their order.
bool SortZipItems(TZipItems& Items, int Column, bool Ascending, bool SortByExtension, const TSortCollator& Collator);

}  // namespace qrv

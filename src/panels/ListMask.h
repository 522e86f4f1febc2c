#pragma once
// The mask text of a sortable list view. Portable.

#include <string>
#include <string_view>

namespace qrv {

// The mask as the list keeps it: blanks trimmed, empty becomes "*.*", blanks
// and commas become ";", doubled ";" collapse, lower case.
std::wstring NormalizeListMask(std::wstring_view mask);

}  // namespace qrv

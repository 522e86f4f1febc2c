#pragma once
// The filter text of the open dialogs, built from the named filter list.
// Portable.

#include "settings/Quorvan32Globals.h"

#include <string>
#include <vector>

namespace qrv {

// "Name (masks)|masks" for each entry in list order, joined by "|"; empty
// for an empty list.
std::wstring BuildFilterString(const std::vector<TFilterRec>& Filters);

}  // namespace qrv

#pragma once
// Lookups between the names of the named file filters and their mask lists.
// Portable.

#include "settings/Quorvan32Globals.h"

#include <string>
#include <vector>

namespace qrv {

// A text with "*" or "?" is a mask list and comes back unchanged; else the
// masks of the first filter whose name equals it ignoring case; else the
// text itself. The one resolution of a filter name typed or chosen in place
// of masks: the filter dialogs and the filter box use it too.
std::wstring FilterMasksForName(const std::vector<TFilterRec>& Filters, const std::wstring& Text);
// The index of the first filter whose masks equal Masks exactly; -1 for none.
int FindFilterByMask(const std::vector<TFilterRec>& Filters, const std::wstring& Masks);
// The name of the first filter whose masks equal Masks exactly; else Masks.
std::wstring FilterNameForMasks(const std::vector<TFilterRec>& Filters, const std::wstring& Masks);

}  // namespace qrv

#pragma once
// What a file window shows, as a value: its folder, its filter, its sort
// order and view style, whether it has a ".." item, and its selection and
// focus by file name. Swapping the two windows and making the other window
// equal to the active one are exchanges of these records; the window reads
// a list into one and applies one after the re-read. Names, not the shown
// captions, carry the selection: with extensions hidden "a.txt" and "a.doc"
// both read "a". Portable.

#include "panels/DirFilter.h"

#include <string>
#include <vector>

namespace qrv {

struct TWindowViewState {
    std::wstring Path;
    std::wstring Mask;
    TLoadFilter Filter;
    int SortColumn = 0;
    bool SortAscending = true;
    int ViewStyle = 0;
    bool ParentItem = false;  // the list shows a ".." item
    // The selected items' file names and the focused item's name and index.
    std::vector<std::wstring> SelectedNames;
    std::wstring FocusedName;
    int FocusedIndex = -1;
};

// Swapping: everything but the compressed and encrypted choices, which stay
// with their window.
void SwapViewStates(TWindowViewState& A, TWindowViewState& B);

// Equalising: To takes From's folder, mask, date and size windows, hidden,
// read-only, system and archive choices, sort order, ".." item, selection
// and focus; its view style and compressed and encrypted choices stay.
void EqualizeViewState(const TWindowViewState& From, TWindowViewState& To);

// The indexes of Names (a list's items after the re-read) that are among
// Selected, compared ignoring case as file names are.
std::vector<size_t> ItemsToSelect(const std::vector<std::wstring>& Names, const std::vector<std::wstring>& Selected);

// The item to focus: the one named Focused when the list has it, else the
// one at FallbackIndex when in range; -1 for none.
int ItemToFocus(const std::vector<std::wstring>& Names, const std::wstring& Focused, int FallbackIndex);

}  // namespace qrv

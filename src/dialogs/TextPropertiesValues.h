#pragma once
// What the text properties form shows and gives back: the editor's key
// mapping, its tab stops, whether Tab goes into the text, whether saving
// keeps a ".bak" copy, and the editor's switches, each with its caption.
// The window fills the record from the editor and applies it only after OK,
// so that Cancel changes nothing. Portable.

#include <string>
#include <vector>

namespace qrv {

struct TTextSwitch {
    std::wstring Caption;
    bool Checked = false;
};

struct TTextPropertiesValues {
    int KeyMapping = 0;  // an index of TextKeyMappingNames()
    std::wstring TabStops;
    bool WantTabs = false;
    bool BAKFiles = true;
    std::vector<TTextSwitch> Switches;
};

// The key mappings the form offers, in the editor's order.
const std::vector<std::wstring>& TextKeyMappingNames();

}  // namespace qrv

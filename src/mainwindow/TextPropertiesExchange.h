#pragma once
// Between the text editor's settings and the text properties form: the
// switches the form offers (each one bit of the editor's options), the key
// mapping, the tab stops and the Tab key. Options the form does not offer
// keep their bits. Portable.

#include "dialogs/TextPropertiesValues.h"

#include <cstdint>
#include <string>

namespace qrv {

struct TTextEditorSettings {
    uint32_t Options = 0;  // TEasyEditorOptions
    int KeyMapping = 0;    // TEasyKeyMapping
    std::wstring TabStops;
    bool WantTabs = false;
};

TTextPropertiesValues TextPropertiesFromEditor(const TTextEditorSettings& Editor, bool BAKFiles);
// The editor's settings as the form left them (Before: as they were).
TTextEditorSettings EditorFromTextProperties(const TTextEditorSettings& Before, const TTextPropertiesValues& Values);

}  // namespace qrv

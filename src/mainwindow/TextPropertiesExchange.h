#pragma once
// Between the text editor's settings and the text properties form: the
// switches the form offers (each one bit of the editor's options), the key
// mapping, the tab stops and the Tab key. Options the form does not offer
// keep their bits. Portable.

#include "dialogs/TextPropertiesValues.h"
#include "settings/StoredSettings.h"

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

// The form's editor values as the settings keep them ([TextSettings];
// WantTabs and BAKFiles are options of their own): Stored keeps what the
// form does not offer.
void StoreTextProperties(const TTextEditorSettings& Editor, TEditorStoredOptions& Stored);
// The editor's settings as the stored values give them (Before: as they
// are). A key mapping out of range keeps Before's; a tab stop list the
// editor refuses is for the caller to catch.
TTextEditorSettings LoadTextProperties(const TTextEditorSettings& Before, const TEditorStoredOptions& Stored);

}  // namespace qrv

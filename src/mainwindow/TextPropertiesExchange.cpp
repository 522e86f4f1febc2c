#include "mainwindow/TextPropertiesExchange.h"

#include "editor/EasyEditorOptions.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace qrv {

namespace {

struct TSwitchRow {
    TEasyEditorOption Bit;
    const wchar_t* Caption;
};

// The editor's switches a user of the text display changes, in the form's order.
constexpr TSwitchRow kSwitches[] = {
    {eoPaintMargin, L"Randlinie anzeigen"},
    {eoPersistentBlocks, L"Markierung bleibt beim Bewegen erhalten"},
    {eoOverwriteBlocks, L"Eingabe ersetzt die Markierung"},
    {eoEnableDragging, L"Markierten Text ziehen und ablegen"},
    {eoSelectBeyondEol, L"Markieren hinter dem Zeilenende"},
    {eoKeepColumn, L"Spalte beim Zeilenwechsel beibehalten"},
    {eoEnTabBlock, L"Tab rückt die markierten Zeilen ein"},
    {eoShowScrollHint, L"Zeilennummer beim Rollen anzeigen"},
    {eoPaintFormattingMarks, L"Formatierungszeichen anzeigen"},
};

// Each switch of the form beside the stored value that keeps it.
struct TStoredSwitch {
    TEasyEditorOption Bit;
    bool TEditorStoredOptions::*Value;
};

constexpr TStoredSwitch kStoredSwitches[] = {
    {eoPaintMargin, &TEditorStoredOptions::PaintMargin},
    {eoPersistentBlocks, &TEditorStoredOptions::PersistentBlocks},
    {eoOverwriteBlocks, &TEditorStoredOptions::OverWriteBlocks},
    {eoEnableDragging, &TEditorStoredOptions::EnableDragging},
    {eoSelectBeyondEol, &TEditorStoredOptions::SelectBeyondEol},
    {eoKeepColumn, &TEditorStoredOptions::KeepColumn},
    {eoEnTabBlock, &TEditorStoredOptions::EnTabBlock},
    {eoShowScrollHint, &TEditorStoredOptions::ShowScrollHint},
    {eoPaintFormattingMarks, &TEditorStoredOptions::WhiteSpace},
};
static_assert(std::size(kStoredSwitches) == std::size(kSwitches), "every switch of the form is stored");

}  // namespace

void StoreTextProperties(const TTextEditorSettings& Editor, TEditorStoredOptions& Stored)
{
    for (const TStoredSwitch& row : kStoredSwitches)
        Stored.*row.Value = (Editor.Options & row.Bit) != 0;
    Stored.KeyMapping = Editor.KeyMapping;
    Stored.TabStopList = Editor.TabStops;
    // The single width of older settings: the list's first stop.
    const int first = static_cast<int>(std::wcstol(Editor.TabStops.c_str(), nullptr, 10));
    if (first > 0)
        Stored.TabStops = first;
}

TTextEditorSettings LoadTextProperties(const TTextEditorSettings& Before, const TEditorStoredOptions& Stored)
{
    TTextEditorSettings after = Before;
    for (const TStoredSwitch& row : kStoredSwitches) {
        if (Stored.*row.Value)
            after.Options |= row.Bit;
        else
            after.Options &= ~static_cast<uint32_t>(row.Bit);
    }
    const int mappings = static_cast<int>(TextKeyMappingNames().size());
    if (Stored.KeyMapping >= 0 && Stored.KeyMapping < mappings)
        after.KeyMapping = Stored.KeyMapping;
    if (!Stored.TabStopList.empty())
        after.TabStops = Stored.TabStopList;
    else if (Stored.TabStops > 0)
        after.TabStops = std::to_wstring(Stored.TabStops);
    return after;
}

TTextPropertiesValues TextPropertiesFromEditor(const TTextEditorSettings& Editor, bool BAKFiles)
{
    TTextPropertiesValues values;
    const int mappings = static_cast<int>(TextKeyMappingNames().size());
    values.KeyMapping = std::clamp(Editor.KeyMapping, 0, mappings - 1);
    values.TabStops = Editor.TabStops;
    values.WantTabs = Editor.WantTabs;
    values.BAKFiles = BAKFiles;
    for (const TSwitchRow& row : kSwitches)
        values.Switches.push_back({row.Caption, (Editor.Options & row.Bit) != 0});
    return values;
}

TTextEditorSettings EditorFromTextProperties(const TTextEditorSettings& Before, const TTextPropertiesValues& Values)
{
    TTextEditorSettings after = Before;
    const int mappings = static_cast<int>(TextKeyMappingNames().size());
    if (Values.KeyMapping >= 0 && Values.KeyMapping < mappings)
        after.KeyMapping = Values.KeyMapping;
    after.TabStops = Values.TabStops;
    after.WantTabs = Values.WantTabs;
    const size_t shown = std::min(Values.Switches.size(), std::size(kSwitches));
    for (size_t i = 0; i < shown; ++i) {
        if (Values.Switches[i].Checked)
            after.Options |= kSwitches[i].Bit;
        else
            after.Options &= ~static_cast<uint32_t>(kSwitches[i].Bit);
    }
    return after;
}

}  // namespace qrv

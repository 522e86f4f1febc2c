// The text properties between the editor and the form: every switch shown
// as its bit stands, given back into that bit only, the rest kept; and
// between the editor and the stored settings.

#include "mainwindow/TextPropertiesExchange.h"

#include "editor/EasyEditorOptions.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(TextPropertiesExchangeTest, RoundTripKeepsEverything)
{
    for (uint32_t options : {uint32_t{0}, DefaultEasyEditorOptions, ~uint32_t{0}}) {
        const TTextEditorSettings editor{options, 2, L"4,8,12", true};
        const TTextPropertiesValues values = TextPropertiesFromEditor(editor, false);
        EXPECT_FALSE(values.BAKFiles);
        EXPECT_EQ(values.KeyMapping, 2);
        const TTextEditorSettings back = EditorFromTextProperties(editor, values);
        EXPECT_EQ(back.Options, options);
        EXPECT_EQ(back.KeyMapping, 2);
        EXPECT_EQ(back.TabStops, L"4,8,12");
        EXPECT_TRUE(back.WantTabs);
    }
}

TEST(TextPropertiesExchangeTest, EachSwitchIsOneBit)
{
    const TTextEditorSettings editor{DefaultEasyEditorOptions, 0, L"8", false};
    const TTextPropertiesValues shown = TextPropertiesFromEditor(editor, true);
    ASSERT_FALSE(shown.Switches.empty());
    uint32_t seen = 0;
    for (size_t i = 0; i < shown.Switches.size(); ++i) {
        TTextPropertiesValues values = shown;
        values.Switches[i].Checked = !values.Switches[i].Checked;
        const uint32_t changed = EditorFromTextProperties(editor, values).Options ^ editor.Options;
        // Exactly one bit, and no two switches share one.
        EXPECT_EQ(changed & (changed - 1), 0u) << i;
        EXPECT_NE(changed, 0u) << i;
        EXPECT_EQ(changed & seen, 0u) << i;
        seen |= changed;
        EXPECT_FALSE(values.Switches[i].Caption.empty());
    }
    // Bracket highlighting is not offered: its bit stays.
    EXPECT_EQ(seen & eoHighlightBrackets, 0u);
}

TEST(TextPropertiesExchangeTest, KeyMappingOutsideTheListIsKept)
{
    const TTextEditorSettings editor{0, 1, L"", false};
    TTextPropertiesValues values = TextPropertiesFromEditor(editor, true);
    values.KeyMapping = -1;
    EXPECT_EQ(EditorFromTextProperties(editor, values).KeyMapping, 1);
    values.KeyMapping = static_cast<int>(TextKeyMappingNames().size()) - 1;
    EXPECT_EQ(EditorFromTextProperties(editor, values).KeyMapping, values.KeyMapping);
}

// The form's values kept in the settings and given back to the editor:
// every switch by its row (the three rows of older settings among them),
// the key mapping, the tab stop list; what the form does not offer stays.
TEST(TextPropertiesExchangeTest, StoredValuesGiveTheEditorItsSettingsBack)
{
    for (uint32_t options : {uint32_t{0}, DefaultEasyEditorOptions, ~uint32_t{0}}) {
        const TTextEditorSettings editor{options, 3, L"4 8 12", true};
        TEditorStoredOptions stored;
        stored.GroupUndo = false;
        StoreTextProperties(editor, stored);
        EXPECT_FALSE(stored.GroupUndo) << "not the form's";
        EXPECT_EQ(stored.TabStopList, L"4 8 12");
        EXPECT_EQ(stored.TabStops, 4) << "the first stop for the width row";
        EXPECT_EQ(stored.OverWriteBlocks, (options & eoOverwriteBlocks) != 0);
        EXPECT_EQ(stored.WhiteSpace, (options & eoPaintFormattingMarks) != 0);
        const TTextEditorSettings fresh{options ^ ~uint32_t{0}, 0, L"8", false};
        const TTextEditorSettings back = LoadTextProperties(fresh, stored);
        const TTextPropertiesValues shown = TextPropertiesFromEditor(back, true);
        const TTextPropertiesValues wanted = TextPropertiesFromEditor(editor, true);
        ASSERT_EQ(shown.Switches.size(), wanted.Switches.size());
        for (size_t i = 0; i < shown.Switches.size(); ++i)
            EXPECT_EQ(shown.Switches[i].Checked, wanted.Switches[i].Checked) << i;
        EXPECT_EQ(back.KeyMapping, 3);
        EXPECT_EQ(back.TabStops, L"4 8 12");
        EXPECT_EQ(back.Options & eoHighlightBrackets, fresh.Options & eoHighlightBrackets) << "not the form's";
    }
    // Older settings: only the width; a stored mapping out of range is not taken.
    TEditorStoredOptions older;
    older.TabStops = 3;
    older.KeyMapping = 99;
    const TTextEditorSettings loaded = LoadTextProperties(TTextEditorSettings{0, 1, L"8", false}, older);
    EXPECT_EQ(loaded.TabStops, L"3");
    EXPECT_EQ(loaded.KeyMapping, 1);
}

}  // namespace

// The text properties between the editor and the form: every switch shown
// as its bit stands, given back into that bit only, the rest kept.

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

}  // namespace

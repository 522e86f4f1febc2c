#include "editor/EasyEditorSetters.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(EasyEditorSetters, AnOptionsChangeCutsTheRowsOnlyWhenItMovesThemWhileWrapping)
{
    const TEasyEditorOptions base = DefaultEasyEditorOptions;
    const struct {
        TEasyEditorOptions After;
        bool Wrapping;
        bool Changed, RebuildRows;
    } cases[] = {
        {base, true, false, false},                           // nothing changes
        {base ^ eoBreakWordsAtMargin, true, true, true},      // the row width
        {base ^ eoBreakWordsAtMargin, false, true, false},    // no rows without wrap
        {base ^ eoPaintGutter, true, true, true},             // the text's left edge
        {base ^ eoCollapseButtonOnGutter, true, true, true},  // a column of its own
        {base ^ eoPaintFormattingMarks, true, true, true},    // the marks take room
        {base ^ eoHighlightBrackets, true, true, false},      // paint only
        {base ^ (eoThumbTracking | eoPaintGutter), false, true, false},
    };
    for (const auto& c : cases) {
        const auto plan = TEasyEditorSetters::PlanOptions(base, c.After, c.Wrapping);
        EXPECT_EQ(plan.Changed, c.Changed) << std::hex << (base ^ c.After);
        EXPECT_EQ(plan.UpdateView, c.Changed) << std::hex << (base ^ c.After);
        EXPECT_EQ(plan.RebuildRows, c.RebuildRows) << std::hex << (base ^ c.After) << " wrap " << c.Wrapping;
    }
}

TEST(EasyEditorSetters, APageTypeChangeTellsTheSourceAndLaysSheetsOutOnlyForThePageLayout)
{
    using enum TEasyPageType;
    const struct {
        TEasyPageType Before, After;
        bool Changed, FullLayout, SourcePageMode;
    } cases[] = {
        {ptNormal, ptNormal, false, false, false},    {ptNormal, ptPageBreaks, true, false, true},
        {ptNormal, ptPageLayout, true, true, true},   {ptPageLayout, ptPageBreaks, true, false, true},
        {ptPageBreaks, ptNormal, true, false, false}, {ptPageLayout, ptPageLayout, false, true, true},
    };
    for (const auto& c : cases) {
        const auto plan = TEasyEditorSetters::PlanPageType(c.Before, c.After);
        EXPECT_EQ(plan.Changed, c.Changed) << int(c.Before) << " to " << int(c.After);
        EXPECT_EQ(plan.FullLayout, c.FullLayout) << int(c.Before) << " to " << int(c.After);
        EXPECT_EQ(plan.SourcePageMode, c.SourcePageMode) << int(c.Before) << " to " << int(c.After);
    }
}

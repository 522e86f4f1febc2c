// The toolbar customiser without windows: the rows of a toolbar's page,
// checks kept while the pages switch, what OK does (sizes by the button
// rule, toolbars in the check list's order) and the size field's minimum.

#include "dialogs/ToolbarCustomizer.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

using M = TButtonDisplayMode;

// Stand-ins of the window's controls: only their addresses count.
int controls[12];

TCustomizedControl Button(int Control, const wchar_t* Caption, M Mode = M::dmGlyphOnly, bool Combo = false,
                          int Width = 22)
{
    TCustomizedControl entry;
    entry.Control = &controls[Control];
    entry.Kind = TCustomizedKind::Button;
    entry.Caption = Caption;
    entry.Button = {Mode, Combo, 9, Width};
    return entry;
}

TCustomizedControl Other(int Control, TCustomizedKind Kind, bool Visible = true)
{
    TCustomizedControl entry;
    entry.Control = &controls[Control];
    entry.Kind = Kind;
    entry.Visible = Visible;
    return entry;
}

class ToolbarCustomizer : public testing::Test {
protected:
    TToolbarCustomizer customizer;
    void SetUp() override
    {
        customizer.SetEntries(0, {Button(0, L"Neu"), Other(1, TCustomizedKind::Separator), Button(2, L"Beenden")});
        // A control the page does not list sits between two it lists.
        customizer.SetEntries(2, {Button(3, L"Alles"), Other(4, TCustomizedKind::Other),
                                  Other(5, TCustomizedKind::FilterBox), Button(6, L"Filter", M::dmTextOnly, true, 70)});
        customizer.SetEntries(6, {Other(7, TCustomizedKind::Panel)});
    }
    static std::vector<bool> Checks(const std::vector<TCustomizerRow>& Rows)
    {
        std::vector<bool> checks;
        for (const TCustomizerRow& row : Rows)
            checks.push_back(row.Checked);
        return checks;
    }
    static const TControlChange& ChangeOf(const TCustomizerPlan& Plan, int Toolbar, int Control)
    {
        for (const TControlChange& change : Plan.Controls[static_cast<size_t>(Toolbar)])
            if (change.Control == &controls[Control])
                return change;
        throw std::logic_error("no change for the control");
    }
};

}  // namespace

TEST_F(ToolbarCustomizer, PagesListButtonsSeparatorsAndTheFilterBox)
{
    EXPECT_EQ(customizer.CurrentToolbar(), -1);
    const std::vector<TCustomizerRow> file = customizer.ShowToolbar(0, {});
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0].Caption, L"Neu");
    EXPECT_EQ(file[0].Image, -1);
    EXPECT_EQ(file[1].Caption, std::wstring(38, L'-'));
    EXPECT_EQ(file[1].Image, ciSeparator);
    const std::vector<TCustomizerRow> selection = customizer.ShowToolbar(2, Checks(file));
    ASSERT_EQ(selection.size(), 3u);
    EXPECT_EQ(selection[1].Caption, L"Eingabefeld \"Dateifilter\"");
    EXPECT_EQ(selection[1].Image, ciFilterBox);
    EXPECT_EQ(selection[1].Entry, 2);
    const std::vector<TCustomizerRow> commandLine = customizer.ShowToolbar(6, Checks(selection));
    ASSERT_EQ(commandLine.size(), 1u);
    EXPECT_EQ(commandLine[0].Caption, L"Schaltflächen");
    EXPECT_EQ(commandLine[0].Image, ciPanel);
    EXPECT_EQ(customizer.CurrentToolbar(), 6);
}

TEST_F(ToolbarCustomizer, AnUncheckSurvivesSwitchingAwayAndBack)
{
    std::vector<bool> checks = Checks(customizer.ShowToolbar(2, {}));
    checks[1] = false;  // the filter box
    checks[2] = false;  // the filter button, behind the unlisted control
    customizer.ShowToolbar(0, checks);
    const std::vector<TCustomizerRow> again = customizer.ShowToolbar(2, Checks(customizer.ShowToolbar(0, {})));
    EXPECT_EQ(Checks(again), (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(customizer.Entries(2)[1].Visible);  // the unlisted control keeps its state
    EXPECT_FALSE(customizer.Entries(2)[2].Visible);
    EXPECT_FALSE(customizer.Entries(2)[3].Visible);
}

TEST_F(ToolbarCustomizer, OkPlansVisibilityAndTheButtonRule)
{
    std::vector<bool> page = Checks(customizer.ShowToolbar(6, {}));
    page[0] = false;  // "Schaltflächen" hides the command-line panel
    customizer.ShowToolbar(0, page);
    std::vector<bool> file = Checks(customizer.ShowToolbar(0, {}));
    file[2] = false;
    // Toolbars 0..6, then the function keys, bookmarks and drives.
    const std::vector<bool> toolbars = {true, false, true, true, true, false, true, false, true, false};
    const TCustomizerPlan plan = customizer.Plan(file, toolbars, 30, true);
    EXPECT_EQ(plan.ButtonSize, 30);
    EXPECT_TRUE(plan.TwoDriveToolbars);
    EXPECT_EQ(plan.ToolbarVisible,
              (std::array<bool, 10>{true, false, true, true, true, false, true, false, false, true}));
    EXPECT_FALSE(ChangeOf(plan, 6, 7).Visible);
    EXPECT_FALSE(ChangeOf(plan, 0, 2).Visible);
    EXPECT_TRUE(ChangeOf(plan, 0, 0).Visible);
    EXPECT_EQ(ChangeOf(plan, 0, 0).Size, (TButtonSize{30, 30}));
    EXPECT_FALSE(ChangeOf(plan, 0, 1).Resize);
    EXPECT_FALSE(ChangeOf(plan, 2, 5).Resize);
    // A text button with its arrow keeps its width, only its height follows.
    EXPECT_EQ(ChangeOf(plan, 2, 6).Size, (TButtonSize{70, 30}));
}

TEST(ToolbarCustomizerSize, SmallestSize)
{
    EXPECT_EQ(SmallestButtonSize(0), 22);
    EXPECT_EQ(SmallestButtonSize(21), 22);
    EXPECT_EQ(SmallestButtonSize(25), 25);
}

// The history boxes' colours, the tree's level commands, the history
// drop-downs and the panes' context-menu items.

#include "mainwindow/LayoutRules.h"

#include <gtest/gtest.h>

using namespace qrv;

TEST(LayoutRules, HistoryBoxColours)
{
    constexpr uint32_t kInactive = 0x111111, kActive = 0x222222, kWindow = 0xFFFFFF;
    struct Case {
        bool useColor, two, firstActive, focused;
        uint32_t first, second;
    } cases[] = {
        {false, true, true, true, kWindow, kWindow},      {false, false, true, true, kWindow, kWindow},
        {true, true, true, false, kActive, kInactive},    {true, true, false, false, kInactive, kActive},
        {true, true, false, true, kInactive, kActive},    {true, false, true, true, kActive, kInactive},
        {true, false, true, false, kInactive, kInactive},
    };
    for (const Case& c : cases) {
        const TPaneColors colors =
            HistoryBoxColors({c.useColor, c.two, c.firstActive, c.focused, kInactive, kActive, kWindow});
        EXPECT_EQ(colors.First, c.first) << c.useColor << c.two << c.firstActive << c.focused;
        EXPECT_EQ(colors.Second, c.second) << c.useColor << c.two << c.firstActive << c.focused;
    }
}

TEST(LayoutRules, ExpandLevelNeedsANodeWithChildrenNotDeeperThanTheLevel)
{
    EXPECT_TRUE(ExpandLevelEnabled(true, true, 0, 1));
    EXPECT_TRUE(ExpandLevelEnabled(true, true, 3, 3));
    EXPECT_FALSE(ExpandLevelEnabled(true, true, 4, 3));
    EXPECT_FALSE(ExpandLevelEnabled(true, false, 0, 8));
    EXPECT_FALSE(ExpandLevelEnabled(false, true, 0, 8));
}

TEST(LayoutRules, HistoryMenusHoldAtMostFifteenEntries)
{
    TFolderHistory history;
    for (int i = 0; i < 20; ++i)
        history.Entries.push_back(L"C:\\d" + std::to_wstring(i));
    history.Position = 0;
    const auto back = HistoryMenu(history, true);
    ASSERT_EQ(back.size(), 15u);
    EXPECT_EQ(back.front().Tag, 1);
    EXPECT_EQ(back.front().Caption, L"C:\\d1");
    EXPECT_EQ(back.back().Tag, 15);
    EXPECT_TRUE(HistoryMenu(history, false).empty());

    history.Position = 3;
    const auto forward = HistoryMenu(history, false);
    ASSERT_EQ(forward.size(), 3u);
    EXPECT_EQ(forward[0].Tag, 0);
    EXPECT_EQ(forward[2].Tag, 2);
    EXPECT_EQ(HistoryMenu(history, true).size(), 15u);
    history.Position = 19;
    EXPECT_TRUE(HistoryMenu(history, true).empty());
    EXPECT_EQ(HistoryMenu(history, false).size(), 15u);

    // A path's "&" is shown, not taken for an accelerator.
    TFolderHistory amp;
    amp.Entries = {L"C:\\x", L"C:\\A&B", L"C:\\&&"};
    amp.Position = 0;
    const auto items = HistoryMenu(amp, true);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Caption, L"C:\\A&&B");
    EXPECT_EQ(items[1].Caption, L"C:\\&&&&");
}

TEST(LayoutRules, ListContextMenuItems)
{
    TListMenuFacts file;
    file.HasFocusedItem = true;
    file.CombineEnabled = false;
    file.SplitEnabled = true;
    file.ExtractEnabled = true;
    file.SelectedCount = 1;
    file.ShowFileEnabled = true;
    file.ShowFileChecked = true;
    file.DateTimeEnabled = true;
    TCustomMenuItems expected;
    expected.Shown = true;
    expected.Split = true;
    expected.Extract = expected.ExtractDivider = expected.ExtractTo = true;
    expected.ShowFile = expected.ShowFileChecked = expected.DateTime = true;
    EXPECT_EQ(ListMenuItems(file), expected);

    // Combine wins over split; two selected files have no "to" variant.
    TListMenuFacts parts = file;
    parts.CombineEnabled = true;
    parts.SelectedCount = 2;
    TCustomMenuItems both = expected;
    both.Split = false;
    both.Combine = true;
    both.ExtractTo = false;
    EXPECT_EQ(ListMenuItems(parts), both);

    // The archive list shown: no extraction.
    TListMenuFacts archive = file;
    archive.ArchiveListShown = true;
    TCustomMenuItems noExtract = expected;
    noExtract.Extract = noExtract.ExtractDivider = noExtract.ExtractTo = false;
    EXPECT_EQ(ListMenuItems(archive), noExtract);

    // A focused folder hides split, combine and extract.
    TListMenuFacts folder = parts;
    folder.FocusedIsFolder = true;
    TCustomMenuItems folderItems = expected;
    folderItems.Split = folderItems.Extract = folderItems.ExtractDivider = folderItems.ExtractTo = false;
    EXPECT_EQ(ListMenuItems(folder), folderItems);
    EXPECT_FALSE(ListMenuItems(folder).RefreshTree);

    TListMenuFacts none = file;
    none.HasFocusedItem = false;
    EXPECT_EQ(ListMenuItems(none), TCustomMenuItems{});
    TListMenuFacts shell = file;
    shell.VirtualFolder = true;
    EXPECT_EQ(ListMenuItems(shell), TCustomMenuItems{});
}

TEST(LayoutRules, TreeContextMenuShowsOnlyRefresh)
{
    TCustomMenuItems refresh;
    refresh.Shown = refresh.RefreshTree = true;
    EXPECT_EQ(TreeMenuItems({true, true}), refresh);
    EXPECT_EQ(TreeMenuItems({false, true}), TCustomMenuItems{});
    EXPECT_EQ(TreeMenuItems({true, false}), TCustomMenuItems{});
}

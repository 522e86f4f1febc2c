#include "panels/ShellMenuRules.h"

#include <gtest/gtest.h>

using namespace qrv;

// The program's items after the shell's: a separator first, "-" a separator,
// hidden items and items without a handler left out, each keeping the
// identifier of its place in the popup.
TEST(ShellMenuRules, ExtraItemsFollowTheShellsAfterASeparator)
{
    const std::vector<TExtraMenuSource> items = {
        {L"A", true, false, true},     {L"-", true, false, false}, {L"versteckt", false, false, true},
        {L"ohne", true, false, false}, {L"B", true, true, true},
    };
    const std::vector<TExtraMenuEntry> entries = ComposeExtraMenuItems(items);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries[0].Separator);
    EXPECT_FALSE(entries[1].Separator);
    EXPECT_EQ(entries[1].Caption, L"A");
    EXPECT_EQ(entries[1].Id, 1001u);
    EXPECT_FALSE(entries[1].Checked);
    EXPECT_TRUE(entries[2].Separator);
    EXPECT_EQ(entries[3].Caption, L"B");
    EXPECT_EQ(entries[3].Id, 1005u);
    EXPECT_TRUE(entries[3].Checked);

    // Nothing to show: not even the separator.
    EXPECT_TRUE(ComposeExtraMenuItems({}).empty());
    EXPECT_TRUE(ComposeExtraMenuItems({{L"versteckt", false, false, true}, {L"ohne", true, false, false}}).empty());
}

TEST(ShellMenuRules, ResultsSplitIntoShellCommandsAndOwnItems)
{
    const struct {
        unsigned result;
        TShellMenuChoice::TKind kind;
        unsigned offset;
    } cases[] = {
        {0, TShellMenuChoice::None, 0},       {1, TShellMenuChoice::Shell, 0},    {17, TShellMenuChoice::Shell, 16},
        {1000, TShellMenuChoice::Shell, 999}, {1001, TShellMenuChoice::Extra, 0}, {1005, TShellMenuChoice::Extra, 4},
    };
    for (const auto& c : cases) {
        const TShellMenuChoice choice = ClassifyShellMenuResult(c.result);
        EXPECT_EQ(choice.Kind, c.kind) << c.result;
        EXPECT_EQ(choice.Offset, c.offset) << c.result;
    }
}

TEST(ShellMenuRules, TheCallersVerbsAreReturnedUninvoked)
{
    const struct {
        const wchar_t* verb;
        bool invokeClipboard;
        bool kept;
    } cases[] = {
        {L"rename", true, true},       {L"rename", false, true},  {L"copy", false, true}, {L"cut", false, true},
        {L"paste", false, true},       {L"copy", true, false},    {L"cut", true, false},  {L"open", false, false},
        {L"properties", false, false}, {L"delete", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShellVerbReturnedUninvoked(c.verb, c.invokeClipboard), c.kept) << c.verb << c.invokeClipboard;
    EXPECT_TRUE(ShellVerbReturnedUninvoked(L"delete", true, {L"delete"}));
    EXPECT_FALSE(ShellVerbReturnedUninvoked(L"properties", true, {L"delete"}));

    EXPECT_EQ(NormalizeShellVerb(L"Properties"), L"properties");
    EXPECT_EQ(NormalizeShellVerb(std::wstring(L"COPY\0junk", 9)), L"copy");
    EXPECT_EQ(NormalizeShellVerb(L""), L"");
}

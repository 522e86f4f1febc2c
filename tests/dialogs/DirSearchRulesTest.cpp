// The directory search's patterns and its walk over a fake tree in tree
// order: contains, begins-with and exact names, a second run going on after
// the hit, the selected folder never counting.

#include "dialogs/DirSearchRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

namespace {

struct PatternCase {
    const wchar_t* text;
    const wchar_t* name;
    bool matches;
};

class DirSearchPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(DirSearchPatternTest, MatchesAsTyped)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(DirNameMatches(MakeDirSearchPattern(c.text), c.name), c.matches) << c.text << " / " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, DirSearchPatternTest,
                         ::testing::Values(
                             // "*dat": anywhere in the name, any case.
                             PatternCase{L"*dat", L"Update", true}, PatternCase{L"*dat", L"daten", true},
                             PatternCase{L"*dat", L"DA-T", false},
                             // "dat*": at the start.
                             PatternCase{L"dat*", L"Daten", true}, PatternCase{L"dat*", L"Update", false},
                             PatternCase{L"dat*", L"DA", false},
                             // "dat": the whole name.
                             PatternCase{L"dat", L"DAT", true}, PatternCase{L"dat", L"Daten", false},
                             // Trailing blanks do not count; an empty text matches all.
                             PatternCase{L"dat  ", L"dat", true}, PatternCase{L"", L"irgendwas", true},
                             PatternCase{L"   ", L"x", true}, PatternCase{L"*", L"x", true},
                             // A star inside: removed, the rest the exact name.
                             PatternCase{L"a*b", L"AB", true}, PatternCase{L"a*b", L"axb", false},
                             PatternCase{L"a*b", L"ABC", false},
                             // Letters beyond ASCII are folded too.
                             PatternCase{L"*über", L"Drüber", true}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(DirSearchPatternTest, LongTextIsCutTo255)
{
    const std::wstring name(300, L'a');
    const TDirSearchPattern pattern = MakeDirSearchPattern(name);
    EXPECT_EQ(pattern.Text.size(), kDirSearchMaxText);
    // The whole-name compare covers 255 characters, so the long name matches.
    EXPECT_TRUE(DirNameMatches(pattern, name));
}

// A tree in tree order: C:\, Daten, Daten\Alt, Programme, Update, Update\Daten.
struct Node {
    std::wstring name;
};

class DirSearchWalkTest : public ::testing::Test {
protected:
    std::vector<Node> tree{{L"C:\\"}, {L"Daten"}, {L"Alt"}, {L"Programme"}, {L"Update"}, {L"Daten"}};

    // The index of the hit, -1 when none; the walk stops at the hit.
    int Run(const std::wstring& text, int start, int selected, int* visited = nullptr)
    {
        TDirSearchRun run(MakeDirSearchPattern(text), start < 0 ? nullptr : &tree[start],
                          selected < 0 ? nullptr : &tree[selected]);
        int seen = 0;
        for (const Node& node : tree) {
            ++seen;
            if (run.Visit(&node, node.name))
                break;
        }
        if (visited)
            *visited = seen;
        for (size_t i = 0; i < tree.size(); ++i)
            if (run.Found() == &tree[i])
                return static_cast<int>(i);
        return -1;
    }
};

TEST_F(DirSearchWalkTest, FirstRunFindsTheFirstMatchInTreeOrder)
{
    int visited = 0;
    EXPECT_EQ(Run(L"daten", -1, -1, &visited), 1);
    EXPECT_EQ(visited, 2);
    EXPECT_EQ(Run(L"*dat", -1, -1), 1);
    EXPECT_EQ(Run(L"pro*", -1, -1), 3);
    EXPECT_EQ(Run(L"nirgends", -1, -1), -1);
}

TEST_F(DirSearchWalkTest, SecondRunGoesOnAfterTheHit)
{
    const int first = Run(L"daten", -1, -1);
    ASSERT_EQ(first, 1);
    EXPECT_EQ(Run(L"daten", first, -1), 5);
    // After the last hit nothing is left: no wrap to the top.
    EXPECT_EQ(Run(L"daten", 5, -1), -1);
    // "*dat" also takes "Update" between them.
    EXPECT_EQ(Run(L"*dat", 1, -1), 4);
}

TEST_F(DirSearchWalkTest, SelectedNodeNeverCounts)
{
    EXPECT_EQ(Run(L"daten", -1, 1), 5);
    // An empty pattern would take the root first, but not when it is selected.
    EXPECT_EQ(Run(L"", -1, 0), 1);
    // The start node itself is no match either.
    EXPECT_EQ(Run(L"", 2, -1), 3);
}

TEST(DirSearchCharsTest, FolderNameCharactersAreRefused)
{
    for (wchar_t ch : std::wstring(L"?\\/=\"<>|:,;+^"))
        EXPECT_TRUE(IsRefusedDirSearchChar(ch)) << static_cast<int>(ch);
    for (wchar_t ch : std::wstring(L"aZ09*._- äß"))
        EXPECT_FALSE(IsRefusedDirSearchChar(ch)) << static_cast<int>(ch);
}

}  // namespace

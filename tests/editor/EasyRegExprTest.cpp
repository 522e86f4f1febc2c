#include "editor/EasyRegExpr.h"
#include "editor/EasyStrings.h"
#include "editor/WideText.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;

namespace {

struct Case {
    std::u16string pattern;
    bool caseSensitive;
    std::u16string text;
    int column;  // of the first match searching forward from column 1; 0: none
    int length;
    int errorAt;  // 1-based position of an invalid pattern, else 0
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << WideToUtf8(ToWide(c.pattern)) << " on " << WideToUtf8(ToWide(c.text));
}

// Position of an invalid-pattern message "%s is invalid mask at (%d)".
int ErrorPosition(const std::u16string& pattern, const EEasyRegExprError& e)
{
    const std::wstring prefix = ToWide(pattern) + L" is invalid mask at (";
    const std::wstring& message = e.Message();
    if (message.compare(0, prefix.size(), prefix) != 0 || message.back() != L')')
        return -1;
    return std::stoi(message.substr(prefix.size()));
}

std::u16string Repeat(char16_t c, size_t n)
{
    return std::u16string(n, c);
}

const std::u16string kNul(1, u'\0');

class RegExprEdges : public testing::TestWithParam<Case> {};

TEST_P(RegExprEdges, SearchesForwardFromColumnOne)
{
    const Case& c = GetParam();
    if (c.errorAt != 0) {
        try {
            TEasyRegExpr re(c.pattern, c.caseSensitive);
            FAIL() << "compiled";
        } catch (const EEasyRegExprError& e) {
            EXPECT_EQ(ErrorPosition(c.pattern, e), c.errorAt) << WideToUtf8(e.Message());
        }
        return;
    }
    TEasyRegExpr re(c.pattern, c.caseSensitive);
    TEasyPoint pos{1, 0};
    int length = -1;
    const bool found = re.SearchLine(c.text, pos, true, length);
    EXPECT_EQ(found, c.column != 0);
    EXPECT_EQ(pos.X, c.column);
    EXPECT_EQ(length, c.length);
    EXPECT_LE(re.Steps(), re.StepBudget());
}

std::u16string Nested(int depth)
{
    return Repeat(u'{', depth) + u"a" + Repeat(u'}', depth);
}

INSTANTIATE_TEST_SUITE_P(
    Dialect, RegExprEdges,
    testing::Values(
        // greedy repetition; '|' makes the item before it optional
        Case{u"ab*", true, u"a", 1, 1, 0}, Case{u"ab*", true, u"ab", 1, 2, 0}, Case{u"ab*", true, u"abbb", 1, 4, 0},
        Case{u"a|b", true, u"ab", 1, 2, 0}, Case{u"a|b", true, u"b", 1, 1, 0}, Case{u"a|b", true, u"xx", 0, 0, 0},
        Case{u"{ab}+", true, u"a", 0, 0, 0}, Case{u"{ab}+", true, u"xabab", 2, 4, 0},
        Case{u"{ab}*c", true, u"ababc", 1, 5, 0}, Case{u"a+", true, u"baaa", 2, 3, 0},
        // the back-tracking gives up repetitions until the rest matches
        Case{u"\\(.*\\)", true, u"f(a) g(b) h", 2, 8, 0}, Case{u"a*ab", true, u"aaab", 1, 4, 0},
        Case{u"{[#48-#57]+\\.}+[#48-#57]+", true, u"v 1.22.3x", 3, 6, 0},
        // sets
        Case{u"[a-c]", true, u"xbx", 2, 1, 0}, Case{u"[c-a]", true, u"abc", 0, 0, 0},
        Case{u"[#48-#57]", true, u"ab7", 3, 1, 0}, Case{u"[^a-z]", true, u"abC", 3, 1, 0},
        Case{u"[\\]\\-]", true, u"a-", 2, 1, 0}, Case{u"[\\w]", true, u"\\", 1, 1, 0},
        Case{u"[a-z]", false, u"12Q", 3, 1, 0}, Case{u"[A-Z]", true, u"q", 0, 0, 0},
        // codes
        Case{u"#65", true, u"xA", 2, 1, 0}, Case{u"#300", true, u"a,b", 2, 1, 0},
        Case{u"#00000000000000000000000000000065", true, u"A", 1, 1, 0}, Case{u"\\*", true, u"a*", 2, 1, 0},
        Case{u"\\#1", true, u"#1", 1, 2, 0},
        // case
        Case{u"abc", false, u"ABC", 1, 3, 0}, Case{u"abc", false, u"xaBc", 2, 3, 0},
        Case{u"abc", true, u"aBc", 0, 0, 0}, Case{u"größe", false, u"GRÖSSE GRÖßE", 8, 5, 0},
        Case{u"ä", false, u"Ä", 1, 1, 0},
        // every UTF-16 code unit in full
        Case{u"A", false, u"\u0141", 0, 0, 0}, Case{u"\u0141", true, u"A", 0, 0, 0},
        Case{u"[A]", true, u"\u0141", 0, 0, 0}, Case{u"€", true, u"x€", 2, 1, 0}, Case{u"€", true, u"\u20AD", 0, 0, 0},
        Case{u"[€]", true, u"a€", 2, 1, 0}, Case{u"a.b", true, u"a" + kNul + u"b", 1, 3, 0},
        Case{u"#0", true, u"x" + kNul, 2, 1, 0},
        // anchors
        Case{u"^x", true, u"xax", 1, 1, 0}, Case{u"^x", true, u"ax", 0, 0, 0}, Case{u"$", true, u"abc", 4, 0, 0},
        Case{u"c$", true, u"cbc", 3, 1, 0}, Case{u"^$", true, u"", 1, 0, 0}, Case{u"a", true, u"", 0, 0, 0},
        // negation: one character where the item does not match
        Case{u"!x", true, u"x", 0, 0, 0}, Case{u"!x", true, u"xy", 2, 1, 0}, Case{u"!{abc}", true, u"abc", 2, 1, 0},
        Case{u"!{abc}", true, u"abd", 1, 1, 0}, Case{u"/!/*/", true, u"a/bc/", 2, 4, 0},
        Case{u"!x", true, u"", 0, 0, 0},
        // invalid patterns, with the position of the fault
        Case{u"{ab", true, u"", 0, 0, 4}, Case{u"ab}", true, u"", 0, 0, 3}, Case{u"[]", true, u"", 0, 0, 2},
        Case{u"[^]", true, u"", 0, 0, 3}, Case{u"[abc", true, u"", 0, 0, 5}, Case{u"[-a]", true, u"", 0, 0, 2},
        Case{u"*a", true, u"", 0, 0, 1}, Case{u"a**", true, u"", 0, 0, 3}, Case{u"^*", true, u"", 0, 0, 2},
        Case{u"a\\", true, u"", 0, 0, 2}, Case{u"a!", true, u"", 0, 0, 2}, Case{u"a#x", true, u"", 0, 0, 2},
        Case{u"!*", true, u"", 0, 0, 2}, Case{u"{a!}", true, u"", 0, 0, 4},
        // nesting up to the limit compiles, one more level does not
        Case{Nested(TEasyRegExpr::MaxDepth), true, u"a", 1, 1, 0},
        Case{Nested(TEasyRegExpr::MaxDepth + 1), true, u"", 0, 0, TEasyRegExpr::MaxDepth + 1}));

TEST(RegExprSearch, BackwardFindsTheLastMatchStartingAtOrBeforeTheColumn)
{
    TEasyRegExpr re(u"ab", true);
    const std::u16string line = u"ab ab ab";
    struct Row {
        int from, column;
    } rows[] = {{8, 7}, {7, 7}, {6, 4}, {2, 1}, {1, 1}, {100, 7}};
    for (const Row& row : rows) {
        TEasyPoint pos{row.from, 0};
        int length = 0;
        EXPECT_TRUE(re.SearchLine(line, pos, false, length)) << row.from;
        EXPECT_EQ(pos.X, row.column) << row.from;
        EXPECT_EQ(length, 2);
    }
    TEasyPoint pos{3, 0};
    int length = 0;
    EXPECT_FALSE(TEasyRegExpr(u"ba", true).SearchLine(line, pos, false, length));
    EXPECT_EQ(pos.X, 0);
    EXPECT_EQ(length, 0);
}

TEST(RegExprSearch, ForwardStartsAtTheColumnAndEndOnlyForTheLoneDollar)
{
    TEasyRegExpr re(u"a", true);
    TEasyPoint pos{3, 0};
    int length = 0;
    ASSERT_TRUE(re.SearchLine(u"aaxa", pos, true, length));
    EXPECT_EQ(pos.X, 4);
    pos = {5, 0};  // behind the last match: not found again
    EXPECT_FALSE(re.SearchLine(u"aaxa", pos, true, length));

    TEasyRegExpr end(u"$", true);
    pos = {5, 0};
    ASSERT_TRUE(end.SearchLine(u"abc", pos, false, length));  // limited to the length: from the end
    EXPECT_EQ(pos.X, 4);
    EXPECT_EQ(length, 0);
    pos = {2, 0};
    EXPECT_FALSE(end.SearchLine(u"abc", pos, false, length));
}

// Find next over the editor's lines: every match once, in order, and the
// same list backward.
TEST(RegExprSearch, FindTextVisitsEveryMatchOnceBothWays)
{
    TEasyStrings lines;
    lines.SetText(u"Johnson und Peterson\n\nJackson: ANDERSON\nson");
    TEasyRegExpr re(u"[A-Z][a-z]*son", true);
    std::vector<std::tuple<int, int, int>> forward, backward;
    TEasyPoint point{1, 0};
    int length = 0;
    while (FindText(u"", lines, ftForward, &re, length, point)) {
        forward.emplace_back(point.Y, point.X, length);
        point.X += length;
        ASSERT_LT(forward.size(), 10u);
    }
    point = {100, lines.Count() - 1};
    while (FindText(u"", lines, 0, &re, length, point)) {
        backward.insert(backward.begin(), {point.Y, point.X, length});
        point.X -= 1;
        ASSERT_LT(backward.size(), 10u);
    }
    const std::vector<std::tuple<int, int, int>> expected = {{0, 1, 7}, {0, 13, 8}, {2, 1, 7}};
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
}

// Without case, a pattern of plain letters finds what the plain search finds.
TEST(RegExprSearch, CaselessAgreesWithThePlainSearch)
{
    TEasyStrings lines;
    lines.SetText(u"Äpfel und ÄPFEL\nStraße STRASSE straße\nŁódź łÓDŹ Aodz\nÉté été");
    for (const std::u16string word : {u"äpfel", u"straße", u"łódź", u"été", u"aodz"}) {
        TEasyRegExpr re(word, false);
        for (int options : {int(ftForward), 0}) {
            TEasyPoint plain{options ? 1 : 100, options ? 0 : lines.Count() - 1};
            TEasyPoint regex = plain;
            int plainLength = 0, regexLength = 0;
            int found = 0;
            while (FindText(word, lines, options, nullptr, plainLength, plain)) {
                ASSERT_TRUE(FindText(u"", lines, options, &re, regexLength, regex)) << WideToUtf8(ToWide(word));
                EXPECT_EQ(regex.X, plain.X);
                EXPECT_EQ(regex.Y, plain.Y);
                EXPECT_EQ(regexLength, plainLength);
                plain.X += options ? plainLength : -1;
                regex = plain;
                ASSERT_LT(++found, 10);
            }
            EXPECT_FALSE(FindText(u"", lines, options, &re, regexLength, regex)) << WideToUtf8(ToWide(word));
            EXPECT_GE(found, 1) << WideToUtf8(ToWide(word));
        }
    }
}

TEST(RegExprMatchAt, AnchoredAtTheTextWithAtLeastOneCharacter)
{
    TEasyRegExpr star(u"a*", true);
    int length = 0;
    const std::u16string text = u"aab";
    ASSERT_TRUE(star.MatchAt(text.data(), 3, true, length));
    EXPECT_EQ(length, 2);
    ASSERT_TRUE(star.MatchAt(text.data() + 2, 1, false, length));
    EXPECT_EQ(length, 1);  // empty, raised to 1

    TEasyRegExpr caret(u"^a", true);
    EXPECT_TRUE(caret.MatchAt(text.data(), 3, true, length));
    EXPECT_FALSE(caret.MatchAt(text.data(), 3, false, length));
    EXPECT_FALSE(caret.MatchAt(text.data() + 1, 2, false, length));

    TEasyRegExpr b(u"b", true);
    EXPECT_FALSE(b.MatchAt(text.data(), 3, true, length));
    // the length ends the text, not a U+0000
    const std::u16string withNul = u"a" + kNul + u"b";
    TEasyRegExpr dollar(u"a.b$", true);
    ASSERT_TRUE(dollar.MatchAt(withNul.data(), 3, true, length));
    EXPECT_EQ(length, 3);
    EXPECT_FALSE(dollar.MatchAt(withNul.data(), 2, true, length));
}

TEST(RegExprNodes, FirstCharNodeAndAnchorsAsTheRulesIndexReadsThem)
{
    struct Row {
        std::u16string pattern;
        int kind;  // -1: no such node
        char16_t ch;
        bool negated;
    } rows[] = {
        {u"abc", nkChar, u'A', false},
        {u"^{x}*y", nkChar, u'X', false},
        {u"\\{", nkEscaped, u'{', false},
        {u".", nkAny, 0, false},
        {u"[ab]", nkSet, 0, false},
        {u"!q", nkChar, u'Q', true},
        {u"^$", -1, 0, false},
        {u"{}", -1, 0, false},
    };
    for (const Row& row : rows) {
        TEasyRegExpr re(row.pattern, false);
        const TEasyRegExprNode* node = re.FirstCharNode();
        if (row.kind < 0) {
            EXPECT_EQ(node, nullptr);
            continue;
        }
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->Kind, row.kind);
        EXPECT_EQ(node->Char, row.ch);
        EXPECT_EQ(node->Negated, row.negated);
    }
    EXPECT_TRUE(TEasyRegExpr(u"^$", true).IsAnchorOnly());
    EXPECT_FALSE(TEasyRegExpr(u"^a", true).IsAnchorOnly());
    EXPECT_TRUE(IsAnchorOnlyPattern(u"$"));

    // a quantified single item is wrapped in a group whose nodes link to
    // its close node, followed by the quantifier's marker node
    TEasyRegExpr re(u"ab*", true);
    const auto& nodes = re.Nodes();
    ASSERT_EQ(nodes.size(), 6u);
    EXPECT_EQ(nodes[1].Kind, nkGroupOpen);
    EXPECT_EQ(nodes[2].Kind, nkChar);
    EXPECT_EQ(nodes[3].Kind, nkGroupClose);
    EXPECT_EQ(nodes[4].Kind, nkStar);
    EXPECT_EQ(nodes[1].Link, 3);
    EXPECT_EQ(nodes[2].Link, 3);
    EXPECT_EQ(nodes[0].Link, -1);
    EXPECT_EQ(nodes[5].Char, 0);  // the end node
}

// Patterns that back-track without end in a plain matcher, on a long line.
TEST(RegExprBudget, PathologicalPatternsEndWithoutMatchAndLinearSteps)
{
    for (const std::u16string pattern : {u"{a*}*b", u"{{a|}*}*c", u"{.*}*x", u"{a|}*{a|}*{a|}*aab"}) {
        TEasyRegExpr re(pattern, true);
        int64_t steps[2] = {};
        for (int round = 0; round < 2; ++round) {
            const std::u16string line = Repeat(u'a', round == 0 ? 10000 : 20000);
            int length = 0;
            EXPECT_FALSE(re.MatchAt(line.data(), static_cast<int>(line.size()), true, length));
            EXPECT_LE(re.Steps(), re.StepBudget());
            TEasyPoint pos{1, 0};
            EXPECT_FALSE(re.SearchLine(line, pos, true, length));
            EXPECT_LE(re.Steps(), re.StepBudget());
            steps[round] = re.Steps();
        }
        // the work grows with the line, not with its square
        EXPECT_LT(steps[1], 3 * steps[0]) << WideToUtf8(ToWide(pattern));
    }
}

TEST(RegExprBudget, RunawayNegationGivesNoMatchOrTheTooComplexError)
{
    TEasyRegExpr re(u"!{a*b}*c", true);
    const std::u16string line = Repeat(u'a', 10000);
    int length = 0;
    EXPECT_FALSE(re.MatchAt(line.data(), static_cast<int>(line.size()), true, length));
    EXPECT_LE(re.Steps(), re.StepBudget());
    TEasyPoint pos{1, 0};
    try {
        EXPECT_FALSE(re.SearchLine(line, pos, true, length));
    } catch (const EEasyRegExprTooComplex& e) {
        EXPECT_EQ(e.Message().rfind(L"!{a*b}*c is too complex at (", 0), 0u) << WideToUtf8(e.Message());
    }
    EXPECT_LE(re.Steps(), re.StepBudget());
    // the same pattern on an ordinary line still finds its match
    pos = {1, 0};
    ASSERT_TRUE(re.SearchLine(u"abxxc", pos, true, length));
    EXPECT_EQ(pos.X, 3);
    EXPECT_EQ(length, 3);
}

}  // namespace

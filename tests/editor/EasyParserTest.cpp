#include "editor/EasyParser.h"
#include "editor/WideText.h"

#include "CountingParser.h"

#include <gtest/gtest.h>

#include <string>

using namespace qrv;

namespace {

const std::u16string kHeader = u"State=Normal\nState=Comment\nToken=tnone\nToken=tcomment\nToken=tresword\n";

// The runs of a line as "text:token|text:token...", and the state after it.
std::string Scan(TEasyParser& parser, std::u16string_view line, int& state)
{
    std::u16string runs;
    int pos = 1;
    while (pos <= static_cast<int>(line.size())) {
        const int start = pos;
        const int token = parser.NextToken(state, line, pos);
        if (pos <= start)
            return "no progress";
        if (!runs.empty())
            runs += u'|';
        runs += std::u16string(line.substr(static_cast<size_t>(start - 1), static_cast<size_t>(pos - start)));
        runs += u':' + ToUtf16(std::to_wstring(token));
    }
    return WideToUtf8(ToWide(runs));
}

struct Case {
    const char* what;
    std::u16string rules;
    std::u16string line;
    int startState;
    std::string runs;
    int endState;
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << c.what;
}

class ParserEdges : public testing::TestWithParam<Case> {};

TEST_P(ParserEdges, ScansTheLine)
{
    const Case& c = GetParam();
    TEasyParser parser(nullptr);
    parser.Rules().SetText(c.rules);
    int state = c.startState;
    EXPECT_EQ(Scan(parser, c.line, state), c.runs);
    EXPECT_EQ(state, c.endState);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ParserEdges,
    testing::Values(
        Case{"no rules: one run without a token", u"", u"abc def", 0, "abc def:-1", 0},
        Case{"the braced comment", kHeader + u"Normal \\{[^\\}]*\\} Normal tcomment", u"a {x} b", 0,
             "a :0|{x}:1| :0|b:0", 0},
        Case{"a keyword, caseless", kHeader + u"Normal 'begin' Normal tresword", u"begin BEGIN beginning", 0,
             "begin:2| :0|BEGIN:2| :0|beginning:0", 0},
        Case{"a keyword, case-sensitive",
             u"State=Normal, groß-/kleinschreibung\nToken=tnone\nToken=tcomment\nToken=tresword\n"
             u"Normal 'begin' Normal tresword",
             u"begin BEGIN", 0, "begin:2| :0|BEGIN:0", 0},
        Case{"a keyword that is no word", kHeader + u"Normal '+=' Normal tresword", u"a+=b", 0, "a:0|+:0|=:0|b:0", 0},
        Case{"an undeclared state", kHeader + u"Normal x Code tresword\nNormal y Normal tresword", u"x y", 0,
             "x :0|y:2", 0},
        Case{"a token declared further down",
             u"State=Normal\nToken=tnone\nNormal x Normal tlate\nNormal y Normal tnone\nToken=tlate", u"x y", 0,
             "x :0|y:0", 0},
        Case{"the $ rule ends the comment at the line end", kHeader + u"Comment $ Normal tcomment", u"abc", 1, "abc:1",
             0},
        Case{"the later expression first", kHeader + u"Normal ab Normal tcomment\nNormal a Normal tresword", u"ab", 0,
             "a:2|b:0", 0},
        Case{"a multi-word keyword", kHeader + u"Normal 'end' Normal tcomment\nNormal 'end if' Normal tresword",
             u"end if x end iffy", 0, "end if:2| :0|x :0|end:1| :0|iffy:0", 0},
        Case{"a state change", kHeader + u"Normal \\{ Comment tcomment\nComment \\} Normal tcomment", u"a{b}c", 0,
             "a:0|{:1|b:0|}:1|c:0", 0},
        Case{"an unknown state: rest of the line", kHeader + u"Normal x Normal tresword", u"x y", 1, "x y:-1", 1},
        Case{"comment lines and an unknown directive",
             kHeader + u"// Normal x Normal tresword\nFarbe=rot\nNormal y Normal tresword", u"x y", 0, "x :0|y:2", 0},
        // every code unit in full: "Ł" is no "A" and no word character
        Case{"U+0141 is not A", kHeader + u"Normal A Normal tresword", u"\u0141A", 0, "\u0141:0|A:2", 0},
        Case{"U+0141 is no word character", kHeader + u"Normal 'a' Normal tresword", u"\u0141a", 0, "\u0141:0|a:2", 0},
        Case{"a wide character rule", kHeader + u"Normal € Normal tresword", u"€\u20AD", 0, "€:2|\u20AD:0", 0},
        // an optional first item: the rule can start with what follows it
        Case{"a|b starts with b too", kHeader + u"Normal a|b Normal tresword", u"b", 0, "b:2", 0},
        Case{"a negated first item is the fallback", kHeader + u"Normal !x+ Normal tcomment\nNormal y Normal tresword",
             u"yab", 0, "y:2|ab:1", 0}));

TEST(EasyParser, NamesTokensAndDelimiters)
{
    TEasyParser parser(nullptr);
    parser.Rules().SetText(kHeader + u"Delimiters= ,;() \nState=Text, Groß-/Kleinschreibung\nNormal a Normal tresword");
    EXPECT_EQ(parser.GetTokenCount(), 3);
    EXPECT_EQ(parser.TokenIndex(u"TCOMMENT"), 1);
    EXPECT_EQ(parser.TokenIndex(u"missing"), -1);
    EXPECT_EQ(parser.Delimiters, u",;()");
    ASSERT_EQ(parser.StateNames().size(), 3u);
    EXPECT_FALSE(parser.StateCaseSensitive()[0]);
    EXPECT_TRUE(parser.StateCaseSensitive()[2]);
    EXPECT_EQ(parser.States().size(), 1u) << "states are made for the rules that start in them";
}

TEST(EasyParser, CompilesOncePerOutermostUpdate)
{
    struct Counting : TEasyParser {
        using TEasyParser::TEasyParser;
        int compiles = 0;
        void RulesChanged() override
        {
            ++compiles;
            TEasyParser::RulesChanged();
        }
    } parser(nullptr);
    parser.Rules().SetText(kHeader);
    EXPECT_EQ(parser.compiles, 1);
    parser.Rules().BeginUpdate();
    parser.Rules().BeginUpdate();
    for (const char16_t* rule : {u"Normal a Normal tresword", u"Normal b Normal tresword", u"Normal c Normal tcomment"})
        parser.Rules().Add(rule);
    parser.Rules().EndUpdate();
    EXPECT_EQ(parser.compiles, 1);
    parser.Rules().EndUpdate();
    EXPECT_EQ(parser.compiles, 2);
    int state = 0;
    EXPECT_EQ(Scan(parser, u"a c", state), "a:2| :0|c:1");
}

TEST(EasyParser, AnInvalidExpressionKeepsTheRulesBeforeIt)
{
    TEasyParser parser(nullptr);
    try {
        parser.Rules().SetText(kHeader +
                               u"Normal a Normal tresword\nNormal {b Normal tresword\nNormal c Normal tresword");
        FAIL() << "compiled";
    } catch (const EEasyRegExprError& e) {
        EXPECT_EQ(e.Message(), L"{b is invalid mask at (3)");
    }
    int state = 0;
    EXPECT_EQ(Scan(parser, u"ac", state), "a:2|c:0");
}

TEST(EasyParser, ARunawayRuleGivesNoMatch)
{
    TEasyParser parser(nullptr);
    parser.Rules().SetText(kHeader + u"Normal !{a*b}*c Normal tresword");
    const std::u16string line(10000, u'a');
    int state = 0;
    int pos = 1;
    EXPECT_EQ(parser.NextToken(state, line, pos), 0);
    EXPECT_EQ(pos, 10001) << "the word run";
}

TEST(EasySourceParser, TokenizesTheLines)
{
    TEasySourceParser parser(nullptr);
    parser.Rules().SetText(kHeader + u"Normal 'begin' Normal tresword\nNormal \\{ Comment tcomment\n"
                                     u"Comment !\\}+ Comment tcomment\nComment \\} Normal tcomment");
    try {
        parser.Reset();
        FAIL() << "reset without lines";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), L"Strings can't be nil");
    }
    TEasyStrings lines;
    lines.SetText(u"begin {a\n\nb} x");
    parser.Strings = &lines;
    parser.Reset();
    parser.RestoreState();  // nothing saved: nothing happens
    EXPECT_EQ(parser.Pos, 1);

    std::u16string peeked;
    EXPECT_EQ(parser.PeekToken(peeked), 2);
    EXPECT_EQ(peeked, u"begin");
    EXPECT_EQ(parser.Pos, 1);

    std::vector<std::pair<std::u16string, int>> tokens;
    while (!parser.Eof()) {
        const int token = parser.ReadToken();
        if (token >= 0)
            tokens.emplace_back(parser.TokenText(), token);
        if (token == 1 && parser.TokenText() == u"a") {
            parser.SaveState();
        }
    }
    const std::vector<std::pair<std::u16string, int>> expected = {{u"begin", 2}, {u" ", 0}, {u"{", 1}, {u"a", 1},
                                                                  {u"b", 1},     {u"}", 1}, {u" ", 0}, {u"x", 0}};
    EXPECT_EQ(tokens, expected);
    EXPECT_EQ(parser.Token, -1);

    // back to behind "a", on its line
    parser.RestoreState();
    EXPECT_EQ(parser.LineIndex, 0);
    EXPECT_EQ(parser.Line, u"begin {a");
    EXPECT_EQ(parser.ReadToken(), 1);
    EXPECT_EQ(parser.TokenText(), u"b");
    EXPECT_EQ(parser.LineIndex, 2) << "the empty line is passed over";
}

}  // namespace

// Counts the scan steps an edit source asks for.
class CountingParser : public TEasyParser {
public:
    CountingParser(int& calls) : TEasyParser(nullptr), calls_(calls) {}
    int NextToken(int& state, std::u16string_view line, int& pos) override
    {
        ++calls_;
        return TEasyParser::NextToken(state, line, pos);
    }

private:
    int& calls_;
};

std::unique_ptr<TCustomEasyParser> MakeCountingParser(std::u16string_view rules, int& calls)
{
    auto parser = std::make_unique<CountingParser>(calls);
    parser->Rules().SetText(rules);
    return parser;
}

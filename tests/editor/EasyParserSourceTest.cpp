// The rule-driven parser under an edit source: re-parsing after an edit.
#include "editor/EasyEditSource.h"
#include "editor/EasyEditorParser.h"

#include "CountingParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qrv;

TEST(EasyParser, AnOpenedCommentReparsesDownToWhereTheStateSettles)
{
    int calls = 0;
    const auto parser = MakeCountingParser(u"State=Normal\nState=Comment\nToken=tnone\nToken=tcomment\n"
                                           u"Normal \\{ Comment tcomment\nComment !\\}+ Comment tcomment\n"
                                           u"Comment \\} Normal tcomment",
                                           calls);
    TEasyEditSource source(nullptr);
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"wort und wort\n";
    source.Strings().SetText(text);
    source.SetParser(parser.get());
    source.EnsureParsed(99);
    const int runsInNormal = 3;  // "wort ", "und ", "wort"
    EXPECT_EQ(calls, 100 * runsInNormal);

    // Typing the brace turns every line below into comment, one run each.
    calls = 0;
    source.SetCaretPos(0, 50);
    source.InsertText(u"{");
    source.EnsureParsed(99);
    EXPECT_EQ(calls, 2 + 49);
    EXPECT_EQ(source.Strings().StyleAt(70, 1), 1);
    EXPECT_EQ(source.Strings().StyleAt(40, 1), 0);

    // Closing it on line 60 gives the lines below back to Normal.
    calls = 0;
    source.SetCaretPos(0, 60);
    source.InsertText(u"}");
    source.EnsureParsed(99);
    EXPECT_EQ(calls, (1 + runsInNormal) + 39 * runsInNormal);
    EXPECT_EQ(source.Strings().StyleAt(70, 1), 0);
    EXPECT_EQ(source.Strings().StyleAt(55, 1), 1);

    // An edit inside the comment keeps the states: its line only.
    calls = 0;
    source.SetCaretPos(3, 55);
    source.InsertText(u"x");
    source.EnsureParsed(99);
    EXPECT_EQ(calls, 1);
}

namespace {

// Lines "wort und wort" with a keyword rule: the line's first run is a token.
constexpr std::u16string_view OneStateRules = u"State=Normal\nToken=tnone\nToken=tword\nNormal 'wort' Normal tword";
constexpr std::u16string_view CommentRules = u"State=Normal\nState=Comment\nToken=tnone\nToken=tcomment\n"
                                             u"Normal \\{ Comment tcomment\nComment !\\}+ Comment tcomment\n"
                                             u"Comment \\} Normal tcomment";

std::u16string ManyLines(int count)
{
    std::u16string text;
    text.reserve(static_cast<size_t>(count) * 14);
    for (int i = 0; i < count; ++i)
        text += u"wort und wort\n";
    return text;
}

bool Parsed(const TEasyEditSource& source, int line)
{
    return (source.Strings().Items(line)->Flags & lfParsed) != 0;
}

int ParsedCount(const TEasyEditSource& source)
{
    int count = 0;
    for (int i = 0; i < source.Strings().Count(); ++i)
        count += Parsed(source, i);
    return count;
}

// The styles of the range as a fresh parse of every line gives them must be
// what the incremental parse left.
void ExpectStylesAsFreshParse(TEasyEditSource& source, int first, int last)
{
    std::vector<std::vector<uint16_t>> kept;
    for (int i = first; i <= last; ++i) {
        ASSERT_TRUE(Parsed(source, i)) << i;
        kept.push_back(source.Strings().Items(i)->Styles);
    }
    source.ParseLines(first, last, true);
    for (int i = first; i <= last; ++i)
        EXPECT_EQ(source.Strings().Items(i)->Styles, kept[static_cast<size_t>(i - first)]) << i;
}

}  // namespace

TEST(EasyParser, SingleStateOnlyWhenNoStateCanCarryOverALine)
{
    struct Case {
        std::u16string_view rules;
        int initialState;
        bool single;
    } cases[] = {
        {u"", 0, true},                                       // rules cleared: no state at all
        {u"", 3, true},                                       // without states the initial state just passes through
        {OneStateRules, 0, true}, {OneStateRules, 1, false},  // lines would start in a state no rule leads back to
        {CommentRules, 0, false},
    };
    for (const Case& c : cases) {
        TEasyEditorParser parser(nullptr);
        parser.Rules().SetText(c.rules);
        parser.InitialState = c.initialState;
        EXPECT_EQ(parser.SingleState(), c.single) << std::string(c.rules.begin(), c.rules.end()).substr(0, 30);
    }
}

TEST(EasyParser, AOneStateParserParsesOnlyTheLinesInView)
{
    int calls = 0;
    const auto parser = MakeCountingParser(OneStateRules, calls);
    TEasyEditSource source(nullptr);
    source.Strings().SetText(ManyLines(100000));
    source.SetParser(parser.get());
    ASSERT_TRUE(source.LinesParseAlone());

    source.EnsureParsed(0, 0);
    const int callsPerLine = calls;
    ASSERT_GT(callsPerLine, 0);
    EXPECT_EQ(source.FirstUnparsedLine(), 1);

    // A jump to the end parses the page there and the rows ahead that exist.
    calls = 0;
    source.EnsureParsed(99950, 99950 + 256);
    EXPECT_EQ(calls, 50 * callsPerLine);
    EXPECT_EQ(ParsedCount(source), 51);
    EXPECT_FALSE(Parsed(source, 1));
    EXPECT_FALSE(Parsed(source, 99949));
    EXPECT_EQ(source.FirstUnparsedLine(), 1) << "the lines above are still unparsed";
    EXPECT_EQ(source.Strings().StyleAt(99999, 1), 1);
    EXPECT_EQ(source.Strings().StyleAt(99999, 5), 0);
    EXPECT_EQ(source.Strings().StyleAt(50000, 1), -1) << "no styles for a line never parsed";

    // Asking again costs nothing.
    calls = 0;
    source.EnsureParsed(99950, 99999);
    EXPECT_EQ(calls, 0);

    // Edits in and around the parsed lines: a break, a join and a line
    // inserted; the line count moves the flags with their lines.
    source.SetCaretPos(2, 99960);
    source.BreakLine();
    source.SetCaretPos(0, 99975);
    source.SetCaretPos(source.Strings().GetStored(99975).size(), 99975);
    source.JoinLines();
    source.InsertLine(99990, u"wort wort");
    source.SetCaretPos(0, 99980);
    source.InsertText(u"wort ");
    ASSERT_EQ(source.Strings().Count(), 100001);
    source.EnsureParsed(99951, 100000);
    ExpectStylesAsFreshParse(source, 99951, 100000);
    EXPECT_FALSE(Parsed(source, 99949));
    EXPECT_EQ(source.Strings().StyleAt(99961, 1), 0) << "\"rt\" is no keyword";
    EXPECT_EQ(source.Strings().StyleAt(99980, 1), 1);

    // The single-line overload still means "everything up to here".
    source.EnsureParsed(10);
    for (int i = 0; i <= 10; ++i)
        EXPECT_TRUE(Parsed(source, i)) << i;
}

TEST(EasyParser, AParserWhoseStatesCarryStillParsesFromTheTop)
{
    int calls = 0;
    const auto parser = MakeCountingParser(CommentRules, calls);
    TEasyEditSource source(nullptr);
    source.Strings().SetText(ManyLines(100000));
    source.Strings().Put(10, u"wort { offen");
    source.SetParser(parser.get());
    ASSERT_FALSE(source.LinesParseAlone());

    source.EnsureParsed(99950, 99950 + 256);
    EXPECT_EQ(source.FirstUnparsedLine(), 100000);
    EXPECT_EQ(ParsedCount(source), 100000);
    // The comment opened on line 10 reaches the end: only a parse from the
    // top can know.
    EXPECT_EQ(source.Strings().StyleAt(99999, 1), 1);
    EXPECT_EQ(source.Strings().StyleAt(9, 1), 0);
}

TEST(EasyParser, ClearedRulesMakeEveryLineOneRunWithoutAToken)
{
    int calls = 0;
    const auto parser = MakeCountingParser(CommentRules, calls);
    TEasyEditSource source(nullptr);
    source.Strings().SetText(u"wort { offen\nwort\n");
    source.SetParser(parser.get());
    source.EnsureParsed(1);
    ASSERT_EQ(source.Strings().StyleAt(1, 1), 1);

    dynamic_cast<TEasyParser&>(*parser).Rules().Clear();
    EXPECT_TRUE(source.LinesParseAlone());
    EXPECT_FALSE(Parsed(source, 1)) << "new rules, new styles";
    calls = 0;
    source.EnsureParsed(1, 1);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(Parsed(source, 0));
    EXPECT_EQ(source.Strings().StyleAt(1, 1), 0xFFFF);
}

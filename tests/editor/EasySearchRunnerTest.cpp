#include "editor/EasySearchRunner.h"

#include "EditSourceFakes.h"
#include "FakeEditCommandHost.h"
#include "editor/EasyRegExpr.h"
#include "editor/WideText.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <tuple>

using namespace qrv;
using qrv::test::FakeHost;
using qrv::test::Lines;
using qrv::test::SetLines;

namespace {

// Boxes recorded, prompts answered from a script, the hourglass counted.
class FakeSearchHost : public TEasySearchHost {
public:
    void ShowSearchBox(const std::wstring& text, TEasySearchBox kind) override { boxes.push_back({text, kind}); }
    TEasyReplaceAnswer AskReplace(const std::wstring& text) override
    {
        prompts.push_back(text);
        if (answers.empty())
            return TEasyReplaceAnswer::Cancel;
        const TEasyReplaceAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void BeginBusy() override { ++busy; }
    void EndBusy() override { --busy; }
    struct Box {
        std::wstring Text;
        TEasySearchBox Kind;
    };
    std::vector<Box> boxes;
    std::vector<std::wstring> prompts;
    std::deque<TEasyReplaceAnswer> answers;
    int busy = 0;
};

class SearchRunner : public ::testing::Test {
protected:
    SearchRunner()
    {
        edit.options = eoEnableSelection | eoSelectFoundText;
        edit.keepSelection = [this] { return runner.SelectLocked(); };
        settings.Origin = TEasySearchOrigin::sgFromCursor;
        settings.PromptOnReplace = false;
    }
    void Text(std::u16string_view text, TEasyPoint caret = {})
    {
        SetLines(edit.source, text);
        edit.source.SetCaretPos(caret.X, caret.Y);
    }
    // Every lock, update and hourglass is given back.
    void ExpectSettled()
    {
        EXPECT_EQ(edit.source.UpdateDepth(), 0);
        EXPECT_FALSE(runner.FindLocked());
        EXPECT_FALSE(runner.SelectLocked());
        EXPECT_EQ(host.busy, 0);
    }

    FakeHost edit;
    TEasyEditCommands commands{edit};
    FakeSearchHost host;
    TEasySearchSettings settings;
    TEasySearchRunner runner{edit, commands, host, settings};
};

TEST_F(SearchRunner, FindSelectsEachMatchThenReportsTheEnd)
{
    Text(u"abc xabc|abc", {1, 0});
    settings.TextToFind = L"abc";
    // From the cursor: the match the caret stands inside is not found again.
    ASSERT_TRUE(runner.FindFromDialog());
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{5, 0}));
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{8, 0}));
    EXPECT_EQ(edit.mode, smStream);
    EXPECT_EQ(edit.start, (TEasyPoint{5, 0}));
    EXPECT_EQ(edit.end, (TEasyPoint{8, 0}));
    runner.FindNext(26);
    EXPECT_EQ(edit.start, (TEasyPoint{0, 1}));
    EXPECT_TRUE(host.boxes.empty());
    runner.FindNext(26);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].Text, L"Text 'abc' nicht gefunden");
    EXPECT_EQ(host.boxes[0].Kind, TEasySearchBox::Information);
    ExpectSettled();

    // Backward from the text's end over the entire scope.
    settings.Direction = TEasySearchDirection::srBackward;
    settings.Origin = TEasySearchOrigin::sgEntireScope;
    ASSERT_TRUE(runner.FindFromDialog());
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{0, 1}));
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{0, 1}));
    runner.FindNext(26);
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{5, 0}));
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{5, 0}));
}

TEST_F(SearchRunner, ScopeAndOptionRules)
{
    // The selected-text scope without a selection: an error box, no search.
    Text(u"abc abc");
    settings.TextToFind = L"abc";
    settings.Scope = TEasySearchScope::scSelectedText;
    EXPECT_FALSE(runner.FindFromDialog());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].Text, kEasyNoSelectionText);
    EXPECT_EQ(host.boxes[0].Kind, TEasySearchBox::Error);
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{0, 0}));

    // Within a selection, from outside it: the search starts at its start
    // and finds only what lies inside; the selection stays the scope.
    host.boxes.clear();
    Text(u"abc abc abc", {0, 0});
    edit.StoreSelection({2, 0}, {8, 0}, smStream);
    ASSERT_TRUE(runner.FindFromDialog());
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{4, 0}));
    EXPECT_EQ(edit.start, (TEasyPoint{2, 0}));
    EXPECT_EQ(edit.end, (TEasyPoint{8, 0}));
    runner.FindNext(26);
    EXPECT_EQ(host.boxes.size(), 1u);

    // Search again without a selection goes global.
    edit.StoreSelection({}, {}, smNone);
    edit.source.SetCaretPos(0, 0);
    host.boxes.clear();
    runner.FindNext(26);
    EXPECT_EQ(settings.Scope, TEasySearchScope::scGlobal);
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{0, 0}));

    // A whole-word search for a text with a blank drops the whole-word rule.
    settings.WholeWordsOnly = true;
    settings.TextToFind = L"c a";
    Text(u"abc abc");
    ASSERT_TRUE(runner.FindFromDialog());
    EXPECT_FALSE(settings.WholeWordsOnly);
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{2, 0}));
    ExpectSettled();
}

TEST_F(SearchRunner, ReplaceAllIsOneChangeAndReportsAtMostOnce)
{
    Text(u"a xa a|a");
    settings.TextToFind = L"a";
    settings.ReplaceWith = L"bb";
    settings.ReplaceAll = true;
    settings.Origin = TEasySearchOrigin::sgEntireScope;
    edit.source.SetCaretPos(3, 0);
    runner.ReplaceFromDialog();
    EXPECT_EQ(Lines(edit.source), u"bb xbb bb|bb");
    EXPECT_EQ(runner.ReplaceCount(), 4);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(settings.ShowNotFound);
    ExpectSettled();
    edit.source.Undo();
    EXPECT_EQ(Lines(edit.source), u"a xa a|a");

    // Nothing to replace: one box.
    runner.ReplaceFromDialog();
    Text(u"xyz");
    runner.ReplaceFromDialog();
    EXPECT_EQ(host.boxes.size(), 1u);
    ExpectSettled();
}

TEST_F(SearchRunner, PromptAnswers)
{
    struct Case {
        const char* Name;
        std::vector<TEasyReplaceAnswer> Answers;
        std::u16string Expected;
        size_t Prompts;
    };
    using A = TEasyReplaceAnswer;
    const Case cases[] = {
        {"YesNoYes", {A::Yes, A::No, A::Yes, A::Cancel}, u"X a X a", 4},
        {"AllAtFirst", {A::All}, u"X X X X", 1},
        {"NoThenAll", {A::No, A::All}, u"a X X X", 2},
        {"CancelAtFirst", {A::Cancel}, u"a a a a", 1},
        {"NoToEveryOne", {A::No, A::No, A::No, A::No}, u"a a a a", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Text(u"a a a a");
        host.answers.assign(c.Answers.begin(), c.Answers.end());
        host.prompts.clear();
        host.boxes.clear();
        settings.TextToFind = L"a";
        settings.ReplaceWith = L"X";
        settings.PromptOnReplace = true;
        settings.ReplaceAll = false;
        settings.Origin = TEasySearchOrigin::sgEntireScope;
        runner.ReplaceFromDialog();
        // The single step and, after All, the loop; further steps need a
        // search again each.
        for (int again = 0; again < 10 && !host.answers.empty() && settings.PromptOnReplace; ++again)
            runner.FindNext(27);
        EXPECT_EQ(Lines(edit.source), c.Expected);
        EXPECT_EQ(host.prompts.size(), c.Prompts);
        ASSERT_FALSE(host.prompts.empty());
        EXPECT_EQ(host.prompts[0], L"Dieses Vorkommen von 'a' ersetzen?");
        ExpectSettled();
        // "All" makes every replacement after it one change with the first.
        if (std::string(c.Name) == "AllAtFirst") {
            edit.source.Undo();
            EXPECT_EQ(Lines(edit.source), u"a a a a");
        }
    }
}

TEST_F(SearchRunner, ReplaceLoopsEndOnEmptyAndRecreatedMatches)
{
    struct Case {
        const char* Name;
        const wchar_t* Pattern;
        bool Regular;
        const wchar_t* Replacement;
        TEasySearchDirection Direction;
        std::u16string Text;
        std::u16string Expected;  // empty: only that the loop ends, undo restores
    };
    using D = TEasySearchDirection;
    const Case cases[] = {
        {"LineEndsForward", L"$", true, L"!", D::srForward, u"ab||c", u"ab!|!|c!"},
        {"LineEndsBackward", L"$", true, L"!", D::srBackward, u"ab||c", u"ab!|!|c!"},
        {"StarForward", L"x*", true, L"-", D::srForward, u"axxb|x", u""},
        {"StarBackward", L"x*", true, L"-", D::srBackward, u"axxb|x", u""},
        {"RecreatesForward", L"a", false, L"aa", D::srForward, u"a a|a", u"aa aa|aa"},
        {"RecreatesBackward", L"a", false, L"aa", D::srBackward, u"a a|a", u"aa aa|aa"},
        {"ShrinksToMatch", L"aa", false, L"a", D::srForward, u"aaaa", u"aa"},
        // The blanks put in are not searched: the line end stays where it was.
        {"BlankAtLineEndsForward", L"$", true, L" ", D::srForward, u"ab|c", u"ab |c "},
        {"BlankAtLineEndsBackward", L"$", true, L" ", D::srBackward, u"ab|c", u"ab |c "},
        {"EmptyPattern", L"", true, L"-", D::srForward, u"ab", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Text(c.Text);
        settings.TextToFind = c.Pattern;
        settings.RegularExpr = c.Regular;
        settings.ReplaceWith = c.Replacement;
        settings.Direction = c.Direction;
        settings.ReplaceAll = true;
        settings.Origin = TEasySearchOrigin::sgEntireScope;
        runner.ReplaceFromDialog();
        if (!c.Expected.empty())
            EXPECT_EQ(Lines(edit.source), c.Expected);
        else
            EXPECT_EQ(Lines(edit.source).find(u'x'), std::u16string::npos) << ToWide(Lines(edit.source)).size();
        ExpectSettled();
        edit.source.Undo();
        EXPECT_EQ(Lines(edit.source), c.Text);
    }
}

// A pattern engine that raises on the third line it is given in all.
class RaisingMatcher : public TEasyLineMatcher {
public:
    explicit RaisingMatcher(int& calls) : calls_(calls) {}
    bool Search(std::u16string_view line, int& column, bool forward, int& matchLength) override
    {
        if (++calls_ == 3)
            throw EEasyRegExprError(L"Muster zu komplex");
        return plain_.Search(line, column, forward, matchLength);
    }

private:
    TEasyRegExpr plain_{u"a", false};
    int& calls_;
};

// Replace All without a prompt changes the lines at once; it must replace
// exactly what the prompting loop replaces when every answer is Ja: the same
// text, count and caret, and one undo step back to the start, for random
// texts, patterns, replacements and both directions.
TEST_F(SearchRunner, ReplaceAllAtOnceMatchesThePromptingLoop)
{
    struct Pattern {
        const wchar_t* Text;
        bool Regular;
    };
    const Pattern patterns[] = {{L"a", false}, {L"ab", false}, {L"A b", false}, {L"a*", true},
                                {L"$", true},  {L"b|a", true}, {L"^a", true}};
    const wchar_t* const replacements[] = {L"", L"x", L"aa", L"b a"};
    // Blanks left at a line's end stay: the prompting loop's steps are
    // edits of their own, and the caret leaving such a line trims it.
    edit.source.SetOptions(edit.source.Options() | srLeaveTrailSpaces);
    std::mt19937 random(67);
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        for (int i = int(random() % 30); i > 0; --i)
            text += u"ab |"[random() % 4];
        const Pattern& pattern = patterns[random() % std::size(patterns)];
        settings.TextToFind = pattern.Text;
        settings.RegularExpr = pattern.Regular;
        settings.CaseSensitive = random() % 2 == 0;
        settings.WholeWordsOnly = random() % 3 == 0;
        settings.ReplaceWith = replacements[random() % std::size(replacements)];
        settings.Direction = random() % 2 ? TEasySearchDirection::srForward : TEasySearchDirection::srBackward;
        settings.Origin = random() % 2 ? TEasySearchOrigin::sgEntireScope : TEasySearchOrigin::sgFromCursor;
        const TEasyPoint caret{int(random() % 4), int(random() % 3)};
        auto run = [&](bool prompting) {
            Text(text, caret);
            settings.PromptOnReplace = prompting;
            settings.ReplaceAll = true;
            host.answers.assign(1000, TEasyReplaceAnswer::Yes);
            runner.ReplaceFromDialog();
            ExpectSettled();
            return std::tuple(Lines(edit.source), runner.ReplaceCount(), edit.source.CaretPoint());
        };
        const auto looped = run(true);
        const std::u16string before = [&] {
            Text(text, caret);
            return Lines(edit.source);
        }();
        const auto atOnce = run(false);
        const std::string trace = WideToUtf8(ToWide(text)) + " pattern " + WideToUtf8(pattern.Text);
        ASSERT_EQ(std::get<0>(atOnce), std::get<0>(looped)) << trace;
        ASSERT_EQ(std::get<1>(atOnce), std::get<1>(looped)) << trace;
        ASSERT_EQ(std::get<2>(atOnce), std::get<2>(looped)) << trace;
        edit.source.Undo();
        ASSERT_EQ(Lines(edit.source), before) << trace;
    }
}

TEST_F(SearchRunner, RaisingPatternMidwayLeavesNothingOpen)
{
    int calls = 0;
    SetSearchHook([&calls](const std::u16string&, bool) { return std::make_unique<RaisingMatcher>(calls); });
    Text(u"a|a|a|a|a");
    settings.TextToFind = L"a";
    settings.RegularExpr = true;
    settings.ReplaceWith = L"b";
    settings.Origin = TEasySearchOrigin::sgEntireScope;
    for (const bool all : {true, false}) {
        SCOPED_TRACE(all);
        host.boxes.clear();
        calls = 0;
        Text(u"a|a|a|a|a");
        settings.ReplaceAll = all;
        settings.PromptOnReplace = !all;
        host.answers = {TEasyReplaceAnswer::All};
        runner.ReplaceFromDialog();
        ASSERT_FALSE(host.boxes.empty());
        EXPECT_EQ(host.boxes.back().Text, L"Muster zu komplex");
        EXPECT_TRUE(settings.ShowNotFound);
        ExpectSettled();
        // The editor goes on: a plain search after it works.
        settings.RegularExpr = false;
        edit.source.SetCaretPos(0, 0);
        EXPECT_TRUE(runner.Find());
        settings.RegularExpr = true;
    }
    SetSearchHook(nullptr);
}

TEST_F(SearchRunner, ReadOnlyTextIsNotReplaced)
{
    Text(u"a a");
    edit.source.SetReadOnly(true);
    settings.TextToFind = L"a";
    settings.ReplaceWith = L"b";
    settings.ReplaceAll = true;
    EXPECT_FALSE(runner.Replace());
    EXPECT_EQ(Lines(edit.source), u"a a");
}

TEST_F(SearchRunner, ReplaceInSelectionKeepsToIt)
{
    Text(u"a a a|a a");
    edit.StoreSelection({0, 0}, {3, 0}, smStream);
    settings.TextToFind = L"a";
    settings.ReplaceWith = L"bcd";
    settings.ReplaceAll = true;
    settings.Scope = TEasySearchScope::scSelectedText;
    settings.Origin = TEasySearchOrigin::sgEntireScope;
    runner.ReplaceFromDialog();
    EXPECT_EQ(Lines(edit.source), u"bcd bcd a|a a");
    ExpectSettled();
}

TEST_F(SearchRunner, IncrementalSearchTypingBackAndNext)
{
    Text(u"xab abd ab\U0001F600");
    edit.source.SetCaretPos(0, 0);
    runner.StartIncrementalSearch();
    EXPECT_TRUE(runner.IncrementalActive());
    struct Step {
        char16_t Typed;  // 0: Back; 1: search again
        const char16_t* Text;
        TEasyPoint Match;
        int Length;  // -1: no highlight
    };
    const Step steps[] = {
        {u'a', u"a", {1, 0}, 1},
        {u'b', u"ab", {1, 0}, 2},
        {u'd', u"abd", {4, 0}, 3},
        {u'q', u"abd", {4, 0}, 3},  // continues no match: dropped
        {0, u"ab", {4, 0}, 2},
        {1, u"ab", {8, 0}, 2},
        {u'\xD83D', u"ab\xD83D", {8, 0}, 2},  // waits for its low half
        {u'\xDE00', u"ab\U0001F600", {8, 0}, 4},
        {0, u"ab", {8, 0}, 2},  // the pair goes whole
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(ToWide(step.Text).size());
        if (step.Typed == 0)
            runner.IncrementalBack();
        else if (step.Typed == 1)
            runner.FindNext(26);
        else
            runner.IncrementalChar(step.Typed);
        EXPECT_EQ(runner.IncrementalText(), step.Text);
        ASSERT_TRUE(runner.HasMatch());
        EXPECT_EQ(runner.MatchStart(), step.Match);
        EXPECT_EQ(runner.MatchLength(), step.Length);
        EXPECT_EQ(edit.source.CaretPoint(), step.Match);
    }
    // Search again past the last match: caret and highlight stay, one box.
    runner.FindNext(26);
    EXPECT_EQ(runner.MatchStart(), (TEasyPoint{8, 0}));
    EXPECT_EQ(edit.source.CaretPoint(), (TEasyPoint{8, 0}));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].Text, L"Text 'ab' nicht gefunden");
    runner.EndIncrementalSearch();
    EXPECT_FALSE(runner.IncrementalActive());
    EXPECT_TRUE(runner.IncrementalText().empty());
    EXPECT_FALSE(runner.HasMatch());
    ExpectSettled();
}

}  // namespace

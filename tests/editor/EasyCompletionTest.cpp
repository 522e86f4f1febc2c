#include "editor/EasyCompletion.h"

#include "editor/EasyBracketPair.h"
#include "EditSourceFakes.h"
#include "FakeEditCommandHost.h"

#include <gtest/gtest.h>

using namespace qrv;
using qrv::test::FakeHost;
using qrv::test::Lines;
using qrv::test::SetLines;

namespace {

// The list, hint and timer as a window would show them, and the owner's
// events answered from fields.
class FakeCompletionHost : public TEasyCompletionHost {
public:
    bool CanComplete() override { return completes; }
    bool AutoComplete(std::vector<std::u16string>& items, char16_t key) override
    {
        askedKey = key;
        items = offered;
        return allowList;
    }
    bool DisplayHint(std::u16string& text, char16_t) override
    {
        text = hintText;
        return true;
    }
    void BeforeInsertPopup(std::u16string& text) override
    {
        if (beforeInsert)
            text = beforeInsert(text);
    }
    bool WordAutoCorrect(const std::u16string& word, std::u16string& correct) override
    {
        corrected.push_back(word);
        if (word != u"teh")
            return false;
        correct = u"the";
        return true;
    }
    void ShowList(const std::vector<std::wstring>& shown, int chosenLine) override
    {
        lines = shown;
        chosen = chosenLine;
        listOpen = true;
    }
    void ChooseListItem(int index) override { chosen = index; }
    void CloseList() override { listOpen = false; }
    bool ListShowing() override { return listOpen; }
    void ShowHint(const std::u16string& text) override { hint = text; }
    bool HintShowing() override { return !hint.empty(); }
    void StartTimer(int ms) override { timer = ms; }
    void StopTimer() override { timer = 0; }

    bool completes = true;
    bool allowList = true;
    std::vector<std::u16string> offered;
    std::u16string hintText;
    std::function<std::u16string(const std::u16string&)> beforeInsert;
    char16_t askedKey = 0;
    std::vector<std::u16string> corrected;
    std::vector<std::wstring> lines;
    int chosen = -1;
    bool listOpen = false;
    std::u16string hint;
    int timer = 0;
};

class Completion : public ::testing::Test {
protected:
    Completion() { host.source.SetOptions(host.source.Options() & ~(srAutoIndent | srBackUnindents)); }
    void Text(std::u16string_view text, TEasyPoint caret)
    {
        SetLines(host.source, text);
        host.source.SetCaretPos(caret.X, caret.Y);
    }
    // A character typed as the editor types it.
    void Type(char16_t c)
    {
        completion.BeforeTyping(c);
        commands.TypeChar(c);
        completion.AfterTyping(c);
    }
    void AddTemplate(const wchar_t* name, std::vector<std::wstring> code)
    {
        templates.Add({name, std::wstring(L"about ") + name, std::move(code)});
    }
    TEasyPoint Caret() { return host.source.CaretPoint(); }

    FakeHost host;
    TEasyEditCommands commands{host};
    FakeCompletionHost owner;
    TEasyCodeTemplates templates;
    TEasyCompletion completion{commands, host, owner, templates};
};

TEST_F(Completion, AnExactTemplateIsInsertedAtTheCaretColumnWithTheCaretAtTheBar)
{
    AddTemplate(L"if", {L"if (|) {", L"", L"}"});
    AddTemplate(L"ifelse", {L"if () {", L"} else {", L"}"});
    Text(u"  x = 1;|  if", {4, 1});
    ASSERT_TRUE(completion.InsertCodeTemplate());
    EXPECT_EQ(Lines(host.source), u"  x = 1;|  if () {||  }");
    EXPECT_EQ(Caret(), (TEasyPoint{6, 1}));
    EXPECT_EQ(host.mode, smNone);
    EXPECT_FALSE(owner.listOpen);
    // One step: undo gives the word back.
    host.source.Undo();
    EXPECT_EQ(Lines(host.source), u"  x = 1;|  if");
}

TEST_F(Completion, TheRestOfTheLineFollowsTheLastTemplateLine)
{
    AddTemplate(L"pair", {L"(|)"});
    Text(u"f pair + 1", {6, 0});
    completion.InsertCodeTemplate();
    EXPECT_EQ(Lines(host.source), u"f () + 1");
    EXPECT_EQ(Caret(), (TEasyPoint{3, 0}));
}

TEST_F(Completion, SeveralTemplatesAreListedAndTypingChoosesAmongThem)
{
    AddTemplate(L"for", {L"for (;;) {", L"}"});
    AddTemplate(L"forin", {L"for (x in |)"});
    AddTemplate(L"while", {L"while () {}"});
    Text(u"fo", {2, 0});
    completion.InsertCodeTemplate();
    ASSERT_TRUE(owner.listOpen);
    EXPECT_TRUE(completion.TemplateMode());
    ASSERT_EQ(owner.lines.size(), 2u);
    EXPECT_EQ(owner.lines[1], L"{\\rtf1 about forin|{\\b forin}}");
    // The word stays typed (not selected) while the list shows.
    EXPECT_EQ(host.mode, smNone);
    Type(u'r');
    Type(u'i');
    EXPECT_EQ(owner.chosen, 1);
    completion.Accept(owner.chosen);
    EXPECT_EQ(Lines(host.source), u"for (x in )");
    EXPECT_EQ(Caret(), (TEasyPoint{10, 0}));
    EXPECT_FALSE(owner.listOpen);
}

TEST_F(Completion, WithoutAWordEveryTemplateIsListedAndNoneWithoutTemplates)
{
    Text(u"a ", {2, 0});
    EXPECT_FALSE(completion.InsertCodeTemplate());
    AddTemplate(L"x", {L"x"});
    AddTemplate(L"y", {L"y"});
    completion.InsertCodeTemplate();
    EXPECT_EQ(owner.lines.size(), 2u);
}

TEST_F(Completion, BeforeInsertPopupMayChangeTheTemplate)
{
    AddTemplate(L"d", {L"date"});
    owner.beforeInsert = [](const std::u16string&) { return std::u16string(u"11.12.2026\r\n|"); };
    Text(u"d", {1, 0});
    completion.InsertCodeTemplate();
    EXPECT_EQ(Lines(host.source), u"11.12.2026|");
    EXPECT_EQ(Caret(), (TEasyPoint{0, 1}));
}

TEST_F(Completion, APauseInTypingOpensTheOwnersListWhereTypingStopped)
{
    owner.offered = {u"Length", u"Left", u"Items"};
    Text(u"s", {1, 0});
    Type(u'.');
    EXPECT_EQ(owner.timer, 500);
    completion.PauseEnded();
    EXPECT_EQ(owner.askedKey, u'.');
    ASSERT_TRUE(owner.listOpen);
    EXPECT_EQ(owner.chosen, 0);
    Type(u'i');
    EXPECT_EQ(owner.chosen, 2);
    Type(u't');
    EXPECT_EQ(owner.chosen, 2);
    completion.Accept(owner.chosen);
    EXPECT_EQ(Lines(host.source), u"s.Items");
    EXPECT_EQ(Caret(), (TEasyPoint{7, 0}));
    // Taking a line is typing: one undo takes it back with what was typed.
    host.source.Undo();
    EXPECT_EQ(Lines(host.source), u"s");
}

TEST_F(Completion, ItemsStartingWithTheTypedTextComeBeforeOnesHoldingIt)
{
    owner.offered = {u"xLe", u"Length"};
    Text(u"", {0, 0});
    Type(u'a');
    completion.PauseEnded();
    Type(u'l');
    Type(u'e');
    EXPECT_EQ(owner.chosen, 1);
}

TEST_F(Completion, ADotAcceptsTheListBeforeItIsTyped)
{
    owner.offered = {u"Owner", u"Parent"};
    Text(u"a", {1, 0});
    Type(u'.');
    completion.PauseEnded();
    Type(u'p');
    Type(u'.');
    EXPECT_EQ(Lines(host.source), u"a.Parent.");
    EXPECT_FALSE(owner.listOpen);
}

TEST_F(Completion, TheListClosesWhenTheCaretLeavesItsLineOrGoesBeforeItsStart)
{
    owner.offered = {u"One"};
    Text(u"ab|cd", {2, 0});
    Type(u'x');
    completion.PauseEnded();
    ASSERT_TRUE(owner.listOpen);
    commands.Execute(TEasyKeyHandler::ExecuteCommand, 2);
    completion.CaretMoved();
    EXPECT_FALSE(owner.listOpen);

    Type(u'y');
    completion.PauseEnded();
    ASSERT_TRUE(owner.listOpen);
    commands.Execute(TEasyKeyHandler::ExecuteCommand, 1);
    completion.CaretMoved();
    EXPECT_FALSE(owner.listOpen);
}

TEST_F(Completion, ThePauseActsOnlyForTheCaretWhereTypingStopped)
{
    owner.offered = {u"One"};
    Text(u"ab", {2, 0});
    Type(u'x');
    commands.Execute(TEasyKeyHandler::ExecuteCommand, 2);
    completion.PauseEnded();
    EXPECT_FALSE(owner.listOpen);
    EXPECT_EQ(owner.timer, 0);
}

TEST_F(Completion, WithoutAListTheOwnersHintShowsAndNoPauseStartsWhileItShows)
{
    owner.allowList = false;
    owner.offered = {u"ignored"};
    owner.hintText = u"int Length()";
    Text(u"", {0, 0});
    Type(u'(');
    completion.PauseEnded();
    EXPECT_FALSE(owner.listOpen);
    EXPECT_EQ(owner.hint, u"int Length()");
    Type(u'a');
    EXPECT_EQ(owner.timer, 0);
}

TEST_F(Completion, NothingStartsWithoutAnOwnerThatCompletes)
{
    owner.completes = false;
    Text(u"", {0, 0});
    Type(u'a');
    EXPECT_EQ(owner.timer, 0);
    completion.PauseEnded();
    EXPECT_FALSE(owner.listOpen);
}

TEST_F(Completion, ADelimiterCorrectsTheWordBeforeItWhenTheSpellingRejectsIt)
{
    host.source.SetOptions(host.source.Options() | srAutoCorrect);
    host.source.OnWordSpell = [](TCustomEasyEditSource*, const std::u16string& word, bool& correct) {
        correct = word != u"teh" && word != u"wrod";
    };
    Text(u"", {0, 0});
    for (char16_t c : std::u16string(u"(teh"))
        Type(c), completion.KeyUp();
    Type(u' ');
    completion.KeyUp();
    EXPECT_EQ(Lines(host.source), u"(the ");
    EXPECT_EQ(Caret(), (TEasyPoint{5, 0}));
    // A word without correction, a right one and a non-delimiter stay.
    for (char16_t c : std::u16string(u"wrod, ok;x"))
        Type(c), completion.KeyUp();
    EXPECT_EQ(Lines(host.source), u"(the wrod, ok;x");
    EXPECT_EQ(owner.corrected, (std::vector<std::u16string>{u"teh", u"wrod"}));
    EXPECT_EQ(completion.LastTypedChar(), 0);
}

TEST_F(Completion, NoCorrectionWithoutTheOption)
{
    host.source.OnWordSpell = [](TCustomEasyEditSource*, const std::u16string&, bool& correct) { correct = false; };
    Text(u"teh", {3, 0});
    Type(u' ');
    completion.KeyUp();
    EXPECT_EQ(Lines(host.source), u"teh ");
    EXPECT_TRUE(owner.corrected.empty());
}

TEST(ListKeys, TheListTakesItsKeysSpaceAcceptsArrowsCloseIt)
{
    EXPECT_EQ(ListKeyTarget(0x0D, false), TEasyListKey::List);
    EXPECT_EQ(ListKeyTarget(0x28, false), TEasyListKey::List);
    EXPECT_EQ(ListKeyTarget(0x22, false), TEasyListKey::List);
    EXPECT_EQ(ListKeyTarget(0x20, false), TEasyListKey::Accept);
    EXPECT_EQ(ListKeyTarget(0x20, true), TEasyListKey::Editor);
    EXPECT_EQ(ListKeyTarget(0x25, false), TEasyListKey::CloseAndEditor);
    EXPECT_EQ(ListKeyTarget(0x08, false), TEasyListKey::Editor);
}

struct BracketCase {
    const char* Name;
    std::u16string Text;
    TEasyPoint Caret;
    std::optional<TEasyBracketPair> Expected;
};

class Brackets : public ::testing::TestWithParam<BracketCase> {};

const BracketCase kBracketCases[] = {
    {"InsideParentheses", u"f(a, b)", {3, 0}, TEasyBracketPair{{1, 0}, {6, 0}}},
    {"CaretOnTheClosingOne", u"f(a)", {3, 0}, TEasyBracketPair{{1, 0}, {3, 0}}},
    {"CaretOnTheOpeningOneIsOutside", u"f(a)", {1, 0}, std::nullopt},
    {"AnOpeningOneWithoutPartnerEnclosesNothing", u"{ [a] (b }", {7, 0}, TEasyBracketPair{{0, 0}, {9, 0}}},
    {"ClosedPairsBeforeTheCaretEncloseNothing", u"(a) (b) c)", {8, 0}, std::nullopt},
    {"InnerClosedPairIsSkipped", u"(x (a) c)", {7, 0}, TEasyBracketPair{{0, 0}, {8, 0}}},
    {"OverLines", u"if (a|  && b)", {2, 1}, TEasyBracketPair{{3, 0}, {6, 1}}},
    {"UnmatchedOpeningFallsBackToOuter", u"{ ( x }", {5, 0}, TEasyBracketPair{{0, 0}, {6, 0}}},
    {"NoneAround", u"a (b) c", {6, 0}, std::nullopt},
    {"AngleAndSquare", u"<[x]>", {2, 0}, TEasyBracketPair{{1, 0}, {3, 0}}},
};

TEST_P(Brackets, ThePairAroundTheCaret)
{
    const BracketCase& c = GetParam();
    TEasyEditSource source(nullptr);
    SetLines(source, c.Text);
    EXPECT_EQ(FindEnclosingBrackets(source.Strings(), c.Caret, 0, source.Strings().Count() - 1), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Brackets, ::testing::ValuesIn(kBracketCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(BracketBounds, TheScanStaysInsideItsLinesAndItsBudget)
{
    TEasyEditSource source(nullptr);
    SetLines(source, u"(|a|b|c|)");
    EXPECT_TRUE(FindEnclosingBrackets(source.Strings(), {0, 2}, 0, 4));
    EXPECT_FALSE(FindEnclosingBrackets(source.Strings(), {0, 2}, 1, 4));
    EXPECT_FALSE(FindEnclosingBrackets(source.Strings(), {0, 2}, 0, 3));
    // Past the character budget the pair is not searched for.
    const std::u16string wide(size_t(kBracketScanLimit) + 10, u'x');
    SetLines(source, u"(" + wide + u")");
    EXPECT_FALSE(FindEnclosingBrackets(source.Strings(), {int(wide.size()), 0}, 0, 0));
    SetLines(source, u"(" + wide.substr(0, 100) + u")");
    EXPECT_TRUE(FindEnclosingBrackets(source.Strings(), {50, 0}, 0, 0));
}

}  // namespace

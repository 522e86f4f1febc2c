#include "editor/EasyEditSource.h"
#include "editor/EditorSettings.h"
#include "framework/Encoding.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "EditSourceFakes.h"
#include "TestDir.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qrv;
using qrv::test::FakeParser;
using qrv::test::FakeView;
using qrv::test::Lines;
using qrv::test::SetLines;

namespace {

class EditSource : public ::testing::Test {
protected:
    TEasyEditSource source{nullptr};
    FakeView view{source};
};

}  // namespace

TEST_F(EditSource, LoadingResetsTheDocument)
{
    test::TestDir dir;
    SetLines(source, u"alt|zwei");
    source.SetCaretPos(2, 1);
    source.InsertText(u"xx");
    source.SetBookmark(1, {1, 1});
    source.SetLineStyle(0, 4);
    ASSERT_TRUE(source.CanUndo());
    view.Forget();

    source.LoadFromFile(dir.Write(L"a.txt", "eins\r\nzwei\r\n"));
    EXPECT_EQ(Lines(source), u"eins|zwei");
    EXPECT_EQ(source.FileName(), dir.File(L"a.txt"));
    EXPECT_FALSE(source.Modified());
    EXPECT_EQ(source.CaretPoint(), (TEasyPoint{0, 0}));
    EXPECT_EQ(source.UndoList().Count(), 0);
    EXPECT_EQ(source.RedoList().Count(), 0);
    EXPECT_EQ(source.Bookmarks().Count(), 0) << "bookmarks of the old text go";
    EXPECT_EQ(source.GetLineStyle(0), -1);
    ASSERT_FALSE(view.broadcasts.empty());
    EXPECT_EQ(view.broadcasts.back().states & (csPositionChanged | csEdit), csPositionChanged | csEdit);
    EXPECT_EQ(source.FirstUnparsedLine(), 0);

    source.SaveToFile(dir.File(L"b.txt"));
    EXPECT_EQ(dir.Read(L"b.txt"), "eins\r\nzwei\r\n");
    EXPECT_EQ(source.FileName(), dir.File(L"b.txt"));
}

TEST_F(EditSource, FailedLoadOrSaveChangesNothing)
{
    test::TestDir dir;
    const std::wstring file = dir.Write(L"a.txt", "eins\r\nzwei\r\n");
    source.LoadFromFile(file);
    source.SetCaretPos(4, 0);
    source.InsertText(u"!");
    const TEasyPoint caret = source.CaretPoint();

    EXPECT_THROW(source.LoadFromFile(dir.File(L"fehlt.txt")), EFOpenError);
    EXPECT_EQ(source.FileName(), file);
    EXPECT_EQ(Lines(source), u"eins!|zwei");
    EXPECT_EQ(source.CaretPoint(), caret);
    EXPECT_TRUE(source.CanUndo()) << "the undo list survives a failed load";

    EXPECT_ANY_THROW(source.SaveToFile(dir.File(L"fehlt/b.txt")));
    EXPECT_EQ(source.FileName(), file);

    // An ANSI document cannot hold every character: the file stays as it was.
    source.InsertText(u"\u0141");
    EXPECT_THROW(source.SaveToFile(file), EEncodingError);
    EXPECT_EQ(source.FileName(), file);
    EXPECT_EQ(dir.Read(L"a.txt"), "eins\r\nzwei\r\n");
    EXPECT_EQ(Lines(source), u"eins\u0141!|zwei");
}

TEST_F(EditSource, ReadOnlyBeepsAndKeepsTheText)
{
    int beeps = 0;
    SetEasyBeep([&] { ++beeps; });
    SetLines(source, u"eins|zwei");
    source.SetCaretPos(4, 0);
    source.InsertText(u"x");
    source.SetReadOnly(true);
    EXPECT_EQ(view.broadcasts.back().states, csReadOnlyChanged);

    source.InsertText(u"y");
    EXPECT_EQ(beeps, 1);
    source.DeleteChars(1);
    source.JoinLines();
    source.BreakLine();
    source.BackUnindent();
    source.Undo();
    EXPECT_EQ(Lines(source), u"einsx|zwei");
    source.SetReadOnly(false);
    source.Undo();
    EXPECT_EQ(Lines(source), u"eins|zwei");
    SetEasyBeep(nullptr);
}

TEST_F(EditSource, CaretMovesLeaveUneditedLinesAlone)
{
    // Lines ending in blanks, walked over as Down, a click and Up do it.
    const std::u16string text = u"eins  |zwei   |drei   |vier ";
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "editable");
        SetLines(source, text);
        source.SetReadOnly(readOnly);
        source.SetCaretPos(2, 0);
        for (int step = 0; step < 3; ++step)
            source.SetCaretPos(source.CaretX(), source.CaretY() + 1);
        source.SetCaretPos(6, 1);
        source.SetCaretPos(0, 0);
        EXPECT_EQ(Lines(source), text);
        EXPECT_FALSE(source.Modified()) << "a caret move is no change";
        source.SetReadOnly(false);
    }

    // In an editable text only the line the user edited loses its trailing
    // blanks, when the caret leaves it; the lines passed afterwards keep theirs.
    SetLines(source, text);
    source.SetCaretPos(4, 1);
    source.InsertText(u"x ");
    EXPECT_EQ(Lines(source), u"eins  |zweix    |drei   |vier ");
    source.SetCaretPos(0, 2);
    source.SetCaretPos(0, 3);
    source.SetCaretPos(0, 0);
    EXPECT_EQ(Lines(source), u"eins  |zweix|drei   |vier ");
    EXPECT_TRUE(source.Modified());
    while (source.CanUndo())
        source.Undo();
    EXPECT_EQ(Lines(source), text) << "the trim and the typing go back with undo";
}

TEST_F(EditSource, TabsBecomeSpacesUnlessKept)
{
    SetLines(source, u"a\tb|\tc");
    EXPECT_EQ(Lines(source), u"a       b|        c") << "the stored text itself";

    source.SetOptions(source.Options() | srUseTab);
    SetLines(source, u"a\tb");
    EXPECT_EQ(source.Strings().GetStored(0), u"a\tb");
    EXPECT_EQ(source.Strings().Get(0), u"a       b") << "read with the tab expanded";

    // Typing inside a tab's expansion puts the text before the tab, after
    // spaces up to the caret; undo takes both back.
    source.SetCaretPos(3, 0);
    source.InsertText(u"x");
    EXPECT_EQ(source.Strings().GetStored(0), u"a  x\tb");
    EXPECT_EQ(source.CaretX(), 3);
    source.Undo();
    EXPECT_EQ(source.Strings().GetStored(0), u"a\tb");
    EXPECT_EQ(source.CaretX(), 3);

    // Deleting one column on a tab deletes the tab.
    source.SetCaretPos(1, 0);
    source.DeleteChars(1);
    EXPECT_EQ(source.Strings().GetStored(0), u"ab");
}

TEST_F(EditSource, OptionsWriter)
{
    struct Case {
        TEasySourceOptions before, set, expected;
    } cases[] = {
        {0, srUseTab, srUseTab},
        {srSmartTab, srSmartTab | srUseTab, srUseTab},
        {srUseTab, srUseTab | srSmartTab, srSmartTab},
        {0, srSmartTab, srSmartTab},
    };
    for (const Case& c : cases) {
        source.SetOptions(c.before);
        source.SetOptions(c.set);
        EXPECT_EQ(source.Options(), c.expected) << std::hex << c.before << " -> " << c.set;
    }

    // Leaving srBeyondEof while below the text: to the end of the last line.
    SetLines(source, u"eins|zwei!");
    source.SetOptions(DefaultSourceOptions | srBeyondEof);
    source.SetCaretPos(1, 5);
    EXPECT_EQ(source.CaretPoint(), (TEasyPoint{1, 5}));
    source.SetOptions(DefaultSourceOptions);
    EXPECT_EQ(source.CaretPoint(), (TEasyPoint{5, 1}));

    // Switching undo-only-changes drops the records (their shape changes).
    source.InsertText(u"x");
    ASSERT_TRUE(source.CanUndo());
    source.SetOptions(DefaultSourceOptions | srUndoOnlyChanges);
    EXPECT_FALSE(source.CanUndo());
}

TEST_F(EditSource, CaretStepsByTheOptions)
{
    struct Case {
        const char* name;
        TEasySourceOptions options;
        TEasyPoint from;
        void (*step)(TEasyEditSource&);
        TEasyPoint to;
    } cases[] = {
        {"right over a tab", srUseTab, {1, 0}, [](TEasyEditSource& s) { s.CaretRight(); }, {8, 0}},
        {"right through a tab",
         srUseTab | srCursorThroughTabs,
         {1, 0},
         [](TEasyEditSource& s) { s.CaretRight(); },
         {2, 0}},
        {"forced over it",
         srUseTab | srCursorThroughTabs,
         {1, 0},
         [](TEasyEditSource& s) { s.CaretRight(true); },
         {8, 0}},
        {"left behind a tab", srUseTab, {8, 0}, [](TEasyEditSource& s) { s.CaretLeft(); }, {1, 0}},
        {"left through a tab",
         srUseTab | srCursorThroughTabs,
         {5, 0},
         [](TEasyEditSource& s) { s.CaretLeft(); },
         {4, 0}},
        {"always on tabs",
         srUseTab | srCursorThroughTabs | srAlwaysOnTabs,
         {5, 0},
         [](TEasyEditSource& s) { s.CaretLeft(); },
         {1, 0}},
        {"snaps to the nearer end",
         srUseTab | srAlwaysOnTabs,
         {0, 1},
         [](TEasyEditSource& s) { s.SetCaretPos(6, 0); },
         {8, 0}},
        {"snaps to the start",
         srUseTab | srAlwaysOnTabs,
         {0, 1},
         [](TEasyEditSource& s) { s.SetCaretPos(3, 0); },
         {1, 0}},
        {"up at line begin", srMoveUpAtLineBegin, {0, 1}, [](TEasyEditSource& s) { s.CaretLeft(); }, {9, 0}},
        {"no wrap at line begin", 0, {0, 1}, [](TEasyEditSource& s) { s.CaretLeft(); }, {0, 1}},
        {"down at line end", srMoveDownAtLineEnd, {9, 0}, [](TEasyEditSource& s) { s.CaretRight(); }, {0, 1}},
        {"beyond the end", srBeyondEol, {9, 0}, [](TEasyEditSource& s) { s.CaretRight(); }, {10, 0}},
        {"stops at the end", 0, {9, 0}, [](TEasyEditSource& s) { s.CaretRight(); }, {9, 0}},
        {"not below the text", 0, {0, 1}, [](TEasyEditSource& s) { s.MoveCaret(0, 3); }, {0, 1}},
        {"below with srBeyondEof", srBeyondEof, {0, 1}, [](TEasyEditSource& s) { s.MoveCaret(0, 3); }, {0, 4}},
    };
    for (const Case& c : cases) {
        source.SetOptions(c.options | srUseTab);
        SetLines(source, u"a\tb|cd");
        source.SetOptions(c.options | srUseTab | srLeaveTrailSpaces);
        source.SetCaretPos(c.from.X, c.from.Y);
        c.step(source);
        EXPECT_EQ(source.CaretPoint(), c.to) << c.name;
    }
}

TEST_F(EditSource, LiveSpellingMarksRejectedWords)
{
    std::vector<std::u16string> asked;
    source.OnWordSpell = [&](TCustomEasyEditSource*, const std::u16string& word, bool& correct) {
        asked.push_back(word);
        correct = word != u"falsch";
    };
    SetLines(source, u"gut, falsch!|hier");
    source.SetCaretPos(0, 1);
    source.SetOptions(source.Options() | srLiveSpell);
    source.EnsureParsed(1);
    EXPECT_EQ(asked, (std::vector<std::u16string>{u"gut", u"falsch"})) << "the caret's word is skipped";
    EXPECT_EQ(source.Strings().StyleAt(0, 1), 0xFFFF);
    EXPECT_EQ(source.Strings().StyleAt(0, 6), 0xFFFE);
    EXPECT_EQ(source.Strings().StyleAt(0, 11), 0xFFFE);
    EXPECT_EQ(source.Strings().StyleAt(0, 12), 0xFFFF);
}

TEST_F(EditSource, JoinLinesNoOps)
{
    struct Case {
        const char16_t* text;
        TEasyPoint caret;
    } cases[] = {
        {u"eins|zwei", {2, 0}},  // inside the line
        {u"eins|zwei", {3, 0}},  // on its last character
        {u"eins|zwei", {4, 1}},  // on the last line
        {u"eins", {4, 0}},       // a single line
    };
    for (const Case& c : cases) {
        SetLines(source, c.text);
        source.SetCaretPos(c.caret.X, c.caret.Y);
        view.Forget();
        source.JoinLines();
        EXPECT_EQ(Lines(source), c.text) << c.caret.X << "," << c.caret.Y;
        EXPECT_TRUE(view.broadcasts.empty());
    }
    // At the end it joins, beyond it the gap becomes spaces.
    SetLines(source, u"ab|cd");
    source.Strings().Items(1)->Reserved1 = 7;
    source.SetCaretPos(4, 0);
    source.JoinLines();
    EXPECT_EQ(Lines(source), u"ab  cd");
    source.Undo();
    EXPECT_EQ(Lines(source), u"ab|cd");
    EXPECT_EQ(source.Strings().Items(1)->Reserved1, 7) << "the line's reserved value comes back";
}

TEST_F(EditSource, BroadcastsPerOperation)
{
    const int end = TCustomEasyEditSource::ToTheEnd;
    struct Case {
        const char* name;
        TEasyPoint caret;
        std::function<void(TEasyEditSource&)> run;
        TEasyEditSourceStates states;
        int firstLine, lastLine;
        int shifts;
    } cases[] = {
        {"insert", {1, 1}, [](TEasyEditSource& s) { s.InsertText(u"xy"); }, csEdit, 1, 1, 1},
        {"delete", {1, 1}, [](TEasyEditSource& s) { s.DeleteChars(2); }, csEdit, 1, 1, 1},
        {"break", {1, 1}, [](TEasyEditSource& s) { s.BreakLine(); }, csEdit | csCountChanged, 1, end, 1},
        {"join", {4, 1}, [](TEasyEditSource& s) { s.JoinLines(); }, csEdit | csCountChanged, 1, end, 1},
        {"caret", {1, 1}, [](TEasyEditSource& s) { s.MoveCaret(1, 0); }, csPositionChanged, -1, -1, 0},
        {"bookmark",
         {1, 1},
         [](TEasyEditSource& s) {
             s.SetBookmark(2, {0, 2});
         },
         csBookMarkChanged,
         2,
         2,
         0},
        {"read-only", {1, 1}, [](TEasyEditSource& s) { s.SetReadOnly(true); }, csReadOnlyChanged, -1, -1, 0},
        {"nested",
         {1, 1},
         [](TEasyEditSource& s) {
             s.BeginUpdate(ckInsert);
             s.InsertText(u"a");
             s.MoveCaret(1, 0);
             s.InsertText(u"b");
             s.EndUpdate();
         },
         csEdit | csPositionChanged,
         1,
         1,
         2},
    };
    for (const Case& c : cases) {
        SetLines(source, u"eins|zwei|drei");
        source.SetReadOnly(false);
        source.SetCaretPos(c.caret.X, c.caret.Y);
        view.Forget();
        c.run(source);
        ASSERT_EQ(view.broadcasts.size(), 1u) << c.name << ": one broadcast per outermost update";
        EXPECT_EQ(view.broadcasts[0].states, c.states) << c.name;
        EXPECT_EQ(view.broadcasts[0].firstLine, c.firstLine) << c.name;
        EXPECT_EQ(view.broadcasts[0].lastLine, c.lastLine) << c.name;
        EXPECT_EQ(static_cast<int>(view.Records(snShift).size()), c.shifts) << c.name;
        if (c.states & csEdit) {
            EXPECT_FALSE(view.Records(snLinesChanged).empty()) << c.name;
        }
    }
}

TEST_F(EditSource, ShiftRecordsAndCaretTargets)
{
    SetLines(source, u"eins|zwei");
    source.SetCaretPos(2, 0);
    view.Forget();
    source.InsertText(u"abc");
    auto shifts = view.Records(snShift);
    ASSERT_EQ(shifts.size(), 1u);
    EXPECT_EQ(shifts[0].X, 2);
    EXPECT_EQ(shifts[0].Dx, 3);
    EXPECT_EQ(shifts[0].Dy, 0);

    view.Forget();
    source.BreakLine();
    shifts = view.Records(snShift);
    ASSERT_EQ(shifts.size(), 1u);
    EXPECT_EQ(shifts[0].Dx, -2);
    EXPECT_EQ(shifts[0].Dy, 1);

    // Right of the line end a view may place the caret elsewhere.
    view.rewriteTarget = [](TEasySourceNotification& record) {
        record.X = 1;
        record.Y = 1;
    };
    source.SetCaretPos(0, 0);
    source.MoveCaret(30, 0);
    EXPECT_EQ(view.Records(snCaretTarget).size(), 1u);
    EXPECT_EQ(view.Records(snCaretTarget)[0].X, 30);
    EXPECT_EQ(source.CaretPoint(), (TEasyPoint{1, 1}));
    view.rewriteTarget = nullptr;

    // Without srBeyondEol the caret stops at the line end.
    source.SetOptions(source.Options() & ~srBeyondEol);
    source.SetCaretPos(0, 0);
    source.MoveCaret(30, 0);
    EXPECT_EQ(source.CaretPoint(), (TEasyPoint{2, 0}));
}

TEST_F(EditSource, ParsesOnlyWhereTheStartStateChanged)
{
    FakeParser parser(nullptr);
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"wort und wort\n";
    source.Strings().SetText(text);
    source.SetParser(&parser);
    source.EnsureParsed(99);
    EXPECT_EQ(parser.calls, 100 * 5) << "each line once, five runs a line";
    EXPECT_EQ(source.Strings().StyleAt(0, 1), 1);
    EXPECT_EQ(source.Strings().StyleAt(0, 5), 0);

    // An edit that keeps the end state parses its line only.
    parser.calls = 0;
    source.SetCaretPos(0, 50);
    source.InsertText(u"x");
    source.EnsureParsed(99);
    EXPECT_EQ(parser.calls, 5);

    // An opened comment runs down to the end; closing it again parses the
    // lines below once more.
    parser.calls = 0;
    source.InsertText(u"/*");
    source.EnsureParsed(99);
    EXPECT_EQ(parser.calls, 50);
    EXPECT_EQ(source.Strings().StyleAt(99, 1), 2);
    parser.calls = 0;
    source.SetCaretPos(0, 60);
    source.InsertText(u"*/");
    source.EnsureParsed(99);
    EXPECT_EQ(parser.calls, 6 + 5 * 39) << "line 60, then 39 lines out of the comment";
    EXPECT_EQ(source.Strings().StyleAt(61, 1), 1);

    // Parsing without an edit costs nothing.
    parser.calls = 0;
    source.EnsureParsed(99);
    EXPECT_EQ(parser.calls, 0);
}

TEST_F(EditSource, UrlsWordsAndBrackets)
{
    SetLines(source, u"see www.example.com now|f(a[b]{c}) (|x)");
    source.EnsureParsed(1);
    EXPECT_EQ(source.Strings().StyleAt(0, 5), 8) << "URL style without a parser";
    EXPECT_EQ(source.Strings().StyleAt(0, 1), 0xFFFF);

    struct Case {
        TEasyPoint point;
        int mode, start, end;
    } cases[] = {
        {{5, 0}, wbWord, 5, 19},
        {{1, 0}, wbWordAndSpace, 1, 4},
        {{3, 0}, wbWord, 1, 3},
        {{20, 0}, wbWordAndDelimiters, 21, 23},
    };
    for (const Case& c : cases) {
        int start = 0, end = 0;
        source.WordBounds(c.point, c.mode, start, end);
        EXPECT_EQ(start, c.start) << c.point.X;
        EXPECT_EQ(end, c.end) << c.point.X;
    }
    EXPECT_EQ(source.WordAtPoint({1, 0}, true), u"see");
    EXPECT_EQ(source.WordAtPoint({3, 0}, true), u"") << "on a blank";

    TEasyPoint match;
    ASSERT_TRUE(source.MatchBracketForward({1, 1}, match));
    EXPECT_EQ(match, (TEasyPoint{9, 1}));
    ASSERT_TRUE(source.MatchBracketBackward({9, 1}, match));
    EXPECT_EQ(match, (TEasyPoint{1, 1}));
    ASSERT_TRUE(source.MatchBracketForward({3, 1}, match));
    EXPECT_EQ(match, (TEasyPoint{5, 1}));
    ASSERT_TRUE(source.MatchBracketForward({11, 1}, match)) << "across lines";
    EXPECT_EQ(match, (TEasyPoint{1, 2}));
    EXPECT_FALSE(source.MatchBracketForward({0, 1}, match));
}

TEST_F(EditSource, IndentAndUnindent)
{
    SetLines(source, u"a|    b|        c");
    source.SetCaretPos(8, 2);
    source.BackUnindent();
    EXPECT_EQ(Lines(source), u"a|    b|    c");
    EXPECT_EQ(source.CaretX(), 4);
    source.BackUnindent();
    EXPECT_EQ(Lines(source), u"a|    b|c");
    EXPECT_EQ(source.CaretX(), 0);

    // Elsewhere Backspace takes the character left of the caret, at column 0 nothing.
    source.SetCaretPos(2, 0);
    source.BackUnindent();
    EXPECT_EQ(Lines(source), u"a|    b|c") << "beyond the end";
    source.SetCaretPos(0, 2);
    source.BackUnindent();
    EXPECT_EQ(Lines(source), u"a|    b|c");

    source.SetCaretPos(0, 2);
    source.AutoIndent(true, 4);
    EXPECT_EQ(Lines(source), u"a|    b|    c");
    EXPECT_EQ(source.CaretX(), 4);

    source.SetOptions(source.Options() | srUseTab | srOptimalFill);
    source.SetCaretPos(0, 0);
    source.AutoIndent(true, 10);
    EXPECT_EQ(source.Strings().GetStored(0), u"\t  a");
    source.SetOptions(source.Options() & ~srAutoIndent);
    source.AutoIndent(true, 3);
    EXPECT_EQ(source.Strings().GetStored(0), u"\t  a");
}

TEST_F(EditSource, FreedParserUnderTwoSources)
{
    TEasyEditSource other(nullptr);
    auto parser = std::make_unique<FakeParser>(nullptr);
    parser->Delimiters = u"#";
    SetLines(source, u"wort");
    SetLines(other, u"wort");
    source.SetParser(parser.get());
    other.SetParser(parser.get());
    EXPECT_EQ(parser->SourceCount(), 2);
    EXPECT_TRUE(source.IsDelimiter(u'#'));
    source.EnsureParsed(0);
    EXPECT_EQ(source.Strings().StyleAt(0, 1), 1);

    // A change of the parser re-parses both.
    parser->Changed();
    EXPECT_EQ(source.FirstUnparsedLine(), 0);
    EXPECT_EQ(other.FirstUnparsedLine(), 0);

    view.Forget();
    parser.reset();
    EXPECT_EQ(source.Parser(), nullptr);
    EXPECT_EQ(other.Parser(), nullptr);
    EXPECT_FALSE(source.IsDelimiter(u'#'));
    ASSERT_FALSE(view.broadcasts.empty());
    EXPECT_TRUE(view.broadcasts.back().states & csParserChanged);
    source.EnsureParsed(0);
    EXPECT_EQ(source.Strings().StyleAt(0, 1), 0xFFFF) << "plain text now";
}

TEST(EasyEditSource, TellsItsViewsWhenItGoes)
{
    auto source = std::make_unique<TEasyEditSource>(nullptr);
    bool freed = false;
    int view = 0;
    TEasyEditSource* raw = source.get();
    source->AddNotifier(
        &view, [&](TEasySourceNotification* record) { freed = !record && (raw->States() & csSourceFreed) != 0; });
    source.reset();
    EXPECT_TRUE(freed);
}

TEST(EasyEditSource, AViewMayLeaveWhileTold)
{
    TEasyEditSource source(nullptr);
    int first = 0, second = 0, calls = 0;
    source.AddNotifier(&first, [&](TEasySourceNotification*) {
        ++calls;
        source.RemoveNotifier(&second);
    });
    source.AddNotifier(&second, [&](TEasySourceNotification*) { ++calls; });
    source.SetReadOnly(true);
    EXPECT_EQ(calls, 1) << "a removed view is not called";
}

TEST(EditorSettings, LocationDefaultsAndSetters)
{
    EXPECT_FALSE(SettingsUseRegistry());
    EXPECT_EQ(SettingsKey(), L"\\Software\\EasyEdit\\Settings");
    const std::wstring& file = SettingsFileName();
    ASSERT_GE(file.size(), 16u);
    EXPECT_EQ(file.substr(file.size() - 16), L"EasySettings.txt");
    EXPECT_NE(file, L"EasySettings.txt") << "in the temporary directory";

    SetSettingsFileName(L"C:\\Programme\\Quorvan\\EditorSettings.txt");
    SetSettingsKey(L"\\Software\\Quorvan Free\\EditorSettings");
    SetSettingsUseRegistry(true);
    EXPECT_EQ(SettingsFileName(), L"C:\\Programme\\Quorvan\\EditorSettings.txt");
    EXPECT_EQ(SettingsKey(), L"\\Software\\Quorvan Free\\EditorSettings");
    EXPECT_TRUE(SettingsUseRegistry());
}

TEST_F(EditSource, HiddenLinesShowAndFollowBreaks)
{
    source.SetOptions(source.Options() | srAllowHiddenLines);
    SetLines(source, u"0|1|2|3|4|5");
    for (int i = 2; i <= 4; ++i) {
        source.Strings().Items(i)->Flags |= lfCollapsible;
        source.Strings().Items(i)->Level = 1;
    }
    view.Forget();
    source.Strings().Collapse(1, true);
    ASSERT_FALSE(source.Strings().IsLineVisible(3));
    ASSERT_FALSE(view.broadcasts.empty());
    EXPECT_TRUE(view.broadcasts.back().states & csVisibleChanged);
    EXPECT_FALSE(view.broadcasts.back().states & csEdit) << "hiding lines is no edit";
    EXPECT_FALSE(source.Modified());
    EXPECT_EQ(Lines(source), u"0|1|2|3|4|5");

    // The caret put onto a hidden line opens its block.
    source.SetCaretPos(0, 3);
    EXPECT_TRUE(source.Strings().IsLineVisible(3));

    // A line split off a block's line belongs to the block.
    source.SetCaretPos(1, 2);
    source.InsertText(u"x");
    source.BreakLine();
    EXPECT_EQ(Lines(source), u"0|1|2|x|3|4|5");
    EXPECT_TRUE(source.Strings().Items(3)->Flags & lfCollapsible);
    EXPECT_EQ(source.Strings().Items(3)->Level, 1);
}

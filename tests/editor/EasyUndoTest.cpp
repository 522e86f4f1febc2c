#include "editor/EasyEditSource.h"

#include "EditSourceFakes.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace qrv;
using qrv::test::FakeView;
using qrv::test::Lines;
using qrv::test::SetLines;

namespace {

class Undo : public ::testing::Test {
protected:
    TEasyEditSource source{nullptr};
    FakeView view{source};

    // Types the text one update at a time, as the editor does with each key.
    void Type(std::u16string_view text)
    {
        source.BeginUpdate(ckInsert);
        source.InsertText(text);
        source.MoveCaret(static_cast<int>(text.size()), 0);
        source.EndUpdate();
    }
    int UndoSteps()
    {
        int steps = 0;
        while (source.CanUndo() && steps < 1000) {
            source.Undo();
            ++steps;
        }
        return steps;
    }
};

}  // namespace

TEST_F(Undo, ThreeInsertsAreOneStepOrThree)
{
    for (const bool group : {true, false}) {
        source.SetOptions(group ? DefaultSourceOptions : DefaultSourceOptions & ~srGroupUndo);
        SetLines(source, u"text");  // a fresh document, the caret at (0, 0)
        for (const char16_t* word : {u"a", u"b", u"c"}) {
            source.BeginUpdate(ckInsert);
            source.InsertText(word);
            source.EndUpdate();
        }
        EXPECT_EQ(Lines(source), u"cbatext");
        EXPECT_EQ(UndoSteps(), group ? 1 : 3) << (group ? "grouped" : "one update a step");
        EXPECT_EQ(Lines(source), u"text");
    }
}

TEST_F(Undo, TypingWithCaretMovesAndRedo)
{
    SetLines(source, u"text");
    source.SetCaretPos(4, 0);
    source.SetOptions(DefaultSourceOptions);
    Type(u"ab");
    Type(u"c");
    EXPECT_EQ(Lines(source), u"textabc");
    EXPECT_EQ(source.CaretX(), 7);
    source.Undo();
    EXPECT_EQ(Lines(source), u"text") << "the run of typing is one step";
    EXPECT_EQ(source.CaretX(), 4);
    EXPECT_TRUE(source.CanRedo());
    source.Redo();
    EXPECT_EQ(Lines(source), u"textabc");
    source.Undo();

    // Any caret move outside an undo step empties the redo list, and so does typing.
    source.MoveCaret(-1, 0);
    EXPECT_FALSE(source.CanRedo());
    // One update a step, or the earlier caret moves would go with it.
    source.SetOptions(DefaultSourceOptions & ~srGroupUndo);
    source.Undo();
    EXPECT_EQ(source.CaretX(), 4) << "undo of a caret move moves it back";
    Type(u"x");
    EXPECT_FALSE(source.CanRedo());
}

TEST_F(Undo, UnrecordedChangesAreRecorded)
{
    // The trim when the caret leaves an edited line, the padding up to the
    // caret and the lines appended up to it all come back with undo.
    source.SetOptions(DefaultSourceOptions | srBeyondEof);
    SetLines(source, u"eins|zwei");
    source.SetCaretPos(4, 0);
    Type(u"   ");
    source.SetCaretPos(2, 1);
    EXPECT_EQ(Lines(source), u"eins|zwei") << "trimmed on leaving";
    source.SetCaretPos(8, 1);
    Type(u"x");
    EXPECT_EQ(Lines(source), u"eins|zwei    x");
    source.SetCaretPos(3, 4);
    source.InsertText(u"y");
    EXPECT_EQ(Lines(source), u"eins|zwei    x|||   y");
    while (source.CanUndo())
        source.Undo();
    EXPECT_EQ(Lines(source), u"eins|zwei");
    while (source.CanRedo())
        source.Redo();
    EXPECT_EQ(Lines(source), u"eins|zwei    x|||   y");
}

TEST_F(Undo, UndoIsOffOrReadOnly)
{
    SetLines(source, u"text");
    source.SetOptions(DefaultSourceOptions & ~srAllowUndo);
    source.InsertText(u"a");
    EXPECT_FALSE(source.CanUndo());
    EXPECT_EQ(source.UndoList().Count(), 0);
    source.SetOptions(DefaultSourceOptions);
    source.InsertText(u"b");
    source.SetReadOnly(true);
    source.Undo();
    EXPECT_EQ(Lines(source), u"batext");
}

TEST_F(Undo, RecordsOwnTheirPayloads)
{
    SetLines(source, u"abc def");
    source.SetCaretPos(0, 0);
    source.DeleteChars(4);
    ASSERT_NE(source.LastUndo(), nullptr);
    EXPECT_EQ(source.LastUndo()->Kind, ukDelete);
    ASSERT_NE(source.LastUndo()->Payload(), nullptr);
    EXPECT_EQ(source.LastUndo()->Payload()->Text, u"abc ");
    EXPECT_EQ(source.LastUndo()->GroupStart, 1);

    source.SetOptions(DefaultSourceOptions | srUndoOnlyChanges);
    source.SetCaretPos(1, 0);
    EXPECT_EQ(source.UndoList().Count(), 0) << "caret moves are not recorded";
    source.InsertText(u"xy");
    ASSERT_NE(source.LastUndo()->Payload(), nullptr);
    EXPECT_EQ(source.LastUndo()->Payload()->Value, 2);
    EXPECT_EQ(source.LastUndo()->Payload()->CaretX, 1);
    source.SetCaretPos(0, 0);
    source.Undo();
    EXPECT_EQ(Lines(source), u"def") << "the record carries its caret";
}

TEST_F(Undo, BookmarksMoveWithSplitAndJoin)
{
    SetLines(source, u"eins zwei|drei");
    source.SetBookmark(1, {7, 0});
    source.SetBookmark(2, {2, 1});
    source.SetLineStyle(1, 5);
    source.SetCaretPos(5, 0);
    view.Forget();
    source.BreakLine();
    TEasyPoint mark;
    ASSERT_TRUE(source.GetBookmark(1, mark));
    EXPECT_EQ(mark, (TEasyPoint{2, 1})) << "to the next line, column less the caret's";
    ASSERT_TRUE(source.GetBookmark(2, mark));
    EXPECT_EQ(mark, (TEasyPoint{2, 2}));
    EXPECT_EQ(source.GetLineStyle(2), 5);
    EXPECT_EQ(source.GetLineStyle(1), -1);
    ASSERT_EQ(view.broadcasts.size(), 1u);
    EXPECT_TRUE(view.broadcasts[0].states & csBookMarkChanged);
    EXPECT_TRUE(view.broadcasts[0].states & csLineStyleChanged);

    source.JoinLines();
    ASSERT_TRUE(source.GetBookmark(1, mark));
    EXPECT_EQ(mark, (TEasyPoint{7, 0})) << "joined back";
    ASSERT_TRUE(source.GetBookmark(2, mark));
    EXPECT_EQ(mark, (TEasyPoint{2, 1}));
    EXPECT_EQ(source.GetLineStyle(1), 5);

    // Typing left of a bookmark moves it along its line.
    source.SetCaretPos(0, 0);
    source.InsertText(u"ab");
    ASSERT_TRUE(source.GetBookmark(1, mark));
    EXPECT_EQ(mark, (TEasyPoint{9, 0}));
}

TEST_F(Undo, ReplacedRangesAreOneRecordEach)
{
    struct Case {
        const char* name;
        std::u16string_view text;
        TEasyPoint from, to;
        std::vector<std::u16string_view> put;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {"LinesIntoALine", u"abcd|ef", {2, 0}, {2, 0}, {u"X", u"Y", u"Z"}, u"abX|Y|Zcd|ef"},
        {"LinesOverLines", u"abcd|ef|gh", {1, 0}, {1, 2}, {u"X", u"Y"}, u"aX|Yh"},
        {"NothingOverLines", u"abcd|ef|gh", {1, 0}, {1, 2}, {}, u"ah"},
        {"TrailingBlanksAndTabsStay", u"a\tb|c", {1, 0}, {0, 1}, {u"  ", u"\t "}, u"a  |\t c"},
        {"PastTheLineEndsClamped", u"ab|cd", {9, 0}, {9, 1}, {u"-"}, u"ab-"},
        {"LastLineWhole", u"ab|cd", {0, 0}, {2, 1}, {u"\U0001F600"}, u"\U0001F600"},
    };
    for (const Case& c : cases) {
        SetLines(source, c.text);
        const std::u16string before = Lines(source);
        source.SetCaretPos(1, 0);
        source.ReplaceRange(c.from, c.to, {c.put.begin(), c.put.end()});
        const std::u16string after = Lines(source);
        EXPECT_EQ(after, c.expected) << c.name;
        EXPECT_EQ(source.CaretPoint(), (TEasyPoint{1, 0})) << c.name << ": the caret stays";
        ASSERT_EQ(source.UndoList().Count(), 2) << c.name << ": the caret move and the replacement";
        source.Undo();
        EXPECT_EQ(Lines(source), before) << c.name;
        source.Redo();
        EXPECT_EQ(Lines(source), after) << c.name;
    }

    // Each line its own text, one record for all, and back.
    SetLines(source, u"a|b|c|d");
    source.ReplaceLines(1, {u"  b", u""});
    EXPECT_EQ(Lines(source), u"a|  b||d");
    EXPECT_EQ(source.UndoList().Count(), 1);
    source.Undo();
    EXPECT_EQ(Lines(source), u"a|b|c|d");
    source.Redo();
    EXPECT_EQ(Lines(source), u"a|  b||d");

    source.SetReadOnly(true);
    source.ReplaceRange({0, 0}, {0, 1}, {u"x"});
    source.ReplaceLines(0, {u"x"});
    EXPECT_EQ(Lines(source), u"a|  b||d") << "read-only";
}

TEST_F(Undo, BookmarksFollowAReplacedRange)
{
    SetLines(source, u"eins zwei|drei|vier fuenf");
    source.SetBookmark(1, {7, 2});  // behind the range, on its end line
    source.SetBookmark(2, {1, 0});  // before it
    source.SetBookmark(3, {0, 3});  // below it
    source.ReplaceRange({5, 0}, {5, 2}, {u"ZWEI", u"X"});
    EXPECT_EQ(Lines(source), u"eins ZWEI|Xfuenf");
    TEasyPoint mark;
    ASSERT_TRUE(source.GetBookmark(1, mark));
    EXPECT_EQ(mark, (TEasyPoint{3, 1}));
    ASSERT_TRUE(source.GetBookmark(2, mark));
    EXPECT_EQ(mark, (TEasyPoint{1, 0}));
    ASSERT_TRUE(source.GetBookmark(3, mark));
    EXPECT_EQ(mark, (TEasyPoint{0, 2}));
}

TEST_F(Undo, BookmarkSetTwiceToggleAndGoto)
{
    SetLines(source, u"eins|zwei|drei");
    source.SetBookmark(3, {1, 0});
    source.SetBookmark(3, {2, 2});
    EXPECT_EQ(source.Bookmarks().Count(), 1);
    TEasyPoint mark;
    ASSERT_TRUE(source.GetBookmark(3, mark));
    EXPECT_EQ(mark, (TEasyPoint{2, 2}));

    view.Forget();
    EXPECT_TRUE(source.GotoBookmark(3));
    EXPECT_EQ(source.CaretPoint(), (TEasyPoint{2, 2}));
    EXPECT_FALSE(source.GotoBookmark(4));

    source.ToggleBookmark(3, {0, 2});
    EXPECT_FALSE(source.GetBookmark(3, mark)) << "toggled off on its line";
    source.ToggleBookmark(3, {0, 1});
    EXPECT_TRUE(source.GetBookmark(3, mark));
    source.ClearBookmark(-1);
    source.SetBookmark(5, {0, 9});
    EXPECT_TRUE(source.GetBookmark(5, mark)) << "stored beyond the last line";
}

// Random edits on small texts: undo-all gives the start text back and
// redo-all the final text, for every mix of grouping, kept tabs, caret
// records and lines below the text.
TEST(UndoProperty, UndoAllAndRedoAll)
{
    const unsigned firstSeed = std::random_device{}();
    for (unsigned run = 0; run < 600; ++run) {
        const unsigned seed = firstSeed + run;
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        auto text = [&](int maxLength) {
            static const char16_t chars[] = u"ab  \tx";
            std::u16string s;
            for (int i = pick(maxLength + 1); i > 0; --i)
                s += chars[pick(6)];
            return s;
        };

        TEasyEditSource source(nullptr);
        FakeView view(source);
        TEasySourceOptions options = DefaultSourceOptions;
        if (pick(2))
            options &= ~srGroupUndo;
        if (pick(2))
            options |= srUseTab;
        if (pick(2))
            options |= srUndoOnlyChanges;
        if (pick(3) == 0)
            options |= srBeyondEof;
        if (pick(3) == 0)
            options &= ~srBeyondEol;
        // The caret's finer options, now and then.
        for (TEasySourceOption option : {srAlwaysOnTabs, srCursorThroughTabs, srMoveUpAtLineBegin, srMoveDownAtLineEnd,
                                         srLeaveTrailSpaces, srOptimalFill})
            if (pick(4) == 0)
                options |= option;
        source.SetOptions(options);
        std::u16string start;
        for (int i = pick(4); i >= 0; --i)
            start += text(6) + u"\n";
        source.Strings().SetText(start);
        const std::u16string before = Lines(source);

        std::ostringstream trail;
        const int steps = 1 + pick(25);
        for (int step = 0; step < steps; ++step) {
            const int lines = source.Strings().Count();
            const int op = pick(15);
            trail << op << ' ';
            switch (op) {
            case 0:
                source.InsertText(text(3));
                break;
            case 1:
                source.DeleteChars(1 + pick(3));
                break;
            case 2:
                source.BreakLine();
                break;
            case 3:
                source.JoinLines();
                break;
            case 4:
                source.InsertLine(pick(lines + 1), text(4));
                break;
            case 5:
                source.BackUnindent();
                break;
            case 6:
                source.AutoIndent(true, pick(7));
                break;
            case 7:
                source.SetCaretPos(pick(10), pick(lines + 2));
                break;
            case 8:
                source.MoveCaret(pick(5) - 2, pick(3) - 1);
                break;
            case 9:
                source.CaretLeft();
                break;
            case 10:
                source.CaretRight();
                break;
            case 11:
                source.BeginUpdate(ckInsert);
                source.InsertText(text(2));
                source.CaretRight();
                source.InsertText(text(2));
                source.EndUpdate();
                break;
            case 12: {
                // A range of the stored text over some lines, replaced by
                // some lines.
                if (lines == 0)
                    break;
                const int fromY = pick(lines), toY = fromY + pick(lines - fromY);
                const int fromX = pick(8), toX = pick(8);
                std::vector<std::u16string> put(static_cast<size_t>(pick(4)));
                for (std::u16string& line : put)
                    line = text(3);
                source.ReplaceRange({fromX, fromY}, {toY == fromY ? std::max(fromX, toX) : toX, toY},
                                    {put.begin(), put.end()});
                break;
            }
            case 13: {
                if (lines == 0)
                    break;
                const int first = pick(lines);
                std::vector<std::u16string> put(static_cast<size_t>(1 + pick(lines - first)));
                for (std::u16string& line : put)
                    line = text(5);
                source.ReplaceLines(first, {put.begin(), put.end()});
                break;
            }
            default:
                source.BeginCompound();
                source.DeleteChars(1);
                source.BreakLine();
                source.EndCompound();
                break;
            }
        }
        const std::u16string after = Lines(source);
        int guard = 0;
        while (source.CanUndo() && ++guard < 10000)
            source.Undo();
        ASSERT_EQ(Lines(source), before) << "seed " << seed << " options " << std::hex << options << std::dec << " ops "
                                         << trail.str();
        guard = 0;
        while (source.CanRedo() && ++guard < 10000)
            source.Redo();
        ASSERT_EQ(Lines(source), after) << "seed " << seed << " options " << std::hex << options << std::dec << " ops "
                                        << trail.str();
    }
}

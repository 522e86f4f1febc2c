#include "editor/EasyEditCommands.h"

#include "EditSourceFakes.h"
#include "FakeEditCommandHost.h"
#include "editor/WideText.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace qrv;
using qrv::test::Lines;
using qrv::test::SetLines;
using H = TEasyKeyHandler;

using qrv::test::FakeHost;

namespace {

struct Sel {
    TEasyPoint Start, End;
    int Mode = smNone;
};

struct CommandCase {
    const char* Name;
    std::u16string Text;
    TEasyPoint Caret;
    Sel Before;
    TEasySourceOptions SourceOn;
    TEasyEditorOptions EditorOn;
    H Handler;
    int Code;
    std::u16string Expected;
    TEasyPoint ExpectedCaret;
    Sel After;
};

class EditCommands : public ::testing::TestWithParam<CommandCase> {};

// The part's edge cases and the tricky corners of each command group.
const CommandCase kCases[] = {
    {"WordLeftAtTextStart", u"ab cd", {0, 0}, {}, 0, 0, H::ExecuteCommand, 8, u"ab cd", {0, 0}, {}},
    {"WordLeftAtLineStart", u"ab cd|ef", {0, 1}, {}, 0, 0, H::ExecuteCommand, 8, u"ab cd|ef", {5, 0}, {}},
    {"WordLeftInsideWord", u"ab cdef", {5, 0}, {}, 0, 0, H::ExecuteCommand, 8, u"ab cdef", {3, 0}, {}},
    {"WordRightAtLineEnd", u"ab|cd", {2, 0}, {}, 0, 0, H::ExecuteCommand, 9, u"ab|cd", {0, 1}, {}},
    {"WordRightOverDelimiters", u"ab  cd", {0, 0}, {}, 0, 0, H::ExecuteCommand, 9, u"ab  cd", {4, 0}, {}},
    {"RightOverSurrogatePair", u"a\U0001F600b", {1, 0}, {}, 0, 0, H::ExecuteCommand, 3, u"a\U0001F600b", {3, 0}, {}},
    {"LeftOverSurrogatePair", u"a\U0001F600b", {3, 0}, {}, 0, 0, H::ExecuteCommand, 2, u"a\U0001F600b", {1, 0}, {}},
    {"LineEndSkipsTrailingBlanks", u"ab  ", {0, 0}, {}, 0, 0, H::ExecuteCommand, 11, u"ab  ", {2, 0}, {}},
    {"MoveDropsSelection", u"abc", {1, 0}, {{0, 0}, {1, 0}, smStream}, 0, 0, H::ExecuteCommand, 3, u"abc", {2, 0}, {}},
    {"PersistentSelectionStays",
     u"abc",
     {1, 0},
     {{0, 0}, {1, 0}, smStream},
     0,
     eoPersistentBlocks,
     H::ExecuteCommand,
     3,
     u"abc",
     {2, 0},
     {{0, 0}, {1, 0}, smStream}},
    {"ShiftRightStartsStream",
     u"abc",
     {1, 0},
     {},
     0,
     0,
     H::MoveExtendingSelection,
     3,
     u"abc",
     {2, 0},
     {{1, 0}, {2, 0}, smStream}},
    {"ShiftLeftShrinksFromEnd",
     u"abc",
     {2, 0},
     {{0, 0}, {2, 0}, smStream},
     0,
     0,
     H::MoveExtendingSelection,
     2,
     u"abc",
     {1, 0},
     {{0, 0}, {1, 0}, smStream}},
    {"ShiftLeftBackToAnchorEmpties",
     u"abc",
     {1, 0},
     {{0, 0}, {1, 0}, smStream},
     0,
     0,
     H::MoveExtendingSelection,
     2,
     u"abc",
     {0, 0},
     {}},
    {"AltShiftDownStartsBlock",
     u"abc|def",
     {1, 0},
     {},
     0,
     0,
     H::MoveExtendingColumnSelection,
     1,
     u"abc|def",
     {1, 1},
     {{1, 0}, {1, 1}, smBlock}},
    {"TypingBackspace", u"abc", {2, 0}, {}, 0, 0, H::DeleteCommand, 2, u"ac", {1, 0}, {}},
    {"BackspaceBeyondLineEndOnlyMoves", u"ab", {5, 0}, {}, 0, 0, H::DeleteCommand, 2, u"ab", {4, 0}, {}},
    {"BackspaceJoinsAfterLastNonBlank", u"ab  |cd", {0, 1}, {}, 0, 0, H::DeleteCommand, 2, u"abcd", {2, 0}, {}},
    {"BackspaceTakesSurrogatePair", u"a\U0001F600", {3, 0}, {}, 0, 0, H::DeleteCommand, 2, u"a", {1, 0}, {}},
    {"DeleteTakesSurrogatePair", u"\U0001F600b", {0, 0}, {}, 0, 0, H::DeleteCommand, 3, u"b", {0, 0}, {}},
    {"DeleteAtLineEndJoins", u"ab|cd", {2, 0}, {}, 0, 0, H::DeleteCommand, 3, u"abcd", {2, 0}, {}},
    {"DeleteBeyondLineEndJoinsPadded",
     u"ab|cd",
     {4, 0},
     {},
     srBeyondEol,
     0,
     H::DeleteCommand,
     3,
     u"ab  cd",
     {4, 0},
     {}},
    {"DeleteOnlyDeletesSelection",
     u"abcd",
     {3, 0},
     {{1, 0}, {3, 0}, smStream},
     0,
     0,
     H::DeleteCommand,
     3,
     u"ad",
     {1, 0},
     {}},
    {"DeleteWordRight", u"ab cd", {0, 0}, {}, 0, 0, H::DeleteCommand, 9, u"cd", {0, 0}, {}},
    {"DeleteToLineStart", u"abcd", {2, 0}, {}, 0, 0, H::DeleteCommand, 10, u"cd", {0, 0}, {}},
    {"DeleteLine", u"ab|cd|ef", {1, 1}, {}, 0, 0, H::DeleteCommand, 48, u"ab|ef", {0, 1}, {}},
    {"UnboundDeleteCodeDoesNothing", u"ab", {0, 0}, {}, 0, 0, H::DeleteCommand, 67, u"ab", {0, 0}, {}},
    {"StreamDeleteOverLines",
     u"abc|def|ghi",
     {1, 0},
     {{1, 0}, {2, 2}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     25,
     u"ai",
     {1, 0},
     {}},
    {"StreamDeleteOverTabbedLines",
     u"a\tb|c\td",
     {0, 0},
     {{8, 0}, {8, 1}, smStream},
     srUseTab,
     0,
     H::ExecuteBlockCommand,
     25,
     u"a\td",
     {8, 0},
     {}},
    {"BlockDeleteOverTabbedLines",
     u"ab\tc|abcdefghij",
     {0, 0},
     {{1, 0}, {8, 1}, smBlock},
     0,
     0,
     H::ExecuteBlockCommand,
     25,
     u"a|aj",
     {1, 0},
     {}},
    {"BlockDeleteKeepsTabsOutside",
     u"a\tbcd|ab\tcd",
     {0, 0},
     {{8, 0}, {8, 1}, smBlock},
     srUseTab,
     0,
     H::ExecuteBlockCommand,
     25,
     u"a\tcd|ab\td",
     {8, 0},
     {}},
    {"BlockDeleteProportional",
     u"iiiiabc|abcdef",
     {0, 0},
     {{4, 0}, {4, 0}, smBlock},
     0,
     0,
     H::ExecuteBlockCommand,
     25,
     u"iiiibc|abcdef",
     {4, 0},
     {}},
    {"EnterAutoIndents", u"  ab", {4, 0}, {}, srAutoIndent, 0, H::LineCommand, 16, u"  ab|  ", {2, 1}, {}},
    {"EnterAtColumnZeroNoIndent", u"  ab", {0, 0}, {}, srAutoIndent, 0, H::LineCommand, 16, u"|  ab", {0, 1}, {}},
    {"EnterIndentNotBeyondCaret",
     u"    ab|  cd",
     {1, 1},
     {},
     srAutoIndent,
     0,
     H::LineCommand,
     16,
     u"    ab|| cd",
     {0, 2},
     {}},
    {"SplitLineCaretStays", u"abcd", {2, 0}, {}, 0, 0, H::CharCommand, 51, u"ab|cd", {2, 0}, {}},
    {"TabSpacesToStop", u"ab", {2, 0}, {}, 0, 0, H::LineCommand, 18, u"ab      ", {8, 0}, {}},
    {"TabCharacterWithUseTab", u"ab", {2, 0}, {}, srUseTab, 0, H::LineCommand, 18, u"ab\t", {8, 0}, {}},
    {"SmartTabToWordAbove", u"ab  cd|x", {1, 1}, {}, srSmartTab, 0, H::LineCommand, 18, u"ab  cd|x   ", {4, 1}, {}},
    {"SmartTabToIndentAbove", u"   ab||", {0, 1}, {}, srSmartTab, 0, H::LineCommand, 18, u"   ab|   ", {3, 1}, {}},
    {"TabInOneLineSelectionInserts",
     u"abcd",
     {2, 0},
     {{1, 0}, {2, 0}, smStream},
     0,
     eoEnTabBlock,
     H::LineCommand,
     18,
     u"ab      cd",
     {8, 0},
     {}},
    {"TabIndentsLines",
     u"ab|cd|ef",
     {0, 2},
     {{0, 0}, {0, 2}, smStream},
     0,
     eoEnTabBlock,
     H::LineCommand,
     18,
     u"        ab|        cd|ef",
     {0, 2},
     {{0, 0}, {0, 2}, smStream}},
    {"BackTabUnindentsLines",
     u"  ab|    cd|ef",
     {0, 2},
     {{0, 0}, {0, 2}, smStream},
     0,
     eoEnTabBlock,
     H::LineCommand,
     19,
     u"ab|cd|ef",
     {0, 2},
     {{0, 0}, {0, 2}, smStream}},
    {"BackTabMovesToPreviousStop", u"abcdefghijk", {10, 0}, {}, 0, 0, H::LineCommand, 19, u"abcdefghijk", {8, 0}, {}},
    {"IndentByBlockIndent",
     u"ab|cd",
     {0, 0},
     {{0, 0}, {2, 1}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     33,
     u"  ab|  cd",
     {4, 1},
     {{0, 0}, {4, 1}, smStream}},
    {"UnindentBlanksOnly",
     u" ab|x",
     {0, 0},
     {{0, 0}, {1, 1}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     37,
     u"ab|x",
     {1, 1},
     {{0, 0}, {1, 1}, smStream}},
    {"UpperCasePolish",
     u"łódź ß",
     {0, 0},
     {{0, 0}, {6, 0}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     35,
     u"ŁÓDŹ ß",
     {0, 0},
     {{0, 0}, {6, 0}, smStream}},
    {"LowerCasePolish",
     u"ŁÓDŹ",
     {0, 0},
     {{0, 0}, {4, 0}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     36,
     u"łódź",
     {0, 0},
     {{0, 0}, {4, 0}, smStream}},
    {"ToggleCase",
     u"aBć",
     {0, 0},
     {{0, 0}, {3, 0}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     46,
     u"AbĆ",
     {0, 0},
     {{0, 0}, {3, 0}, smStream}},
    {"Capitalise",
     u"łÓDŹ sTO",
     {0, 0},
     {{0, 0}, {8, 0}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     59,
     u"Łódź Sto",
     {0, 0},
     {{0, 0}, {8, 0}, smStream}},
    {"WordUpperCaseCaretStays", u"ab łódź", {4, 0}, {}, 0, 0, H::ExecuteBlockCommand, 32, u"ab ŁÓDŹ", {4, 0}, {}},
    {"SelectWord",
     u"ab cde f",
     {4, 0},
     {},
     0,
     0,
     H::ExecuteBlockCommand,
     39,
     u"ab cde f",
     {4, 0},
     {{3, 0}, {6, 0}, smStream}},
    {"SelectLine",
     u"ab|cd",
     {1, 0},
     {},
     0,
     0,
     H::ExecuteBlockCommand,
     34,
     u"ab|cd",
     {1, 0},
     {{0, 0}, {0, 1}, smStream}},
    {"SelectAll", u"ab|cd", {1, 0}, {}, 0, 0, H::ExecuteBlockCommand, 44, u"ab|cd", {1, 0}, {{0, 0}, {2, 1}, smStream}},
    {"CopyBlockAtCaret",
     u"abc|x",
     {0, 1},
     {{0, 0}, {1, 0}, smStream},
     0,
     eoPersistentBlocks,
     H::ExecuteBlockCommand,
     30,
     u"abc|ax",
     {1, 1},
     {{0, 1}, {1, 1}, smStream}},
    {"MoveBlockToCaret",
     u"abcdef",
     {6, 0},
     {{0, 0}, {2, 0}, smStream},
     0,
     eoPersistentBlocks,
     H::ExecuteBlockCommand,
     40,
     u"cdefab",
     {6, 0},
     {{4, 0}, {6, 0}, smStream}},
    {"BlockBeginWithSelection",
     u"abcdef",
     {1, 0},
     {{3, 0}, {5, 0}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     29,
     u"abcdef",
     {1, 0},
     {{1, 0}, {5, 0}, smStream}},
    {"BlockEndWithSelection",
     u"abcdef",
     {4, 0},
     {{1, 0}, {5, 0}, smStream},
     0,
     0,
     H::ExecuteBlockCommand,
     38,
     u"abcdef",
     {4, 0},
     {{1, 0}, {4, 0}, smStream}},
    {"BracketJumpForward", u"f(a[b]c)", {1, 0}, {}, 0, 0, H::JumpToMatchingBracket, 0, u"f(a[b]c)", {7, 0}, {}},
    {"BracketJumpBackward", u"f(a[b]c)", {7, 0}, {}, 0, 0, H::JumpToMatchingBracket, 0, u"f(a[b]c)", {1, 0}, {}},
    {"RemoveSelection", u"ab", {0, 0}, {{0, 0}, {1, 0}, smStream}, 0, 0, H::ExecuteBlockCommand, 58, u"ab", {0, 0}, {}},
};

TEST_P(EditCommands, CommandGivesTextCaretAndSelection)
{
    const CommandCase& c = GetParam();
    FakeHost host;
    TEasyEditCommands commands(host);
    host.options |= c.EditorOn;
    host.proportional = std::string(c.Name).find("Proportional") != std::string::npos;
    host.source.SetOptions((host.source.Options() & ~(srAutoIndent | srBackUnindents)) | c.SourceOn);
    SetLines(host.source, c.Text);
    const std::u16string loaded = Lines(host.source);
    host.source.SetCaretPos(c.Caret.X, c.Caret.Y);
    host.StoreSelection(c.Before.Start, c.Before.End, c.Before.Mode);
    commands.Execute(c.Handler, c.Code);
    EXPECT_EQ(Lines(host.source), c.Expected);
    EXPECT_EQ(host.source.CaretPoint(), c.ExpectedCaret);
    EXPECT_EQ(host.mode, c.After.Mode);
    if (c.After.Mode) {
        EXPECT_EQ(host.start, c.After.Start);
        EXPECT_EQ(host.end, c.After.End);
    }
    // The command is one undo step: undoing it gives the text back.
    if (c.Expected != loaded) {
        host.source.Undo();
        EXPECT_EQ(Lines(host.source), loaded);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EditCommands, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

class EditCommandsFixture : public ::testing::Test {
protected:
    void Text(std::u16string_view text, TEasyPoint caret = {})
    {
        SetLines(host.source, text);
        host.source.SetCaretPos(caret.X, caret.Y);
    }
    FakeHost host;
    TEasyEditCommands commands{host};
};

TEST_F(EditCommandsFixture, TypingInsertsAndOverwritesWholePairs)
{
    Text(u"ab", {1, 0});
    commands.TypeChar(u'ä');
    commands.TypeChar(0xD83D);  // waits for its low half
    EXPECT_EQ(Lines(host.source), u"aäb");
    commands.TypeChar(0xDE00);
    EXPECT_EQ(Lines(host.source), u"aä\U0001F600b");
    EXPECT_EQ(host.source.CaretX(), 4);
    commands.TypeChar(0xDE00);  // a lone low half types nothing
    EXPECT_EQ(Lines(host.source), u"aä\U0001F600b");

    SetEasyOverwriteMode(true);
    Text(u"\U0001F600cd", {0, 0});
    commands.TypeText(u"xy");
    SetEasyOverwriteMode(false);
    EXPECT_EQ(Lines(host.source), u"xyd");
    EXPECT_EQ(host.source.CaretX(), 2);
}

TEST_F(EditCommandsFixture, PageMovesOneVisibleRowLessButOneAtLeast)
{
    Text(u"a|b|c|d|e", {0, 0});
    host.rows = 3;
    commands.Execute(H::ExecuteCommand, 5);
    EXPECT_EQ(host.source.CaretY(), 2);
    host.rows = 1;
    commands.Execute(H::ExecuteCommand, 5);
    EXPECT_EQ(host.source.CaretY(), 3);
    host.rows = 0;
    commands.Execute(H::ExecuteCommand, 4);
    EXPECT_EQ(host.source.CaretY(), 2);
}

TEST_F(EditCommandsFixture, TypingReplacesAnOverwritableSelection)
{
    host.options |= eoOverwriteBlocks;
    Text(u"abcd", {3, 0});
    host.StoreSelection({1, 0}, {3, 0}, smStream);
    commands.TypeText(u"X");
    EXPECT_EQ(Lines(host.source), u"aXd");
    EXPECT_EQ(host.source.CaretX(), 2);
    EXPECT_EQ(host.mode, smNone);
}

TEST_F(EditCommandsFixture, ReadOnlyRefusesEditsButMoves)
{
    Text(u"ab", {0, 0});
    host.source.SetReadOnly(true);
    commands.TypeText(u"x");
    commands.Execute(H::LineCommand, 16);
    commands.Execute(H::DeleteCommand, 3);
    commands.Execute(H::ExecuteCommand, 3);
    EXPECT_EQ(Lines(host.source), u"ab");
    EXPECT_EQ(host.source.CaretX(), 1);
    EXPECT_GE(host.beeps, 1);
}

TEST_F(EditCommandsFixture, ClipboardKeepsModeAndUtf16)
{
    Text(u"Łódź €|xy", {0, 0});
    host.StoreSelection({0, 0}, {2, 1}, smStream);
    ASSERT_TRUE(commands.CopyToClipboard());
    EXPECT_EQ(host.clipboard, u"Łódź €\r\nxy");
    EXPECT_FALSE(host.clipboardBlock);

    // A block pastes as a rectangle, a single block line leaves the caret below.
    Text(u"abc|def|ghi", {1, 0});
    host.StoreSelection({1, 0}, {1, 1}, smBlock);
    ASSERT_TRUE(commands.CopyToClipboard());
    EXPECT_EQ(host.clipboard, u"b\r\ne");
    EXPECT_TRUE(host.clipboardBlock);
    host.source.SetCaretPos(3, 1);
    commands.PasteFromClipboard();
    EXPECT_EQ(Lines(host.source), u"abc|defb|ghie");
    host.clipboard = u"Z";
    host.source.SetCaretPos(0, 0);
    commands.PasteFromClipboard();
    EXPECT_EQ(Lines(host.source), u"Zabc|defb|ghie");
    EXPECT_EQ(host.source.CaretPoint(), (TEasyPoint{0, 1}));

    // The same text as a stream.
    host.clipboard = u"b\r\ne";
    host.clipboardBlock = false;
    Text(u"abc|def", {1, 0});
    commands.PasteFromClipboard();
    EXPECT_EQ(Lines(host.source), u"ab|ebc|def");
    EXPECT_EQ(host.source.CaretPoint(), (TEasyPoint{1, 1}));
}

TEST_F(EditCommandsFixture, CutKeepsTheTextWhenTheClipboardRefuses)
{
    Text(u"abcd", {3, 0});
    host.StoreSelection({1, 0}, {3, 0}, smStream);
    host.clipboardLocked = true;
    EXPECT_FALSE(commands.CutToClipboard());
    EXPECT_EQ(Lines(host.source), u"abcd");
    EXPECT_EQ(host.beeps, 1);
    host.clipboardLocked = false;
    EXPECT_TRUE(commands.CutToClipboard());
    EXPECT_EQ(Lines(host.source), u"ad");
    EXPECT_EQ(host.clipboard, u"bc");
}

TEST_F(EditCommandsFixture, SetSelTextEndingInBreakLeavesCaretOnNextLine)
{
    Text(u"abcd", {1, 0});
    host.StoreSelection({1, 0}, {3, 0}, smStream);
    commands.SetSelText(u"Ł\r\n");
    EXPECT_EQ(Lines(host.source), u"aŁ|d");
    EXPECT_EQ(host.source.CaretPoint(), (TEasyPoint{0, 1}));
    EXPECT_EQ(commands.SelText(), u"Ł\r\n");
}

TEST_F(EditCommandsFixture, BlockMarkersWithoutSelection)
{
    Text(u"abcdef", {1, 0});
    commands.Execute(H::ExecuteBlockCommand, 29);  // marker only
    EXPECT_EQ(host.mode, smNone);
    host.source.SetCaretPos(4, 0);
    commands.Execute(H::ExecuteBlockCommand, 38);  // marker to caret
    EXPECT_EQ(host.mode, smStream);
    EXPECT_EQ(host.start, (TEasyPoint{1, 0}));
    EXPECT_EQ(host.end, (TEasyPoint{4, 0}));

    host.StoreSelection({}, {}, smNone);
    host.source.SetCaretPos(2, 0);
    commands.Execute(H::ExecuteBlockCommand, 38);  // reversed: nothing, marker moves
    EXPECT_EQ(host.mode, smNone);
    host.source.SetCaretPos(0, 0);
    commands.Execute(H::ExecuteBlockCommand, 29);
    EXPECT_EQ(host.start, (TEasyPoint{0, 0}));
    EXPECT_EQ(host.end, (TEasyPoint{2, 0}));

    // An edit forgets the marker.
    host.StoreSelection({}, {}, smNone);
    commands.TypeText(u"x");
    commands.Execute(H::ExecuteBlockCommand, 38);
    EXPECT_EQ(host.mode, smNone);
    EXPECT_EQ(commands.BlockMarker(), (std::optional<TEasyPoint>{TEasyPoint{1, 0}}));
}

TEST_F(EditCommandsFixture, IndentTextKeptAfterBackTab)
{
    host.options |= eoEnTabBlock;
    Text(u"        ab|        cd|x", {0, 2});
    host.StoreSelection({0, 0}, {0, 2}, smStream);
    commands.Execute(H::LineCommand, 19);
    EXPECT_EQ(Lines(host.source), u"ab|cd|x");
    EXPECT_EQ(commands.IndentText(), u"        ");
    commands.Execute(H::ExecuteBlockCommand, 33);  // indents by the same unit
    EXPECT_EQ(Lines(host.source), u"        ab|        cd|x");
    commands.Execute(H::LineCommand, 18);
    EXPECT_EQ(commands.IndentText(), u"");
}

TEST_F(EditCommandsFixture, EachCommandIsOneUndoStep)
{
    host.source.SetOptions(host.source.Options() & ~srGroupUndo);
    Text(u"ab|cd", {1, 0});
    const std::vector<std::u16string> states = [&] {
        std::vector<std::u16string> seen{Lines(host.source)};
        commands.TypeText(u"xy");
        seen.push_back(Lines(host.source));
        commands.Execute(H::LineCommand, 16);
        seen.push_back(Lines(host.source));
        commands.Execute(H::DeleteCommand, 2);
        seen.push_back(Lines(host.source));
        host.StoreSelection({0, 0}, {2, 1}, smStream);
        commands.Execute(H::ExecuteBlockCommand, 35);
        seen.push_back(Lines(host.source));
        return seen;
    }();
    for (size_t i = states.size() - 1; i > 0; --i) {
        host.source.Undo();
        EXPECT_EQ(Lines(host.source), states[i - 1]) << "undoing step " << i;
    }
}

// Select all, copy, paste over it, indent and unindent on a text of many
// lines (tabs, pairs, trailing blanks): each is one undo step, undo gives the
// text back unit for unit and redo the result, with tabs kept or not and
// with undo recording only changes.
TEST_F(EditCommandsFixture, LongPasteDeleteAndIndentUndoExactly)
{
    std::u16string text;
    for (int i = 0; i < 3000; ++i)
        text += (i % 7 == 0   ? u""
                 : i % 3 == 0 ? u"\tx \U0001F600 "
                              : u"  line ") +
                std::u16string(1, u'a' + i % 26) + u"|";
    text += u"end";
    for (const TEasySourceOptions extra : {TEasySourceOptions(0), TEasySourceOptions(srUseTab),
                                           TEasySourceOptions(srUndoOnlyChanges | srLeaveTrailSpaces)}) {
        FakeHost local;
        TEasyEditCommands run(local);
        local.options |= eoOverwriteBlocks;
        local.source.SetOptions((local.source.Options() & ~srGroupUndo) | extra);
        SetLines(local.source, text);
        std::vector<std::u16string> states{Lines(local.source)};
        run.SelectAll();
        ASSERT_TRUE(run.CopyToClipboard());
        local.source.SetCaretPos(3, 1);
        run.PasteFromClipboard();  // over the whole text
        states.push_back(Lines(local.source));
        EXPECT_EQ(states.back(), states.front()) << "pasted back whole, trailing blanks too";
        local.source.SetCaretPos(2, 5);
        run.PasteFromClipboard();  // into a line
        states.push_back(Lines(local.source));
        EXPECT_EQ(local.source.Strings().Count(), 2 * 3001 - 1);
        local.StoreSelection({4, 10}, {1, 4000}, smStream);
        run.Execute(H::ExecuteBlockCommand, 33);  // indent
        states.push_back(Lines(local.source));
        local.StoreSelection({0, 2}, {0, 5000}, smStream);
        run.Execute(H::ExecuteBlockCommand, 37);  // unindent
        states.push_back(Lines(local.source));
        local.StoreSelection({3, 20}, {2, 5500}, smStream);
        run.Execute(H::ExecuteBlockCommand, 25);  // delete
        states.push_back(Lines(local.source));
        EXPECT_EQ(local.source.Strings().Count(), 2 * 3001 - 1 - 5480);
        // Where a text first differs from the one expected, if it does.
        auto mismatch = [&](const std::u16string& expected) {
            const std::u16string now = Lines(local.source);
            const size_t at =
                std::mismatch(now.begin(), now.end(), expected.begin(), expected.end()).first - now.begin();
            return at == now.size() && now.size() == expected.size()
                       ? std::string()
                       : WideToUtf8(ToWide(now.substr(at > 20 ? at - 20 : 0, 60)));
        };
        for (size_t i = states.size() - 1; i > 0; --i) {
            local.source.Undo();
            ASSERT_EQ(mismatch(states[i - 1]), "") << "undoing step " << i << " options " << extra;
        }
        for (size_t i = 1; i < states.size(); ++i) {
            local.source.Redo();
            ASSERT_EQ(mismatch(states[i]), "") << "redoing step " << i << " options " << extra;
        }
    }
}

// Random commands on small texts in both selection modes: the caret and the
// selection stay inside the text, no pair is split, undo of all restores.
TEST_F(EditCommandsFixture, RandomCommandsKeepTheTextWhole)
{
    const std::pair<H, int> pool[] = {
        {H::ExecuteCommand, 0},
        {H::ExecuteCommand, 1},
        {H::ExecuteCommand, 2},
        {H::ExecuteCommand, 3},
        {H::ExecuteCommand, 8},
        {H::ExecuteCommand, 9},
        {H::ExecuteCommand, 11},
        {H::MoveExtendingSelection, 3},
        {H::MoveExtendingSelection, 1},
        {H::MoveExtendingColumnSelection, 1},
        {H::MoveExtendingColumnSelection, 3},
        {H::DeleteCommand, 2},
        {H::DeleteCommand, 3},
        {H::DeleteCommand, 9},
        {H::LineCommand, 16},
        {H::LineCommand, 18},
        {H::LineCommand, 19},
        {H::ExecuteBlockCommand, 22},
        {H::ExecuteBlockCommand, 23},
        {H::ExecuteBlockCommand, 24},
        {H::ExecuteBlockCommand, 25},
        {H::ExecuteBlockCommand, 30},
        {H::ExecuteBlockCommand, 33},
        {H::ExecuteBlockCommand, 35},
        {H::ExecuteBlockCommand, 37},
        {H::ExecuteBlockCommand, 40},
        {H::ExecuteBlockCommand, 46},
        {H::ExecuteBlockCommand, 39},
        {H::CharCommand, 51},
    };
    const std::u16string typed[] = {u"a", u"\U0001F600", u"\t", u"ß", u" "};
    std::mt19937 random(66);
    for (int round = 0; round < 200; ++round) {
        FakeHost local;
        TEasyEditCommands run(local);
        local.options |= (round % 2) ? eoPersistentBlocks : 0;
        local.options |= (round % 3 == 0) ? eoEnTabBlock | eoOverwriteBlocks : 0;
        local.source.SetOptions(local.source.Options() & ~srGroupUndo);
        if (round % 4 == 1)
            local.source.SetOptions(local.source.Options() | srUseTab);
        SetLines(local.source, u"ab\tc|\U0001F600 de|  fgh");
        const std::u16string original = Lines(local.source);
        std::vector<int> trace;
        for (int step = 0; step < 30; ++step) {
            if (random() % 4 == 0) {
                const size_t which = random() % std::size(typed);
                run.TypeText(typed[which]);
                trace.push_back(-1 - int(which));
            } else {
                const auto& [handler, code] = pool[random() % std::size(pool)];
                run.Execute(handler, code);
                trace.push_back(int(handler) * 100 + code);
            }
            const int count = local.source.Strings().Count();
            ASSERT_LE(local.source.CaretY(), std::max(count - 1, 0));
            for (int y = 0; y < count; ++y) {
                const std::u16string_view line = local.source.Strings().GetStored(y);
                for (size_t i = 0; i < line.size(); ++i) {
                    const bool high = line[i] >= 0xD800 && line[i] <= 0xDBFF;
                    const bool low = line[i] >= 0xDC00 && line[i] <= 0xDFFF;
                    ASSERT_FALSE(high && (i + 1 >= line.size() || line[i + 1] < 0xDC00 || line[i + 1] > 0xDFFF))
                        << ::testing::PrintToString(trace);
                    ASSERT_FALSE(low && (i == 0 || line[i - 1] < 0xD800 || line[i - 1] > 0xDBFF))
                        << ::testing::PrintToString(trace);
                    ASSERT_FALSE(low && (i == 0 || line[i - 1] < 0xD800 || line[i - 1] > 0xDBFF));
                }
            }
            if (local.mode == smStream)
                ASSERT_TRUE(local.start.Y < local.end.Y ||
                            (local.start.Y == local.end.Y && local.start.X < local.end.X));
        }
        while (local.source.CanUndo())
            local.source.Undo();
        EXPECT_EQ(Lines(local.source), original) << "round " << round;
    }
}

}  // namespace

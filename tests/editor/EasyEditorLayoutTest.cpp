// The editor control's portable arithmetic: character indexes, scrolling,
// wheel sums, word-wrap breaks and row rebuilds, line-number digits, marks.

#include "editor/EasyCharIndex.h"
#include "editor/EasyEditMessages.h"
#include "editor/EasyEditScroll.h"
#include "editor/EasyGutterText.h"
#include "editor/EasyRowLayout.h"
#include "editor/EasyStrings.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <memory>

using namespace qrv;

namespace {

// A line list with the text, kept in a fixture-free unique pointer.
std::unique_ptr<TEasyStrings> LinesOf(std::u16string_view text)
{
    auto lines = std::make_unique<TEasyStrings>();
    lines->SetText(text);
    return lines;
}

}  // namespace

TEST(EasyCharIndexTest, IndexesCountEveryBreakAsTwoWhateverTheFileHad)
{
    // LF and CR breaks in the file: the index still counts two per break.
    auto owned = LinesOf(u"ab\ncde\r\rf");
    TEasyStrings& lines = *owned;
    ASSERT_EQ(lines.Count(), 4);
    TEasyCharIndex index(lines);
    struct Case {
        int line;
        int64_t start;
    } starts[] = {{0, 0}, {1, 4}, {2, 9}, {3, 11}, {4, -1}, {-1, -1}};
    for (const Case& c : starts)
        EXPECT_EQ(index.LineIndex(c.line), c.start) << "line " << c.line;
    EXPECT_EQ(index.TextLength(), 12);

    struct Pos {
        int64_t index;
        TEasyCharPos pos;
    } positions[] = {
        {0, {0, 0}},  {2, {2, 0}},  {3, {2, 0}},  // inside the break: end of the line
        {4, {0, 1}},  {7, {3, 1}},  {9, {0, 2}},  {11, {0, 3}},
        {12, {1, 3}}, {99, {1, 3}}, {-5, {0, 0}},  // clamped into the text
    };
    for (const Pos& p : positions) {
        EXPECT_EQ(index.PosOf(p.index), p.pos) << "index " << p.index;
        EXPECT_EQ(index.LineFromChar(p.index), p.pos.Line) << "index " << p.index;
    }
    EXPECT_EQ(index.IndexOf({1, 1}), 5);
    EXPECT_EQ(index.IndexOf({50, 1}), 7) << "a column past the line is its end";
    EXPECT_EQ(index.IndexOf({0, 9}), 12) << "a line past the text is its end";
}

TEST(EasyCharIndexTest, AChangedLineRebuildsTheSumsFromThere)
{
    auto owned = LinesOf(u"aaa\r\nbb\r\nc");
    TEasyStrings& lines = *owned;
    TEasyCharIndex index(lines);
    EXPECT_EQ(index.LineIndex(2), 9);
    lines.Put(0, u"a");
    index.Invalidate(0);
    EXPECT_EQ(index.LineIndex(2), 7);
    lines.Insert(1, u"neu");
    index.Invalidate(1);
    EXPECT_EQ(index.LineIndex(3), 12);
    EXPECT_EQ(index.LineFromChar(12), 3);
    lines.Clear();
    index.Invalidate(0);
    EXPECT_EQ(index.TextLength(), 0);
    EXPECT_EQ(index.PosOf(5), (TEasyCharPos{0, 0}));
    EXPECT_EQ(index.LineIndex(0), -1);
}

TEST(EasyCharIndexTest, IndexesBeyondThirtyTwoBitsStayExact)
{
    // 40,000 lines of 60,000 characters: 2.4e9 characters.
    TEasyCharIndex index([] { return 40000; }, [](int) { return 60000; });
    const int64_t last = int64_t(39999) * 60002;
    EXPECT_EQ(index.LineIndex(39999), last);
    EXPECT_EQ(index.LineFromChar(last + 10), 39999);
    EXPECT_EQ(index.PosOf(last + 10), (TEasyCharPos{10, 39999}));
    EXPECT_EQ(index.TextLength(), last + 60000);
}

TEST(EasyCharIndexTest, AgreesWithAWalkOverTheLinesThroughRandomEdits)
{
    std::mt19937 random(31);
    std::vector<int> lengths;
    TEasyCharIndex index([&] { return int(lengths.size()); }, [&](int line) { return lengths[size_t(line)]; });
    for (int step = 0; step < 400; ++step) {
        // An edit: a line inserted, removed or changed, then the sums told.
        const int count = int(lengths.size());
        const int at = count ? int(random() % unsigned(count)) : 0;
        switch (random() % 3) {
        case 0:
            lengths.insert(lengths.begin() + at, int(random() % 50));
            break;
        case 1:
            if (count)
                lengths.erase(lengths.begin() + at);
            break;
        default:
            if (count)
                lengths[size_t(at)] = int(random() % 50);
            break;
        }
        index.Invalidate(at);
        // A probe against the walk.
        int64_t start = 0;
        const int probe = lengths.empty() ? 0 : int(random() % lengths.size());
        for (int line = 0; line < probe; ++line)
            start += lengths[size_t(line)] + 2;
        if (lengths.empty()) {
            EXPECT_EQ(index.LineIndex(0), -1);
            continue;
        }
        ASSERT_EQ(index.LineIndex(probe), start) << "step " << step;
        const int column = int(random() % unsigned(lengths[size_t(probe)] + 1));
        ASSERT_EQ(index.PosOf(start + column), (TEasyCharPos{column, probe})) << "step " << step;
        ASSERT_EQ(index.IndexOf({column, probe}), start + column);
    }
}

TEST(EasyEditMessagesTest, SelectionAndRangeRules)
{
    struct Case {
        int64_t start, end;
        TEasyCharRange want;
    } cases[] = {
        {0, -1, {0, 100}},                          // all
        {5, 2, {2, 5}},                             // reversed
        {90, 500, {90, 100}},   {-1, 7, {40, 40}},  // no selection, at the caret
        {200, 300, {100, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionRange(c.start, c.end, 100, 40), c.want) << c.start << ", " << c.end;

    EXPECT_EQ(PackedSelection({3, 0xFFFF}), 3 | (int64_t(0xFFFF) << 16));
    EXPECT_EQ(PackedSelection({3, 0x10000}), -1);
    EXPECT_EQ(PackedSelection({70000, 70001}), -1);

    TEasyCharRange range;
    EXPECT_TRUE(TextRange(0, -1, 10, range));
    EXPECT_EQ(range, (TEasyCharRange{0, 10}));
    EXPECT_TRUE(TextRange(4, 99, 10, range));
    EXPECT_EQ(range, (TEasyCharRange{4, 10}));
    EXPECT_FALSE(TextRange(6, 2, 10, range));
    EXPECT_FALSE(TextRange(-3, 2, 10, range));
    EXPECT_FALSE(TextRange(20, 30, 10, range));

    EXPECT_EQ(LineCopyLength(12, 5), 5);
    EXPECT_EQ(LineCopyLength(3, 5), 3);
    EXPECT_EQ(LineCopyLength(3, 0), 0);
}

TEST(EasyEditScrollTest, ScrollCodesMoveWithinTheRange)
{
    const TEasyScrollState state{50, 100, 20};
    struct Case {
        int code, thumb;
        bool tracking;
        int want;
    } cases[] = {
        {scLineUp, 0, false, 49},
        {scLineDown, 0, false, 51},
        {scPageUp, 0, false, 30},
        {scPageDown, 0, false, 70},
        {scThumbPosition, 77, false, 77},
        {scThumbTrack, 77, false, 50},  // tracking off: no move while dragged
        {scThumbTrack, 77, true, 77},
        {scThumbPosition, 70000, false, 100},
        {scTop, 0, false, 0},
        {scBottom, 0, false, 100},
        {scEndScroll, 0, false, 50},
        {99, 0, false, 50},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollTarget(state, c.code, c.thumb, c.tracking), c.want) << "code " << c.code;

    // At the ends and with a range larger than 16 bits.
    EXPECT_EQ(ScrollTarget({0, 100, 20}, scPageUp, 0, false), 0);
    EXPECT_EQ(ScrollTarget({95, 100, 20}, scPageDown, 0, false), 100);
    EXPECT_EQ(ScrollTarget({0, 200000, 20}, scThumbPosition, 150000, false), 150000);
    EXPECT_EQ(ScrollTarget({0, 0, 20}, scLineDown, 0, false), 0);
}

TEST(EasyEditScrollTest, WheelDeltasAddUpToWholeNotches)
{
    int16_t sum = 0;
    struct Step {
        int delta;
        unsigned lines;
        int64_t rows;
        int16_t left;
    } steps[] = {
        {40, 3, 0, 40},
        {40, 3, 0, 80},
        {40, 3, -3, 0},                       // three small deltas make a notch
        {-240, 3, 6, 0},                      // two notches down
        {120, 0, -1, 0},                      // a setting of 0 still scrolls a row
        {120, kEasyWheelPageScroll, -25, 0},  // "one page" scrolls a page
        {-360, kEasyWheelPageScroll, 75, 0},
        {-130, 1, 1, -10},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(WheelRows(sum, s.delta, s.lines, 25), s.rows) << "delta " << s.delta;
        EXPECT_EQ(sum, s.left);
    }
    sum = 0;
    EXPECT_EQ(WheelRows(sum, 1 << 30, 3, 25), -int64_t(32767 / 120) * 3) << "a huge delta is limited";
}

TEST(EasyEditScrollTest, KeepingAndCentringTheCaretRow)
{
    EXPECT_EQ(KeepRowVisible(10, 15, 10), 10);
    EXPECT_EQ(KeepRowVisible(10, 5, 10), 5);
    EXPECT_EQ(KeepRowVisible(10, 19, 10), 10);
    EXPECT_EQ(KeepRowVisible(10, 20, 10), 11) << "below: the caret row becomes the last visible";
    EXPECT_EQ(KeepRowVisible(10, 30, 0), 30);
    EXPECT_EQ(CenterRow(10, 15, 10), 10);
    EXPECT_EQ(CenterRow(10, 50, 10), 46);
    EXPECT_EQ(CenterRow(10, 2, 10), 0);
    EXPECT_EQ(ClampedAdd(INT_MAX - 1, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(ClampedAdd(3, -10, 100), 0);
}

TEST(EasyEditScrollTest, AViewScrolledByPixelsKeepsOrCentresASpan)
{
    // A view of 300 pixels from 1000; a caret row of 16 pixels.
    EXPECT_EQ(KeepSpanVisible(1000, 1100, 1116, 300), 1000);
    EXPECT_EQ(KeepSpanVisible(1000, 990, 1006, 300), 990) << "above: to the top edge";
    EXPECT_EQ(KeepSpanVisible(1000, 1290, 1306, 300), 1006) << "below: to the bottom edge";
    EXPECT_EQ(KeepSpanVisible(1000, 2000, 2400, 300), 2000) << "taller than the view: its top";
    EXPECT_EQ(CenterSpan(1000, 1100, 1116, 300), 1000);
    EXPECT_EQ(CenterSpan(1000, 5000, 5016, 300), 5008 - 150);
    EXPECT_EQ(CenterSpan(1000, 20, 36, 300), 0);
    // A line step of pixels.
    EXPECT_EQ(ScrollTarget({1000, 5000, 300, 16}, scLineUp, 0, false), 984);
    EXPECT_EQ(ScrollTarget({1000, 5000, 300, 16}, scLineDown, 0, false), 1016);
    EXPECT_EQ(ScrollTarget({1000, 5000, 300, 16}, scPageDown, 0, false), 1300);
    EXPECT_EQ(ScrollTarget({4990, 5000, 300, 16}, scLineDown, 0, false), 5000);
}

TEST(EasyRowLayoutTest, WrapBreaks)
{
    const TEasyBreakChar delimiter = [](char16_t c) { return c == u' ' || c == u'\t' || c == u','; };
    struct Case {
        const char16_t* line;
        int cells;
        std::vector<TEasyRowRange> rows;
    } cases[] = {
        {u"short", 10, {{0, INT_MAX}}},
        {u"exactly10!", 10, {{0, INT_MAX}}},
        {u"hello big world", 10, {{0, 10}, {10, INT_MAX}}},  // after "hello big "
        {u"one two three four", 8, {{0, 8}, {8, 14}, {14, INT_MAX}}},
        {u"abcdefghijklmnop", 5, {{0, 5}, {5, 10}, {10, 15}, {15, INT_MAX}}},  // cut hard
        {u"ab\tcdefgh\tij", 6, {{0, 3}, {3, 9}, {9, INT_MAX}}},                // after the tab; "cdefgh" hard
        {u"a,b,c,d", 4, {{0, 4}, {4, INT_MAX}}},
        {u"x\x0001yyyy", 4, {{0, 2}, {2, INT_MAX}}},  // U+0001 is a break too
        {u"abc", 0, {{0, 1}, {1, 2}, {2, INT_MAX}}},  // a window narrower than a character
        {u"abc", -5, {{0, 1}, {1, 2}, {2, INT_MAX}}},
        {u"   ", 1, {{0, 1}, {1, 2}, {2, INT_MAX}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapLine(c.line, GridFits(c.cells), delimiter), c.rows) << "line \"" << c.cells;

    // A surrogate pair stays whole: back when the row keeps a character,
    // else forward over the pair.
    const std::u16string pairs = u"a\U0001F600b\U0001F600";
    EXPECT_EQ(WrapLine(pairs, GridFits(2), delimiter),
              (std::vector<TEasyRowRange>{{0, 1}, {1, 3}, {3, 4}, {4, INT_MAX}}));
    EXPECT_EQ(WrapLine(u"\U0001F600\U0001F600", GridFits(1), delimiter),
              (std::vector<TEasyRowRange>{{0, 2}, {2, INT_MAX}}));
    // Random lines and widths: the rows cover the line in order, each with
    // at least one character, none ending inside a surrogate pair.
    std::mt19937 random(7);
    const char16_t alphabet[] = {u'a', u' ', u'\t', u'\xD83D', u'\xDE00', u'\x0001', u'b'};
    for (int round = 0; round < 300; ++round) {
        std::u16string line(size_t(random() % 60), u'a');
        for (char16_t& c : line)
            c = alphabet[random() % 7];
        const int cells = int(random() % 12) - 2;
        const auto rows = WrapLine(line, GridFits(cells), delimiter);
        ASSERT_FALSE(rows.empty());
        int expected = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].Start, expected);
            if (i + 1 == rows.size()) {
                ASSERT_EQ(rows[i].End, INT_MAX);
                break;
            }
            ASSERT_GT(rows[i].End, rows[i].Start);
            const char16_t before = line[size_t(rows[i].End - 1)], after = line[size_t(rows[i].End)];
            ASSERT_FALSE(before >= 0xD800 && before <= 0xDBFF && after >= 0xDC00 && after <= 0xDFFF);
            expected = rows[i].End;
        }
    }
    // A fits function answering nothing still ends.
    EXPECT_EQ(WrapLine(
                  u"abcd", [](std::u16string_view, int) { return 0; }, delimiter)
                  .size(),
              4u);
}

TEST(EasyRowLayoutTest, RebuildStopsBeyondTheTopAndBuildsTheRestOnDemand)
{
    TEasyStrings lines;
    for (int i = 0; i < 1000; ++i)
        lines.Add(i % 2 ? u"" : u"aaaa bbbb cccc");  // even lines: 2 rows of 10 cells
    TEasyWrapList rows;
    TEasyRowLayout layout;
    int wrapped = 0;
    layout.LineCount = [&] { return lines.Count(); };
    layout.LineText = [&](int line) { return lines.Get(line); };
    layout.Fits = GridFits(10);
    layout.BreakChar = [](char16_t c) { return c == u' '; };
    layout.BeforeWrapLine = [&](int) { ++wrapped; };
    rows.OnNeedRows = [&](TEasyWrapList& list, int from, int to) { layout.Rebuild(list, from, to, 0); };

    EXPECT_TRUE(layout.Rebuild(rows, 0, TEasyRowLayout::ToTheEnd, 0));
    EXPECT_GT(rows.Count(), TEasyRowLayout::RowsAhead);
    EXPECT_LT(rows.Count(), TEasyRowLayout::RowsAhead + 3);
    EXPECT_LT(layout.LastBuiltLine(), 200);
    EXPECT_EQ(wrapped, layout.LastBuiltLine() + 1);
    EXPECT_EQ(layout.EstimatedRows(rows), rows.Count() + 999 - layout.LastBuiltLine());
    EXPECT_EQ(rows.Items(0).EndCol, 10);
    EXPECT_EQ(rows.Items(1).StartCol, 10);
    EXPECT_EQ(rows.Items(2).Line, 1);

    // A conversion far down asks for the missing rows.
    TEasyWrapPos pos;
    ASSERT_TRUE(rows.RowToText({0, 1200}, pos));
    EXPECT_EQ(pos.Y, 800);
    EXPECT_GE(layout.LastBuiltLine(), 800);

    // Lines removed at the end take their rows with them; a changed line
    // is cut again.
    while (lines.Count() > 3)
        lines.Delete(lines.Count() - 1);
    lines.Put(1, u"zzzzzzzzzzzzzzzzzzzzzzzzz");
    layout.Rebuild(rows, 1, 1, 0);
    EXPECT_EQ(rows.Count(), 2 + 3 + 2);
    EXPECT_EQ(rows.Items(rows.Count() - 1).Line, 2);
}

TEST(EasyGutterTextTest, LineNumberDigitsFollowStartFrom)
{
    struct Case {
        int lines, startFrom;
        bool beyond;
        int64_t visible;
        int digits;
    } cases[] =
        {
            {9, 1, false, 0, 1},  {10, 1, false, 0, 2}, {10, 0, false, 0, 1},  {9, 1, true, 0, 2},
            {0, 0, false, 0, 1},  {99, 1, false, 0, 2}, {100, 1, false, 0, 3}, {5, 998, false, 0, 4},
            {5, 1, true, 120, 3},  // the highest visible number counts too
        };
    for (const Case& c : cases)
        EXPECT_EQ(LineNumberDigits(c.lines, c.startFrom, c.beyond, c.visible), c.digits)
            << c.lines << " lines from " << c.startFrom;
    EXPECT_EQ(LineNumberText(7, 3, TEasyLineNumbersAlign::lnRight), u"  7");
    EXPECT_EQ(LineNumberText(7, 3, TEasyLineNumbersAlign::lnLeft), u"7  ");
    EXPECT_EQ(LineNumberText(12345, 3, TEasyLineNumbersAlign::lnLeft), u"12345");
}

TEST(EasyGutterTextTest, FormattingMarksVersionOfALine)
{
    TTabStopList tabs;
    tabs.SetText(L"4");
    EXPECT_EQ(FormattingMarksText(u"a b", false, tabs, DefaultFormattingMarks), u"a\u00B7b\u00B6");
    EXPECT_EQ(FormattingMarksText(u"a\tb", true, tabs, DefaultFormattingMarks), u"a \u00BB b\u00B6");
    EXPECT_EQ(FormattingMarksText(u"\tx", true, tabs, DefaultFormattingMarks), u"  \u00BB x\u00B6");
    EXPECT_EQ(FormattingMarksText(u"a\tb", false, tabs, DefaultFormattingMarks), u"a\u00BBb\u00B6");
    EXPECT_EQ(FormattingMarksText(u"", true, tabs, {u'.', u'>', u'$', u'~'}), u"$");
}

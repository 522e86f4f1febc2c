#include "editor/EasyPainter.h"

#include "EditSourceFakes.h"
#include "editor/EasyEditSource.h"
#include "editor/EasyWrapList.h"

#include <gtest/gtest.h>

#include <map>

using namespace qrv;
using qrv::test::FakeParser;

namespace {

// Font handles are 100 + style; a bold font is 2 pixels taller.
struct GridMeasurer : TEasyFontMeasurer {
    std::string Describe(uintptr_t font) override { return std::to_string(font); }
    TEasyMeasuredFont Measure(uintptr_t font) override
    {
        TEasyMeasuredFont m;
        m.AveCharWidth = 7;
        m.Ascent = 13;
        m.Height = ((font - 100) & efBold) ? 18 : 16;
        return m;
    }
    int TextWidth(uintptr_t, std::u16string_view text) override { return static_cast<int>(text.size()) * 7; }
};

// Words red and bold, comments green on yellow, other characters unstyled.
class StyledParser : public FakeParser {
public:
    using FakeParser::FakeParser;
    void GetTokenStyle(int token, TColor& color, TFontStyles& style) override
    {
        color = token == 1 ? clRed : token == 2 ? clGreen : -1;
        style = token == 1 ? efBold : 0;
    }
    TColor GetTokenBackground(int token) override { return token == 2 ? clYellow : -1; }
};

struct FakeHost : TEasyPainterHost {
    TCustomEasyEditSource& PainterSource() override { return source; }
    TEasyEditorOptions PainterOptions() const override { return options; }
    const TEasyEditorColors& PainterColors() const override { return colors; }
    const TEasyLineStyles& PainterLineStyles() const override { return lineStyles; }
    const TEasyLineDivider& PainterLineDivider() const override { return divider; }
    TColor PainterColor() const override { return clWhite; }
    TColor PainterBackground() const override { return clWhite; }
    TColor PainterFontColor() const override { return clBlack; }
    TFontStyles PainterFontStyle() const override { return 0; }
    uintptr_t PainterFont(TFontStyles style) override { return 100 + style; }
    bool PainterFocused() const override { return focused; }
    bool PainterHideSelection() const override { return true; }
    TEasyWrapList* PainterWrapList() override { return wrap ? &wrapList : nullptr; }
    bool PainterSelection(int line, TEasyColumnSpan& span) override
    {
        auto found = selection.find(line);
        if (found == selection.end())
            return false;
        span = found->second;
        return true;
    }
    std::vector<TEasyColumnSpan> PainterSearchMatches(int line) override
    {
        auto found = matches.find(line);
        return found == matches.end() ? std::vector<TEasyColumnSpan>{} : found->second;
    }
    int PainterCaretLine() const override { return 0; }

    TEasyEditSource source{nullptr};
    TEasyEditorOptions options = DefaultEasyEditorOptions & ~eoEnableSearchHighlight;
    TEasyEditorColors colors;
    TEasyLineStyles lineStyles;
    TEasyLineDivider divider;
    bool focused = true;
    bool wrap = false;
    TEasyWrapList wrapList;
    std::map<int, TEasyColumnSpan> selection;
    std::map<int, std::vector<TEasyColumnSpan>> matches;
};

class RecordingPainter : public TCustomEasyPainter {
public:
    using TCustomEasyPainter::TCustomEasyPainter;
    std::vector<TEasyRowPlan> rows;

protected:
    void PaintRow(const TEasyRowPlan& plan) override { rows.push_back(plan); }
};

class EasyPainterTest : public ::testing::Test {
protected:
    EasyPainterTest() : fonts(std::make_unique<GridMeasurer>()), painter(host, fonts) {}

    void SetText(std::u16string_view lines) { qrv::test::SetLines(host.source, lines); }
    void UseParser()
    {
        host.source.SetParser(&parser);
        host.source.ParseLines(0, host.source.Strings().Count() - 1, true);
        painter.FontChanged();
    }
    // Plans row 0 of the line at the top of a wide rectangle.
    TEasyRowPlan Plan(int line = 0, int right = 10000)
    {
        const std::u16string text = host.source.Strings().Get(line);
        return painter.PlanRow(line, {0, 0, right, 16}, text, text, 0, INT_MAX, true, true);
    }
    static std::vector<int> Counts(const TEasyRowPlan& plan)
    {
        std::vector<int> counts;
        for (const auto& piece : plan.Pieces)
            counts.push_back(piece.Count);
        return counts;
    }

    FakeHost host;
    StyledParser parser{nullptr};
    TEasyFontManager fonts;
    RecordingPainter painter;
};

}  // namespace

TEST_F(EasyPainterTest, MetricsComeFromTheFontAndTheTallestTokenStyle)
{
    SetText(u"abc");
    EXPECT_EQ(painter.GetCharWidth(), 7);
    EXPECT_EQ(painter.GetLineHeight(), 16);
    UseParser();  // a bold token style raises the row
    EXPECT_EQ(painter.GetLineHeight(), 18);
    EXPECT_EQ(painter.GetAscent(), 13);
    const auto& advances = painter.GetCharAdvances(600);
    ASSERT_EQ(advances.size(), 600u);
    EXPECT_EQ(advances.front(), 7);
    EXPECT_EQ(advances.back(), 7);
}

TEST_F(EasyPainterTest, LongRowsAreDrawnInPiecesOf256)
{
    SetText(std::u16string(600, u'x'));
    for (bool withParser : {false, true}) {
        if (withParser)
            UseParser();
        const TEasyRowPlan plan = Plan();
        EXPECT_EQ(Counts(plan), (std::vector<int>{256, 256, 88})) << withParser;
        EXPECT_EQ(plan.Pieces[1].X, 256 * 7);
        EXPECT_EQ(plan.Pieces[2].Text, std::u16string(88, u'x'));
    }
    // A row of at most 256 characters without states is one piece.
    SetText(std::u16string(256, u'x'));
    EXPECT_EQ(Counts(Plan()), (std::vector<int>{256}));
}

TEST_F(EasyPainterTest, PiecesNeverSplitASurrogatePair)
{
    std::u16string text(255, u'a');
    text += u"\U0001F600";
    text += u"bb";
    SetText(text);
    const TEasyRowPlan plan = Plan();
    EXPECT_EQ(Counts(plan), (std::vector<int>{255, 4}));
    EXPECT_EQ(plan.Pieces[1].Text, u"\U0001F600bb");
}

TEST_F(EasyPainterTest, PiecesSplitAtSelectionAndSearchEdges)
{
    SetText(u"abcdefghij");
    host.options |= eoEnableSearchHighlight;
    host.selection[0] = {2, 5};
    host.matches[0] = {{4, 7}};
    const TEasyRowPlan plan = Plan();
    ASSERT_EQ(Counts(plan), (std::vector<int>{2, 2, 1, 2, 3}));
    struct Expected {
        bool selected, search;
        TColor text, back;
    } expected[] = {
        {false, false, clBlack, clWhite},           {true, false, clHighlightText, clHighlight},
        {true, true, clHighlightText, clHighlight}, {false, true, clHighlightText, clHighlight},
        {false, false, clBlack, clWhite},
    };
    host.colors.SetSearchMatchBackColor(clYellow);
    host.colors.SetSearchMatchColor(clRed);
    const TEasyRowPlan coloured = Plan();
    for (size_t i = 0; i < 5; ++i) {
        const TEasyPaintPiece& piece = coloured.Pieces[i];
        EXPECT_EQ(piece.Selected, expected[i].selected) << i;
        EXPECT_EQ(piece.SearchMatch, expected[i].search) << i;
        EXPECT_EQ(piece.TextColor, expected[i].search ? clRed : expected[i].text) << i;
        EXPECT_EQ(piece.BackColor, expected[i].search ? clYellow : expected[i].back) << i;
    }
    // A hidden selection of an unfocused editor splits nothing.
    host.focused = false;
    host.options &= ~eoEnableSearchHighlight;
    EXPECT_EQ(Counts(Plan()), (std::vector<int>{10}));
}

TEST_F(EasyPainterTest, TokensSplitRunsAndGiveTheirColours)
{
    SetText(u"ab 12/*c*/");
    UseParser();
    const TEasyRowPlan plan = Plan();
    // words | other characters | comment
    ASSERT_EQ(Counts(plan), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(plan.Pieces[0].TextColor, clRed);
    EXPECT_EQ(plan.Pieces[0].Style, efBold);
    EXPECT_EQ(plan.Pieces[1].TextColor, clBlack);
    EXPECT_EQ(plan.Pieces[1].Style, 0);
    EXPECT_EQ(plan.Pieces[2].TextColor, clGreen);
    EXPECT_EQ(plan.Pieces[2].BackColor, clYellow);
}

TEST_F(EasyPainterTest, OnlyParsedLinesPaintTheirStyles)
{
    SetText(u"ab 12/*c*/");
    UseParser();
    ASSERT_EQ(Counts(Plan()), (std::vector<int>{2, 3, 5}));
    // A re-parse ordered by the parser leaves the old codes in the line
    // until the line is parsed again: they must not be painted meanwhile.
    host.source.Reparse();
    const TEasyRowPlan plan = Plan();
    ASSERT_EQ(Counts(plan), (std::vector<int>{10}));
    EXPECT_EQ(plan.Pieces[0].TextColor, clBlack);
    EXPECT_EQ(plan.Pieces[0].BackColor, clWhite);
    host.source.EnsureParsed(0, 0);
    EXPECT_EQ(Counts(Plan()), (std::vector<int>{2, 3, 5}));
}

TEST_F(EasyPainterTest, UnknownTokensAndVanishedLineStylesPaintInTheDefaultColours)
{
    SetText(u"abc");
    UseParser();
    host.source.Strings().SetStyles(0, 1, 50, 3);  // no such token
    TEasyRowPlan plan = Plan();
    ASSERT_EQ(plan.Pieces.size(), 1u);
    EXPECT_EQ(plan.Pieces[0].TextColor, clBlack);
    EXPECT_EQ(plan.Pieces[0].Style, 0);
    EXPECT_EQ(plan.Pieces[0].BackColor, clWhite);

    host.lineStyles.Add({L"mark", clWhite, clBlue});
    host.source.SetLineStyle(0, 0);
    EXPECT_EQ(Plan().Pieces[0].BackColor, clBlue);
    host.lineStyles.Delete(0);
    plan = Plan();
    EXPECT_EQ(plan.Pieces[0].BackColor, clWhite);
    EXPECT_EQ(plan.Pieces[0].TextColor, clBlack);
}

TEST_F(EasyPainterTest, TabsKeptInTheTextMapColumnsToTheirCharacters)
{
    host.source.SetOptions(host.source.Options() | srUseTab);
    SetText(u"\tab");
    UseParser();
    const std::u16string shown = host.source.Strings().Get(0);
    ASSERT_EQ(shown, u"        ab");
    const TEasyRowPlan plan = painter.PlanRow(0, {0, 0, 1000, 16}, shown, shown, 0, INT_MAX, true, true);
    ASSERT_EQ(Counts(plan), (std::vector<int>{8, 2}));
    EXPECT_EQ(plan.Pieces[1].X, 8 * 7);
    EXPECT_EQ(plan.Pieces[1].TextColor, clRed);
    // Pixels and positions count display columns: "a" is column 8 and
    // starts where its piece is drawn.
    TEasyPoint pos;
    painter.PixelToText({0, 0}, {plan.Pieces[1].X + 2, 5}, pos, false);
    EXPECT_EQ(pos, (TEasyPoint{8, 0}));
    TEasyPoint pixel;
    painter.TextToPixel({8, 0}, {0, 0}, pixel, false, false);
    EXPECT_EQ(pixel.X, plan.Pieces[1].X);
}

TEST(EasyPainterColors, RulesAToF)
{
    TEasyEditorColors colors;
    colors.SetSelColor(0x111111);
    colors.SetSelBackColor(0x222222);
    colors.SetSearchMatchColor(0x333333);
    colors.SetSearchMatchBackColor(0x444444);
    colors.SetFmtMarkColor(0x555555);
    const TColor font = 0x010101;
    struct Case {
        const char* name;
        TEasyPieceColorInput in;
        TEasyEditorOptions options;
        TColor text, back;
        TFontStyles style;
    } cases[] = {
        {"a: marks take the mark colour", {-1, -1, -1, -1, 0, false, false, true}, 0, 0x555555, -1, 0},
        {"a: not on a line-style line", {0x0A, 0x0B, -1, -1, 0, false, false, true}, 0, 0x0B, 0x0A, efBold},
        {"b: token colour and style", {-1, -1, 0x0C, clRed, efItalic}, 0, clRed, 0x0C, efItalic},
        {"b: no token colour keeps the font", {-1, -1, -1, -1, efItalic}, 0, font, -1, efBold},
        {"c: search match", {0x0A, 0x0B, 0x0C, clRed, 0, true, true}, 0, 0x333333, 0x444444, 0},
        {"d: line style over token", {0x0A, 0x0B, 0x0C, clRed, 0}, 0, 0x0B, 0x0A, 0},
        {"d: line-style background only", {0x0A, -1, 0x0C, clRed, 0}, 0, clRed, 0x0A, 0},
        {"e: selection colours", {-1, -1, 0x0C, clRed, 0, true}, 0, 0x111111, 0x222222, 0},
        {"e: eoColorSelection keeps the token colour",
         {-1, -1, 0x0C, clRed, 0, true},
         eoColorSelection,
         clRed,
         0x222222,
         0},
        {"e: one line-style colour is not enough", {0x0A, -1, -1, clRed, 0, true}, 0, 0x111111, 0x222222, 0},
        {"f: line-style colours exchanged", {0x0A, 0x0B, 0x0C, clRed, 0, true}, 0, 0x0A, 0x0B, 0},
    };
    for (const Case& c : cases) {
        const TEasyPieceColors out = DecidePieceColors(c.in, colors, c.options, font, efBold);
        EXPECT_EQ(out.Text, c.text) << c.name;
        EXPECT_EQ(out.Back, c.back) << c.name;
        EXPECT_EQ(out.Style, c.style) << c.name;
    }
}

TEST_F(EasyPainterTest, SelectionBeyondTheLineEnd)
{
    SetText(u"abc");
    host.selection[0] = {1, 6};
    host.colors.SetSelBackColor(clBlue);
    const int right = 100;
    host.options &= ~eoSelectBeyondEol;
    TEasyRowPlan plan = Plan(0, right);
    // Without eoSelectBeyondEol only the text is highlighted.
    ASSERT_EQ(plan.Fills.size(), 1u);
    EXPECT_EQ(plan.Fills[0].Rect, (TEasyRect{21, 0, right, 16}));
    EXPECT_EQ(plan.Fills[0].Color, clWhite);

    host.options |= eoSelectBeyondEol;
    plan = Plan(0, right);
    ASSERT_EQ(plan.Fills.size(), 2u);
    EXPECT_EQ(plan.Fills[0].Rect, (TEasyRect{21, 0, 42, 16}));
    EXPECT_EQ(plan.Fills[0].Color, clBlue);
    EXPECT_EQ(plan.Fills[1].Rect, (TEasyRect{42, 0, right, 16}));
    EXPECT_EQ(plan.Fills[1].Color, clWhite);

    // With a line style and eoLineStyleBeyondEol the rest is in its colour.
    host.selection.clear();
    host.options |= eoLineStyleBeyondEol;
    host.lineStyles.Add({L"mark", clWhite, clGreen});
    host.source.SetLineStyle(0, 0);
    plan = Plan(0, right);
    ASSERT_EQ(plan.Fills.size(), 1u);
    EXPECT_EQ(plan.Fills[0].Color, clGreen);
    // A transparent painter leaves the rest to the background picture.
    host.source.SetLineStyle(0, -1);
    painter.Transparent = true;
    EXPECT_TRUE(Plan(0, right).Fills.empty());
}

TEST_F(EasyPainterTest, SpellingMarksGiveWaves)
{
    struct Case {
        int code, token;
        bool spelling;
    } cases[] = {
        {0, 0, false},    {8, 8, false},        {0xFFFF, -1, false}, {-1, -1, false},
        {32767, 0, true}, {32767 + 5, 5, true}, {65534, -1, true},   {32759, 32759, false},
    };
    for (const Case& c : cases) {
        bool spelling = false;
        EXPECT_EQ(TCustomEasyPainter::UnmarkToken(c.code, spelling), c.token) << c.code;
        EXPECT_EQ(spelling, c.spelling) << c.code;
    }

    SetText(u"ab cd");
    host.source.Strings().SetStyles(0, 1, 0xFFFF, 5);
    host.source.Strings().SetStyles(0, 4, 65534, 2);
    host.source.Strings().Items(0)->Flags |= lfParsed;  // the codes stand for a parse
    painter.LiveSpell = true;
    const TEasyRowPlan plan = Plan();
    ASSERT_EQ(Counts(plan), (std::vector<int>{3, 2}));
    EXPECT_TRUE(plan.Pieces[1].Spelling);
    ASSERT_EQ(plan.Waves.size(), 1u);
    const auto& wave = plan.Waves[0];
    // From 21 snapped down to 18, to 35 rounded up to 36: 10 points.
    ASSERT_EQ(wave.size(), 10u);
    EXPECT_EQ(wave.front(), (TEasyPoint{18, 15 - 3}));
    EXPECT_EQ(wave[1], (TEasyPoint{20, 15 - 1}));
    EXPECT_EQ(wave[2], (TEasyPoint{22, 15 + 1}));
    EXPECT_EQ(wave.back(), (TEasyPoint{36, 15 - 3}));
}

TEST(EasyPainterWave, PointCountIsThreeNPlusOne)
{
    for (int left : {-7, 0, 1, 5, 6, 13})
        for (int width : {1, 2, 6, 7, 20, 61}) {
            const auto points = WavePoints(left, left + width, 30);
            ASSERT_FALSE(points.empty());
            EXPECT_EQ((points.size() - 1) % 3, 0u);
            EXPECT_LE(points.front().X, left);
            EXPECT_EQ(points.front().X % 6, 0);
            EXPECT_GE(points.back().X, left + width);
        }
}

TEST(EasyPainterGradient, BlueToBlackOver300PixelsIn256Bands)
{
    const auto bands = GradientBands(clBlue, clBlack, 300);
    ASSERT_EQ(bands.size(), 256u);
    EXPECT_EQ(bands.front().Color, clBlue);
    EXPECT_EQ(bands.back().Color, clBlack);
    EXPECT_EQ(bands[128].Color, 0x7F0000);  // 255 - 255 * 128 / 255 = 127
    for (size_t i = 0; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i].Size, 300 / 256 + 1);
        if (i > 0) {
            EXPECT_LE(bands[i].Offset, bands[i - 1].Offset + bands[i - 1].Size) << "gap before " << i;
        }
    }
    EXPECT_GE(bands.back().Offset + bands.back().Size, 300);
    // Equal colours: one band over everything; no extent: no bands.
    EXPECT_EQ(GradientBands(clRed, clRed, 50).size(), 1u);
    EXPECT_TRUE(GradientBands(clRed, clBlue, 0).empty());
    // Each channel on its own: the largest difference counts.
    const auto mixed = GradientBands(0x102030, 0x10203A, 100);
    ASSERT_EQ(mixed.size(), 11u);
    EXPECT_EQ(mixed[5].Color, 0x102035);
}

TEST_F(EasyPainterTest, PixelsAndPositionsWithoutWrap)
{
    SetText(u"one|two|three|four");
    struct Case {
        TEasyPoint pos, origin, pixel;
    } cases[] = {
        {{0, 0}, {0, 0}, {0, 0}},
        {{3, 2}, {0, 0}, {21, 32}},
        {{3, 2}, {1, 1}, {14, 16}},
        {{0, 0}, {0, 1}, {0, -16}},
    };
    for (const Case& c : cases) {
        TEasyPoint pixel;
        painter.TextToPixel(c.pos, c.origin, pixel, false, false);
        EXPECT_EQ(pixel, c.pixel);
        TEasyPoint back;
        painter.PixelToText(c.origin, {c.pixel.X + 3, c.pixel.Y + 15}, back, false);
        EXPECT_EQ(back, c.pos);
    }
    EXPECT_EQ(painter.ColumnToPixel(INT_MAX), INT_MAX);
    EXPECT_EQ(painter.ColumnToPixel(INT_MAX - 1), INT_MAX);
    TEasyPoint size;
    painter.GetPageSize({0, 0, 71, 40}, size);
    EXPECT_EQ(size, (TEasyPoint{10, 2}));
    painter.GetPageSize({0, 0, 0, 40}, size);
    EXPECT_EQ(size.X, -1);
}

TEST_F(EasyPainterTest, PixelsAndPositionsThroughWrapRows)
{
    SetText(u"aaaaabbbbbcc|dd");
    host.wrap = true;
    host.wrapList.AddRow(0, 0, 5);
    host.wrapList.AddRow(0, 5, 10);
    host.wrapList.AddRow(0, 10);
    host.wrapList.AddRow(1, 0);
    TEasyPoint pixel;
    painter.TextToPixel({7, 0}, {0, 0}, pixel, false, false);
    EXPECT_EQ(pixel, (TEasyPoint{14, 16}));
    painter.TextToPixel({1, 1}, {0, 0}, pixel, false, false);
    EXPECT_EQ(pixel, (TEasyPoint{7, 48}));
    // The break column belongs to the next row, or with AtRowEnd to this one.
    painter.TextToPixel({5, 0}, {0, 0}, pixel, false, false);
    EXPECT_EQ(pixel, (TEasyPoint{0, 16}));
    painter.TextToPixel({5, 0}, {0, 0}, pixel, true, false);
    EXPECT_EQ(pixel, (TEasyPoint{35, 0}));

    TEasyPoint pos;
    painter.PixelToText({0, 0}, {16, 20}, pos, false);
    EXPECT_EQ(pos, (TEasyPoint{7, 0}));
    // Right of a row: its end.
    painter.PixelToText({0, 0}, {500, 20}, pos, false);
    EXPECT_EQ(pos, (TEasyPoint{10, 0}));
    painter.PixelToText({0, 0}, {8, 50}, pos, false);
    EXPECT_EQ(pos, (TEasyPoint{1, 1}));

    // Painting the line paints each of its rows, moving down.
    const std::u16string text = u"aaaaabbbbbcc";
    EXPECT_EQ(painter.PaintLine(0, {0, 100, 200, 116}, text, text), 48);
    ASSERT_EQ(painter.rows.size(), 3u);
    EXPECT_EQ(painter.rows[1].Rect.Top, 116);
    EXPECT_EQ(painter.rows[1].StartColumn, 5);
    ASSERT_EQ(Counts(painter.rows[1]), (std::vector<int>{5}));
    EXPECT_EQ(painter.rows[1].Pieces[0].Text, u"bbbbb");
    EXPECT_EQ(painter.rows[1].Pieces[0].X, 0);
    EXPECT_EQ(painter.rows[2].Pieces[0].Text, u"cc");
}

TEST_F(EasyPainterTest, HiddenLinesTakeNoRows)
{
    SetText(u"a|b|c|d");
    host.source.Strings().SetAllowHiddenLines(true);
    host.source.Strings().Collapse(0, true);
    host.source.Strings().SetLineVisible(1, false);
    ASSERT_EQ(host.source.Strings().HiddenCount(), 1);
    TEasyPoint pixel;
    painter.TextToPixel({0, 2}, {0, 0}, pixel, false, false);
    EXPECT_EQ(pixel.Y, 16);
    TEasyPoint pos;
    painter.PixelToText({0, 0}, {0, 20}, pos, false);
    EXPECT_EQ(pos.Y, 2);
}

TEST_F(EasyPainterTest, ColumnsThatFitTheWidth)
{
    painter.SetWidth(7 * 4 + 3);
    EXPECT_EQ(painter.CharsPerWidth(), 4);
    EXPECT_EQ(painter.PixelToColumn(u"abcdefg", 0), 4);
    EXPECT_EQ(painter.PixelToColumn(u"abcdefg", 5), 2);
    EXPECT_EQ(painter.PixelToColumn(u"abcdefg", 9), 0);
    EXPECT_EQ(painter.PixelToColumn(u"abc\U0001F600x", 0), 3);  // the pair moves to the next row
    painter.SetWidth(0);
    EXPECT_EQ(painter.CharsPerWidth(), 1);
}

TEST_F(EasyPainterTest, RowsBelowTheClipAreSkippedAndColumnsLeftOfItNotDrawn)
{
    SetText(std::u16string(40, u'x'));
    painter.ClipRect = {70, 0, 140, 16};
    const std::u16string text = host.source.Strings().Get(0);
    EXPECT_EQ(painter.PaintLine(0, {0, 0, 300, 16}, text, text), 16);
    ASSERT_EQ(painter.rows.size(), 1u);
    ASSERT_EQ(painter.rows[0].Pieces.size(), 1u);
    EXPECT_EQ(painter.rows[0].Pieces[0].Column, 10);
    EXPECT_EQ(painter.rows[0].Pieces[0].Count, 11);
    painter.rows.clear();
    painter.ClipRect = {0, 0, 300, 10};
    EXPECT_EQ(painter.PaintLine(0, {0, 16, 300, 32}, text, text), 16);
    EXPECT_TRUE(painter.rows.empty());
}

TEST_F(EasyPainterTest, FormattingMarksAreDrawnFromTheMarksText)
{
    host.options |= eoPaintFormattingMarks;
    host.colors.SetFmtMarkColor(clGray);
    const std::u16string text = u"a  b";
    const std::u16string marks = u"a\u00B7\u00B7b";
    const TEasyRowPlan plan = painter.PlanRow(0, {0, 0, 100, 16}, text, marks, 0, INT_MAX, true, true);
    ASSERT_EQ(Counts(plan), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(plan.Pieces[1].Text, u"\u00B7\u00B7");
    EXPECT_EQ(plan.Pieces[1].TextColor, clGray);
    EXPECT_EQ(plan.Pieces[0].TextColor, clBlack);
}

TEST_F(EasyPainterTest, CaretSizeAndDividerLines)
{
    TEasyPoint size;
    painter.GetCaretSize(size);
    EXPECT_EQ(size, (TEasyPoint{2, 16}));
    host.divider.SetOptions(ldHighlightCurrentLine | ldSeparateLines);
    SetText(u"x|y");
    TEasyRowPlan plan = Plan(0);
    EXPECT_TRUE(plan.HighlightLine);
    EXPECT_EQ(plan.DividerLines, (std::vector<int>{0, 15}));
    plan = Plan(1);
    EXPECT_FALSE(plan.HighlightLine);
    EXPECT_EQ(plan.DividerLines, (std::vector<int>{0}));
}

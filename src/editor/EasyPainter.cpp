#include "editor/EasyPainter.h"

#include "editor/EasyEditSource.h"
#include "editor/EasyWrapList.h"

#include <algorithm>
#include <cstdlib>

namespace qrv {

namespace {

int ClampToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

// Division rounding towards minus infinity: pixels left of or above the
// origin belong to the cell before it.
int FloorDiv(int value, int divisor)
{
    int quotient = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0)))
        --quotient;
    return quotient;
}

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

int Channel(TColor color, int shift)
{
    return (static_cast<uint32_t>(color) >> shift) & 0xFF;
}

}  // namespace

// ---- colours, waves and gradients ------------------------------------------

TEasyPieceColors DecidePieceColors(const TEasyPieceColorInput& in, const TEasyEditorColors& colors,
                                   TEasyEditorOptions options, TColor fontColor, TFontStyles fontStyle)
{
    const bool lineStyleBack = in.LineStyleBack != -1;
    const bool lineStyleFont = in.LineStyleFont != -1;
    TColor tokenFont = in.TokenFont;
    // (a) formatting marks on a line without a line style
    if (in.Marks && !lineStyleBack && !lineStyleFont)
        tokenFont = colors.FmtMarkColor();

    TEasyPieceColors out{fontColor, -1, fontStyle};
    // (b) the token's colour and style
    if (tokenFont != -1) {
        out.Text = tokenFont;
        out.Style = in.TokenStyle;
    }
    if (in.SearchMatch) {
        // (c)
        out.Text = colors.SearchMatchColor();
        out.Back = colors.SearchMatchBackColor();
    } else if (!in.Selected) {
        // (d)
        if (lineStyleBack)
            out.Back = in.LineStyleBack;
        else if (in.TokenBack != -1)
            out.Back = in.TokenBack;
        if (lineStyleFont)
            out.Text = in.LineStyleFont;
    } else if (!(lineStyleBack && lineStyleFont)) {
        // (e) the selection colours were chosen for the editor's focus by the caller
        if (!(options & eoColorSelection))
            out.Text = colors.SelColor();
        out.Back = colors.SelBackColor();
    } else {
        // (f) a selected line-style line shows its colours exchanged
        out.Text = in.LineStyleBack;
        out.Back = in.LineStyleFont;
    }
    return out;
}

std::vector<TEasyPoint> WavePoints(int left, int right, int bottom)
{
    std::vector<TEasyPoint> points;
    if (right <= left)
        return points;
    const int start = FloorDiv(left, 6) * 6;
    const int end = -FloorDiv(-right, 6) * 6;
    size_t count = static_cast<size_t>((static_cast<int64_t>(end) - start) / 2 + 1);
    while ((count - 1) % 3 != 0)
        ++count;
    static constexpr int heights[3] = {-3, -1, 1};
    points.reserve(count);
    for (size_t i = 0; i < count; ++i)
        points.push_back({ClampToInt(start + 2 * static_cast<int64_t>(i)), bottom + heights[i % 3]});
    return points;
}

std::vector<TEasyGradientBand> GradientBands(TColor from, TColor to, int extent)
{
    std::vector<TEasyGradientBand> bands;
    if (extent <= 0)
        return bands;
    int steps = 0;
    for (int shift : {0, 8, 16})
        steps = std::max(steps, std::abs(Channel(to, shift) - Channel(from, shift)));
    const int count = steps + 1;
    const int size = extent / count + 1;
    bands.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TColor color = 0;
        for (int shift : {0, 8, 16}) {
            const int a = Channel(from, shift);
            const int b = Channel(to, shift);
            // rounded linear interpolation, halves away from zero
            const int delta = (b - a) * i;
            const int step =
                steps == 0 ? 0
                           : (delta >= 0 ? (2 * delta + steps) / (2 * steps) : -((-2 * delta + steps) / (2 * steps)));
            color |= static_cast<TColor>((a + step) << shift);
        }
        bands.push_back({static_cast<int>(static_cast<int64_t>(i) * extent / count), size, color});
    }
    return bands;
}

// ---- metrics --------------------------------------------------------------

TCustomEasyPainter::TCustomEasyPainter(TEasyPainterHost& host, TEasyFontManager& fonts) : host_(host), fonts_(fonts)
{
    advances_.assign(512, 1);
}

void TCustomEasyPainter::Measure()
{
    if (measured_)
        return;
    const TFontStyles base = host_.PainterFontStyle();
    const TEasyFontMetrics metrics = fonts_.GetFontMetrics(host_.PainterFont(base));
    charWidth_ = std::max(1, metrics.AveCharWidth);
    ascent_ = metrics.Ascent;
    lineHeight_ = metrics.Height;
    // A row must hold the tallest style a token is drawn in.
    if (TCustomEasyParser* parser = host_.PainterSource().Parser()) {
        bool seen[16] = {};
        seen[base & 15] = true;
        const int count = parser->GetTokenCount();
        for (int token = 0; token < count; ++token) {
            TColor color = -1;
            TFontStyles style = 0;
            parser->GetTokenStyle(token, color, style);
            if (seen[style & 15])
                continue;
            seen[style & 15] = true;
            lineHeight_ = std::max(lineHeight_, fonts_.GetFontMetrics(host_.PainterFont(style & 15)).Height);
        }
    }
    lineHeight_ = std::max(1, lineHeight_);
    measured_ = true;
    std::fill(advances_.begin(), advances_.end(), charWidth_);
}

int TCustomEasyPainter::GetLineHeight()
{
    Measure();
    return lineHeight_;
}

int TCustomEasyPainter::GetCharWidth()
{
    Measure();
    return charWidth_;
}

int TCustomEasyPainter::GetAscent()
{
    Measure();
    return ascent_;
}

void TCustomEasyPainter::FontChanged()
{
    measured_ = false;
    advances_.assign(512, 1);
}

int TCustomEasyPainter::CharsPerWidth()
{
    return std::max(1, width_ / GetCharWidth());
}

void TCustomEasyPainter::SetWidth(int width)
{
    width_ = width;
}

const std::vector<int32_t>& TCustomEasyPainter::GetCharAdvances(int count)
{
    Measure();
    if (count > static_cast<int>(advances_.size()))
        advances_.assign(static_cast<size_t>(count), charWidth_);
    return advances_;
}

// ---- token colours ----------------------------------------------------------

int TCustomEasyPainter::UnmarkToken(int code, bool& spelling)
{
    spelling = false;
    if (code < 0 || code == 0xFFFF)
        return -1;
    if (code >= 32767 && code <= 65534) {
        spelling = true;
        return code == 65534 ? -1 : (code + 32769) % 65536;
    }
    return code;
}

void TCustomEasyPainter::GetTokenColors(int token, TColor& background, TFontStyles& fontStyle, TColor& fontColor)
{
    TCustomEasyParser* parser = host_.PainterSource().Parser();
    const bool url = token == 32759 || (!parser && HighlightUrls && token == 8);
    if (parser && !url && token >= 0 && token < parser->GetTokenCount()) {
        background = parser->GetTokenBackground(token);
        if (background == host_.PainterColor())
            background = host_.PainterBackground();
        parser->GetTokenStyle(token, fontColor, fontStyle);
    } else {
        // No parser, or a token the parser has no style for: the editor's own colours.
        background = host_.PainterBackground();
        fontColor = host_.PainterFontColor();
        fontStyle = host_.PainterFontStyle();
        if (url) {
            fontColor = host_.PainterColors().HyperStringColor();
            fontStyle |= efUnderline;
        }
    }
    if (host_.PainterBlackAndWhite()) {
        background = clWhite;
        fontColor = clBlack;
    }
}

void TCustomEasyPainter::LineStyleColors(int line, TColor& back, TColor& font)
{
    back = font = -1;
    const int index = host_.PainterSource().GetLineStyle(line);
    if (index < 0)
        return;
    // A mark whose style was deleted paints as an unmarked line.
    const TEasyLineStyle* style = host_.PainterLineStyles().Find(index);
    if (!style || style->IgnoreColors)
        return;
    back = style->BackColor;
    font = style->Color;
}

bool TCustomEasyPainter::SelectionShown()
{
    return !host_.PainterHideSelection() || host_.PainterFocused();
}

// ---- grid conversions -----------------------------------------------------

int TCustomEasyPainter::ColumnToPixel(int column)
{
    if (column == INT_MAX)
        return INT_MAX;
    return ClampToInt(static_cast<int64_t>(column) * GetCharWidth());
}

void TCustomEasyPainter::GetPageSize(const TEasyRect& rect, TEasyPoint& size)
{
    size.X = rect.Width() > 0 ? rect.Width() / GetCharWidth() : -1;
    size.Y = rect.Height() > 0 ? rect.Height() / GetLineHeight() : -1;
}

int TCustomEasyPainter::GetVisibleRows(int top, const TEasyRect& rect)
{
    const int height = rect.Bottom - top;
    if (height <= 0)
        return 0;
    return (height + GetLineHeight() - 1) / GetLineHeight();
}

void TCustomEasyPainter::GetCaretSize(TEasyPoint& size)
{
    const bool wide = host_.PainterOverwriteMode() && (host_.PainterOptions() & eoOverwriteCaret);
    size.X = wide ? GetCharWidth() : 2;
    size.Y = GetLineHeight();
}

int TCustomEasyPainter::PixelToColumn(std::u16string_view text, int from)
{
    if (from < 0)
        from = 0;
    if (static_cast<size_t>(from) >= text.size())
        return 0;
    const size_t available = text.size() - static_cast<size_t>(from);
    size_t fit = std::min(available, static_cast<size_t>(CharsPerWidth()));
    // The last cell must not hold only half of a surrogate pair.
    if (fit < available && fit > 0 && IsHighSurrogate(text[from + fit - 1]) && IsLowSurrogate(text[from + fit]))
        --fit;
    return static_cast<int>(fit);
}

void TCustomEasyPainter::TextToPixel(TEasyPoint pos, TEasyPoint origin, TEasyPoint& pixel, bool atRowEnd,
                                     bool noOriginWrap)
{
    const TEasyStrings& strings = host_.PainterSource().Strings();
    auto rowOfLine = [&](int line) { return strings.HiddenCount() > 0 ? strings.LineToRow(line) : line; };
    int64_t column = pos.X;
    int64_t rows = 0;
    if (TEasyWrapList* wrap = host_.PainterWrapList()) {
        auto toRow = [&](TEasyPoint p, bool atEnd) {
            TEasyWrapPos rowPos;
            if (wrap->TextToRow({p.X, p.Y}, atEnd, rowPos))
                return TEasyPoint{rowPos.X, rowPos.Y};
            // A line past the rows made so far: one row each.
            const int lastLine = wrap->Count() > 0 ? wrap->Items(wrap->Count() - 1).Line : -1;
            return TEasyPoint{p.X, wrap->Count() + (p.Y - lastLine - 1)};
        };
        const TEasyPoint at = toRow(pos, atRowEnd);
        const TEasyPoint from = noOriginWrap ? origin : toRow(origin, false);
        column = at.X;
        rows = static_cast<int64_t>(at.Y) - from.Y;
        column -= from.X;
    } else {
        const int originRow = noOriginWrap ? origin.Y : rowOfLine(origin.Y);
        rows = static_cast<int64_t>(rowOfLine(pos.Y)) - originRow;
        column -= origin.X;
    }
    pixel.X = ClampToInt(column * GetCharWidth());
    pixel.Y = ClampToInt(rows * GetLineHeight());
}

void TCustomEasyPainter::PixelToText(TEasyPoint origin, TEasyPoint pixel, TEasyPoint& pos, bool noOriginWrap)
{
    const TEasyStrings& strings = host_.PainterSource().Strings();
    const int rowOffset = FloorDiv(pixel.Y, GetLineHeight());
    const int cell = std::max(0, FloorDiv(pixel.X, GetCharWidth()) + origin.X);
    if (TEasyWrapList* wrap = host_.PainterWrapList()) {
        int originRow = origin.Y;
        if (!noOriginWrap) {
            TEasyWrapPos rowPos;
            if (wrap->TextToRow({0, origin.Y}, false, rowPos))
                originRow = rowPos.Y;
        }
        const int row = ClampToInt(static_cast<int64_t>(originRow) + rowOffset);
        wrap->EnsureRows(row, true);
        if (row >= 0 && row < wrap->Count()) {
            // Snap into the row: a point right of it is the row's end.
            const TEasyWrapRow& item = wrap->Items(row);
            const int64_t column = static_cast<int64_t>(item.StartCol) + cell;
            pos.Y = item.Line;
            pos.X = ClampToInt(item.EndCol == INT_MAX ? column : std::min<int64_t>(column, item.EndCol));
            return;
        }
        TEasyWrapPos text;
        wrap->RowToTextBeyond({cell, std::max(0, row)}, text);
        pos = {cell, text.Y};
        return;
    }
    const int originRow =
        noOriginWrap ? origin.Y : (strings.HiddenCount() > 0 ? strings.LineToRow(origin.Y) : origin.Y);
    const int row = std::max(0, ClampToInt(static_cast<int64_t>(originRow) + rowOffset));
    pos.X = cell;
    pos.Y = strings.HiddenCount() > 0 ? strings.RowToLine(row) : row;
}

// ---- painting -------------------------------------------------------------

int TCustomEasyPainter::PaintLine(int line, const TEasyRect& rect, std::u16string_view text,
                                  std::u16string_view marksText)
{
    const int height = GetLineHeight();
    struct Row {
        int Start;
        int End;
    };
    std::vector<Row> rows;
    if (TEasyWrapList* wrap = host_.PainterWrapList()) {
        int index = wrap->FindRow({0, line}, false);
        while (index >= 0 && index < wrap->Count() && wrap->Items(index).Line == line) {
            rows.push_back({wrap->Items(index).StartCol, wrap->Items(index).EndCol});
            ++index;
        }
    }
    if (rows.empty())
        rows.push_back({0, INT_MAX});
    TEasyRect rowRect{rect.Left, rect.Top, rect.Right, rect.Top + height};
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rowRect.Top < ClipRect.Bottom && rowRect.Bottom > ClipRect.Top)
            PaintRow(PlanRow(line, rowRect, text, marksText, rows[i].Start, rows[i].End, i == 0, i + 1 == rows.size()));
        rowRect.Top += height;
        rowRect.Bottom += height;
    }
    return rowRect.Top - rect.Top;
}

TEasyRowPlan TCustomEasyPainter::PlanRow(int line, const TEasyRect& rect, std::u16string_view text,
                                         std::u16string_view marksText, int startColumn, int endColumn, bool firstRow,
                                         bool lastRow)
{
    TEasyRowPlan plan;
    plan.Line = line;
    plan.Rect = rect;
    plan.StartColumn = startColumn;
    const int charWidth = GetCharWidth();
    const TEasyEditorOptions options = host_.PainterOptions();
    TCustomEasyEditSource& source = host_.PainterSource();
    const int64_t origin = static_cast<int64_t>(rect.Left) + TextOrigin;
    auto columnX = [&](int64_t column) { return ClampToInt(origin + (column - startColumn) * charWidth); };

    // The line divider: the caret line's highlight and separating lines.
    const TEasyLineDivider& divider = host_.PainterLineDivider();
    const unsigned dividerOptions = divider.Options();
    plan.HighlightLine =
        (dividerOptions & ldHighlightCurrentLine) && host_.PainterFocused() && line == host_.PainterCaretLine();
    const int penShift = divider.Pen().Width > 1 ? 1 : 0;
    if (plan.HighlightLine && firstRow)
        plan.DividerLines.push_back(rect.Top + penShift);
    if (plan.HighlightLine && lastRow)
        plan.DividerLines.push_back(rect.Bottom - 1);
    if (((dividerOptions & ldSeparateLines) && firstRow) || (dividerOptions & ldSeparateWrapLines)) {
        if (plan.DividerLines.empty() || plan.DividerLines.front() != rect.Top + penShift)
            plan.DividerLines.push_back(rect.Top + penShift);
    }

    // The visible columns of the row's text.
    const int64_t textEnd = std::min<int64_t>(endColumn, static_cast<int64_t>(text.size()));
    const int64_t firstVisible =
        std::max<int64_t>(startColumn, startColumn + FloorDiv(ClampToInt(ClipRect.Left - origin), charWidth));
    const int64_t lastVisible =
        startColumn + static_cast<int64_t>(FloorDiv(ClampToInt(ClipRect.Right - origin), charWidth)) + 1;
    const int from = static_cast<int>(std::min(firstVisible, textEnd));
    const int to = static_cast<int>(std::min(lastVisible, textEnd));

    TColor lineStyleBack = -1, lineStyleFont = -1;
    LineStyleColors(line, lineStyleBack, lineStyleFont);

    TEasyColumnSpan selection;
    const bool hasSelection =
        SelectionShown() && host_.PainterSelection(line, selection) && selection.End > selection.Start;
    std::vector<TEasyColumnSpan> matches;
    if (options & eoEnableSearchHighlight)
        matches = host_.PainterSearchMatches(line);
    const bool marks = (options & eoPaintFormattingMarks) != 0;
    const bool plain = !source.Parser() && !HighlightUrls && !LiveSpell;
    const bool brackets = (options & eoHighlightBrackets) != 0;

    // Token codes are kept per stored character; with tabs kept in the text
    // a display column maps to the character whose expansion it lies in.
    const TEasyStringItem* item = source.Strings().Items(line);
    const std::u16string_view stored = source.Strings().GetStored(line);
    const bool mapTabs = (source.Options() & srUseTab) && stored.find(u'\t') != std::u16string_view::npos;
    auto tokenAt = [&](int column) -> int {
        if (plain || !item)
            return -1;
        // Styles of a line not parsed since it changed are stale or missing.
        if (!(item->Flags & lfParsed))
            return 0xFFFF;
        size_t index = static_cast<size_t>(column);
        if (mapTabs) {
            int inside = 0, width = 0;
            index = static_cast<size_t>(source.TabStopList().ColumnToIndex(stored, column, inside, width));
        }
        return index < item->Styles.size() ? item->Styles[index] : 0xFFFF;
    };
    auto isMatch = [&](int column) {
        for (const TEasyColumnSpan& span : matches)
            if (span.Contains(column))
                return true;
        return false;
    };
    struct Key {
        int Code;
        bool Bracket, Selected, Search, Space;
        bool operator==(const Key&) const = default;
    };
    auto keyAt = [&](int column) {
        return Key{tokenAt(column), brackets && host_.PainterBracketHighlighted(line, column),
                   hasSelection && selection.Contains(column), isMatch(column),
                   marks && text[static_cast<size_t>(column)] == u' '};
    };

    const TColor fontColor = host_.PainterFontColor();
    const TFontStyles fontStyle = host_.PainterFontStyle();
    const bool focused = host_.PainterFocused();
    TEasyEditorColors colors;  // the selection colours for the current focus
    const TEasyEditorColors& editorColors = host_.PainterColors();
    for (int i = 0; i < TEasyEditorColors::ciCount; ++i)
        colors.Set(static_cast<TEasyEditorColors::TColorIndex>(i),
                   editorColors.Get(static_cast<TEasyEditorColors::TColorIndex>(i)));
    colors.Set(TEasyEditorColors::ciSelColor, focused ? editorColors.SelColor() : editorColors.InActiveSelColor());
    colors.Set(TEasyEditorColors::ciSelBackColor,
               focused ? editorColors.SelBackColor() : editorColors.InActiveSelBackColor());

    for (int start = from; start < to;) {
        const Key key = keyAt(start);
        int end = start + 1;
        while (end < to && end - start < EasyMaxPieceLength && keyAt(end) == key)
            ++end;
        // A piece cut by its length keeps a surrogate pair together.
        if (end < to && end - start == EasyMaxPieceLength && IsHighSurrogate(text[end - 1]) &&
            IsLowSurrogate(text[end]))
            --end;

        TEasyPaintPiece piece;
        piece.Column = start;
        piece.Count = end - start;
        piece.X = columnX(start);
        piece.Token = UnmarkToken(key.Code, piece.Spelling);
        piece.Selected = key.Selected;
        piece.SearchMatch = key.Search;
        piece.Marks = key.Space;
        piece.Bracket = key.Bracket;
        const std::u16string_view shown = key.Space && marksText.size() >= static_cast<size_t>(end) ? marksText : text;
        piece.Text.assign(shown.substr(static_cast<size_t>(start), static_cast<size_t>(piece.Count)));

        TEasyPieceColorInput in;
        in.LineStyleBack = lineStyleBack;
        in.LineStyleFont = lineStyleFont;
        GetTokenColors(piece.Token, in.TokenBack, in.TokenStyle, in.TokenFont);
        in.Selected = piece.Selected;
        in.SearchMatch = piece.SearchMatch;
        in.Marks = piece.Marks;
        const TEasyPieceColors decided = DecidePieceColors(in, colors, options, fontColor, fontStyle);
        piece.TextColor = decided.Text;
        piece.BackColor = decided.Back;
        piece.Style = decided.Style | (piece.Bracket ? efBold : 0);
        piece.Opaque = (piece.BackColor != -1 && piece.BackColor != host_.PainterBackground()) || !Transparent;
        if (piece.Spelling && LiveSpell) {
            const int bottom = std::min(rect.Bottom - 1, rect.Top + GetAscent() + 4);
            plan.Waves.push_back(WavePoints(piece.X, columnX(end), bottom));
        }
        plan.Pieces.push_back(std::move(piece));
        start = end;
    }

    // Right of the text.
    const int64_t contentEnd = std::max<int64_t>(textEnd, startColumn);
    int fillLeft = std::max(rect.Left, columnX(std::max<int64_t>(contentEnd, firstVisible)));
    const int right = rect.Right;
    const TColor plainFill = (Transparent || plan.HighlightLine) ? -1 : host_.PainterBackground();
    auto fill = [&](int left, int rightEdge, TColor color) {
        if (color != -1 && rightEdge > left)
            plan.Fills.push_back({{left, rect.Top, rightEdge, rect.Bottom}, color});
    };
    const bool selectionBeyond = lastRow && hasSelection && (options & eoSelectBeyondEol) && selection.End > textEnd;
    if (selectionBeyond) {
        const TColor rest = lineStyleBack != -1 ? lineStyleBack : plainFill;
        const int selLeft = std::clamp(columnX(std::max<int64_t>(selection.Start, contentEnd)), fillLeft, right);
        const int selRight = selection.End == INT_MAX ? right : std::clamp(columnX(selection.End), selLeft, right);
        TColor selBack = colors.SelBackColor();
        if (selBack == -1)
            selBack = editorColors.InActiveSelBackColor();
        fill(fillLeft, selLeft, rest);
        fill(selLeft, selRight, selBack);
        fill(selRight, right, rest);
    } else if ((options & eoLineStyleBeyondEol) && lineStyleBack != -1) {
        fill(fillLeft, right, lineStyleBack);
    } else {
        fill(fillLeft, right, plainFill);
    }
    return plan;
}

}  // namespace qrv

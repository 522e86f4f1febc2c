#pragma once
// TCustomEasyPainter: the editor's line painter without the drawing. Every
// character cell is CharWidth pixels wide and every row LineHeight high,
// whatever the font, so the editor works on a fixed grid. This part
// measures the grid through the font metrics cache, converts between text
// positions and pixels, and plans each row: its pieces with their colours,
// the fills right of the text, divider lines and spelling waves. The
// Windows painter (win/EasyPainterWin.h) draws the plans. Portable.
//
// The editor implements TEasyPainterHost, calls FontChanged when its font,
// parser or styles change, SetWidth when its text area does, and per paint
// sets ClipRect (the update region's box), TextOrigin (minus the pixels
// scrolled to the left), HighlightUrls and LiveSpell, then PaintLine for
// each visible line from the top.

#include "editor/EasyEditorOptions.h"
#include "editor/EasyEditorSubObjects.h"
#include "editor/EasyFontManager.h"
#include "editor/EasyParserBase.h"
#include "editor/EasyPoint.h"

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qrv {

class TCustomEasyEditSource;
class TEasyWrapList;

struct TEasyRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TEasyRect&) const = default;
};

// A half-open range of columns [Start, End).
struct TEasyColumnSpan {
    int Start = 0;
    int End = 0;
    bool Contains(int column) const { return column >= Start && column < End; }
};

// What the painter asks of its editor. The editor control implements it.
class TEasyPainterHost {
public:
    virtual ~TEasyPainterHost() = default;

    virtual TCustomEasyEditSource& PainterSource() = 0;
    virtual TEasyEditorOptions PainterOptions() const = 0;
    virtual const TEasyEditorColors& PainterColors() const = 0;
    virtual const TEasyLineStyles& PainterLineStyles() const = 0;
    virtual const TEasyLineDivider& PainterLineDivider() const = 0;
    // The editor's Color, and the background in effect now (the read-only
    // or disabled colour where those apply).
    virtual TColor PainterColor() const = 0;
    virtual TColor PainterBackground() const = 0;
    virtual TColor PainterFontColor() const = 0;
    virtual TFontStyles PainterFontStyle() const = 0;
    // The editor font in the given style (a handle the font manager measures).
    virtual uintptr_t PainterFont(TFontStyles style) = 0;
    virtual bool PainterFocused() const = 0;
    virtual bool PainterHideSelection() const = 0;
    // Black text on white, for printing.
    virtual bool PainterBlackAndWhite() const { return false; }
    virtual bool PainterOverwriteMode() const { return false; }
    // The row list when word wrap is on, else nullptr.
    virtual TEasyWrapList* PainterWrapList() = 0;
    // The selected columns of a line; false when none of it is selected.
    // End may lie past the line's end (INT_MAX: to the right edge).
    virtual bool PainterSelection(int line, TEasyColumnSpan& span) = 0;
    // The columns of the line the search highlight marks (only asked with
    // eoEnableSearchHighlight).
    virtual std::vector<TEasyColumnSpan> PainterSearchMatches(int /*line*/) { return {}; }
    // A bracket drawn bold because the caret is at it or its partner.
    virtual bool PainterBracketHighlighted(int /*line*/, int /*column*/) { return false; }
    virtual int PainterCaretLine() const = 0;
};

// One piece of a row: characters drawn with one text-out call.
struct TEasyPaintPiece {
    int Column = 0;  // first column in the line
    int Count = 0;
    int X = 0;       // left pixel
    int Token = -1;  // the token looked up (spelling mark taken off)
    bool Selected = false;
    bool SearchMatch = false;
    bool Marks = false;  // drawn from the marks text
    bool Spelling = false;
    bool Bracket = false;
    TColor TextColor = clBlack;
    TColor BackColor = -1;  // -1: none chosen
    TFontStyles Style = 0;
    bool Opaque = false;
    std::u16string Text;
};

struct TEasyPaintFill {
    TEasyRect Rect;
    TColor Color = clWhite;
};

// Everything one row shows, in pixels.
struct TEasyRowPlan {
    int Line = 0;
    TEasyRect Rect;
    int StartColumn = 0;         // first column of the row in the line
    bool HighlightLine = false;  // filled with the divider's brush first
    std::vector<TEasyPaintPiece> Pieces;
    std::vector<TEasyPaintFill> Fills;  // right of the text
    std::vector<int> DividerLines;      // y of horizontal divider lines
    std::vector<std::vector<TEasyPoint>> Waves;
};

// The inputs of a piece's colours and the result.
struct TEasyPieceColorInput {
    TColor LineStyleBack = -1;
    TColor LineStyleFont = -1;
    TColor TokenBack = -1;
    TColor TokenFont = -1;
    TFontStyles TokenStyle = 0;
    bool Selected = false;
    bool SearchMatch = false;
    bool Marks = false;
};
struct TEasyPieceColors {
    TColor Text = clBlack;
    TColor Back = -1;
    TFontStyles Style = 0;
};

// Chooses text and background colour and font style of a piece. The text
// starts in the editor font's colour and style.
TEasyPieceColors DecidePieceColors(const TEasyPieceColorInput& in, const TEasyEditorColors& colors,
                                   TEasyEditorOptions options, TColor fontColor, TFontStyles fontStyle);

// The points of a wave underline from left to right, for a Bezier curve.
std::vector<TEasyPoint> WavePoints(int left, int right, int bottom);

// A band of a gradient: its offset and extent along the gradient, its colour.
struct TEasyGradientBand {
    int Offset = 0;
    int Size = 0;
    TColor Color = 0;
};
// The bands from one RGB colour to another over extent pixels.
std::vector<TEasyGradientBand> GradientBands(TColor from, TColor to, int extent);

// The largest piece drawn with one call.
constexpr int EasyMaxPieceLength = 256;

class TCustomEasyPainter {
public:
    TCustomEasyPainter(TEasyPainterHost& host, TEasyFontManager& fonts);
    virtual ~TCustomEasyPainter() = default;
    TCustomEasyPainter(const TCustomEasyPainter&) = delete;
    TCustomEasyPainter& operator=(const TCustomEasyPainter&) = delete;

    TEasyPainterHost& Editor() const { return host_; }
    bool Transparent = false;
    bool HighlightUrls = false;
    bool LiveSpell = false;

    // Metrics, measured on first use after FontChanged.
    int GetLineHeight();
    int GetCharWidth();
    int GetAscent();
    int GetRowHeight() { return GetLineHeight(); }
    int GetRowHeightAt(int /*line*/) { return GetLineHeight(); }
    int GetPaintedRowHeight() { return GetLineHeight(); }
    // Every cell is CharWidth wide; a Unicode editor has no double-byte cells.
    int GetCharWidthAt(int /*column*/, int /*line*/) { return GetCharWidth(); }
    void FontChanged();
    int CharsPerWidth();
    int Width() const { return width_; }
    void SetWidth(int width);

    // Advances of CharWidth each, at least count of them.
    const std::vector<int32_t>& GetCharAdvances(int count);
    void FreeCharAdvances()
    {
        advances_.clear();
        advances_.shrink_to_fit();
    }

    // The colours of a token (spelling mark already taken off): background
    // (-1 none), font style and font colour.
    void GetTokenColors(int token, TColor& background, TFontStyles& fontStyle, TColor& fontColor);
    // A stored token code without the spelling mark; spelling tells if it had one.
    static int UnmarkToken(int code, bool& spelling);

    // Grid conversions.
    int ColumnToPixel(int column);
    void GetPageSize(const TEasyRect& rect, TEasyPoint& size);
    int GetVisibleRows(int top, const TEasyRect& rect);
    void GetCaretSize(TEasyPoint& size);
    // The characters of the text from column from that fit in CharsPerWidth
    // cells; a surrogate pair is never split.
    int PixelToColumn(std::u16string_view text, int from);
    // Text width on the grid: one cell a character.
    int TextWidth(std::u16string_view text) { return static_cast<int>(text.size()) * GetCharWidth(); }
    // The pixel offset of a text position (column, line) from an origin
    // (column, line; with NoOriginWrap a row position). With word wrap the
    // position goes through the row list; AtRowEnd puts a break column at
    // the end of the row before. Hidden lines take no rows.
    void TextToPixel(TEasyPoint pos, TEasyPoint origin, TEasyPoint& pixel, bool atRowEnd, bool noOriginWrap);
    // The text position (column, line) of a pixel offset from an origin;
    // with word wrap the column stays inside its row.
    void PixelToText(TEasyPoint origin, TEasyPoint pixel, TEasyPoint& pos, bool noOriginWrap);

    // Paints the line, or each of its wrap rows, from the rectangle's top;
    // returns the height used. Text is the line as shown, MarksText the
    // same with formatting marks in place of blanks.
    int PaintLine(int line, const TEasyRect& rect, std::u16string_view text, std::u16string_view marksText);
    // The part of the client area that needs painting (rows below it are
    // skipped, columns outside it are not drawn).
    TEasyRect ClipRect{0, 0, INT_MAX / 2, INT_MAX / 2};
    // The pixel of column 0 (the text origin) in the row rectangle's space.
    int TextOrigin = 0;

    // Plans one row of a line: columns [startColumn, endColumn) at the rectangle.
    TEasyRowPlan PlanRow(int line, const TEasyRect& rect, std::u16string_view text, std::u16string_view marksText,
                         int startColumn, int endColumn, bool firstRow, bool lastRow);

protected:
    // Draws a planned row.
    virtual void PaintRow(const TEasyRowPlan& plan) = 0;

private:
    void Measure();
    void LineStyleColors(int line, TColor& back, TColor& font);
    bool SelectionShown();

    TEasyPainterHost& host_;
    TEasyFontManager& fonts_;
    bool measured_ = false;
    int lineHeight_ = 1;
    int charWidth_ = 1;
    int ascent_ = 0;
    int width_ = 0;
    std::vector<int32_t> advances_;
};

}  // namespace qrv

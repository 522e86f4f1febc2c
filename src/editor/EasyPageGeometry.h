#pragma once
// Where the parts of a page lie in the editor's page views: the sheet, the
// text area inside its indents, the page number, the height of the whole
// document and its width. All in pixels; the page list (EasyPages.h) says
// which lines each page holds. Portable.

#include "editor/EasyPages.h"

#include <functional>

namespace qrv {

enum class TEasyPageType { ptNormal, ptPageBreaks, ptPageLayout };

struct TEasyPixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TEasyPixelRect&) const = default;
};

// What the geometry needs of the screen and the editor's font.
struct TEasyPageMetrics {
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;
    int CharWidth = 8;
    int LineHeight = 16;
    int NumberHeight = 16;  // the page-number font's height
};

struct TEasySheet {
    // The sheet in document pixels: left at the page's gutter offset, top
    // at the page's Top.
    TEasyPixelRect Sheet;
    // The text area inside the indents; at least one character wide and
    // one row high, also when the indents are wider than the sheet.
    TEasyPixelRect Text;
    // The page number's baseline-free top: one pixel above the sheet's
    // bottom edge, or the sheet's top when the font is taller than it.
    int NumberTop = 0;
};

// Pages over rows of one height: a line takes RowsOfLine rows (one without
// word wrap) and a page takes the whole lines that fit; a line taller than
// a page is cut at the row that no longer fits.
class TEasyRowPageMeasure : public TEasyPageMeasure {
public:
    std::function<int()> Lines;
    std::function<int(int line)> RowsOfLine;  // empty: one row each
    int RowHeight = 16;
    int Offset = 0;

    int LineCount() const override { return Lines ? Lines() : 0; }
    void LinesThatFit(int firstLine, int firstCol, int height, int& lastLine, int& lastCol, int& usedHeight) override;
    int TopOffset() const override { return Offset; }
};

// The sheet of a laid-out page in the page-layout view.
TEasySheet EasySheetOf(const TEasyPage& page, const TEasyPageMetrics& metrics);

// The page number's left edge: two pixels from the sheet's left edge
// (taLeftJustify), two from its right edge (taRightJustify), or centred.
int EasyPageNumberX(TEasyAlignment alignment, const TEasyPixelRect& sheet, int numberWidth);

// The laid-out document's height: the last laid-out page's top plus its
// height (0 without pages).
int EasyDocumentHeight(TEasyPages& pages);

// The document's height before every page is laid out: exact once the
// laid-out pages reach the text's end, else the laid-out pixels per line
// times all lines (0 without pages).
int EasyEstimatedDocumentHeight(TEasyPages& pages, int lineCount);

// The first laid-out page that reaches below the pixel height y (with the
// pixels its shadow takes below it): the page a view whose top edge is at
// y begins with. The last laid-out page when none does, -1 without any.
int EasyPageFromPixel(TEasyPages& pages, int y, int shadow);

// The document's width in the page-layout view: the widest laid-out page
// plus twice its gutter offset.
int EasyDocumentWidth(TEasyPages& pages, const TEasyPageMetrics& metrics);

// The rulers and the caret's page: the horizontal ruler's two marks are the
// left and right indents, the vertical ruler's the top and bottom ones, as
// positions along the ruler: from the sheet's left (top) edge, which in
// ptPageLayout lies the gutter offset further on, and for the second mark
// from the same edge to the far indent's line. Only ptPageLayout shows them.
struct TEasyRulerMarks {
    bool Shown = false;
    int First = 0;
    int Second = 0;
    bool operator==(const TEasyRulerMarks&) const = default;
};
TEasyRulerMarks EasyRulerMarks(const TEasyPage& page, bool vertical, TEasyPageType type,
                               const TEasyPageMetrics& metrics);
// The position along the ruler that stands for an indent of the page: the
// inverse of EasyRulerIndentChanged.
int EasyRulerIndentPosition(const TEasyPage& page, bool vertical, int mark, int indent, TEasyPageType type,
                            const TEasyPageMetrics& metrics);
// A mark dragged to the position sets the page's indent (never below 0).
void EasyRulerIndentChanged(TEasyPage& page, bool vertical, int mark, int position, TEasyPageType type,
                            const TEasyPageMetrics& metrics);

}  // namespace qrv

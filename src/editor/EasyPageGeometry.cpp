#include "editor/EasyPageGeometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace qrv {

void TEasyRowPageMeasure::LinesThatFit(int firstLine, int firstCol, int height, int& lastLine, int& lastCol,
                                       int& usedHeight)
{
    // Columns of a cut line are counted in rows here: a page that starts
    // inside a line starts at that row.
    const int rowHeight = std::max(RowHeight, 1);
    const int count = LineCount();
    int rowsLeft = std::max(height, 0) / rowHeight;
    lastLine = firstLine - 1;
    lastCol = EasyPageLineEnd;
    usedHeight = 0;
    for (int line = firstLine; line < count && rowsLeft > 0; ++line) {
        const int skipped = line == firstLine ? firstCol : 0;
        const int rows = std::max((RowsOfLine ? RowsOfLine(line) : 1) - skipped, 1);
        if (rows > rowsLeft) {
            if (line == firstLine) {  // a line taller than the page: cut it
                lastLine = line;
                lastCol = skipped + rowsLeft - 1;
                usedHeight += rowsLeft * rowHeight;
            }
            return;
        }
        rowsLeft -= rows;
        usedHeight += rows * rowHeight;
        lastLine = line;
    }
}

TEasySheet EasySheetOf(const TEasyPage& page, const TEasyPageMetrics& metrics)
{
    const int width = page.PixelWidth(metrics.PixelsPerInchX, metrics.PixelsPerInchY);
    const int height = page.PixelHeight(metrics.PixelsPerInchX, metrics.PixelsPerInchY);
    TEasySheet sheet;
    sheet.Sheet = {page.LeftGutterWidth(), page.Top, page.LeftGutterWidth() + width, page.Top + height};
    const int charWidth = std::max(metrics.CharWidth, 1);
    const int lineHeight = std::max(metrics.LineHeight, 1);
    // Indents that leave no room still leave one character and one row,
    // starting where the sheet ends at the latest.
    const int left = std::min(page.LeftIndent(), std::max(width - charWidth, 0));
    const int top = std::min(page.TopIndent(), std::max(height - lineHeight, 0));
    const int textWidth = std::max(width - left - page.RightIndent(), charWidth);
    const int textHeight = std::max(height - top - page.BottomIndent(), lineHeight);
    sheet.Text = {sheet.Sheet.Left + left, sheet.Sheet.Top + top, sheet.Sheet.Left + left + textWidth,
                  sheet.Sheet.Top + top + textHeight};
    sheet.NumberTop = std::max(sheet.Sheet.Bottom - 1 - metrics.NumberHeight, sheet.Sheet.Top);
    return sheet;
}

int EasyPageNumberX(TEasyAlignment alignment, const TEasyPixelRect& sheet, int numberWidth)
{
    switch (alignment) {
    case TEasyAlignment::taLeftJustify:
        return sheet.Left + 2;
    case TEasyAlignment::taRightJustify:
        return sheet.Right - 2 - numberWidth;
    case TEasyAlignment::taCenter:
        break;
    }
    return sheet.Left + (sheet.Width() - numberWidth) / 2;
}

int EasyDocumentHeight(TEasyPages& pages)
{
    for (int i = pages.Count() - 1; i >= 0; --i) {
        const TEasyPage& page = pages.Items(i);
        if (page.Laid)
            return page.Top + page.Height;
    }
    return 0;
}

int EasyEstimatedDocumentHeight(TEasyPages& pages, int lineCount)
{
    const int laid = pages.LaidOutCount();
    if (laid == 0)
        return 0;
    const TEasyPage& last = pages.Items(laid - 1);
    const int64_t height = int64_t(last.Top) + last.Height;
    const int64_t linesLaid = int64_t(last.LastLine) + (last.LastCol == EasyPageLineEnd ? 1 : 0);
    if (linesLaid >= lineCount || linesLaid <= 0)
        return static_cast<int>(std::min<int64_t>(height, INT_MAX));
    return static_cast<int>(std::min<int64_t>(height * lineCount / linesLaid, INT_MAX));
}

int EasyPageFromPixel(TEasyPages& pages, int y, int shadow)
{
    int low = 0, high = pages.LaidOutCount() - 1;
    if (high < 0)
        return -1;
    // Pages lie one below the other: bisect for the first one whose bottom
    // (with its shadow) lies below y.
    while (low < high) {
        const int middle = (low + high) / 2;
        const TEasyPage& page = pages.Items(middle);
        if (int64_t(page.Top) + page.Height + shadow > y)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

int EasyDocumentWidth(TEasyPages& pages, const TEasyPageMetrics& metrics)
{
    int widest = 0;
    for (int i = 0; i < pages.Count(); ++i) {
        const TEasyPage& page = pages.Items(i);
        if (i > 0 && !page.Laid)
            continue;
        widest = std::max(widest,
                          page.PixelWidth(metrics.PixelsPerInchX, metrics.PixelsPerInchY) + 2 * page.LeftGutterWidth());
    }
    return widest;
}

namespace {

// Where the sheet's edge lies along the ruler, and the sheet's extent.
void RulerFrame(const TEasyPage& page, bool vertical, TEasyPageType type, const TEasyPageMetrics& metrics, int& origin,
                int& extent)
{
    const bool layout = type == TEasyPageType::ptPageLayout;
    if (vertical) {
        origin = layout ? page.TopGutterHeight() : 0;
        extent = page.PixelHeight(metrics.PixelsPerInchX, metrics.PixelsPerInchY);
    } else {
        origin = layout ? page.LeftGutterWidth() : 0;
        extent = page.PixelWidth(metrics.PixelsPerInchX, metrics.PixelsPerInchY);
    }
}

}  // namespace

TEasyRulerMarks EasyRulerMarks(const TEasyPage& page, bool vertical, TEasyPageType type,
                               const TEasyPageMetrics& metrics)
{
    if (type != TEasyPageType::ptPageLayout)
        return {};
    int origin = 0, extent = 0;
    RulerFrame(page, vertical, type, metrics, origin, extent);
    const int near = vertical ? page.TopIndent() : page.LeftIndent();
    const int far = vertical ? page.BottomIndent() : page.RightIndent();
    return {true, origin + near, origin + extent - far};
}

int EasyRulerIndentPosition(const TEasyPage& page, bool vertical, int mark, int indent, TEasyPageType type,
                            const TEasyPageMetrics& metrics)
{
    int origin = 0, extent = 0;
    RulerFrame(page, vertical, type, metrics, origin, extent);
    return mark == 0 ? origin + indent : origin + extent - indent;
}

void EasyRulerIndentChanged(TEasyPage& page, bool vertical, int mark, int position, TEasyPageType type,
                            const TEasyPageMetrics& metrics)
{
    int origin = 0, extent = 0;
    RulerFrame(page, vertical, type, metrics, origin, extent);
    const int indent = std::max(mark == 0 ? position - origin : origin + extent - position, 0);
    if (vertical) {
        if (mark == 0)
            page.SetTopIndent(indent);
        else
            page.SetBottomIndent(indent);
    } else {
        if (mark == 0)
            page.SetLeftIndent(indent);
        else
            page.SetRightIndent(indent);
    }
}

}  // namespace qrv

// The editor's page views. ptPageBreaks keeps the endless area and draws a
// dotted line under the last row of each page; ptPageLayout draws each page
// as a sheet on a ground of BorderColor, with a frame, a shadow on its right
// and bottom edges, the gutter at its left and its number at its foot. Both
// lay pages out over the text lines as far as the view needs them.
// ptPageBreaks scrolls by rows; ptPageLayout scrolls by pixels over the
// sheets and the gaps between them, and its top row is the first row that
// shows at the window's top edge.

#include "editor/win/EasyEditor.h"

#include "editor/win/EasyUtilsWin.h"
#include "framework/ScopeExit.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace qrv {

namespace {

void Fill(HDC dc, const RECT& rect, COLORREF color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

}  // namespace

void TCustomEasyEdit::SetPageType(TEasyPageType type)
{
    const TEasyEditorSetters::TPageTypePlan plan = TEasyEditorSetters::PlanPageType(pageType_, type);
    if (!plan.Changed)
        return;
    const int topLine = RowToLine(topRow_);
    pageType_ = type;
    pages_.FullLayout = plan.FullLayout;
    pages_.ResetLayout();
    GetEditSource()->SetPageMode(plan.SourcePageMode);
    pixelTop_ = 0;
    ShowLineAtTop(topLine);
    UpdateScrollBars();
    UpdateCaretPos();
    UpdateRulers();
    Invalidate();
}

void TCustomEasyEdit::RulerIndentChanged(bool vertical, int mark, int position)
{
    TEasyPage& page = pages_.Items(pageType_ == TEasyPageType::ptNormal ? 0 : PageOfLine(CaretY()));
    // The page tells the editor, which lays the pages out again and repaints.
    EasyRulerIndentChanged(page, vertical, mark, position, pageType_, PageMetrics());
    if (Wrapping())
        Rewrap();
}

TEasyRulerMarks TCustomEasyEdit::RulerMarks(bool vertical)
{
    if (pageType_ != TEasyPageType::ptPageLayout)
        return {};
    return EasyRulerMarks(pages_.Items(PageOfLine(CaretY())), vertical, pageType_, PageMetrics());
}

void TCustomEasyEdit::SetBorderColor(TColor color)
{
    if (color == borderColor_)
        return;
    borderColor_ = color;
    if (pageType_ == TEasyPageType::ptPageLayout)
        Invalidate();
}

int TCustomEasyEdit::PixelsPerInchX() const
{
    return ScreenPixelsPerInchX();
}

int TCustomEasyEdit::PixelsPerInchY() const
{
    return ScreenPixelsPerInchY();
}

void TCustomEasyEdit::PageChanged(int pageIndex)
{
    pages_.ResetLayout(pageIndex);
    if (pageType_ == TEasyPageType::ptNormal)
        return;
    KeepPixelTopInRange();
    UpdateScrollBars();
    UpdateCaretPos();
    UpdateRulers();
    Invalidate();
}

void TCustomEasyEdit::InvalidatePage(int /*pageIndex*/)
{
    if (pageType_ != TEasyPageType::ptNormal)
        Invalidate();
}

TEasyPageMeasure& TCustomEasyEdit::PageMeasure()
{
    if (!pageMeasure_) {
        pageMeasure_ = std::make_unique<TEasyRowPageMeasure>();
        pageMeasure_->Lines = [this] { return Lines().Count(); };
        // A wrapped line takes its rows; a hidden one none (a page holds at least one).
        pageMeasure_->RowsOfLine = [this](int line) {
            return Wrapping() || Lines().AllowHiddenLines() ? FirstRowOfLine(line + 1) - FirstRowOfLine(line) : 1;
        };
    }
    pageMeasure_->RowHeight = LineHeight();
    return *pageMeasure_;
}

TEasyPageMetrics TCustomEasyEdit::PageMetrics()
{
    TEasyPageMetrics metrics;
    metrics.PixelsPerInchX = PixelsPerInchX();
    metrics.PixelsPerInchY = PixelsPerInchY();
    metrics.CharWidth = CharWidth();
    metrics.LineHeight = LineHeight();
    metrics.NumberHeight = std::abs(pageNumFont_.Height());
    return metrics;
}

int TCustomEasyEdit::PageOfLine(int line)
{
    const int count = Lines().Count();
    if (count == 0)
        return 0;
    const int page = pages_.PageAt(std::clamp(line, 0, count - 1), 0, PageMeasure());
    return std::max(page, 0);
}

int TCustomEasyEdit::RowTopInDocument(int row)
{
    // Rows count from the first row of their page's first line, on the
    // page's sheet; rows past the text continue the last page.
    const int count = Lines().Count();
    const int line = std::min(RowToLine(row), std::max(count - 1, 0));
    const TEasyPage& laid = pages_.Items(PageOfLine(line));
    const TEasySheet sheet = EasySheetOf(laid, PageMetrics());
    return sheet.Text.Top + (row - FirstRowOfLine(laid.FirstLine)) * LineHeight();
}

int TCustomEasyEdit::PageViewTop()
{
    return pixelTop_;
}

int TCustomEasyEdit::RowViewTop(int row)
{
    const TEasyPage& laid = pages_.Items(PageOfLine(RowToLine(row)));
    // A page whose first row is at the top shows its sheet's top edge and
    // the gutter above it.
    if (row <= FirstRowOfLine(laid.FirstLine))
        return std::max(laid.Top - laid.TopGutterHeight(), 0);
    return RowTopInDocument(row);
}

void TCustomEasyEdit::LayOutPagesBelow(int y)
{
    const int count = Lines().Count();
    if (count == 0) {
        PageOfLine(0);
        return;
    }
    TEasyPageMeasure& measure = PageMeasure();
    for (;;) {
        const int laid = pages_.LaidOutCount();
        if (laid > 0) {
            const TEasyPage& last = pages_.Items(laid - 1);
            if (int64_t(last.Top) + last.Height > y || (last.LastLine >= count - 1 && last.LastCol == EasyPageLineEnd))
                return;
        }
        pages_.LayoutPage(laid, measure);
    }
}

int TCustomEasyEdit::DocumentHeight()
{
    // The room above the first sheet is left below the last one as well.
    const int64_t height =
        int64_t(EasyEstimatedDocumentHeight(pages_, Lines().Count())) + pages_.DefaultPage().TopGutterHeight();
    return static_cast<int>(std::min<int64_t>(height, INT_MAX));
}

int TCustomEasyEdit::LastPixelTop()
{
    return std::max(DocumentHeight() - ViewHeight(), 0);
}

int TCustomEasyEdit::RowAtDocumentY(int y)
{
    LayOutPagesBelow(y);
    const int page = EasyPageFromPixel(pages_, y, kSheetShadow);
    if (page < 0 || Lines().Count() == 0)
        return 0;
    const TEasyPage& laid = pages_.Items(page);
    const TEasySheet sheet = EasySheetOf(laid, PageMetrics());
    const int firstRow = FirstRowOfLine(laid.FirstLine);
    const int rows = std::max(FirstRowOfLine(laid.LastLine + 1) - firstRow, 1);
    // Above the text area the page's first row; below it its last row,
    // whose page is still in view.
    const int inside = std::max(y - sheet.Text.Top, 0) / std::max(LineHeight(), 1);
    return firstRow + std::min(inside, rows - 1);
}

void TCustomEasyEdit::ScrollToPixel(int y, int newLeft)
{
    if (y > pixelTop_)
        LayOutPagesBelow(y + ViewHeight());
    y = std::clamp(y, 0, LastPixelTop());
    newLeft = std::max(newLeft, 0);
    if (y == pixelTop_ && newLeft == leftColumn_)
        return;
    pixelTop_ = y;
    topRow_ = RowAtDocumentY(y);
    leftColumn_ = newLeft;
    // Sheets with gaps between them: the window is painted anew.
    Invalidate();
    ViewMoved();
}

void TCustomEasyEdit::KeepPixelTopInRange()
{
    if (pageType_ != TEasyPageType::ptPageLayout)
        return;
    pixelTop_ = std::clamp(pixelTop_, 0, LastPixelTop());
    topRow_ = RowAtDocumentY(pixelTop_);
}

int TCustomEasyEdit::RowTop(int row)
{
    if (pageType_ != TEasyPageType::ptPageLayout)
        return static_cast<int>(std::clamp<int64_t>((int64_t(row) - topRow_) * LineHeight(), INT_MIN / 2, INT_MAX / 2));
    return RowTopInDocument(row) - PageViewTop();
}

int TCustomEasyEdit::RowAtY(int y)
{
    if (pageType_ != TEasyPageType::ptPageLayout)
        return static_cast<int>(std::min<int64_t>(int64_t(topRow_) + std::max(y, 0) / LineHeight(), INT_MAX));
    // Down from the top row while the next row begins at or above the point.
    const int limit = topRow_ + VisibleRows() + 2;
    int row = topRow_;
    while (row < limit && row + 1 < RowCount() && RowTop(row + 1) <= y)
        ++row;
    return row;
}

int TCustomEasyEdit::PageTextLeft()
{
    const TEasySheet sheet = EasySheetOf(pages_.DefaultPage(), PageMetrics());
    return sheet.Text.Left + TextLeft();
}

void TCustomEasyEdit::PaintPageBreaks(HDC dc)
{
    const int width = ViewWidth();
    const int height = ViewHeight();
    const int firstLine = RowToLine(topRow_);
    const int lastLine = RowToLine(topRow_ + VisibleRows() + 1);
    TGdiObject pen(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    TSelectObject selectPen(dc, pen.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const ScopeExit restore([&] { SetBkMode(dc, oldMode); });
    for (int page = PageOfLine(firstLine); page < pages_.Count(); ++page) {
        const TEasyPage& laid = pages_.Items(page);
        if (!laid.Laid || laid.FirstLine > lastLine)
            break;
        // Under the page's last row: the top of the next line's first row.
        const int y = RowTop(FirstRowOfLine(laid.LastLine + 1)) - 1;
        if (y >= 0 && y < height) {
            MoveToEx(dc, 0, y, nullptr);
            LineTo(dc, width, y);
        }
        if (laid.LastLine >= Lines().Count() - 1)
            break;
        PageOfLine(laid.LastLine + 1);  // lays the next page out
    }
}

void TCustomEasyEdit::PaintSheetLineNumbers(HDC dc, const RECT& paper, const std::vector<std::pair<int, int>>& lines)
{
    if (!lineNumbers_.Visible() || lines.empty())
        return;
    // In the gutter at the sheet's left, as beside the endless text.
    const bool onGutter = (lineNumbers_.Options() & lnPaintOnGutter) != 0;
    const int left = paper.left + (onGutter ? 0 : gutter_.PaintedWidth(lineNumbers_));
    const int width = std::max(lineNumberWidth_, onGutter ? gutter_.PaintedWidth(lineNumbers_) : 0);
    const int lineHeight = LineHeight();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorToRGB(lineNumbers_.Color()));
    for (const auto& [line, top] : lines) {
        const std::u16string number =
            LineNumberText(int64_t(line) + lineNumbers_.StartFrom(), lineNumberDigits_, lineNumbers_.Alignment());
        const RECT cell{left, top, left + width, std::min<LONG>(top + lineHeight, paper.bottom)};
        ExtTextOutW(dc, left + lineNumbers_.Indent() / 2, top, ETO_CLIPPED, &cell,
                    reinterpret_cast<const wchar_t*>(number.data()), static_cast<UINT>(number.size()), nullptr);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

int TCustomEasyEdit::FirstRowOfLine(int line)
{
    if (line >= Lines().Count())
        return RowCount() - ((options_ & eoPaintFormattingMarks) ? 1 : 0);
    if (Wrapping() && HandleAllocated()) {
        TEasyWrapPos rowPos;
        return rows_.TextToRow({0, line}, false, rowPos) ? rowPos.Y : line;
    }
    return Lines().AllowHiddenLines() ? Lines().LineToRow(line) : line;
}

void TCustomEasyEdit::PaintPageLayout(HDC dc, const RECT& clip)
{
    const int width = ViewWidth();
    const int height = ViewHeight();
    const COLORREF ground = ColorToRGB(borderColor_);
    LayOutPagesBelow(pixelTop_ + height);
    const COLORREF paper = BackgroundColor();
    const TEasyPageMetrics metrics = PageMetrics();
    const int viewTop = PageViewTop();
    const int viewLeft = leftColumn_ * CharWidth();
    const int lineHeight = metrics.LineHeight;
    const int count = Lines().Count();
    const int gutterWidth = TextLeft();

    // The ground first; the sheets are painted over it.
    Fill(dc, clip, ground);
    TEasyPainter& painter = *painter_;
    painter.Canvas = dc;
    painter.EditorCanvas = dc;
    painter.Transparent = false;
    TCustomEasyEditSource* parsing = GetEditSource()->Parser() ? GetEditSource() : nullptr;
    std::u16string text;
    std::vector<std::pair<int, int>> numbered;  // line and row top of each numbered line
    const TUpdateLock<TEasyPainter> canvas(painter, &TEasyPainter::BeginCanvas, &TEasyPainter::EndCanvas);
    for (int page = std::max(EasyPageFromPixel(pages_, viewTop, kSheetShadow), 0); page < pages_.Count(); ++page) {
        const TEasyPage& laid = pages_.Items(page);
        if (!laid.Laid)
            break;
        const TEasySheet sheet = EasySheetOf(laid, metrics);
        const RECT paperRect{sheet.Sheet.Left - viewLeft, sheet.Sheet.Top - viewTop, sheet.Sheet.Right - viewLeft,
                             sheet.Sheet.Bottom - viewTop};
        if (paperRect.top >= height)
            break;
        if (paperRect.bottom > 0) {
            Fill(dc, paperRect, paper);
            // The frame, and the shadow along the right and bottom edges.
            const COLORREF black = RGB(0, 0, 0);
            Fill(dc, RECT{paperRect.left - 1, paperRect.top - 1, paperRect.right + 1, paperRect.top}, black);
            Fill(dc, RECT{paperRect.left - 1, paperRect.bottom, paperRect.right + 1, paperRect.bottom + 1}, black);
            Fill(dc, RECT{paperRect.left - 1, paperRect.top, paperRect.left, paperRect.bottom}, black);
            Fill(dc, RECT{paperRect.right, paperRect.top, paperRect.right + 1, paperRect.bottom}, black);
            Fill(dc,
                 RECT{paperRect.right + 1, paperRect.top + 2, paperRect.right + kSheetShadow,
                      paperRect.bottom + kSheetShadow},
                 black);
            Fill(dc,
                 RECT{paperRect.left + 2, paperRect.bottom + 1, paperRect.right + kSheetShadow,
                      paperRect.bottom + kSheetShadow},
                 black);
            // The gutter at the sheet's left.
            if (gutterWidth > 0)
                Fill(dc, RECT{paperRect.left, paperRect.top, paperRect.left + gutterWidth, paperRect.bottom},
                     ColorToRGB(gutter_.Brush().Color));

            // The page's lines inside its text area.
            const int textLeft = sheet.Text.Left + gutterWidth - viewLeft;
            const int textRight = sheet.Text.Right - viewLeft;
            painter.SetWidth(std::max(textRight - textLeft, 1));
            painter.ClipRect = TEasyRect{std::max(textLeft, 0), std::max<int>(paperRect.top, 0),
                                         std::min(textRight, width), std::min<int>(paperRect.bottom, height)};
            painter.TextOrigin = 0;
            const int firstRow = FirstRowOfLine(laid.FirstLine);
            numbered.clear();
            for (int line = laid.FirstLine; line <= laid.LastLine && line < count; ++line) {
                if (!Lines().IsLineVisible(line))
                    continue;
                const int top = sheet.Text.Top + (FirstRowOfLine(line) - firstRow) * lineHeight - viewTop;
                if (top >= height)
                    break;
                if (top + lineHeight <= 0)
                    continue;
                if (parsing)
                    parsing->EnsureParsed(line, line);
                text = Lines().Get(line);
                painter.PaintLine(line, TEasyRect{textLeft, top, textRight, std::min<int>(paperRect.bottom, height)},
                                  text, text);
                // A line that continues from the page before has its number there.
                if (line != laid.FirstLine || laid.FirstCol == 0)
                    numbered.push_back({line, top});
            }
            PaintSheetLineNumbers(dc, paperRect, numbered);
            if (laid.PaintPageNumber()) {
                TSelectObject font(dc, pageNumFont_.Handle());
                const std::wstring number = std::to_wstring(page + 1);
                SIZE size{};
                GetTextExtentPoint32W(dc, number.c_str(), static_cast<int>(number.size()), &size);
                const int x = EasyPageNumberX(laid.NumAlignment(), sheet.Sheet, size.cx) - viewLeft;
                const int oldMode = SetBkMode(dc, TRANSPARENT);
                const COLORREF oldColor = SetTextColor(dc, ColorToRGB(pageNumFont_.Color()));
                TextOutW(dc, x, sheet.NumberTop - viewTop, number.c_str(), static_cast<int>(number.size()));
                SetTextColor(dc, oldColor);
                SetBkMode(dc, oldMode);
            }
        }
        if (laid.LastLine >= count - 1 && laid.LastCol == EasyPageLineEnd)
            break;
        PageOfLine(laid.LastLine + 1);  // lays the next page out
    }
}

}  // namespace qrv

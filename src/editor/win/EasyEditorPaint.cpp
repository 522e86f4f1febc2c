// The editor's paint loop: the gutter with line numbers and bookmark
// glyphs, the visible rows of text on the character grid, formatting marks,
// the end-of-text mark, the margin line and the background below the text.

#include "editor/win/EasyEditor.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Bitmap.h"
#include "framework/win/Handles.h"

#include <algorithm>
#include <climits>
#include <string>

namespace qrv {

namespace {

void FillColor(HDC dc, const RECT& rect, COLORREF color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF color)
{
    FillColor(dc, RECT{x, top, x + 1, bottom}, color);
}

}  // namespace

COLORREF TCustomEasyEdit::BackgroundColor()
{
    if ((options_ & eoUseReadOnlyColor) && GetReadOnly())
        return ColorToRGB(colors_.ReadOnlyColor());
    if ((options_ & eoUseDisabledColor) && !Enabled())
        return ColorToRGB(colors_.DisabledColor());
    return ColorToRGB(Color());
}

bool TCustomEasyEdit::SelectionShown()
{
    return selMode_ != 0 && (!hideSelection_ || Focused());
}

bool TCustomEasyEdit::SelectedColumns(int line, int& from, int& to)
{
    if (!SelectionShown() || line < selStart_.Y || line > selEnd_.Y)
        return false;
    if (selMode_ == smBlock) {
        // The same columns on every line of the block, past line ends too.
        const TEasyBlockColumns columns = BlockColumns(selStart_, selEnd_, (options_ & eoReduceBlockSel) != 0);
        from = columns.Left;
        to = columns.Right;
        return to > from;
    }
    from = line == selStart_.Y ? selStart_.X : 0;
    to = line == selEnd_.Y ? selEnd_.X : INT_MAX;
    return to > from || line < selEnd_.Y;
}

void TCustomEasyEdit::Paint(HDC dc)
{
    if (paintLock_ > 0)
        return;
    paintFocus_ = Focused() ? 1 : 0;
    const ScopeExit paintDone([this] { paintFocus_ = -1; });
    // The view begins right of and below the rulers: it paints in its own
    // coordinates, and nothing of it over them.
    const int saved = SaveDC(dc);
    const ScopeExit restoreDC([dc, saved] { RestoreDC(dc, saved); });
    const POINT origin = ViewOrigin();
    OffsetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    IntersectClipRect(dc, 0, 0, ViewWidth(), ViewHeight());
    RECT clip{};
    if (GetClipBox(dc, &clip) == ERROR)
        clip = RECT{0, 0, ViewWidth(), ViewHeight()};
    TSelectObject font(dc, Font().Handle());
    SetBkMode(dc, OPAQUE);
    if (pageType_ == TEasyPageType::ptPageLayout) {
        PaintPageLayout(dc, clip);
        return;
    }
    PaintGutter(dc, clip);
    PaintText(dc, clip);
    if (pageType_ == TEasyPageType::ptPageBreaks)
        PaintPageBreaks(dc);
}

void TCustomEasyEdit::PaintGutter(HDC dc, const RECT& clip)
{
    const int gutterWidth = gutter_.PaintedWidth(lineNumbers_);
    const int textLeft = TextLeft();
    if (textLeft <= 0 || clip.left >= textLeft)
        return;
    const int height = ViewHeight();
    const COLORREF gutterColor = ColorToRGB(gutter_.Brush().Color);
    const bool numbersOnGutter = (lineNumbers_.Options() & lnPaintOnGutter) != 0;
    const int numbersLeft = numbersOnGutter ? 0 : gutterWidth;
    const COLORREF numbersBack = numbersOnGutter ? gutterColor : ColorToRGB(lineNumbers_.BackColor());

    FillColor(dc, RECT{0, 0, gutterWidth, height}, gutterColor);
    if (gutterWidth >= 2) {
        VerticalLine(dc, gutterWidth - 2, 0, height, ColorToRGB(gutter_.Pen().Color));
        VerticalLine(dc, gutterWidth - 1, 0, height, ColorToRGB(gutter_.BackColor()));
    }
    if (lineNumbers_.Visible() && !numbersOnGutter)
        FillColor(dc, RECT{numbersLeft, 0, numbersLeft + lineNumberWidth_, height}, numbersBack);
    // The gutter's indent, and the collapse buttons' own column, belong to
    // the text's background.
    const int indent = (options_ & eoPaintGutter) ? gutter_.Indent() : 0;
    const int collapseWidth = CollapseColumnWidth();
    const int collapseLeft = textLeft - indent - collapseWidth;
    FillColor(dc, RECT{collapseLeft, 0, textLeft, height}, BackgroundColor());

    const int lineHeight = LineHeight();
    const int firstRow = topRow_ + std::max<LONG>(clip.top, 0) / lineHeight;
    const int lastRow = topRow_ + (std::max<LONG>(clip.bottom, 0) + lineHeight - 1) / lineHeight;
    const int lineCount = Lines().Count();
    SetBkMode(dc, TRANSPARENT);
    const COLORREF numbersColor = ColorToRGB(lineNumbers_.Color());
    SetTextColor(dc, numbersColor);
    for (int row = firstRow; row <= lastRow && row >= 0; ++row) {
        const int top = (row - topRow_) * lineHeight;
        int line = 0, start = 0, end = 0;
        const bool inText = RowRange(row, line, start, end);
        if (!inText) {
            if (!(lineNumbers_.Options() & lnPaintBeyondEof))
                break;
            line = lineCount + (row - RowCount());
        }
        if (lineNumbers_.Visible() && start == 0) {
            const std::u16string number =
                LineNumberText(int64_t(line) + lineNumbers_.StartFrom(), lineNumberDigits_, lineNumbers_.Alignment());
            const RECT cell{numbersLeft, top, numbersLeft + std::max(lineNumberWidth_, gutterWidth), top + lineHeight};
            ExtTextOutW(dc, numbersLeft + lineNumbers_.Indent() / 2, top, ETO_CLIPPED, &cell,
                        reinterpret_cast<const wchar_t*>(number.data()), static_cast<UINT>(number.size()), nullptr);
        }
        if (inText && (options_ & eoPaintGutter))
            PaintGutterGlyphs(dc, top, line, start, end, gutterWidth);
        if (inText && collapseWidth > 0 && start == 0) {
            const unsigned flags = Lines().Items(line)->Flags;
            const int image = (flags & lfCollapsed)  ? kEasyGutterCollapsedImage
                              : (flags & lfExpanded) ? kEasyGutterExpandedImage
                                                     : -1;
            TImageList& images = GutterImages();
            if (gutter_.ValidImageIndex(image))
                images.Draw(dc, collapseLeft + 1, top + (lineHeight - images.Height()) / 2, image);
        }
    }
    SetBkMode(dc, OPAQUE);
}

TImageList& TCustomEasyEdit::GutterImages()
{
    if (!gutterImages_) {
        gutterImages_ = std::make_unique<TImageList>(nullptr, 16, 16);
        try {
            TBitmap strip;
            strip.LoadFromResourceName(GetModuleHandleW(nullptr), L"EASYBOOKMARK");
            gutterImages_->AddMasked(strip, clWhite);
        } catch (...) {
            // A program without the strip paints no glyphs.
            TraceIgnoredException(L"editor: gutter images");
        }
        gutter_.SetImageCount(gutterImages_->Count());
    }
    return *gutterImages_;
}

std::vector<int> TCustomEasyEdit::GutterGlyphs(int line, int startColumn, int endColumn, int gutterWidth)
{
    const TImageList& images = GutterImages();
    const TCustomEasyEditSource& source = *GetEditSource();
    // The edge lines at the gutter's right stay free.
    const int right = gutterWidth - 2;
    std::vector<int> glyphs;
    auto glyph = [&](int index) {
        if (!gutter_.ValidImageIndex(index) || int(glyphs.size() + 1) * images.Width() > right)
            return;
        glyphs.push_back(index);
    };
    const bool firstRow = startColumn == 0;
    if (firstRow && Lines().AllowHiddenLines() && (options_ & eoCollapseButtonOnGutter)) {
        const TEasyStringItem* item = Lines().Items(line);
        const unsigned flags = item ? item->Flags : 0;
        if (flags & lfCollapsed)
            glyph(kEasyGutterCollapsedImage);
        else if (flags & lfExpanded)
            glyph(kEasyGutterExpandedImage);
    }
    if (firstRow)
        glyph(lineStyles_.ImageFor(source.GetLineStyle(line), gutter_));
    // A bookmark on the row that holds its column.
    const TEasyBookMarkList& marks = source.Bookmarks();
    for (int i = 0; i < marks.Count(); ++i) {
        const TEasyBookMark& mark = marks.Mark(i);
        if (mark.Y == line && mark.X >= startColumn && (endColumn == INT_MAX || mark.X < endColumn))
            glyph(std::clamp(mark.Index, 0, 9));
    }
    if ((options_ & eoPaintWrapBookmark) && Wrapping() && endColumn != INT_MAX)
        glyph(kEasyGutterWrapImage);
    return glyphs;
}

void TCustomEasyEdit::PaintGutterGlyphs(HDC dc, int top, int line, int startColumn, int endColumn, int gutterWidth)
{
    const TImageList& images = GutterImages();
    const int y = top + (LineHeight() - images.Height()) / 2;
    int x = 0;
    for (const int index : GutterGlyphs(line, startColumn, endColumn, gutterWidth)) {
        images.Draw(dc, x, y, index);
        x += images.Width();
    }
}

void TCustomEasyEdit::PaintText(HDC dc, const RECT& clip)
{
    const int textLeft = TextLeft();
    const int width = ViewWidth();
    const int height = ViewHeight();
    if (clip.right <= textLeft)
        return;
    const int lineHeight = LineHeight();
    const COLORREF back = BackgroundColor();
    const bool marks = (options_ & eoPaintFormattingMarks) != 0;
    const TCustomEasyEditSource& source = *GetEditSource();
    const bool tabsKept = (source.Options() & srUseTab) != 0;
    TEasyFormattingMarks markChars{};
    if (marks)
        for (int kind = 0; kind < 4; ++kind)
            markChars[size_t(kind)] = GetFormattingMark(kind);

    TEasyPainter& painter = *painter_;
    painter.Canvas = dc;
    painter.EditorCanvas = dc;
    // Over a background picture the rows are drawn without their plain fill.
    const bool pictured = background_.Active();
    painter.Transparent = pictured;
    if (pictured)
        background_.PaintTo(dc, RECT{std::max<LONG>(clip.left, textLeft), clip.top, clip.right, clip.bottom});
    painter.HighlightUrls = (source.Options() & srHighlightUrls) != 0;
    painter.LiveSpell = (source.Options() & srLiveSpell) && source.OnWordSpell;
    painter.SetWidth(width - textLeft);
    painter.ClipRect = TEasyRect{std::max<int>(clip.left, textLeft), clip.top, clip.right, clip.bottom};
    // Columns left of LeftColumn lie left of the text area.
    painter.TextOrigin = static_cast<int>(std::clamp<int64_t>(-int64_t(leftColumn_) * CharWidth(), INT_MIN / 2, 0));

    // The loop runs over lines: the painter paints all rows of a line and
    // says how high they were. The first line may begin above the window.
    int line = 0, start = 0, end = 0;
    int top = 0;
    if (RowRange(topRow_, line, start, end) && start > 0 && Wrapping()) {
        TEasyWrapPos first;
        if (rows_.TextToRow({0, line}, false, first))
            top = (first.Y - topRow_) * lineHeight;
    }
    const bool inText = RowRange(topRow_, line, start, end);
    const int lineCount = Lines().Count();
    if (!inText)
        line = lineCount;
    // Styles are painted only for parsed lines: each line in view gets its
    // own (a parser whose states carry over lines parses down to it).
    TCustomEasyEditSource* parsing = source.Parser() ? GetEditSource() : nullptr;
    // The rows share the context's state, set once for all; the window's own
    // comes back when the text is done.
    const TUpdateLock<TEasyPainter> canvas(painter, &TEasyPainter::BeginCanvas, &TEasyPainter::EndCanvas);
    std::u16string text, marksText;
    while (top < std::min<LONG>(clip.bottom, height) && line < lineCount) {
        if (!Lines().IsLineVisible(line)) {
            ++line;
            continue;
        }
        if (parsing)
            parsing->EnsureParsed(line, line);
        text = Lines().Get(line);
        if (marks) {
            marksText = FormattingMarksText(Lines().GetStored(line), tabsKept, source.TabStopList(), markChars);
            // The line-end mark stands on a blank after the text.
            text += u' ';
        }
        const TEasyRect rect{textLeft, top, width, height};
        top += std::max(painter.PaintLine(line, rect, text, marks ? std::u16string_view(marksText) : text), lineHeight);
        ++line;
    }
    if (marks && line >= lineCount && top < height && top + lineHeight > 0) {
        // The end-of-text mark has a row of its own.
        marksText.assign(1, markChars[fmEndOfText]);
        text = u" ";
        painter.PaintLine(lineCount, TEasyRect{textLeft, top, width, height}, text, marksText);
        top += lineHeight;
    }
    if (!pictured)
        FillColor(dc, RECT{textLeft, std::max(top, 0), width, height}, back);

    if (options_ & eoPaintMargin) {
        const int64_t x = textLeft + (int64_t(margin_.Position()) - leftColumn_) * CharWidth();
        if (x >= textLeft && x < width)
            VerticalLine(dc, static_cast<int>(x), 0, height, ColorToRGB(margin_.Pen().Color));
    }
}

}  // namespace qrv

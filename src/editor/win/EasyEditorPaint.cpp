// The editor's paint loop: the gutter with line numbers and bookmark
// glyphs, the visible rows of text on the character grid, formatting marks,
// the end-of-text mark, the margin line and the background below the text.

#include "editor/win/EasyEditor.h"

#include "framework/win/Handles.h"

#include <algorithm>
#include <climits>
#include <string>

namespace qrv {

struct TCustomEasyEdit::TRowPaint {
    RECT Rect{};        // the row across the text area
    int Line = 0;
    int StartColumn = 0;
    int EndColumn = INT_MAX;
    std::u16string_view Text;  // the line as displayed (or its marks version)
    int SelFrom = -1;   // selected display columns, -1 when none
    int SelTo = -1;
    COLORREF Back = 0;
    COLORREF Fore = 0;
    COLORREF SelBack = 0;
    COLORREF SelFore = 0;
    // With formatting marks Text is the marks version and Plain the line as
    // displayed: where they differ a mark is drawn, in MarkFore.
    bool Marks = false;
    std::u16string_view Plain;
    COLORREF MarkFore = 0;
};

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
    from = line == selStart_.Y ? selStart_.X : 0;
    to = line == selEnd_.Y ? selEnd_.X : INT_MAX;
    return to > from || line < selEnd_.Y;
}

void TCustomEasyEdit::Paint(HDC dc)
{
    if (paintLock_ > 0)
        return;
    RECT clip{};
    if (GetClipBox(dc, &clip) == ERROR)
        GetClientRect(handle_, &clip);
    TSelectObject font(dc, Font().Handle());
    PaintGutter(dc, clip);
    PaintText(dc, clip);
}

void TCustomEasyEdit::PaintGutter(HDC dc, const RECT& clip)
{
    const int gutterWidth = gutter_.PaintedWidth(lineNumbers_);
    const int textLeft = TextLeft();
    if (textLeft <= 0 || clip.left >= textLeft)
        return;
    const int height = ClientHeight();
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
    // The gutter's indent belongs to the text's background.
    FillColor(dc, RECT{textLeft - ((options_ & eoPaintGutter) ? gutter_.Indent() : 0), 0, textLeft, height},
              BackgroundColor());

    const int lineHeight = LineHeight();
    const int firstRow = topRow_ + std::max<LONG>(clip.top, 0) / lineHeight;
    const int lastRow = topRow_ + (std::max<LONG>(clip.bottom, 0) + lineHeight - 1) / lineHeight;
    const TCustomEasyEditSource& source = *GetEditSource();
    const int lineCount = Lines().Count();
    SetBkMode(dc, TRANSPARENT);
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
            const std::u16string number = LineNumberText(int64_t(line) + lineNumbers_.StartFrom(), lineNumberDigits_,
                                                         lineNumbers_.Alignment());
            const RECT cell{numbersLeft, top, numbersLeft + std::max(lineNumberWidth_, gutterWidth), top + lineHeight};
            SetTextColor(dc, ColorToRGB(lineNumbers_.Color()));
            ExtTextOutW(dc, numbersLeft + lineNumbers_.Indent() / 2, top, ETO_CLIPPED, &cell,
                        reinterpret_cast<const wchar_t*>(number.data()), static_cast<UINT>(number.size()), nullptr);
        }
        if (!inText || gutterWidth < lineHeight)
            continue;
        // A bookmark shows as a framed digit at the gutter's right, on the row
        // that holds its column.
        const TEasyBookMarkList& marks = source.Bookmarks();
        for (int i = 0; i < marks.Count(); ++i) {
            const TEasyBookMark& mark = marks.Mark(i);
            if (mark.Y != line || mark.X < start || (end != INT_MAX && mark.X >= end))
                continue;
            const int size = lineHeight - 2;
            const RECT box{gutterWidth - 3 - size, top + 1, gutterWidth - 3, top + 1 + size};
            FillColor(dc, box, RGB(0, 0, 128));
            FillColor(dc, RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, RGB(255, 255, 224));
            const wchar_t digit = static_cast<wchar_t>(L'0' + std::clamp(mark.Index, 0, 9));
            SetTextColor(dc, RGB(0, 0, 128));
            RECT inner = box;
            DrawTextW(dc, &digit, 1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SetBkMode(dc, OPAQUE);
}

void TCustomEasyEdit::PaintText(HDC dc, const RECT& clip)
{
    const int textLeft = TextLeft();
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (clip.right <= textLeft)
        return;
    const int lineHeight = LineHeight();
    const COLORREF back = BackgroundColor();
    const COLORREF fore = ColorToRGB(Font().Color());
    const bool focused = Focused();
    const COLORREF selBack = ColorToRGB(focused ? colors_.SelBackColor() : colors_.InActiveSelBackColor());
    const COLORREF selFore = ColorToRGB(focused ? colors_.SelColor() : colors_.InActiveSelColor());
    const bool marks = (options_ & eoPaintFormattingMarks) != 0;
    const TCustomEasyEditSource& source = *GetEditSource();
    const bool tabsKept = (source.Options() & srUseTab) != 0;
    TEasyFormattingMarks markChars{};
    if (marks)
        for (int kind = 0; kind < 4; ++kind)
            markChars[size_t(kind)] = GetFormattingMark(kind);

    const int firstRow = topRow_ + std::max<LONG>(clip.top, 0) / lineHeight;
    const int lastRow = topRow_ + (std::max<LONG>(clip.bottom, 0) + lineHeight - 1) / lineHeight;
    int paintedBottom = std::max<LONG>(clip.top, 0) / lineHeight * lineHeight;
    std::u16string text, plain;
    for (int row = firstRow; row <= lastRow && row >= 0; ++row) {
        const int top = (row - topRow_) * lineHeight;
        TRowPaint paint;
        paint.Rect = RECT{textLeft, top, width, top + lineHeight};
        paint.Back = back;
        paint.Fore = fore;
        paint.SelBack = selBack;
        paint.SelFore = selFore;
        paint.Marks = marks;
        paint.MarkFore = ColorToRGB(colors_.FmtMarkColor());
        if (!RowRange(row, paint.Line, paint.StartColumn, paint.EndColumn)) {
            if (!marks || row != RowCount() - 1)
                break;
            // The end-of-text mark has a row of its own.
            text.assign(1, markChars[fmEndOfText]);
            paint.Line = Lines().Count();
            paint.Text = text;
            PaintRow(dc, paint);
            paintedBottom = top + lineHeight;
            break;
        }
        plain = Lines().Get(paint.Line);
        if (marks)
            text = FormattingMarksText(Lines().GetStored(paint.Line), tabsKept, source.TabStopList(), markChars);
        paint.Text = marks ? std::u16string_view(text) : std::u16string_view(plain);
        paint.Plain = plain;
        int from = 0, to = 0;
        if (SelectedColumns(paint.Line, from, to)) {
            paint.SelFrom = from;
            paint.SelTo = to;
        }
        PaintRow(dc, paint);
        paintedBottom = top + lineHeight;
    }
    FillColor(dc, RECT{textLeft, std::max(paintedBottom, 0), width, height}, back);

    if (options_ & eoPaintMargin) {
        const int64_t x = textLeft + (int64_t(margin_.Position()) - leftColumn_) * CharWidth();
        if (x >= textLeft && x < width)
            VerticalLine(dc, static_cast<int>(x), 0, height, ColorToRGB(margin_.Pen().Color));
    }
}

void TCustomEasyEdit::PaintRow(HDC dc, const TRowPaint& row)
{
    const int cw = CharWidth();
    const int length = static_cast<int>(row.Text.size());
    const int rowEnd = row.EndColumn == INT_MAX ? length : std::min(row.EndColumn, length);
    // Columns shown: from the left edge of the view to one past its right.
    const int64_t viewFirst = int64_t(row.StartColumn) + (wordWrap_ ? 0 : leftColumn_);
    const int64_t viewLast = viewFirst + (row.Rect.right - row.Rect.left) / cw + 1;
    auto columnX = [&](int64_t column) {
        return static_cast<int>(std::clamp<int64_t>(row.Rect.left + (column - viewFirst) * cw, row.Rect.left - cw,
                                                    int64_t(row.Rect.right) + cw));
    };
    auto drawPiece = [&](int64_t from, int64_t to, COLORREF back, COLORREF fore) {
        from = std::max(from, viewFirst);
        to = std::min<int64_t>(to, std::min<int64_t>(rowEnd, viewLast));
        if (to <= from)
            return;
        const int count = static_cast<int>(to - from);
        if (static_cast<int>(advances_.size()) < count || (!advances_.empty() && advances_[0] != cw))
            advances_.assign(size_t(std::max(count, 512)), cw);
        RECT cell{std::max<LONG>(columnX(from), row.Rect.left), row.Rect.top, columnX(to), row.Rect.bottom};
        cell.right = std::min(cell.right, row.Rect.right);
        SetBkColor(dc, back);
        SetTextColor(dc, fore);
        ExtTextOutW(dc, columnX(from), row.Rect.top, ETO_OPAQUE | ETO_CLIPPED, &cell,
                    reinterpret_cast<const wchar_t*>(row.Text.data() + from), static_cast<UINT>(count),
                    advances_.data());
    };
    // Unselected text splits where marks begin and end: marks have their colour.
    auto drawText = [&](int64_t from, int64_t to) {
        from = std::max(from, viewFirst);
        to = std::min<int64_t>(to, std::min<int64_t>(rowEnd, viewLast));
        auto isMark = [&](int64_t i) {
            return row.Marks && (i >= int64_t(row.Plain.size()) || row.Text[size_t(i)] != row.Plain[size_t(i)]);
        };
        while (from < to) {
            const bool mark = isMark(from);
            int64_t end = from + 1;
            while (end < to && isMark(end) == mark)
                ++end;
            drawPiece(from, end, row.Back, mark ? row.MarkFore : row.Fore);
            from = end;
        }
    };
    if (row.SelFrom >= 0) {
        const int64_t selFrom = std::max<int64_t>(row.SelFrom, row.StartColumn);
        const int64_t selTo = row.SelTo;
        drawText(row.StartColumn, selFrom);
        drawPiece(selFrom, selTo, row.SelBack, row.SelFore);
        drawText(selTo, rowEnd);
    } else {
        drawText(row.StartColumn, rowEnd);
    }
    // Right of the text: the selection beyond the line's end, then the background.
    int textRight = std::max(columnX(rowEnd), static_cast<int>(row.Rect.left));
    if (row.SelFrom >= 0 && row.EndColumn == INT_MAX && (options_ & eoSelectBeyondEol) && row.SelTo > rowEnd) {
        const int selRight = row.SelTo == INT_MAX ? textRight + cw : columnX(row.SelTo);
        FillColor(dc, RECT{textRight, row.Rect.top, std::min<int>(selRight, row.Rect.right), row.Rect.bottom},
                  row.SelBack);
        textRight = std::max(textRight, std::min<int>(selRight, row.Rect.right));
    }
    FillColor(dc, RECT{textRight, row.Rect.top, row.Rect.right, row.Rect.bottom}, row.Back);
}

}  // namespace qrv

// THexEditor's grid: the layout of rows and columns, the scroll bars, the
// caret and the painting of the visible rows.

#include "viewers/win/HexEditor.h"

#include <algorithm>
#include <cmath>

namespace qrv {

namespace {

// Rows that the scroll bar shows one to one; more are scaled.
constexpr int64_t kMaxScrollRows = 0x3FFFFFFF;

}  // namespace

// --- layout

THexGridColumns THexEditor::Columns() const
{
    THexGridColumns columns;
    columns.BytesPerLine = bytesPerLine_;
    columns.BytesPerColumn = bytesPerColumn_;
    columns.ShowMarkerColumn = showMarkerColumn_;
    columns.OffsetChars = offsetChars_;
    return columns;
}

void THexEditor::UpdateMetrics()
{
    TWindowDC screen(nullptr);
    TSelectObject font(screen.Get(), Font().Handle());
    SIZE w{}, yy{};
    GetTextExtentPoint32W(screen.Get(), L"w", 1, &w);
    GetTextExtentPoint32W(screen.Get(), L"yY", 2, &yy);
    charWidth_ = std::max<int>(1, w.cx);
    rowHeight_ = std::max<int>(3, yy.cy + 2);
    LOGFONTW marker{};
    marker.lfHeight =
        -MulDiv(static_cast<int>(std::lround(Font().Size() * 0.75)), GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
    lstrcpynW(marker.lfFaceName, L"Arial", LF_FACESIZE);
    markerFont_.Reset(CreateFontIndirectW(&marker));
}

void THexEditor::FontChanged()
{
    TCustomControl::FontChanged();
    UpdateMetrics();
    UpdateLayout();
    if (HandleAllocated() && GetFocus() == handle_)
        MakeCaret();
}

void THexEditor::BoundsChanged()
{
    TCustomControl::BoundsChanged();
    UpdateScrollBars();
}

void THexEditor::UpdateLayout()
{
    offsetChars_ = OffsetColumnChars(offsetDisplay_, (RowCount() - 1) * bytesPerLine_);
    caret_ = HexClampCaret(caret_, doc_.Size());
    if (selection_.Active() && selection_.End >= doc_.Size())
        selection_ = THexSelection{};
    doc_.NoSizeChange = noSizeChange_;
    topRow_ = std::clamp<int64_t>(topRow_, 0, std::max<int64_t>(0, RowCount() - FullyVisibleRows()));
    leftCol_ = std::clamp(leftCol_, 2, ColCount() - 1);
    UpdateScrollBars();
    Invalidate();
}

int THexEditor::VisibleRows() const
{
    RECT client{};
    if (HandleAllocated())
        GetClientRect(handle_, &client);
    return std::max(1, static_cast<int>((client.bottom + rowHeight_ - 1) / rowHeight_));
}

int THexEditor::FullyVisibleRows() const
{
    RECT client{};
    if (HandleAllocated())
        GetClientRect(handle_, &client);
    return std::max(1, static_cast<int>(client.bottom / rowHeight_));
}

RECT THexEditor::CellRect(int col, int64_t row) const
{
    const THexGridColumns columns = Columns();
    const int top = static_cast<int>(std::clamp<int64_t>((row - topRow_) * rowHeight_, -0x10000000, 0x10000000));
    RECT rect{0, top, 0, top + rowHeight_};
    const int fixed0 = columns.ColumnWidth(0, charWidth_);
    if (col == 0) {
        rect.right = fixed0;
        return rect;
    }
    int x = fixed0 + columns.ColumnWidth(1, charWidth_);
    if (col == 1) {
        rect.left = fixed0;
        rect.right = x;
        return rect;
    }
    if (col < leftCol_)
        return RECT{-1, top, -1, top + rowHeight_};  // scrolled out to the left
    for (int c = leftCol_; c < col; ++c)
        x += columns.ColumnWidth(c, charWidth_);
    rect.left = x;
    rect.right = x + columns.ColumnWidth(col, charWidth_);
    return rect;
}

bool THexEditor::HitCell(int x, int y, int& col, int64_t& row) const
{
    if (y < 0)
        return false;
    row = topRow_ + y / rowHeight_;
    const THexGridColumns columns = Columns();
    int right = columns.ColumnWidth(0, charWidth_);
    if (x < right) {
        col = 0;
        return true;
    }
    right += columns.ColumnWidth(1, charWidth_);
    if (x < right) {
        col = 1;
        return true;
    }
    for (int c = leftCol_; c < columns.ColCount(); ++c) {
        right += columns.ColumnWidth(c, charWidth_);
        if (x < right) {
            col = c;
            return true;
        }
    }
    col = columns.ColCount() - 1;
    return true;
}

THexCaret THexEditor::CaretOfCell(int col, int64_t row) const
{
    const THexGridColumns columns = Columns();
    THexCaret caret;
    if (col < 2) {
        caret = THexCaret{row * bytesPerLine_, THexPane::Hex, 0};
    } else if (columns.IsNibbleColumn(col)) {
        caret = THexCaret{row * bytesPerLine_ + columns.ByteInRow(col), THexPane::Hex, (col - 2) % 2};
    } else if (columns.IsCharColumn(col)) {
        caret = THexCaret{row * bytesPerLine_ + columns.ByteInRow(col), THexPane::Char, 0};
    } else {
        // The spacer: the column left of it.
        caret = THexCaret{row * bytesPerLine_ + bytesPerLine_ - 1, THexPane::Hex, 1};
    }
    return HexClampCaret(caret, doc_.Size());
}

int THexEditor::CaretCol() const
{
    if (doc_.Size() <= 0)
        return 2;
    const int inRow = static_cast<int>(caret_.Offset % bytesPerLine_);
    return caret_.Pane == THexPane::Hex ? 2 + 2 * inRow + caret_.Nibble : Columns().FirstCharColumn() + inRow;
}

int THexEditor::PartnerCol() const
{
    const int inRow = static_cast<int>(caret_.Offset % bytesPerLine_);
    return caret_.Pane == THexPane::Hex ? Columns().FirstCharColumn() + inRow : 2 + 2 * inRow;
}

void THexEditor::InvalidateRows(int64_t first, int64_t last)
{
    if (!HandleAllocated())
        return;
    RECT client;
    GetClientRect(handle_, &client);
    const int64_t from = std::max(first, topRow_);
    const int64_t to = std::min(last, topRow_ + VisibleRows());
    if (from > to)
        return;
    RECT rows{0, static_cast<int>((from - topRow_) * rowHeight_), client.right,
              static_cast<int>((to - topRow_ + 1) * rowHeight_)};
    InvalidateRect(handle_, &rows, FALSE);
}

// --- scrolling

void THexEditor::UpdateScrollBars()
{
    if (!HandleAllocated())
        return;
    const int64_t rows = RowCount();
    scrollScale_ = rows > kMaxScrollRows ? rows / kMaxScrollRows + 1 : 1;
    SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    v.nMax = static_cast<int>((rows - 1) / scrollScale_);
    v.nPage = static_cast<UINT>(std::max<int64_t>(1, FullyVisibleRows() / scrollScale_));
    v.nPos = static_cast<int>(topRow_ / scrollScale_);
    SetScrollInfo(handle_, SB_VERT, &v, TRUE);

    RECT client;
    GetClientRect(handle_, &client);
    const THexGridColumns columns = Columns();
    int width = client.right - columns.ColumnWidth(0, charWidth_) - columns.ColumnWidth(1, charWidth_);
    int fit = 0;
    for (int c = leftCol_; c < columns.ColCount() && width >= columns.ColumnWidth(c, charWidth_); ++c, ++fit)
        width -= columns.ColumnWidth(c, charWidth_);
    SCROLLINFO h{sizeof h,
                 SIF_RANGE | SIF_PAGE | SIF_POS,
                 2,
                 columns.ColCount() - 1,
                 static_cast<UINT>(std::max(1, fit)),
                 leftCol_,
                 0};
    SetScrollInfo(handle_, SB_HORZ, &h, TRUE);
}

void THexEditor::ScrollToRow(int64_t row)
{
    row = std::clamp<int64_t>(row, 0, std::max<int64_t>(0, RowCount() - FullyVisibleRows()));
    if (row == topRow_)
        return;
    topRow_ = row;
    UpdateScrollBars();
    Invalidate();
    PlaceCaret();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void THexEditor::ScrollToCol(int col)
{
    col = std::clamp(col, 2, ColCount() - 1);
    if (col == leftCol_)
        return;
    leftCol_ = col;
    UpdateScrollBars();
    Invalidate();
    PlaceCaret();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

void THexEditor::EnsureCaretVisible()
{
    const int64_t row = caret_.Offset / bytesPerLine_;
    if (row < topRow_)
        ScrollToRow(row);
    else if (row >= topRow_ + FullyVisibleRows())
        ScrollToRow(row - FullyVisibleRows() + 1);
    if (!HandleAllocated())
        return;
    const int col = CaretCol();
    if (col < leftCol_) {
        ScrollToCol(col);
        return;
    }
    RECT client;
    GetClientRect(handle_, &client);
    int left = leftCol_;
    while (left < col) {
        const int saved = leftCol_;
        leftCol_ = left;
        const RECT cell = CellRect(col, topRow_);
        leftCol_ = saved;
        if (cell.right <= client.right)
            break;
        ++left;
    }
    ScrollToCol(left);
}

void THexEditor::VerticalScroll(WORD code)
{
    const int page = std::max(1, FullyVisibleRows() - 1);
    switch (code) {
    case SB_LINEUP:
        ScrollToRow(topRow_ - 1);
        break;
    case SB_LINEDOWN:
        ScrollToRow(topRow_ + 1);
        break;
    case SB_PAGEUP:
        ScrollToRow(topRow_ - page);
        break;
    case SB_PAGEDOWN:
        ScrollToRow(topRow_ + page);
        break;
    case SB_TOP:
        ScrollToRow(0);
        break;
    case SB_BOTTOM:
        ScrollToRow(RowCount());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position, scaled back to rows.
        SCROLLINFO info{sizeof info, SIF_TRACKPOS | SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, SB_VERT, &info);
        const int lastPos = info.nMax - static_cast<int>(info.nPage) + 1;
        ScrollToRow(info.nTrackPos >= lastPos ? RowCount() : static_cast<int64_t>(info.nTrackPos) * scrollScale_);
        break;
    }
    default:
        break;
    }
}

void THexEditor::HorizontalScroll(WORD code)
{
    switch (code) {
    case SB_LINELEFT:
        ScrollToCol(leftCol_ - 1);
        break;
    case SB_LINERIGHT:
        ScrollToCol(leftCol_ + 1);
        break;
    case SB_PAGELEFT:
        ScrollToCol(leftCol_ - 8);
        break;
    case SB_PAGERIGHT:
        ScrollToCol(leftCol_ + 8);
        break;
    case SB_LEFT:
        ScrollToCol(2);
        break;
    case SB_RIGHT:
        ScrollToCol(ColCount() - 1);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, SB_HORZ, &info);
        ScrollToCol(info.nTrackPos);
        break;
    }
    default:
        break;
    }
}

// --- the caret

void THexEditor::MakeCaret()
{
    if (!HandleAllocated())
        return;
    const int width = charWidth_;
    const int height = std::max(1, rowHeight_ - 2);
    TWindowDC screen(handle_);
    TOwnDC memory(CreateCompatibleDC(screen.Get()));
    TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    {
        TSelectObject select(memory.Get(), bitmap.Get());
        RECT all{0, 0, width, height};
        FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RECT shape = all;
        if (caretStyle_ == TCaretStyle::csLeftLine)
            shape.right = std::min(width, 2);
        else if (caretStyle_ == TCaretStyle::csBottomLine)
            shape = RECT{0, std::max(0, rowHeight_ - 4), width, std::max(0, rowHeight_ - 2)};
        TGdiObject brush(CreateSolidBrush(TColors::Complement(colors_.CursorFrame())));
        FillRect(memory.Get(), &shape, static_cast<HBRUSH>(brush.Get()));
    }
    CreateCaret(handle_, static_cast<HBITMAP>(bitmap.Get()), 0, 0);
    caretBitmap_ = std::move(bitmap);
    SetCaretPos(-50, -50);
    ShowCaret(handle_);
    caretShown_ = true;
    PlaceCaret();
}

void THexEditor::PlaceCaret()
{
    if (!caretShown_ || !HandleAllocated())
        return;
    RECT client;
    GetClientRect(handle_, &client);
    const int64_t row = caret_.Offset / bytesPerLine_;
    const RECT cell = CellRect(CaretCol(), row);
    const bool visible = row >= topRow_ && row < topRow_ + VisibleRows() && cell.left >= 0 && cell.left < client.right;
    if (visible)
        SetCaretPos(cell.left, cell.top + 1);
    else
        SetCaretPos(-50, -50);
}

void THexEditor::MoveCaret(const THexCaret& to, bool extendSelection)
{
    const THexCaret old = caret_;
    const THexCaret target = HexClampCaret(to, doc_.Size());
    if (extendSelection && selecting_ && (ShiftDown() || mouseDown_)) {
        const THexSelection before = selection_;
        selection_ = HexExtendSelection(selection_, old.Offset, target.Offset, InsertMode());
        if (before.Active())
            InvalidateRows(before.Start / bytesPerLine_, before.End / bytesPerLine_);
        InvalidateRows(selection_.Start / bytesPerLine_, selection_.End / bytesPerLine_);
        StateChanged();
    } else {
        ClearSelection();
    }
    caret_ = target;
    InvalidateRows(old.Offset / bytesPerLine_, old.Offset / bytesPerLine_);
    InvalidateRows(caret_.Offset / bytesPerLine_, caret_.Offset / bytesPerLine_);
    EnsureCaretVisible();
    PlaceCaret();
    if (OnSelectCell) {
        bool canSelect = true;
        OnSelectCell(this, CaretCol(), caret_.Offset / bytesPerLine_, canSelect);
    }
}

bool THexEditor::ShiftDown() const
{
    return GetKeyState(VK_SHIFT) < 0;
}

THexEditPosition THexEditor::EditPosition() const
{
    THexEditPosition position;
    position.CaretOffset = caret_.Offset;
    position.CaretNibble = caret_.Nibble;
    position.CaretInCharPane = caret_.Pane == THexPane::Char;
    position.SelStart = selection_.Start;
    position.SelEnd = selection_.End;
    position.SelAnchor = selection_.Anchor;
    return position;
}

void THexEditor::AfterEdit()
{
    UpdateLayout();
    EnsureCaretVisible();
    PlaceCaret();
    StateChanged();
}

// --- painting

std::wstring THexEditor::CellText(int col, int64_t row)
{
    const THexGridColumns columns = Columns();
    if (doc_.Size() <= 0)
        return row == 0 && col == 0 ? EmptyOffsetText(offsetDisplay_, offsetSeparator_) : std::wstring();
    if (row < 0 || row >= RowCount())
        return L"";
    if (col == 0)
        return OffsetText(offsetDisplay_, row * bytesPerLine_, offsetChars_, offsetSeparator_);
    if (col == 1) {
        for (int i = 0; i < 10; ++i)
            if (markers_[i] == row)
                return std::wstring(1, static_cast<wchar_t>(L'0' + i));
        return L"";
    }
    if (!columns.IsNibbleColumn(col) && !columns.IsCharColumn(col))
        return L"";
    const int64_t offset = row * bytesPerLine_ + columns.ByteInRow(col);
    if (offset >= doc_.Size())
        return L"";
    uint8_t byte = 0;
    if (!doc_.ReadByte(offset, byte))
        return L"?";
    if (columns.IsNibbleColumn(col)) {
        const int nibble = THexGridColumns::ShowsHighNibble(col, swapNibbles_) ? byte >> 4 : byte & 0x0F;
        return std::wstring(1, L"0123456789ABCDEF"[nibble]);
    }
    const char16_t shown = charset_.Display(byte, translation_, maskWhiteSpaces_, static_cast<char16_t>(maskChar_));
    return shown ? std::wstring(1, static_cast<wchar_t>(shown)) : std::wstring();
}

void THexEditor::PaintCell(HDC dc, const RECT& rect, int col, int64_t row, const uint8_t* rowBytes, size_t available)
{
    const THexGridColumns columns = Columns();
    COLORREF background = ColorToRGB(colors_.Background());
    COLORREF text = ColorToRGB(Font().Color());
    std::wstring shown;
    HFONT font = nullptr;
    if (doc_.Size() <= 0) {
        if (row == 0 && col == 0)
            shown = EmptyOffsetText(offsetDisplay_, offsetSeparator_);
        text = ColorToRGB(colors_.Offset());
    } else if (col == 0) {
        shown = OffsetText(offsetDisplay_, row * bytesPerLine_, offsetChars_, offsetSeparator_);
        text = ColorToRGB(colors_.Offset());
    } else if (col == 1) {
        shown = CellText(col, row);
        if (!shown.empty()) {
            background = ColorToRGB(colors_.PositionBackground());
            text = ColorToRGB(colors_.PositionText());
            font = static_cast<HFONT>(markerFont_.Get());
        }
    } else if (columns.IsNibbleColumn(col) || columns.IsCharColumn(col)) {
        const int inRow = columns.ByteInRow(col);
        const int64_t offset = row * bytesPerLine_ + inRow;
        if (offset < doc_.Size()) {
            const bool nibblePane = columns.IsNibbleColumn(col);
            if (!rowBytes || static_cast<size_t>(inRow) >= available) {
                shown = L"?";
            } else {
                const uint8_t byte = rowBytes[inRow];
                if (nibblePane) {
                    const int nibble = THexGridColumns::ShowsHighNibble(col, swapNibbles_) ? byte >> 4 : byte & 0x0F;
                    shown.assign(1, L"0123456789ABCDEF"[nibble]);
                } else {
                    const char16_t c =
                        charset_.Display(byte, translation_, maskWhiteSpaces_, static_cast<char16_t>(maskChar_));
                    if (c)
                        shown.assign(1, static_cast<wchar_t>(c));
                }
            }
            const bool changed = !InsertMode() && doc_.IsChanged(offset);
            const TColor groupColor = columns.NibbleGroup(col) % 2 == 0 ? colors_.OddColumn() : colors_.EvenColumn();
            if (changed) {
                background = ColorToRGB(colors_.ChangedBackground());
                text = ColorToRGB(colors_.ChangedText());
            } else {
                TColor textColor = nibblePane ? groupColor : Font().Color();
                if (OnGetTextColor)
                    OnGetTextColor(this, col, row, offset, textColor);
                text = ColorToRGB(textColor);
            }
            if (selection_.Contains(offset)) {
                std::swap(background, text);
                if (!changed && nibblePane)
                    text = TColors::Complement(groupColor);
            }
        }
    }
    std::unique_ptr<TSelectObject> markerFont;
    if (font)
        markerFont = std::make_unique<TSelectObject>(dc, font);
    SetBkColor(dc, background);
    SetTextColor(dc, text);
    const int left = col == 0 ? rect.left + OffsetMargin(charWidth_) : rect.left;
    ExtTextOutW(dc, left, rect.top + 1, ETO_OPAQUE | ETO_CLIPPED, &rect, shown.c_str(), static_cast<UINT>(shown.size()),
                nullptr);
}

void THexEditor::Paint(HDC dc)
{
    RECT client;
    GetClientRect(handle_, &client);
    TSelectObject font(dc, Font().Handle());
    SetBkMode(dc, OPAQUE);
    const THexGridColumns columns = Columns();
    const int64_t rows = doc_.Size() > 0 ? RowCount() : 1;
    int bottom = 0;
    for (int i = 0; i < VisibleRows(); ++i) {
        const int64_t row = topRow_ + i;
        if (row >= rows)
            break;
        size_t available = 0;
        const uint8_t* bytes =
            doc_.Size() > 0 ? doc_.CachedBytes(row * bytesPerLine_, bytesPerLine_, available) : nullptr;
        int right = 0;
        for (int col = 0; col < columns.ColCount(); ++col) {
            if (col >= 2 && col < leftCol_)
                continue;
            const RECT cell = CellRect(col, row);
            if (cell.left >= client.right)
                break;
            if (cell.right > cell.left)
                PaintCell(dc, cell, col, row, bytes, available);
            right = cell.right;
        }
        // The rest of the row right of the last column.
        RECT rest{right, static_cast<int>((row - topRow_) * rowHeight_), client.right,
                  static_cast<int>((row - topRow_ + 1) * rowHeight_)};
        TGdiObject brush(CreateSolidBrush(ColorToRGB(colors_.Background())));
        if (rest.right > rest.left)
            FillRect(dc, &rest, static_cast<HBRUSH>(brush.Get()));
        bottom = rest.bottom;
    }
    RECT below{0, bottom, client.right, client.bottom};
    if (below.bottom > below.top) {
        TGdiObject brush(CreateSolidBrush(ColorToRGB(colors_.Background())));
        FillRect(dc, &below, static_cast<HBRUSH>(brush.Get()));
    }
    // The caret's partner cell: the same byte in the other pane.
    const int64_t caretRow = caret_.Offset / bytesPerLine_;
    if (doc_.Size() > 0 && GetFocus() == handle_ && caretRow >= topRow_ && caretRow < topRow_ + VisibleRows()) {
        RECT partner = CellRect(PartnerCol(), caretRow);
        if (partner.left >= 0) {
            partner.right = partner.left + charWidth_;
            if (focusFrame_) {
                DrawFocusRect(dc, &partner);
            } else {
                TGdiObject pen(CreatePen(PS_SOLID, 1, ColorToRGB(colors_.CursorFrame())));
                TSelectObject usePen(dc, pen.Get());
                TSelectObject noBrush(dc, GetStockObject(NULL_BRUSH));
                Rectangle(dc, partner.left, partner.top, partner.right, partner.bottom);
            }
        }
    }
}

}  // namespace qrv

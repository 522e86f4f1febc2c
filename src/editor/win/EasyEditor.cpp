#include "editor/win/EasyEditor.h"

#include "editor/EasyEditScroll.h"
#include "editor/EasySelStrings.h"
#include "editor/EasySettings.h"
#include "editor/WideText.h"
#include "editor/win/EasyFontManagerWin.h"
#include "editor/win/EasyHint.h"
#include "editor/win/EasyUtilsWin.h"
#include "framework/IgnoredError.h"

#include <algorithm>
#include <climits>

namespace qrv {

TCustomEasyEdit::TCustomEasyEdit(TComponent* owner) : TCustomControl(owner), own_(new TEasyEditSource(this))
{
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
    SetEasyBeep([] { MessageBeep(MB_OK); });
    keys_.InstallDefaultKeys();

    charIndex_ = std::make_unique<TEasyCharIndex>([this] { return Lines().Count(); },
                                                  [this](int line) { return int(Lines().GetStored(line).size()); });
    layout_.LineCount = [this] { return Lines().Count(); };
    layout_.LineText = [this](int line) { return Lines().Get(line); };
    layout_.BreakChar = [this](char16_t c) { return GetEditSource()->IsDelimiter(c); };
    layout_.BeforeWrapLine = [this](int line) { BeforeWrapLine(line); };
    rows_.OnNeedRows = [this](TEasyWrapList& rows, int from, int to) { layout_.Rebuild(rows, from, to, topRow_); };

    painter_ = std::make_unique<TEasyPainter>(static_cast<TEasyPainterHost&>(*this));
    background_.OnInvalidate = [this] { Invalidate(); };
    SetDefaultFont();
    Attach(own_);
}

TCustomEasyEdit::~TCustomEasyEdit()
{
    // A pick list still shown goes back before the editor goes.
    CloseList();
    // The rulers' windows go before the editor's.
    FreeRulers();
    Detach(GetEditSource());
}

void TCustomEasyEdit::SetDefaultFont()
{
    Font().SetName(L"Courier New");
    Font().SetSize(10);
    // Where Courier New is missing (a bare Wine) a monospaced face stands
    // in, not a proportional one spread over the character grid.
    Font().SetPitch(TFontPitch::fpFixed);
}

// ---- the source ----------------------------------------------------------

TCustomEasyEditSource* TCustomEasyEdit::GetEditSource() const
{
    return external_ ? external_ : own_;
}

void TCustomEasyEdit::Attach(TCustomEasyEditSource* source)
{
    source->AddNotifier(this, [this, source](TEasySourceNotification* record) {
        if (record)
            SourceNotify(record);
        else
            SourceStatesChanged(source->States());
    });
}

void TCustomEasyEdit::Detach(TCustomEasyEditSource* source)
{
    source->RemoveNotifier(this);
}

void TCustomEasyEdit::SetEditSource(TCustomEasyEditSource* source)
{
    CheckEasyEditSourceClass(source);  // before anything changes
    if (source == own_)
        source = nullptr;
    if (source == external_)
        return;
    TCustomEasyEditSource* old = GetEditSource();
    Detach(old);
    if (old == external_) {
        old->SetPageMode(false);
        if (old->ActiveEditor() == this)
            old->SetActiveEditor(nullptr);
    }
    external_ = source;
    Attach(GetEditSource());
    if (external_) {
        external_->SetPageMode(pageType_ != TEasyPageType::ptNormal);
        if (wordWrap_)
            external_->SetOptions(external_->Options() & ~srAllowHiddenLines);
        if (!external_->ActiveEditor())
            external_->SetActiveEditor(this);
    }
    pages_.ResetLayout();
    // Another document: everything is laid out again.
    SourceStatesChanged(csEdit | csCountChanged | csParagraphChanged | csReadOnlyChanged, true);
}

void TCustomEasyEdit::SourceNotify(TEasySourceNotification* record)
{
    if (record->Kind == snShift && selMode_ != 0) {
        // Text inserted or deleted before a corner moves it along.
        auto shift = [record](TEasyPoint& point) {
            if (point.Y > record->Y || (point.Y == record->Y && point.X >= record->X)) {
                if (point.Y == record->Y)
                    point.X = std::max(point.X + record->Dx, 0);
                point.Y = std::max(point.Y + record->Dy, 0);
            }
        };
        shift(selStart_);
        shift(selEnd_);
    }
}

void TCustomEasyEdit::SourceStatesChanged(TEasyEditSourceStates states, bool wholeDocument)
{
    if (states & csSourceFreed) {
        // The attached source goes: back to the editor's own.
        external_ = nullptr;
        Attach(own_);
        states = csEdit | csCountChanged | csParagraphChanged | csReadOnlyChanged;
        wholeDocument = true;
    }
    TCustomEasyEditSource& source = *GetEditSource();
    if (states & (csEdit | csParagraphChanged | csCountChanged))
        pages_.ResetLayout();  // pages are laid out again as far as they are needed
    if (states & (csEdit | csParagraphChanged | csCountChanged)) {
        const int first = std::max(source.FirstChangedLine(), 0);
        const bool all = wholeDocument || source.FirstChangedLine() < 0;
        const int from = all ? 0 : first;
        charIndex_->Invalidate(from);
        if (all)
            longestLine_.Forget();
        else
            longestLine_.Changed(Lines(), first, source.LastChangedLine(), (states & csCountChanged) != 0);
        if (all || (states & csCountChanged))
            RebuildRows(from, TEasyRowLayout::ToTheEnd);
        else
            RebuildRows(from, std::max(source.LastChangedLine(), from));
        UpdateLineNumberWidth();
        if (topRow_ > LastTopRow())
            topRow_ = LastTopRow();
        // An emptied text starts again at its top left corner.
        if (Lines().Count() == 0)
            topRow_ = leftColumn_ = 0;
        if (hideScrollBars_ && RowCount() <= VisibleRows())
            topRow_ = 0;
        if (Lines().Count() == 0)
            pixelTop_ = 0;
        KeepPixelTopInRange();
        UpdateScrollBars();
        Invalidate();
    } else if (states & (csBookMarkChanged | csLineStyleChanged | csReadOnlyChanged | csParserChanged)) {
        Invalidate();
    }
    if (states & csUndo)
        ClearSelection();
    if (states & (csPositionChanged | csEdit)) {
        // A replace keeps the selection it searches in.
        if (!(options_ & eoPersistentBlocks) && (states & csEdit) && !search_.SelectLocked())
            ClearSelection();
        // A caret the search did not move ends incremental search.
        if (search_.IncrementalActive() && !search_.FindLocked())
            search_.EndIncrementalSearch();
        if (Focused())
            MakeCaretVisible(source.Jumping() && (options_ & eoCenterOnBookmark));
        UpdateCaretPos();
        // The caret may stand on another page now.
        UpdateRulers();
    }
    if (states & csVisibleChanged) {
        UpdateScrollBars();
        Invalidate();
    }
    DoSourceChanged(states);
    if (states & (csPositionChanged | csEdit)) {
        completion_.CaretMoved();
        UpdateBrackets();
        DoSelectionChanged();
    }
}

void TCustomEasyEdit::DoSourceChanged(TEasyEditSourceStates states)
{
    if (OnSourceChanged)
        OnSourceChanged(this, states);
}

void TCustomEasyEdit::DoSelectionChanged()
{
    if (OnSelectionChanged)
        OnSelectionChanged(this);
}

void TCustomEasyEdit::DoScroll(bool vertical, int code)
{
    if (OnScroll)
        OnScroll(this, vertical, code);
}

void TCustomEasyEdit::DoScrollHint(int line, int page, std::wstring& text)
{
    if (OnScrollHint)
        OnScrollHint(this, line, page, text);
}

// ---- properties ------------------------------------------------------------

void TCustomEasyEdit::SetWordWrap(bool wrap)
{
    if (wrap == wordWrap_)
        return;
    const int topLine = RowToLine(topRow_);
    wordWrap_ = wrap;
    if (wrap) {
        leftColumn_ = 0;
        // Wrapped rows and hidden lines do not go together.
        TCustomEasyEditSource& source = *GetEditSource();
        source.SetOptions(source.Options() & ~srAllowHiddenLines);
    }
    layout_.Reset(rows_);
    RebuildRows(0, TEasyRowLayout::ToTheEnd);
    ShowLineAtTop(topLine);
    UpdateScrollBars();
    UpdateCaretPos();
    Invalidate();
}

void TCustomEasyEdit::SetHideScrollBars(bool hide)
{
    if (hide == hideScrollBars_)
        return;
    hideScrollBars_ = hide;
    if (hide && RowCount() <= VisibleRows())
        topRow_ = 0;
    UpdateScrollBars();
    Invalidate();
}

void TCustomEasyEdit::SetHideSelection(bool hide)
{
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    Invalidate();
}

void TCustomEasyEdit::SetMaxScrollPos(int columns)
{
    maxScrollPos_ = std::max(columns, 1);
    UpdateScrollBars();
}

void TCustomEasyEdit::SetOptions(TEasyEditorOptions options)
{
    const TEasyEditorSetters::TOptionsPlan plan = TEasyEditorSetters::PlanOptions(options_, options, Wrapping());
    if (!plan.Changed)
        return;
    options_ = options;
    if (plan.UpdateView)
        UpdateLineNumberWidth();
    if (plan.RebuildRows)
        Rewrap();
    if (plan.UpdateView)
        UpdateScrollBars();
    UpdateCaretPos();
    UpdateBrackets();
    Invalidate();
}

void TCustomEasyEdit::SetHideCaret(bool hide)
{
    if (hide == hideCaret_)
        return;
    hideCaret_ = hide;
    KillCaret();
    if (!hide && Focused())
        ShowCaretNow();
}

void TCustomEasyEdit::SetBorderStyle(TEasyBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    RecreateKeepingView();
}

void TCustomEasyEdit::SetFlatScrollBars(bool flat)
{
    if (flat == flatScrollBars_)
        return;
    flatScrollBars_ = flat;
    RecreateKeepingView();
}

void TCustomEasyEdit::RecreateKeepingView()
{
    if (!HandleAllocated())
        return;
    // The text, caret and selection live outside the window; the view's
    // place and the focus are put back on the new one.
    const int top = topRow_;
    const int left = leftColumn_;
    const bool hadFocus = Focused();
    RecreateWnd();
    topRow_ = std::clamp(top, 0, LastTopRow());
    leftColumn_ = left;
    UpdateScrollBars();
    if (hadFocus && HandleAllocated())
        ::SetFocus(handle_);
    UpdateCaretPos();
    Invalidate();
}

void TCustomEasyEdit::SetUseGlobalSettings(bool use)
{
    if (use == useGlobalSettings_)
        return;
    useGlobalSettings_ = use;
    if (!external_)
        own_->SetUseGlobalSettings(use);
    if (use)
        if (TEasySettings* settings = ComponentSettings(this))
            settings->ApplyTo(this);
}

void TCustomEasyEdit::SetKeyMapping(TEasyKeyMapping mapping)
{
    keyMapping_ = mapping;
    keys_.InstallKeyMapping(mapping);
    keyState_ = 0;
}

bool TCustomEasyEdit::Focused() const
{
    if (paintFocus_ >= 0)
        return paintFocus_ != 0;
    return handle_ && GetFocus() == handle_;
}

void TCustomEasyEdit::Invalidate()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TCustomEasyEdit::UpdateGutter()
{
    UpdateLineNumberWidth();
    Rewrap();
    UpdateScrollBars();
    UpdateCaretPos();
    Invalidate();
}

void TCustomEasyEdit::FontChanged()
{
    TCustomControl::FontChanged();
    FontMetricsChanged();
}

void TCustomEasyEdit::FontMetricsChanged()
{
    for (TGdiObject& font : styleFonts_)
        font.Reset();
    if (painter_)
        painter_->FontChanged();
    pages_.ResetLayout();
    UpdateLineNumberWidth();
    Rewrap();
    if (caretCreated_) {
        KillCaret();
        ShowCaretNow();
    }
    UpdateScrollBars();
    UpdateRulers();
    Invalidate();
}

// ---- what the painter asks ---------------------------------------------------

TColor TCustomEasyEdit::PainterBackground() const
{
    if ((options_ & eoUseReadOnlyColor) && GetReadOnly())
        return colors_.ReadOnlyColor();
    if ((options_ & eoUseDisabledColor) && !Enabled())
        return colors_.DisabledColor();
    return Color();
}

TColor TCustomEasyEdit::PainterFontColor() const
{
    return const_cast<TCustomEasyEdit*>(this)->Font().Color();
}

TFontStyles TCustomEasyEdit::PainterFontStyle() const
{
    return static_cast<TFontStyles>(const_cast<TCustomEasyEdit*>(this)->Font().Style() & 15);
}

uintptr_t TCustomEasyEdit::PainterFont(TFontStyles style)
{
    style &= 15;
    if (style == PainterFontStyle())
        return reinterpret_cast<uintptr_t>(Font().Handle());
    TGdiObject& font = styleFonts_[style];
    if (!font) {
        LOGFONTW description{};
        GetObjectW(Font().Handle(), sizeof description, &description);
        description.lfWeight = (style & efBold) ? FW_BOLD : FW_NORMAL;
        description.lfItalic = (style & efItalic) != 0;
        description.lfUnderline = (style & efUnderline) != 0;
        description.lfStrikeOut = (style & efStrikeOut) != 0;
        font.Reset(CreateFontIndirectW(&description));
    }
    return reinterpret_cast<uintptr_t>(font.Get());
}

TEasyWrapList* TCustomEasyEdit::PainterWrapList()
{
    return Wrapping() && HandleAllocated() ? &rows_ : nullptr;
}

bool TCustomEasyEdit::PainterSelection(int line, TEasyColumnSpan& span)
{
    int from = 0, to = 0;
    if (!SelectedColumns(line, from, to))
        return false;
    span = {from, to};
    return true;
}

// ---- metrics and rows ------------------------------------------------------

int TCustomEasyEdit::CharWidth()
{
    return painter_->GetCharWidth();
}

int TCustomEasyEdit::LineHeight()
{
    return painter_->GetLineHeight();
}

int TCustomEasyEdit::TextLeft()
{
    int left = gutter_.PaintedWidth(lineNumbers_);
    if (lineNumbers_.Visible() && !(lineNumbers_.Options() & lnPaintOnGutter))
        left += lineNumberWidth_;
    left += CollapseColumnWidth();
    if (options_ & eoPaintGutter)
        left += gutter_.Indent();
    return left;
}

int TCustomEasyEdit::CollapseColumnWidth()
{
    // Collapse buttons outside the gutter get a column of their own.
    if (!Lines().AllowHiddenLines() || (options_ & eoCollapseButtonOnGutter))
        return 0;
    return GutterImages().Width() + 2;
}

int TCustomEasyEdit::TextAreaLeft()
{
    if (pageType_ == TEasyPageType::ptPageLayout)
        return PageTextLeft() - leftColumn_ * CharWidth();
    return TextLeft();
}

int TCustomEasyEdit::VisibleRows()
{
    if (!HandleAllocated())
        return std::max(Height() / LineHeight(), 1);
    return std::max(ViewHeight() / LineHeight(), 1);
}

int TCustomEasyEdit::VisibleColumns()
{
    const int width = (HandleAllocated() ? ViewWidth() : Width()) - TextLeft();
    return std::max(width / CharWidth(), 1);
}

int TCustomEasyEdit::WrapCells()
{
    if (options_ & eoBreakWordsAtMargin)
        return std::max(margin_.Position(), 1);
    // Two pixels stay free right of the text, as for the caret.
    return std::max((ViewWidth() - TextLeft() - 2) / CharWidth(), 1);
}

void TCustomEasyEdit::RebuildRows(int from, int to)
{
    if (!Wrapping()) {
        rows_.Clear();
        return;
    }
    if (!HandleAllocated())
        return;
    layout_.Fits = GridFits(WrapCells());
    layout_.Rebuild(rows_, from, to, topRow_);
}

void TCustomEasyEdit::Rewrap()
{
    if (!Wrapping() || !HandleAllocated())
        return;
    // The old rows still tell which line is at the top.
    const int topLine = RowToLine(topRow_);
    layout_.Reset(rows_);
    RebuildRows(0, TEasyRowLayout::ToTheEnd);
    ShowLineAtTop(topLine);
}

void TCustomEasyEdit::ShowLineAtTop(int line)
{
    if (Wrapping() && HandleAllocated()) {
        TEasyWrapPos rowPos;
        topRow_ = rows_.TextToRow({0, line}, false, rowPos) ? rowPos.Y : 0;
        wrapCells_ = WrapCells();
    } else {
        topRow_ = Lines().AllowHiddenLines() ? Lines().LineToRow(line) : line;
    }
    topRow_ = std::clamp(topRow_, 0, LastTopRow());
    if (pageType_ == TEasyPageType::ptPageLayout) {
        pixelTop_ = RowViewTop(topRow_);
        KeepPixelTopInRange();
    }
}

void TCustomEasyEdit::BuildAllRows()
{
    if (!Wrapping() || !HandleAllocated())
        return;
    const int count = Lines().Count();
    if (layout_.LastBuiltLine() < count - 1)
        layout_.Rebuild(rows_, layout_.LastBuiltLine() + 1, count - 1, topRow_);
}

int TCustomEasyEdit::RowCount()
{
    int64_t rows;
    if (Wrapping() && HandleAllocated())
        rows = layout_.EstimatedRows(rows_);
    else
        rows = int64_t(Lines().Count()) - Lines().HiddenCount();
    if (options_ & eoPaintFormattingMarks)
        ++rows;
    return static_cast<int>(std::min<int64_t>(rows, INT_MAX));
}

bool TCustomEasyEdit::RowRange(int row, int& line, int& startColumn, int& endColumn)
{
    if (row < 0)
        return false;
    if (Wrapping() && HandleAllocated()) {
        rows_.EnsureRows(row, true);
        if (row >= rows_.Count())
            return false;
        const TEasyWrapRow& item = rows_.Items(row);
        line = item.Line;
        startColumn = item.StartCol;
        endColumn = item.EndCol;
        return true;
    }
    line = Lines().AllowHiddenLines() ? Lines().RowToLine(row) : row;
    startColumn = 0;
    endColumn = INT_MAX;
    return line < Lines().Count();
}

int TCustomEasyEdit::RowToLine(int row)
{
    int line = 0, start = 0, end = 0;
    if (RowRange(row, line, start, end))
        return line;
    // Past the text: the row after the last line.
    return std::max(Lines().Count(), 0);
}

int TCustomEasyEdit::CaretRow()
{
    const TCustomEasyEditSource& source = *GetEditSource();
    if (Wrapping() && HandleAllocated()) {
        TEasyWrapPos rowPos;
        if (rows_.TextToRow({source.CaretX(), source.CaretY()}, false, rowPos))
            return rowPos.Y;
        // The caret beyond the last line.
        return static_cast<int>(layout_.EstimatedRows(rows_) + (source.CaretY() - Lines().Count()));
    }
    return Lines().AllowHiddenLines() ? Lines().LineToRow(source.CaretY()) : source.CaretY();
}

void TCustomEasyEdit::UpdateLineNumberWidth()
{
    const bool beyond = (lineNumbers_.Options() & lnPaintBeyondEof) != 0;
    const int64_t highestVisible = beyond ? int64_t(RowToLine(topRow_)) + VisibleRows() + lineNumbers_.StartFrom() : 0;
    const int digits = qrv::LineNumberDigits(Lines().Count(), lineNumbers_.StartFrom(), beyond, highestVisible);
    // The digits in the text's font, the indent, and half a character of room
    // before the gutter's two edge lines, so that no number touches the text.
    constexpr int kEdgeLines = 2;
    const int width =
        lineNumbers_.Visible() ? digits * CharWidth() + lineNumbers_.Indent() + CharWidth() / 2 + kEdgeLines : 0;
    if (digits == lineNumberDigits_ && width == lineNumberWidth_)
        return;
    lineNumberDigits_ = digits;
    lineNumberWidth_ = width;
    Rewrap();
    Invalidate();
}

// ---- caret and selection -----------------------------------------------------

int TCustomEasyEdit::CaretX()
{
    return GetEditSource()->CaretX();
}

int TCustomEasyEdit::CaretY()
{
    return GetEditSource()->CaretY();
}

void TCustomEasyEdit::SetCaretPos(int x, int y)
{
    GetEditSource()->SetCaretPos(x, y);
    MakeCaretVisible();
    UpdateCaretPos();
}

POINT TCustomEasyEdit::GetCaretDisplayPos()
{
    const TCustomEasyEditSource& source = *GetEditSource();
    if (wordWrap_ && HandleAllocated()) {
        TEasyWrapPos rowPos;
        if (rows_.TextToRow({source.CaretX(), source.CaretY()}, false, rowPos))
            return POINT{rowPos.X, rowPos.Y};
    }
    return POINT{source.CaretX(), source.CaretY()};
}

void TCustomEasyEdit::MakeCaretVisible(bool center)
{
    if (!HandleAllocated())
        return;
    const int row = CaretRow();
    const int rows = VisibleRows();
    int top = center ? CenterRow(topRow_, row, rows) : KeepRowVisible(topRow_, row, rows);
    top = std::clamp(top, 0, std::max(LastTopRow(), row));
    int left = leftColumn_;
    if (!Wrapping()) {
        // The caret's column within the client width less 2 pixels.
        const int column = GetEditSource()->CaretX();
        const int columns = std::max((ViewWidth() - TextLeft() - 2) / CharWidth(), 1);
        if (column < left)
            left = column;
        else if (column >= left + columns)
            left = column - columns + 1;
    }
    if (pageType_ == TEasyPageType::ptPageLayout) {
        // The caret's row, wherever it stands on its sheet, by pixels.
        const int rowTop = RowTopInDocument(row);
        const int rowBottom = rowTop + LineHeight();
        const int height = ViewHeight();
        ScrollToPixel(center ? CenterSpan(pixelTop_, rowTop, rowBottom, height)
                             : KeepSpanVisible(pixelTop_, rowTop, rowBottom, height),
                      left);
        return;
    }
    ScrollView(top, left);
}

void TCustomEasyEdit::UpdateCaretPos()
{
    if (!caretCreated_ || !HandleAllocated())
        return;
    const TCustomEasyEditSource& source = *GetEditSource();
    POINT point = TextToView({source.CaretX(), source.CaretY()});
    // A caret left of the text or above the view is parked out of sight.
    const POINT origin = ViewOrigin();
    if (point.x < TextAreaLeft() || point.y < 0)
        point = POINT{-2 * LineHeight() - origin.x, -2 * LineHeight() - origin.y};
    ::SetCaretPos(point.x + origin.x, point.y + origin.y);
}

void TCustomEasyEdit::ShowCaretNow()
{
    if (caretCreated_ || !HandleAllocated())
        return;
    const int width = hideCaret_ ? 0 : 2;
    CreateCaret(handle_, nullptr, width, LineHeight());
    caretCreated_ = true;
    UpdateCaretPos();
    if (!hideCaret_)
        ShowCaret(handle_);
}

void TCustomEasyEdit::KillCaret()
{
    if (!caretCreated_)
        return;
    ::HideCaret(handle_);
    DestroyCaret();
    caretCreated_ = false;
}

void TCustomEasyEdit::SetSelection(TEasyPoint start, TEasyPoint end, int mode)
{
    if (!(options_ & eoEnableSelection))
        return;
    const int allowed = AdjustSelMode(blockSelMode_, mode, CanBlockSelect());
    const TEasySelCorners corners = OrderSelCorners(start, end, allowed, (options_ & eoReduceBlockSel) != 0);
    selMode_ = corners.Empty ? smNone : allowed;
    // A mode the editor does not allow selects nothing.
    const bool refused = allowed == smNone;
    selStart_ = refused ? TEasyPoint{} : corners.Start;
    selEnd_ = refused ? TEasyPoint{} : corners.End;
    Invalidate();
    DoSelectionChanged();
}

bool TCustomEasyEdit::CanBlockSelect()
{
    return !Wrapping() && !GetSystemMetrics(SM_DBCSENABLED);
}

void TCustomEasyEdit::SetBlockSelMode(TEasyBlockSelMode mode)
{
    if (mode == blockSelMode_)
        return;
    blockSelMode_ = mode;
    if (selMode_ != smNone)
        SetSelection(selStart_, selEnd_, selMode_);
}

void TCustomEasyEdit::ClearSelection()
{
    if (selMode_ == 0)
        return;
    selMode_ = 0;
    selStart_ = selEnd_ = TEasyPoint{};
    Invalidate();
}

void TCustomEasyEdit::SelectAll()
{
    const TEasyPoint end = CharIndexToPos(charIndex_->TextLength());
    SetSelection({0, 0}, end);
}

int64_t TCustomEasyEdit::PosToCharIndex(TEasyPoint pos)
{
    // Display columns become characters through the tab stops.
    int column = pos.X;
    const TCustomEasyEditSource& source = *GetEditSource();
    if ((source.Options() & srUseTab) && pos.Y >= 0 && pos.Y < Lines().Count()) {
        int inside = 0, width = 0;
        column = source.TabStopList().ColumnToIndex(Lines().GetStored(pos.Y), pos.X, inside, width);
    }
    return charIndex_->IndexOf({column, pos.Y});
}

TEasyPoint TCustomEasyEdit::CharIndexToPos(int64_t index)
{
    const TEasyCharPos pos = charIndex_->PosOf(index);
    int column = pos.Column;
    const TCustomEasyEditSource& source = *GetEditSource();
    if ((source.Options() & srUseTab) && column > 0)
        column = source.TabStopList().IndexToColumn(Lines().GetStored(pos.Line), column - 1) + 1;
    return {column, pos.Line};
}

int64_t TCustomEasyEdit::SelectedLength()
{
    if (selMode_ == smNone)
        return 0;
    if (selMode_ == smBlock)
        return static_cast<int64_t>(BlockText().size());
    return PosToCharIndex(selEnd_) - PosToCharIndex(selStart_);
}

std::u16string TCustomEasyEdit::BlockText()
{
    // The block's lines as the selection's line list reads them: the
    // columns inside the block, padded with blanks to its width.
    class TBlockView : public TEasySelectionView {
    public:
        TBlockView(TCustomEasyEdit& edit, TEasyBlockColumns columns) : edit_(edit), columns_(columns) {}
        std::u16string Line(int index) const override { return std::u16string(edit_.Lines().GetStored(index)); }
        int LineCount() const override { return edit_.Lines().Count(); }
        int SelStartX() const override { return columns_.Left; }
        int SelStartY() const override { return edit_.selStart_.Y; }
        int SelEndX() const override { return columns_.Right; }
        int SelEndY() const override { return edit_.selEnd_.Y; }
        bool BlockMode() const override { return true; }
        // Display columns pass through the tab stops where tabs are kept.
        const TTabStopList* TabStops() const override
        {
            const TCustomEasyEditSource& source = *edit_.GetEditSource();
            return (source.Options() & srUseTab) ? &source.TabStopList() : nullptr;
        }

    private:
        TCustomEasyEdit& edit_;
        TEasyBlockColumns columns_;
    };
    TBlockView view(*this, BlockColumns(selStart_, selEnd_, (options_ & eoReduceBlockSel) != 0));
    const TEasySelStrings lines(view);
    std::u16string text;
    for (int i = 0, count = lines.Count(); i < count; ++i) {
        if (i > 0)
            text += u"\r\n";
        text += lines.Get(i);
    }
    return text;
}

int TCustomEasyEdit::GetSelLength()
{
    return static_cast<int>(std::min<int64_t>(SelectedLength(), INT_MAX));
}

std::u16string TCustomEasyEdit::TextBetween(int64_t start, int64_t end)
{
    std::u16string text;
    if (end <= start)
        return text;
    const TEasyCharPos from = charIndex_->PosOf(start);
    const TEasyCharPos to = charIndex_->PosOf(end);
    for (int line = from.Line; line <= to.Line; ++line) {
        const std::u16string_view stored = Lines().GetStored(line);
        const size_t first = line == from.Line ? size_t(from.Column) : 0;
        const size_t last = line == to.Line ? size_t(to.Column) : stored.size();
        text.append(stored.substr(first, last - std::min(first, last)));
        if (line < to.Line)
            text += u"\r\n";
    }
    return text;
}

std::wstring TCustomEasyEdit::SelText()
{
    if (selMode_ == smNone)
        return {};
    if (selMode_ == smBlock)
        return ToWide(BlockText());
    return ToWide(TextBetween(PosToCharIndex(selStart_), PosToCharIndex(selEnd_)));
}

void TCustomEasyEdit::Undo()
{
    GetEditSource()->Undo();
}

bool TCustomEasyEdit::CanUndo()
{
    return !GetReadOnly() && GetEditSource()->CanUndo();
}

// ---- coordinates -------------------------------------------------------------

POINT TCustomEasyEdit::TextToClient(TEasyPoint pos)
{
    const POINT view = TextToView(pos);
    const POINT origin = ViewOrigin();
    return POINT{view.x + origin.x, view.y + origin.y};
}

TEasyPoint TCustomEasyEdit::ClientToText(POINT point)
{
    const POINT origin = ViewOrigin();
    return ViewToText(POINT{point.x - origin.x, point.y - origin.y});
}

POINT TCustomEasyEdit::TextToView(TEasyPoint pos)
{
    int row = 0;
    int column = pos.X;
    if (Wrapping() && HandleAllocated()) {
        TEasyWrapPos rowPos;
        if (rows_.TextToRow({pos.X, pos.Y}, false, rowPos)) {
            row = rowPos.Y;
            column = rowPos.X;
        } else {
            row = static_cast<int>(layout_.EstimatedRows(rows_) + (pos.Y - Lines().Count()));
        }
    } else {
        row = Lines().AllowHiddenLines() ? Lines().LineToRow(pos.Y) : pos.Y;
    }
    const int64_t x = TextAreaLeft() + (int64_t(column) - leftColumn_) * CharWidth();
    const int64_t y = RowTop(row);
    return POINT{static_cast<LONG>(std::clamp<int64_t>(x, INT_MIN / 2, INT_MAX / 2)),
                 static_cast<LONG>(std::clamp<int64_t>(y, INT_MIN / 2, INT_MAX / 2))};
}

TEasyPoint TCustomEasyEdit::ViewToText(POINT point)
{
    const int64_t row = RowAtY(point.y);
    // The nearest character boundary; a point just in the middle of a
    // character belongs before it, as in the system's edit control.
    const int64_t cells = (std::max<LONG>(point.x - TextAreaLeft(), 0) + (CharWidth() - 1) / 2) / CharWidth();
    const int clampedRow = static_cast<int>(std::min<int64_t>(row, INT_MAX));
    int line = 0, start = 0, end = 0;
    if (!RowRange(clampedRow, line, start, end)) {
        // Below the text: the last row, at the point's column.
        int lastRow = Lines().Count() - Lines().HiddenCount() - 1;
        if (Wrapping() && HandleAllocated()) {
            BuildAllRows();
            lastRow = rows_.Count() - 1;
        }
        if (!RowRange(lastRow, line, start, end))
            return {0, 0};
    }
    int64_t column = int64_t(start) + leftColumn_ * int64_t(!Wrapping()) + cells;
    if (end != INT_MAX)
        column = std::min<int64_t>(column, end);
    return {static_cast<int>(std::min<int64_t>(column, INT_MAX - 1)), line};
}

char16_t TCustomEasyEdit::GetFormattingMark(int kind)
{
    char16_t mark = DefaultFormattingMarks[size_t(std::clamp(kind, 0, 3))];
    if (OnGetFormattingMark)
        OnGetFormattingMark(this, kind, mark);
    return mark;
}

// ---- window ------------------------------------------------------------------

void TCustomEasyEdit::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TEasyEdit";
    params.ClassStyle = CS_DBLCLKS;
    params.Style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL;
    if (borderStyle_ == TEasyBorderStyle::bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEasyEdit::CreateWindowHandle(const TCreateParams& params)
{
    TCustomControl::CreateWindowHandle(params);
    if (!handle_)
        return;
    // Flat scroll bars where the system has them; plain ones elsewhere.
    if (flatScrollBars_ && !InitializeFlatScrollBars(handle_))
        TraceIgnoredFailure(L"editor: flat scroll bars", GetLastError());
    background_.SetClientSize(ViewWidth(), ViewHeight());
    background_.SetBrushColor(Color());
    vertBar_ = horzBar_ = TBarState{};
    vertPicture_ = horzPicture_ = SCROLLBARINFO{};
    wrapCells_ = Wrapping() ? WrapCells() : 0;
    layout_.Reset(rows_);
    RebuildRows(0, TEasyRowLayout::ToTheEnd);
    UpdateLineNumberWidth();
    UpdateScrollBars();
    UpdateRulers();
}

void TCustomEasyEdit::DestroyWnd()
{
    mouse_.Reset();
    KillCaret();
    if (hint_)
        hint_->Hide();
    if (ownerHint_)
        ownerHint_->Hide();
    CloseList();
    TCustomControl::DestroyWnd();
}

}  // namespace qrv

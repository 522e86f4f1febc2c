// The editor's window messages: scrolling (bars, wheel, commands), the
// caret and focus, keys of the key map that move the caret, a click that
// places it, and the edit-control messages other programs send.

#include "editor/win/EasyEditor.h"

#include "editor/EasyEditMessages.h"
#include "editor/EasyEditScroll.h"
#include "common/win/FileClipboard.h"
#include "editor/WideText.h"
#include "editor/win/EasyHint.h"
#include "framework/ScopeExit.h"

#include <imm.h>
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace qrv {

namespace {

// Two scroll bars look alike: same place, thumb and part states. A bar not
// known (cbSize 0) looks like no other.
bool SameBarPicture(const SCROLLBARINFO& a, const SCROLLBARINFO& b)
{
    return a.cbSize != 0 && b.cbSize != 0 && EqualRect(&a.rcScrollBar, &b.rcScrollBar) &&
           a.dxyLineButton == b.dxyLineButton && a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom &&
           std::equal(std::begin(a.rgstate), std::end(a.rgstate), b.rgstate);
}

// The input method's finished result in full: its length asked first, then
// read as UTF-16 (an ANSI read into a fixed buffer would cut and convert it).
std::wstring ReadImeResult(HIMC context)
{
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes <= 0)
        return {};
    std::wstring text(size_t(bytes) / sizeof(wchar_t), L'\0');
    const LONG read = ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), DWORD(bytes));
    text.resize(read > 0 ? std::min(size_t(read) / sizeof(wchar_t), text.size()) : 0);
    return text;
}

// The window's input context for the time of a call.
class TImeContext {
public:
    explicit TImeContext(HWND window) : window_(window), context_(ImmGetContext(window)) {}
    ~TImeContext()
    {
        if (context_)
            ImmReleaseContext(window_, context_);
    }
    TImeContext(const TImeContext&) = delete;
    TImeContext& operator=(const TImeContext&) = delete;
    HIMC Get() const { return context_; }

private:
    HWND window_;
    HIMC context_;
};

}  // namespace

// ---- the input method -----------------------------------------------------------

void TCustomEasyEdit::PlaceImeWindow()
{
    const TImeContext context(handle_);
    if (!context.Get())
        return;
    const TCustomEasyEditSource& source = *GetEditSource();
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = TextToClient({source.CaretX(), source.CaretY()});
    ImmSetCompositionWindow(context.Get(), &form);
}

void TCustomEasyEdit::SetImeFont()
{
    const TImeContext context(handle_);
    LOGFONTW font{};
    if (context.Get() && GetObjectW(Font().Handle(), sizeof font, &font))
        ImmSetCompositionFontW(context.Get(), &font);
}

// ---- scrolling ---------------------------------------------------------------

void TCustomEasyEdit::SetTopRow(int row)
{
    ScrollView(std::clamp(row, 0, LastTopRow()), leftColumn_);
}

void TCustomEasyEdit::SetLeftColumn(int column)
{
    ScrollView(topRow_, std::max(column, 0));
}

void TCustomEasyEdit::ScrollView(int newTop, int newLeft)
{
    newTop = std::max(newTop, 0);
    newLeft = std::max(newLeft, 0);
    if (newTop == topRow_ && newLeft == leftColumn_)
        return;
    if (pageType_ == TEasyPageType::ptPageLayout) {
        // A new row goes to the top; the view itself moves by pixels.
        ScrollToPixel(newTop == topRow_ ? pixelTop_ : RowViewTop(newTop), newLeft);
        return;
    }
    const int64_t dy = (int64_t(topRow_) - newTop) * LineHeight();
    const int64_t dx = (int64_t(leftColumn_) - newLeft) * CharWidth();
    const bool oneDirection = (dy == 0) != (dx == 0);
    topRow_ = newTop;
    leftColumn_ = newLeft;
    if (HandleAllocated()) {
        // The view's part of the client area, right of and below the rulers.
        const POINT origin = ViewOrigin();
        const int width = ViewWidth(), height = ViewHeight();
        const RECT view{origin.x, origin.y, origin.x + width, origin.y + height};
        if (background_.Active()) {
            // Rows over a picture that stays: no uniform shift.
            Invalidate();
        } else if (oneDirection && dy != 0 && std::abs(dy) < height / 2) {
            // The rows move whole, gutter and numbers with them.
            ScrollWindowEx(handle_, 0, static_cast<int>(dy), &view, &view, nullptr, nullptr, SW_INVALIDATE);
            UpdateWindow(handle_);
        } else if (oneDirection && dx != 0 && std::abs(dx) < (width - TextLeft()) / 2) {
            const RECT area{origin.x + TextLeft(), origin.y, view.right, view.bottom};
            ScrollWindowEx(handle_, static_cast<int>(dx), 0, &area, &area, nullptr, nullptr, SW_INVALIDATE);
            UpdateWindow(handle_);
        } else {
            Invalidate();
        }
    }
    ViewMoved();
}

void TCustomEasyEdit::ViewMoved()
{
    if (lineNumbers_.Options() & lnPaintBeyondEof)
        UpdateLineNumberWidth();
    if (TCustomEasyEditSource* source = GetEditSource(); source->Parser()) {
        const int top = RowToLine(topRow_);
        source->EnsureParsed(top, top + TEasyRowLayout::RowsAhead);
    }
    UpdateScrollBars();
    UpdateCaretPos();
    UpdateRulers();
}

int TCustomEasyEdit::LongestLineLength()
{
    return longestLine_.Length(Lines());
}

int TCustomEasyEdit::HorzRange()
{
    if (Wrapping())
        return 0;
    // The sheets scroll: the range is the widest sheet with its gutters.
    if (pageType_ == TEasyPageType::ptPageLayout) {
        const int charWidth = std::max(CharWidth(), 1);
        return (EasyDocumentWidth(pages_, PageMetrics()) + charWidth - 1) / charWidth;
    }
    if (hideScrollBars_)
        return LongestLineLength();
    return maxScrollPos_;
}

SCROLLBARINFO TCustomEasyEdit::BarPicture(int bar)
{
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    if (!GetScrollBarInfo(handle_, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info))
        info.cbSize = 0;
    return info;
}

void TCustomEasyEdit::UpdateScrollBars()
{
    if (!HandleAllocated() || settingScrollBars_)
        return;
    settingScrollBars_ = true;
    ScopeExit done([this] { settingScrollBars_ = false; });
    const UINT keep = hideScrollBars_ ? 0 : SIF_DISABLENOSCROLL;
    // A bar is set only when something of it changed: each setting redraws it.
    auto set = [&](int bar, TBarState state) {
        TBarState& last = bar == SB_VERT ? vertBar_ : horzBar_;
        if (state == last)
            return;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
        if (state.Max == last.Max && state.Page == last.Page && state.Hide == last.Hide)
            info.fMask = SIF_POS;
        info.nMax = state.Max;
        info.nPage = static_cast<UINT>(state.Page);
        info.nPos = state.Pos;
        SCROLLBARINFO& picture = bar == SB_VERT ? vertPicture_ : horzPicture_;
        const int lastPos = last.Pos;
        last = state;
        if (info.fMask == SIF_POS && lastPos != state.Pos) {
            // In a long text a page moves the thumb by less than a pixel, and
            // drawing the bar costs more than drawing the page: the bar is
            // drawn only when its thumb lands on other pixels.
            SetScrollInfo(handle_, bar, &info, FALSE);
            if (SameBarPicture(picture, BarPicture(bar)))
                return;
            // The system draws a bar only for a position that differs from the
            // one it holds.
            info.nPos = lastPos;
            SetScrollInfo(handle_, bar, &info, FALSE);
            info.nPos = state.Pos;
        }
        SetScrollInfo(handle_, bar, &info, TRUE);
        picture = BarPicture(bar);
    };
    if (pageType_ == TEasyPageType::ptPageLayout)
        set(SB_VERT, {std::max(DocumentHeight() - 1, 0), ViewHeight(), pixelTop_, hideScrollBars_, true});
    else
        set(SB_VERT, {std::max(RowCount() - 1, 0), VisibleRows(), topRow_, hideScrollBars_, true});
    if (Wrapping() && hideScrollBars_) {
        if (horzBar_.Shown)
            ShowScrollBar(handle_, SB_HORZ, FALSE);
        horzBar_ = {0, 0, 0, true, false};
        return;
    }
    set(SB_HORZ, {std::max(HorzRange() - 1, 0), VisibleColumns(), leftColumn_, hideScrollBars_, true});
}

void TCustomEasyEdit::Scroll(bool vertical, int code, int thumb)
{
    // Setting the bars sends scroll messages of its own.
    if (settingScrollBars_)
        return;
    const bool tracking = (options_ & eoThumbTracking) != 0;
    if (vertical && pageType_ == TEasyPageType::ptPageLayout) {
        // Pixels over the sheets; the bottom is known once all are laid out.
        if (code == scBottom) {
            BuildAllRows();
            LayOutPagesBelow(INT_MAX);
        }
        const TEasyScrollState state{pixelTop_, LastPixelTop(), ViewHeight(), LineHeight()};
        if (code == scThumbTrack || code == scEndScroll)
            UpdateScrollHint(code);
        ScrollToPixel(ScrollTarget(state, code, thumb, tracking), leftColumn_);
    } else if (vertical) {
        if (code == scBottom)
            BuildAllRows();
        const TEasyScrollState state{topRow_, LastTopRow(), VisibleRows()};
        if (code == scThumbTrack || code == scEndScroll)
            UpdateScrollHint(code);
        ScrollView(ScrollTarget(state, code, thumb, tracking), leftColumn_);
    } else {
        const TEasyScrollState state{leftColumn_, std::max(HorzRange(), 0), VisibleColumns()};
        ScrollView(topRow_, ScrollTarget(state, code, thumb, tracking));
    }
    DoScroll(vertical, code);
}

void TCustomEasyEdit::MouseWheel(int delta)
{
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    const int64_t rows = WheelRows(wheelDelta_, delta, lines, VisibleRows());
    if (rows == 0)
        return;
    ScrollByRows(rows);
    DoScroll(true, rows < 0 ? scLineUp : scLineDown);
}

void TCustomEasyEdit::ScrollByRows(int64_t rows)
{
    if (pageType_ == TEasyPageType::ptPageLayout)
        ScrollToPixel(ClampedAdd(pixelTop_, rows * LineHeight(), INT_MAX), leftColumn_);
    else
        ScrollView(ClampedAdd(topRow_, rows, LastTopRow()), leftColumn_);
}

void TCustomEasyEdit::ScrollByPages(int pages)
{
    if (pageType_ == TEasyPageType::ptPageLayout)
        ScrollToPixel(ClampedAdd(pixelTop_, int64_t(pages) * ViewHeight(), INT_MAX), leftColumn_);
    else
        ScrollByRows(int64_t(pages) * VisibleRows());
}

void TCustomEasyEdit::UpdateScrollHint(int code)
{
    if (!(options_ & eoShowScrollHint) || !HandleAllocated())
        return;
    if (code == scEndScroll) {
        if (hint_)
            hint_->Hide();
        return;
    }
    if (code != scThumbTrack)
        return;
    int row = topRow_;
    if (!(options_ & eoThumbTracking)) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(handle_, SB_VERT, &info))
            row = pageType_ == TEasyPageType::ptPageLayout ? RowAtDocumentY(info.nTrackPos) : info.nTrackPos;
    }
    const int line = RowToLine(row);
    std::wstring text = L"\\rtf\\b Line : \\b0 " + std::to_wstring(line + 1) + L" ";
    DoScrollHint(line, 0, text);
    if (!hint_)
        hint_ = new TEasyHint(this);
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT window{};
    GetWindowRect(handle_, &window);
    const SIZE size = hint_->MeasureCaption(text);
    const LONG y = std::clamp<LONG>(cursor.y, window.top, std::max<LONG>(window.top, window.bottom - size.cy));
    hint_->ShowAt(POINT{window.right - GetSystemMetrics(SM_CXVSCROLL) - size.cx - 4, y}, text);
}

// ---- keys ----------------------------------------------------------------------

bool TCustomEasyEdit::ExecuteCommand(int code)
{
    commands_.HideCaret = hideCaret_;
    const bool done = commands_.Execute(TEasyKeyHandler::ExecuteCommand, code);
    // A move also from an editor without the focus shows the caret.
    if (done && code != 49 && code != 50 && !hideCaret_)
        MakeCaretVisible();
    UpdateCaretPos();
    return done;
}

bool TCustomEasyEdit::MoveCaretByRows(int rows)
{
    if (!Wrapping() || !HandleAllocated())
        return false;
    TCustomEasyEditSource& source = *GetEditSource();
    TEasyWrapPos rowPos;
    if (!rows_.TextToRow({source.CaretX(), source.CaretY()}, false, rowPos))
        return false;
    TEasyWrapPos target;
    const int row = ClampedAdd(rowPos.Y, rows, std::max(RowCount() - 1, 0));
    if (!rows_.RowToText({rowPos.X, row}, target))
        return false;
    source.SetCaretPos(target.X, target.Y);
    return true;
}

bool TCustomEasyEdit::ViewCommand(int code)
{
    TCustomEasyEditSource& source = *GetEditSource();
    // Without a caret the cursor keys move the view instead.
    if (hideCaret_ && code >= 0 && code <= 3) {
        const int rows = code == 0 ? -1 : code == 1 ? 1 : 0;
        const int columns = code == 2 ? -1 : code == 3 ? 1 : 0;
        if (rows != 0)
            ScrollByRows(rows);
        else if (!Wrapping())
            ScrollView(topRow_, ClampedAdd(leftColumn_, columns, maxScrollPos_));
        return true;
    }
    switch (code) {
    case 14:
    case 15: {
        const int row = code == 14 ? topRow_ : topRow_ + VisibleRows() - 1;
        const TEasyPoint target = ViewToText(POINT{TextAreaLeft(), RowTop(row)});
        source.SetCaretPos(source.CaretX(), target.Y);
        return true;
    }
    case 49:
        ScrollByRows(-1);
        return true;
    case 50:
        ScrollByRows(1);
        return true;
    case 52:
        MakeCaretVisible(true);
        return true;
    default:
        return false;
    }
}

int TCustomEasyEdit::ColumnToX(int line, int column)
{
    return TextToView({column, line}).x;
}

int TCustomEasyEdit::XToColumn(int line, int x)
{
    const POINT at = TextToView({0, line});
    return ViewToText(POINT{x, at.y}).X;
}

void TCustomEasyEdit::StoreSelection(TEasyPoint start, TEasyPoint end, int mode)
{
    if (mode == smNone)
        ClearSelection();
    else
        SetSelection(start, end, mode);
}

namespace {

// The clipboard's sequence number after this program's last block copy:
// only that very text pastes as a rectangle, in every editor of the process.
DWORD blockCopySequence = 0;

}  // namespace

bool TCustomEasyEdit::PutOnClipboard(const std::u16string& text, bool block)
{
    const DWORD sequence = PutTextOnClipboard(handle_, text);
    if (sequence == 0)
        return false;
    blockCopySequence = block ? sequence : 0;
    return true;
}

std::optional<std::u16string> TCustomEasyEdit::ReadClipboard(bool& block)
{
    block = blockCopySequence != 0 && blockCopySequence == GetClipboardSequenceNumber();
    return ReadClipboardText(handle_);
}

void TCustomEasyEdit::Beep()
{
    MessageBeep(MB_OK);
}

std::wstring TCustomEasyEdit::GetSelText()
{
    return ToWide(commands_.SelText());
}

void TCustomEasyEdit::SetSelText(const std::wstring& text)
{
    commands_.SetSelText(std::u16string(text.begin(), text.end()));
}

bool TCustomEasyEdit::KeyDown(WORD key)
{
    TEasyShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    // Enter and Tab belong to the form unless the editor wants them; with
    // Ctrl held they are looked up as if no modifier were.
    if ((key == VK_RETURN && !wantReturns_) || (key == VK_TAB && !wantTabs_)) {
        if (!(shift & ssCtrl))
            return false;
        shift = 0;
    }
    keyHandled_ = false;
    // The owner's hint lasts until the next key.
    if (ownerHint_ && ownerHint_->Visible())
        ownerHint_->Hide();
    // Incremental search takes Back and Esc; its characters come as WM_CHAR.
    if (search_.IncrementalActive() && keyState_ == 0 && (shift & (ssCtrl | ssAlt)) == 0 &&
        (key == VK_BACK || key == VK_ESCAPE)) {
        if (key == VK_BACK)
            search_.IncrementalBack();
        else
            search_.EndIncrementalSearch();
        keyHandled_ = true;
        MakeCaretVisible();
        UpdateCaretPos();
        return true;
    }
    const TEasyKeyData* binding = keys_.GetBinding(key, shift, keyState_);
    if (!binding) {
        keyState_ = 0;
        return false;
    }
    keyState_ = binding->NextState;
    keyHandled_ = true;
    const TEasyKeyHandler handler = binding->Handler;
    const int code = binding->Command;
    const bool moves = handler == TEasyKeyHandler::ExecuteCommand ||
                       handler == TEasyKeyHandler::MoveExtendingSelection ||
                       handler == TEasyKeyHandler::MoveExtendingColumnSelection;
    // A page move takes the view with it by the same rows.
    if (moves)
        search_.EndIncrementalSearch();
    if (moves && (code == 4 || code == 5) && !Wrapping())
        ScrollByRows(code == 4 ? -std::max(VisibleRows() - 1, 1) : std::max(VisibleRows() - 1, 1));
    if (handler == TEasyKeyHandler::ExecuteCommand) {
        ExecuteCommand(code);
        return true;
    }
    commands_.HideCaret = hideCaret_;
    commands_.Execute(handler, code);
    if (moves)
        MakeCaretVisible();
    UpdateCaretPos();
    return true;
}

bool TCustomEasyEdit::KeyPress(wchar_t c)
{
    if (std::exchange(keyHandled_, false))
        return true;
    if (keyState_ != 0)
        return true;
    // The input method's result is typed whole with its last character.
    if (imeLeft_ > 0) {
        if (--imeLeft_ == 0 && !imeResult_.empty()) {
            const auto last = static_cast<char16_t>(imeResult_.back());
            completion_.BeforeTyping(last);
            commands_.TypeText(std::u16string(imeResult_.begin(), imeResult_.end()));
            completion_.AfterTyping(last);
        }
        return true;
    }
    if (c < 32 || c == 127)
        return false;
    if (search_.IncrementalActive()) {
        search_.IncrementalChar(static_cast<char16_t>(c));
        MakeCaretVisible();
        UpdateCaretPos();
        return true;
    }
    completion_.BeforeTyping(static_cast<char16_t>(c));
    commands_.TypeChar(static_cast<char16_t>(c));
    completion_.AfterTyping(static_cast<char16_t>(c));
    return true;
}

// ---- edit-control messages ----------------------------------------------------

bool TCustomEasyEdit::EditMessage(TMessage& message)
{
    // Edit messages carry 32-bit indexes; -1 arrives as either sign.
    auto asIndex = [](uintptr_t value) { return int64_t(static_cast<int32_t>(value)); };
    TCustomEasyEditSource& source = *GetEditSource();
    switch (message.Msg) {
    case EM_GETSEL: {
        TEasyCharRange range;
        if (selMode_ != 0)
            range = {PosToCharIndex(selStart_), PosToCharIndex(selEnd_)};
        else
            range.Start = range.End = PosToCharIndex(source.CaretPoint());
        if (auto* start = reinterpret_cast<DWORD*>(message.WParam))
            *start = static_cast<DWORD>(range.Start);
        if (auto* end = reinterpret_cast<DWORD*>(message.LParam))
            *end = static_cast<DWORD>(range.End);
        message.Result = static_cast<LRESULT>(PackedSelection(range));
        return true;
    }
    case EM_EXGETSEL: {
        if (auto* range = reinterpret_cast<CHARRANGE*>(message.LParam)) {
            const TEasyPoint start = selMode_ ? selStart_ : source.CaretPoint();
            const TEasyPoint end = selMode_ ? selEnd_ : source.CaretPoint();
            range->cpMin = static_cast<LONG>(PosToCharIndex(start));
            range->cpMax = static_cast<LONG>(PosToCharIndex(end));
        }
        message.Result = 0;
        return true;
    }
    case EM_SETSEL:
    case EM_EXSETSEL: {
        int64_t start = 0, end = 0;
        if (message.Msg == EM_SETSEL) {
            start = asIndex(message.WParam);
            end = asIndex(static_cast<uintptr_t>(message.LParam));
        } else if (const auto* range = reinterpret_cast<const CHARRANGE*>(message.LParam)) {
            start = range->cpMin;
            end = range->cpMax;
        }
        const TEasyCharRange range =
            SelectionRange(start, end, charIndex_->TextLength(), PosToCharIndex(source.CaretPoint()));
        const TEasyPoint from = CharIndexToPos(range.Start);
        const TEasyPoint to = CharIndexToPos(range.End);
        ClearSelection();
        source.SetCaretPos(to.X, to.Y);
        SetSelection(from, to);
        message.Result = static_cast<LRESULT>(range.End - range.Start);
        return true;
    }
    case EM_LINESCROLL:
        ScrollView(topRow_, ClampedAdd(leftColumn_, static_cast<int32_t>(message.WParam), INT_MAX));
        if (message.LParam != 0)
            ScrollByRows(static_cast<int32_t>(message.LParam));
        message.Result = 1;
        return true;
    case EM_GETMODIFY:
        message.Result = source.Modified();
        return true;
    case EM_GETLINECOUNT:
        // An empty text still has its one (empty) line, as in the system's edit.
        message.Result = std::max(Lines().Count(), 1);
        return true;
    case EM_LINEINDEX: {
        const int64_t line = asIndex(message.WParam);
        message.Result = static_cast<LRESULT>(line == -1 ? charIndex_->LineIndex(source.CaretY())
                                                         : charIndex_->LineIndex(static_cast<int>(line)));
        if (line == -1 && Lines().Count() == 0)
            message.Result = 0;
        return true;
    }
    case EM_GETLINE: {
        const int64_t line = asIndex(message.WParam);
        auto* buffer = reinterpret_cast<wchar_t*>(message.LParam);
        message.Result = 0;
        if (!buffer || line < 0 || line >= Lines().Count())
            return true;
        WORD size = 0;
        std::memcpy(&size, buffer, sizeof size);
        const std::u16string_view text = Lines().GetStored(static_cast<int>(line));
        const int64_t count = LineCopyLength(static_cast<int64_t>(text.size()), size);
        std::memcpy(buffer, text.data(), size_t(count) * sizeof(wchar_t));
        message.Result = static_cast<LRESULT>(count);
        return true;
    }
    case EM_CANUNDO:
        message.Result = CanUndo();
        return true;
    case EM_UNDO:
    case WM_UNDO:
        message.Result = CanUndo();
        if (message.Result)
            Undo();
        return true;
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR: {
        const int64_t index =
            message.Msg == EM_LINEFROMCHAR ? asIndex(message.WParam) : asIndex(static_cast<uintptr_t>(message.LParam));
        // -1: the caret's line (the selection's start line with a selection).
        if (index == -1)
            message.Result = selMode_ ? selStart_.Y : source.CaretY();
        else
            message.Result = charIndex_->LineFromChar(index);
        return true;
    }
    case EM_EMPTYUNDOBUFFER: {
        // Switching the undo records' shape clears both lists; switching
        // back restores the option.
        const TEasySourceOptions options = source.Options();
        source.SetOptions(options ^ srUndoOnlyChanges);
        source.SetOptions(options);
        message.Result = 0;
        return true;
    }
    case EM_GETFIRSTVISIBLELINE:
        message.Result = std::min(RowToLine(topRow_), std::max(Lines().Count() - 1, 0));
        return true;
    case EM_CANPASTE:
        message.Result = (message.WParam == 0 || message.WParam == CF_TEXT || message.WParam == CF_UNICODETEXT) &&
                         (IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT));
        return true;
    case EM_GETSELTEXT: {
        auto* buffer = reinterpret_cast<wchar_t*>(message.LParam);
        const std::wstring text = SelText();
        if (buffer) {
            std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            message.Result = static_cast<LRESULT>(text.size());
        } else {
            message.Result = 0;
        }
        return true;
    }
    case EM_HIDESELECTION:
        SetHideSelection(message.WParam != 0);
        message.Result = 0;
        return true;
    case EM_GETTEXTRANGE: {
        auto* request = reinterpret_cast<TEXTRANGEW*>(message.LParam);
        message.Result = 0;
        if (!request || !request->lpstrText)
            return true;
        TEasyCharRange range;
        if (!TextRange(request->chrg.cpMin, request->chrg.cpMax, charIndex_->TextLength(), range)) {
            request->lpstrText[0] = L'\0';
            return true;
        }
        const std::u16string text = TextBetween(range.Start, range.End);
        std::memcpy(request->lpstrText, text.data(), text.size() * sizeof(wchar_t));
        request->lpstrText[text.size()] = L'\0';
        message.Result = static_cast<LRESULT>(text.size());
        return true;
    }
    case EM_CHARFROMPOS: {
        // As the system's edit: client coordinates in, character index in
        // the low word and line in the high word out; -1 for a point
        // outside the client area.
        const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        RECT client{};
        GetClientRect(handle_, &client);
        if (!PtInRect(&client, point)) {
            message.Result = -1;
            return true;
        }
        const TEasyPoint pos = ClientToText(point);
        const int64_t index = PosToCharIndex(pos);
        message.Result = static_cast<LRESULT>(MAKELONG(LOWORD(index), LOWORD(pos.Y)));
        return true;
    }
    default:
        return false;
    }
}

// ---- the window procedure ------------------------------------------------------

void TCustomEasyEdit::WndProc(TMessage& message)
{
    if (EditMessage(message))
        return;
    if (MouseMessage(message))
        return;
    switch (message.Msg) {
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        if (wantTabs_)
            code |= DLGC_WANTTAB;
        if (!wantReturns_)
            code &= ~DLGC_WANTALLKEYS;
        message.Result = code;
        return;
    }
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_SIZE:
        DefaultHandler(message);
        background_.SetClientSize(ViewWidth(), ViewHeight());
        // Rows are cut again only when their width changed.
        if (Wrapping() && WrapCells() != wrapCells_)
            Rewrap();
        KeepPixelTopInRange();
        UpdateScrollBars();
        UpdateRulers();
        Invalidate();
        return;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const bool vertical = message.Msg == WM_VSCROLL;
        // The message's own position has 16 bits; the bar's track position has 32.
        int thumb = HIWORD(message.WParam);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(handle_, vertical ? SB_VERT : SB_HORZ, &info))
            thumb = info.nTrackPos;
        Scroll(vertical, LOWORD(message.WParam), thumb);
        message.Result = 0;
        return;
    }
    case WM_MOUSEWHEEL:
        MouseWheel(GET_WHEEL_DELTA_WPARAM(message.WParam));
        message.Result = 1;
        return;
    case WM_SETFOCUS:
        TCustomControl::WndProc(message);
        ShowCaretNow();
        Invalidate();
        return;
    case WM_KILLFOCUS:
        KillCaret();
        TCustomControl::WndProc(message);
        Invalidate();
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (KeyDown(static_cast<WORD>(message.WParam))) {
            message.Result = 0;
            return;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        keyHandled_ = false;
        completion_.KeyUp();
        break;
    case WM_TIMER:
        if (message.WParam == 12) {
            completion_.PauseEnded();
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (KeyPress(static_cast<wchar_t>(message.WParam))) {
            message.Result = 0;
            return;
        }
        break;
    case WM_COPY:
        CopyToClipboard();
        message.Result = 0;
        return;
    case WM_CUT:
        CutToClipboard();
        message.Result = 0;
        return;
    case WM_PASTE:
        PasteFromClipboard();
        message.Result = 0;
        return;
    case WM_CLEAR:
        DeleteSelection();
        message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (!trackingMouse_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
            trackingMouse_ = TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_MOUSELEAVE:
        trackingMouse_ = false;
        if (hint_)
            hint_->Hide();
        if (OnMouseLeave)
            OnMouseLeave(this);
        message.Result = 0;
        return;
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT) {
            POINT point{};
            GetCursorPos(&point);
            ScreenToClient(handle_, &point);
            ::SetCursor(CursorAt(point));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_IME_STARTCOMPOSITION:
        PlaceImeWindow();
        break;
    case WM_IME_COMPOSITION:
        if (message.LParam & GCS_RESULTSTR) {
            const TImeContext context(handle_);
            if (context.Get()) {
                imeResult_ = ReadImeResult(context.Get());
                // Its characters arrive one by one; the last one types it.
                imeLeft_ = imeResult_.size();
            }
        }
        // The default handling passes the result on as characters.
        break;
    case WM_IME_NOTIFY:
        if (message.WParam == IMN_SETOPENSTATUS || message.WParam == IMN_SETCOMPOSITIONWINDOW)
            SetImeFont();
        break;
    case WM_ENABLE:
        ClearSelection();
        if (!message.WParam)
            KillCaret();
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

}  // namespace qrv

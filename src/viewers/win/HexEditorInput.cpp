// THexEditor's input: keys, typed characters and the mouse, and the window
// messages that bring them.

#include "viewers/win/HexEditor.h"

#include <algorithm>

namespace qrv {

// --- keys, characters and the mouse

void THexEditor::KeyDown(WORD key)
{
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = ShiftDown();
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (!shift && !alt && !ctrl && !InsertMode() && key != VK_SHIFT)
        ClearSelection();
    const THexGeometry geometry{doc_.Size(), bytesPerLine_, topRow_, FullyVisibleRows()};
    auto move = [&](THexKey k, bool withCtrl) {
        const THexMove to = HexMoveCaret(k, withCtrl, caret_, geometry);
        ScrollToRow(to.TopRow);
        MoveCaret(to.Caret, true);
    };
    switch (key) {
    case VK_SHIFT:
        selecting_ = true;
        return;
    case VK_PRIOR:
        move(THexKey::PageUp, ctrl);
        return;
    case VK_NEXT:
        move(THexKey::PageDown, ctrl);
        return;
    case VK_HOME:
        move(THexKey::Home, ctrl);
        return;
    case VK_END:
        move(THexKey::End, ctrl);
        return;
    case VK_LEFT:
        move(THexKey::Left, false);
        return;
    case VK_RIGHT:
        move(THexKey::Right, ctrl);
        return;
    case VK_UP:
        move(THexKey::Up, false);
        return;
    case VK_DOWN:
        move(THexKey::Down, false);
        return;
    case VK_TAB:
        if (wantTabs_ && !ctrl)
            move(THexKey::Tab, false);
        return;
    case VK_INSERT:
        if (ctrl || shift || alt)
            return;
        insertToggle_ = !insertToggle_;
        doc_.ClearChangeMarks();
        Invalidate();
        if (autoCaretMode_)
            SetCaretStyle(InsertMode() ? TCaretStyle::csLeftLine : TCaretStyle::csFull);
        StateChanged();
        return;
    case VK_BACK:
        if (readOnlyView_ || !InsertMode()) {
            move(THexKey::Left, false);
        } else if (selection_.Active()) {
            DeleteSelection();
        } else if (caret_.Offset > 0 && doc_.Size() > 0) {
            const int64_t before = caret_.Offset - 1;
            if (doc_.DeleteRange(before, before + 1, EditPosition())) {
                caret_ = THexCaret{before, caret_.Pane, 0};
                AfterEdit();
            }
        }
        return;
    case VK_DELETE:
        if (readOnlyView_)
            return;
        if (ctrl || (selection_.Active() && InsertMode())) {
            DeleteSelection();
        } else if (InsertMode() && doc_.Size() > 0) {
            if (doc_.DeleteRange(caret_.Offset, caret_.Offset + 1, EditPosition())) {
                ClearSelection();
                AfterEdit();
            }
        }
        return;
    default:
        break;
    }
    if (ctrl && key == 'T') {
        move(THexKey::Tab, false);
    } else if (ctrl && key >= '0' && key <= '9') {
        const int index = key - '0';
        if (shift) {
            SetMarker(index, caret_.Offset / bytesPerLine_);
        } else if (markers_[index] >= 0) {
            const int64_t lastRow = RowCount() - 1;
            if (markers_[index] > lastRow)
                markers_[index] = std::min<int64_t>(1, lastRow);
            ClearSelection();
            MoveCaret(THexCaret{markers_[index] * bytesPerLine_, THexPane::Hex, 0}, false);
            Invalidate();
        }
    }
}

void THexEditor::DeleteSelection()
{
    if (!selection_.Active())
        return;
    if (doc_.DeleteRange(selection_.Start, selection_.End + 1, EditPosition())) {
        ClearSelection();
        AfterEdit();
    }
}

void THexEditor::KeyPress(wchar_t c)
{
    if (OnKeyPress)
        OnKeyPress(this, c);
    const bool altOem = lastKeyUpWasAlt_;
    if (!c || readOnlyView_ || c == L'\b' || c == L'\t' || c == L'\r' || c == L'\n' || c == 27)
        return;
    const int64_t size = doc_.Size();
    if (size <= 0 && !InsertMode())
        return;
    if (caret_.Pane == THexPane::Char) {
        const std::optional<uint8_t> byte = charset_.Type(static_cast<char16_t>(c), translation_, altOem);
        if (!byte)
            return;
        if (!InsertMode())
            ClearSelection();
        ApplyTyped(HexTypeChar(*byte, caret_, selection_.Active(), InsertMode(), size));
    } else {
        const int digit = HexDigitValue(static_cast<char32_t>(c));
        if (digit < 0)
            return;
        uint8_t current = 0;
        if (size > 0 && !doc_.ReadByte(caret_.Offset, current))
            return;
        ApplyTyped(HexTypeNibble(digit, caret_, current, selection_.Active(), InsertMode(), swapNibbles_, size));
    }
}

void THexEditor::ApplyTyped(const THexTyped& typed)
{
    const THexEditPosition position = EditPosition();
    const int64_t oldSize = doc_.Size();
    bool done = false;
    switch (typed.Action) {
    case THexEditAction::None:
        return;
    case THexEditAction::Change:
        done = doc_.ChangeByte(typed.Offset, typed.Value, !InsertMode(), position);
        InvalidateRows(typed.Offset / bytesPerLine_, typed.Offset / bytesPerLine_);
        break;
    case THexEditAction::Insert:
        done = doc_.InsertBytes(typed.Offset, &typed.Value, 1, position);
        if (done)
            SelectRange(typed.Offset, 1);
        break;
    case THexEditAction::ReplaceSelection: {
        int64_t start = selection_.Start;
        size_t count = 1;
        const bool caretOnStart = caret_.Offset == start;
        done = doc_.ReplaceRange(start, selection_.Count(), &typed.Value, count, position);
        if (done) {
            selection_ = THexSelection{};
            if (caretOnStart)
                caret_.Offset = start;
            if (count)
                SelectRange(start, static_cast<int64_t>(count));
        }
        break;
    }
    case THexEditAction::Append:
        done = doc_.AppendBytes(&typed.Value, 1, position);
        if (done) {
            caret_ = THexCaret{oldSize, caret_.Pane, 0};
            SelectRange(oldSize, 1);
        }
        break;
    }
    if (!done) {
        StateChanged();
        return;
    }
    if (typed.AppendZero) {
        const uint8_t zero = 0;
        const int64_t end = doc_.Size();
        if (doc_.AppendBytes(&zero, 1, EditPosition())) {
            caret_ = THexCaret{end, caret_.Pane, 0};
            SelectRange(end, 1);
        }
    }
    AfterEdit();
    if (typed.MoveRight)
        MoveCaret(HexCaretRight(caret_, doc_.Size()), false);
}

void THexEditor::MouseDown(int x, int y, bool doubleClick)
{
    if (IsWindowVisible(handle_) && GetFocus() != handle_)
        SetFocus();
    int col = 0;
    int64_t row = 0;
    if (!HitCell(x, y, col, row))
        return;
    ClearSelection();
    selecting_ = !doubleClick;
    mouseDown_ = true;
    SetCapture(handle_);
    MoveCaret(CaretOfCell(col, std::min(row, RowCount() - 1)), false);
}

void THexEditor::MouseMove(int x, int y)
{
    if (!mouseDown_)
        return;
    int col = 0;
    int64_t row = 0;
    if (y < 0)
        row = std::max<int64_t>(0, topRow_ - 1), col = CaretCol();
    else if (!HitCell(x, y, col, row))
        return;
    const THexCaret target = CaretOfCell(col, std::min(row, RowCount() - 1));
    if (target != caret_)
        MoveCaret(target, true);
}

// --- window messages

void THexEditor::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTabs_ ? DLGC_WANTTAB : 0);
        return;
    case WM_ERASEBKGND:
        message.Result = 1;  // Paint fills every pixel
        return;
    case WM_KEYDOWN:
        lastKeyUpWasAlt_ = false;
        KeyDown(static_cast<WORD>(message.WParam));
        message.Result = 0;
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        lastKeyUpWasAlt_ = message.WParam == VK_MENU;
        if (message.WParam == VK_SHIFT)
            selecting_ = mouseDown_;
        break;
    case WM_CHAR:
        KeyPress(static_cast<wchar_t>(message.WParam));
        lastKeyUpWasAlt_ = false;
        message.Result = 0;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)),
                  message.Msg == WM_LBUTTONDBLCLK);
        message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        MouseMove(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
        message.Result = 0;
        return;
    case WM_LBUTTONUP:
        if (mouseDown_) {
            mouseDown_ = false;
            ReleaseCapture();
            selecting_ = ShiftDown();
        }
        message.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        mouseDown_ = false;
        break;
    case WM_VSCROLL:
        VerticalScroll(LOWORD(message.WParam));
        message.Result = 0;
        return;
    case WM_HSCROLL:
        HorizontalScroll(LOWORD(message.WParam));
        message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        ScrollToRow(topRow_ - 3 * static_cast<short>(HIWORD(message.WParam)) / WHEEL_DELTA);
        message.Result = 0;
        return;
    case WM_SIZE:
        TCustomControl::WndProc(message);
        UpdateScrollBars();
        return;
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            message.Result = TRUE;
            return;
        }
        break;
    case WM_SETFOCUS:
        TCustomControl::WndProc(message);
        MakeCaret();
        Invalidate();
        return;
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        if (caretShown_) {
            HideCaret(handle_);
            DestroyCaret();
            caretShown_ = false;
        }
        mouseDown_ = false;
        selecting_ = false;
        Invalidate();
        return;
    case WM_STATECHANGED:
        if (OnStateChanged)
            OnStateChanged(this);
        message.Result = 0;
        return;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

}  // namespace qrv

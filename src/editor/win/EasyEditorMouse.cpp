// The editor's mouse: the messages handed to TEasyMouse, and what it asks
// of the view (positions, the gutter, the timer, the capture, the cursor).

#include "common/UrlRules.h"
#include "editor/EasyUtils.h"
#include "editor/WideText.h"
#include "editor/win/EasyEditor.h"
#include "editor/win/EasyUtilsWin.h"

#include <windowsx.h>

namespace qrv {

namespace {

// The selection follows the mouse on this timer while a mode runs.
constexpr UINT_PTR kMouseTimer = 11;
constexpr UINT kMouseTimerMs = 30;

unsigned MouseShift(WPARAM keys)
{
    unsigned shift = 0;
    if (keys & MK_SHIFT)
        shift |= msShift;
    if (keys & MK_CONTROL)
        shift |= msCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= msAlt;
    return shift;
}

HCURSOR SystemCursor(LPCWSTR id)
{
    return LoadCursorW(nullptr, id);
}

}  // namespace

bool TCustomEasyEdit::CharAt(int x, int y, TEasyPoint& pos)
{
    if (x - ViewOrigin().x < TextLeft())
        return false;
    const TEasyPoint nearest = ClientToText(POINT{x, y});
    // The character whose cell holds the point, not the nearest boundary.
    const TEasyPoint left = ClientToText(POINT{x - CharWidth() / 2, y});
    const int line = nearest.Y;
    if (line >= Lines().Count() || RowAtY(y - ViewOrigin().y) >= RowCount())
        return false;
    pos = {left.Y == line ? left.X : nearest.X, line};
    return pos.X < int(Lines().Get(line).size());
}

bool TCustomEasyEdit::InGutter(int x, int)
{
    return x - ViewOrigin().x < TextLeft();
}

int TCustomEasyEdit::LineAt(int y)
{
    return ClientToText(POINT{ViewOrigin().x + TextLeft(), y}).Y;
}

int TCustomEasyEdit::GutterImageAt(int line, int x)
{
    const int viewX = x - ViewOrigin().x;
    const int width = GutterImages().Width();
    if (width <= 0 || viewX < 0)
        return -1;
    // The collapse buttons' own column, between the gutter and the text.
    const int collapse = CollapseColumnWidth();
    if (collapse > 0 && viewX >= TextLeft() - collapse && viewX < TextLeft()) {
        if (Lines().IsCollapsed(line))
            return kEasyGutterCollapsedImage;
        return Lines().IsExpanded(line) ? kEasyGutterExpandedImage : -1;
    }
    const std::vector<int> glyphs = GutterGlyphs(line, 0, INT_MAX, gutter_.PaintedWidth(lineNumbers_));
    const size_t index = size_t(viewX / width);
    return index < glyphs.size() ? glyphs[index] : -1;
}

bool TCustomEasyEdit::OnSelectedText(int x, int y)
{
    if (selMode_ == smNone || InGutter(x, y))
        return false;
    const TEasyPoint pos = ClientToText(POINT{x, y});
    if (pos.Y >= Lines().Count())
        return false;
    int from = 0, to = 0;
    if (!SelectedColumns(pos.Y, from, to))
        return false;
    // Beyond the line's end only with srBeyondEol.
    const int length = int(Lines().Get(pos.Y).size());
    if (!(GetEditSource()->Options() & srBeyondEol) && pos.X >= length)
        return false;
    return pos.X >= from && pos.X < to;
}

bool TCustomEasyEdit::CanTakeFocus()
{
    // A hidden editor still takes the caret from a click it is sent.
    return HandleAllocated() && IsWindowEnabled(handle_);
}

void TCustomEasyEdit::SetMouseTimer(bool on)
{
    if (!HandleAllocated())
        return;
    if (on)
        SetTimer(handle_, kMouseTimer, kMouseTimerMs, nullptr);
    else
        KillTimer(handle_, kMouseTimer);
}

void TCustomEasyEdit::SetMouseCapture(bool on)
{
    if (!HandleAllocated())
        return;
    if (on)
        SetCapture(handle_);
    else if (GetCapture() == handle_)
        ReleaseCapture();
}

void TCustomEasyEdit::SetMouseCursor(TEasyMouseCursor cursor)
{
    switch (cursor) {
    case TEasyMouseCursor::mcNoDrop:
        ::SetCursor(SystemCursor(IDC_NO));
        break;
    case TEasyMouseCursor::mcDrag:
        ::SetCursor(SystemCursor(IDC_ARROW));
        break;
    case TEasyMouseCursor::mcHand:
        ::SetCursor(SystemCursor(IDC_HAND));
        break;
    default: {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(handle_, &point);
        ::SetCursor(CursorAt(point));
        break;
    }
    }
}

HCURSOR TCustomEasyEdit::CursorAt(POINT point)
{
    if (mouse_.Mode() == mmDragging)
        return SystemCursor(OnSelectedText(point.x, point.y) ? IDC_NO : IDC_ARROW);
    if (InGutter(point.x, point.y) || OnSelectedText(point.x, point.y))
        return SystemCursor(IDC_ARROW);
    if (mouse_.Mode() == mmNone && IsOverUrl(point))
        return SystemCursor(IDC_HAND);
    return SystemCursor(IDC_IBEAM);
}

void TCustomEasyEdit::GutterClick(int line, int index, bool doubleClick)
{
    if (doubleClick)
        DoGutterDblClick(line, index);
    else
        DoGutterClick(line, index);
}

void TCustomEasyEdit::DoGutterClick(int line, int index)
{
    if (OnGutterClick)
        OnGutterClick(this, line, index);
}

void TCustomEasyEdit::DoGutterDblClick(int line, int index)
{
    if (OnGutterDblClick)
        OnGutterDblClick(this, line, index);
}

bool TCustomEasyEdit::IsOverUrl(POINT point)
{
    return mouse_.IsOverUrl(point.x, point.y);
}

void TCustomEasyEdit::JumpAtPoint(TEasyPoint pos)
{
    const std::u16string url = mouse_.UrlAt(pos);
    if (!url.empty())
        DoUrlJump(ToWide(url));
}

void TCustomEasyEdit::UrlJump(const std::u16string& url)
{
    if (!url.empty())
        DoUrlJump(ToWide(url));
}

void TCustomEasyEdit::DoUrlJump(const std::wstring& url)
{
    const bool mail = IsMailAddress(ToUtf16(url));
    std::wstring target = url;
    if (mail && UpperCase(url).find(L"MAILTO:") == std::wstring::npos)
        target = L"mailto:" + url;
    bool handled = false;
    if (OnUrlJump)
        OnUrlJump(this, target, handled);
    if (handled)
        return;
    // Only web and mail addresses open; a file or program link does not run.
    if (const std::optional<std::wstring> openable = OpenableUrlOf(url, mail))
        OpenUrl(*openable);
}

bool TCustomEasyEdit::MouseMessage(TMessage& message)
{
    const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    const unsigned shift = MouseShift(message.WParam);
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouse_.MouseDown(TEasyMouseButton::mbLeft, shift, point.x, point.y, message.Msg == WM_LBUTTONDBLCLK);
        if (message.Msg == WM_LBUTTONDBLCLK && InGutter(point.x, point.y))
            DoGutterDblClick(LineAt(point.y), GutterImageAt(LineAt(point.y), point.x));
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        mouse_.MouseDown(TEasyMouseButton::mbRight, shift, point.x, point.y, false);
        break;
    case WM_MBUTTONDOWN:
        mouse_.MouseDown(TEasyMouseButton::mbMiddle, shift, point.x, point.y, false);
        break;
    case WM_LBUTTONUP:
        mouse_.MouseUp(TEasyMouseButton::mbLeft, shift, point.x, point.y);
        break;
    case WM_RBUTTONUP:
        // The release goes on to the system, which asks for the context menu.
        mouse_.MouseUp(TEasyMouseButton::mbRight, shift, point.x, point.y);
        return false;
    case WM_MBUTTONUP:
        mouse_.MouseUp(TEasyMouseButton::mbMiddle, shift, point.x, point.y);
        break;
    case WM_TIMER:
        if (message.WParam != kMouseTimer)
            return false;
        {
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(handle_, &cursor);
            mouse_.TimerStep(cursor.x, cursor.y, GetKeyState(VK_MENU) < 0);
        }
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(message.LParam) != handle_)
            mouse_.CaptureLost();
        return false;
    default:
        return false;
    }
    UpdateCaretPos();
    message.Result = 0;
    return true;
}

}  // namespace qrv

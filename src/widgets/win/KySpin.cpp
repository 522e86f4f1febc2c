#include "widgets/win/KySpin.h"

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/win/ExtCtrls.h"
#include "framework/win/Handles.h"
#include "widgets/win/KyResources.h"

#include <algorithm>
#include <cmath>

namespace qrv {

// --- TKySpinButton -----------------------------------------------------------

namespace {
constexpr UINT_PTR kRepeatTimer = 1;
}

TKySpinButton::TKySpinButton(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 20, 20);
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
}

namespace {
void AssignGlyph(TBitmap& target, const TBitmap* glyph, const wchar_t* resource)
{
    if (glyph && !glyph->Empty())
        target.Assign(glyph);
    else
        LoadKyBitmap(target, resource);
}
}  // namespace

void TKySpinButton::SetUpGlyph(const TBitmap* glyph)
{
    AssignGlyph(upGlyph_, glyph, L"KYSPINUP");
    facesStale_ = true;
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TKySpinButton::SetDownGlyph(const TBitmap* glyph)
{
    AssignGlyph(downGlyph_, glyph, L"KYSPINDOWN");
    facesStale_ = true;
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

TKySpinButton::~TKySpinButton()
{
    StopTimer();
}

void TKySpinButton::StartTimer(unsigned interval)
{
    interval_ = interval;
    SetTimer(Handle(), kRepeatTimer, interval, nullptr);
}

void TKySpinButton::StopTimer()
{
    if (interval_ != 0 && HandleAllocated())
        KillTimer(handle_, kRepeatTimer);
    interval_ = 0;
}

void TKySpinButton::Click(TSpinHalf half)
{
    const TNotifyEvent& event = half == TSpinHalf::Up ? OnTopClick : OnBottomClick;
    if (!event)
        return;
    try {
        event(this);
    } catch (...) {
        // A failing step ends the repeat; the error goes on.
        StopTimer();
        Release();
        throw;
    }
}

void TKySpinButton::Release()
{
    held_ = pressed_ = TSpinHalf::None;
    if (HandleAllocated() && GetCapture() == handle_)
        ReleaseCapture();
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TKySpinButton::WndProc(TMessage& message)
{
    const int x = static_cast<short>(LOWORD(message.LParam));
    const int y = static_cast<short>(HIWORD(message.LParam));
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (FocusControl && GetFocus() != FocusControl->Handle())
            FocusControl->SetFocus();
        held_ = pressed_ = SpinHalfAt(x, y, Width(), Height());
        if (held_ == TSpinHalf::None)
            return;
        SetCapture(handle_);
        InvalidateRect(handle_, nullptr, FALSE);
        Click(held_);
        StartTimer(kSpinFirstRepeatMs);
        return;
    }
    case WM_MOUSEMOVE:
        if (held_ != TSpinHalf::None) {
            // Off the half it shows released, back on it pressed again.
            const TSpinHalf now = SpinHalfAt(x, y, Width(), Height()) == held_ ? held_ : TSpinHalf::None;
            if (now != pressed_) {
                pressed_ = now;
                InvalidateRect(handle_, nullptr, FALSE);
            }
        }
        return;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        StopTimer();
        Release();
        return;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(message.LParam) != handle_ && held_ != TSpinHalf::None) {
            StopTimer();
            held_ = pressed_ = TSpinHalf::None;
            InvalidateRect(handle_, nullptr, FALSE);
        }
        return;
    case WM_SYSCOLORCHANGE:
        facesStale_ = true;
        InvalidateRect(handle_, nullptr, FALSE);
        break;
    case WM_TIMER:
        if (message.WParam != kRepeatTimer)
            break;
        if (interval_ != kSpinNextRepeatMs)
            StartTimer(kSpinNextRepeatMs);
        if (pressed_ != TSpinHalf::None && GetCapture() == handle_)
            Click(pressed_);
        return;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

void TKySpinButton::Paint(HDC dc)
{
    // A disabled button draws unpressed.
    const TBitmap& face = Face(Enabled() ? pressed_ : TSpinHalf::None);
    const TOwnDC source(CreateCompatibleDC(dc));
    const TSelectObject select(source.Get(), face.Handle());
    BitBlt(dc, 0, 0, face.Width(), face.Height(), source.Get(), 0, 0, SRCCOPY);
}

const TBitmap& TKySpinButton::Face(TSpinHalf pressed)
{
    RebuildFacesIfStale();
    return faces_[static_cast<int>(pressed)];
}

void TKySpinButton::RebuildFacesIfStale()
{
    const int w = std::max(1, Width()), h = std::max(1, Height());
    if (!facesStale_ && faces_[0].Width() == w && faces_[0].Height() == h)
        return;
    const TWindowDC screen(nullptr);
    const TOwnDC memory(CreateCompatibleDC(screen.Get()));
    for (const TSpinHalf half : {TSpinHalf::None, TSpinHalf::Up, TSpinHalf::Down}) {
        TBitmap& face = faces_[static_cast<int>(half)];
        face.SetSize(w, h);
        const TSelectObject select(memory.Get(), face.Handle());
        DrawFace(memory.Get(), half);
    }
    facesStale_ = false;
}

void TKySpinButton::DrawFace(HDC dc, TSpinHalf shown) const
{
    const int w = Width(), h = Height();
    RECT face{0, 0, w, h};
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
    const auto line = [dc](int colorIndex, POINT from, POINT to) {
        const TGdiObject pen(CreatePen(PS_SOLID, 1, GetSysColor(colorIndex)));
        const TSelectObject select(dc, pen.Get());
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
    };
    const bool upDown = shown == TSpinHalf::Up;
    const bool downDown = shown == TSpinHalf::Down;
    // The up half's bevel: left and top edges, and inside the diagonal.
    line(upDown ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT, {1, h - 2}, {1, 1});
    line(upDown ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT, {1, 1}, {w - 2, 1});
    line(upDown ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW, {1, h - 3}, {w - 3, 1});
    // The down half's bevel: bottom and right edges, and along the diagonal.
    line(downDown ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW, {2, h - 2}, {w - 2, h - 2});
    line(downDown ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW, {w - 2, h - 2}, {w - 2, 1});
    line(downDown ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT, {3, h - 2}, {w - 2, 3});
    if (downDown)
        line(COLOR_BTNSHADOW, {4, h - 2}, {w - 2, 4});
    line(COLOR_WINDOWFRAME, {-1, h}, {w, -1});
    // The arrows: the up glyph centred in the top-left quarter, the down
    // glyph in the bottom-right one.
    const int ux = w / 4 + 1 + (upDown ? 1 : 0), uy = h / 4 + 1 + (upDown ? 1 : 0);
    DrawTransparentGlyph(dc, upGlyph_, ux - upGlyph_.Width() / 2, uy - upGlyph_.Height() / 2);
    const int dx = 3 * w / 4 - 1 + (downDown ? 1 : 0), dy = 3 * h / 4 - 1 + (downDown ? 1 : 0);
    DrawTransparentGlyph(dc, downGlyph_, dx - downGlyph_.Width() / 2, dy - downGlyph_.Height() / 2);
}

// --- TKySpinEdit -------------------------------------------------------------

TKySpinEdit::TKySpinEdit(TComponent* owner) : TEdit(owner)
{
    SetText(L"0");
}

wchar_t TKySpinEdit::DecimalSeparator()
{
    wchar_t separator[4] = L".";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4);
    return separator[0] ? separator[0] : L'.';
}

double TKySpinEdit::Value()
{
    return ParseSpinText(Text(), valueType_, minValue_, DecimalSeparator());
}

void TKySpinEdit::SetValue(double value)
{
    SetText(FormatSpinValue(ClampSpinValue(value, minValue_, maxValue_), valueType_, decimal_, DecimalSeparator()));
}

void TKySpinEdit::SetIncrement(double increment)
{
    increment_ = increment;
}

void TKySpinEdit::SetValueType(TValueType type)
{
    if (type == valueType_)
        return;
    const double value = Value();
    valueType_ = type;
    increment_ = SpinIncrementFor(type, increment_);
    SetValue(value);
}

void TKySpinEdit::SetDecimal(int decimals)
{
    if (decimals == decimal_)
        return;
    const double value = Value();
    decimal_ = std::max(0, decimals);
    SetValue(value);
}

void TKySpinEdit::Step(double delta)
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    const std::wstring before = Text();
    {
        quiet_ = true;
        const ScopeExit loud([this] { quiet_ = false; });
        SetValue(Value() + delta);
    }
    if (!SameText(before, Text())) {
        if (HandleAllocated())
            SendMessageW(handle_, EM_SETMODIFY, TRUE, 0);
        if (OnChange)
            OnChange(this);
    }
    if (delta > 0) {
        if (OnTopClick)
            OnTopClick(this);
    } else if (OnBottomClick) {
        OnBottomClick(this);
    }
}

void TKySpinEdit::StepUp()
{
    Step(increment_);
}

void TKySpinEdit::StepDown()
{
    Step(-increment_);
}

bool TKySpinEdit::IsAcceptedChar(wchar_t key)
{
    if (!EditorEnabled)
        return key < 32 && key != VK_BACK;
    if (key < 32)
        return true;
    if (key == L'+' || key == L'-' || (key >= L'0' && key <= L'9'))
        return true;
    const std::wstring text = Text();
    if (valueType_ == TValueType::vtFloat) {
        if (key == DecimalSeparator())
            return text.find(DecimalSeparator()) == std::wstring::npos;
        if (key == L'e' || key == L'E')
            return text.find_first_of(L"eE") == std::wstring::npos;
    }
    if (valueType_ == TValueType::vtHex)
        return (key >= L'a' && key <= L'f') || (key >= L'A' && key <= L'F');
    return false;
}

void TKySpinEdit::CreateWindowHandle(const TCreateParams& params)
{
    TEdit::CreateWindowHandle(params);
    if (!handle_)
        return;
    if (buttonKind_ == TSpinButtonKind::bkDiagonal) {
        PlaceUpDown();
        return;
    }
    upDown_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT, 0, 0, 0, 0, handle_,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (upDown_) {
        SendMessageW(upDown_, UDM_SETRANGE32, static_cast<WPARAM>(-1), 1);
        SendMessageW(upDown_, UDM_SETPOS32, 0, 0);
        PlaceUpDown();
    }
}

void TKySpinEdit::DestroyWnd()
{
    upDown_ = nullptr;  // a child of the edit, destroyed with it
    TEdit::DestroyWnd();
}

void TKySpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    if (kind == buttonKind_)
        return;
    buttonKind_ = kind;
    if (kind == TSpinButtonKind::bkDiagonal && !spinHolder_) {
        spinHolder_ = new TPanel(this);
        static_cast<TPanel*>(spinHolder_)->SetBevelOuter(TPanelBevel::bvNone);
        spinButton_ = new TKySpinButton(spinHolder_);
        spinButton_->FocusControl = this;
        spinButton_->OnTopClick = [this](TComponent*) { StepUp(); };
        spinButton_->OnBottomClick = [this](TComponent*) { StepDown(); };
        spinButton_->SetParent(spinHolder_);
        spinHolder_->SetParent(this);
    } else if (kind == TSpinButtonKind::bkStandard && spinHolder_) {
        delete spinHolder_;
        spinHolder_ = nullptr;
        spinButton_ = nullptr;
    }
    if (HandleAllocated())
        RecreateWnd();
}

void TKySpinEdit::PlaceUpDown()
{
    RECT client;
    GetClientRect(handle_, &client);
    if (spinHolder_) {
        // A square of the edit's height, one pixel in, beside the text.
        const int side = std::max(static_cast<int>(client.bottom) - 2, 4);
        spinHolder_->SetBounds(client.right - side - 1, 1, side, side);
        spinButton_->SetBounds(0, 0, side, side);
        SendMessageW(handle_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, side + 3));
        return;
    }
    if (!upDown_)
        return;
    const int width = std::min(GetSystemMetrics(SM_CXVSCROLL), 15);
    SetWindowPos(upDown_, nullptr, client.right - width, 0, width, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    // The text ends 2 pixels before the arrows.
    SendMessageW(handle_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width + 2));
}

void TKySpinEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (upDown_ && header->hwndFrom == upDown_ && header->code == UDN_DELTAPOS) {
            const auto* change = reinterpret_cast<const NMUPDOWN*>(message.LParam);
            if (GetFocus() != handle_)
                ::SetFocus(handle_);
            if (change->iDelta > 0)
                StepUp();
            else if (change->iDelta < 0)
                StepDown();
            message.Result = 1;  // the control's own position stays 0
            return;
        }
        break;
    }
    case CN_COMMAND:
        if (quiet_ && HIWORD(message.WParam) == EN_CHANGE)
            return;
        break;
    case WM_KEYDOWN:
        if (ArrowKeys && (message.WParam == VK_UP || message.WParam == VK_DOWN)) {
            if (message.WParam == VK_UP)
                StepUp();
            else
                StepDown();
            message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (!IsAcceptedChar(static_cast<wchar_t>(message.WParam))) {
            Beep();
            message.Result = 0;
            return;
        }
        break;
    case WM_PASTE:
    case WM_CUT:
        if (!EditorEnabled || ReadOnly()) {
            message.Result = 0;
            return;
        }
        break;
    case WM_KILLFOCUS: {
        // Leaving the control puts a value outside the range back into it.
        const double value = Value();
        if (ClampSpinValue(value, minValue_, maxValue_) != value)
            SetValue(value);
        break;
    }
    case WM_SIZE:
        TEdit::WndProc(message);
        PlaceUpDown();
        return;
    default:
        break;
    }
    TEdit::WndProc(message);
}

}  // namespace qrv

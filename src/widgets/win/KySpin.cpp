#include "widgets/win/KySpin.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>

namespace qrv {

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
    if (type != TValueType::vtFloat) {
        increment_ = std::nearbyint(increment_);
        if (increment_ == 0)
            increment_ = 1;
    }
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
        MessageBeep(0);
        return;
    }
    const std::wstring before = Text();
    {
        quiet_ = true;
        struct Loud {
            bool& quiet;
            ~Loud() { quiet = false; }
        } loud{quiet_};
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

void TKySpinEdit::PlaceUpDown()
{
    if (!upDown_)
        return;
    RECT client;
    GetClientRect(handle_, &client);
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
            MessageBeep(0);
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

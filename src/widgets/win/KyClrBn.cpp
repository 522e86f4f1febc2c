#include "widgets/win/KyClrBn.h"
#include "framework/win/Handles.h"

#include <commdlg.h>

namespace qrv {

namespace {

constexpr TColor Rgb(int r, int g, int b)
{
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// Column by column, top to bottom.
constexpr std::array<TColor, 20> kPresetColors = {
    Rgb(255, 255, 255), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),   Rgb(191, 215, 191),
    Rgb(0, 0, 0),       Rgb(127, 0, 0),   Rgb(0, 127, 0),   Rgb(0, 0, 127),   Rgb(159, 191, 239),
    Rgb(191, 191, 191), Rgb(255, 255, 0), Rgb(0, 255, 255), Rgb(255, 0, 255), Rgb(255, 247, 239),
    Rgb(127, 127, 127), Rgb(127, 127, 0), Rgb(0, 127, 127), Rgb(127, 0, 127), Rgb(159, 159, 159),
};

}  // namespace

TKyColorButton::TKyColorButton(TComponent* owner) : TCustomControl(owner), palette_(kPresetColors)
{
    CustomColors.fill(RGB(255, 255, 255));
    SetBounds(0, 0, 45, 22);
    TWinControl::SetColor(clBlack);
    selected_ = PresetIndex(clBlack);
}

int TKyColorButton::PresetIndex(TColor color) const
{
    for (size_t i = 0; i < palette_.size(); ++i)
        if (palette_[i] == color)
            return static_cast<int>(i) + 1;
    return 0;
}

void TKyColorButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyColorButton";
    params.Style |= WS_TABSTOP;
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TKyColorButton::SetColor(TColor color)
{
    if (color == Color())
        return;
    TWinControl::SetColor(color);  // invalidates the window
    selected_ = PresetIndex(color);
    if (OnColorChange)
        OnColorChange(this);
}

void TKyColorButton::Click()
{
    if (Chooser) {
        TColor chosen = Color();
        if (!Chooser(HandleAllocated() ? GetAncestor(handle_, GA_ROOT) : nullptr, chosen))
            return;
        OtherColor = chosen;
        SetColor(chosen);
        return;
    }
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = HandleAllocated() ? GetAncestor(handle_, GA_ROOT) : nullptr;
    choose.rgbResult = ColorToRGB(Color());
    choose.lpCustColors = CustomColors.data();
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&choose))
        return;
    OtherColor = static_cast<TColor>(choose.rgbResult);
    SetColor(static_cast<TColor>(choose.rgbResult));
}

void TKyColorButton::Paint(HDC dc)
{
    RECT r;
    GetClientRect(handle_, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed_) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        RECT inner = r;
        InflateRect(&inner, -1, -1);
        FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNSHADOW));
    } else if (!Flat) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (Enabled() ? 0 : DFCS_INACTIVE));
    }
    RECT content = r;
    InflateRect(&content, -3, -3);
    if (pressed_)
        OffsetRect(&content, 1, 1);
    if (Focused()) {
        RECT focus = content;
        DrawFocusRect(dc, &focus);
    }
    // The swatch, then an etched line and the arrow.
    RECT swatch{content.left + 4, content.top + 2, content.right - 10, content.bottom - 2};
    if (swatch.right > swatch.left && swatch.bottom > swatch.top) {
        const TGdiObject fill(Enabled() ? CreateSolidBrush(ColorToRGB(Color()))
                                        : CreateHatchBrush(HS_DIAGCROSS, GetSysColor(COLOR_BTNSHADOW)));
        FillRect(dc, &swatch, static_cast<HBRUSH>(fill.Get()));
        FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    RECT shadow{content.right - 8, content.top + 1, content.right - 7, content.bottom - 1};
    RECT light{content.right - 7, content.top + 1, content.right - 6, content.bottom - 1};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    const int x = content.right - 3;
    const int y = (content.top + content.bottom) / 2 - 1;
    HBRUSH arrow = GetSysColorBrush(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    for (int row = 0; row < 3; ++row) {
        RECT line{x - 2 + row, y + row, x + 1 - row, y + row + 1};
        FillRect(dc, &line, arrow);
    }
}

void TKyColorButton::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_LBUTTONDOWN:
        SetFocus();
        SetCapture(handle_);
        pressed_ = true;
        InvalidateRect(handle_, nullptr, FALSE);
        message.Result = 0;
        return;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (GetCapture() == handle_)
            ReleaseCapture();
        InvalidateRect(handle_, nullptr, FALSE);
        RECT r;
        GetClientRect(handle_, &r);
        const POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        if (wasPressed && PtInRect(&r, p))
            Click();
        message.Result = 0;
        return;
    }
    case WM_KEYDOWN:
        if (message.WParam == VK_SPACE || message.WParam == VK_RETURN) {
            Click();
            message.Result = 0;
            return;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(handle_, nullptr, FALSE);
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

}  // namespace qrv

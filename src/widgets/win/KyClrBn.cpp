#include "widgets/win/KyClrBn.h"

#include "framework/win/Buttons.h"
#include "framework/win/Forms.h"
#include "framework/win/Handles.h"
#include "framework/win/Registry.h"

#include <commdlg.h>

#include <algorithm>

namespace qrv {

namespace {

constexpr int kOtherButtonTop = 98;
constexpr int kOtherButtonHeight = 18;
constexpr int kPaletteClientHeight = kOtherButtonTop + kOtherButtonHeight + 2;

TPaletteRect ToPaletteRect(const RECT& r)
{
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

}  // namespace

// --- TKyColorButton ----------------------------------------------------------

TKyColorButton::TKyColorButton(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 45, 22);
    TWinControl::SetColor(clBlack);
    selected_ = palette_.IndexOf(clBlack);
}

TKyColorButton::~TKyColorButton()
{
    if (paletteWindow_)
        PaletteClosed(true);
    delete closedPalette_;
    closedPalette_ = nullptr;
    StoreCustomColors();
}

void TKyColorButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = L"TKyColorButton";
    params.Style |= WS_TABSTOP;
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TKyColorButton::CreateWindowHandle(const TCreateParams& params)
{
    TCustomControl::CreateWindowHandle(params);
    if (!customColorsRead_) {
        customColorsRead_ = true;
        valueName_ = RegistryValueName();
        ReadCustomColors();
    }
}

void TKyColorButton::SetColor(TColor color)
{
    if (color == Color())
        return;
    TWinControl::SetColor(color);  // invalidates the window
    selected_ = palette_.IndexOf(color);
    if (OnColorChange)
        OnColorChange(this);
}

void TKyColorButton::SelectIndex(int index)
{
    if (index < 0 || index > palette_.Count() || index == selected_)
        return;
    selected_ = index;
    TWinControl::SetColor(index == 0 ? OtherColor : palette_.Linear(index));
    if (OnColorChange)
        OnColorChange(this);
}

std::wstring TKyColorButton::RegistryValueName() const
{
    const TComponent* form = nullptr;
    for (const TWinControl* p = Parent(); p; p = p->Parent())
        if (dynamic_cast<const TForm*>(p))
            form = p;
    if (!Parent() || !form)
        return Name();
    return form->Name() + L"." + Name();
}

void TKyColorButton::StoreCustomColors()
{
    if (CustomColorsKey.empty())
        return;
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    // While the form is being freed it is no form any more: the name taken
    // when the window was made holds.
    const std::wstring name = valueName_.empty() ? RegistryValueName() : valueName_;
    if (registry.OpenKey(CustomColorsKey + L"\\Colors", true))
        registry.WriteString(name, CustomColorsText(custom_));
}

void TKyColorButton::ReadCustomColors()
{
    if (CustomColorsKey.empty())
        return;
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(CustomColorsKey + L"\\Colors") || !registry.ValueExists(RegistryValueName()))
        return;  // nothing stored: the defaults stay
    ReadCustomColorsText(registry.ReadString(RegistryValueName()), custom_);
}

void TKyColorButton::Click(int x)
{
    if (swallowNextClick_) {
        // The click that closed the palette.
        swallowNextClick_ = false;
        return;
    }
    if (paletteWindow_)
        return;
    if (CycleColors && x >= 0 && x < Width() - 12) {
        SelectIndex(selected_ >= palette_.Count() ? 0 : selected_ + 1);
        return;
    }
    OpenPalette();
}

void TKyColorButton::OpenPalette()
{
    delete closedPalette_;
    closedPalette_ = nullptr;
    // Top-most windows of ours would cover the palette: normal while it is open.
    madeNormal_.clear();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            if (IsWindowVisible(window) && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
                SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&madeNormal_));

    paletteWindow_ = new TKyColorButtonPalette(*this);
    RECT button;
    GetWindowRect(Handle(), &button);
    RECT frame{0, 0, kPaletteClientWidth, kPaletteClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO info{sizeof info};
    GetMonitorInfoW(MonitorFromRect(&button, MONITOR_DEFAULTTONEAREST), &info);
    const TPaletteRect placed = PlacePalette(ToPaletteRect(button), width, height, ToPaletteRect(info.rcWork));
    paletteWindow_->SetBounds(placed.Left, placed.Top, width, height);
    pressed_ = true;
    InvalidateRect(handle_, nullptr, FALSE);
    HWND palette = paletteWindow_->Handle();
    ShowWindow(palette, SW_SHOW);
    SetForegroundWindow(palette);
    ::SetFocus(palette);
    // The form keeps its active caption while its palette has the focus.
    if (HWND form = GetAncestor(handle_, GA_ROOT))
        SendMessageW(form, WM_NCACTIVATE, TRUE, 0);
}

void TKyColorButton::PaletteChose(TColor color, bool other)
{
    if (other) {
        OtherColor = color;
        const int preset = palette_.IndexOf(color);
        if (preset == 0) {
            selected_ = 0;
            TWinControl::SetColor(color);
            if (OnColorChange)
                OnColorChange(this);
            return;
        }
    }
    SetColor(color);
}

void TKyColorButton::PaletteClosed(bool byEscape)
{
    TKyColorButtonPalette* palette = paletteWindow_;
    paletteWindow_ = nullptr;
    if (HandleAllocated()) {
        if (HWND form = GetAncestor(handle_, GA_ROOT))
            SendMessageW(form, WM_NCACTIVATE, GetActiveWindow() == form, 0);
        POINT cursor{};
        GetCursorPos(&cursor);
        RECT r;
        GetWindowRect(handle_, &r);
        // The mouse press that took the palette's activation would reopen it.
        swallowNextClick_ = !byEscape && PtInRect(&r, cursor) && (GetKeyState(VK_LBUTTON) & 0x8000);
    }
    pressed_ = false;
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
    for (HWND window : madeNormal_)
        if (IsWindow(window))
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    madeNormal_.clear();
    closedPalette_ = palette;
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
        if (!swallowNextClick_)
            pressed_ = true;
        InvalidateRect(handle_, nullptr, FALSE);
        message.Result = 0;
        return;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_ || swallowNextClick_;
        if (!paletteWindow_)
            pressed_ = false;
        if (GetCapture() == handle_)
            ReleaseCapture();
        InvalidateRect(handle_, nullptr, FALSE);
        RECT r;
        GetClientRect(handle_, &r);
        const POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        if (wasPressed && PtInRect(&r, p)) {
            pressed_ = false;
            Click(p.x);
        }
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

// --- TKyColorButtonPalette ---------------------------------------------------

TKyColorButtonPalette::TKyColorButtonPalette(TKyColorButton& button)
    : TCustomControl(nullptr), button_(button), otherColor_(button.OtherColor)
{
    // The current colour is highlighted when it is a preset, else it
    // becomes the other-colour cell's.
    const int index = button.palette_.IndexOf(button.Color());
    if (index > 0)
        highlighted_ = {(index - 1) % 4 + 1, (index - 1) / 4 + 1};
    else
        otherColor_ = button.Color();
}

TKyColorButtonPalette::~TKyColorButtonPalette() = default;

void TKyColorButtonPalette::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TKyColorButtonPalette";
    params.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WndParent = button_.HandleAllocated() ? GetAncestor(button_.Handle(), GA_ROOT) : nullptr;
}

TColor TKyColorButtonPalette::CellColor(TPaletteCell cell) const
{
    if (cell.Other())
        return otherColor_;
    return button_.palette_.At(cell.X, cell.Y);
}

RECT TKyColorButtonPalette::CellRect(TPaletteCell cell) const
{
    if (cell.Other())
        return RECT{kPaletteClientWidth - 19, kPaletteOtherTop, kPaletteClientWidth - 1, kPaletteOtherBottom + 1};
    return RECT{cell.X * kPaletteCell - kPaletteCell, cell.Y * kPaletteCell - kPaletteCell, cell.X * kPaletteCell,
                cell.Y * kPaletteCell};
}

RECT TKyColorButtonPalette::OtherButtonRect() const
{
    return RECT{2, kOtherButtonTop, kPaletteClientWidth - 22, kOtherButtonTop + kOtherButtonHeight};
}

void TKyColorButtonPalette::Highlight(TPaletteCell cell)
{
    if (cell == highlighted_)
        return;
    highlighted_ = cell;
    InvalidateRect(handle_, nullptr, FALSE);
}

void TKyColorButtonPalette::UpdateHint(TPaletteCell cell)
{
    std::wstring text;
    if (!cell.None() && button_.ShowColorHints) {
        text = ColorHintText(CellColor(cell));
        if (button_.OnGetColorHintText)
            button_.OnGetColorHintText(&button_, CellColor(cell), cell.X, cell.Y, text);
    }
    if (text == hintText_)
        return;
    hintText_ = text;
    if (text.empty()) {
        if (hint_)
            hint_->Hide();
        return;
    }
    if (!hint_)
        hint_ = std::make_unique<THintWindow>();
    RECT r = CellRect(cell);
    MapWindowPoints(handle_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const SIZE size = MeasureText(hint_->Font().Handle(), text);
    hint_->ActivateHint(RECT{r.left, r.bottom + 2, r.left + size.cx + 8, r.bottom + 2 + size.cy + 4}, text);
}

void TKyColorButtonPalette::Choose(TPaletteCell cell)
{
    if (cell.None())
        return;
    const TColor color = CellColor(cell);
    const bool other = cell.Other();
    Close(false);
    button_.PaletteChose(color, other);
}

void TKyColorButtonPalette::Close(bool byEscape)
{
    if (closing_)
        return;
    closing_ = true;
    if (hint_)
        hint_->Hide();
    if (HandleAllocated())
        ShowWindow(handle_, SW_HIDE);
    button_.PaletteClosed(byEscape);
}

void TKyColorButtonPalette::ChooseOther()
{
    TColor chosen = otherColor_;
    HWND owner = handle_;
    dialogOpen_ = true;
    bool ok = false;
    if (button_.Chooser) {
        ok = button_.Chooser(owner, chosen);
    } else {
        TColorArrayClass& custom = button_.custom_;
        COLORREF colors[16];
        // ColorA..ColorH: row 1, ColorI..ColorP: row 2.
        for (int i = 0; i < 16; ++i)
            colors[i] = static_cast<COLORREF>(custom.At(i % 8 + 1, i / 8 + 1));
        CHOOSECOLORW choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = owner;
        choose.rgbResult = ColorToRGB(chosen);
        choose.lpCustColors = colors;
        choose.Flags = CC_FULLOPEN | CC_RGBINIT;
        ok = ChooseColorW(&choose) != FALSE;
        if (ok) {
            chosen = static_cast<TColor>(choose.rgbResult);
            for (int i = 0; i < 16; ++i)
                custom.Set(i % 8 + 1, i / 8 + 1, static_cast<TColor>(colors[i]));
        }
    }
    dialogOpen_ = false;
    if (!ok) {
        if (HandleAllocated() && IsWindowVisible(handle_))
            ::SetFocus(handle_);
        return;
    }
    otherColor_ = chosen;
    Choose({0, 0});
}

void TKyColorButtonPalette::WndProc(TMessage& message)
{
    const int x = static_cast<short>(LOWORD(message.LParam));
    const int y = static_cast<short>(HIWORD(message.LParam));
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS;
        return;
    case WM_MOUSEMOVE: {
        const TPaletteCell cell = PaletteCellAt(x, y, kPaletteClientWidth);
        if (!cell.None())
            Highlight(cell);
        UpdateHint(cell);
        return;
    }
    case WM_LBUTTONDOWN: {
        const RECT other = OtherButtonRect();
        buttonDown_ = PtInRect(&other, POINT{x, y});
        InvalidateRect(handle_, &other, FALSE);
        return;
    }
    case WM_LBUTTONUP: {
        const RECT other = OtherButtonRect();
        if (buttonDown_) {
            buttonDown_ = false;
            InvalidateRect(handle_, &other, FALSE);
            if (PtInRect(&other, POINT{x, y}))
                ChooseOther();
            return;
        }
        Choose(PaletteCellAt(x, y, kPaletteClientWidth));
        return;
    }
    case WM_KEYDOWN:
        switch (message.WParam) {
        case VK_LEFT:
            Highlight(MovePaletteCell(highlighted_, TPaletteKey::Left));
            return;
        case VK_RIGHT:
            Highlight(MovePaletteCell(highlighted_, TPaletteKey::Right));
            return;
        case VK_UP:
            Highlight(MovePaletteCell(highlighted_, TPaletteKey::Up));
            return;
        case VK_DOWN:
            Highlight(MovePaletteCell(highlighted_, TPaletteKey::Down));
            return;
        case VK_RETURN:
            Choose(highlighted_);
            return;
        case VK_ESCAPE:
            Close(true);
            return;
        default:
            break;
        }
        break;
    case WM_ACTIVATE:
        // Another window (or application) took the activation: close,
        // except for the colour dialog the palette opened itself.
        if (LOWORD(message.WParam) == WA_INACTIVE && !dialogOpen_ && !closing_) {
            TCustomControl::WndProc(message);
            Close(false);
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(message);
}

void TKyColorButtonPalette::Paint(HDC dc)
{
    RECT client{0, 0, kPaletteClientWidth, kPaletteClientHeight};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const auto drawCell = [&](TPaletteCell cell) {
        RECT r = CellRect(cell);
        if (cell == highlighted_) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
            InflateRect(&r, -1, -1);
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            InflateRect(&r, -1, -1);
            FrameRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
            InflateRect(&r, -1, -1);
        } else {
            InflateRect(&r, -1, -1);
            DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        }
        const TGdiObject fill(CreateSolidBrush(ColorToRGB(CellColor(cell))));
        FillRect(dc, &r, static_cast<HBRUSH>(fill.Get()));
    };
    for (int px = 1; px <= 4; ++px)
        for (int py = 1; py <= 5; ++py)
            drawCell({px, py});
    RECT separator{0, 93, kPaletteClientWidth, 95};
    DrawEdge(dc, &separator, EDGE_ETCHED, BF_TOP);
    drawCell({0, 0});
    RECT other = OtherButtonRect();
    DrawFrameControl(dc, &other, DFC_BUTTON, DFCS_BUTTONPUSH | (buttonDown_ ? DFCS_PUSHED : 0));
    const TSelectObject font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, button_.OtherBtnCaption.c_str(), -1, &other, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace qrv

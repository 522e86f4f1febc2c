#include "editor/win/EasyRuler.h"

#include <windowsx.h>

#include <vector>

namespace qrv {

namespace {

constexpr wchar_t RulerClassName[] = L"TEasyRuler";

int ScreenPixelsPerInch()
{
    TWindowDC screen(nullptr);
    return screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 96;
}

void FillColor(HDC dc, const RECT& rect, TColor color)
{
    TBrush brush;
    brush.SetColor(color);
    FillRect(dc, &rect, brush.Handle());
}

}  // namespace

TEasyRuler::TEasyRuler(TComponent* owner) : TCustomControl(owner)
{
    geometry_.PixelsPerInch = ScreenPixelsPerInch();
    Font().SetName(L"Times New Roman");
    Font().SetSize(7);
    SetColor(clWindow);
    SetBounds(Left(), Top(), geometry_.Width(), geometry_.Height());
}

TEasyRuler::~TEasyRuler() = default;

void TEasyRuler::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = RulerClassName;
}

void TEasyRuler::Changed()
{
    if (HandleAllocated())
        InvalidateRect(handle_, nullptr, FALSE);
}

void TEasyRuler::SetOrientation(TEasyRulerOrientation orientation)
{
    geometry_.SetOrientation(orientation);
    rotatedFont_.Reset();
    SetBounds(Left(), Top(), geometry_.Width(), geometry_.Height());
    Changed();
}

void TEasyRuler::SetStart(int pixels)
{
    geometry_.Start = pixels;
    Changed();
}

void TEasyRuler::SetEnd(int pixels)
{
    geometry_.End = pixels;
    Changed();
}

void TEasyRuler::SetOptions(uint8_t options)
{
    geometry_.SetOptions(options);
    Changed();
}

void TEasyRuler::SetUnits(TEasyRulerUnits units)
{
    geometry_.Units = units;
    Changed();
}

void TEasyRuler::SetUnitSize(int pixels)
{
    geometry_.SetUnitSize(pixels);
    Changed();
}

void TEasyRuler::SetFirstIndent(int pixels)
{
    geometry_.SetIndentation(0, pixels);
    Changed();
}

void TEasyRuler::SetSecondIndent(int pixels)
{
    geometry_.SetIndentation(1, pixels);
    Changed();
}

void TEasyRuler::FontChanged()
{
    TCustomControl::FontChanged();
    rotatedFont_.Reset();  // made again from the new font
    Changed();
}

void TEasyRuler::BoundsChanged()
{
    if (Width() != geometry_.Width() || Height() != geometry_.Height())
        geometry_.SetSize(Width(), Height());
    Changed();
}

HFONT TEasyRuler::LabelFont()
{
    if (geometry_.Orientation() == TEasyRulerOrientation::Horizontal)
        return Font().Handle();
    if (!rotatedFont_) {
        LOGFONTW font{};
        GetObjectW(Font().Handle(), sizeof font, &font);
        font.lfEscapement = 900;
        font.lfOrientation = 900;
        font.lfWeight = (Font().Style() & fsBold) ? FW_BOLD : FW_NORMAL;
        font.lfItalic = (Font().Style() & fsItalic) ? TRUE : FALSE;
        font.lfUnderline = (Font().Style() & fsUnderline) ? TRUE : FALSE;
        font.lfStrikeOut = (Font().Style() & fsStrikeOut) ? TRUE : FALSE;
        if (Font().Name() == L"Default")
            lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
        rotatedFont_.Reset(CreateFontIndirectW(&font));
    }
    return static_cast<HFONT>(rotatedFont_.Get());
}

void TEasyRuler::Paint(HDC dc)
{
    // Painted off screen, then copied, so the ruler does not flicker.
    const int width = std::max(Width(), 1), height = std::max(Height(), 1);
    TOwnDC memory(CreateCompatibleDC(dc));
    TGdiObject bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!memory || !bitmap) {
        PaintRuler(dc);
        return;
    }
    {
        TSelectObject select(memory.Get(), bitmap.Get());
        PaintRuler(memory.Get());
        BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
    }
}

void TEasyRuler::PaintRuler(HDC dc)
{
    const bool horizontal = geometry_.Orientation() == TEasyRulerOrientation::Horizontal;
    const int along = geometry_.Along(), across = geometry_.Across();
    // A rectangle given along and across the ruler.
    auto rect = [horizontal](int a0, int c0, int a1, int c1) {
        return horizontal ? RECT{a0, c0, a1, c1} : RECT{c0, a0, c1, a1};
    };
    FillColor(dc, rect(0, 0, along, across), clWindow);

    const int first = geometry_.IndentationPos(0), second = geometry_.IndentationPos(1);
    FillColor(dc, rect(geometry_.Start, 0, first, across), clBtnShadow);
    FillColor(dc, rect(first - 2, 0, first, across), clBtnFace);
    FillColor(dc, rect(second, 0, geometry_.End, across), clBtnShadow);
    FillColor(dc, rect(second, 0, second + 2, across), clBtnFace);

    FillColor(dc, rect(0, 0, geometry_.Start, across), clBtnFace);
    FillColor(dc, rect(geometry_.End, 0, along, across), clBtnFace);
    FillColor(dc, rect(0, 0, along, 5), clBtnFace);
    FillColor(dc, rect(0, across - 7, along, across), clBtnFace);

    PaintScale(dc);
    if (horizontal)
        PaintSliders(dc);
}

void TEasyRuler::PaintScale(HDC dc)
{
    const bool horizontal = geometry_.Orientation() == TEasyRulerOrientation::Horizontal;
    TSelectObject font(dc, LabelFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(clWindowText));
    for (const TEasyRulerMark& mark : geometry_.Marks()) {
        SIZE size{};
        GetTextExtentPoint32W(dc, mark.Label.c_str(), int(mark.Label.size()), &size);
        if (horizontal)
            TextOutW(dc, mark.Position - size.cx / 2, 6, mark.Label.c_str(), int(mark.Label.size()));
        else  // turned a quarter to the left: the text runs upwards from its start
            TextOutW(dc, 6, mark.Position + size.cx / 2, mark.Label.c_str(), int(mark.Label.size()));
    }
}

void TEasyRuler::PaintSliders(HDC dc)
{
    TPen pen;
    pen.SetColor(clWindowText);
    TBrush brush;
    brush.SetColor(clBtnFace);
    TSelectObject selectPen(dc, pen.Handle());
    TSelectObject selectBrush(dc, brush.Handle());
    for (const TEasyRulerSlider& slider : geometry_.Sliders) {
        const int x = geometry_.SliderPos(slider), y = slider.Top;
        switch (slider.Kind) {
        case TEasyRulerSliderKind::Bottom:
            Rectangle(dc, x - 5, y, x + 5, y + 7);
            break;
        case TEasyRulerSliderKind::First: {
            // Points down at the first line's start.
            const POINT points[] = {{x - 4, y}, {x + 4, y}, {x + 4, y + 3}, {x, y + 7}, {x - 4, y + 3}};
            Polygon(dc, points, 5);
            break;
        }
        default: {
            // Points up at the paragraph's edge.
            const POINT points[] = {{x, y}, {x + 4, y + 4}, {x + 4, y + 7}, {x - 4, y + 7}, {x - 4, y + 4}};
            Polygon(dc, points, 5);
            break;
        }
        }
    }
}

int TEasyRuler::AlongOf(LPARAM point) const
{
    return geometry_.Orientation() == TEasyRulerOrientation::Horizontal ? GET_X_LPARAM(point) : GET_Y_LPARAM(point);
}

int TEasyRuler::AcrossOf(LPARAM point) const
{
    return geometry_.Orientation() == TEasyRulerOrientation::Horizontal ? GET_Y_LPARAM(point) : GET_X_LPARAM(point);
}

void TEasyRuler::InvertGuideLine(int along)
{
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated())
        return;
    RECT client{};
    GetClientRect(parent->Handle(), &client);
    TWindowDC dc(parent->Handle());
    if (!dc)
        return;
    TPen pen;
    pen.SetStyle(PS_DOT);
    pen.SetColor(clWindowText);
    TSelectObject select(dc.Get(), pen.Handle());
    // Not-XOR with the text colour inverts what lies below, so the line shows
    // on any background and drawing it again restores it.
    const int oldMode = SetROP2(dc.Get(), R2_NOTXORPEN);
    SetBkMode(dc.Get(), TRANSPARENT);
    if (geometry_.Orientation() == TEasyRulerOrientation::Horizontal) {
        const int x = Left() + along;
        MoveToEx(dc.Get(), x, Top() + Height(), nullptr);
        LineTo(dc.Get(), x, client.bottom);
    } else {
        const int y = Top() + along;
        MoveToEx(dc.Get(), Left() + Width(), y, nullptr);
        LineTo(dc.Get(), client.right, y);
    }
    SetROP2(dc.Get(), oldMode);
}

void TEasyRuler::EraseGuideLine()
{
    if (guideLine_ >= 0)
        InvertGuideLine(guideLine_);
    guideLine_ = -1;
}

void TEasyRuler::EndDrag(bool report)
{
    EraseGuideLine();
    std::vector<TEasyRulerItem> dragged = report ? geometry_.MouseUp() : std::vector<TEasyRulerItem>{};
    geometry_.CancelDrag();
    if (capturing_) {
        capturing_ = false;  // before ReleaseCapture, whose message comes back here
        ReleaseCapture();
    }
    Changed();
    for (const TEasyRulerItem& item : dragged) {
        if (OnChange)
            OnChange(this, item);
    }
}

void TEasyRuler::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND:
        message.Result = 1;
        return;
    case WM_LBUTTONDOWN:
        EraseGuideLine();
        if (geometry_.MouseDown(AlongOf(message.LParam), AcrossOf(message.LParam))) {
            SetCapture(handle_);
            capturing_ = true;
        }
        message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if ((message.WParam & MK_LBUTTON) && geometry_.Dragging()) {
            const std::optional<int> guide = geometry_.MouseMove(AlongOf(message.LParam));
            EraseGuideLine();
            if (guide) {
                guideLine_ = std::max(*guide, 0);
                InvertGuideLine(guideLine_);
            }
            Changed();
        }
        message.Result = 0;
        return;
    case WM_LBUTTONUP:
        EndDrag(true);
        message.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag: the drag ends without a change.
        if (capturing_) {
            capturing_ = false;
            EndDrag(false);
        }
        message.Result = 0;
        return;
    case WM_SETCURSOR: {
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(handle_, &point);
        const int along = geometry_.Orientation() == TEasyRulerOrientation::Horizontal ? point.x : point.y;
        const int across = geometry_.Orientation() == TEasyRulerOrientation::Horizontal ? point.y : point.x;
        if (LOWORD(message.LParam) == HTCLIENT && geometry_.SliderAt(along, across) < 0 &&
            geometry_.IndentationAt(along) >= 0) {
            const bool horizontal = geometry_.Orientation() == TEasyRulerOrientation::Horizontal;
            SetCursor(LoadCursorW(nullptr, horizontal ? IDC_SIZEWE : IDC_SIZENS));
            message.Result = TRUE;
            return;
        }
        TCustomControl::WndProc(message);
        return;
    }
    default:
        TCustomControl::WndProc(message);
    }
}

}  // namespace qrv

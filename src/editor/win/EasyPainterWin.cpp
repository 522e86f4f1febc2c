#include "editor/win/EasyPainterWin.h"

#include "editor/win/EasyFontManagerWin.h"
#include "framework/ScopeExit.h"
#include "framework/win/Graphics.h"
#include "framework/win/Handles.h"

#include <algorithm>

namespace qrv {

namespace {

RECT ToRect(const TEasyRect& r)
{
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

void HorizontalLine(HDC dc, int left, int right, int y, const TEasyPenValues& pen)
{
    TGdiObject handle(CreatePen(pen.Style, pen.Width, ColorToRGB(pen.Color)));
    const TSelectObject select(dc, handle.Get());
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
}

}  // namespace

void FillSolid(HDC dc, const RECT& rect, TColor color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    TGdiObject brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

void FillGradient(HDC dc, const RECT& rect, TColor from, TColor to, bool horizontal)
{
    const int extent = horizontal ? rect.right - rect.left : rect.bottom - rect.top;
    const auto bands =
        GradientBands(static_cast<TColor>(ColorToRGB(from)), static_cast<TColor>(ColorToRGB(to)), extent);
    for (const TEasyGradientBand& band : bands) {
        RECT part = rect;
        if (horizontal) {
            part.left = rect.left + band.Offset;
            part.right = std::min<LONG>(rect.right, part.left + band.Size);
        } else {
            part.top = rect.top + band.Offset;
            part.bottom = std::min<LONG>(rect.bottom, part.top + band.Size);
        }
        FillSolid(dc, part, band.Color);
    }
}

void FillFrame(HDC dc, const RECT& outer, const RECT& inner, TColor color)
{
    const RECT strips[4] = {
        {outer.left, outer.top, outer.right, std::max(outer.top, inner.top)},
        {outer.left, std::min(outer.bottom, inner.bottom), outer.right, outer.bottom},
        {outer.left, std::max(outer.top, inner.top), std::max(outer.left, inner.left),
         std::min(outer.bottom, inner.bottom)},
        {std::min(outer.right, inner.right), std::max(outer.top, inner.top), outer.right,
         std::min(outer.bottom, inner.bottom)},
    };
    for (const RECT& strip : strips) {
        RECT clipped;
        if (IntersectRect(&clipped, &strip, &outer))
            FillSolid(dc, clipped, color);
    }
}

void DoubleVertLine(HDC dc, int x, int top, int bottom, TColor penColor, TColor secondColor)
{
    FillSolid(dc, RECT{x + 1, top, x + 2, bottom}, penColor);
    FillSolid(dc, RECT{x, top, x + 1, bottom}, secondColor);
}

TEasyPainter::TEasyPainter(TEasyPainterHost& host) : TEasyPainter(host, EasyFontManager()) {}

TEasyPainter::TEasyPainter(TEasyPainterHost& host, TEasyFontManager& fonts) : TCustomEasyPainter(host, fonts) {}

// ---- the drawing state of a device context -------------------------------------

void TEasyPainter::TCanvasState::Open(HDC dc)
{
    dc_ = dc;
    lowColor_ = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) <= 8;
    callerText_ = GetTextColor(dc);
    callerBack_ = GetBkColor(dc);
    callerMode_ = GetBkMode(dc);
    text_ = back_ = CLR_INVALID;
    mode_ = 0;
    font_ = nullptr;
}

void TEasyPainter::TCanvasState::Close()
{
    if (!dc_)
        return;
    if (text_ != CLR_INVALID)
        SetTextColor(dc_, callerText_);
    if (back_ != CLR_INVALID)
        SetBkColor(dc_, callerBack_);
    if (mode_ != 0)
        SetBkMode(dc_, callerMode_);
    fonts_.Restore();
    dc_ = nullptr;
}

void TEasyPainter::TCanvasState::TextColor(COLORREF color)
{
    if (color != text_)
        SetTextColor(dc_, text_ = color);
}

void TEasyPainter::TCanvasState::BackColor(COLORREF color)
{
    if (color != back_)
        SetBkColor(dc_, back_ = color);
}

void TEasyPainter::TCanvasState::BackMode(int mode)
{
    if (mode != mode_)
        SetBkMode(dc_, mode_ = mode);
}

void TEasyPainter::TCanvasState::Font(HFONT font)
{
    if (font != font_)
        fonts_.Select(dc_, font_ = font);
}

// ---- rows --------------------------------------------------------------------------

void TEasyPainter::BeginCanvas()
{
    if (canvasDepth_++ == 0 && Canvas)
        canvas_.Open(Canvas);
}

void TEasyPainter::EndCanvas()
{
    if (canvasDepth_ > 0 && --canvasDepth_ == 0)
        canvas_.Close();
}

void TEasyPainter::PaintRow(const TEasyRowPlan& plan)
{
    HDC dc = Canvas;
    if (!dc)
        return;
    if (canvasDepth_ > 0 && canvas_.Dc() == dc) {
        DrawRow(canvas_, plan);
        return;
    }
    // A row on its own: colours, mode and font are the caller's again afterwards.
    TCanvasState row;
    row.Open(dc);
    const ScopeExit restore([&row] { row.Close(); });
    DrawRow(row, plan);
}

void TEasyPainter::DrawRow(TCanvasState& canvas, const TEasyRowPlan& plan)
{
    HDC dc = canvas.Dc();
    const RECT row = ToRect(plan.Rect);
    if (Transparent && OnPaintBackground) {
        // Whatever the picture's drawing changes on the context is undone,
        // so the state the painter knows of stays true.
        const int saved = SaveDC(dc);
        const ScopeExit restore([dc, saved] { RestoreDC(dc, saved); });
        OnPaintBackground(dc, row);
    }
    const TEasyLineDivider& divider = Editor().PainterLineDivider();
    const bool overHighlight = plan.HighlightLine && divider.Brush().Style != BS_NULL;
    if (overHighlight)
        Fill(dc, row, divider.Brush().Color);

    for (const TEasyPaintPiece& piece : plan.Pieces)
        DrawPiece(canvas, plan, piece, overHighlight);
    for (const TEasyPaintFill& fill : plan.Fills)
        Fill(dc, ToRect(fill.Rect), fill.Color);

    if (!plan.Waves.empty()) {
        TGdiObject pen(CreatePen(PS_SOLID, 1, ColorToRGB(Editor().PainterColors().LiveSpellColor())));
        const TSelectObject select(dc, pen.Get());
        for (const auto& wave : plan.Waves) {
            std::vector<POINT> points;
            points.reserve(wave.size());
            for (const TEasyPoint& p : wave)
                points.push_back(POINT{p.X, p.Y});
            PolyBezier(dc, points.data(), static_cast<DWORD>(points.size()));
        }
    }
    for (int y : plan.DividerLines)
        HorizontalLine(dc, row.left, row.right, y, divider.Pen());

    if (Transparent && EditorCanvas && EditorCanvas != dc)
        BitBlt(EditorCanvas, row.left, row.top, row.right - row.left, row.bottom - row.top, dc, row.left, row.top,
               SRCCOPY);
}

void TEasyPainter::DrawPiece(TCanvasState& canvas, const TEasyRowPlan& plan, const TEasyPaintPiece& piece,
                             bool overHighlight)
{
    HDC dc = canvas.Dc();
    const int charWidth = GetCharWidth();
    const TColor background = piece.BackColor != -1 ? piece.BackColor : Editor().PainterBackground();
    RECT clip{piece.X, plan.Rect.Top, piece.X + piece.Count * charWidth, plan.Rect.Bottom};
    // Over the caret line's highlight only a colour of the piece's own is drawn.
    bool opaque = piece.Opaque;
    if (overHighlight)
        opaque = piece.BackColor != -1 && piece.BackColor != Editor().PainterBackground();
    if (!Transparent && canvas.LowColor() && opaque) {
        Fill(dc, clip, piece.BackColor != -1 ? piece.BackColor : Editor().PainterColor());
        opaque = false;
    }
    canvas.TextColor(ColorToRGB(piece.TextColor));
    canvas.BackColor(ColorToRGB(background));
    canvas.BackMode(opaque ? OPAQUE : TRANSPARENT);
    canvas.Font(reinterpret_cast<HFONT>(Editor().PainterFont(piece.Style)));
    const std::vector<int32_t>& advances = GetCharAdvances(piece.Count);
    static_assert(sizeof(INT) == sizeof(int32_t));
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    ExtTextOutW(dc, piece.X, plan.Rect.Top, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0), &clip,
                reinterpret_cast<const wchar_t*>(piece.Text.data()), static_cast<UINT>(piece.Text.size()),
                reinterpret_cast<const INT*>(advances.data()));
}

void TEasyPainter::Fill(HDC dc, const RECT& rect, TColor color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const COLORREF rgb = ColorToRGB(color);
    auto found =
        std::find_if(brushes_.begin(), brushes_.end(), [rgb](const auto& entry) { return entry.first == rgb; });
    if (found == brushes_.end()) {
        if (brushes_.size() >= 16)
            brushes_.clear();
        brushes_.emplace_back(rgb, TGdiObject(CreateSolidBrush(rgb)));
        found = std::prev(brushes_.end());
    }
    FillRect(dc, &rect, static_cast<HBRUSH>(found->second.Get()));
}

}  // namespace qrv

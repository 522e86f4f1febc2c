#pragma once
// TEasyPainter: draws the rows the line painter plans onto a device
// context. Each piece is one clipped ExtTextOutW call with an advance of
// CharWidth per character, so any font, proportional ones included, sits
// on the editor's character grid.

#include "editor/EasyPainter.h"
#include "framework/win/Handles.h"

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

// The system's ANSI/Unicode macro of that name would rename the painter's
// GetCharWidth in every file that includes this one.
#ifdef GetCharWidth
#undef GetCharWidth
#endif

namespace qrv {

class TEasyPainter : public TCustomEasyPainter {
public:
    // Measures through the process-wide font metrics cache.
    explicit TEasyPainter(TEasyPainterHost& host);
    TEasyPainter(TEasyPainterHost& host, TEasyFontManager& fonts);

    // The device context drawn on: the editor's, or in transparent mode an
    // off-screen one whose rows are copied to EditorCanvas when finished.
    HDC Canvas = nullptr;
    HDC EditorCanvas = nullptr;
    // Transparent mode: paints the background picture into a row first.
    std::function<void(HDC dc, const RECT& rect)> OnPaintBackground;

    // Brackets the painting of many rows on Canvas: inside, font, colours
    // and background mode are set only where a piece needs another one, and
    // the caller's are given back at EndCanvas. Rows painted outside a
    // bracket give them back after every row. Brackets may nest.
    void BeginCanvas();
    void EndCanvas();

protected:
    void PaintRow(const TEasyRowPlan& plan) override;

private:
    // The drawing state of one device context as the painter last set it,
    // and the caller's state to give back.
    class TCanvasState {
    public:
        void Open(HDC dc);
        void Close();
        HDC Dc() const { return dc_; }
        bool LowColor() const { return lowColor_; }
        void TextColor(COLORREF color);
        void BackColor(COLORREF color);
        void BackMode(int mode);
        void Font(HFONT font);

    private:
        HDC dc_ = nullptr;
        bool lowColor_ = false;
        COLORREF callerText_ = 0, callerBack_ = 0;
        int callerMode_ = 0;
        COLORREF text_ = CLR_INVALID, back_ = CLR_INVALID;
        int mode_ = 0;
        HFONT font_ = nullptr;
        TSelectionKeeper fonts_;  // puts the caller's font back
    };

    void DrawRow(TCanvasState& canvas, const TEasyRowPlan& plan);
    void DrawPiece(TCanvasState& canvas, const TEasyRowPlan& plan, const TEasyPaintPiece& piece, bool overHighlight);
    // A solid fill with a brush kept for the colour.
    void Fill(HDC dc, const RECT& rect, TColor color);

    TCanvasState canvas_;
    int canvasDepth_ = 0;
    // Brushes of the colours filled lately; a handful is all a text uses.
    std::vector<std::pair<COLORREF, TGdiObject>> brushes_;
};

// Fills the rectangle with a solid colour.
void FillSolid(HDC dc, const RECT& rect, TColor color);
// Fills a band of gradient colours across (horizontal) or down the rectangle.
void FillGradient(HDC dc, const RECT& rect, TColor from, TColor to, bool horizontal);
// The frame between an outer and an inner rectangle, in four clipped strips.
void FillFrame(HDC dc, const RECT& outer, const RECT& inner, TColor color);
// A double vertical line: the pen's colour at x + 1, the second colour at x.
void DoubleVertLine(HDC dc, int x, int top, int bottom, TColor penColor, TColor secondColor);

}  // namespace qrv

#pragma once
// TEasyPainter: draws the rows the line painter plans onto a device
// context. Each piece is one clipped ExtTextOutW call with an advance of
// CharWidth per character, so any font, proportional ones included, sits
// on the editor's character grid.

#include "editor/EasyPainter.h"

#include <windows.h>

#include <functional>

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

protected:
    void PaintRow(const TEasyRowPlan& plan) override;

private:
    void DrawPiece(HDC dc, const TEasyRowPlan& plan, const TEasyPaintPiece& piece, bool lowColor,
                   bool overHighlight);
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

// The editor's rulers: the controls Ruler's options ask for, a horizontal
// one along the top and a vertical one at the left of the client area, with
// the view (gutter and text) in the rest. In ptPageLayout they show the
// sheet of the caret's page where it stands in the view, with its indents;
// dragging an indentation mark sets that indent. Elsewhere they show the
// scale from the text's edge and no indents.

#include "editor/win/EasyEditor.h"
#include "editor/win/EasyRuler.h"

#include <algorithm>

namespace qrv {

POINT TCustomEasyEdit::ViewOrigin()
{
    return POINT{vertRuler_ ? vertRuler_->Width() : 0, horzRuler_ ? horzRuler_->Height() : 0};
}

int TCustomEasyEdit::ViewWidth()
{
    const int client = HandleAllocated() ? ClientWidth() : Width();
    return std::max(client - int(ViewOrigin().x), 0);
}

int TCustomEasyEdit::ViewHeight()
{
    const int client = HandleAllocated() ? ClientHeight() : Height();
    return std::max(client - int(ViewOrigin().y), 0);
}

void TCustomEasyEdit::RulerChanged()
{
    auto make = [this](TEasyRulerOrientation orientation, TAlign align) {
        auto* ruler = new TEasyRuler(this);
        ruler->SetOrientation(orientation);
        ruler->OnChange = [this](TEasyRuler* sender, const TEasyRulerItem& item) { RulerDragged(sender, item); };
        ruler->SetAlign(align);
        ruler->SetParent(this);
        return ruler;
    };
    if (ruler_.HorzVisible() && !horzRuler_)
        horzRuler_ = make(TEasyRulerOrientation::Horizontal, TAlign::alTop);
    if (!ruler_.HorzVisible() && horzRuler_) {
        delete horzRuler_;
        horzRuler_ = nullptr;
    }
    if (ruler_.VertVisible() && !vertRuler_)
        vertRuler_ = make(TEasyRulerOrientation::Vertical, TAlign::alLeft);
    if (!ruler_.VertVisible() && vertRuler_) {
        delete vertRuler_;
        vertRuler_ = nullptr;
    }
    // The view grew or shrank.
    background_.SetClientSize(ViewWidth(), ViewHeight());
    if (Wrapping() && WrapCells() != wrapCells_)
        Rewrap();
    KeepPixelTopInRange();
    UpdateScrollBars();
    UpdateRulers();
    UpdateCaretPos();
    Invalidate();
}

void TCustomEasyEdit::FreeRulers()
{
    delete horzRuler_;
    horzRuler_ = nullptr;
    delete vertRuler_;
    vertRuler_ = nullptr;
}

void TCustomEasyEdit::UpdateRulers()
{
    if (!horzRuler_ && !vertRuler_)
        return;
    // Each setting repaints its ruler: only what changed is set.
    auto show = [](TEasyRuler& ruler, int start, int end, int first, int second, bool indents) {
        if (ruler.Start() != start)
            ruler.SetStart(start);
        if (ruler.End() != end)
            ruler.SetEnd(end);
        if (ruler.FirstIndent() != first)
            ruler.SetFirstIndent(first);
        if (ruler.SecondIndent() != second)
            ruler.SetSecondIndent(second);
        const uint8_t options =
            indents ? uint8_t(ruler.Options() & ~roFixedIndents) : uint8_t(ruler.Options() | roFixedIndents);
        if (ruler.Options() != options)
            ruler.SetOptions(options);
    };
    auto units = [&](TEasyRuler& ruler, int characterSize) {
        if (ruler.Units() != ruler_.Units())
            ruler.SetUnits(ruler_.Units());
        if (ruler_.Units() == TEasyRulerUnits::erCharacters && ruler.UnitSize() != characterSize)
            ruler.SetUnitSize(characterSize);
    };
    const POINT origin = ViewOrigin();
    const bool layout = pageType_ == TEasyPageType::ptPageLayout;
    const TEasyPageMetrics metrics = PageMetrics();
    TEasyPage* page = layout ? &pages_.Items(PageOfLine(CaretY())) : nullptr;
    const TEasySheet sheet = page ? EasySheetOf(*page, metrics) : TEasySheet{};
    if (horzRuler_) {
        // The ruler spans the client area's width from its left edge.
        units(*horzRuler_, CharWidth());
        if (page) {
            const int left = origin.x + sheet.Sheet.Left - leftColumn_ * CharWidth();
            show(*horzRuler_, left, left + sheet.Sheet.Width(), page->LeftIndent(), page->RightIndent(), true);
        } else {
            show(*horzRuler_, origin.x + TextLeft(), origin.x + ViewWidth(), 0, 0, false);
        }
    }
    if (vertRuler_) {
        // The vertical ruler begins at the view's top edge.
        units(*vertRuler_, LineHeight());
        if (page) {
            const int top = sheet.Sheet.Top - pixelTop_;
            show(*vertRuler_, top, top + sheet.Sheet.Height(), page->TopIndent(), page->BottomIndent(), true);
        } else {
            show(*vertRuler_, 0, ViewHeight(), 0, 0, false);
        }
    }
}

void TCustomEasyEdit::RulerDragged(TEasyRuler* ruler, const TEasyRulerItem& item)
{
    // Only the page layout has indents to drag; the paragraph sliders have
    // no paragraphs to indent in a plain text.
    if (item.Kind != TEasyRulerItem::Indentation || pageType_ != TEasyPageType::ptPageLayout)
        return;
    const bool vertical = ruler == vertRuler_;
    const int mark = item.Index & 1;
    const TEasyPage& page = pages_.Items(PageOfLine(CaretY()));
    const int indent = ruler->Geometry().Indentations[mark].Position;
    RulerIndentChanged(vertical, mark, EasyRulerIndentPosition(page, vertical, mark, indent, pageType_, PageMetrics()));
    UpdateRulers();
}

}  // namespace qrv

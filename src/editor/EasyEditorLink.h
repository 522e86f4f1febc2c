#pragma once
// What the editor's sub-objects (gutter, margin, line numbers, colours,
// pages ...) ask of the editor that owns them and what they tell it to
// redo. The editor control implements it; until it is connected a
// sub-object may have no editor, and then changes only store values.
// Portable.

#include "editor/EasyEditorOptions.h"

namespace qrv {

class TEasyEditorLink {
public:
    virtual ~TEasyEditorLink() = default;

    // State the sub-objects decide by.
    virtual TEasyEditorOptions EditorOptions() const { return DefaultEasyEditorOptions; }
    virtual bool Focused() const { return false; }
    virtual bool HasSearchMatch() const { return false; }
    virtual bool LiveSpell() const { return false; }      // the source checks spelling while typing
    virtual bool HighlightUrls() const { return false; }  // the source marks URLs
    virtual bool InPageView() const { return false; }
    virtual bool Destroying() const { return false; }
    // Pixels the line numbers need in the gutter (the editor's font metrics).
    virtual int LineNumbersWidth() const { return 0; }
    // Screen resolution in pixels per inch.
    virtual int PixelsPerInchX() const { return 96; }
    virtual int PixelsPerInchY() const { return 96; }

    // What to redo.
    virtual void Invalidate() {}
    virtual void InvalidateSelection() {}
    // Recomputes the gutter width, the page layout in page views, repaints.
    virtual void UpdateGutter() {}
    // The scroll range after a change of the gutter width.
    virtual void UpdateScrollRange() {}
    // A page's layout settings changed: its cached position is void.
    virtual void PageChanged(int pageIndex) { (void)pageIndex; }
    virtual void InvalidatePage(int pageIndex) { (void)pageIndex; }
    // The rulers' settings changed: show, hide or re-measure them.
    virtual void RulerChanged() {}
};

}  // namespace qrv

#pragma once
// What the editor control does when its Options or its PageType change:
// the decisions of the two setters, kept apart from the window so that they
// can be tested without one. The control carries them out. Portable.

#include "editor/EasyEditorOptions.h"
#include "editor/EasyPageGeometry.h"

namespace qrv {

class TEasyEditorSetters {
public:
    struct TOptionsPlan {
        bool Changed = false;      // anything to do at all
        bool RebuildRows = false;  // the rows are cut again
        bool UpdateView = false;   // line-number width, scroll bars and positions
    };
    // The options that move the text's left edge or change a row's width.
    static constexpr TEasyEditorOptions kRowOptions =
        eoPaintGutter | eoBreakWordsAtMargin | eoPaintFormattingMarks | eoCollapseButtonOnGutter;

    // Rows are only cut again while they are laid out (word wrap); every
    // change updates the view.
    static TOptionsPlan PlanOptions(TEasyEditorOptions before, TEasyEditorOptions after, bool wrapping);

    struct TPageTypePlan {
        bool Changed = false;
        bool FullLayout = false;      // every page laid out as a sheet
        bool SourcePageMode = false;  // the source hears a page view is on
    };
    static TPageTypePlan PlanPageType(TEasyPageType before, TEasyPageType after);
};

}  // namespace qrv

#pragma once
// The editor control's option sets: editor options, block selection modes
// and which rulers are shown. Portable: the sub-objects read them too.

#include <cstdint>

namespace qrv {

enum class TEasyBlockSelMode { bsStream, bsBlock, bsNone, bsBoth };

// Ruler options, a set of bits.
enum TEasyEditorRulerOption : unsigned { roVertRuler = 1, roHorzRuler = 2 };
using TEasyEditorRulerOptions = unsigned;

// Editor options, a set of bits in this order.
enum TEasyEditorOption : uint32_t {
    eoPaintGutter = 1u << 0,
    eoPaintMargin = 1u << 1,
    eoPaintWrapBookmark = 1u << 2,
    eoPersistentBlocks = 1u << 3,
    eoOverwriteBlocks = 1u << 4,
    eoEnableDragging = 1u << 5,
    eoEnableSearchHighlight = 1u << 6,
    eoEnableSelection = 1u << 7,
    eoSelectBeyondEol = 1u << 8,
    eoColorSelection = 1u << 9,
    eoWordSelection = 1u << 10,
    eoSelectFoundText = 1u << 11,
    eoDblClickLine = 1u << 12,
    eoForceCutCopy = 1u << 13,
    eoLineStyleBeyondEol = 1u << 14,
    eoInvertLineStyle = 1u << 15,
    eoUseReadOnlyColor = 1u << 16,
    eoUseDisabledColor = 1u << 17,
    eoThumbTracking = 1u << 18,
    eoOverwriteCaret = 1u << 19,
    eoBreakWordsAtMargin = 1u << 20,
    eoMoveOnRightClick = 1u << 21,
    eoKeepColumn = 1u << 22,
    eoCenterOnBookmark = 1u << 23,
    eoShowScrollHint = 1u << 24,
    eoFindTextAtCursor = 1u << 25,
    eoCollapseButtonOnGutter = 1u << 26,
    eoHighlightBrackets = 1u << 27,
    eoReduceBlockSel = 1u << 28,
    eoEnTabBlock = 1u << 29,
    eoPaintFormattingMarks = 1u << 30,
};
using TEasyEditorOptions = uint32_t;
constexpr TEasyEditorOptions DefaultEasyEditorOptions = 0xE1F3;

}  // namespace qrv

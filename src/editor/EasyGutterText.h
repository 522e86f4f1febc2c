#pragma once
// Texts the editor paints besides the lines themselves: the line numbers
// of the gutter and the formatting-marks version of a line. Portable.

#include "editor/EasyEditorSubObjects.h"
#include "editor/TabStopList.h"

#include <array>
#include <string>
#include <string_view>

namespace qrv {

// Digits of the highest number shown: lines + StartFrom - 1, one more when
// numbers are painted beyond the end of the text, at least the highest
// visible number; never fewer than one.
int LineNumberDigits(int lineCount, int startFrom, bool beyondEof, int64_t highestVisible);
// The number padded with spaces to the digits: on the left for right
// alignment, on the right otherwise.
std::u16string LineNumberText(int64_t number, int digits, TEasyLineNumbersAlign alignment);

// The formatting-mark kinds and the characters painted for them.
enum TEasyFormattingMark : int { fmSpace = 0, fmTab = 1, fmLineEnd = 2, fmEndOfText = 3 };
using TEasyFormattingMarks = std::array<char16_t, 4>;
constexpr TEasyFormattingMarks DefaultFormattingMarks = {u'\u00B7', u'\u00BB', u'\u00B6', u'_'};

// The marks version of a stored line: every space becomes the space mark;
// with tabs kept each tab becomes spaces up to its stop with the tab mark
// in the middle (offset width / 2), else a tab shows the tab mark; the
// line-end mark follows.
std::u16string FormattingMarksText(std::u16string_view stored, bool tabsKept, const TTabStopList& tabs,
                                   const TEasyFormattingMarks& marks);

}  // namespace qrv

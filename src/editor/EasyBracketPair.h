#pragma once
// The bracket pair the editor highlights around the caret: the nearest
// opening bracket before the caret whose partner of the same kind stands at
// or after it. The scan looks only at the lines it is given (the ones shown
// and a screen around them) and at most a bounded number of characters, so
// a caret move in a large text costs no more than in a small one. Portable.

#include "editor/EasyPoint.h"

#include <optional>

namespace qrv {

class TEasyStrings;

struct TEasyBracketPair {
    TEasyPoint Open, Close;
    bool operator==(const TEasyBracketPair&) const = default;
};

// Lines and columns as the view shows them (tabs expanded); the caret's
// line counts from column 0 up to it. FirstLine and LastLine bound the scan.
std::optional<TEasyBracketPair> FindEnclosingBrackets(const TEasyStrings& lines, TEasyPoint caret, int firstLine,
                                                      int lastLine);

// Characters looked at in each direction at most.
inline constexpr int kBracketScanLimit = 1 << 16;

}  // namespace qrv

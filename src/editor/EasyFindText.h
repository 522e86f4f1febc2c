#pragma once
// Text search over the editor's lines, for the find and replace commands and
// bracket matching. Lines are searched as UTF-16; columns count code units.
// Portable.

#include "editor/EasyPoint.h"
#include "editor/EasyUtils.h"

#include <string>
#include <string_view>

namespace qrv {

class TEasyStrings;

// Option bits of FindText.
enum : int {
    ftCaseSensitive = 1,
    ftWholeWords = 2,
    ftForward = 4,  // else backward
};

// A pattern search within one line (the regular-expression engine).
class TEasyLineMatcher {
public:
    virtual ~TEasyLineMatcher() = default;
    // Searches the line from the column (from 1) forward, or backward for a
    // match starting at or before it; true with the match's column and length.
    virtual bool Search(std::u16string_view line, int& column, bool forward, int& matchLength) = 0;
};

// Upper case as every case-insensitive search sees it: one mapping for the
// search text and the lines, one code unit to one code unit.
char16_t SearchUpperCase(char16_t c);

// Finds the text from the point: forward, the first occurrence at or after
// the point's column and then on the following lines from column 1;
// backward, the last occurrence starting at or before the column and then on
// the lines above from their end (a column of 0 starts on the line above).
// Trailing blanks and control characters of a line are not searched. With
// whole words a match counts only when the run between delimiters around it
// is exactly the match. True: the point is the match's first character and
// matchLength its length.
bool FindText(std::u16string_view text, const TEasyStrings& lines, int options, TEasyLineMatcher* matcher,
              int& matchLength, TEasyPoint& point, const TEasyCharSet& delimiters = DefaultDelimiters());

}  // namespace qrv

#pragma once
// The argument rules of the edit-control messages the editor answers, as
// the system's multi-line edit keeps them: ranges of character indexes are
// clamped into the text, and results that do not fit a message's format
// are refused rather than cut. Indexes are 64-bit. Portable.

#include <cstdint>

namespace qrv {

struct TEasyCharRange {
    int64_t Start = 0;
    int64_t End = 0;
    bool operator==(const TEasyCharRange&) const = default;
};

// EM_SETSEL and EM_EXSETSEL: a start of -1 keeps no selection (the range
// collapses at the current caret index); an end of -1 (or any negative
// end) is the end of the text; both clamp to 0 .. textLength; a start
// after the end is swapped.
TEasyCharRange SelectionRange(int64_t start, int64_t end, int64_t textLength, int64_t caretIndex);

// EM_GETSEL's result: the two indexes packed in the low and high word, or
// -1 when one of them does not fit 16 bits (the full values reach the
// caller through the message's pointers).
int64_t PackedSelection(const TEasyCharRange& range);

// EM_GETTEXTRANGE: (0, -1) is the whole text, a negative end the end of the
// text; false when the range is empty after clamping or reversed.
bool TextRange(int64_t start, int64_t end, int64_t textLength, TEasyCharRange& range);

// EM_GETLINE: the characters copied into a buffer whose first word gives
// its size in characters.
int64_t LineCopyLength(int64_t lineLength, uint16_t bufferSize);

}  // namespace qrv

#pragma once
// Undoing the row filters of PNG. Whole pixels of 2 to 8 bytes go through
// SSE2 when the compiler targets it. Portable.

#include <cstddef>
#include <cstdint>

namespace qrv {

// Row buffers handed to UnfilterRow must have this many bytes after the row:
// the vector code reads and writes whole 8-byte groups.
constexpr size_t UnfilterPadding = 16;

// Undoes filter `type` of the count bytes at row, with `previous` the
// unfiltered row above and `offset` the bytes per complete pixel. Types 0 and
// above 4 leave the row as read.
void UnfilterRow(uint8_t type, uint8_t* row, const uint8_t* previous, size_t count, size_t offset);

uint8_t PaethPredictor(int left, int above, int upperLeft);

}  // namespace qrv

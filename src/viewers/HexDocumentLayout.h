#pragma once
// The hex editor's grid: its columns and their widths, the rows, and the
// texts of the offset column. Sizes, offsets and rows are 64-bit. Portable.

#include <cstdint>
#include <string>

namespace qrv {

enum class TOffsetDisplayStyle { odHex, odDec, odOctal, odNone };

// Width of the offset column in characters for the offset of the last row.
int OffsetColumnChars(TOffsetDisplayStyle style, int64_t lastRowOffset);
// The offset column's text for a row: "x" + hex digits, right-aligned decimal
// or "o " + octal, each followed by the separator, padded to the width.
std::wstring OffsetText(TOffsetDisplayStyle style, int64_t offset, int widthChars, wchar_t separator);
// The offset column's text while there is no data.
std::wstring EmptyOffsetText(TOffsetDisplayStyle style, wchar_t separator);

// Rows of a document: one per BytesPerLine bytes, at least one.
int64_t HexRowCount(int64_t dataSize, int bytesPerLine);

// The room left of the offsets, so that their first character stands clear
// of the view's edge: half a character.
inline int OffsetMargin(int charWidth)
{
    return charWidth / 2;
}

// Columns: 0 offset (its text after the margin), 1 marker, then two per byte
// (nibbles), a spacer, and one per byte (characters).
struct THexGridColumns {
    int BytesPerLine = 16;
    int BytesPerColumn = 2;
    bool ShowMarkerColumn = true;
    int OffsetChars = 0;

    int ColCount() const { return 3 * BytesPerLine + 3; }
    int SpacerColumn() const { return 2 * BytesPerLine + 2; }
    int FirstCharColumn() const { return 2 * BytesPerLine + 3; }
    bool IsNibbleColumn(int col) const { return col >= 2 && col < SpacerColumn(); }
    bool IsCharColumn(int col) const { return col >= FirstCharColumn() && col < ColCount(); }
    // The byte within the row that a nibble or character column shows.
    int ByteInRow(int col) const { return IsNibbleColumn(col) ? (col - 2) / 2 : col - FirstCharColumn(); }
    // Width in pixels, with charWidth the width of "w" in the grid's font.
    int ColumnWidth(int col, int charWidth) const;
    // The group of BytesPerColumn bytes a nibble column belongs to.
    int64_t NibbleGroup(int col) const { return (col - 2) / (2 * BytesPerColumn); }
    // True when the nibble column shows the byte's high nibble.
    static bool ShowsHighNibble(int col, bool swapNibbles) { return ((col - 2) % 2 == 1) == swapNibbles; }
};

}  // namespace qrv
